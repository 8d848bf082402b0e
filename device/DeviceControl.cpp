#include "device/DeviceControl.h"

#include "device/EndpointFormat.h"
#include "discovery/DevicePath.h"
#include "discovery/RenderEndpoints.h"
#include "discovery/TopologyDiscovery.h"

#include <cstdio>
#include <new>

CDeviceControl::CDeviceControl(const Platform& platform) : m_platform(platform)
{
    for (int i = 0; i < kMaxEndpoints; ++i)
    {
        m_szRenderId[i][0] = 0;
        m_szCaptureId[i][0] = 0;
        m_szRenderName[i][0] = 0;
        m_szCaptureName[i][0] = 0;
    }

    m_pOsInfo.reset(new (std::nothrow) OsVersionInfo());
    if (!m_pOsInfo || !m_platform.pSystemInfo)
        return;
    m_bPlatformKnown = DetectPlatform(*m_platform.pSystemInfo, m_pOsInfo.get());
    if (m_bPlatformKnown && IsWindows6() && m_platform.pDebugOutput)
        ReportElevation(*m_platform.pSystemInfo, *m_platform.pDebugOutput);
}

CDeviceControl::~CDeviceControl()
{
    Close();
}

bool CDeviceControl::IsWindows6() const
{
    return m_pOsInfo && m_pOsInfo->osKind != kOsNotDetermined && m_pOsInfo->ntMajorVersion == 6;
}

bool CDeviceControl::FindEndpoints(SysHandle hMainWnd)
{
    char szPattern[kSysMaxPath];
    std::snprintf(szPattern, sizeof(szPattern), "VID_%04X&PID_%04X&MI_%02X", kDeviceUsbVendorId, kDeviceUsbProductId,
                  kDeviceAudioInterface);
    if (!FindRenderEndpoints(m_platform, hMainWnd, szPattern, m_szRenderId, m_szRenderName, &m_nRenderCount) ||
        m_nRenderCount != 1)
        return false;
    for (int i = 0; i < m_nRenderCount; ++i)
        if (m_szRenderId[i][0] == 0)
            return false;
    for (int i = 0; i < m_nCaptureCount; ++i)
        if (m_szCaptureId[i][0] == 0)
            return false;
    return true;
}

bool CDeviceControl::Open(SysHandle hMainWnd)
{
    if (m_bOpen)
        return true;
    if (!m_pOsInfo || !m_platform.pFileIo || !m_platform.pSetupApi)
        return false;

    const bool bWindows6 = IsWindows6();
    if (bWindows6 && !FindEndpoints(hMainWnd))
    {
        Close();
        return false;
    }

    char szPath[kSysMaxPath];
    if (FindTopologyDevicePath(*m_platform.pSetupApi, szPath))
    {
        m_hFilter = m_platform.pFileIo->CreateFileA(szPath, kSysGenericRead, kSysFileShareRead | kSysFileShareWrite,
                                                    kSysOpenExisting, 0);
        if (IsSysHandleValid(m_hFilter))
        {
            m_bOpen = true;
            return true;
        }
    }

    // The endpoint path works without the filter.
    if (bWindows6)
    {
        m_bOpen = true;
        return true;
    }
    Close();
    return false;
}

void CDeviceControl::Close()
{
    if (IsWindows6())
    {
        m_nRenderCount = 0;
        m_nCaptureCount = 0;
        for (int i = 0; i < kMaxEndpoints; ++i)
        {
            m_szRenderId[i][0] = 0;
            m_szCaptureId[i][0] = 0;
            m_szRenderName[i][0] = 0;
            m_szCaptureName[i][0] = 0;
        }
    }
    if (IsSysHandleValid(m_hFilter))
        m_platform.pFileIo->CloseHandle(m_hFilter);
    m_hFilter = InvalidSysHandle();
    m_bOpen = false;
}

bool CDeviceControl::SendFormatProperty(std::uint32_t nId, std::uint32_t nFlags, DeviceFormatBlock* pBlock)
{
    KsPropertyRequest request = {kFormatPropertySet, nId, nFlags};
    std::uint32_t nReturned = 0;
    const bool bOk = m_platform.pFileIo->DeviceIoControl(m_hFilter, kIoctlKsProperty, &request, sizeof(request),
                                                          pBlock, sizeof(*pBlock), &nReturned);
    // A short reply is no format, whatever the call says.
    return nReturned >= sizeof(*pBlock) && bOk;
}

bool CDeviceControl::ExchangeFormat(bool bGet, DeviceFormatBlock* pBlock)
{
    if (!m_pOsInfo || !pBlock)
        return false;
    if (IsWindows6())
        return ExchangeEndpointFormat(bGet, pBlock);

    if (!IsSysHandleValid(m_hFilter))
        return false;
    if (pBlock->playBits == kPanelBits24)
        pBlock->playBits = kDriverBits24;
    if (pBlock->recBits == kPanelBits24)
        pBlock->recBits = kDriverBits24;
    return SendFormatProperty(kPropertyIdFormat, bGet ? kKsPropertyTypeGet : kKsPropertyTypeSet, pBlock);
}

const char16_t* CDeviceControl::EndpointKey(int nIndex) const
{
    // An id too short to carry a key would leave the key to stale buffer bytes.
    const char16_t* pszId = m_szRenderId[nIndex];
    for (int i = 0; i < kEndpointIdKeyOffset; ++i)
        if (pszId[i] == 0)
            return nullptr;
    return pszId + kEndpointIdKeyOffset;
}

bool CDeviceControl::ExchangeEndpointFormat(bool bGet, DeviceFormatBlock* pBlock)
{
    if (m_nRenderCount < 1)
        return false;
    const int nCount = m_nRenderCount < kMaxEndpoints ? m_nRenderCount : kMaxEndpoints;

    if (!bGet)
    {
        const std::uint16_t nBits = pBlock->playBits == kDriverBits24 ? kPanelBits24 : pBlock->playBits;
        for (int i = 0; i < nCount; ++i)
            if (!WriteEndpointFormat(m_platform, EndpointKey(i), pBlock->playRate, *m_pOsInfo, kEndpointChannels,
                                     nBits))
                return false;
        return true;
    }

    pBlock->size = sizeof(*pBlock);
    pBlock->playFlag = 1;
    pBlock->recFlag = 1;
    std::uint32_t nRate = 0;
    std::uint16_t nChannels = 0;
    std::uint16_t nBits = 0;
    for (int i = 0; i < nCount; ++i)
    {
        if (!ReadEndpointFormat(m_platform, EndpointKey(i), *m_pOsInfo, &nRate, &nChannels, &nBits))
            return false;
        if (nRate != pBlock->playRate || static_cast<std::uint8_t>(nBits) != pBlock->playBits)
            break;
    }
    pBlock->playRate = nRate;
    pBlock->playBits = static_cast<std::uint8_t>(nBits);
    pBlock->playFlag = 1;
    if (pBlock->playBits == kDriverBits24)
        pBlock->playBits = kPanelBits24;
    return true;
}

bool CDeviceControl::GetStreamStatus(DeviceFormatBlock* pBlock)
{
    if (!pBlock || !IsSysHandleValid(m_hFilter) || !m_platform.pFileIo)
        return false;
    if (!SendFormatProperty(kPropertyIdStreamStatus, kKsPropertyTypeGet, pBlock))
        return false;
    if (pBlock->playCurBits == kDriverBits24)
        pBlock->playCurBits = kPanelBits24;
    if (pBlock->recCurBits == kDriverBits24)
        pBlock->recCurBits = kPanelBits24;
    return true;
}
