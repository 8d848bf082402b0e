#pragma once
// The application object: prepares the common controls, lets only one panel run on the
// desktop and runs the main dialog for the whole life of the process.

#include "framework/WinApp.h"

class CTarvelApp : public CWinApp
{
public:
    CTarvelApp() = default;

    // Returns false: the main dialog has ended and with it the application.
    BOOL InitInstance() override;

    // Caption of the main window; a second start finds the first panel by it.
    static constexpr const char* kMainWindowTitle = "Brask Quelo Audio Control Panel";
};
