#include "framework/WinApp.h"

namespace
{
CWinApp* g_pApp = nullptr;
}

CWinApp::CWinApp(const char* lpszAppName) : m_pszAppName(lpszAppName)
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::Run()
{
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return ExitInstance();
}

int CWinApp::ExitInstance()
{
    return 0;
}

void CWinApp::SetRegistryKey(const char* lpszRegistryKey)
{
    m_pszRegistryKey = lpszRegistryKey;
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    if (g_pApp != nullptr && g_pApp->m_hInstance != nullptr)
        return g_pApp->m_hInstance;
    return ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    return AfxGetInstanceHandle();
}

int AfxWinMain(HINSTANCE hInstance)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return -1;
    pApp->m_hInstance = hInstance;
    if (!pApp->InitInstance())
        return pApp->ExitInstance();
    return pApp->Run();
}
