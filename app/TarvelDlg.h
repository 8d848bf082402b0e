#pragma once
// The panel's main window: a modal dialog that owns the device session, shows the stream
// format page in its tab control, keeps the status line and hides itself instead of minimising.

#include <windows.h>
#include <shellapi.h>

#include "controls/ColorStatic.h"
#include "framework/Dialog.h"
#include "platform/Platform.h"

class CDeviceControl;
class CPPageTarvel;

class CTarvelDlg : public CDialog
{
public:
    // The device session runs on platform, whose interfaces must outlive the dialog.
    explicit CTarvelDlg(const Platform& platform, CWnd* pParent = nullptr);
    ~CTarvelDlg() override;

    BOOL DestroyWindow() override;

    // The one way the page writes the status line: text (null keeps the current one), then
    // shows or hides the line with nShowCmd.
    void SetStatusText(const char* pszText, int nShowCmd);

    static constexpr int kMaxPages = 16;
    static constexpr UINT_PTR kSupervisionTimerId = 1567;
    static constexpr COLORREF kStatusTextColour = RGB(127, 0, 0);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    // System menu command: the About entry, and minimising, which hides the window instead.
    void OnSysCommand(UINT nID, LPARAM lParam);
    // Paints the icon while the window is minimised.
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    // The hidden "Exit" button (IDOK).
    void OnBnClickedOk();
    // Another tab was chosen.
    void OnTcnSelchangeTab(NMHDR* pNMHDR, LRESULT* pResult);

    void ShowPage(int nPage);

    Platform m_platform;
    CDeviceControl* m_pDevice = nullptr;
    bool m_bDevicePresent = false;
    CPPageTarvel* m_pFormatPage = nullptr;
    CDialog* m_apPages[kMaxPages] = {};
    char m_szPageTitles[kMaxPages][32] = {};
    int m_nPageCount = 0;
    int m_nCurPage = 0;
    NOTIFYICONDATAA m_nid = {};
    HDEVNOTIFY m_hDevNotify = nullptr;
    int m_nRetryTicks = 0;
    int m_nRefreshTicks = 0;
    int m_nHoldOffTicks = 0;
    HICON m_hIcon;
    CColorStatic m_status;

    DECLARE_MESSAGE_MAP()
};
