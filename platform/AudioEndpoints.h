#pragma once
// The audio endpoint interfaces (Windows Vista and later) as one short-lived reader: the
// device enumerator, the collection of active render endpoints, and for each endpoint its id
// and the texts of its property store.

#include "platform/PlatformTypes.h"

// PROPERTYKEY: format id and property id.
struct SysPropertyKey
{
    SysGuid fmtid;
    std::uint32_t pid;
};

// {BCDE0395-E52F-467C-8E3D-C4579291692E}
constexpr SysGuid kSysClsidMMDeviceEnumerator = {
    0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};
// {A95664D2-9614-4F35-A746-DE8DB63617E6}
constexpr SysGuid kSysIidIMMDeviceEnumerator = {
    0xA95664D2, 0x9614, 0x4F35, {0xA7, 0x46, 0xDE, 0x8D, 0xB6, 0x36, 0x17, 0xE6}};
// PKEY_Device_DeviceDesc
constexpr SysPropertyKey kSysPkeyDeviceDesc = {
    {0xA45C254E, 0xDF1C, 0x4EFD, {0x80, 0x20, 0x67, 0xD1, 0x46, 0xA8, 0x50, 0xE0}}, 2};
// The endpoint's device-instance-path property.
constexpr SysPropertyKey kSysPkeyEndpointInstancePath = {
    {0xB3F8FA53, 0x0004, 0x438E, {0x90, 0x03, 0x51, 0xA4, 0x6E, 0x13, 0x9B, 0xFC}}, 2};

enum class EndpointTextKind
{
    DeviceDescription,
    InstancePath
};

inline const SysPropertyKey& EndpointTextKey(EndpointTextKind kind)
{
    return kind == EndpointTextKind::DeviceDescription ? kSysPkeyDeviceDesc : kSysPkeyEndpointInstancePath;
}

// A text of the property store, cut to what the buffer holds.
inline void CopyEndpointText(const char16_t* pszText, char16_t (&szOut)[kSysMaxPath])
{
    std::size_t n = 0;
    for (; n + 1 < kSysMaxPath && pszText[n]; ++n)
        szOut[n] = pszText[n];
    szOut[n] = 0;
}

// An endpoint id is never cut: a shorter id names another endpoint. False when it does not fit.
inline bool CopyEndpointId(const char16_t* pszId, char16_t (&szOut)[kSysMaxPath])
{
    std::size_t n = 0;
    while (pszId[n])
        if (++n >= kSysMaxPath)
            return false;
    std::memcpy(szOut, pszId, (n + 1) * sizeof(char16_t));
    return true;
}

// One reader lives for one search. Every reference it takes is released by ReleaseAll.
class IEndpointReader
{
public:
    // False when the device enumerator could not be created.
    virtual bool HasEnumerator() = 0;
    // EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE); replaces the collection held, which is
    // none after a failure.
    virtual void EnumRenderEndpoints() = 0;
    // 0 without a collection.
    virtual std::uint32_t GetEndpointCount() = 0;
    // The endpoint's id; false when the endpoint or its id cannot be obtained or the id does
    // not fit (260 units or more). szId is written only on success.
    virtual bool GetEndpointId(std::uint32_t nIndex, char16_t (&szId)[kSysMaxPath]) = 0;
    // The wide-string value of the property, cut to 259 units; false when the endpoint, its
    // store or a wide-string value cannot be obtained. szText is written only on success.
    virtual bool GetEndpointText(EndpointTextKind kind, std::uint32_t nIndex, char16_t (&szText)[kSysMaxPath]) = 0;
    virtual void ReleaseAll() = 0;

protected:
    ~IEndpointReader() = default;
};

class IAudioEndpoints
{
public:
    // Initialises COM on the calling thread (multithreaded apartment; the result is not
    // examined) and creates the enumerator. Null when the reader cannot be allocated.
    virtual IEndpointReader* NewEndpointReader(SysHandle hNotifyWnd) = 0;
    virtual void DeleteEndpointReader(IEndpointReader* pReader) = 0;

protected:
    ~IAudioEndpoints() = default;
};
