#pragma once
// The device's render endpoint on a simulated Windows 7 machine, and its stored format values
// field by field.

#include "device/EndpointFormat.h"
#include "device/HelperDriver.h"
#include "sim/SimMachine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

constexpr char16_t kDeviceEndpointId[] = u"{0.0.0.00000000}.{5d0c4e1a-7f3b-4c2d-9e8a-1b2c3d4e5f60}";
constexpr char16_t kDeviceInstancePath[] = u"{1}.USB\\VID_2B91&PID_4C07&MI_01\\7&2A5C1F&0&0001";
constexpr char16_t kDeviceDescription[] = u"Speakers (Brask Quelo Audio)";

// The first 48 bytes of a stored format value.
struct FormatFields
{
    std::uint8_t header[8];
    std::uint16_t formatTag;
    std::uint16_t channels;
    std::uint32_t samplesPerSec;
    std::uint32_t avgBytesPerSec;
    std::uint16_t blockAlign;
    std::uint16_t bitsPerSample;
    std::uint16_t cbSize;
    std::uint16_t validBits;
    std::uint32_t channelMask;
    std::uint8_t subFormat[16];
};
static_assert(sizeof(FormatFields) == 48, "the handled part of a format value");

// A stored stereo format whose kept fields are unusual enough to be told apart.
inline FormatFields StoredFormat(std::uint16_t nBits, std::uint32_t nRate)
{
    const FormatFields fields = {{0x41, 0x00, 0x5A, 0xA5, 0x28, 0x00, 0x00, 0x00},
                                 0xFFFE,
                                 2,
                                 nRate,
                                 static_cast<std::uint32_t>(nBits / 8 * 2) * nRate,
                                 static_cast<std::uint16_t>(nBits / 8 * 2),
                                 nBits,
                                 22,
                                 nBits,
                                 0x00000033,
                                 {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38,
                                  0x9B, 0x71}};
    return fields;
}

// The value's bytes, with nTrailing more bytes after the 48 handled ones.
inline std::vector<std::uint8_t> Serialize(const FormatFields& fields, std::size_t nTrailing = 0)
{
    std::vector<std::uint8_t> bytes(sizeof(fields) + nTrailing, 0xC3);
    std::memcpy(bytes.data(), &fields, sizeof(fields));
    return bytes;
}

inline FormatFields Parse(const std::vector<std::uint8_t>& bytes)
{
    FormatFields fields;
    std::memset(&fields, 0xEE, sizeof(fields));
    std::memcpy(&fields, bytes.data(), bytes.size() < sizeof(fields) ? bytes.size() : sizeof(fields));
    return fields;
}

inline bool operator==(const FormatFields& a, const FormatFields& b)
{
    return std::memcmp(&a, &b, sizeof(a)) == 0;
}

inline std::ostream& operator<<(std::ostream& os, const FormatFields& f)
{
    os << "{header";
    for (std::uint8_t b : f.header)
        os << " " << int(b);
    os << ", tag " << f.formatTag << ", channels " << f.channels << ", rate " << f.samplesPerSec << ", bytes/s "
       << f.avgBytesPerSec << ", align " << f.blockAlign << ", bits " << f.bitsPerSample << ", cbSize " << f.cbSize
       << ", valid " << f.validBits << ", mask " << f.channelMask << ", sub";
    for (std::uint8_t b : f.subFormat)
        os << " " << int(b);
    return os << "}";
}

inline std::u16string DeviceEndpointKey()
{
    SimEndpoint endpoint;
    endpoint.id = kDeviceEndpointId;
    return CSimMachine::EndpointPropertiesKey(endpoint);
}

// The device's active render endpoint with both format values (value 1 left out when null).
inline SimEndpoint& AddDeviceEndpoint(CSimMachine& sim, const FormatFields& value0, const FormatFields* pValue1)
{
    SimEndpoint& endpoint = sim.AddEndpoint(kDeviceEndpointId, SimFlow::Render, kSimEndpointActive,
                                            kDeviceInstancePath, kDeviceDescription);
    const std::u16string key = CSimMachine::EndpointPropertiesKey(endpoint);
    sim.Registry().SetValue(key, kDeviceFormatValueName, kRegBinary, Serialize(value0));
    if (pValue1)
        sim.Registry().SetValue(key, kSecondFormatValueName, kRegBinary, Serialize(*pValue1));
    return endpoint;
}

// The stored value, or a poisoned record with a failure when it is missing.
inline FormatFields StoredValue(CSimMachine& sim, const char16_t* pszName)
{
    const SimRegistryValue* pValue = sim.Registry().FindValue(DeviceEndpointKey(), pszName);
    if (!pValue)
    {
        ADD_FAILURE() << "value missing";
        return Parse({});
    }
    EXPECT_EQ(kRegBinary, pValue->nType);
    return Parse(pValue->data);
}

// The requests the driver received, as "read {f19f...},0; write ..." for failure messages.
inline std::string RequestLog(CSimMachine& sim)
{
    std::string text;
    for (const SimKestrinRequest& request : sim.Kestrin().Requests())
    {
        text += text.empty() ? "" : "; ";
        text += request.nCode == kSimKestrinRead ? "read " : request.nCode == kSimKestrinWrite ? "write " : "other ";
        for (char16_t c : request.valueName.substr(0, 4))
            text += static_cast<char>(c);
        text += request.bOk ? "" : " (failed)";
    }
    return text;
}
