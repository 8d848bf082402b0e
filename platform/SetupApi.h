#pragma once
// The Setup API device-interface enumeration, with the error code it leaves behind and the
// zero-filled allocations its callers use for variable-size answers.

#include "platform/PlatformTypes.h"

constexpr std::uint32_t kSysDigcfPresent = 0x02;
constexpr std::uint32_t kSysDigcfDeviceInterface = 0x10;
constexpr std::uint32_t kSysSpdrpService = 4;

// The records exchanged with the Setup API, in the system's own layout: byte-packed in 32-bit
// Windows, 8-packed in 64-bit Windows. Callers set cbSize to sizeof the record they pass.
#if UINTPTR_MAX == 0xFFFFFFFFu
#pragma pack(push, 1)
#else
#pragma pack(push, 8)
#endif
struct SysDevInfoData
{
    std::uint32_t cbSize;
    SysGuid classGuid;
    std::uint32_t devInst;
    std::uintptr_t reserved;
};

struct SysDeviceInterfaceData
{
    std::uint32_t cbSize;
    SysGuid interfaceClassGuid;
    std::uint32_t flags;
    std::uintptr_t reserved;
};

// Fixed part of the interface detail; DevicePath runs on to the end of the allocation.
struct SysDeviceInterfaceDetailA
{
    std::uint32_t cbSize;
    char devicePath[1];
};
#pragma pack(pop)

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(SysDevInfoData) == 28, "SP_DEVINFO_DATA is 28 bytes in 32-bit Windows");
static_assert(sizeof(SysDeviceInterfaceData) == 28, "SP_DEVICE_INTERFACE_DATA is 28 bytes in 32-bit Windows");
static_assert(sizeof(SysDeviceInterfaceDetailA) == 5, "SP_DEVICE_INTERFACE_DETAIL_DATA_A is 5 bytes in 32-bit Windows");
#endif

class ISetupApi
{
public:
    // No parent window is ever passed.
    virtual SysHandle SetupDiGetClassDevsA(const SysGuid* pClass, const char* pszEnumerator, std::uint32_t nFlags) = 0;
    virtual bool SetupDiEnumDeviceInfo(SysHandle hSet, std::uint32_t nIndex, SysDevInfoData* pElement) = 0;
    // The value type is not asked for.
    virtual bool SetupDiGetDeviceRegistryPropertyA(SysHandle hSet, SysDevInfoData* pElement, std::uint32_t nProperty,
                                                   std::uint8_t* pBuffer, std::uint32_t nSize,
                                                   std::uint32_t* pnRequired) = 0;
    virtual bool SetupDiGetDeviceInstanceIdA(SysHandle hSet, SysDevInfoData* pElement, char* pBuffer,
                                             std::uint32_t nSize, std::uint32_t* pnRequired) = 0;
    // Interfaces of the whole set (no element given).
    virtual bool SetupDiEnumDeviceInterfaces(SysHandle hSet, const SysGuid* pClass, std::uint32_t nIndex,
                                             SysDeviceInterfaceData* pInterface) = 0;
    // No element record is asked for.
    virtual bool SetupDiGetDeviceInterfaceDetailA(SysHandle hSet, SysDeviceInterfaceData* pInterface,
                                                  SysDeviceInterfaceDetailA* pDetail, std::uint32_t nSize,
                                                  std::uint32_t* pnRequired) = 0;
    virtual bool SetupDiDestroyDeviceInfoList(SysHandle hSet) = 0;
    virtual std::uint32_t GetLastError() = 0;
    // LocalAlloc with LMEM_ZEROINIT, and its release.
    virtual void* LocalAllocZeroed(std::size_t nBytes) = 0;
    virtual void LocalFree(void* p) = 0;

protected:
    ~ISetupApi() = default;
};
