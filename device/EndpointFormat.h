#pragma once
// The render endpoint's format values in the audio endpoint registry, read and rewritten
// through the helper driver (Windows Vista and 7).

#include "device/PlatformDetection.h"
#include "platform/Platform.h"

#include <cstdint>

// Kernel form of HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\MMDevices\Audio\Render\<key>\Properties.
constexpr char16_t kEndpointKeyPathPrefix[] =
    u"\\Registry\\Machine\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\MMDevices\\Audio\\Render\\";
constexpr char16_t kEndpointKeyPathSuffix[] = u"\\Properties";

// The audio engine's device format (PKEY_AudioEngine_DeviceFormat), and a second format value
// that is always written with 32 bits.
constexpr char16_t kDeviceFormatValueName[] = u"{f19f064d-082c-4e27-bc73-6882a1bb8e4c},0";
constexpr char16_t kSecondFormatValueName[] = u"{e4870e26-3cc5-4cd2-ba46-ca0a9a70ed04},0";
constexpr std::uint16_t kSecondFormatBits = 32;

// The part of a stored value that is handled: an 8-byte header, then a WAVEFORMATEXTENSIBLE.
constexpr std::uint32_t kFormatValueSize = 48;
constexpr std::uint32_t kFormatTagOffset = 8;
constexpr std::uint32_t kChannelsOffset = 10;
constexpr std::uint32_t kSamplesPerSecOffset = 12;
constexpr std::uint32_t kAvgBytesPerSecOffset = 16;
constexpr std::uint32_t kBlockAlignOffset = 20;
constexpr std::uint32_t kBitsPerSampleOffset = 22;
constexpr std::uint32_t kCbSizeOffset = 24;
constexpr std::uint32_t kValidBitsOffset = 26;
constexpr std::uint32_t kChannelMaskOffset = 28;
constexpr std::uint32_t kSubFormatOffset = 32;

// Writes the key path for an endpoint key; false when it would not fit in 260 units.
bool BuildEndpointKeyPath(const char16_t* pszEndpointKey, char16_t (&szPath)[kSysMaxPath]);

// The stored device format (value 0); the outs are written only on success.
bool ReadEndpointFormat(const Platform& platform, const char16_t* pszEndpointKey, const OsVersionInfo& os,
                        std::uint32_t* pnRate, std::uint16_t* pnChannels, std::uint16_t* pnBits);
// Rewrites both format values with the rate, channels and bits given (32 bits in value 1).
bool WriteEndpointFormat(const Platform& platform, const char16_t* pszEndpointKey, std::uint32_t nRate,
                         const OsVersionInfo& os, std::uint16_t nChannels, std::uint16_t nBits);
