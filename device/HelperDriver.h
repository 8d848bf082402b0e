#pragma once
// The Kestrin helper driver: deployed, installed, started, asked to read or write registry
// values, stopped and deleted again for every single exchange.

#include "device/PlatformDetection.h"
#include "platform/Platform.h"

#include <cstdint>

constexpr char kHelperDriverService[] = "Kestrin";
constexpr char kHelperDriverSourceName[] = "\\Kestrin.dll";
constexpr char kHelperDriverInstalledName[] = "\\Kestrin.sys";
constexpr char kHelperDriverWow64Directory[] = "\\SysWOW64";
constexpr char kHelperDriverDevice[] = "\\\\.\\DKestrin";

// METHOD_BUFFERED, FILE_ANY_ACCESS, device type 0x9C40, functions 0x950 and 0x951.
constexpr std::uint32_t kIoctlHelperWriteValue = 0x9C402540;
constexpr std::uint32_t kIoctlHelperReadValue = 0x9C402544;

constexpr std::uint32_t kRegBinary = 3;
// Every request the panel makes carries a data buffer of this size.
constexpr std::uint32_t kRegistryValueBufferSize = 260;

// One request to the driver. It carries addresses of the panel's own address space, which
// must stay valid during the I/O control.
struct RegistryValueRequest
{
    std::uint16_t size;
    std::uint16_t reserved0;
    const char16_t* keyPath;
    const char16_t* valueName;
    std::uint32_t valueType;
    std::uint8_t* data;
    std::uint32_t dataLength;
    std::uint8_t reserved1[8];
};
constexpr std::uint16_t kRegistryValueRequestSize = sizeof(RegistryValueRequest);

#if UINTPTR_MAX == 0xFFFFFFFFu
// The shipped 32-bit panel sends exactly the driver's 32-byte record.
static_assert(sizeof(RegistryValueRequest) == 32, "the helper driver takes a 32-byte request");
static_assert(offsetof(RegistryValueRequest, keyPath) == 4 && offsetof(RegistryValueRequest, valueName) == 8 &&
                  offsetof(RegistryValueRequest, valueType) == 12 && offsetof(RegistryValueRequest, data) == 16 &&
                  offsetof(RegistryValueRequest, dataLength) == 20,
              "helper driver request layout");
#endif

// What the driver puts before a value it reads: the kernel's partial value information
// header (KEY_VALUE_PARTIAL_INFORMATION), 4 bytes each, little-endian.
constexpr std::uint32_t kReadHeaderSize = 12;
constexpr std::uint32_t kReadHeaderTypeOffset = 4;
constexpr std::uint32_t kReadHeaderDataLengthOffset = 8;

enum : std::uint16_t
{
    kServiceInstallAndStart = 1,
    kServiceStopAndDelete = 2,
};

// A write exchange with both requests; true when both were stored.
bool WriteRegistryValues(const Platform& platform, RegistryValueRequest (&requests)[2], const OsVersionInfo& os);
// A read exchange with the first nCount requests; true when every one was read.
bool ReadRegistryValues(const Platform& platform, RegistryValueRequest* pRequests, const OsVersionInfo& os,
                        int nCount);

// Copies Kestrin.dll from beside the program into the system directory (SysWOW64 on 64-bit
// Windows) as Kestrin.sys and writes the installed path.
bool DeployDriverFile(const Platform& platform, char (&szInstalledPath)[kSysMaxPath], const OsVersionInfo& os);
bool ControlDriverService(const Platform& platform, const char* pszPath, const char* pszName, std::uint16_t nAction);
// True when the service exists afterwards, also when it existed before.
bool CreateDriverService(IServiceControl& services, SysHandle hManager, const char* pszName, const char* pszPath);
