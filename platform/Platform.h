#pragma once
// The bundle of platform interfaces the device layer runs on. The pointers are not owned; the
// platform outlives every object it is handed to. Later concerns (endpoint enumeration, the
// service manager, file copies) join as further members.

#include "platform/DebugOutput.h"
#include "platform/FileIo.h"
#include "platform/SetupApi.h"
#include "platform/SystemInfo.h"
#include "platform/TextConversion.h"

struct Platform
{
    IFileIo* pFileIo = nullptr;
    ISetupApi* pSetupApi = nullptr;
    ISystemInfo* pSystemInfo = nullptr;
    IDebugOutput* pDebugOutput = nullptr;
    ITextConversion* pTextConversion = nullptr;
};
