#include "app/TarvelDlg.h"

#include <commctrl.h>

#include <new>

#include "app/AboutDlg.h"
#include "device/DeviceControl.h"
#include "framework/WinApp.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CTarvelDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDOK, &CTarvelDlg::OnBnClickedOk)
    ON_NOTIFY(TCN_SELCHANGE, IDC_TAB, &CTarvelDlg::OnTcnSelchangeTab)
END_MESSAGE_MAP()

CTarvelDlg::CTarvelDlg(const Platform& platform, CWnd* pParent)
    : CDialog(IDD_TARVEL_DIALOG, pParent),
      m_platform(platform),
      m_hIcon(::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME)))
{
}

CTarvelDlg::~CTarvelDlg()
{
    // DestroyWindow releases the session; this covers a window that went another way.
    if (m_pDevice != nullptr)
    {
        m_pDevice->Close();
        delete m_pDevice;
    }
}

void CTarvelDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_STATUS, m_status);
}

BOOL CTarvelDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    HMENU hSysMenu = ::GetSystemMenu(m_hWnd, FALSE);
    if (hSysMenu != nullptr)
    {
        char szAbout[256] = "";
        ::LoadStringA(AfxGetResourceHandle(), IDS_ABOUTBOX, szAbout, sizeof(szAbout));
        if (szAbout[0] != '\0')
        {
            ::AppendMenuA(hSysMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(hSysMenu, MF_STRING, IDM_ABOUTBOX, szAbout);
        }
    }

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    m_pFormatPage = nullptr;
    m_bDevicePresent = false;
    m_pDevice = nullptr;
    m_hDevNotify = nullptr;

    // Without a session or a known platform the window opens empty: no page, no timer.
    m_pDevice = new (std::nothrow) CDeviceControl(m_platform);
    if (m_pDevice == nullptr || !m_pDevice->IsPlatformKnown())
        return TRUE;

    // The status line stays hidden until the page has a notice for it.
    m_status.m_crText = kStatusTextColour;
    m_status.RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);

    if (m_pDevice->Open(m_hWnd))
        m_bDevicePresent = true;

    return TRUE;
}

void CTarvelDlg::SetStatusText(const char* pszText, int nShowCmd)
{
    HWND hStatus = GetDlgItem(IDC_STATUS);
    if (pszText != nullptr)
        ::SetWindowTextA(hStatus, pszText);
    ::ShowWindow(hStatus, nShowCmd);
}

void CTarvelDlg::OnSysCommand(UINT nID, LPARAM /*lParam*/)
{
    switch (nID & 0xFFF0)
    {
    case IDM_ABOUTBOX:
    {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
        break;
    }
    case SC_MINIMIZE:
        // The tray icon brings the window back.
        ShowWindow(SW_HIDE);
        break;
    default:
        Default();
        break;
    }
}

void CTarvelDlg::OnPaint()
{
    if (!::IsIconic(m_hWnd))
    {
        Default();
        return;
    }
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(m_hWnd, &ps);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(hDC), 0);
    RECT rc;
    GetClientRect(&rc);
    const int x = (rc.right - rc.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (rc.bottom - rc.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(hDC, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &ps);
}

HCURSOR CTarvelDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

void CTarvelDlg::OnBnClickedOk()
{
    OnOK();
}

void CTarvelDlg::OnTcnSelchangeTab(NMHDR* /*pNMHDR*/, LRESULT* pResult)
{
    int nPage = static_cast<int>(::SendMessageA(GetDlgItem(IDC_TAB), TCM_GETCURSEL, 0, 0));
    if (nPage < 0)
        nPage = 0;
    if (nPage > m_nPageCount - 1)
        nPage = m_nPageCount - 1;
    ShowPage(nPage);
    *pResult = 0;
}

void CTarvelDlg::ShowPage(int nPage)
{
    m_nCurPage = nPage;
    for (int i = 0; i < m_nPageCount; ++i)
        m_apPages[i]->ShowWindow(SW_HIDE);
    if (m_nCurPage >= 0 && m_nCurPage < m_nPageCount)
        m_apPages[m_nCurPage]->ShowWindow(SW_SHOW);
}

BOOL CTarvelDlg::DestroyWindow()
{
    if (m_hDevNotify != nullptr && m_hDevNotify != INVALID_HANDLE_VALUE)
    {
        ::UnregisterDeviceNotification(m_hDevNotify);
        m_hDevNotify = nullptr;
    }
    // The timer stops first, so that no tick can reach the session while it goes.
    ::KillTimer(m_hWnd, kSupervisionTimerId);
    if (m_pDevice != nullptr)
    {
        m_pDevice->Close();
        delete m_pDevice;
        m_pDevice = nullptr;
    }
    return CDialog::DestroyWindow();
}
