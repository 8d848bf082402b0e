#pragma once
// The file operations that deploy the helper driver: the program's own path, the system
// directory and file copies.

#include "platform/PlatformTypes.h"

class IFileSystem
{
public:
    // GetModuleFileNameA of the process's own module: characters copied without the NUL, 0 on
    // failure. A path cut to the buffer may come without its NUL (Windows XP does that).
    virtual std::uint32_t GetModuleFileNameA(char* pszPath, std::uint32_t nSize) = 0;
    // GetSystemDirectoryA: the length without the NUL; the size needed, NUL included, when the
    // buffer is too small; 0 on failure.
    virtual std::uint32_t GetSystemDirectoryA(char* pszPath, std::uint32_t nSize) = 0;
    virtual bool CopyFileA(const char* pszSource, const char* pszDest, bool bFailIfExists) = 0;

protected:
    ~IFileSystem() = default;
};
