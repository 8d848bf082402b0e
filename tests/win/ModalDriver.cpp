#include "tests/win/ModalDriver.h"

#include <map>
#include <utility>

namespace
{
std::map<UINT_PTR, std::function<void()>>& PendingSteps()
{
    static std::map<UINT_PTR, std::function<void()>> steps;
    return steps;
}

void CALLBACK RunStep(HWND, UINT, UINT_PTR idEvent, DWORD)
{
    ::KillTimer(nullptr, idEvent);
    auto it = PendingSteps().find(idEvent);
    if (it == PendingSteps().end())
        return;
    std::function<void()> step = std::move(it->second);
    PendingSteps().erase(it);
    step();
}

struct ThreadWindowSearch
{
    const char* pszCaption;
    HWND hFound;
};

BOOL CALLBACK MatchCaption(HWND hWnd, LPARAM lParam)
{
    auto* pSearch = reinterpret_cast<ThreadWindowSearch*>(lParam);
    if (WindowText(hWnd) != pSearch->pszCaption)
        return TRUE;
    pSearch->hFound = hWnd;
    return FALSE;
}
}  // namespace

void RunWhenIdle(std::function<void()> step)
{
    const UINT_PTR id = ::SetTimer(nullptr, 0, 1, &RunStep);
    PendingSteps()[id] = std::move(step);
}

HWND FindThreadWindow(const char* pszCaption)
{
    ThreadWindowSearch search = {pszCaption, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), &MatchCaption, reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}

std::string WindowText(HWND hWnd)
{
    char szText[512] = "";
    ::GetWindowTextA(hWnd, szText, sizeof(szText));
    return szText;
}

RECT ChildRect(HWND hChild)
{
    RECT rc;
    ::GetWindowRect(hChild, &rc);
    ::MapWindowPoints(nullptr, ::GetParent(hChild), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}
