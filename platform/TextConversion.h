#pragma once
// Conversion of the system's UTF-16 texts into the ANSI code page the panel works in.

#include "platform/PlatformTypes.h"

class ITextConversion
{
public:
    // WideCharToMultiByte(CP_ACP, no flags, NUL-terminated source, no default character):
    // bytes written including the NUL, 0 on failure.
    virtual int WideToAnsi(const char16_t* pszSource, char* pszDest, int nDestSize) = 0;

protected:
    ~ITextConversion() = default;
};
