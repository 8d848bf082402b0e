#include "sim/SimMachine.h"
#include "sim/SimErrors.h"

#include "device/FormatProperty.h"
#include "discovery/TopologyDiscovery.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

std::string Plural(std::size_t n, const char* pszWhat)
{
    return std::to_string(n) + " " + pszWhat + (n == 1 ? "" : "s");
}

} // namespace

SimOs SimOs::Make(std::uint32_t nPlatformId, std::uint32_t nMajor, std::uint32_t nMinor, std::uint8_t nProductType,
                  std::uint16_t nArchitecture)
{
    SimOs os;
    os.nPlatformId = nPlatformId;
    os.nMajor = nMajor;
    os.nMinor = nMinor;
    os.nProductType = nProductType;
    os.nNativeArchitecture = nArchitecture;
    return os;
}

CSimMachine::CSimMachine(const SimOs& os) : m_os(os)
{
    AddDirectory("C:\\WINDOWS");
    AddDirectory(m_systemDirectory);
    if (m_os.nNativeArchitecture == kSysProcessorArchitectureAmd64 ||
        m_os.nNativeArchitecture == kSysProcessorArchitectureIa64)
        AddDirectory("C:\\WINDOWS\\SysWOW64");
    AddDirectory(ProgramDirectory());
    PutFile(m_modulePath, "Tarvel program image");
    PutFile(ProgramDirectory() + "\\Kestrin.dll", kKestrinImage);
}

const char* SimCallName(SimCall call)
{
    static const char* const s_names[] = {
        "SetupDiGetClassDevs", "SetupDiEnumDeviceInfo", "SetupDiGetDeviceRegistryProperty",
        "SetupDiGetDeviceInstanceId", "SetupDiEnumDeviceInterfaces", "SetupDiGetDeviceInterfaceDetail",
        "CreateFile", "CloseHandle", "DeviceIoControl", "GetVersionEx", "OpenProcessToken", "GetLastError",
        "GetModuleFileName", "GetSystemDirectory", "CopyFile", "OpenSCManager", "CreateService", "OpenService",
        "StartService", "ControlService", "DeleteService", "CloseServiceHandle", "new reader", "CoInitializeEx",
        "CoCreateInstance", "EnumAudioEndpoints", "GetCount", "Item", "GetId", "OpenPropertyStore", "GetValue",
        "ReleaseAll", "delete reader"};
    static_assert(sizeof(s_names) / sizeof(s_names[0]) == static_cast<std::size_t>(SimCall::Count),
                  "one name per call");
    return s_names[static_cast<int>(call)];
}

void CSimMachine::FailCalls(SimCall call, std::uint32_t nError, int nTimes)
{
    m_failures[call] = Failure{nError, nTimes};
}

bool CSimMachine::Injected(SimCall call)
{
    auto it = m_failures.find(call);
    if (it == m_failures.end() || it->second.nTimes == 0)
        return false;
    if (it->second.nTimes > 0)
        --it->second.nTimes;
    m_nLastError = it->second.nError;
    return true;
}

int CSimMachine::TotalCalls() const
{
    int nTotal = 0;
    for (int n : m_nCalls)
        nTotal += n;
    return nTotal;
}

std::string CSimMachine::CallSummary() const
{
    std::string text;
    for (int i = 0; i < static_cast<int>(SimCall::Count); ++i)
        if (m_nCalls[i])
            text += (text.empty() ? "" : ", ") + std::string(SimCallName(static_cast<SimCall>(i))) + " " +
                    std::to_string(m_nCalls[i]);
    return text;
}

bool CSimMachine::SameIgnoringCase(const std::string& a, const char* b)
{
    if (a.size() != std::strlen(b))
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

CSimMachine::~CSimMachine()
{
    for (void* p : m_buffers)
        std::free(p);
}

Platform CSimMachine::GetPlatform()
{
    return MakePlatform(*this, *this);
}

SimDevice& CSimMachine::AddDevice(const std::string& service, const std::string& instanceId)
{
    m_devices.emplace_back();
    SimDevice& device = m_devices.back();
    device.service = service;
    device.instanceId = instanceId;
    return device;
}

SimDevice& CSimMachine::AddAudioDevice(const std::string& service, const std::string& instanceId)
{
    SimDevice& device = AddDevice(service, instanceId);
    std::string path = "\\\\?\\";
    for (char c : instanceId)
        path += c == '\\' ? '#' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    AddTopologyInterface(device, path + "#{dda54a40-1e4c-11d1-a050-405705c10000}\\topology");
    return device;
}

void CSimMachine::AddTopologyInterface(SimDevice& device, const std::string& path)
{
    device.interfaces.push_back(SimInterface{kKsCategoryTopology, path});
}

std::string CSimMachine::Leftovers() const
{
    std::string text;
    auto add = [&text](const std::string& part) { text += (text.empty() ? "" : ", ") + part; };
    std::size_t nHandles = 0;
    std::size_t nDevices = 0;
    for (const auto& entry : m_handles)
        ++(entry.second.kind == HandleKind::KestrinDevice ? nDevices : nHandles);
    if (nHandles)
        add(Plural(nHandles, "handle") + " open");
    if (nDevices)
        add(Plural(nDevices, "driver device") + " open");
    if (!m_serviceHandles.empty())
        add(Plural(m_serviceHandles.size(), "service handle") + " open");
    for (const SimService& service : m_services)
        add("service " + service.name + (service.bRunning ? " running" : " installed"));
    if (m_nComReferences)
        add(Plural(static_cast<std::size_t>(m_nComReferences), "COM reference") + " held");
    if (!m_readers.empty())
        add(Plural(m_readers.size(), "endpoint reader") + " not freed");
    if (!m_sets.empty())
        add(Plural(m_sets.size(), "device information set") + " open");
    if (!m_buffers.empty())
        add(Plural(m_buffers.size(), "buffer") + " held");
    if (m_nBadReleases)
        add(Plural(m_nBadReleases, "release") + " of something not held");
    return text;
}

bool CSimMachine::Fail(std::uint32_t nError)
{
    m_nLastError = nError;
    return false;
}

bool CSimMachine::Succeed()
{
    m_nLastError = 0;
    return true;
}

SysHandle CSimMachine::NewHandle()
{
    SysHandle h = reinterpret_cast<SysHandle>(m_nNextHandle);
    m_nNextHandle += 4;
    return h;
}

void* CSimMachine::LocalAllocZeroed(std::size_t nBytes)
{
    void* p = std::calloc(1, nBytes ? nBytes : 1);
    if (p)
        m_buffers.insert(p);
    return p;
}

void CSimMachine::LocalFree(void* p)
{
    if (!p)
        return;
    if (m_buffers.erase(p) == 0)
    {
        ++m_nBadReleases;
        return;
    }
    std::free(p);
}

// Files and I/O control

SysHandle CSimMachine::CreateFileA(const char* pszPath, std::uint32_t nAccess, std::uint32_t /*nShareMode*/,
                                   std::uint32_t nDisposition, std::uint32_t /*nFlags*/)
{
    Count(SimCall::CreateFile);
    if (!pszPath)
    {
        Fail(kErrorInvalidParameter);
        return InvalidSysHandle();
    }
    if (Injected(SimCall::CreateFile))
        return InvalidSysHandle();

    // A device opens with either disposition.
    if (SameIgnoringCase("\\\\.\\DKestrin", pszPath))
    {
        if (nDisposition != kSysOpenExisting && nDisposition != kSysCreateAlways)
        {
            Fail(kErrorInvalidParameter);
            return InvalidSysHandle();
        }
        if (!IsKestrinDevicePresent())
        {
            Fail(kErrorFileNotFound);
            return InvalidSysHandle();
        }
        SysHandle h = NewHandle();
        m_handles[h] = HandleEntry{HandleKind::KestrinDevice, 0};
        Succeed();
        return h;
    }

    // Only what the panel opens: existing objects, for reading.
    if (nDisposition != kSysOpenExisting || !(nAccess & kSysGenericRead))
    {
        Fail(kErrorInvalidParameter);
        return InvalidSysHandle();
    }
    for (std::size_t i = 0; i < m_devices.size(); ++i)
    {
        const SimDevice& device = m_devices[i];
        for (const SimInterface& iface : device.interfaces)
        {
            if (!device.bPresent || !SameIgnoringCase(iface.path, pszPath))
                continue;
            if (device.bOpenFails)
            {
                Fail(kErrorAccessDenied);
                return InvalidSysHandle();
            }
            SysHandle h = NewHandle();
            m_handles[h] = HandleEntry{HandleKind::Filter, i};
            Succeed();
            return h;
        }
    }
    if (FindFile(pszPath))
    {
        SysHandle h = NewHandle();
        m_handles[h] = HandleEntry{HandleKind::File, 0};
        Succeed();
        return h;
    }
    Fail(kErrorFileNotFound);
    return InvalidSysHandle();
}

bool CSimMachine::CloseHandle(SysHandle h)
{
    Count(SimCall::CloseHandle);
    if (m_handles.erase(h) == 0)
    {
        ++m_nBadReleases;
        return Fail(kErrorInvalidHandle);
    }
    return Succeed();
}

bool CSimMachine::DeviceIoControl(SysHandle h, std::uint32_t nControlCode, const void* pIn, std::uint32_t nInSize,
                                  void* pOut, std::uint32_t nOutSize, std::uint32_t* pnReturned)
{
    Count(SimCall::DeviceIoControl);
    auto it = m_handles.find(h);
    if (it == m_handles.end())
        return Fail(kErrorInvalidHandle);
    if (Injected(SimCall::DeviceIoControl))
        return false;
    std::uint32_t nError = 0;
    switch (it->second.kind)
    {
    case HandleKind::Filter:
        if (nControlCode != kIoctlKsProperty)
            return Fail(kErrorInvalidFunction);
        if (!m_devices[it->second.nDevice].driver.HandleProperty(pIn, nInSize, pOut, nOutSize, pnReturned, &nError))
            return Fail(nError);
        return Succeed();
    case HandleKind::KestrinDevice:
        if (!m_kestrin.HandleRequest(nControlCode, pIn, nInSize, pOut, nOutSize, pnReturned, &nError))
            return Fail(nError);
        return Succeed();
    default:
        return Fail(kErrorInvalidFunction);
    }
}

// System information and token

bool CSimMachine::GetNativeSystemInfo(SysSystemInfo* pInfo)
{
    if (!m_os.bHasGetNativeSystemInfo)
        return false;
    pInfo->wProcessorArchitecture = m_os.nNativeArchitecture;
    return true;
}

void CSimMachine::GetSystemInfo(SysSystemInfo* pInfo)
{
    // The panel is a 32-bit process: on a 64-bit machine it sees the x86 view of WOW64.
    const bool b64 = m_os.nNativeArchitecture == kSysProcessorArchitectureAmd64 ||
                     m_os.nNativeArchitecture == kSysProcessorArchitectureIa64;
    pInfo->wProcessorArchitecture = b64 ? kSysProcessorArchitectureIntel : m_os.nNativeArchitecture;
}

bool CSimMachine::GetVersionExA(SysOsVersionInfoEx* pInfo)
{
    Count(SimCall::GetVersionEx);
    const std::uint32_t nSize = pInfo->dwOSVersionInfoSize;
    if (m_os.bVersionFails || (nSize != kSysOsVersionInfoExSize && nSize != kSysOsVersionInfoSize) ||
        (nSize == kSysOsVersionInfoExSize && m_os.bExtendedVersionFails))
        return Fail(kErrorInvalidParameter);
    pInfo->dwMajorVersion = m_os.nMajor;
    pInfo->dwMinorVersion = m_os.nMinor;
    pInfo->dwBuildNumber = 0;
    pInfo->dwPlatformId = m_os.nPlatformId;
    std::memset(pInfo->szCSDVersion, 0, sizeof(pInfo->szCSDVersion));
    if (nSize == kSysOsVersionInfoExSize)
        pInfo->wProductType = m_os.nProductType;
    return Succeed();
}

bool CSimMachine::OpenProcessTokenForQuery(SysHandle* phToken)
{
    Count(SimCall::OpenProcessToken);
    if (m_token.bOpenFails)
        return Fail(kErrorAccessDenied);
    *phToken = NewHandle();
    m_handles[*phToken] = HandleEntry{HandleKind::Token, 0};
    return Succeed();
}

bool CSimMachine::GetTokenInformation(SysHandle hToken, std::uint32_t nClass, void* pBuffer, std::uint32_t nSize,
                                      std::uint32_t* pnReturned)
{
    auto it = m_handles.find(hToken);
    if (it == m_handles.end() || it->second.kind != HandleKind::Token)
        return Fail(kErrorInvalidHandle);
    bool bHas = false;
    std::uint32_t nValue = 0;
    if (nClass == kSysTokenElevationType)
    {
        bHas = m_token.bHasElevationType;
        nValue = m_token.nElevationType;
    }
    else if (nClass == kSysTokenElevation)
    {
        bHas = m_token.bHasElevation;
        nValue = m_token.nElevation;
    }
    if (!bHas)
        return Fail(kErrorInvalidParameter);
    if (pnReturned)
        *pnReturned = sizeof(nValue);
    if (!pBuffer || nSize < sizeof(nValue))
        return Fail(kSysErrorInsufficientBuffer);
    std::memcpy(pBuffer, &nValue, sizeof(nValue));
    return Succeed();
}

// Text

int CSimMachine::WideToAnsi(const char16_t* pszSource, char* pszDest, int nDestSize)
{
    if (!pszSource || !pszDest || nDestSize <= 0)
    {
        Fail(kErrorInvalidParameter);
        return 0;
    }
    int n = 0;
    for (;; ++n)
    {
        if (n >= nDestSize)
        {
            Fail(kSysErrorInsufficientBuffer);
            return 0;
        }
        const char16_t c = pszSource[n];
        pszDest[n] = c < 0x80 ? static_cast<char>(c) : '?';
        if (c == 0)
            return n + 1;
    }
}
