#pragma once
// Opening devices and files, and sending I/O controls to them.

#include "platform/PlatformTypes.h"

constexpr std::uint32_t kSysGenericRead = 0x80000000u;
constexpr std::uint32_t kSysGenericWrite = 0x40000000u;
constexpr std::uint32_t kSysFileShareRead = 0x1;
constexpr std::uint32_t kSysFileShareWrite = 0x2;
constexpr std::uint32_t kSysCreateAlways = 2;
constexpr std::uint32_t kSysOpenExisting = 3;
constexpr std::uint32_t kSysFileAttributeNormal = 0x80;

class IFileIo
{
public:
    // CreateFileA without security attributes and template; the result is the handle as
    // returned, which may be either form of "absent".
    virtual SysHandle CreateFileA(const char* pszPath, std::uint32_t nAccess, std::uint32_t nShareMode,
                                  std::uint32_t nDisposition, std::uint32_t nFlags) = 0;
    virtual bool CloseHandle(SysHandle h) = 0;
    // Synchronous DeviceIoControl (no overlapped record).
    virtual bool DeviceIoControl(SysHandle h, std::uint32_t nControlCode, const void* pIn, std::uint32_t nInSize,
                                 void* pOut, std::uint32_t nOutSize, std::uint32_t* pnReturned) = 0;

protected:
    ~IFileIo() = default;
};
