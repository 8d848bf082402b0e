#pragma once
// A static or edit control whose text and background colours its owner sets. The owner
// writes m_crText and redraws the control; the parent's colour requests are reflected here.

#include "framework/Brush.h"
#include "framework/Static.h"

class CColorStatic : public CStatic
{
public:
    CColorStatic();

    CBrush m_brBkgnd;
    COLORREF m_crBkgnd;
    COLORREF m_crText;

    // Answers every colour request of the control, whatever its kind or state.
    HBRUSH CtlColor(HDC hDC, UINT nCtlColor);

    DECLARE_MESSAGE_MAP()
};
