#include "discovery/TopologyDiscovery.h"
#include "sim/SimMachine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace {

const char kInstanceId[] = "USB\\VID_2B91&PID_4C07&MI_01\\7&2A5C1F&0&0001";
const char kOtherInstanceId[] = "USB\\VID_2B91&PID_4C07&MI_01\\7&33D0E2&0&0002";
const char kPath[] = "\\\\?\\usb#vid_2b91&pid_4c07&mi_01#7&2a5c1f&0&0001#{dda54a40-1e4c-11d1-a050-405705c10000}\\topology";
const char kOtherPath[] =
    "\\\\?\\usb#vid_2b91&pid_4c07&mi_01#7&33d0e2&0&0002#{dda54a40-1e4c-11d1-a050-405705c10000}\\topology";

// A device path of exactly nLength characters.
std::string PathOfLength(std::size_t nLength)
{
    std::string path = "\\\\?\\usb#vid_2b91&pid_4c07&mi_01#";
    path += std::string(nLength - path.size() - 9, 'a');
    path += "\\topology";
    return path;
}

void OneTopologyDevice(CSimMachine& sim, const std::string& path)
{
    SimDevice& device = sim.AddDevice("Quorvane", kInstanceId);
    CSimMachine::AddTopologyInterface(device, path);
}

struct SearchCase
{
    const char* pszLabel;
    std::function<void(CSimMachine&)> setUp;
    bool bFound;
    std::string path;
};

TEST(TopologyDiscovery, FindsTheFilterOfTheDeviceWithOurDriver)
{
    const SearchCase cases[] = {
        {"no device with a topology interface", [](CSimMachine&) {}, false, ""},
        {"only other drivers",
         [](CSimMachine& sim) {
             sim.AddAudioDevice("usbaudio", "USB\\VID_046D&PID_0A44&MI_00\\1");
             sim.AddAudioDevice("HdAudAddService", "HDAUDIO\\FUNC_01\\2");
         },
         false, ""},
        {"service differs in letter case", [](CSimMachine& sim) { sim.AddAudioDevice("quorvane", kInstanceId); },
         false, ""},
        {"service goes on after the name", [](CSimMachine& sim) { sim.AddAudioDevice("Quorvane2", kInstanceId); },
         false, ""},
        {"service is a prefix of the name", [](CSimMachine& sim) { sim.AddAudioDevice("Quorvan", kInstanceId); },
         false, ""},
        {"our device", [](CSimMachine& sim) { sim.AddAudioDevice("Quorvane", kInstanceId); }, true, kPath},
        {"our device, unplugged",
         [](CSimMachine& sim) { sim.AddAudioDevice("Quorvane", kInstanceId).bPresent = false; }, false, ""},
        {"unreadable service is passed over",
         [](CSimMachine& sim) {
             sim.AddAudioDevice("", kOtherInstanceId).bHasService = false;
             sim.AddAudioDevice("Quorvane", kInstanceId);
         },
         true, kPath},
        {"interface 0 of several is taken",
         [](CSimMachine& sim) {
             SimDevice& device = sim.AddAudioDevice("Quorvane", kInstanceId);
             CSimMachine::AddTopologyInterface(device, kOtherPath);
         },
         true, kPath},
        {"path of 259 characters fits", [](CSimMachine& sim) { OneTopologyDevice(sim, PathOfLength(259)); }, true,
         PathOfLength(259)},
        {"path of 260 characters does not", [](CSimMachine& sim) { OneTopologyDevice(sim, PathOfLength(260)); },
         false, ""},
        {"path of 400 characters does not", [](CSimMachine& sim) { OneTopologyDevice(sim, PathOfLength(400)); },
         false, ""},
        {"device-information set refused (invalid handle)",
         [](CSimMachine& sim) {
             sim.AddAudioDevice("Quorvane", kInstanceId);
             sim.SetClassDevsFailure(InvalidSysHandle());
         },
         false, ""},
        {"device-information set refused (null)",
         [](CSimMachine& sim) {
             sim.AddAudioDevice("Quorvane", kInstanceId);
             sim.SetClassDevsFailure(nullptr);
         },
         false, ""},
    };
    for (const SearchCase& c : cases)
    {
        SCOPED_TRACE(c.pszLabel);
        CSimMachine sim;
        c.setUp(sim);
        char szPath[kSysMaxPath];
        std::memset(szPath, 'X', sizeof(szPath));

        EXPECT_EQ(c.bFound, FindTopologyDevicePath(sim, szPath));

        ASSERT_NE(nullptr, std::memchr(szPath, 0, sizeof(szPath))) << "result not terminated";
        EXPECT_EQ(c.path, szPath);
        EXPECT_EQ("", sim.Leftovers());
    }
}

TEST(TopologyDiscovery, FirstMatchingDeviceWinsAndTheSecondIsNeverLookedAt)
{
    const struct
    {
        const char* pszLabel;
        std::string firstPath;
        bool bFound;
        std::string path;
    } cases[] = {
        {"first device's filter found", kPath, true, kPath},
        {"first device's path too long: no fallback", PathOfLength(300), false, ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszLabel);
        CSimMachine sim;
        OneTopologyDevice(sim, c.firstPath);
        sim.AddAudioDevice("Quorvane", kOtherInstanceId);
        char szPath[kSysMaxPath] = "poison";

        EXPECT_EQ(c.bFound, FindTopologyDevicePath(sim, szPath));

        EXPECT_EQ(c.path, szPath);
        EXPECT_EQ(0, sim.Device(1).nLookups);
        EXPECT_EQ("", sim.Leftovers());
    }
}

TEST(TopologyDiscovery, RepeatedSearchesLeaveNothingBehind)
{
    CSimMachine sim;
    sim.AddAudioDevice("Quorvane", kInstanceId);
    char szPath[kSysMaxPath];
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(FindTopologyDevicePath(sim, szPath)) << "search " << i;
    EXPECT_EQ(6, sim.Calls(SimCall::GetClassDevs));
    EXPECT_EQ("", sim.Leftovers());
}

// The Setup API checks cbSize against its own architecture's records.
TEST(TopologyDiscovery, RecordsHaveThisArchitecturesSizes)
{
    const bool b32 = sizeof(void*) == 4;
    EXPECT_EQ(b32 ? 28u : 32u, sizeof(SysDevInfoData));
    EXPECT_EQ(b32 ? 28u : 32u, sizeof(SysDeviceInterfaceData));
    EXPECT_EQ(b32 ? 5u : 8u, sizeof(SysDeviceInterfaceDetailA));
}

} // namespace
