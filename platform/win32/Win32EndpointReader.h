#pragma once
// The audio endpoint reader over COM: CEndpointReader, with the bookkeeping of what it holds.

#include "platform/AudioEndpoints.h"

#include <string>

// One process-wide factory, valid for the life of the process.
IAudioEndpoints& GetWin32AudioEndpoints();

// What the readers took from COM and have not given back (references, CoTaskMem strings,
// property values), in words; empty when everything was released.
std::string Win32EndpointLeftovers();
// COM references the readers have taken since the process started.
int Win32EndpointReferencesTaken();
