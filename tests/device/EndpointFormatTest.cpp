#include "device/DeviceControl.h"
#include "device/EndpointFormat.h"
#include "EndpointSetup.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

static bool operator==(const DeviceFormatBlock& a, const DeviceFormatBlock& b)
{
    return std::memcmp(&a, &b, sizeof(a)) == 0;
}

static std::ostream& operator<<(std::ostream& os, const DeviceFormatBlock& b)
{
    return os << "{size " << b.size << ", flags " << int(b.playFlag) << "/" << int(b.recFlag) << ", bits "
              << int(b.playBits) << "/" << int(b.recBits) << ", rates " << b.playRate << "/" << b.recRate << "}";
}

namespace {

const std::u16string kKey = std::u16string(kDeviceEndpointId).substr(17);

OsVersionInfo Windows7X64()
{
    OsVersionInfo os;
    os.osKind = kOsWindows7;
    os.ntMajorVersion = 6;
    os.nativeIs32Bit = false;
    return os;
}

// The stored format with the fields a write sets.
FormatFields Written(const FormatFields& stored, std::uint16_t nBits, std::uint32_t nRate, std::uint16_t nBlockAlign,
                     std::uint32_t nBytesPerSec)
{
    FormatFields fields = stored;
    fields.channels = 2;
    fields.samplesPerSec = nRate;
    fields.blockAlign = nBlockAlign;
    fields.avgBytesPerSec = nBytesPerSec;
    fields.bitsPerSample = nBits;
    fields.validBits = nBits;
    return fields;
}

int Writes(CSimMachine& sim)
{
    int n = 0;
    for (const SimKestrinRequest& request : sim.Kestrin().Requests())
        n += request.nCode == kSimKestrinWrite ? 1 : 0;
    return n;
}

struct FigureCase
{
    const char* pszLabel;
    std::uint16_t nBits;
    std::uint32_t nRate;
    std::uint16_t nAlign0;
    std::uint32_t nBytes0;
    std::uint16_t nAlign1;
    std::uint32_t nBytes1;
};

TEST(EndpointFormat, WriteSetsTheFormatAndKeepsTheRestOfBothValues)
{
    const FigureCase cases[] = {
        {"16 bit, 44100 Hz", 16, 44100, 4, 176400, 8, 352800},
        {"24 bit, 48000 Hz", 24, 48000, 6, 288000, 8, 384000},
    };
    for (const FigureCase& c : cases)
    {
        SCOPED_TRACE(c.pszLabel);
        CSimMachine sim(SimOs::Windows7X64());
        const FormatFields stored0 = StoredFormat(16, 96000);
        FormatFields stored1 = StoredFormat(32, 96000);
        stored1.channelMask = 0x0000003F;
        stored1.header[2] = 0x77;
        AddDeviceEndpoint(sim, stored0, &stored1);

        EXPECT_TRUE(WriteEndpointFormat(sim.GetPlatform(), kKey.c_str(), c.nRate, Windows7X64(), 2, c.nBits));

        EXPECT_EQ(Written(stored0, c.nBits, c.nRate, c.nAlign0, c.nBytes0), StoredValue(sim, kDeviceFormatValueName));
        EXPECT_EQ(Written(stored1, 32, c.nRate, c.nAlign1, c.nBytes1), StoredValue(sim, kSecondFormatValueName));
        EXPECT_EQ("read {f19; read {e48; write {f19; write {e48", RequestLog(sim));
        EXPECT_EQ(48u, sim.Registry().FindValue(DeviceEndpointKey(), kDeviceFormatValueName)->data.size());
        EXPECT_EQ("", sim.Leftovers());
    }
}

// Without value 1, value 0 is patched once and stored by both requests; value 1 stays absent.
TEST(EndpointFormat, WithoutValue1Value0IsWrittenIntact)
{
    CSimMachine sim(SimOs::Windows7X64());
    const FormatFields stored0 = StoredFormat(16, 44100);
    AddDeviceEndpoint(sim, stored0, nullptr);

    EXPECT_TRUE(WriteEndpointFormat(sim.GetPlatform(), kKey.c_str(), 48000, Windows7X64(), 2, 24));

    EXPECT_EQ(Written(stored0, 24, 48000, 6, 288000), StoredValue(sim, kDeviceFormatValueName));
    EXPECT_EQ(nullptr, sim.Registry().FindValue(DeviceEndpointKey(), kSecondFormatValueName));
    EXPECT_EQ("read {f19; read {e48 (failed); read {f19; write {f19; write {f19", RequestLog(sim));
    std::vector<std::uint32_t> lengths;
    for (const SimKestrinRequest& request : sim.Kestrin().Requests())
        if (request.nCode == kSimKestrinWrite)
            lengths.push_back(request.nDataLength);
    EXPECT_EQ(std::vector<std::uint32_t>({48, 48}), lengths);
    EXPECT_EQ("", sim.Leftovers());
}

struct BadValueCase
{
    const char* pszLabel;
    const char16_t* pszName;
    std::uint32_t nType;
    std::size_t nBytes;
};

// A value that is not a binary format of at least 48 bytes is no format to patch.
TEST(EndpointFormat, AValueThatIsNoFormatIsRefusedAndNothingIsWritten)
{
    const BadValueCase cases[] = {
        {"value 0 is a DWORD", kDeviceFormatValueName, 4, 48},
        {"value 0 is a string", kDeviceFormatValueName, 1, 60},
        {"value 0 has 47 bytes", kDeviceFormatValueName, kRegBinary, 47},
        {"value 0 is empty", kDeviceFormatValueName, kRegBinary, 0},
        {"value 1 is a DWORD", kSecondFormatValueName, 4, 48},
        {"value 1 has 47 bytes", kSecondFormatValueName, kRegBinary, 47},
    };
    for (const BadValueCase& c : cases)
    {
        SCOPED_TRACE(c.pszLabel);
        CSimMachine sim(SimOs::Windows7X64());
        const FormatFields stored = StoredFormat(16, 44100);
        AddDeviceEndpoint(sim, stored, &stored);
        std::vector<std::uint8_t> bad = Serialize(StoredFormat(24, 96000), 12);
        bad.resize(c.nBytes);
        sim.Registry().SetValue(DeviceEndpointKey(), c.pszName, c.nType, bad);

        EXPECT_FALSE(WriteEndpointFormat(sim.GetPlatform(), kKey.c_str(), 48000, Windows7X64(), 2, 24));
        EXPECT_EQ(0, Writes(sim)) << RequestLog(sim);

        const SimRegistryValue* pBad = sim.Registry().FindValue(DeviceEndpointKey(), c.pszName);
        ASSERT_NE(nullptr, pBad);
        EXPECT_EQ(bad, pBad->data);
        EXPECT_EQ(c.nType, pBad->nType);
        EXPECT_EQ("", sim.Leftovers());
    }
}

TEST(EndpointFormat, ReadRefusesAValueThatIsNoFormat)
{
    CSimMachine sim(SimOs::Windows7X64());
    AddDeviceEndpoint(sim, StoredFormat(16, 44100), nullptr);
    sim.Registry().SetValue(DeviceEndpointKey(), kDeviceFormatValueName, kRegBinary,
                            std::vector<std::uint8_t>(47, 0x10));
    std::uint32_t nRate = 0xdeadbeef;
    std::uint16_t nChannels = 0xbeef;
    std::uint16_t nBits = 0xbeef;

    EXPECT_FALSE(ReadEndpointFormat(sim.GetPlatform(), kKey.c_str(), Windows7X64(), &nRate, &nChannels, &nBits));

    EXPECT_EQ(0xdeadbeefu, nRate);
    EXPECT_EQ(0xbeef, nChannels);
    EXPECT_EQ(0xbeef, nBits);
}

TEST(EndpointFormat, ReadReportsValue0)
{
    CSimMachine sim(SimOs::Windows7X64());
    FormatFields stored = StoredFormat(24, 96000);
    stored.channels = 6;
    AddDeviceEndpoint(sim, stored, nullptr);
    std::uint32_t nRate = 0;
    std::uint16_t nChannels = 0;
    std::uint16_t nBits = 0;

    EXPECT_TRUE(ReadEndpointFormat(sim.GetPlatform(), kKey.c_str(), Windows7X64(), &nRate, &nChannels, &nBits));

    EXPECT_EQ(96000u, nRate);
    EXPECT_EQ(6, nChannels);
    EXPECT_EQ(24, nBits);
    EXPECT_EQ("read {f19", RequestLog(sim));
    EXPECT_EQ("", sim.Leftovers());
}

TEST(EndpointFormat, ANullOutOrAnOverlongKeyPathFailsWithoutAnyExchange)
{
    CSimMachine sim(SimOs::Windows7X64());
    AddDeviceEndpoint(sim, StoredFormat(16, 44100), nullptr);
    // 83 units of prefix, the key and 11 of suffix: 166 units of key make 260.
    const std::u16string overlong(166, u'k');
    std::uint32_t nRate = 0;
    std::uint16_t nChannels = 0;
    std::uint16_t nBits = 0;
    const Platform platform = sim.GetPlatform();

    EXPECT_FALSE(ReadEndpointFormat(platform, kKey.c_str(), Windows7X64(), nullptr, &nChannels, &nBits));
    EXPECT_FALSE(ReadEndpointFormat(platform, kKey.c_str(), Windows7X64(), &nRate, nullptr, &nBits));
    EXPECT_FALSE(ReadEndpointFormat(platform, kKey.c_str(), Windows7X64(), &nRate, &nChannels, nullptr));
    EXPECT_FALSE(ReadEndpointFormat(platform, overlong.c_str(), Windows7X64(), &nRate, &nChannels, &nBits));
    EXPECT_FALSE(WriteEndpointFormat(platform, overlong.c_str(), 48000, Windows7X64(), 2, 24));
    EXPECT_FALSE(WriteEndpointFormat(platform, nullptr, 48000, Windows7X64(), 2, 24));

    EXPECT_EQ(0, sim.TotalCalls()) << sim.CallSummary();
}

TEST(EndpointFormat, AKeyPathOf259UnitsIsUsed)
{
    CSimMachine sim(SimOs::Windows7X64());
    const std::u16string id = u"{0.0.0.00000000}." + std::u16string(165, u'k');
    SimEndpoint& endpoint = sim.AddEndpoint(id, SimFlow::Render, kSimEndpointActive, kDeviceInstancePath, u"A");
    ASSERT_EQ(259u, CSimMachine::EndpointPropertiesKey(endpoint).size());
    sim.Registry().SetValue(CSimMachine::EndpointPropertiesKey(endpoint), kDeviceFormatValueName, kRegBinary,
                            Serialize(StoredFormat(16, 32000)));
    std::uint32_t nRate = 0;
    std::uint16_t nChannels = 0;
    std::uint16_t nBits = 0;

    EXPECT_TRUE(ReadEndpointFormat(sim.GetPlatform(), id.c_str() + 17, Windows7X64(), &nRate, &nChannels, &nBits));
    EXPECT_EQ(32000u, nRate);
}

TEST(EndpointFormat, AFailedSecondWriteKeepsTheFirstAndFails)
{
    CSimMachine sim(SimOs::Windows7X64());
    const FormatFields stored = StoredFormat(16, 44100);
    AddDeviceEndpoint(sim, stored, &stored);
    sim.Kestrin().FailRequests(kSimKestrinWrite, kSecondFormatValueName);

    EXPECT_FALSE(WriteEndpointFormat(sim.GetPlatform(), kKey.c_str(), 96000, Windows7X64(), 2, 16));

    EXPECT_EQ(Written(stored, 16, 96000, 4, 384000), StoredValue(sim, kDeviceFormatValueName));
    EXPECT_EQ(stored, StoredValue(sim, kSecondFormatValueName));
    EXPECT_EQ("", sim.Leftovers());
}

// The session on Windows 7 with the device's endpoint and no topology filter.
class EndpointSession : public ::testing::Test
{
protected:
    void Open(const FormatFields& stored)
    {
        AddDeviceEndpoint(m_sim, stored, &m_stored1);
        ASSERT_TRUE(m_session.Open(nullptr));
    }

    CSimMachine m_sim{SimOs::Windows7X64()};
    FormatFields m_stored1 = StoredFormat(32, 44100);
    CDeviceControl m_session{m_sim.GetPlatform()};
};

DeviceFormatBlock Block(std::uint8_t nPlayBits, std::uint32_t nPlayRate)
{
    DeviceFormatBlock block;
    std::memset(&block, 0xA5, sizeof(block));
    block.playBits = nPlayBits;
    block.playRate = nPlayRate;
    return block;
}

struct SetCase
{
    const char* pszLabel;
    std::uint8_t nPlayBits;
    std::uint32_t nRate;
    std::uint16_t nBits;
};

TEST(EndpointExchange, SetWritesThePanelsBitsToTheEndpoint)
{
    const SetCase cases[] = {
        {"32 is written as 24", 32, 48000, 24},
        {"24 stays 24", 24, 96000, 24},
        {"16 stays 16", 16, 44100, 16},
    };
    for (const SetCase& c : cases)
    {
        SCOPED_TRACE(c.pszLabel);
        CSimMachine sim(SimOs::Windows7X64());
        const FormatFields stored = StoredFormat(16, 32000);
        AddDeviceEndpoint(sim, stored, &stored);
        CDeviceControl session(sim.GetPlatform());
        ASSERT_TRUE(session.Open(nullptr));
        DeviceFormatBlock block = Block(c.nPlayBits, c.nRate);
        const DeviceFormatBlock before = block;

        EXPECT_TRUE(session.ExchangeFormat(false, &block));

        const FormatFields value0 = StoredValue(sim, kDeviceFormatValueName);
        EXPECT_EQ(c.nBits, value0.bitsPerSample) << value0;
        EXPECT_EQ(c.nBits, value0.validBits);
        EXPECT_EQ(2, value0.channels);
        EXPECT_EQ(c.nRate, value0.samplesPerSec);
        EXPECT_EQ(32, StoredValue(sim, kSecondFormatValueName).bitsPerSample);
        EXPECT_EQ(before, block) << "the record is left as it was";
        EXPECT_EQ("", sim.Leftovers());
    }
}

struct GetCase
{
    const char* pszLabel;
    std::uint16_t nStoredBits;
    std::uint32_t nStoredRate;
    std::uint8_t nPlayBits;
};

TEST(EndpointExchange, GetReportsTheStoredRateAndBits)
{
    const GetCase cases[] = {
        {"24 bit, 96000 Hz", 24, 96000, 24},
        {"16 bit, 44100 Hz", 16, 44100, 16},
        {"32 bit stored reads as 24", 32, 48000, 24},
    };
    for (const GetCase& c : cases)
    {
        SCOPED_TRACE(c.pszLabel);
        CSimMachine sim(SimOs::Windows7X64());
        AddDeviceEndpoint(sim, StoredFormat(c.nStoredBits, c.nStoredRate), nullptr);
        CDeviceControl session(sim.GetPlatform());
        ASSERT_TRUE(session.Open(nullptr));
        DeviceFormatBlock block = Block(16, 32000);
        block.playFlag = 0;
        block.recFlag = 0;
        const std::uint8_t nRecBits = block.recBits;
        const std::uint32_t nRecRate = block.recRate;

        EXPECT_TRUE(session.ExchangeFormat(true, &block));

        EXPECT_EQ(16, block.size);
        EXPECT_EQ(1, block.playFlag);
        EXPECT_EQ(1, block.recFlag);
        EXPECT_EQ(c.nPlayBits, block.playBits);
        EXPECT_EQ(c.nStoredRate, block.playRate);
        EXPECT_EQ(nRecBits, block.recBits) << "kept from the caller";
        EXPECT_EQ(nRecRate, block.recRate) << "kept from the caller";
        EXPECT_EQ(0, Writes(sim));
        EXPECT_EQ("", sim.Leftovers());
    }
}

TEST_F(EndpointSession, AFailedReadFailsTheGetAfterSettingTheFlags)
{
    Open(StoredFormat(16, 44100));
    m_sim.Kestrin().FailRequests(kSimKestrinRead);
    DeviceFormatBlock block = Block(16, 44100);

    EXPECT_FALSE(m_session.ExchangeFormat(true, &block));

    EXPECT_EQ(16, block.size);
    EXPECT_EQ(1, block.playFlag);
    EXPECT_EQ(44100u, block.playRate);
    EXPECT_EQ("", m_sim.Leftovers());
}

TEST(EndpointExchange, AClosedSessionTouchesNothing)
{
    CSimMachine sim(SimOs::Windows7X64());
    const FormatFields stored = StoredFormat(16, 44100);
    AddDeviceEndpoint(sim, stored, &stored);
    CDeviceControl session(sim.GetPlatform());
    ASSERT_TRUE(session.Open(nullptr));
    session.Close();
    const int nCalls = sim.TotalCalls();
    DeviceFormatBlock block = Block(24, 48000);
    const DeviceFormatBlock before = block;

    EXPECT_FALSE(session.ExchangeFormat(false, &block));
    EXPECT_FALSE(session.ExchangeFormat(true, &block));

    EXPECT_EQ(before, block);
    EXPECT_EQ(nCalls, sim.TotalCalls()) << sim.CallSummary();
    EXPECT_EQ(stored, StoredValue(sim, kDeviceFormatValueName));
    EXPECT_EQ(stored, StoredValue(sim, kSecondFormatValueName));
}

// What one format read costs: a full deployment, install, start, stop and deletion.
TEST_F(EndpointSession, OneFormatReadCostsTwentyThreePlatformCalls)
{
    Open(StoredFormat(24, 48000));
    const int nBefore = m_sim.TotalCalls();
    std::map<SimCall, int> before;
    for (int i = 0; i < static_cast<int>(SimCall::Count); ++i)
        before[static_cast<SimCall>(i)] = m_sim.Calls(static_cast<SimCall>(i));
    DeviceFormatBlock block = Block(24, 48000);

    ASSERT_TRUE(m_session.ExchangeFormat(true, &block));

    const std::map<SimCall, int> expected = {
        {SimCall::GetModuleFileName, 1}, {SimCall::GetSystemDirectory, 1}, {SimCall::CopyFile, 1},
        {SimCall::CreateFile, 2},        {SimCall::CloseHandle, 2},        {SimCall::DeviceIoControl, 1},
        {SimCall::OpenSCManager, 2},     {SimCall::CreateService, 1},      {SimCall::OpenService, 3},
        {SimCall::StartService, 1},      {SimCall::ControlService, 1},     {SimCall::DeleteService, 1},
        {SimCall::CloseServiceHandle, 6},
    };
    std::string spent;
    for (int i = 0; i < static_cast<int>(SimCall::Count); ++i)
    {
        const SimCall call = static_cast<SimCall>(i);
        const int n = m_sim.Calls(call) - before[call];
        if (n)
            spent += std::string(spent.empty() ? "" : ", ") + SimCallName(call) + " " + std::to_string(n);
        const auto it = expected.find(call);
        EXPECT_EQ(it == expected.end() ? 0 : it->second, n) << SimCallName(call);
    }
    EXPECT_EQ(23, m_sim.TotalCalls() - nBefore) << spent;
    RecordProperty("calls", spent);
    EXPECT_EQ("", m_sim.Leftovers());
}

} // namespace
