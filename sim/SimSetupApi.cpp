// The Setup API of the simulated machine: device-information sets over its devices, with the
// size queries and record checks that Windows makes.

#include "sim/SimMachine.h"
#include "sim/SimErrors.h"

#include <cstring>

namespace {

constexpr std::uint32_t kSpintActive = 1;

} // namespace

CSimMachine::DevInfoSet* CSimMachine::FindSet(SysHandle hSet)
{
    auto it = m_sets.find(hSet);
    return it == m_sets.end() ? nullptr : &it->second;
}

// The element record carries its position in the set where Windows keeps its own reference.
SimDevice* CSimMachine::FindElement(SysHandle hSet, const SysDevInfoData* pElement)
{
    DevInfoSet* pSet = FindSet(hSet);
    if (!pSet)
    {
        Fail(kErrorInvalidHandle);
        return nullptr;
    }
    if (!pElement || pElement->cbSize != sizeof(SysDevInfoData) || pElement->reserved == 0 ||
        pElement->reserved > pSet->devices.size())
    {
        Fail(kErrorInvalidUserBuffer);
        return nullptr;
    }
    SimDevice& device = m_devices[pSet->devices[pElement->reserved - 1]];
    ++device.nLookups;
    return &device;
}

const CSimMachine::InterfaceRef* CSimMachine::FindInterface(SysHandle hSet, const SysDeviceInterfaceData* pInterface)
{
    DevInfoSet* pSet = FindSet(hSet);
    if (!pSet)
    {
        Fail(kErrorInvalidHandle);
        return nullptr;
    }
    if (!pInterface || pInterface->cbSize != sizeof(SysDeviceInterfaceData) || pInterface->reserved == 0 ||
        pInterface->reserved > pSet->interfaces.size())
    {
        Fail(kErrorInvalidUserBuffer);
        return nullptr;
    }
    return &pSet->interfaces[pInterface->reserved - 1];
}

SysHandle CSimMachine::SetupDiGetClassDevsA(const SysGuid* pClass, const char* pszEnumerator, std::uint32_t nFlags)
{
    Count(SimCall::GetClassDevs);
    if (m_bClassDevsFails)
    {
        Fail(kErrorInvalidParameter);
        return m_hClassDevsFailure;
    }
    // Only interface classes are simulated.
    if (!pClass || !(nFlags & kSysDigcfDeviceInterface))
    {
        Fail(kErrorInvalidFlags);
        return InvalidSysHandle();
    }
    DevInfoSet set;
    for (std::size_t i = 0; i < m_devices.size(); ++i)
    {
        const SimDevice& device = m_devices[i];
        if ((nFlags & kSysDigcfPresent) && !device.bPresent)
            continue;
        if (pszEnumerator && !SameIgnoringCase(device.instanceId, pszEnumerator))
            continue;
        bool bHasClass = false;
        for (std::size_t j = 0; j < device.interfaces.size(); ++j)
        {
            if (device.interfaces[j].classGuid != *pClass)
                continue;
            bHasClass = true;
            set.interfaces.push_back(InterfaceRef{i, j});
        }
        if (bHasClass)
            set.devices.push_back(i);
    }
    SysHandle h = NewHandle();
    m_sets[h] = set;
    Succeed();
    return h;
}

bool CSimMachine::SetupDiEnumDeviceInfo(SysHandle hSet, std::uint32_t nIndex, SysDevInfoData* pElement)
{
    Count(SimCall::EnumDeviceInfo);
    DevInfoSet* pSet = FindSet(hSet);
    if (!pSet)
        return Fail(kErrorInvalidHandle);
    if (!pElement || pElement->cbSize != sizeof(SysDevInfoData))
        return Fail(kErrorInvalidUserBuffer);
    if (nIndex >= pSet->devices.size())
        return Fail(kErrorNoMoreItems);
    std::memset(&pElement->classGuid, 0, sizeof(pElement->classGuid));
    pElement->devInst = static_cast<std::uint32_t>(pSet->devices[nIndex] + 1);
    pElement->reserved = nIndex + 1;
    return Succeed();
}

bool CSimMachine::SetupDiGetDeviceRegistryPropertyA(SysHandle hSet, SysDevInfoData* pElement, std::uint32_t nProperty,
                                                    std::uint8_t* pBuffer, std::uint32_t nSize,
                                                    std::uint32_t* pnRequired)
{
    Count(SimCall::GetDeviceRegistryProperty);
    SimDevice* pDevice = FindElement(hSet, pElement);
    if (!pDevice)
        return false;
    if (nProperty != kSysSpdrpService || !pDevice->bHasService)
        return Fail(kErrorInvalidData);
    const std::uint32_t nNeeded = static_cast<std::uint32_t>(pDevice->service.size() + 1);
    if (pnRequired)
        *pnRequired = nNeeded;
    if (!pBuffer && nSize != 0)
        return Fail(kErrorInvalidUserBuffer);
    if (nSize < nNeeded)
        return Fail(kSysErrorInsufficientBuffer);
    std::memcpy(pBuffer, pDevice->service.c_str(), nNeeded);
    return Succeed();
}

bool CSimMachine::SetupDiGetDeviceInstanceIdA(SysHandle hSet, SysDevInfoData* pElement, char* pBuffer,
                                              std::uint32_t nSize, std::uint32_t* pnRequired)
{
    Count(SimCall::GetDeviceInstanceId);
    SimDevice* pDevice = FindElement(hSet, pElement);
    if (!pDevice)
        return false;
    const std::uint32_t nNeeded = static_cast<std::uint32_t>(pDevice->instanceId.size() + 1);
    if (pnRequired)
        *pnRequired = nNeeded;
    if (!pBuffer && nSize != 0)
        return Fail(kErrorInvalidUserBuffer);
    if (nSize < nNeeded)
        return Fail(kSysErrorInsufficientBuffer);
    std::memcpy(pBuffer, pDevice->instanceId.c_str(), nNeeded);
    return Succeed();
}

bool CSimMachine::SetupDiEnumDeviceInterfaces(SysHandle hSet, const SysGuid* pClass, std::uint32_t nIndex,
                                              SysDeviceInterfaceData* pInterface)
{
    Count(SimCall::EnumDeviceInterfaces);
    DevInfoSet* pSet = FindSet(hSet);
    if (!pSet)
        return Fail(kErrorInvalidHandle);
    if (!pClass || !pInterface || pInterface->cbSize != sizeof(SysDeviceInterfaceData))
        return Fail(kErrorInvalidUserBuffer);
    std::uint32_t nSeen = 0;
    for (std::size_t i = 0; i < pSet->interfaces.size(); ++i)
    {
        const InterfaceRef& ref = pSet->interfaces[i];
        if (m_devices[ref.nDevice].interfaces[ref.nInterface].classGuid != *pClass || nSeen++ != nIndex)
            continue;
        pInterface->interfaceClassGuid = *pClass;
        pInterface->flags = kSpintActive;
        pInterface->reserved = i + 1;
        return Succeed();
    }
    return Fail(kErrorNoMoreItems);
}

bool CSimMachine::SetupDiGetDeviceInterfaceDetailA(SysHandle hSet, SysDeviceInterfaceData* pInterface,
                                                   SysDeviceInterfaceDetailA* pDetail, std::uint32_t nSize,
                                                   std::uint32_t* pnRequired)
{
    Count(SimCall::GetDeviceInterfaceDetail);
    const InterfaceRef* pRef = FindInterface(hSet, pInterface);
    if (!pRef)
        return false;
    const std::string& path = m_devices[pRef->nDevice].interfaces[pRef->nInterface].path;
    const std::size_t nPathOffset = offsetof(SysDeviceInterfaceDetailA, devicePath);
    const std::uint32_t nNeeded = static_cast<std::uint32_t>(nPathOffset + path.size() + 1);
    if (pnRequired)
        *pnRequired = nNeeded;
    if (!pDetail)
        return Fail(nSize == 0 ? kSysErrorInsufficientBuffer : kErrorInvalidUserBuffer);
    // Windows insists on the size of the fixed part of its own architecture.
    if (nSize < sizeof(SysDeviceInterfaceDetailA) || pDetail->cbSize != sizeof(SysDeviceInterfaceDetailA))
        return Fail(kErrorInvalidUserBuffer);
    if (nSize < nNeeded)
        return Fail(kSysErrorInsufficientBuffer);
    std::memcpy(reinterpret_cast<char*>(pDetail) + nPathOffset, path.c_str(), path.size() + 1);
    return Succeed();
}

bool CSimMachine::SetupDiDestroyDeviceInfoList(SysHandle hSet)
{
    if (m_sets.erase(hSet) == 0)
    {
        ++m_nBadReleases;
        return Fail(kErrorInvalidHandle);
    }
    return Succeed();
}
