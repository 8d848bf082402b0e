#include "framework/Wnd.h"

#include <commctrl.h>

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

namespace
{
// Our one subclass of a window; its reference data is the CWnd.
constexpr UINT_PTR kSubclassId = 0x7A72;
// The same CWnd, found from its window by FromHandlePermanent.
constexpr const char* kObjectProperty = "Tarvel.CWnd";
}

CWnd::~CWnd()
{
    // The window may outlive its object (a control of a dialog still open): stop routing
    // its messages to an object that is gone.
    if (m_bSubclassed)
        UnsubclassWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (hWnd == nullptr)
        return nullptr;
    return static_cast<CWnd*>(::GetPropA(hWnd, kObjectProperty));
}

bool CWnd::SubclassWindow(HWND hWnd)
{
    if (hWnd == nullptr || m_hWnd != nullptr)
        return false;
    if (!::SetPropA(hWnd, kObjectProperty, this))
        return false;
    if (!::SetWindowSubclass(hWnd, &CWnd::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
    {
        ::RemovePropA(hWnd, kObjectProperty);
        return false;
    }
    m_hWnd = hWnd;
    m_bSubclassed = true;
    return true;
}

bool CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    return pParent != nullptr && SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    if (m_bSubclassed)
    {
        ::RemoveWindowSubclass(hWnd, &CWnd::SubclassProc, kSubclassId);
        ::RemovePropA(hWnd, kObjectProperty);
    }
    m_bSubclassed = false;
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == nullptr)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

void CWnd::ScreenToClient(RECT* pRect) const
{
    POINT corners[2] = {{pRect->left, pRect->top}, {pRect->right, pRect->bottom}};
    // MapWindowPoints swaps left and right itself for a mirrored (right-to-left) window.
    ::MapWindowPoints(nullptr, m_hWnd, corners, 2);
    *pRect = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR /*uIdSubclass*/, DWORD_PTR dwRefData)
{
    CWnd* pWnd = reinterpret_cast<CWnd*>(dwRefData);
    const CurrentMessage saved = pWnd->m_currentMsg;
    pWnd->m_currentMsg = {message, wParam, lParam};
    const LRESULT lResult = pWnd->WindowProc(message, wParam, lParam);
    pWnd->m_currentMsg = saved;

    if (message == WM_NCDESTROY && pWnd->m_hWnd == hWnd)
        pWnd->UnsubclassWindow();
    return lResult;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND)
    {
        *pResult = 0;
        return OnCommand(wParam, lParam) != FALSE;
    }
    if (message == WM_NOTIFY)
    {
        *pResult = 0;
        return OnNotify(wParam, lParam, pResult) != FALSE;
    }
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC &&
        ReflectCtlColor(message, wParam, lParam, pResult))
        return true;

    const AFX_MSGMAP_ENTRY* pEntry = FindMessageEntry(message);
    if (pEntry == nullptr)
        return false;
    *pResult = pEntry->pfnThunk(this, wParam, lParam);
    return true;
}

bool CWnd::ReflectCtlColor(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    CWnd* pChild = FromHandlePermanent(reinterpret_cast<HWND>(lParam));
    if (pChild == nullptr)
        return false;
    const AFX_MSGMAP_ENTRY* pEntry = pChild->FindMessageEntry(WM_CTLCOLOR_REFLECT);
    if (pEntry == nullptr)
        return false;
    const UINT nCtlColor = message - WM_CTLCOLORMSGBOX;  // CTLCOLOR_MSGBOX .. CTLCOLOR_STATIC
    const LRESULT hBrush = pEntry->pfnThunk(pChild, wParam, static_cast<LPARAM>(nCtlColor));
    if (hBrush == 0)
        return false;
    *pResult = hBrush;
    return true;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM /*lParam*/)
{
    const AFX_MSGMAP_ENTRY* pEntry = FindMessageEntry(WM_COMMAND, HIWORD(wParam), LOWORD(wParam));
    if (pEntry == nullptr)
        return FALSE;
    pEntry->pfnThunk(this, wParam, 0);
    return TRUE;
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const NMHDR* pNMHDR = reinterpret_cast<const NMHDR*>(lParam);
    if (pNMHDR == nullptr)
        return FALSE;
    const AFX_MSGMAP_ENTRY* pEntry =
        FindMessageEntry(WM_NOTIFY, pNMHDR->code, static_cast<UINT>(pNMHDR->idFrom));
    if (pEntry == nullptr)
        return FALSE;
    *pResult = pEntry->pfnThunk(this, wParam, lParam);
    return TRUE;
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_currentMsg.message, m_currentMsg.wParam, m_currentMsg.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_bSubclassed)
        return ::DefSubclassProc(m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}
