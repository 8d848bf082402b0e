#pragma once
// Recognising the device in a USB device-interface path.

#include <cstdint>

constexpr std::uint16_t kDeviceUsbVendorId = 0x2B91;
constexpr std::uint16_t kDeviceUsbProductId = 0x4C07;
// The USB interface that carries the device's audio function.
constexpr unsigned kDeviceAudioInterface = 1;

// Reads the ids after "VID_" and "PID_" (0x00FF when not found). Upper-cases pszName in place.
void ParseUsbDeviceIds(char* pszName, std::uint16_t* pnVendorId, std::uint16_t* pnProductId);
