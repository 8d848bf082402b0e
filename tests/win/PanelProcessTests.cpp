// The real panel, started as its own process: a second start hands over to the first.
// Kept in a program of its own: it starts and ends panels and works with their windows, which
// the in-process window tests must never find.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/win/ModalDriver.h"

namespace
{
constexpr const char* kMainTitle = "Brask Quelo Audio Control Panel";

// The panel, as built beside this test: build/<preset>/app/Tarvel.exe.
std::string PanelExePath()
{
    char szPath[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    std::string path = szPath;
    for (int i = 0; i < 3; ++i)
        path = path.substr(0, path.find_last_of('\\'));
    return path + "\\app\\Tarvel.exe";
}

// A running Tarvel.exe; ended and released with this object.
class CPanelProcess
{
public:
    bool Start()
    {
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        std::string commandLine = "\"" + PanelExePath() + "\"";
        return ::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_pi) !=
               FALSE;
    }
    ~CPanelProcess()
    {
        if (m_pi.hProcess == nullptr)
            return;
        if (::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT)
            ::TerminateProcess(m_pi.hProcess, 1);
        ::CloseHandle(m_pi.hThread);
        ::CloseHandle(m_pi.hProcess);
    }
    bool WaitForExit(DWORD dwTimeout) { return ::WaitForSingleObject(m_pi.hProcess, dwTimeout) == WAIT_OBJECT_0; }
    DWORD ExitCode() const
    {
        DWORD dwCode = 0xDEADBEEF;
        ::GetExitCodeProcess(m_pi.hProcess, &dwCode);
        return dwCode;
    }
    // Its main window, once it exists (waits at most dwTimeout ms).
    HWND WaitForMainWindow(DWORD dwTimeout) const
    {
        ::WaitForInputIdle(m_pi.hProcess, dwTimeout);
        const DWORD dwDeadline = ::GetTickCount() + dwTimeout;
        do
        {
            HWND hWnd = ::FindWindowA(nullptr, kMainTitle);
            DWORD dwOwner = 0;
            if (hWnd != nullptr && ::GetWindowThreadProcessId(hWnd, &dwOwner) && dwOwner == m_pi.dwProcessId)
                return hWnd;
            ::Sleep(50);
        } while (static_cast<LONG>(dwDeadline - ::GetTickCount()) > 0);
        return nullptr;
    }

private:
    PROCESS_INFORMATION m_pi = {};
};

int CountTopLevelWindowsTitled(const char* pszTitle)
{
    struct Search { const char* pszTitle; int nCount; } search = {pszTitle, 0};
    ::EnumWindows(
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* p = reinterpret_cast<Search*>(lParam);
            if (WindowText(hWnd) == p->pszTitle)
                ++p->nCount;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.nCount;
}

constexpr DWORD kStartTimeout = 30000;
}  // namespace

TEST(PanelProcess, SecondStartRestoresTheHiddenFirstPanelAndEnds)
{
    CPanelProcess first;
    ASSERT_TRUE(first.Start()) << "cannot start " << PanelExePath();
    HWND hFirst = first.WaitForMainWindow(kStartTimeout);
    ASSERT_NE(hFirst, nullptr) << "the first panel shows no main window";
    ::ShowWindow(hFirst, SW_HIDE);
    ASSERT_FALSE(::IsWindowVisible(hFirst));

    CPanelProcess second;
    ASSERT_TRUE(second.Start());
    ASSERT_TRUE(second.WaitForExit(kStartTimeout)) << "the second panel did not end";
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(::IsWindowVisible(hFirst));
    EXPECT_FALSE(::IsIconic(hFirst));
    EXPECT_EQ(CountTopLevelWindowsTitled(kMainTitle), 1);

    // The close box ends the panel.
    ::PostMessageA(hFirst, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(first.WaitForExit(kStartTimeout)) << "the panel did not end on its close box";
    EXPECT_EQ(CountTopLevelWindowsTitled(kMainTitle), 0);
}
