#include "sim/SimKestrinDriver.h"
#include "sim/SimErrors.h"

#include <cstring>

namespace {

constexpr std::uint32_t kHeaderSize = 12;
// No registry name is longer.
constexpr std::size_t kMaxNameUnits = 32767;

// False for a missing or unterminated name.
bool ReadName(const char16_t* psz, std::u16string* pName)
{
    if (!psz)
        return false;
    for (std::size_t i = 0; i < kMaxNameUnits; ++i)
    {
        if (psz[i] == 0)
        {
            pName->assign(psz, i);
            return true;
        }
    }
    return false;
}

void Put32(std::uint8_t* p, std::uint32_t n)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(n >> (8 * i));
}

} // namespace

void CSimKestrinDriver::FailRequests(std::uint32_t nCode, const std::u16string& valueName)
{
    m_failures.emplace_back(nCode, valueName);
}

bool CSimKestrinDriver::Fails(std::uint32_t nCode, const std::u16string& valueName) const
{
    for (const auto& failure : m_failures)
        if (failure.first == nCode && (failure.second.empty() || failure.second == valueName))
            return true;
    return false;
}

bool CSimKestrinDriver::HandleRequest(std::uint32_t nCode, const void* pIn, std::uint32_t nInSize, void* pOut,
                                      std::uint32_t nOutSize, std::uint32_t* pnReturned, std::uint32_t* pnError)
{
    if (pnReturned)
        *pnReturned = 0;
    m_requests.emplace_back();
    SimKestrinRequest& logged = m_requests.back();
    logged.nCode = nCode;
    if (nCode != kSimKestrinRead && nCode != kSimKestrinWrite)
    {
        *pnError = kErrorInvalidFunction;
        return false;
    }

    // The record of the sender's own build: 32 bytes from a 32-bit panel.
    RegistryValueRequest request = {};
    if (!pIn || nInSize != sizeof(request) || !pOut || nOutSize < sizeof(request))
    {
        *pnError = kErrorInvalidParameter;
        return false;
    }
    std::memcpy(&request, pIn, sizeof(request));
    logged.nType = request.valueType;
    logged.nDataLength = request.dataLength;
    if (request.size != sizeof(request) || !request.data || !ReadName(request.keyPath, &logged.keyPath) ||
        !ReadName(request.valueName, &logged.valueName))
    {
        *pnError = kErrorInvalidParameter;
        return false;
    }
    if (Fails(nCode, logged.valueName))
    {
        *pnError = kErrorGenFailure;
        return false;
    }

    if (nCode == kSimKestrinRead)
    {
        const SimRegistryValue* pValue = m_registry.FindValue(logged.keyPath, logged.valueName);
        if (!pValue)
        {
            *pnError = kErrorFileNotFound;
            return false;
        }
        const std::size_t nSize = pValue->data.size();
        if (request.dataLength < kHeaderSize || nSize > request.dataLength - kHeaderSize)
        {
            *pnError = kErrorMoreData;
            return false;
        }
        Put32(request.data, 0);
        Put32(request.data + 4, pValue->nType);
        Put32(request.data + 8, static_cast<std::uint32_t>(nSize));
        if (nSize)
            std::memcpy(request.data + kHeaderSize, pValue->data.data(), nSize);
    }
    else
    {
        const std::vector<std::uint8_t> data(request.data, request.data + request.dataLength);
        if (!m_registry.WriteValue(logged.keyPath, logged.valueName, request.valueType, data))
        {
            *pnError = kErrorFileNotFound;
            return false;
        }
    }

    // Buffered I/O: the record goes back as it came.
    std::memmove(pOut, pIn, sizeof(request));
    if (pnReturned)
        *pnReturned = sizeof(request);
    logged.bOk = true;
    return true;
}
