#pragma once
// Finding the device's active render endpoints (Windows Vista and 7).

#include "platform/Platform.h"

#include <cstdint>

constexpr int kMaxRenderEndpoints = 4;

// Stands in for an endpoint text that cannot be read.
constexpr char16_t kEndpointTextUnavailable[] = u"<Device not available>";

// Stores the first four active render endpoints whose instance path holds pszPattern (letter
// case ignored), in collection order: ids and descriptions. Only entries up to the count are
// written. True when one was stored.
bool FindRenderEndpoints(const Platform& platform, SysHandle hWnd, const char* pszPattern,
                         char16_t (*pszIds)[kSysMaxPath], char (*pszNames)[kSysMaxPath], std::int32_t* pnCount);
