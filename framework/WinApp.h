#pragma once
// CWinApp: the one application object. The program defines a static object of a class
// derived from CWinApp; the entry point (AfxWinMain) hands control to its InitInstance.

#include <windows.h>

#include "framework/MessageMap.h"

class CWnd;

class CWinApp : public CCmdTarget
{
public:
    explicit CWinApp(const char* lpszAppName = nullptr);
    ~CWinApp() override;

    // Called once at start-up; false ends the application instead of entering Run.
    virtual BOOL InitInstance();
    // The application's message loop, for applications whose InitInstance returns true.
    virtual int Run();
    virtual int ExitInstance();

    // Names where per-user settings would be kept ("Software\<key>\<app name>").
    void SetRegistryKey(const char* lpszRegistryKey);

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
    const char* m_pszAppName;
    const char* m_pszRegistryKey = nullptr;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();

// The program's entry: runs the application object's InitInstance and returns the exit code.
int AfxWinMain(HINSTANCE hInstance);
