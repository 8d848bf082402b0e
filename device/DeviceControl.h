#pragma once
// The device session: the one object through which the panel reaches the device.

#include "device/FormatProperty.h"
#include "device/PlatformDetection.h"
#include "platform/Platform.h"

#include <cstdint>
#include <memory>

constexpr int kMaxEndpoints = 4;
// An endpoint id is "{0.0.0.00000000}." and the endpoint's key in the audio endpoint registry.
constexpr int kEndpointIdKeyOffset = 17;
// The endpoint format is always written for stereo.
constexpr std::uint16_t kEndpointChannels = 2;

class CDeviceControl
{
public:
    // Detects the platform at once; the platform bundle must outlive the session.
    explicit CDeviceControl(const Platform& platform);
    ~CDeviceControl();
    CDeviceControl(const CDeviceControl&) = delete;
    CDeviceControl& operator=(const CDeviceControl&) = delete;

    // hMainWnd is handed on to endpoint discovery only. Returns at once when already open.
    bool Open(SysHandle hMainWnd);
    void Close();

    bool IsOpen() const { return m_bOpen; }
    bool IsPlatformKnown() const { return m_bPlatformKnown; }
    // NT 6.0 and 6.1 only: later versions take the topology-filter path.
    bool IsWindows6() const;
    // Null when the record could not be allocated.
    const OsVersionInfo* GetOsInfo() const { return m_pOsInfo.get(); }
    // The render endpoint list that Open found on Windows 6.x.
    int GetRenderCount() const { return m_nRenderCount; }
    const char16_t* GetRenderId(int nIndex) const { return m_szRenderId[nIndex]; }
    const char* GetRenderName(int nIndex) const { return m_szRenderName[nIndex]; }

    // GET (bGet true) or SET of the stored format.
    bool ExchangeFormat(bool bGet, DeviceFormatBlock* pBlock);
    bool GetStreamStatus(DeviceFormatBlock* pBlock);

private:
    bool FindEndpoints(SysHandle hMainWnd);
    bool SendFormatProperty(std::uint32_t nId, std::uint32_t nFlags, DeviceFormatBlock* pBlock);
    bool ExchangeEndpointFormat(bool bGet, DeviceFormatBlock* pBlock);
    // The endpoint's key: its id from the 18th unit on; null when the id is shorter.
    const char16_t* EndpointKey(int nIndex) const;

    Platform m_platform;
    std::unique_ptr<OsVersionInfo> m_pOsInfo;
    bool m_bPlatformKnown = false;
    SysHandle m_hFilter = InvalidSysHandle();
    bool m_bOpen = false;
    std::int32_t m_nRenderCount = 0;
    std::int32_t m_nCaptureCount = 0;
    char16_t m_szRenderId[kMaxEndpoints][kSysMaxPath];
    char16_t m_szCaptureId[kMaxEndpoints][kSysMaxPath];
    char m_szRenderName[kMaxEndpoints][kSysMaxPath];
    char m_szCaptureName[kMaxEndpoints][kSysMaxPath];
};
