#include "device/DeviceControl.h"
#include "sim/SimMachine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <ostream>

// Printed in failure messages field by field.
static std::ostream& operator<<(std::ostream& os, const DeviceFormatBlock& b)
{
    return os << "{size " << b.size << ", flags " << int(b.playFlag) << "/" << int(b.recFlag) << ", bits "
              << int(b.playBits) << "/" << int(b.recBits) << ", cur " << int(b.playCurBits) << "/"
              << int(b.recCurBits) << ", rates " << b.playRate << "/" << b.recRate << "}";
}

static bool operator==(const DeviceFormatBlock& a, const DeviceFormatBlock& b)
{
    return std::memcmp(&a, &b, sizeof(a)) == 0;
}

namespace {

const char kInstanceId[] = "USB\\VID_2B91&PID_4C07&MI_01\\7&2A5C1F&0&0001";

DeviceFormatBlock Block(std::uint8_t nPlayFlag, std::uint8_t nPlayBits, std::uint32_t nPlayRate,
                        std::uint8_t nRecFlag, std::uint8_t nRecBits, std::uint32_t nRecRate)
{
    DeviceFormatBlock block = {};
    block.size = sizeof(block);
    block.playFlag = nPlayFlag;
    block.playBits = nPlayBits;
    block.playRate = nPlayRate;
    block.recFlag = nRecFlag;
    block.recBits = nRecBits;
    block.recRate = nRecRate;
    return block;
}

DeviceFormatBlock Poisoned()
{
    DeviceFormatBlock block;
    std::memset(&block, 0xA5, sizeof(block));
    return block;
}

class FormatProperty : public ::testing::Test
{
protected:
    FormatProperty() : m_device(m_sim.AddAudioDevice("Quorvane", kInstanceId)), m_session(m_sim.GetPlatform()) {}

    void SetUp() override { ASSERT_TRUE(m_session.Open(nullptr)); }

    CSimKsDriver& Driver() { return m_device.driver; }

    CSimMachine m_sim{SimOs::WindowsXpX86()};
    SimDevice& m_device;
    CDeviceControl m_session;
};

TEST_F(FormatProperty, GetSendsTheDriversBitsAndReturnsItsRecord)
{
    Driver().SetStoredFormat(SimStream::Play, SimStoredFormat::Fixed(32, 96000));
    Driver().SetStoredFormat(SimStream::Record, SimStoredFormat::Automatic());
    DeviceFormatBlock block = Block(1, 24, 48000, 1, 16, 44100);

    EXPECT_TRUE(m_session.ExchangeFormat(true, &block));

    EXPECT_EQ(32, Driver().LastRecordReceived().playBits);
    EXPECT_EQ(16, Driver().LastRecordReceived().recBits);
    EXPECT_EQ(Block(1, 32, 96000, 0, 0, 0), block);
    EXPECT_EQ(1, Driver().Requests(kPropertyIdFormat, kKsPropertyTypeGet));
    EXPECT_EQ(1, Driver().AllRequests());
}

TEST_F(FormatProperty, SetStoresTheFormatInTheDriversBits)
{
    DeviceFormatBlock block = Block(1, 24, 48000, 1, 24, 96000);

    EXPECT_TRUE(m_session.ExchangeFormat(false, &block));

    EXPECT_EQ(32, Driver().GetStoredFormat(SimStream::Play).nBits);
    EXPECT_EQ(48000u, Driver().GetStoredFormat(SimStream::Play).nRate);
    EXPECT_EQ(32, Driver().GetStoredFormat(SimStream::Record).nBits);
    EXPECT_EQ(96000u, Driver().GetStoredFormat(SimStream::Record).nRate);
    EXPECT_EQ(1, Driver().Requests(kPropertyIdFormat, kKsPropertyTypeSet));
    EXPECT_EQ(1, Driver().AllRequests());
}

struct FailureCase
{
    const char* pszLabel;
    std::function<void(CSimKsDriver&)> fault;
    std::function<bool(CDeviceControl&, DeviceFormatBlock*)> operation;
    std::uint32_t nId;
    std::uint32_t nFlags;
};

TEST(FormatPropertyReplies, ShortOrFailedRepliesFail)
{
    const auto reply15 = [](CSimKsDriver& driver) { driver.SetReplyBytes(15); };
    const auto reply0 = [](CSimKsDriver& driver) { driver.SetReplyBytes(0); };
    const auto fails = [](CSimKsDriver& driver) { driver.SetRequestsFail(true); };
    const auto get = [](CDeviceControl& session, DeviceFormatBlock* p) { return session.ExchangeFormat(true, p); };
    const auto set = [](CDeviceControl& session, DeviceFormatBlock* p) { return session.ExchangeFormat(false, p); };
    const auto status = [](CDeviceControl& session, DeviceFormatBlock* p) { return session.GetStreamStatus(p); };
    const FailureCase cases[] = {
        {"GET answered with 15 bytes", reply15, get, kPropertyIdFormat, kKsPropertyTypeGet},
        {"SET answered with 15 bytes", reply15, set, kPropertyIdFormat, kKsPropertyTypeSet},
        {"status answered with 15 bytes", reply15, status, kPropertyIdStreamStatus, kKsPropertyTypeGet},
        {"status answered with nothing", reply0, status, kPropertyIdStreamStatus, kKsPropertyTypeGet},
        {"GET refused", fails, get, kPropertyIdFormat, kKsPropertyTypeGet},
        {"status refused", fails, status, kPropertyIdStreamStatus, kKsPropertyTypeGet},
    };
    for (const FailureCase& c : cases)
    {
        SCOPED_TRACE(c.pszLabel);
        CSimMachine sim(SimOs::WindowsXpX86());
        SimDevice& device = sim.AddAudioDevice("Quorvane", kInstanceId);
        CDeviceControl session(sim.GetPlatform());
        ASSERT_TRUE(session.Open(nullptr));
        c.fault(device.driver);
        DeviceFormatBlock block = Block(1, 16, 44100, 1, 16, 44100);

        EXPECT_FALSE(c.operation(session, &block));

        EXPECT_EQ(1, device.driver.Requests(c.nId, c.nFlags));
        EXPECT_EQ(1, device.driver.AllRequests());
    }
}

struct StatusCase
{
    const char* pszLabel;
    bool bPlayRuns;
    std::uint8_t nPlayBits;
    bool bRecRuns;
    std::uint8_t nRecBits;
    std::uint8_t nPlayCurBits;
    std::uint8_t nRecCurBits;
};

TEST(FormatPropertyReplies, StatusSpeaksOf24WhereTheDriverSays32)
{
    const StatusCase cases[] = {
        {"playback 16, record 32", true, 16, true, 32, 16, 24},
        {"playback 32, record 16", true, 32, true, 16, 24, 16},
        {"both 32", true, 32, true, 32, 24, 24},
        {"playback 32, record stopped", true, 32, false, 0, 24, 0},
        {"both stopped", false, 0, false, 0, 0, 0},
    };
    for (const StatusCase& c : cases)
    {
        SCOPED_TRACE(c.pszLabel);
        CSimMachine sim(SimOs::WindowsXpX86());
        SimDevice& device = sim.AddAudioDevice("Quorvane", kInstanceId);
        if (c.bPlayRuns)
            device.driver.StartStream(SimStream::Play, c.nPlayBits, 44100);
        if (c.bRecRuns)
            device.driver.StartStream(SimStream::Record, c.nRecBits, 48000);
        CDeviceControl session(sim.GetPlatform());
        ASSERT_TRUE(session.Open(nullptr));
        DeviceFormatBlock block = Poisoned();

        EXPECT_TRUE(session.GetStreamStatus(&block));

        EXPECT_EQ(c.bPlayRuns ? 1 : 0, block.playFlag);
        EXPECT_EQ(c.bRecRuns ? 1 : 0, block.recFlag);
        EXPECT_EQ(c.nPlayCurBits, block.playCurBits);
        EXPECT_EQ(c.nRecCurBits, block.recCurBits);
        EXPECT_EQ(c.bPlayRuns ? 44100u : 0u, block.playRate);
        EXPECT_EQ(c.bRecRuns ? 48000u : 0u, block.recRate);
        EXPECT_EQ(1, device.driver.Requests(kPropertyIdStreamStatus, kKsPropertyTypeGet));
        EXPECT_EQ(1, device.driver.AllRequests());
    }
}

// The driver's side of a format change: a running stream keeps its format until it restarts.
TEST_F(FormatProperty, SetWhileStreamingTakesEffectAtTheNextStart)
{
    Driver().StartStream(SimStream::Play, 16, 44100);
    DeviceFormatBlock set = Block(1, 24, 96000, 0, 0, 0);
    ASSERT_TRUE(m_session.ExchangeFormat(false, &set));

    DeviceFormatBlock status = Poisoned();
    ASSERT_TRUE(m_session.GetStreamStatus(&status));
    EXPECT_EQ(16, status.playCurBits);
    EXPECT_EQ(44100u, status.playRate);
    EXPECT_EQ(32, status.playBits) << "a fixed format is in force";

    Driver().StopStream(SimStream::Play);
    Driver().StartStream(SimStream::Play, 16, 44100);
    ASSERT_TRUE(m_session.GetStreamStatus(&status));
    EXPECT_EQ(24, status.playCurBits);
    EXPECT_EQ(96000u, status.playRate);
}

struct ClosedCase
{
    const char* pszLabel;
    SimOs os;
    bool bOpen;
};

TEST(FormatPropertyClosed, WithoutAFilterNothingIsSentAndTheRecordIsUntouched)
{
    const ClosedCase cases[] = {
        {"XP, session never opened", SimOs::WindowsXpX86(), false},
        {"XP, session closed again", SimOs::WindowsXpX86(), true},
        {"Windows 7, no endpoint listed", SimOs::Windows7X64(), false},
    };
    for (const ClosedCase& c : cases)
    {
        SCOPED_TRACE(c.pszLabel);
        CSimMachine sim(c.os);
        SimDevice& device = sim.AddAudioDevice("Quorvane", kInstanceId);
        CDeviceControl session(sim.GetPlatform());
        if (c.bOpen)
        {
            ASSERT_TRUE(session.Open(nullptr));
            session.Close();
        }
        DeviceFormatBlock block = Poisoned();

        EXPECT_FALSE(session.ExchangeFormat(true, &block));
        EXPECT_FALSE(session.ExchangeFormat(false, &block));
        EXPECT_FALSE(session.GetStreamStatus(&block));
        EXPECT_FALSE(session.ExchangeFormat(true, nullptr));
        EXPECT_FALSE(session.GetStreamStatus(nullptr));

        EXPECT_EQ(Poisoned(), block);
        EXPECT_EQ(0, sim.Calls(SimCall::DeviceIoControl));
        EXPECT_EQ(0, device.driver.AllRequests());
    }
}

} // namespace
