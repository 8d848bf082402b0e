#pragma once
// A static text drawn without background, so that a picture behind it shows through.

#include "framework/Static.h"

class CTransparentStatic : public CStatic
{
    DECLARE_DYNAMIC(CTransparentStatic)

public:
    // The DrawText format that draws a static of the given window style.
    static UINT DrawTextFormat(DWORD dwStyle);

protected:
    // Called when the control needs painting: draws its text and nothing else.
    void OnPaint();

    DECLARE_MESSAGE_MAP()
};
