#pragma once
// Drives dialogs from inside their own modal loops: a step handed to RunWhenIdle runs once
// the thread's message queue is idle (a thread timer, which Windows delivers only after
// every posted, input and paint message), in whatever modal loop is running then.

#include <windows.h>

#include <functional>
#include <string>

void RunWhenIdle(std::function<void()> step);

// The top-level window of this thread with exactly this caption, or null.
HWND FindThreadWindow(const char* pszCaption);

std::string WindowText(HWND hWnd);

// A child's rectangle in its parent's client coordinates.
RECT ChildRect(HWND hChild);

// Ends a dialog (WM_COMMAND with nCommand) when the step that declares it ends, however it
// ends: a failed ASSERT returns early, and must not leave a modal loop running for ever.
class CEndDialogOnExit
{
public:
    explicit CEndDialogOnExit(HWND hDlg, WPARAM nCommand = IDCANCEL) : m_hDlg(hDlg), m_nCommand(nCommand) {}
    ~CEndDialogOnExit()
    {
        if (::IsWindow(m_hDlg))
            ::PostMessageA(m_hDlg, WM_COMMAND, m_nCommand, 0);
    }
    CEndDialogOnExit(const CEndDialogOnExit&) = delete;
    CEndDialogOnExit& operator=(const CEndDialogOnExit&) = delete;

private:
    HWND m_hDlg;
    WPARAM m_nCommand;
};
