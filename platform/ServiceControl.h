#pragma once
// The service control manager of the local machine, as far as a kernel-driver service is
// installed, started, stopped and deleted through it.

#include "platform/PlatformTypes.h"

constexpr std::uint32_t kSysScManagerAllAccess = 0xF003F;
constexpr std::uint32_t kSysServiceAllAccess = 0xF01FF;
constexpr std::uint32_t kSysServiceKernelDriver = 1;
constexpr std::uint32_t kSysServiceDemandStart = 3;
constexpr std::uint32_t kSysServiceErrorNormal = 1;
constexpr std::uint32_t kSysServiceControlStop = 1;

constexpr std::uint32_t kSysErrorServiceAlreadyRunning = 1056;
constexpr std::uint32_t kSysErrorServiceExists = 1073;

// Service handles are null when absent.
class IServiceControl
{
public:
    // OpenSCManagerA on the local machine's default database.
    virtual SysHandle OpenSCManagerA(std::uint32_t nAccess) = 0;
    // CreateServiceA without load-order group, tag, dependencies, account or password.
    virtual SysHandle CreateServiceA(SysHandle hManager, const char* pszName, const char* pszDisplayName,
                                     std::uint32_t nAccess, std::uint32_t nServiceType, std::uint32_t nStartType,
                                     std::uint32_t nErrorControl, const char* pszBinaryPath) = 0;
    virtual SysHandle OpenServiceA(SysHandle hManager, const char* pszName, std::uint32_t nAccess) = 0;
    // StartServiceA without arguments.
    virtual bool StartServiceA(SysHandle hService) = 0;
    // ControlService; the status it reports back is not asked for.
    virtual bool ControlService(SysHandle hService, std::uint32_t nControl) = 0;
    virtual bool DeleteService(SysHandle hService) = 0;
    virtual bool CloseServiceHandle(SysHandle h) = 0;
    virtual std::uint32_t GetLastError() = 0;

protected:
    ~IServiceControl() = default;
};
