#include "discovery/DevicePath.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr std::uint16_t kIdNotFound = 0x00FF;

// The four characters after the first occurrence of the marker, as a hexadecimal number.
void ReadId(const char* pszName, const char* pszMarker, std::uint16_t* pnId)
{
    const char* pMarker = std::strstr(pszName, pszMarker);
    if (!pMarker)
        return;
    const char* pDigits = pMarker + std::strlen(pszMarker);
    if (std::strlen(pDigits) < 4)
        return;
    char szDigits[16] = {};
    std::memcpy(szDigits, pDigits, 4);
    *pnId = static_cast<std::uint16_t>(std::strtoul(szDigits, nullptr, 16) & 0xFFFF);
}

} // namespace

void ParseUsbDeviceIds(char* pszName, std::uint16_t* pnVendorId, std::uint16_t* pnProductId)
{
    if (!pnVendorId || !pnProductId)
        return;
    *pnVendorId = kIdNotFound;
    *pnProductId = kIdNotFound;
    if (!pszName)
        return;

    // Letters only: no locale may change other bytes of the path.
    for (char* p = pszName; *p; ++p)
        if (*p >= 'a' && *p <= 'z')
            *p = static_cast<char>(*p - 'a' + 'A');

    if (!std::strstr(pszName, "VID_"))
        return;
    ReadId(pszName, "VID_", pnVendorId);
    ReadId(pszName, "PID_", pnProductId);
}
