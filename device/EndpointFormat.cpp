#include "device/EndpointFormat.h"

#include "device/HelperDriver.h"

#include <cstring>

namespace {

std::uint16_t Get16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t Get32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void Put16(std::uint8_t* p, std::uint16_t n)
{
    p[0] = static_cast<std::uint8_t>(n);
    p[1] = static_cast<std::uint8_t>(n >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t n)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(n >> (8 * i));
}

std::size_t Length(const char16_t* psz)
{
    std::size_t n = 0;
    while (psz[n])
        ++n;
    return n;
}

using ValueBuffer = std::uint8_t[kRegistryValueBufferSize];

// The reply of the driver (the request record as it comes back) is not examined: every
// request is built afresh from the panel's own buffers.
void Prepare(RegistryValueRequest& request, const char16_t* pszKeyPath, const char16_t* pszValueName,
             ValueBuffer& data, std::uint32_t nDataLength)
{
    std::memset(&request, 0, sizeof(request));
    request.size = kRegistryValueRequestSize;
    request.keyPath = pszKeyPath;
    request.valueName = pszValueName;
    request.valueType = kRegBinary;
    request.data = data;
    request.dataLength = nDataLength;
}

// What the driver read is a format only when it is binary and holds the 48 bytes handled;
// anything else would be taken from stale buffer bytes.
bool IsFormatValue(const ValueBuffer& data)
{
    const std::uint32_t nType = Get32(data + kReadHeaderTypeOffset);
    const std::uint32_t nLength = Get32(data + kReadHeaderDataLengthOffset);
    return nType == kRegBinary && nLength >= kFormatValueSize && nLength <= kRegistryValueBufferSize - kReadHeaderSize;
}

// Sets the format fields of the value read, then moves its 48 bytes to the start of the
// buffer, which is what a write stores.
void PatchForWrite(ValueBuffer& data, std::uint32_t nRate, std::uint16_t nChannels, std::uint16_t nBits)
{
    std::uint8_t* pValue = data + kReadHeaderSize;
    const std::uint16_t nBlockAlign = static_cast<std::uint16_t>((nBits / 8) * nChannels);
    Put16(pValue + kChannelsOffset, nChannels);
    Put32(pValue + kSamplesPerSecOffset, nRate);
    Put32(pValue + kAvgBytesPerSecOffset, static_cast<std::uint32_t>(nBlockAlign) * nRate);
    Put16(pValue + kBlockAlignOffset, nBlockAlign);
    Put16(pValue + kBitsPerSampleOffset, nBits);
    Put16(pValue + kValidBitsOffset, nBits);
    std::memmove(data, pValue, kFormatValueSize);
}

} // namespace

bool BuildEndpointKeyPath(const char16_t* pszEndpointKey, char16_t (&szPath)[kSysMaxPath])
{
    if (!pszEndpointKey)
        return false;
    const std::size_t nPrefix = Length(kEndpointKeyPathPrefix);
    const std::size_t nKey = Length(pszEndpointKey);
    const std::size_t nSuffix = Length(kEndpointKeyPathSuffix);
    if (nPrefix + nKey + nSuffix >= kSysMaxPath)
        return false;
    std::memcpy(szPath, kEndpointKeyPathPrefix, nPrefix * sizeof(char16_t));
    std::memcpy(szPath + nPrefix, pszEndpointKey, nKey * sizeof(char16_t));
    std::memcpy(szPath + nPrefix + nKey, kEndpointKeyPathSuffix, (nSuffix + 1) * sizeof(char16_t));
    return true;
}

bool ReadEndpointFormat(const Platform& platform, const char16_t* pszEndpointKey, const OsVersionInfo& os,
                        std::uint32_t* pnRate, std::uint16_t* pnChannels, std::uint16_t* pnBits)
{
    if (!pnRate || !pnChannels || !pnBits)
        return false;
    char16_t szKeyPath[kSysMaxPath];
    if (!BuildEndpointKeyPath(pszEndpointKey, szKeyPath))
        return false;
    ValueBuffer data = {};
    RegistryValueRequest request;
    Prepare(request, szKeyPath, kDeviceFormatValueName, data, kRegistryValueBufferSize);
    if (!ReadRegistryValues(platform, &request, os, 1) || !IsFormatValue(data))
        return false;
    const std::uint8_t* pValue = data + kReadHeaderSize;
    *pnChannels = Get16(pValue + kChannelsOffset);
    *pnRate = Get32(pValue + kSamplesPerSecOffset);
    *pnBits = Get16(pValue + kBitsPerSampleOffset);
    return true;
}

bool WriteEndpointFormat(const Platform& platform, const char16_t* pszEndpointKey, std::uint32_t nRate,
                         const OsVersionInfo& os, std::uint16_t nChannels, std::uint16_t nBits)
{
    char16_t szKeyPath[kSysMaxPath];
    if (!BuildEndpointKeyPath(pszEndpointKey, szKeyPath))
        return false;
    ValueBuffer data[2] = {};
    RegistryValueRequest requests[2];
    Prepare(requests[0], szKeyPath, kDeviceFormatValueName, data[0], kRegistryValueBufferSize);
    Prepare(requests[1], szKeyPath, kSecondFormatValueName, data[1], kRegistryValueBufferSize);

    const bool bBoth = ReadRegistryValues(platform, requests, os, 2);
    if (!bBoth)
    {
        Prepare(requests[0], szKeyPath, kDeviceFormatValueName, data[0], kRegistryValueBufferSize);
        if (!ReadRegistryValues(platform, requests, os, 1))
            return false;
    }
    if (!IsFormatValue(data[0]) || (bBoth && !IsFormatValue(data[1])))
        return false;

    PatchForWrite(data[0], nRate, nChannels, nBits);
    Prepare(requests[0], szKeyPath, kDeviceFormatValueName, data[0], kFormatValueSize);
    if (bBoth)
    {
        PatchForWrite(data[1], nRate, nChannels, kSecondFormatBits);
        Prepare(requests[1], szKeyPath, kSecondFormatValueName, data[1], kFormatValueSize);
    }
    else
    {
        // Without value 1 both requests store value 0, patched once; value 1 is left alone.
        requests[1] = requests[0];
    }
    return WriteRegistryValues(platform, requests, os);
}
