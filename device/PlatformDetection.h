#pragma once
// Which Windows the panel runs on, and whether the machine itself is 64-bit.

#include "platform/DebugOutput.h"
#include "platform/SystemInfo.h"

#include <cstdint>

enum : std::uint32_t
{
    kOsWin32s = 0,
    kOsWindows95 = 1,
    kOsWindows98 = 2,
    kOsWindowsMe = 3,
    kOsWindowsNt4 = 4,
    kOsWindows2000 = 5,
    kOsWindowsXp = 6,
    kOsWindowsServer2003 = 7,
    kOsWindowsVista = 8,
    kOsWindowsServer2008 = 9,
    kOsWindows7 = 10,
    kOsWindowsServer2008R2 = 11,
    kOsNotDetermined = 12,
};

struct OsVersionInfo
{
    std::uint32_t osKind = kOsNotDetermined;
    std::uint32_t ntMajorVersion = 0;
    bool nativeIs32Bit = true;
};

// Fills the record; false when the version cannot be read. An unrecognised version is a
// valid answer (osKind not determined, result true).
bool DetectPlatform(ISystemInfo& system, OsVersionInfo* pInfo);

// Writes the process's elevation state to the debugger output; silent where a query fails.
void ReportElevation(ISystemInfo& system, IDebugOutput& debug);
