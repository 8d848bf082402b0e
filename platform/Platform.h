#pragma once
// The bundle of platform interfaces the device layer runs on. The pointers are not owned; the
// platform outlives every object it is handed to.

#include "platform/AudioEndpoints.h"
#include "platform/DebugOutput.h"
#include "platform/FileIo.h"
#include "platform/FileSystem.h"
#include "platform/ServiceControl.h"
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
    IFileSystem* pFileSystem = nullptr;
    IServiceControl* pServiceControl = nullptr;
    IAudioEndpoints* pAudioEndpoints = nullptr;
};
