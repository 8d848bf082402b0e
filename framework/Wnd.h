#pragma once
// CWnd: a C++ object bound to a window. The framework binds a window by subclassing it, so
// its messages reach WindowProc first; what the object's message map does not handle goes on
// to the window's own procedure (Default).

#include <windows.h>

#include "framework/MessageMap.h"

class CWnd : public CCmdTarget
{
    DECLARE_DYNAMIC(CWnd)

public:
    CWnd() = default;
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object bound to hWnd by SubclassWindow, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);

    bool SubclassWindow(HWND hWnd);
    bool SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    virtual BOOL DestroyWindow();

    // Thin helpers over the Win32 calls the dialogs use most.
    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
    void GetClientRect(RECT* pRect) const { ::GetClientRect(m_hWnd, pRect); }
    void GetWindowRect(RECT* pRect) const { ::GetWindowRect(m_hWnd, pRect); }
    void ScreenToClient(RECT* pRect) const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE)
    {
        ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
    }
    BOOL RedrawWindow(UINT flags) { return ::RedrawWindow(m_hWnd, nullptr, nullptr, flags); }

protected:
    // Routes one message: the message map first, Default() for the rest.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    // Hands the message being handled to the window's own procedure and returns its result.
    LRESULT Default();
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    friend class CDialog;

private:
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    bool ReflectCtlColor(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR uIdSubclass, DWORD_PTR dwRefData);

    struct CurrentMessage
    {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    CurrentMessage m_currentMsg = {0, 0, 0};
    bool m_bSubclassed = false;
};
