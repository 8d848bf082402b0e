#include "controls/ColorStatic.h"

BEGIN_MESSAGE_MAP(CColorStatic, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

CColorStatic::CColorStatic() : m_crBkgnd(::GetSysColor(COLOR_BTNFACE)), m_crText(RGB(0, 0, 0))
{
    m_brBkgnd.CreateSolidBrush(m_crBkgnd);
}

HBRUSH CColorStatic::CtlColor(HDC hDC, UINT /*nCtlColor*/)
{
    ::SetBkColor(hDC, m_crBkgnd);
    ::SetTextColor(hDC, m_crText);
    return m_brBkgnd;
}
