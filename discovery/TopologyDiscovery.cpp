#include "discovery/TopologyDiscovery.h"

#include <cstring>

namespace {

class CDevInfoSet
{
public:
    CDevInfoSet(ISetupApi& setupApi, SysHandle hSet) : m_setupApi(setupApi), m_hSet(hSet) {}
    ~CDevInfoSet() { Reset(); }
    CDevInfoSet(const CDevInfoSet&) = delete;
    CDevInfoSet& operator=(const CDevInfoSet&) = delete;

    bool IsValid() const { return IsSysHandleValid(m_hSet); }
    SysHandle Get() const { return m_hSet; }
    void Reset()
    {
        if (IsSysHandleValid(m_hSet))
            m_setupApi.SetupDiDestroyDeviceInfoList(m_hSet);
        m_hSet = InvalidSysHandle();
    }

private:
    ISetupApi& m_setupApi;
    SysHandle m_hSet;
};

class CLocalBuffer
{
public:
    explicit CLocalBuffer(ISetupApi& setupApi) : m_setupApi(setupApi) {}
    ~CLocalBuffer() { Reset(0); }
    CLocalBuffer(const CLocalBuffer&) = delete;
    CLocalBuffer& operator=(const CLocalBuffer&) = delete;

    // Frees what is held, then allocates nBytes zero-filled (none for 0).
    bool Reset(std::uint32_t nBytes)
    {
        if (m_p)
            m_setupApi.LocalFree(m_p);
        m_p = nBytes ? m_setupApi.LocalAllocZeroed(nBytes) : nullptr;
        m_nSize = m_p ? nBytes : 0;
        return m_p != nullptr;
    }
    void* Get() const { return m_p; }
    std::uint32_t Size() const { return m_nSize; }

private:
    ISetupApi& m_setupApi;
    void* m_p = nullptr;
    std::uint32_t m_nSize = 0;
};

SysDevInfoData NewElement()
{
    SysDevInfoData element = {};
    element.cbSize = sizeof(element);
    return element;
}

// True when the element's driver service is exactly ours: all bytes of the name and its NUL.
bool HasDriverService(ISetupApi& setupApi, SysHandle hSet, SysDevInfoData* pElement)
{
    CLocalBuffer service(setupApi);
    std::uint32_t nRequired = 0;
    bool bRead = setupApi.SetupDiGetDeviceRegistryPropertyA(hSet, pElement, kSysSpdrpService, nullptr, 0, &nRequired);
    while (!bRead && setupApi.GetLastError() == kSysErrorInsufficientBuffer)
    {
        if (!service.Reset(nRequired))
            return false;
        bRead = setupApi.SetupDiGetDeviceRegistryPropertyA(hSet, pElement, kSysSpdrpService,
                                                           static_cast<std::uint8_t*>(service.Get()), service.Size(),
                                                           &nRequired);
    }
    return service.Size() >= sizeof(kDeviceDriverService) &&
           std::memcmp(service.Get(), kDeviceDriverService, sizeof(kDeviceDriverService)) == 0;
}

// Size query that must fail for want of a buffer and name a size, then a buffer of that size.
template <typename Query>
bool AllocateForQuery(CLocalBuffer& buffer, ISetupApi& setupApi, Query query)
{
    std::uint32_t nRequired = 0;
    if (query(&nRequired) || setupApi.GetLastError() != kSysErrorInsufficientBuffer || nRequired == 0)
        return false;
    return buffer.Reset(nRequired);
}

} // namespace

bool FindTopologyDevicePath(ISetupApi& setupApi, char (&szPath)[kSysMaxPath])
{
    szPath[0] = 0;

    CDevInfoSet present(setupApi, setupApi.SetupDiGetClassDevsA(&kKsCategoryTopology, nullptr,
                                                                kSysDigcfPresent | kSysDigcfDeviceInterface));
    if (!present.IsValid())
        return false;

    SysDevInfoData element = NewElement();
    bool bFound = false;
    for (std::uint32_t i = 0; !bFound && setupApi.SetupDiEnumDeviceInfo(present.Get(), i, &element); ++i)
        bFound = HasDriverService(setupApi, present.Get(), &element);
    if (!bFound)
        return false;

    CLocalBuffer instanceId(setupApi);
    if (!AllocateForQuery(instanceId, setupApi, [&](std::uint32_t* pnRequired) {
            return setupApi.SetupDiGetDeviceInstanceIdA(present.Get(), &element, nullptr, 0, pnRequired);
        }))
        return false;
    if (!setupApi.SetupDiGetDeviceInstanceIdA(present.Get(), &element, static_cast<char*>(instanceId.Get()),
                                              instanceId.Size(), nullptr))
        return false;
    present.Reset();

    // All topology interfaces of that one device, present or not.
    CDevInfoSet device(setupApi, setupApi.SetupDiGetClassDevsA(&kKsCategoryTopology,
                                                               static_cast<const char*>(instanceId.Get()),
                                                               kSysDigcfDeviceInterface));
    instanceId.Reset(0);
    if (!device.IsValid())
        return false;

    SysDeviceInterfaceData iface = {};
    iface.cbSize = sizeof(iface);
    if (!setupApi.SetupDiEnumDeviceInterfaces(device.Get(), &kKsCategoryTopology, 0, &iface))
        return false;

    CLocalBuffer detail(setupApi);
    if (!AllocateForQuery(detail, setupApi, [&](std::uint32_t* pnRequired) {
            return setupApi.SetupDiGetDeviceInterfaceDetailA(device.Get(), &iface, nullptr, 0, pnRequired);
        }))
        return false;
    if (detail.Size() < sizeof(SysDeviceInterfaceDetailA))
        return false;
    // Only the fixed part counts in cbSize: 5 bytes in 32-bit Windows, 8 in 64-bit Windows.
    auto* pDetail = static_cast<SysDeviceInterfaceDetailA*>(detail.Get());
    pDetail->cbSize = sizeof(SysDeviceInterfaceDetailA);
    if (!setupApi.SetupDiGetDeviceInterfaceDetailA(device.Get(), &iface, pDetail, detail.Size(), nullptr))
        return false;

    // A path cut short would name some other object: a path that does not fit is no result.
    const std::size_t nPathOffset = offsetof(SysDeviceInterfaceDetailA, devicePath);
    if (detail.Size() <= nPathOffset)
        return false;
    const char* pszDevicePath = static_cast<const char*>(detail.Get()) + nPathOffset;
    const void* pEnd = std::memchr(pszDevicePath, 0, detail.Size() - nPathOffset);
    if (!pEnd)
        return false;
    const std::size_t nLength = static_cast<const char*>(pEnd) - pszDevicePath;
    if (nLength == 0 || nLength >= kSysMaxPath)
        return false;
    std::memcpy(szPath, pszDevicePath, nLength + 1);
    return true;
}
