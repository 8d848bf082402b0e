// One-to-one forwarding of the platform interfaces to Windows. Nothing is decided here: the
// portable records share the system's layout (checked below) and pass straight through.

#include "platform/win32/Win32Platform.h"

#include "platform/win32/Win32EndpointReader.h"

#include <windows.h>
#include <setupapi.h>

#include <cstddef>

namespace {

static_assert(sizeof(SysGuid) == sizeof(GUID), "GUID layout");
static_assert(sizeof(SysDevInfoData) == sizeof(SP_DEVINFO_DATA), "SP_DEVINFO_DATA layout");
static_assert(offsetof(SysDevInfoData, devInst) == offsetof(SP_DEVINFO_DATA, DevInst), "SP_DEVINFO_DATA layout");
static_assert(offsetof(SysDevInfoData, reserved) == offsetof(SP_DEVINFO_DATA, Reserved), "SP_DEVINFO_DATA layout");
static_assert(sizeof(SysDeviceInterfaceData) == sizeof(SP_DEVICE_INTERFACE_DATA), "SP_DEVICE_INTERFACE_DATA layout");
static_assert(offsetof(SysDeviceInterfaceData, flags) == offsetof(SP_DEVICE_INTERFACE_DATA, Flags),
              "SP_DEVICE_INTERFACE_DATA layout");
static_assert(offsetof(SysDeviceInterfaceData, reserved) == offsetof(SP_DEVICE_INTERFACE_DATA, Reserved),
              "SP_DEVICE_INTERFACE_DATA layout");
static_assert(sizeof(SysDeviceInterfaceDetailA) == sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A),
              "SP_DEVICE_INTERFACE_DETAIL_DATA_A layout");
static_assert(offsetof(SysDeviceInterfaceDetailA, devicePath) == offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath),
              "SP_DEVICE_INTERFACE_DETAIL_DATA_A layout");
static_assert(sizeof(SysOsVersionInfoEx) == sizeof(OSVERSIONINFOEXA), "OSVERSIONINFOEXA layout");
static_assert(offsetof(SysOsVersionInfoEx, wProductType) == offsetof(OSVERSIONINFOEXA, wProductType),
              "OSVERSIONINFOEXA layout");
static_assert(kSysOsVersionInfoSize == sizeof(OSVERSIONINFOA), "OSVERSIONINFOA size");

static_assert(kSysGenericRead == GENERIC_READ && kSysGenericWrite == GENERIC_WRITE, "access rights");
static_assert(kSysFileShareRead == FILE_SHARE_READ && kSysFileShareWrite == FILE_SHARE_WRITE, "share modes");
static_assert(kSysCreateAlways == CREATE_ALWAYS && kSysOpenExisting == OPEN_EXISTING, "dispositions");
static_assert(kSysFileAttributeNormal == FILE_ATTRIBUTE_NORMAL, "attributes");
static_assert(kSysDigcfPresent == DIGCF_PRESENT && kSysDigcfDeviceInterface == DIGCF_DEVICEINTERFACE, "flags");
static_assert(kSysSpdrpService == SPDRP_SERVICE, "property");
static_assert(kSysErrorInsufficientBuffer == ERROR_INSUFFICIENT_BUFFER, "error code");
static_assert(kSysProcessorArchitectureIntel == PROCESSOR_ARCHITECTURE_INTEL &&
                  kSysProcessorArchitectureIa64 == PROCESSOR_ARCHITECTURE_IA64 &&
                  kSysProcessorArchitectureAmd64 == PROCESSOR_ARCHITECTURE_AMD64,
              "architectures");
static_assert(kSysPlatformWin32s == VER_PLATFORM_WIN32s && kSysPlatformWin32Windows == VER_PLATFORM_WIN32_WINDOWS &&
                  kSysPlatformWin32Nt == VER_PLATFORM_WIN32_NT && kSysNtWorkstation == VER_NT_WORKSTATION,
              "version codes");
static_assert(kSysScManagerAllAccess == SC_MANAGER_ALL_ACCESS && kSysServiceAllAccess == SERVICE_ALL_ACCESS,
              "service access rights");
static_assert(kSysServiceKernelDriver == SERVICE_KERNEL_DRIVER && kSysServiceDemandStart == SERVICE_DEMAND_START &&
                  kSysServiceErrorNormal == SERVICE_ERROR_NORMAL && kSysServiceControlStop == SERVICE_CONTROL_STOP,
              "service parameters");
static_assert(kSysErrorServiceAlreadyRunning == ERROR_SERVICE_ALREADY_RUNNING &&
                  kSysErrorServiceExists == ERROR_SERVICE_EXISTS,
              "service error codes");

const GUID* AsGuid(const SysGuid* p)
{
    return reinterpret_cast<const GUID*>(p);
}

class CWin32Platform : public IFileIo,
                       public ISetupApi,
                       public ISystemInfo,
                       public IDebugOutput,
                       public ITextConversion,
                       public IFileSystem,
                       public IServiceControl
{
public:
    Platform Bundle() { return MakePlatform(*this, GetWin32AudioEndpoints()); }

    // IFileIo
    SysHandle CreateFileA(const char* pszPath, std::uint32_t nAccess, std::uint32_t nShareMode,
                          std::uint32_t nDisposition, std::uint32_t nFlags) override
    {
        return ::CreateFileA(pszPath, nAccess, nShareMode, nullptr, nDisposition, nFlags, nullptr);
    }

    // Both interfaces that hand out handles close them the same way.
    bool CloseHandle(SysHandle h) override
    {
        return ::CloseHandle(h) != FALSE;
    }

    bool DeviceIoControl(SysHandle h, std::uint32_t nControlCode, const void* pIn, std::uint32_t nInSize, void* pOut,
                         std::uint32_t nOutSize, std::uint32_t* pnReturned) override
    {
        DWORD nReturned = pnReturned ? *pnReturned : 0;
        BOOL bOk = ::DeviceIoControl(h, nControlCode, const_cast<void*>(pIn), nInSize, pOut, nOutSize, &nReturned,
                                     nullptr);
        if (pnReturned)
            *pnReturned = nReturned;
        return bOk != FALSE;
    }

    // ISetupApi
    SysHandle SetupDiGetClassDevsA(const SysGuid* pClass, const char* pszEnumerator, std::uint32_t nFlags) override
    {
        return ::SetupDiGetClassDevsA(AsGuid(pClass), pszEnumerator, nullptr, nFlags);
    }

    bool SetupDiEnumDeviceInfo(SysHandle hSet, std::uint32_t nIndex, SysDevInfoData* pElement) override
    {
        return ::SetupDiEnumDeviceInfo(hSet, nIndex, reinterpret_cast<SP_DEVINFO_DATA*>(pElement)) != FALSE;
    }

    bool SetupDiGetDeviceRegistryPropertyA(SysHandle hSet, SysDevInfoData* pElement, std::uint32_t nProperty,
                                           std::uint8_t* pBuffer, std::uint32_t nSize,
                                           std::uint32_t* pnRequired) override
    {
        DWORD nRequired = 0;
        BOOL bOk = ::SetupDiGetDeviceRegistryPropertyA(hSet, reinterpret_cast<SP_DEVINFO_DATA*>(pElement), nProperty,
                                                       nullptr, pBuffer, nSize, pnRequired ? &nRequired : nullptr);
        if (pnRequired)
            *pnRequired = nRequired;
        return bOk != FALSE;
    }

    bool SetupDiGetDeviceInstanceIdA(SysHandle hSet, SysDevInfoData* pElement, char* pBuffer, std::uint32_t nSize,
                                     std::uint32_t* pnRequired) override
    {
        DWORD nRequired = 0;
        BOOL bOk = ::SetupDiGetDeviceInstanceIdA(hSet, reinterpret_cast<SP_DEVINFO_DATA*>(pElement), pBuffer, nSize,
                                                 pnRequired ? &nRequired : nullptr);
        if (pnRequired)
            *pnRequired = nRequired;
        return bOk != FALSE;
    }

    bool SetupDiEnumDeviceInterfaces(SysHandle hSet, const SysGuid* pClass, std::uint32_t nIndex,
                                     SysDeviceInterfaceData* pInterface) override
    {
        return ::SetupDiEnumDeviceInterfaces(hSet, nullptr, AsGuid(pClass), nIndex,
                                             reinterpret_cast<SP_DEVICE_INTERFACE_DATA*>(pInterface)) != FALSE;
    }

    bool SetupDiGetDeviceInterfaceDetailA(SysHandle hSet, SysDeviceInterfaceData* pInterface,
                                          SysDeviceInterfaceDetailA* pDetail, std::uint32_t nSize,
                                          std::uint32_t* pnRequired) override
    {
        DWORD nRequired = 0;
        BOOL bOk = ::SetupDiGetDeviceInterfaceDetailA(
            hSet, reinterpret_cast<SP_DEVICE_INTERFACE_DATA*>(pInterface),
            reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(pDetail), nSize, pnRequired ? &nRequired : nullptr,
            nullptr);
        if (pnRequired)
            *pnRequired = nRequired;
        return bOk != FALSE;
    }

    bool SetupDiDestroyDeviceInfoList(SysHandle hSet) override
    {
        return ::SetupDiDestroyDeviceInfoList(hSet) != FALSE;
    }

    std::uint32_t GetLastError() override
    {
        return ::GetLastError();
    }

    void* LocalAllocZeroed(std::size_t nBytes) override
    {
        return ::LocalAlloc(LMEM_ZEROINIT, nBytes);
    }

    void LocalFree(void* p) override
    {
        ::LocalFree(p);
    }

    // ISystemInfo
    bool GetNativeSystemInfo(SysSystemInfo* pInfo) override
    {
        // Not in Windows 2000; the headers for XP must not import it.
        typedef void(WINAPI * GetNativeSystemInfoFn)(LPSYSTEM_INFO);
        HMODULE hKernel = ::GetModuleHandleA("kernel32.dll");
        FARPROC pProc = hKernel ? ::GetProcAddress(hKernel, "GetNativeSystemInfo") : nullptr;
        if (!pProc)
            return false;
        SYSTEM_INFO info = {};
        reinterpret_cast<GetNativeSystemInfoFn>(reinterpret_cast<void*>(pProc))(&info);
        pInfo->wProcessorArchitecture = info.wProcessorArchitecture;
        return true;
    }

    void GetSystemInfo(SysSystemInfo* pInfo) override
    {
        SYSTEM_INFO info = {};
        ::GetSystemInfo(&info);
        pInfo->wProcessorArchitecture = info.wProcessorArchitecture;
    }

    bool GetVersionExA(SysOsVersionInfoEx* pInfo) override
    {
        return ::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(pInfo)) != FALSE;
    }

    bool OpenProcessTokenForQuery(SysHandle* phToken) override
    {
        HANDLE hToken = nullptr;
        BOOL bOk = ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &hToken);
        *phToken = hToken;
        return bOk != FALSE;
    }

    bool GetTokenInformation(SysHandle hToken, std::uint32_t nClass, void* pBuffer, std::uint32_t nSize,
                             std::uint32_t* pnReturned) override
    {
        DWORD nReturned = 0;
        BOOL bOk = ::GetTokenInformation(hToken, static_cast<TOKEN_INFORMATION_CLASS>(nClass), pBuffer, nSize,
                                         &nReturned);
        if (pnReturned)
            *pnReturned = nReturned;
        return bOk != FALSE;
    }

    // IDebugOutput
    void OutputDebugStringA(const char* pszText) override
    {
        ::OutputDebugStringA(pszText);
    }

    // ITextConversion
    int WideToAnsi(const char16_t* pszSource, char* pszDest, int nDestSize) override
    {
        return ::WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(pszSource), -1, pszDest, nDestSize,
                                     nullptr, nullptr);
    }

    // IFileSystem
    std::uint32_t GetModuleFileNameA(char* pszPath, std::uint32_t nSize) override
    {
        return ::GetModuleFileNameA(nullptr, pszPath, nSize);
    }

    std::uint32_t GetSystemDirectoryA(char* pszPath, std::uint32_t nSize) override
    {
        return ::GetSystemDirectoryA(pszPath, nSize);
    }

    bool CopyFileA(const char* pszSource, const char* pszDest, bool bFailIfExists) override
    {
        return ::CopyFileA(pszSource, pszDest, bFailIfExists ? TRUE : FALSE) != FALSE;
    }

    // IServiceControl (its GetLastError is the one above)
    SysHandle OpenSCManagerA(std::uint32_t nAccess) override
    {
        return ::OpenSCManagerA(nullptr, nullptr, nAccess);
    }

    SysHandle CreateServiceA(SysHandle hManager, const char* pszName, const char* pszDisplayName,
                             std::uint32_t nAccess, std::uint32_t nServiceType, std::uint32_t nStartType,
                             std::uint32_t nErrorControl, const char* pszBinaryPath) override
    {
        return ::CreateServiceA(AsService(hManager), pszName, pszDisplayName, nAccess, nServiceType, nStartType,
                                nErrorControl, pszBinaryPath, nullptr, nullptr, nullptr, nullptr, nullptr);
    }

    SysHandle OpenServiceA(SysHandle hManager, const char* pszName, std::uint32_t nAccess) override
    {
        return ::OpenServiceA(AsService(hManager), pszName, nAccess);
    }

    bool StartServiceA(SysHandle hService) override
    {
        return ::StartServiceA(AsService(hService), 0, nullptr) != FALSE;
    }

    bool ControlService(SysHandle hService, std::uint32_t nControl) override
    {
        SERVICE_STATUS status = {};
        return ::ControlService(AsService(hService), nControl, &status) != FALSE;
    }

    bool DeleteService(SysHandle hService) override
    {
        return ::DeleteService(AsService(hService)) != FALSE;
    }

    bool CloseServiceHandle(SysHandle h) override
    {
        return ::CloseServiceHandle(AsService(h)) != FALSE;
    }

private:
    static SC_HANDLE AsService(SysHandle h)
    {
        return static_cast<SC_HANDLE>(h);
    }
};

static_assert(sizeof(char16_t) == sizeof(wchar_t), "UTF-16 text passes as WCHAR");

} // namespace

const Platform& GetWin32Platform()
{
    static CWin32Platform s_platform;
    static const Platform s_bundle = s_platform.Bundle();
    return s_bundle;
}
