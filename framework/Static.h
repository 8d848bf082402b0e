#pragma once
// CStatic: a static (or edit) control of a dialog, bound with DDX_Control.

#include "framework/Wnd.h"

class CStatic : public CWnd
{
    DECLARE_DYNAMIC(CStatic)
};
