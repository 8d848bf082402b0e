#pragma once
// A simulated Windows machine behind the platform interfaces: its version and processor, its
// token, its Setup API devices with their interfaces, and the device's own driver behind the
// topology filter; its files, its service control manager, the Kestrin helper driver with the
// machine registry it reads and writes, and the audio endpoints with their format values in
// that registry. It keeps account of everything handed out and not yet given back.
//
//   CSimMachine sim(SimOs::WindowsXpX86());
//   SimDevice& device = sim.AddAudioDevice("Quorvane", "USB\\VID_2B91&PID_4C07&MI_01\\7&1");
//   device.driver.SetStoredFormat(SimStream::Play, SimStoredFormat::Fixed(32, 48000));
//   CDeviceControl session(sim.GetPlatform());
//
//   CSimMachine sim(SimOs::Windows7X64());      // Kestrin.dll lies beside the program
//   SimEndpoint& endpoint = sim.AddEndpoint(u"{0.0.0.00000000}.{5d0c...}", SimFlow::Render,
//                                           kSimEndpointActive, u"{1}.USB\\VID_2B91&PID_4C07&MI_01\\7&1", u"Speakers");
//   sim.Registry().SetValue(CSimMachine::EndpointPropertiesKey(endpoint), name, 3, bytes);

#include "platform/Platform.h"
#include "sim/SimKestrinDriver.h"
#include "sim/SimKsDriver.h"
#include "sim/SimRegistry.h"

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
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

enum class SimFlow
{
    Render,
    Capture
};

// DEVICE_STATE_* of an audio endpoint.
constexpr std::uint32_t kSimEndpointActive = 1;
constexpr std::uint32_t kSimEndpointDisabled = 2;
constexpr std::uint32_t kSimEndpointNotPresent = 4;
constexpr std::uint32_t kSimEndpointUnplugged = 8;

struct SimEndpoint
{
    std::u16string id;
    SimFlow flow = SimFlow::Render;
    std::uint32_t nState = kSimEndpointActive;
    // A property without a value cannot be read.
    std::optional<std::u16string> instancePath;
    std::optional<std::u16string> description;
    // How often it was taken out of a collection.
    int nLookups = 0;
};

struct SimService
{
    std::string name;
    std::string displayName;
    std::uint32_t nType = 0;
    std::uint32_t nStartType = 0;
    std::uint32_t nErrorControl = 0;
    std::string binaryPath;
    bool bRunning = false;
    bool bDeletePending = false;
    int nOpenHandles = 0;
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
    GetLastError,
    GetModuleFileName,
    GetSystemDirectory,
    CopyFile,
    OpenSCManager,
    CreateService,
    OpenService,
    StartService,
    ControlService,
    DeleteService,
    CloseServiceHandle,
    // The endpoint reader: its allocation, then CoInitializeEx and CoCreateInstance.
    NewEndpointReader,
    CoInitializeEx,
    CoCreateInstance,
    EnumAudioEndpoints,
    GetCount,
    Item,
    GetId,
    OpenPropertyStore,
    GetValue,
    ReleaseAll,
    DeleteEndpointReader,
    Count
};

const char* SimCallName(SimCall call);

// Fails every call of a kind from now on.
constexpr int kSimAlways = -1;

class CSimEndpointReader;

class CSimMachine : public IFileIo,
                    public ISetupApi,
                    public ISystemInfo,
                    public IDebugOutput,
                    public ITextConversion,
                    public IFileSystem,
                    public IServiceControl,
                    public IAudioEndpoints
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
    // The next nTimes calls of the kind fail with the error code (where the call has one).
    void FailCalls(SimCall call, std::uint32_t nError, int nTimes = kSimAlways);

    // Files. Paths compare ignoring case; a file is copied only into an existing directory.
    // The machine starts with the program in "C:\Program Files\Brask Quelo" and Kestrin.dll
    // beside it, the system directory "C:\WINDOWS\system32" and, on a 64-bit machine,
    // "C:\WINDOWS\SysWOW64".
    static constexpr const char* kKestrinImage = "Kestrin kernel driver image";
    void SetModulePath(const std::string& path) { m_modulePath = path; }
    const std::string& ModulePath() const { return m_modulePath; }
    void SetSystemDirectory(const std::string& path) { m_systemDirectory = path; }
    std::string ProgramDirectory() const;
    void AddDirectory(const std::string& path);
    void PutFile(const std::string& path, const std::string& content);
    bool RemoveFile(const std::string& path);
    // Null when there is no such file.
    const std::string* FindFile(const std::string& path) const;

    // Services, by name ignoring case; null when there is none.
    SimService& AddService(const std::string& name, const std::string& binaryPath, bool bRunning);
    const SimService* FindService(const std::string& name) const;
    // Kestrin as an earlier run may have left it: installed from the system directory.
    void InstallKestrinService(bool bRunning);
    CSimKestrinDriver& Kestrin() { return m_kestrin; }
    // "\\.\DKestrin" opens while a running service's binary is a copy of Kestrin.dll.
    bool IsKestrinDevicePresent() const;

    // The registry and the audio endpoints, in collection order. A render endpoint's key is its
    // id from the 18th unit on; its Properties key is created with it.
    CSimRegistry& Registry() { return m_registry; }
    SimEndpoint& AddEndpoint(const std::u16string& id, SimFlow flow, std::uint32_t nState,
                             const std::u16string& instancePath, const std::u16string& description);
    SimEndpoint& Endpoint(std::size_t nIndex) { return m_endpoints.at(nIndex); }
    static std::u16string EndpointPropertiesKey(const SimEndpoint& endpoint);

    // Observing
    int Calls(SimCall call) const { return m_nCalls[static_cast<int>(call)]; }
    int TotalCalls() const;
    // The calls made so far by kind, as "CreateFile 2, CloseHandle 2, ...".
    std::string CallSummary() const;
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
    std::uint32_t GetLastError() override
    {
        Count(SimCall::GetLastError);
        return m_nLastError;
    }
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

    // IFileSystem: Windows XP's answers.
    std::uint32_t GetModuleFileNameA(char* pszPath, std::uint32_t nSize) override;
    std::uint32_t GetSystemDirectoryA(char* pszPath, std::uint32_t nSize) override;
    bool CopyFileA(const char* pszSource, const char* pszDest, bool bFailIfExists) override;

    // IServiceControl
    SysHandle OpenSCManagerA(std::uint32_t nAccess) override;
    SysHandle CreateServiceA(SysHandle hManager, const char* pszName, const char* pszDisplayName,
                             std::uint32_t nAccess, std::uint32_t nServiceType, std::uint32_t nStartType,
                             std::uint32_t nErrorControl, const char* pszBinaryPath) override;
    SysHandle OpenServiceA(SysHandle hManager, const char* pszName, std::uint32_t nAccess) override;
    bool StartServiceA(SysHandle hService) override;
    bool ControlService(SysHandle hService, std::uint32_t nControl) override;
    bool DeleteService(SysHandle hService) override;
    bool CloseServiceHandle(SysHandle h) override;

    // IAudioEndpoints
    IEndpointReader* NewEndpointReader(SysHandle hNotifyWnd) override;
    void DeleteEndpointReader(IEndpointReader* pReader) override;

private:
    friend class CSimEndpointReader;

    enum class HandleKind
    {
        Filter,
        Token,
        File,
        KestrinDevice
    };
    struct ServiceHandleEntry
    {
        // Empty for the service control manager itself.
        std::string service;
    };
    struct Failure
    {
        std::uint32_t nError;
        int nTimes;
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
    // True, with the error code set, when the call is to fail.
    bool Injected(SimCall call);
    static std::string Fold(const std::string& path);
    static std::string ParentDirectory(const std::string& path);
    SimService* FindServiceEntry(const std::string& name);
    SimService* ServiceOf(SysHandle hService);
    void RemoveIfDeleted(const std::string& name);
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

    std::map<SimCall, Failure> m_failures;
    std::string m_modulePath = "C:\\Program Files\\Brask Quelo\\Tarvel.exe";
    std::string m_systemDirectory = "C:\\WINDOWS\\system32";
    std::set<std::string> m_directories;
    std::map<std::string, std::string> m_files;
    std::deque<SimService> m_services;
    std::map<SysHandle, ServiceHandleEntry> m_serviceHandles;
    CSimRegistry m_registry;
    CSimKestrinDriver m_kestrin{m_registry};
    std::deque<SimEndpoint> m_endpoints;
    std::set<IEndpointReader*> m_readers;
    int m_nComReferences = 0;
    int m_nBadReleases = 0;
    std::uint32_t m_nLastError = 0;
    int m_nCalls[static_cast<int>(SimCall::Count)] = {};
    std::vector<std::string> m_debugOutput;
};
