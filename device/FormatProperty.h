#pragma once
// The private kernel-streaming property set that the device's own driver answers on its
// topology filter: the stored stream format (201) and the state of the streams (202).

#include "platform/PlatformTypes.h"

#include <cstdint>

// The 16-byte record of both properties, little-endian, without gaps.
struct DeviceFormatBlock
{
    std::uint16_t size;
    std::uint8_t playFlag;
    std::uint8_t recFlag;
    std::uint8_t playBits;
    std::uint8_t recBits;
    std::uint8_t playCurBits;
    std::uint8_t recCurBits;
    std::uint32_t playRate;
    std::uint32_t recRate;
};
static_assert(sizeof(DeviceFormatBlock) == 16, "the driver exchanges exactly 16 bytes");

// KSPROPERTY: property set, id and request flags.
struct KsPropertyRequest
{
    SysGuid set;
    std::uint32_t id;
    std::uint32_t flags;
};
static_assert(sizeof(KsPropertyRequest) == 24, "KSPROPERTY is 24 bytes");

// {7AC50200-C94D-46A7-A77B-4965D2F90ECF}
constexpr SysGuid kFormatPropertySet = {0x7AC50200, 0xC94D, 0x46A7, {0xA7, 0x7B, 0x49, 0x65, 0xD2, 0xF9, 0x0E, 0xCF}};
constexpr std::uint32_t kPropertyIdFormat = 201;
constexpr std::uint32_t kPropertyIdStreamStatus = 202;
constexpr std::uint32_t kKsPropertyTypeGet = 1;
constexpr std::uint32_t kKsPropertyTypeSet = 2;
constexpr std::uint32_t kIoctlKsProperty = 0x2F0003;

// Sizes the device's driver speaks: it says 32 where the panel says 24.
constexpr std::uint8_t kPanelBits24 = 24;
constexpr std::uint8_t kDriverBits24 = 32;
