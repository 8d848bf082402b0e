#include "app/TarvelApp.h"

#include <commctrl.h>

#include "app/TarvelDlg.h"
#include "platform/win32/Win32Platform.h"

BOOL CTarvelApp::InitInstance()
{
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);

    CWinApp::InitInstance();
    SetRegistryKey("Local AppWizard-Generated Applications");

    HWND hRunning = ::FindWindowA(nullptr, kMainWindowTitle);
    if (hRunning != nullptr && hRunning != INVALID_HANDLE_VALUE)
    {
        // Brings back a panel hidden in the tray or minimised.
        ::ShowWindow(hRunning, SW_SHOWNORMAL);
        ::SetFocus(hRunning);
        return FALSE;
    }

    CTarvelDlg dlg(GetWin32Platform());
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
