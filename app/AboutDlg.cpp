#include "app/AboutDlg.h"

#include "res/resource.h"

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
END_MESSAGE_MAP()

namespace
{
// Offsets from the picture's corner, in pixels: the layout follows the bitmap, not the
// template's dialog units.
constexpr int kTextLeft = 50;
constexpr int kTextTops[] = {252, 268, 284};
constexpr int kButtonInset = 10;
constexpr int kFrameWidth = 5;
constexpr int kFrameHeight = 25;

SIZE ClientSize(HWND hWnd)
{
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    return {rc.right - rc.left, rc.bottom - rc.top};
}
}  // namespace

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX)
{
}

void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_VERSION, m_stVersion);
    DDX_Control(pDX, IDC_NOTICE, m_stNotice);
    DDX_Control(pDX, IDC_CREDIT, m_stCredit);
}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    RECT rcPicture;
    ::GetClientRect(GetDlgItem(IDC_LOGO), &rcPicture);
    RECT rcWindow;
    GetWindowRect(&rcWindow);
    ::SetWindowPos(m_hWnd, nullptr, rcWindow.left, rcWindow.top,
                   (rcPicture.right - rcPicture.left) + kFrameWidth,
                   (rcPicture.bottom - rcPicture.top) + kFrameHeight, 0);

    const int lineIds[] = {IDC_VERSION, IDC_NOTICE, IDC_CREDIT};
    for (int i = 0; i < 3; ++i)
    {
        HWND hLine = GetDlgItem(lineIds[i]);
        const SIZE size = ClientSize(hLine);
        ::MoveWindow(hLine, rcPicture.left + kTextLeft, rcPicture.top + kTextTops[i], size.cx, size.cy, TRUE);
    }

    HWND hOk = GetDlgItem(IDOK);
    const SIZE okSize = ClientSize(hOk);
    ::MoveWindow(hOk, rcPicture.right - okSize.cx - kButtonInset, rcPicture.bottom - okSize.cy - kButtonInset,
                 okSize.cx, okSize.cy, TRUE);
    return TRUE;
}
