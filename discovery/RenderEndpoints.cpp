#include "discovery/RenderEndpoints.h"

#include <cstring>

namespace {

// The reader of one search, released and freed on every path.
class CReaderHolder
{
public:
    CReaderHolder(IAudioEndpoints& endpoints, IEndpointReader* pReader) : m_endpoints(endpoints), m_pReader(pReader)
    {
    }
    ~CReaderHolder()
    {
        if (!m_pReader)
            return;
        m_pReader->ReleaseAll();
        m_endpoints.DeleteEndpointReader(m_pReader);
    }
    CReaderHolder(const CReaderHolder&) = delete;
    CReaderHolder& operator=(const CReaderHolder&) = delete;

    IEndpointReader* operator->() const { return m_pReader; }
    IEndpointReader& operator*() const { return *m_pReader; }
    explicit operator bool() const { return m_pReader != nullptr; }

private:
    IAudioEndpoints& m_endpoints;
    IEndpointReader* m_pReader;
};

// Letters only: no locale may change other bytes.
void UpperCase(char* psz)
{
    for (; *psz; ++psz)
        if (*psz >= 'a' && *psz <= 'z')
            *psz = static_cast<char>(*psz - 'a' + 'A');
}

// The text of the kind, or the stand-in when it cannot be read.
void ReadText(IEndpointReader& reader, EndpointTextKind kind, std::uint32_t nIndex, char16_t (&szText)[kSysMaxPath])
{
    if (!reader.GetEndpointText(kind, nIndex, szText))
        CopyEndpointText(kEndpointTextUnavailable, szText);
}

} // namespace

bool FindRenderEndpoints(const Platform& platform, SysHandle hWnd, const char* pszPattern,
                         char16_t (*pszIds)[kSysMaxPath], char (*pszNames)[kSysMaxPath], std::int32_t* pnCount)
{
    if (!pszPattern || !pszIds || !pszNames || !pnCount)
        return false;
    *pnCount = 0;
    if (!platform.pAudioEndpoints || !platform.pTextConversion)
        return false;
    ITextConversion& text = *platform.pTextConversion;

    char szPattern[kSysMaxPath];
    const std::size_t nPattern = std::strlen(pszPattern);
    if (nPattern >= kSysMaxPath)
        return false;
    std::memcpy(szPattern, pszPattern, nPattern + 1);
    UpperCase(szPattern);

    CReaderHolder reader(*platform.pAudioEndpoints, platform.pAudioEndpoints->NewEndpointReader(hWnd));
    if (!reader || !reader->HasEnumerator())
        return false;
    reader->EnumRenderEndpoints();

    for (std::uint32_t i = 0; *pnCount < kMaxRenderEndpoints && i < reader->GetEndpointCount(); ++i)
    {
        char16_t szText[kSysMaxPath];
        ReadText(*reader, EndpointTextKind::InstancePath, i, szText);
        char szInstancePath[kSysMaxPath];
        if (text.WideToAnsi(szText, szInstancePath, kSysMaxPath) == 0)
            continue;
        UpperCase(szInstancePath);
        if (!std::strstr(szInstancePath, szPattern))
            continue;

        // An id that cannot be read whole is no id: a cut one would name another endpoint's key.
        char16_t szId[kSysMaxPath];
        if (!reader->GetEndpointId(i, szId))
            continue;
        char* pszName = pszNames[*pnCount];
        ReadText(*reader, EndpointTextKind::DeviceDescription, i, szText);
        if (text.WideToAnsi(szText, pszName, kSysMaxPath) == 0 &&
            text.WideToAnsi(kEndpointTextUnavailable, pszName, kSysMaxPath) == 0)
            pszName[0] = 0;
        CopyEndpointId(szId, pszIds[*pnCount]);
        ++*pnCount;
    }
    return *pnCount != 0;
}
