#include "controls/TransparentStatic.h"

#include <string>

IMPLEMENT_DYNAMIC(CTransparentStatic, CStatic)

BEGIN_MESSAGE_MAP(CTransparentStatic, CStatic)
    ON_WM_PAINT()
END_MESSAGE_MAP()

UINT CTransparentStatic::DrawTextFormat(DWORD dwStyle)
{
    UINT nFormat = DT_LEFT;
    if (dwStyle & SS_RIGHT)
        nFormat |= DT_RIGHT;
    if (dwStyle & SS_CENTER)
        nFormat |= DT_CENTER;
    if (dwStyle & SS_CENTERIMAGE)
        nFormat |= DT_VCENTER | DT_SINGLELINE;
    if (dwStyle & SS_NOPREFIX)
        nFormat |= DT_NOPREFIX;
    if (dwStyle & (SS_ENDELLIPSIS | SS_PATHELLIPSIS))  // also SS_WORDELLIPSIS, both bits
        nFormat |= DT_WORD_ELLIPSIS;
    if (dwStyle & SS_ENDELLIPSIS)
        nFormat |= DT_END_ELLIPSIS;
    if (dwStyle & SS_PATHELLIPSIS)
        nFormat |= DT_PATH_ELLIPSIS;
    // Single-line, ellipsis and the no-wrap styles must not wrap; everything else wraps at words.
    if (!(dwStyle & (SS_ENDELLIPSIS | SS_PATHELLIPSIS | SS_CENTERIMAGE | SS_LEFTNOWORDWRAP)))
        nFormat |= DT_WORDBREAK;
    return nFormat;
}

void CTransparentStatic::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(m_hWnd, &ps);

    RECT rcClient;
    GetClientRect(&rcClient);
    const int nLength = ::GetWindowTextLengthA(m_hWnd);
    std::string text(static_cast<size_t>(nLength) + 1, '\0');
    ::GetWindowTextA(m_hWnd, &text[0], nLength + 1);

    HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    HGDIOBJ hOldFont = hFont ? ::SelectObject(hDC, hFont) : nullptr;

    ::SetBkMode(hDC, TRANSPARENT);
    ::DrawTextA(hDC, text.c_str(), -1, &rcClient, DrawTextFormat(static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE))));

    if (hOldFont != nullptr)
        ::SelectObject(hDC, hOldFont);
    ::EndPaint(m_hWnd, &ps);
}
