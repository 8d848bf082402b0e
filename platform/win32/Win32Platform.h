#pragma once
// The platform interfaces forwarded to the real Windows API.

#include "platform/Platform.h"

// The product's platform: one process-wide bundle, valid for the life of the process.
const Platform& GetWin32Platform();
