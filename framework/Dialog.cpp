#include "framework/Dialog.h"

#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd == nullptr)
        rControl.SubclassDlgItem(static_cast<UINT>(nIDC), pDX->m_pDlgWnd);
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

CDialog::~CDialog()
{
    if (m_hWnd != nullptr)
        ::DestroyWindow(m_hWnd);
}

HWND CDialog::CreateFromTemplate(HWND hWndParent)
{
    return ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDHelp), hWndParent,
                                &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

bool CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    m_nIDHelp = nIDTemplate;
    m_pParentWnd = pParentWnd;
    return CreateFromTemplate(pParentWnd ? pParentWnd->m_hWnd : nullptr) != nullptr;
}

INT_PTR CDialog::DoModal()
{
    // Without a parent the dialog belongs to the application's main window, if there is one.
    HWND hWndOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (hWndOwner == nullptr)
    {
        CWnd* pMainWnd = AfxGetMainWnd();
        if (pMainWnd != nullptr && pMainWnd != this && ::IsWindow(pMainWnd->m_hWnd))
            hWndOwner = pMainWnd->m_hWnd;
    }
    const bool bEnableOwner = hWndOwner != nullptr && ::IsWindowEnabled(hWndOwner);

    m_bEndModal = false;
    m_nModalResult = -1;
    if (bEnableOwner)
        ::EnableWindow(hWndOwner, FALSE);
    if (CreateFromTemplate(hWndOwner) == nullptr)
    {
        if (bEnableOwner)
            ::EnableWindow(hWndOwner, TRUE);
        return -1;
    }

    // A template without WS_VISIBLE is shown here, as DialogBox does.
    if (!m_bEndModal && !::IsWindowVisible(m_hWnd))
        ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
    RunModalLoop();

    // Give activation back to the owner before this window goes away.
    if (bEnableOwner)
        ::EnableWindow(hWndOwner, TRUE);
    if (m_hWnd != nullptr)
    {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        DestroyWindow();
    }
    if (hWndOwner != nullptr && ::IsWindow(hWndOwner))
        ::SetActiveWindow(hWndOwner);
    return m_nModalResult;
}

void CDialog::RunModalLoop()
{
    m_bInModalLoop = true;
    MSG msg;
    while (!m_bEndModal && m_hWnd != nullptr)
    {
        const BOOL bGot = ::GetMessageA(&msg, nullptr, 0, 0);
        if (bGot == -1)
            break;
        if (bGot == 0)
        {
            // WM_QUIT ends this loop and every loop outside it.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!::IsDialogMessageA(m_hWnd, &msg))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    m_bInModalLoop = false;
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    if (m_bInModalLoop)
    {
        m_bEndModal = true;
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wakes the loop if it waits in GetMessage
    }
    else if (m_hWnd != nullptr)
    {
        // Ended during OnInitDialog (the loop has not started) or a modeless dialog.
        m_bEndModal = true;
    }
}

bool CDialog::UpdateData(bool bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return true;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(false);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange* /*pDX*/)
{
}

void CDialog::OnOK()
{
    UpdateData(true);
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM /*wParam*/, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;  // everything after WM_INITDIALOG reaches the object through its subclass

    CDialog* pDlg = reinterpret_cast<CDialog*>(lParam);
    ::SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
    if (!pDlg->SubclassWindow(hWnd))
        return TRUE;
    pDlg->m_currentMsg = {message, 0, lParam};
    return pDlg->OnInitDialog();
}
