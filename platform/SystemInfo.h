#pragma once
// Version and system information, and the queries on the process's own token.

#include "platform/PlatformTypes.h"

constexpr std::uint16_t kSysProcessorArchitectureIntel = 0;
constexpr std::uint16_t kSysProcessorArchitectureIa64 = 6;
constexpr std::uint16_t kSysProcessorArchitectureAmd64 = 9;

constexpr std::uint32_t kSysPlatformWin32s = 0;
constexpr std::uint32_t kSysPlatformWin32Windows = 1;
constexpr std::uint32_t kSysPlatformWin32Nt = 2;
constexpr std::uint8_t kSysNtWorkstation = 1;

// Token information classes; the headers of older SDKs do not name them.
constexpr std::uint32_t kSysTokenElevationType = 18;
constexpr std::uint32_t kSysTokenElevation = 20;
constexpr std::uint32_t kSysTokenElevationTypeDefault = 1;
constexpr std::uint32_t kSysTokenElevationTypeFull = 2;

// The part of SYSTEM_INFO that is read.
struct SysSystemInfo
{
    std::uint16_t wProcessorArchitecture;
};

// OSVERSIONINFOEXA in its own layout. dwOSVersionInfoSize says which form the caller asks
// for: 156 for this record, 148 for the plain OSVERSIONINFOA that ends at szCSDVersion.
struct SysOsVersionInfoEx
{
    std::uint32_t dwOSVersionInfoSize;
    std::uint32_t dwMajorVersion;
    std::uint32_t dwMinorVersion;
    std::uint32_t dwBuildNumber;
    std::uint32_t dwPlatformId;
    char szCSDVersion[128];
    std::uint16_t wServicePackMajor;
    std::uint16_t wServicePackMinor;
    std::uint16_t wSuiteMask;
    std::uint8_t wProductType;
    std::uint8_t wReserved;
};
static_assert(sizeof(SysOsVersionInfoEx) == 156, "OSVERSIONINFOEXA is 156 bytes");
constexpr std::uint32_t kSysOsVersionInfoExSize = 156;
constexpr std::uint32_t kSysOsVersionInfoSize = 148;

class ISystemInfo
{
public:
    // False when the system has no GetNativeSystemInfo (it is looked up at run time).
    virtual bool GetNativeSystemInfo(SysSystemInfo* pInfo) = 0;
    virtual void GetSystemInfo(SysSystemInfo* pInfo) = 0;
    virtual bool GetVersionExA(SysOsVersionInfoEx* pInfo) = 0;
    // OpenProcessToken on the current process with TOKEN_QUERY.
    virtual bool OpenProcessTokenForQuery(SysHandle* phToken) = 0;
    virtual bool GetTokenInformation(SysHandle hToken, std::uint32_t nClass, void* pBuffer, std::uint32_t nSize,
                                     std::uint32_t* pnReturned) = 0;
    virtual bool CloseHandle(SysHandle h) = 0;

protected:
    ~ISystemInfo() = default;
};
