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

// The bundle of a system object that implements every interface but the endpoint one itself.
template <typename TSystem>
Platform MakePlatform(TSystem& system, IAudioEndpoints& audioEndpoints)
{
    Platform platform;
    platform.pFileIo = &system;
    platform.pSetupApi = &system;
    platform.pSystemInfo = &system;
    platform.pDebugOutput = &system;
    platform.pTextConversion = &system;
    platform.pFileSystem = &system;
    platform.pServiceControl = &system;
    platform.pAudioEndpoints = &audioEndpoints;
    return platform;
}
