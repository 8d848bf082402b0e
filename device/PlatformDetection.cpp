#include "device/PlatformDetection.h"

#include <cstring>

namespace {

std::uint32_t NtKind(const SysOsVersionInfoEx& version)
{
    const bool bWorkstation = version.wProductType == kSysNtWorkstation;
    switch (version.dwMajorVersion)
    {
    case 5:
        switch (version.dwMinorVersion)
        {
        case 0: return kOsWindows2000;
        case 1: return kOsWindowsXp;
        case 2: return kOsWindowsServer2003;
        default: return kOsNotDetermined;
        }
    case 6:
        switch (version.dwMinorVersion)
        {
        case 0: return bWorkstation ? kOsWindowsVista : kOsWindowsServer2008;
        case 1: return bWorkstation ? kOsWindows7 : kOsWindowsServer2008R2;
        default: return kOsNotDetermined;
        }
    default:
        return version.dwMajorVersion <= 4 ? kOsWindowsNt4 : kOsNotDetermined;
    }
}

std::uint32_t Win9xKind(const SysOsVersionInfoEx& version)
{
    if (version.dwMajorVersion != 4)
        return kOsNotDetermined;
    switch (version.dwMinorVersion)
    {
    case 0: return kOsWindows95;
    case 10: return kOsWindows98;
    case 90: return kOsWindowsMe;
    default: return kOsNotDetermined;
    }
}

class CTokenHandle
{
public:
    explicit CTokenHandle(ISystemInfo& system) : m_system(system) {}
    ~CTokenHandle()
    {
        if (IsSysHandleValid(m_hToken))
            m_system.CloseHandle(m_hToken);
    }
    CTokenHandle(const CTokenHandle&) = delete;
    CTokenHandle& operator=(const CTokenHandle&) = delete;

    SysHandle* Receive() { return &m_hToken; }
    SysHandle Get() const { return m_hToken; }

private:
    ISystemInfo& m_system;
    SysHandle m_hToken = nullptr;
};

} // namespace

bool DetectPlatform(ISystemInfo& system, OsVersionInfo* pInfo)
{
    if (!pInfo)
        return false;
    pInfo->osKind = kOsNotDetermined;
    pInfo->nativeIs32Bit = true;

    // A 32-bit process on 64-bit Windows sees an x86 machine through GetSystemInfo.
    SysSystemInfo systemInfo = {};
    if (!system.GetNativeSystemInfo(&systemInfo))
        system.GetSystemInfo(&systemInfo);
    if (systemInfo.wProcessorArchitecture == kSysProcessorArchitectureIa64 ||
        systemInfo.wProcessorArchitecture == kSysProcessorArchitectureAmd64)
        pInfo->nativeIs32Bit = false;

    // Systems before NT 4.0 SP6 refuse the extended record; they still answer the plain one.
    SysOsVersionInfoEx version = {};
    version.dwOSVersionInfoSize = kSysOsVersionInfoExSize;
    if (!system.GetVersionExA(&version))
    {
        std::memset(&version, 0, sizeof(version));
        version.dwOSVersionInfoSize = kSysOsVersionInfoSize;
        if (!system.GetVersionExA(&version))
            return false;
    }

    switch (version.dwPlatformId)
    {
    case kSysPlatformWin32s:
        pInfo->osKind = kOsWin32s;
        return true;
    case kSysPlatformWin32Windows:
        pInfo->osKind = Win9xKind(version);
        return true;
    case kSysPlatformWin32Nt:
        pInfo->ntMajorVersion = version.dwMajorVersion;
        pInfo->osKind = NtKind(version);
        return true;
    default:
        return false;
    }
}

void ReportElevation(ISystemInfo& system, IDebugOutput& debug)
{
    CTokenHandle token(system);
    if (!system.OpenProcessTokenForQuery(token.Receive()))
        return;

    // Both classes are unknown before Vista; the queries then fail and say nothing.
    std::uint32_t nType = 0;
    std::uint32_t nReturned = 0;
    if (system.GetTokenInformation(token.Get(), kSysTokenElevationType, &nType, sizeof(nType), &nReturned))
    {
        if (nType == kSysTokenElevationTypeDefault)
            debug.OutputDebugStringA("Elevation Default");
        else if (nType == kSysTokenElevationTypeFull)
            debug.OutputDebugStringA("Elevation Full");
        else
            debug.OutputDebugStringA("Elevation Limited");
    }

    std::uint32_t nElevated = 0;
    if (system.GetTokenInformation(token.Get(), kSysTokenElevation, &nElevated, sizeof(nElevated), &nReturned))
        debug.OutputDebugStringA(nElevated != 0 ? "Elevated!" : "NOT Elevated!");
}
