#pragma once
// Finding the device's active render endpoints (Windows Vista and 7).

#include "platform/Platform.h"

#include <cstdint>

// Stores up to four endpoints whose instance path holds pszPattern; true when one was stored.
bool FindRenderEndpoints(const Platform& platform, SysHandle hWnd, const char* pszPattern,
                         char16_t (*pszIds)[kSysMaxPath], char (*pszNames)[kSysMaxPath], std::int32_t* pnCount);
