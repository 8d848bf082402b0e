#include "device/HelperDriver.h"
#include "EndpointSetup.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

OsVersionInfo Os(bool bNative32)
{
    OsVersionInfo os;
    os.osKind = kOsWindows7;
    os.ntMajorVersion = 6;
    os.nativeIs32Bit = bNative32;
    return os;
}

// Two read or write requests for the device endpoint's values, each with its own buffer.
struct Requests
{
    Requests()
    {
        const std::u16string path = DeviceEndpointKey();
        std::memcpy(keyPath, path.c_str(), (path.size() + 1) * sizeof(char16_t));
        const char16_t* names[2] = {kDeviceFormatValueName, kSecondFormatValueName};
        for (int i = 0; i < 2; ++i)
        {
            std::memset(data[i], 0xA5, sizeof(data[i]));
            request[i] = RegistryValueRequest();
            request[i].size = kRegistryValueRequestSize;
            request[i].keyPath = keyPath;
            request[i].valueName = names[i];
            request[i].valueType = kRegBinary;
            request[i].data = data[i];
            request[i].dataLength = kRegistryValueBufferSize;
        }
    }
    // The write form: the first 48 bytes of the buffer.
    void ForWrite()
    {
        for (int i = 0; i < 2; ++i)
        {
            std::memcpy(data[i], &Serialize(StoredFormat(24, 96000))[0], 48);
            request[i].dataLength = 48;
        }
    }
    char16_t keyPath[kSysMaxPath];
    std::uint8_t data[2][kRegistryValueBufferSize];
    RegistryValueRequest request[2];
};

struct ExchangeCase
{
    const char* pszLabel;
    std::function<void(CSimMachine&)> setUp;
    bool bWrite;
    int nCount;
    bool bResult;
    std::string requests;
    int nServicesCreated;
};

TEST(HelperDriver, EveryExchangeLeavesNoServiceAndNoOpenDevice)
{
    const auto none = [](CSimMachine&) {};
    const auto noDll = [](CSimMachine& sim) { ASSERT_TRUE(sim.RemoveFile(sim.ProgramDirectory() + "\\Kestrin.dll")); };
    const auto notADriver = [](CSimMachine& sim) { sim.PutFile(sim.ProgramDirectory() + "\\Kestrin.dll", "MZ junk"); };
    const ExchangeCase cases[] = {
        {"read of both values", none, false, 2, true, "read {f19; read {e48", 1},
        {"read of count 1 sends one request", none, false, 1, true, "read {f19", 1},
        {"write of both values", none, true, 2, true, "write {f19; write {e48", 1},
        {"Kestrin.dll missing", noDll, false, 2, false, "", 0},
        {"Kestrin.dll is no driver image", notADriver, false, 2, false, "", 1},
        {"service exists and runs already", [](CSimMachine& sim) { sim.InstallKestrinService(true); }, true, 2,
         true, "write {f19; write {e48", 1},
        {"service exists, stopped", [](CSimMachine& sim) { sim.InstallKestrinService(false); }, false, 2, true,
         "read {f19; read {e48", 1},
        {"first write fails: no second one",
         [](CSimMachine& sim) { sim.Kestrin().FailRequests(kSimKestrinWrite, kDeviceFormatValueName); }, true, 2,
         false, "write {f19 (failed)", 1},
        {"read of value 1 fails after value 0",
         [](CSimMachine& sim) { sim.Kestrin().FailRequests(kSimKestrinRead, kSecondFormatValueName); }, false, 2,
         false, "read {f19; read {e48 (failed)", 1},
        {"service manager refused", [](CSimMachine& sim) { sim.FailCalls(SimCall::OpenSCManager, 5); }, false, 2,
         false, "", 0},
        {"service not started", [](CSimMachine& sim) { sim.FailCalls(SimCall::StartService, 5); }, false, 2, false,
         "", 1},
        {"copy refused", [](CSimMachine& sim) { sim.FailCalls(SimCall::CopyFile, 5); }, false, 2, false, "", 0},
        {"program path without its NUL",
         [](CSimMachine& sim) { sim.SetModulePath("C:\\" + std::string(300, 'p') + "\\Tarvel.exe"); }, false, 2,
         false, "", 0},
        {"source path of 259 characters",
         [](CSimMachine& sim) {
             const std::string directory = "C:\\" + std::string(244, 'd');
             sim.SetModulePath(directory + "\\T.exe");
             sim.AddDirectory(directory);
             sim.PutFile(directory + "\\Kestrin.dll", CSimMachine::kKestrinImage);
         },
         false, 2, true, "read {f19; read {e48", 1},
        {"source path of 260 characters",
         [](CSimMachine& sim) {
             const std::string directory = "C:\\" + std::string(245, 'd');
             sim.SetModulePath(directory + "\\T.exe");
             sim.AddDirectory(directory);
             sim.PutFile(directory + "\\Kestrin.dll", CSimMachine::kKestrinImage);
         },
         false, 2, false, "", 0},
        {"system directory longer than the buffer",
         [](CSimMachine& sim) { sim.SetSystemDirectory("C:\\" + std::string(280, 's')); }, false, 2, false, "", 0},
    };
    for (const ExchangeCase& c : cases)
    {
        SCOPED_TRACE(c.pszLabel);
        CSimMachine sim(SimOs::Windows7X64());
        AddDeviceEndpoint(sim, StoredFormat(16, 44100), nullptr);
        sim.Registry().SetValue(DeviceEndpointKey(), kSecondFormatValueName, kRegBinary,
                                Serialize(StoredFormat(32, 44100)));
        c.setUp(sim);
        Requests requests;
        if (c.bWrite)
            requests.ForWrite();

        const bool bResult = c.bWrite ? WriteRegistryValues(sim.GetPlatform(), requests.request, Os(false))
                                      : ReadRegistryValues(sim.GetPlatform(), requests.request, Os(false), c.nCount);

        EXPECT_EQ(c.bResult, bResult);
        EXPECT_EQ(c.requests, RequestLog(sim));
        EXPECT_EQ(c.nServicesCreated, sim.Calls(SimCall::CreateService));
        EXPECT_EQ("", sim.Leftovers()) << "calls: " << sim.CallSummary();
    }
}

TEST(HelperDriver, ExistingServiceCountsAsInstalled)
{
    CSimMachine sim(SimOs::Windows7X64());
    sim.InstallKestrinService(true);
    const std::string installed = "C:\\WINDOWS\\system32\\Kestrin.sys";

    // As the exchange's install step: the service exists and runs.
    EXPECT_TRUE(ControlDriverService(sim.GetPlatform(), installed.c_str(), "Kestrin", kServiceInstallAndStart));
    EXPECT_EQ(1, sim.Calls(SimCall::StartService));
    EXPECT_TRUE(sim.IsKestrinDevicePresent());

    EXPECT_TRUE(ControlDriverService(sim.GetPlatform(), installed.c_str(), "Kestrin", kServiceStopAndDelete));
    EXPECT_EQ(nullptr, sim.FindService("Kestrin"));
    EXPECT_FALSE(ControlDriverService(sim.GetPlatform(), installed.c_str(), "Kestrin", 3));
    EXPECT_FALSE(ControlDriverService(sim.GetPlatform(), nullptr, "Kestrin", kServiceInstallAndStart));
    EXPECT_EQ("", sim.Leftovers());
}

struct PlacementCase
{
    const char* pszLabel;
    SimOs os;
    bool bNative32;
    const char* pszInstalled;
};

// The deletion is refused here, so that the service stays behind to be looked at.
TEST(HelperDriver, TheServiceRunsTheFileCopiedIntoTheSystemDirectory)
{
    const PlacementCase cases[] = {
        {"32-bit Windows 7", SimOs::Make(2, 6, 1, 1, 0), true, "C:\\WINDOWS\\system32\\Kestrin.sys"},
        {"64-bit Windows 7", SimOs::Windows7X64(), false, "C:\\WINDOWS\\SysWOW64\\Kestrin.sys"},
    };
    for (const PlacementCase& c : cases)
    {
        SCOPED_TRACE(c.pszLabel);
        CSimMachine sim(c.os);
        AddDeviceEndpoint(sim, StoredFormat(16, 44100), nullptr);
        sim.FailCalls(SimCall::DeleteService, 5);
        Requests requests;

        EXPECT_TRUE(ReadRegistryValues(sim.GetPlatform(), requests.request, Os(c.bNative32), 1));

        const std::string* pCopy = sim.FindFile(c.pszInstalled);
        ASSERT_NE(nullptr, pCopy) << "no file at " << c.pszInstalled;
        EXPECT_EQ(CSimMachine::kKestrinImage, *pCopy);
        const SimService* pService = sim.FindService("Kestrin");
        ASSERT_NE(nullptr, pService);
        EXPECT_EQ(c.pszInstalled, pService->binaryPath);
        EXPECT_EQ("Kestrin", pService->displayName);
        EXPECT_EQ(kSysServiceKernelDriver, pService->nType);
        EXPECT_EQ(kSysServiceDemandStart, pService->nStartType);
        EXPECT_EQ(kSysServiceErrorNormal, pService->nErrorControl);
        EXPECT_FALSE(pService->bRunning) << "stopped even though not deleted";
        EXPECT_EQ("service Kestrin installed", sim.Leftovers());
    }
}

TEST(HelperDriver, TheReadPutsThePartialValueHeaderBeforeTheValue)
{
    CSimMachine sim(SimOs::Windows7X64());
    AddDeviceEndpoint(sim, StoredFormat(24, 48000), nullptr);
    sim.Registry().SetValue(DeviceEndpointKey(), kSecondFormatValueName, kRegBinary,
                            Serialize(StoredFormat(32, 48000), 4));
    Requests requests;

    ASSERT_TRUE(ReadRegistryValues(sim.GetPlatform(), requests.request, Os(false), 2));

    const std::uint8_t header0[12] = {0, 0, 0, 0, 3, 0, 0, 0, 48, 0, 0, 0};
    const std::uint8_t header1[12] = {0, 0, 0, 0, 3, 0, 0, 0, 52, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(header0, requests.data[0], 12));
    EXPECT_EQ(0, std::memcmp(header1, requests.data[1], 12));
    EXPECT_EQ(StoredFormat(24, 48000), Parse({requests.data[0] + 12, requests.data[0] + 60}));
    EXPECT_EQ(StoredFormat(32, 48000), Parse({requests.data[1] + 12, requests.data[1] + 60}));
    EXPECT_EQ(0xA5, requests.data[1][64]) << "nothing written after the value";
    EXPECT_EQ(kRegistryValueBufferSize, requests.request[0].dataLength);
}

} // namespace
