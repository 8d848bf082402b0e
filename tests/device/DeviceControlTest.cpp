#include "device/DeviceControl.h"
#include "sim/SimMachine.h"
#include "EndpointSetup.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

const char kInstanceId[] = "USB\\VID_2B91&PID_4C07&MI_01\\7&2A5C1F&0&0001";

SimOs VersionFails(SimOs os)
{
    os.bVersionFails = true;
    return os;
}

SimToken ElevatedToken()
{
    SimToken token;
    token.bHasElevationType = true;
    token.nElevationType = 2;
    token.bHasElevation = true;
    token.nElevation = 1;
    return token;
}

struct ConstructionCase
{
    const char* pszLabel;
    SimOs os;
    bool bPlatformKnown;
    bool bWindows6;
    std::vector<std::string> output;
};

TEST(DeviceControl, ConstructionDetectsPlatformAndReportsElevationOn6x)
{
    const ConstructionCase cases[] = {
        {"Windows XP", SimOs::WindowsXpX86(), true, false, {}},
        {"Windows 7", SimOs::Windows7X64(), true, true, {"Elevation Full", "Elevated!"}},
        {"Windows Server 2008", SimOs::Server2008X86(), true, true, {"Elevation Full", "Elevated!"}},
        {"NT 6.2", SimOs::Nt62X64(), true, false, {}},
        {"version unreadable", VersionFails(SimOs::Windows7X64()), false, false, {}},
    };
    for (const ConstructionCase& c : cases)
    {
        SCOPED_TRACE(c.pszLabel);
        CSimMachine sim(c.os);
        sim.Token() = ElevatedToken();
        {
            CDeviceControl session(sim.GetPlatform());
            EXPECT_EQ(c.bPlatformKnown, session.IsPlatformKnown());
            EXPECT_EQ(c.bWindows6, session.IsWindows6());
            EXPECT_FALSE(session.IsOpen());
            ASSERT_NE(nullptr, session.GetOsInfo());
            EXPECT_EQ(c.output, sim.DebugOutput());
        }
        EXPECT_EQ(0, sim.Calls(SimCall::GetClassDevs));
        EXPECT_EQ("", sim.Leftovers());
    }
}

struct OpenCase
{
    const char* pszLabel;
    SimOs os;
    std::function<void(CSimMachine&)> setUp;
    bool bOpen;
    int nSearches;
    int nFileOpens;
};

TEST(DeviceControl, OpenFindsAndOpensTheTopologyFilter)
{
    const auto present = [](CSimMachine& sim) { sim.AddAudioDevice("Quorvane", kInstanceId); };
    const auto notOpenable = [](CSimMachine& sim) { sim.AddAudioDevice("Quorvane", kInstanceId).bOpenFails = true; };
    const auto unplugged = [](CSimMachine& sim) { sim.AddAudioDevice("Quorvane", kInstanceId).bPresent = false; };
    const auto none = [](CSimMachine&) {};
    const OpenCase cases[] = {
        {"XP, device present", SimOs::WindowsXpX86(), present, true, 2, 1},
        {"XP, no device", SimOs::WindowsXpX86(), none, false, 1, 0},
        {"XP, device unplugged", SimOs::WindowsXpX86(), unplugged, false, 1, 0},
        {"XP, filter present but not openable", SimOs::WindowsXpX86(), notOpenable, false, 2, 1},
        {"NT 6.2 takes the filter path", SimOs::Nt62X64(), present, true, 2, 1},
        // Without the render endpoint 6.x stops before the filter.
        {"Windows 7 finds no endpoint", SimOs::Windows7X64(), present, false, 0, 0},
    };
    for (const OpenCase& c : cases)
    {
        SCOPED_TRACE(c.pszLabel);
        CSimMachine sim(c.os);
        c.setUp(sim);
        CDeviceControl session(sim.GetPlatform());

        EXPECT_EQ(c.bOpen, session.Open(nullptr));
        EXPECT_EQ(c.bOpen, session.IsOpen());
        EXPECT_EQ(c.nSearches, sim.Calls(SimCall::GetClassDevs));
        EXPECT_EQ(c.nFileOpens, sim.Calls(SimCall::CreateFile));
        if (c.bOpen)
        {
            EXPECT_EQ("1 handle open", sim.Leftovers());
            session.Close();
            EXPECT_FALSE(session.IsOpen());
        }
        EXPECT_EQ("", sim.Leftovers());
    }
}

TEST(DeviceControl, OpenOnAnOpenSessionSearchesNothing)
{
    CSimMachine sim(SimOs::WindowsXpX86());
    sim.AddAudioDevice("Quorvane", kInstanceId);
    CDeviceControl session(sim.GetPlatform());
    ASSERT_TRUE(session.Open(nullptr));
    const int nSearches = sim.Calls(SimCall::GetClassDevs);
    const int nEnumerations = sim.Calls(SimCall::EnumDeviceInfo);

    EXPECT_TRUE(session.Open(nullptr));

    EXPECT_EQ(nSearches, sim.Calls(SimCall::GetClassDevs));
    EXPECT_EQ(nEnumerations, sim.Calls(SimCall::EnumDeviceInfo));
    EXPECT_EQ(1, sim.Calls(SimCall::CreateFile));
    EXPECT_EQ("1 handle open", sim.Leftovers());
}

TEST(DeviceControl, CloseOnAClosedSessionClosesNothing)
{
    CSimMachine sim(SimOs::WindowsXpX86());
    sim.AddAudioDevice("Quorvane", kInstanceId);
    CDeviceControl session(sim.GetPlatform());

    session.Close();
    session.Close();

    EXPECT_FALSE(session.IsOpen());
    EXPECT_EQ(0, sim.Calls(SimCall::CloseHandle));
    EXPECT_EQ("", sim.Leftovers());
}

TEST(DeviceControl, ReopensAfterCloseAndClosesOnDestruction)
{
    CSimMachine sim(SimOs::WindowsXpX86());
    sim.AddAudioDevice("Quorvane", kInstanceId);
    {
        CDeviceControl session(sim.GetPlatform());
        ASSERT_TRUE(session.Open(nullptr));
        session.Close();
        EXPECT_EQ("", sim.Leftovers());
        EXPECT_TRUE(session.Open(nullptr));
        EXPECT_EQ(2, sim.Calls(SimCall::CreateFile));
    }
    EXPECT_EQ(2, sim.Calls(SimCall::CloseHandle));
    EXPECT_EQ("", sim.Leftovers());
}

struct Windows6Case
{
    const char* pszLabel;
    std::function<void(CSimMachine&)> setUp;
    bool bOpen;
    bool bFilter;
};

TEST(DeviceControl, OnWindows6TheSessionNeedsExactlyOneEndpoint)
{
    const auto endpoint = [](CSimMachine& sim) {
        sim.AddEndpoint(kDeviceEndpointId, SimFlow::Render, kSimEndpointActive, kDeviceInstancePath, u"Speakers");
    };
    const Windows6Case cases[] = {
        {"one endpoint, no filter", endpoint, true, false},
        {"one endpoint and the filter",
         [endpoint](CSimMachine& sim) {
             endpoint(sim);
             sim.AddAudioDevice("Quorvane", kInstanceId);
         },
         true, true},
        {"two endpoints",
         [endpoint](CSimMachine& sim) {
             endpoint(sim);
             sim.AddEndpoint(u"{0.0.0.00000000}.{second}", SimFlow::Render, kSimEndpointActive, kDeviceInstancePath,
                             u"Digital");
             sim.AddAudioDevice("Quorvane", kInstanceId);
         },
         false, false},
        {"an empty id",
         [](CSimMachine& sim) {
             sim.AddEndpoint(u"", SimFlow::Render, kSimEndpointActive, kDeviceInstancePath, u"Speakers");
         },
         false, false},
    };
    for (const Windows6Case& c : cases)
    {
        SCOPED_TRACE(c.pszLabel);
        CSimMachine sim(SimOs::Windows7X64());
        c.setUp(sim);
        CDeviceControl session(sim.GetPlatform());

        EXPECT_EQ(c.bOpen, session.Open(nullptr));
        EXPECT_EQ(c.bOpen, session.IsOpen());
        EXPECT_EQ(c.bOpen ? 1 : 0, session.GetRenderCount());
        for (int i = c.bOpen ? 1 : 0; i < kMaxEndpoints; ++i)
        {
            EXPECT_EQ(0, session.GetRenderId(i)[0]) << "entry " << i;
            EXPECT_EQ(0, session.GetRenderName(i)[0]) << "entry " << i;
        }
        if (c.bOpen)
        {
            EXPECT_EQ(std::u16string(kDeviceEndpointId), session.GetRenderId(0));
            EXPECT_STREQ("Speakers", session.GetRenderName(0));
        }
        EXPECT_EQ(c.bFilter ? "1 handle open" : "", sim.Leftovers());
        DeviceFormatBlock block = {};
        EXPECT_EQ(c.bFilter, session.GetStreamStatus(&block)) << "status needs the filter";
        session.Close();
        EXPECT_EQ(0, session.GetRenderCount());
        EXPECT_EQ(0, session.GetRenderId(0)[0]);
        EXPECT_EQ("", sim.Leftovers());
    }
}

} // namespace
