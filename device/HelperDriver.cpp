#include "device/HelperDriver.h"

#include <cstring>

namespace {

class CServiceHandle
{
public:
    CServiceHandle(IServiceControl& services, SysHandle h) : m_services(services), m_h(h) {}
    ~CServiceHandle()
    {
        if (m_h)
            m_services.CloseServiceHandle(m_h);
    }
    CServiceHandle(const CServiceHandle&) = delete;
    CServiceHandle& operator=(const CServiceHandle&) = delete;

    SysHandle Get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }

private:
    IServiceControl& m_services;
    SysHandle m_h;
};

class CFileHandle
{
public:
    CFileHandle(IFileIo& files, SysHandle h) : m_files(files), m_h(h) {}
    ~CFileHandle()
    {
        if (IsSysHandleValid(m_h))
            m_files.CloseHandle(m_h);
    }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;

    SysHandle Get() const { return m_h; }
    bool IsValid() const { return IsSysHandleValid(m_h); }

private:
    IFileIo& m_files;
    SysHandle m_h;
};

// Bounded append: false, and the text unchanged, when the result would not fit.
bool Append(char (&szText)[kSysMaxPath], const char* pszTail)
{
    const std::size_t nLength = std::strlen(szText);
    const std::size_t nTail = std::strlen(pszTail);
    if (nLength + nTail >= kSysMaxPath)
        return false;
    std::memcpy(szText + nLength, pszTail, nTail + 1);
    return true;
}

// Cuts the text at its last backslash; false when it has none.
bool CutAtLastBackslash(char (&szText)[kSysMaxPath])
{
    char* pLast = std::strrchr(szText, '\\');
    if (!pLast)
        return false;
    *pLast = 0;
    return true;
}

bool HasPlatform(const Platform& platform)
{
    return platform.pFileIo && platform.pFileSystem && platform.pServiceControl;
}

bool Exchange(const Platform& platform, std::uint32_t nControlCode, RegistryValueRequest* pRequests,
              const OsVersionInfo& os, int nCount)
{
    if (!HasPlatform(platform) || !pRequests)
        return false;
    char szInstalled[kSysMaxPath];
    if (!DeployDriverFile(platform, szInstalled, os))
        return false;
    // A service that did not start shows up as a device that does not open.
    ControlDriverService(platform, szInstalled, kHelperDriverService, kServiceInstallAndStart);

    bool bOk = false;
    {
        IFileIo& files = *platform.pFileIo;
        CFileHandle device(files, files.CreateFileA(kHelperDriverDevice, kSysGenericRead | kSysGenericWrite, 0,
                                                    kSysCreateAlways, kSysFileAttributeNormal));
        if (device.IsValid())
        {
            for (int i = 0; i < nCount; ++i)
            {
                std::uint32_t nReturned = 0;
                bOk = files.DeviceIoControl(device.Get(), nControlCode, &pRequests[i], sizeof(RegistryValueRequest),
                                            &pRequests[i], sizeof(RegistryValueRequest), &nReturned);
                if (!bOk)
                    break;
            }
        }
    }

    if (szInstalled[0])
        ControlDriverService(platform, szInstalled, kHelperDriverService, kServiceStopAndDelete);
    return bOk;
}

} // namespace

bool WriteRegistryValues(const Platform& platform, RegistryValueRequest (&requests)[2], const OsVersionInfo& os)
{
    return Exchange(platform, kIoctlHelperWriteValue, requests, os, 2);
}

bool ReadRegistryValues(const Platform& platform, RegistryValueRequest* pRequests, const OsVersionInfo& os,
                        int nCount)
{
    return Exchange(platform, kIoctlHelperReadValue, pRequests, os, nCount);
}

bool DeployDriverFile(const Platform& platform, char (&szInstalledPath)[kSysMaxPath], const OsVersionInfo& os)
{
    szInstalledPath[0] = 0;
    if (!HasPlatform(platform))
        return false;
    IFileSystem& fileSystem = *platform.pFileSystem;

    // Windows XP cuts a path that does not fit and leaves out the NUL.
    char szSource[kSysMaxPath];
    const std::uint32_t nModule = fileSystem.GetModuleFileNameA(szSource, kSysMaxPath);
    if (nModule == 0 || nModule >= kSysMaxPath || !std::memchr(szSource, 0, kSysMaxPath))
        return false;
    if (!CutAtLastBackslash(szSource) || !Append(szSource, kHelperDriverSourceName))
        return false;

    char szInstalled[kSysMaxPath];
    const std::uint32_t nSystem = fileSystem.GetSystemDirectoryA(szInstalled, kSysMaxPath);
    if (nSystem == 0 || nSystem >= kSysMaxPath)
        return false;
    if (!os.nativeIs32Bit && (!CutAtLastBackslash(szInstalled) || !Append(szInstalled, kHelperDriverWow64Directory)))
        return false;
    if (!Append(szInstalled, kHelperDriverInstalledName))
        return false;

    if (!fileSystem.CopyFileA(szSource, szInstalled, false))
        return false;
    std::memcpy(szInstalledPath, szInstalled, sizeof(szInstalled));

    IFileIo& files = *platform.pFileIo;
    CFileHandle installed(files, files.CreateFileA(szInstalled, kSysGenericRead, 0, kSysOpenExisting,
                                                   kSysFileAttributeNormal));
    return installed.IsValid();
}

bool ControlDriverService(const Platform& platform, const char* pszPath, const char* pszName, std::uint16_t nAction)
{
    if (!pszPath || !pszName || !platform.pServiceControl)
        return false;
    IServiceControl& services = *platform.pServiceControl;
    CServiceHandle manager(services, services.OpenSCManagerA(kSysScManagerAllAccess));
    if (!manager)
        return false;

    switch (nAction)
    {
    case kServiceInstallAndStart:
    {
        if (!CreateDriverService(services, manager.Get(), pszName, pszPath))
            return false;
        CServiceHandle service(services, services.OpenServiceA(manager.Get(), pszName, kSysServiceAllAccess));
        if (!service)
            return false;
        return services.StartServiceA(service.Get()) || services.GetLastError() == kSysErrorServiceAlreadyRunning;
    }
    case kServiceStopAndDelete:
    {
        // Whatever the stop and the deletion do, the action is done.
        {
            CServiceHandle service(services, services.OpenServiceA(manager.Get(), pszName, kSysServiceAllAccess));
            if (service)
                services.ControlService(service.Get(), kSysServiceControlStop);
        }
        CServiceHandle service(services, services.OpenServiceA(manager.Get(), pszName, kSysServiceAllAccess));
        if (service)
            services.DeleteService(service.Get());
        return true;
    }
    default:
        return false;
    }
}

bool CreateDriverService(IServiceControl& services, SysHandle hManager, const char* pszName, const char* pszPath)
{
    CServiceHandle service(services, services.CreateServiceA(hManager, pszName, pszName, kSysServiceAllAccess,
                                                             kSysServiceKernelDriver, kSysServiceDemandStart,
                                                             kSysServiceErrorNormal, pszPath));
    return service || services.GetLastError() == kSysErrorServiceExists;
}
