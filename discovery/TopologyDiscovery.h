#pragma once
// Finding the device's kernel-streaming topology filter by its driver's service name.

#include "platform/SetupApi.h"

// {DDA54A40-1E4C-11D1-A050-405705C10000}
constexpr SysGuid kKsCategoryTopology = {0xDDA54A40, 0x1E4C, 0x11D1, {0xA0, 0x50, 0x40, 0x57, 0x05, 0xC1, 0x00, 0x00}};

// The service of the device's own kernel audio driver.
constexpr char kDeviceDriverService[] = "Quorvane";

// Writes the device path of the device's first topology interface. On every failure, also a
// path too long for the buffer, returns false with the empty string.
bool FindTopologyDevicePath(ISetupApi& setupApi, char (&szPath)[kSysMaxPath]);
