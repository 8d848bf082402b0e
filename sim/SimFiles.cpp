// The files of the simulated machine: the program's own path, the system directory and the
// copies made into it.

#include "sim/SimMachine.h"
#include "sim/SimErrors.h"

#include <cctype>
#include <cstring>

std::string CSimMachine::Fold(const std::string& path)
{
    std::string folded = path;
    for (char& c : folded)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return folded;
}

std::string CSimMachine::ParentDirectory(const std::string& path)
{
    const std::size_t nSlash = path.rfind('\\');
    return nSlash == std::string::npos ? std::string() : path.substr(0, nSlash);
}

std::string CSimMachine::ProgramDirectory() const
{
    return ParentDirectory(m_modulePath);
}

void CSimMachine::AddDirectory(const std::string& path)
{
    m_directories.insert(Fold(path));
}

void CSimMachine::PutFile(const std::string& path, const std::string& content)
{
    m_files[Fold(path)] = content;
}

bool CSimMachine::RemoveFile(const std::string& path)
{
    return m_files.erase(Fold(path)) != 0;
}

const std::string* CSimMachine::FindFile(const std::string& path) const
{
    auto it = m_files.find(Fold(path));
    return it == m_files.end() ? nullptr : &it->second;
}

// Windows XP cuts a path that does not fit and leaves out the NUL.
std::uint32_t CSimMachine::GetModuleFileNameA(char* pszPath, std::uint32_t nSize)
{
    Count(SimCall::GetModuleFileName);
    if (Injected(SimCall::GetModuleFileName))
        return 0;
    if (!pszPath || nSize == 0)
    {
        Fail(kErrorInvalidParameter);
        return 0;
    }
    const std::size_t nLength = m_modulePath.size();
    if (nLength >= nSize)
    {
        std::memcpy(pszPath, m_modulePath.data(), nSize);
        Succeed();
        return nSize;
    }
    std::memcpy(pszPath, m_modulePath.c_str(), nLength + 1);
    Succeed();
    return static_cast<std::uint32_t>(nLength);
}

std::uint32_t CSimMachine::GetSystemDirectoryA(char* pszPath, std::uint32_t nSize)
{
    Count(SimCall::GetSystemDirectory);
    if (Injected(SimCall::GetSystemDirectory))
        return 0;
    const std::size_t nLength = m_systemDirectory.size();
    if (!pszPath || nLength + 1 > nSize)
        return static_cast<std::uint32_t>(nLength + 1);
    std::memcpy(pszPath, m_systemDirectory.c_str(), nLength + 1);
    Succeed();
    return static_cast<std::uint32_t>(nLength);
}

bool CSimMachine::CopyFileA(const char* pszSource, const char* pszDest, bool bFailIfExists)
{
    Count(SimCall::CopyFile);
    if (Injected(SimCall::CopyFile))
        return false;
    if (!pszSource || !pszDest)
        return Fail(kErrorInvalidParameter);
    const std::string* pSource = FindFile(pszSource);
    if (!pSource)
        return Fail(kErrorFileNotFound);
    if (!m_directories.count(Fold(ParentDirectory(pszDest))))
        return Fail(kErrorPathNotFound);
    if (bFailIfExists && FindFile(pszDest))
        return Fail(kErrorFileExists);
    const std::string content = *pSource;
    PutFile(pszDest, content);
    return Succeed();
}
