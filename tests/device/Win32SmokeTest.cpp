// The real forwarding under Windows (or Wine): detection, and searches on a machine without
// the device.

#include "device/DeviceControl.h"
#include "discovery/RenderEndpoints.h"
#include "discovery/TopologyDiscovery.h"
#include "platform/win32/Win32EndpointReader.h"
#include "platform/win32/Win32Platform.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>


namespace {

// Counts what the real Setup API hands out and gets back.
class CCountingSetupApi : public ISetupApi
{
public:
    explicit CCountingSetupApi(ISetupApi& real) : m_real(real) {}

    int m_nSetsOpen = 0;
    int m_nBuffersHeld = 0;

    SysHandle SetupDiGetClassDevsA(const SysGuid* pClass, const char* pszEnumerator, std::uint32_t nFlags) override
    {
        SysHandle h = m_real.SetupDiGetClassDevsA(pClass, pszEnumerator, nFlags);
        if (IsSysHandleValid(h))
            ++m_nSetsOpen;
        return h;
    }
    bool SetupDiEnumDeviceInfo(SysHandle hSet, std::uint32_t nIndex, SysDevInfoData* pElement) override
    {
        return m_real.SetupDiEnumDeviceInfo(hSet, nIndex, pElement);
    }
    bool SetupDiGetDeviceRegistryPropertyA(SysHandle hSet, SysDevInfoData* pElement, std::uint32_t nProperty,
                                           std::uint8_t* pBuffer, std::uint32_t nSize,
                                           std::uint32_t* pnRequired) override
    {
        return m_real.SetupDiGetDeviceRegistryPropertyA(hSet, pElement, nProperty, pBuffer, nSize, pnRequired);
    }
    bool SetupDiGetDeviceInstanceIdA(SysHandle hSet, SysDevInfoData* pElement, char* pBuffer, std::uint32_t nSize,
                                     std::uint32_t* pnRequired) override
    {
        return m_real.SetupDiGetDeviceInstanceIdA(hSet, pElement, pBuffer, nSize, pnRequired);
    }
    bool SetupDiEnumDeviceInterfaces(SysHandle hSet, const SysGuid* pClass, std::uint32_t nIndex,
                                     SysDeviceInterfaceData* pInterface) override
    {
        return m_real.SetupDiEnumDeviceInterfaces(hSet, pClass, nIndex, pInterface);
    }
    bool SetupDiGetDeviceInterfaceDetailA(SysHandle hSet, SysDeviceInterfaceData* pInterface,
                                          SysDeviceInterfaceDetailA* pDetail, std::uint32_t nSize,
                                          std::uint32_t* pnRequired) override
    {
        return m_real.SetupDiGetDeviceInterfaceDetailA(hSet, pInterface, pDetail, nSize, pnRequired);
    }
    bool SetupDiDestroyDeviceInfoList(SysHandle hSet) override
    {
        --m_nSetsOpen;
        return m_real.SetupDiDestroyDeviceInfoList(hSet);
    }
    std::uint32_t GetLastError() override { return m_real.GetLastError(); }
    void* LocalAllocZeroed(std::size_t nBytes) override
    {
        void* p = m_real.LocalAllocZeroed(nBytes);
        if (p)
            ++m_nBuffersHeld;
        return p;
    }
    void LocalFree(void* p) override
    {
        --m_nBuffersHeld;
        m_real.LocalFree(p);
    }

private:
    ISetupApi& m_real;
};

// Counts the readers the real factory hands out and gets back.
class CCountingAudioEndpoints : public IAudioEndpoints
{
public:
    explicit CCountingAudioEndpoints(IAudioEndpoints& real) : m_real(real) {}

    int m_nReadersMade = 0;
    int m_nReadersAlive = 0;

    IEndpointReader* NewEndpointReader(SysHandle hNotifyWnd) override
    {
        IEndpointReader* pReader = m_real.NewEndpointReader(hNotifyWnd);
        if (pReader)
        {
            ++m_nReadersMade;
            ++m_nReadersAlive;
        }
        return pReader;
    }
    void DeleteEndpointReader(IEndpointReader* pReader) override
    {
        --m_nReadersAlive;
        m_real.DeleteEndpointReader(pReader);
    }

private:
    IAudioEndpoints& m_real;
};

TEST(Win32Platform, DetectsWhatWindowsReports)
{
    OSVERSIONINFOEXA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    ASSERT_TRUE(::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version)));
    SYSTEM_INFO system = {};
    ::GetNativeSystemInfo(&system);
    const bool bNative64 = system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
                           system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
    const bool bWindows7Workstation =
        version.dwMajorVersion == 6 && version.dwMinorVersion == 1 && version.wProductType == VER_NT_WORKSTATION;
    SCOPED_TRACE(testing::Message() << "Windows reports " << version.dwMajorVersion << "." << version.dwMinorVersion
                                    << " product type " << int(version.wProductType) << ", architecture "
                                    << system.wProcessorArchitecture);

    OsVersionInfo info;
    EXPECT_TRUE(DetectPlatform(*GetWin32Platform().pSystemInfo, &info));

    EXPECT_EQ(version.dwMajorVersion, info.ntMajorVersion);
    EXPECT_EQ(!bNative64, info.nativeIs32Bit);
    EXPECT_EQ(bWindows7Workstation, info.osKind == kOsWindows7) << "osKind " << info.osKind;
}

TEST(Win32Platform, TopologySearchWithoutTheDeviceLeavesNothingOpen)
{
    CCountingSetupApi setupApi(*GetWin32Platform().pSetupApi);
    char szPath[kSysMaxPath] = "poison";

    EXPECT_FALSE(FindTopologyDevicePath(setupApi, szPath));

    EXPECT_STREQ("", szPath);
    EXPECT_EQ(0, setupApi.m_nSetsOpen);
    EXPECT_EQ(0, setupApi.m_nBuffersHeld);
}

// Wine lists no endpoint with the device's instance path (often none at all).
TEST(Win32Platform, EndpointSearchWithoutTheDeviceReleasesEveryReference)
{
    Platform platform = GetWin32Platform();
    CCountingAudioEndpoints endpoints(*platform.pAudioEndpoints);
    platform.pAudioEndpoints = &endpoints;
    char16_t ids[4][kSysMaxPath] = {{u'p', 0}, {u'p', 0}, {u'p', 0}, {u'p', 0}};
    char names[4][kSysMaxPath] = {"p", "p", "p", "p"};
    std::int32_t nCount = -7;
    const int nTakenBefore = Win32EndpointReferencesTaken();

    EXPECT_FALSE(FindRenderEndpoints(platform, nullptr, "VID_2B91&PID_4C07&MI_01", ids, names, &nCount));

    EXPECT_EQ(0, nCount);
    EXPECT_EQ(u'p', ids[0][0]);
    EXPECT_STREQ("p", names[0]);
    EXPECT_EQ(1, endpoints.m_nReadersMade);
    EXPECT_EQ(0, endpoints.m_nReadersAlive);
    EXPECT_EQ("", Win32EndpointLeftovers());
    const int nTaken = Win32EndpointReferencesTaken() - nTakenBefore;
    std::printf("endpoint search took and released %d COM references\n", nTaken);
    RecordProperty("com_references", nTaken);
}

TEST(Win32Platform, SessionKnowsThePlatformAndFindsNoDevice)
{
    CDeviceControl session(GetWin32Platform());

    EXPECT_TRUE(session.IsPlatformKnown());
    EXPECT_FALSE(session.Open(nullptr));
    EXPECT_FALSE(session.IsOpen());
}

} // namespace
