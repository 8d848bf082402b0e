#include "discovery/RenderEndpoints.h"
#include "sim/SimMachine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

const char kPattern[] = "VID_2B91&PID_4C07&MI_01";
const char16_t kPath[] = u"{1}.USB\\VID_2B91&PID_4C07&MI_01\\7&2A5C1F&0&0001";
const char16_t kPoisonId[] = u"poisoned id";
const char kPoisonName[] = "poisoned name";

std::u16string Id(int n)
{
    return u"{0.0.0.00000000}.{5d0c4e1a-7f3b-4c2d-9e8a-1b2c3d4e5f6" + std::u16string(1, char16_t(u'0' + n)) + u"}";
}

std::string Narrow(const char16_t* psz)
{
    std::string text;
    for (; *psz; ++psz)
        text += *psz < 0x80 ? static_cast<char>(*psz) : '?';
    return text;
}

struct Lists
{
    Lists()
    {
        for (int i = 0; i < 4; ++i)
        {
            std::memcpy(ids[i], kPoisonId, sizeof(kPoisonId));
            std::memcpy(names[i], kPoisonName, sizeof(kPoisonName));
        }
    }
    char16_t ids[4][kSysMaxPath];
    char names[4][kSysMaxPath];
    std::int32_t nCount = -7;
};

struct Stored
{
    std::u16string id;
    std::string name;
};

struct DiscoveryCase
{
    const char* pszLabel;
    std::function<void(CSimMachine&)> setUp;
    std::vector<Stored> stored;
};

void Render(CSimMachine& sim, const std::u16string& id, const std::u16string& path, const std::u16string& name)
{
    sim.AddEndpoint(id, SimFlow::Render, kSimEndpointActive, path, name);
}

TEST(RenderEndpoints, StoresTheFirstFourActiveRenderEndpointsOfTheDevice)
{
    const std::u16string longText(300, u'x');
    const DiscoveryCase cases[] = {
        {"no endpoint at all", [](CSimMachine&) {}, {}},
        {"one endpoint of the device", [](CSimMachine& sim) { Render(sim, Id(1), kPath, u"Speakers"); },
         {{Id(1), "Speakers"}}},
        {"instance path in lower case",
         [](CSimMachine& sim) { Render(sim, Id(1), u"{1}.usb\\vid_2b91&pid_4c07&mi_01\\7&2a5c1f&0&0001", u"S"); },
         {{Id(1), "S"}}},
        {"pattern in the description only",
         [](CSimMachine& sim) { Render(sim, Id(1), u"{1}.HDAUDIO\\FUNC_01\\4&1", u"VID_2B91&PID_4C07&MI_01"); },
         {}},
        {"other interface numbers of the device",
         [](CSimMachine& sim) {
             Render(sim, Id(1), u"{1}.USB\\VID_2B91&PID_4C07&MI_00\\7&1", u"A");
             Render(sim, Id(2), u"{1}.USB\\VID_2B91&PID_4C07&MI_02\\7&1", u"B");
         },
         {}},
        {"five endpoints of the device, with others between",
         [](CSimMachine& sim) {
             Render(sim, Id(1), kPath, u"One");
             Render(sim, Id(2), u"{1}.USB\\VID_046D&PID_0A44&MI_01\\1", u"Other");
             for (int i = 3; i <= 6; ++i)
                 Render(sim, Id(i), kPath, u"N" + std::u16string(1, char16_t(u'0' + i)));
         },
         {{Id(1), "One"}, {Id(3), "N3"}, {Id(4), "N4"}, {Id(5), "N5"}}},
        {"description unreadable",
         [](CSimMachine& sim) {
             sim.AddEndpoint(Id(1), SimFlow::Render, kSimEndpointActive, kPath, u"").description.reset();
         },
         {{Id(1), "<Device not available>"}}},
        {"instance path unreadable",
         [](CSimMachine& sim) {
             sim.AddEndpoint(Id(1), SimFlow::Render, kSimEndpointActive, u"", u"A").instancePath.reset();
         },
         {}},
        {"description of 300 units is cut to 259",
         [longText](CSimMachine& sim) { Render(sim, Id(1), kPath, longText); },
         {{Id(1), std::string(259, 'x')}}},
        {"id of 259 units is kept", [](CSimMachine& sim) { Render(sim, std::u16string(259, u'i'), kPath, u"A"); },
         {{std::u16string(259, u'i'), "A"}}},
        {"id of 260 units is passed over",
         [](CSimMachine& sim) {
             Render(sim, std::u16string(260, u'i'), kPath, u"A");
             Render(sim, Id(2), kPath, u"B");
         },
         {{Id(2), "B"}}},
    };
    for (const DiscoveryCase& c : cases)
    {
        SCOPED_TRACE(c.pszLabel);
        CSimMachine sim(SimOs::Windows7X64());
        c.setUp(sim);
        Lists lists;

        const bool bFound = FindRenderEndpoints(sim.GetPlatform(), nullptr, kPattern, lists.ids, lists.names,
                                                &lists.nCount);

        EXPECT_EQ(!c.stored.empty(), bFound);
        ASSERT_EQ(static_cast<std::int32_t>(c.stored.size()), lists.nCount);
        for (std::size_t i = 0; i < c.stored.size(); ++i)
        {
            EXPECT_EQ(Narrow(c.stored[i].id.c_str()), Narrow(lists.ids[i])) << "entry " << i;
            EXPECT_EQ(c.stored[i].name, lists.names[i]) << "entry " << i;
        }
        for (std::size_t i = c.stored.size(); i < 4; ++i)
        {
            EXPECT_EQ(Narrow(kPoisonId), Narrow(lists.ids[i])) << "entry " << i << " must stay untouched";
            EXPECT_STREQ(kPoisonName, lists.names[i]) << "entry " << i << " must stay untouched";
        }
        EXPECT_EQ(1, sim.Calls(SimCall::DeleteEndpointReader));
        EXPECT_EQ("", sim.Leftovers());
    }
}

TEST(RenderEndpoints, InactiveAndCaptureEndpointsAreNeverLookedAt)
{
    CSimMachine sim(SimOs::Windows7X64());
    SimEndpoint& disabled = sim.AddEndpoint(Id(1), SimFlow::Render, kSimEndpointDisabled, kPath, u"A");
    SimEndpoint& unplugged = sim.AddEndpoint(Id(2), SimFlow::Render, kSimEndpointUnplugged, kPath, u"B");
    SimEndpoint& absent = sim.AddEndpoint(Id(3), SimFlow::Render, kSimEndpointNotPresent, kPath, u"C");
    SimEndpoint& capture = sim.AddEndpoint(Id(4), SimFlow::Capture, kSimEndpointActive, kPath, u"D");
    SimEndpoint& active = sim.AddEndpoint(Id(5), SimFlow::Render, kSimEndpointActive, kPath, u"E");
    Lists lists;

    EXPECT_TRUE(FindRenderEndpoints(sim.GetPlatform(), nullptr, kPattern, lists.ids, lists.names, &lists.nCount));

    EXPECT_EQ(1, lists.nCount);
    EXPECT_EQ(Narrow(Id(5).c_str()), Narrow(lists.ids[0]));
    EXPECT_EQ(0, disabled.nLookups);
    EXPECT_EQ(0, unplugged.nLookups);
    EXPECT_EQ(0, absent.nLookups);
    EXPECT_EQ(0, capture.nLookups);
    EXPECT_EQ(3, active.nLookups) << "instance path, id, description";
    EXPECT_EQ("", sim.Leftovers());
}

struct FailureCase
{
    const char* pszLabel;
    SimCall call;
    int nReaders;
};

TEST(RenderEndpoints, FailuresOfTheEndpointInterfacesFindNothingAndReleaseEverything)
{
    const FailureCase cases[] = {
        {"reader not allocated", SimCall::NewEndpointReader, 0},
        {"enumerator not created", SimCall::CoCreateInstance, 1},
        {"enumeration refused", SimCall::EnumAudioEndpoints, 1},
        {"endpoints not obtained", SimCall::Item, 1},
        {"property stores not opened", SimCall::OpenPropertyStore, 1},
        {"ids not obtained", SimCall::GetId, 1},
    };
    for (const FailureCase& c : cases)
    {
        SCOPED_TRACE(c.pszLabel);
        CSimMachine sim(SimOs::Windows7X64());
        Render(sim, Id(1), kPath, u"A");
        sim.FailCalls(c.call, 0x80004005u);
        Lists lists;

        EXPECT_FALSE(FindRenderEndpoints(sim.GetPlatform(), nullptr, kPattern, lists.ids, lists.names, &lists.nCount));

        EXPECT_EQ(0, lists.nCount);
        EXPECT_EQ(Narrow(kPoisonId), Narrow(lists.ids[0]));
        EXPECT_STREQ(kPoisonName, lists.names[0]);
        EXPECT_EQ(c.nReaders, sim.Calls(SimCall::DeleteEndpointReader));
        EXPECT_EQ("", sim.Leftovers());
    }
}

TEST(RenderEndpoints, AFailedEnumeratorCreationIsFollowedByAFreshStart)
{
    CSimMachine sim(SimOs::Windows7X64());
    Render(sim, Id(1), kPath, u"Speakers");
    sim.FailCalls(SimCall::CoCreateInstance, 0x80040154u, 1);
    Lists lists;

    EXPECT_FALSE(FindRenderEndpoints(sim.GetPlatform(), nullptr, kPattern, lists.ids, lists.names, &lists.nCount));
    EXPECT_EQ(0, lists.nCount);
    EXPECT_EQ(0, sim.Calls(SimCall::EnumAudioEndpoints));
    EXPECT_EQ("", sim.Leftovers());

    EXPECT_TRUE(FindRenderEndpoints(sim.GetPlatform(), nullptr, kPattern, lists.ids, lists.names, &lists.nCount));
    EXPECT_EQ(1, lists.nCount);
    EXPECT_STREQ("Speakers", lists.names[0]);
    EXPECT_EQ(2, sim.Calls(SimCall::CoInitializeEx)) << "COM is initialised again by every search";
    EXPECT_EQ("", sim.Leftovers());
}

TEST(RenderEndpoints, AMissingArgumentWritesNothing)
{
    CSimMachine sim(SimOs::Windows7X64());
    Render(sim, Id(1), kPath, u"A");
    Lists lists;
    const Platform platform = sim.GetPlatform();

    EXPECT_FALSE(FindRenderEndpoints(platform, nullptr, nullptr, lists.ids, lists.names, &lists.nCount));
    EXPECT_FALSE(FindRenderEndpoints(platform, nullptr, kPattern, nullptr, lists.names, &lists.nCount));
    EXPECT_FALSE(FindRenderEndpoints(platform, nullptr, kPattern, lists.ids, nullptr, &lists.nCount));
    EXPECT_FALSE(FindRenderEndpoints(platform, nullptr, kPattern, lists.ids, lists.names, nullptr));

    EXPECT_EQ(-7, lists.nCount);
    EXPECT_EQ(Narrow(kPoisonId), Narrow(lists.ids[0]));
    EXPECT_EQ(0, sim.Calls(SimCall::NewEndpointReader));
}

} // namespace
