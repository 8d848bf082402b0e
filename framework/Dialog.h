#pragma once
// CDialog: a dialog from a template, run modally by DoModal (with the framework's own modal
// loop) or created as a modeless child by Create. The dialog window is bound to the object
// like any CWnd, so message maps work the same for dialogs and controls.

#include <windows.h>

#include "framework/Wnd.h"

class CDialog;

// Handed to DoDataExchange; m_bSaveAndValidate is false when data goes into the controls.
class CDataExchange
{
public:
    CDataExchange(CDialog* pDlgWnd, bool bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
    {
    }

    bool m_bSaveAndValidate;
    CDialog* m_pDlgWnd;
};

// Binds control nIDC of the dialog to rControl by subclassing it, once.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd
{
    DECLARE_DYNAMIC(CDialog)

public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Runs the dialog until EndDialog; then destroys its window (through the virtual
    // DestroyWindow) and returns the result given to EndDialog, or -1 if it could not be created.
    virtual INT_PTR DoModal();
    // Creates the dialog as a modeless window, a child or popup of pParentWnd.
    bool Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    void EndDialog(int nResult);
    bool UpdateData(bool bSaveAndValidate = true);

protected:
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();
    virtual void OnCancel();

    UINT m_nIDHelp;  // the template id
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    HWND CreateFromTemplate(HWND hWndParent);
    void RunModalLoop();
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    bool m_bInModalLoop = false;
    bool m_bEndModal = false;
    INT_PTR m_nModalResult = -1;
};
