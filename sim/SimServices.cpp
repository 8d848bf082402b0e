// The service control manager of the simulated machine. A service marked for deletion goes
// once it is stopped and its last handle is closed, as in Windows.

#include "sim/SimMachine.h"
#include "sim/SimErrors.h"

SimService& CSimMachine::AddService(const std::string& name, const std::string& binaryPath, bool bRunning)
{
    m_services.emplace_back();
    SimService& service = m_services.back();
    service.name = name;
    service.displayName = name;
    service.nType = kSysServiceKernelDriver;
    service.nStartType = kSysServiceDemandStart;
    service.nErrorControl = kSysServiceErrorNormal;
    service.binaryPath = binaryPath;
    service.bRunning = bRunning;
    return service;
}

void CSimMachine::InstallKestrinService(bool bRunning)
{
    const std::string path = m_systemDirectory + "\\Kestrin.sys";
    PutFile(path, kKestrinImage);
    AddService("Kestrin", path, bRunning);
}

SimService* CSimMachine::FindServiceEntry(const std::string& name)
{
    for (SimService& service : m_services)
        if (SameIgnoringCase(service.name, name.c_str()))
            return &service;
    return nullptr;
}

const SimService* CSimMachine::FindService(const std::string& name) const
{
    return const_cast<CSimMachine*>(this)->FindServiceEntry(name);
}

bool CSimMachine::IsKestrinDevicePresent() const
{
    for (const SimService& service : m_services)
    {
        const std::string* pImage = FindFile(service.binaryPath);
        if (service.bRunning && pImage && *pImage == kKestrinImage)
            return true;
    }
    return false;
}

SimService* CSimMachine::ServiceOf(SysHandle hService)
{
    auto it = m_serviceHandles.find(hService);
    if (it == m_serviceHandles.end() || it->second.service.empty())
    {
        Fail(kErrorInvalidHandle);
        return nullptr;
    }
    return FindServiceEntry(it->second.service);
}

void CSimMachine::RemoveIfDeleted(const std::string& name)
{
    for (auto it = m_services.begin(); it != m_services.end(); ++it)
    {
        if (!SameIgnoringCase(it->name, name.c_str()))
            continue;
        if (it->bDeletePending && !it->bRunning && it->nOpenHandles == 0)
            m_services.erase(it);
        return;
    }
}

SysHandle CSimMachine::OpenSCManagerA(std::uint32_t /*nAccess*/)
{
    Count(SimCall::OpenSCManager);
    if (Injected(SimCall::OpenSCManager))
        return nullptr;
    SysHandle h = NewHandle();
    m_serviceHandles[h] = ServiceHandleEntry{};
    Succeed();
    return h;
}

SysHandle CSimMachine::CreateServiceA(SysHandle hManager, const char* pszName, const char* pszDisplayName,
                                      std::uint32_t /*nAccess*/, std::uint32_t nServiceType,
                                      std::uint32_t nStartType, std::uint32_t nErrorControl,
                                      const char* pszBinaryPath)
{
    Count(SimCall::CreateService);
    if (Injected(SimCall::CreateService))
        return nullptr;
    auto manager = m_serviceHandles.find(hManager);
    if (manager == m_serviceHandles.end() || !manager->second.service.empty())
    {
        Fail(kErrorInvalidHandle);
        return nullptr;
    }
    if (!pszName || !*pszName || !pszBinaryPath)
    {
        Fail(kErrorInvalidParameter);
        return nullptr;
    }
    if (SimService* pExisting = FindServiceEntry(pszName))
    {
        Fail(pExisting->bDeletePending ? kErrorServiceMarkedForDelete : kSysErrorServiceExists);
        return nullptr;
    }
    SimService& service = AddService(pszName, pszBinaryPath, false);
    service.displayName = pszDisplayName ? pszDisplayName : "";
    service.nType = nServiceType;
    service.nStartType = nStartType;
    service.nErrorControl = nErrorControl;
    ++service.nOpenHandles;
    SysHandle h = NewHandle();
    m_serviceHandles[h] = ServiceHandleEntry{service.name};
    Succeed();
    return h;
}

SysHandle CSimMachine::OpenServiceA(SysHandle hManager, const char* pszName, std::uint32_t /*nAccess*/)
{
    Count(SimCall::OpenService);
    if (Injected(SimCall::OpenService))
        return nullptr;
    auto manager = m_serviceHandles.find(hManager);
    if (manager == m_serviceHandles.end() || !manager->second.service.empty())
    {
        Fail(kErrorInvalidHandle);
        return nullptr;
    }
    SimService* pService = pszName ? FindServiceEntry(pszName) : nullptr;
    if (!pService)
    {
        Fail(kErrorServiceDoesNotExist);
        return nullptr;
    }
    ++pService->nOpenHandles;
    SysHandle h = NewHandle();
    m_serviceHandles[h] = ServiceHandleEntry{pService->name};
    Succeed();
    return h;
}

bool CSimMachine::StartServiceA(SysHandle hService)
{
    Count(SimCall::StartService);
    if (Injected(SimCall::StartService))
        return false;
    SimService* pService = ServiceOf(hService);
    if (!pService)
        return false;
    if (pService->bRunning)
        return Fail(kSysErrorServiceAlreadyRunning);
    if (pService->bDeletePending)
        return Fail(kErrorServiceMarkedForDelete);
    const std::string* pImage = FindFile(pService->binaryPath);
    if (!pImage)
        return Fail(kErrorFileNotFound);
    if (*pImage != kKestrinImage)
        return Fail(kErrorBadExeFormat);
    pService->bRunning = true;
    return Succeed();
}

bool CSimMachine::ControlService(SysHandle hService, std::uint32_t nControl)
{
    Count(SimCall::ControlService);
    if (Injected(SimCall::ControlService))
        return false;
    SimService* pService = ServiceOf(hService);
    if (!pService)
        return false;
    if (nControl != kSysServiceControlStop)
        return Fail(kErrorInvalidParameter);
    if (!pService->bRunning)
        return Fail(kErrorServiceNotActive);
    // A driver with open devices cannot unload.
    for (const auto& entry : m_handles)
        if (entry.second.kind == HandleKind::KestrinDevice)
            return Fail(kErrorServiceCannotAcceptControl);
    pService->bRunning = false;
    const std::string name = pService->name;
    RemoveIfDeleted(name);
    return Succeed();
}

bool CSimMachine::DeleteService(SysHandle hService)
{
    Count(SimCall::DeleteService);
    if (Injected(SimCall::DeleteService))
        return false;
    SimService* pService = ServiceOf(hService);
    if (!pService)
        return false;
    if (pService->bDeletePending)
        return Fail(kErrorServiceMarkedForDelete);
    pService->bDeletePending = true;
    return Succeed();
}

bool CSimMachine::CloseServiceHandle(SysHandle h)
{
    Count(SimCall::CloseServiceHandle);
    auto it = m_serviceHandles.find(h);
    if (it == m_serviceHandles.end())
    {
        ++m_nBadReleases;
        return Fail(kErrorInvalidHandle);
    }
    const std::string name = it->second.service;
    m_serviceHandles.erase(it);
    if (!name.empty())
    {
        if (SimService* pService = FindServiceEntry(name))
            --pService->nOpenHandles;
        RemoveIfDeleted(name);
    }
    return Succeed();
}
