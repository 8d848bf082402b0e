#pragma once
// A simulated Windows machine behind the platform interfaces: its version and processor, its
// token, its Setup API devices with their interfaces, and the device's own driver behind the
// topology filter. It keeps account of everything handed out and not yet given back.
//
//   CSimMachine sim(SimOs::WindowsXpX86());
//   SimDevice& device = sim.AddAudioDevice("Quorvane", "USB\\VID_2B91&PID_4C07&MI_01\\7&1");
//   device.driver.SetStoredFormat(SimStream::Play, SimStoredFormat::Fixed(32, 48000));
//   CDeviceControl session(sim.GetPlatform());

#include "platform/Platform.h"
#include "sim/SimKsDriver.h"

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

struct SimOs
{
    std::uint32_t nPlatformId = 2;
    std::uint32_t nMajor = 0;
    std::uint32_t nMinor = 0;
    std::uint8_t nProductType = 1;
    std::uint16_t nNativeArchitecture = 0;
    bool bHasGetNativeSystemInfo = true;
    // GetVersionExA refuses the extended record (NT 4.0 before SP6), or every record.
    bool bExtendedVersionFails = false;
    bool bVersionFails = false;

    static SimOs Make(std::uint32_t nPlatformId, std::uint32_t nMajor, std::uint32_t nMinor,
                      std::uint8_t nProductType, std::uint16_t nArchitecture);
    static SimOs WindowsXpX86() { return Make(2, 5, 1, 1, 0); }
    static SimOs Windows7X64() { return Make(2, 6, 1, 1, 9); }
    static SimOs Server2008X86() { return Make(2, 6, 0, 3, 0); }
    static SimOs Nt62X64() { return Make(2, 6, 2, 1, 9); }
    static SimOs Windows98() { return Make(1, 4, 10, 0, 0); }
};

// Answers of the process token; a query without an answer fails, as before Vista.
struct SimToken
{
    bool bOpenFails = false;
    bool bHasElevationType = false;
    std::uint32_t nElevationType = 0;
    bool bHasElevation = false;
    std::uint32_t nElevation = 0;
};

struct SimInterface
{
    SysGuid classGuid;
    std::string path;
};

struct SimDevice
{
    std::string instanceId;
    bool bPresent = true;
    bool bHasService = true;
    std::string service;
    std::vector<SimInterface> interfaces;
    // Opening one of the device's interfaces fails (access denied).
    bool bOpenFails = false;
    CSimKsDriver driver;
    // How often its properties or instance id were asked for.
    int nLookups = 0;
};

enum class SimCall
{
    GetClassDevs,
    EnumDeviceInfo,
    GetDeviceRegistryProperty,
    GetDeviceInstanceId,
    EnumDeviceInterfaces,
    GetDeviceInterfaceDetail,
    CreateFile,
    CloseHandle,
    DeviceIoControl,
    GetVersionEx,
    OpenProcessToken,
    Count
};

class CSimMachine : public IFileIo,
                    public ISetupApi,
                    public ISystemInfo,
                    public IDebugOutput,
                    public ITextConversion
{
public:
    explicit CSimMachine(const SimOs& os = SimOs::WindowsXpX86());
    ~CSimMachine();
    CSimMachine(const CSimMachine&) = delete;
    CSimMachine& operator=(const CSimMachine&) = delete;

    Platform GetPlatform();

    // Setting up
    SimOs& Os() { return m_os; }
    SimToken& Token() { return m_token; }
    // A present device with the given driver service and no interfaces yet.
    SimDevice& AddDevice(const std::string& service, const std::string& instanceId);
    // A device with the given service and one topology interface whose path derives from the id.
    SimDevice& AddAudioDevice(const std::string& service, const std::string& instanceId);
    static void AddTopologyInterface(SimDevice& device, const std::string& path);
    SimDevice& Device(std::size_t nIndex) { return m_devices.at(nIndex); }
    // The next device-information sets are refused with this handle value.
    void SetClassDevsFailure(SysHandle hReturned) { m_bClassDevsFails = true; m_hClassDevsFailure = hReturned; }

    // Observing
    int Calls(SimCall call) const { return m_nCalls[static_cast<int>(call)]; }
    const std::vector<std::string>& DebugOutput() const { return m_debugOutput; }
    // What is open or misused, in words; empty when everything handed out was given back.
    std::string Leftovers() const;

    // IFileIo
    SysHandle CreateFileA(const char* pszPath, std::uint32_t nAccess, std::uint32_t nShareMode,
                          std::uint32_t nDisposition, std::uint32_t nFlags) override;
    bool CloseHandle(SysHandle h) override;
    bool DeviceIoControl(SysHandle h, std::uint32_t nControlCode, const void* pIn, std::uint32_t nInSize, void* pOut,
                         std::uint32_t nOutSize, std::uint32_t* pnReturned) override;

    // ISetupApi
    SysHandle SetupDiGetClassDevsA(const SysGuid* pClass, const char* pszEnumerator, std::uint32_t nFlags) override;
    bool SetupDiEnumDeviceInfo(SysHandle hSet, std::uint32_t nIndex, SysDevInfoData* pElement) override;
    bool SetupDiGetDeviceRegistryPropertyA(SysHandle hSet, SysDevInfoData* pElement, std::uint32_t nProperty,
                                           std::uint8_t* pBuffer, std::uint32_t nSize,
                                           std::uint32_t* pnRequired) override;
    bool SetupDiGetDeviceInstanceIdA(SysHandle hSet, SysDevInfoData* pElement, char* pBuffer, std::uint32_t nSize,
                                     std::uint32_t* pnRequired) override;
    bool SetupDiEnumDeviceInterfaces(SysHandle hSet, const SysGuid* pClass, std::uint32_t nIndex,
                                     SysDeviceInterfaceData* pInterface) override;
    bool SetupDiGetDeviceInterfaceDetailA(SysHandle hSet, SysDeviceInterfaceData* pInterface,
                                          SysDeviceInterfaceDetailA* pDetail, std::uint32_t nSize,
                                          std::uint32_t* pnRequired) override;
    bool SetupDiDestroyDeviceInfoList(SysHandle hSet) override;
    std::uint32_t GetLastError() override { return m_nLastError; }
    void* LocalAllocZeroed(std::size_t nBytes) override;
    void LocalFree(void* p) override;

    // ISystemInfo
    bool GetNativeSystemInfo(SysSystemInfo* pInfo) override;
    void GetSystemInfo(SysSystemInfo* pInfo) override;
    bool GetVersionExA(SysOsVersionInfoEx* pInfo) override;
    bool OpenProcessTokenForQuery(SysHandle* phToken) override;
    bool GetTokenInformation(SysHandle hToken, std::uint32_t nClass, void* pBuffer, std::uint32_t nSize,
                             std::uint32_t* pnReturned) override;

    // IDebugOutput
    void OutputDebugStringA(const char* pszText) override { m_debugOutput.push_back(pszText ? pszText : ""); }

    // ITextConversion: ASCII passes, every other character becomes '?'.
    int WideToAnsi(const char16_t* pszSource, char* pszDest, int nDestSize) override;

private:
    enum class HandleKind
    {
        Filter,
        Token
    };
    struct HandleEntry
    {
        HandleKind kind;
        std::size_t nDevice;
    };
    struct InterfaceRef
    {
        std::size_t nDevice;
        std::size_t nInterface;
    };
    struct DevInfoSet
    {
        std::vector<std::size_t> devices;
        std::vector<InterfaceRef> interfaces;
    };

    // Device paths and instance ids compare as Windows compares them, ignoring case.
    static bool SameIgnoringCase(const std::string& a, const char* b);
    void Count(SimCall call) { ++m_nCalls[static_cast<int>(call)]; }
    bool Fail(std::uint32_t nError);
    bool Succeed();
    SysHandle NewHandle();
    DevInfoSet* FindSet(SysHandle hSet);
    SimDevice* FindElement(SysHandle hSet, const SysDevInfoData* pElement);
    const InterfaceRef* FindInterface(SysHandle hSet, const SysDeviceInterfaceData* pInterface);

    SimOs m_os;
    SimToken m_token;
    std::deque<SimDevice> m_devices;
    bool m_bClassDevsFails = false;
    SysHandle m_hClassDevsFailure = nullptr;

    std::uintptr_t m_nNextHandle = 0x100;
    std::map<SysHandle, HandleEntry> m_handles;
    std::map<SysHandle, DevInfoSet> m_sets;
    std::set<void*> m_buffers;
    int m_nBadReleases = 0;
    std::uint32_t m_nLastError = 0;
    int m_nCalls[static_cast<int>(SimCall::Count)] = {};
    std::vector<std::string> m_debugOutput;
};
