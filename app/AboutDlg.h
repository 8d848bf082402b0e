#pragma once
// The About box: the maker's logo over the whole client area, three lines of text over the
// picture's blank lower band, and OK in the picture's bottom-right corner.

#include "controls/TransparentStatic.h"
#include "framework/Dialog.h"

class CAboutDlg : public CDialog
{
public:
    CAboutDlg();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    CTransparentStatic m_stVersion;
    CTransparentStatic m_stNotice;
    CTransparentStatic m_stCredit;

    DECLARE_MESSAGE_MAP()
};
