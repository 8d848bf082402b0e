// wait_for_window TITLE TIMEOUT_MS: ends with 0 once a top-level window with that title
// exists and has been painted, 1 when the time runs out. The run script uses it to know
// when to take its screenshot.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const DWORD dwTimeout = static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10));
    const DWORD dwStart = ::GetTickCount();
    while (::GetTickCount() - dwStart < dwTimeout)
    {
        HWND hWnd = ::FindWindowA(nullptr, argv[1]);
        if (hWnd != nullptr && ::IsWindowVisible(hWnd))
        {
            // Let the panel finish painting before the picture is taken.
            DWORD_PTR result = 0;
            ::SendMessageTimeoutA(hWnd, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
            ::Sleep(500);
            return 0;
        }
        ::Sleep(100);
    }
    return 1;
}
