// Entry of Tarvel.exe.
#include <windows.h>

#include "app/TarvelApp.h"

namespace
{
CTarvelApp theApp;
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR /*lpCmdLine*/, int /*nCmdShow*/)
{
    return AfxWinMain(hInstance);
}
