// CEndpointReader: the Core Audio device enumerator, its collection of active render
// endpoints, and each endpoint's id and property store. Every reference, string and property
// value lives in a holder and is given back on every path; the holders keep count.

#include "platform/win32/Win32EndpointReader.h"

#include <windows.h>
#include <objbase.h>
#include <mmdeviceapi.h>
#include <propidl.h>
#include <propsys.h>

#include <new>

namespace {

static_assert(sizeof(SysGuid) == sizeof(GUID), "GUID layout");
static_assert(sizeof(SysPropertyKey) == sizeof(PROPERTYKEY), "PROPERTYKEY layout");
static_assert(CLSCTX_ALL == 0x17, "class context");

struct Accounting
{
    int nReferences = 0;
    int nTexts = 0;
    int nValues = 0;
    int nReferencesTaken = 0;
};

Accounting g_accounting;

const GUID& AsGuid(const SysGuid& guid)
{
    return reinterpret_cast<const GUID&>(guid);
}

const PROPERTYKEY& AsPropertyKey(const SysPropertyKey& key)
{
    return reinterpret_cast<const PROPERTYKEY&>(key);
}

// An owned COM reference. Out() serves as the out parameter of a call that hands one out;
// Keep() then takes what the call returned into account.
template <typename T>
class CComRef
{
public:
    CComRef() = default;
    ~CComRef() { Reset(); }
    CComRef(const CComRef&) = delete;
    CComRef& operator=(const CComRef&) = delete;

    T** Out()
    {
        Reset();
        return &m_p;
    }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }
    bool Keep(HRESULT hr)
    {
        // A failed call hands out nothing, whatever it left in the out parameter.
        if (FAILED(hr))
            m_p = nullptr;
        if (m_p)
        {
            ++g_accounting.nReferences;
            ++g_accounting.nReferencesTaken;
        }
        return m_p != nullptr;
    }
    void Reset()
    {
        if (!m_p)
            return;
        m_p->Release();
        m_p = nullptr;
        --g_accounting.nReferences;
    }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};

// A string the callee allocated with CoTaskMemAlloc.
class CTaskMemText
{
public:
    CTaskMemText() = default;
    ~CTaskMemText()
    {
        if (!m_psz)
            return;
        ::CoTaskMemFree(m_psz);
        --g_accounting.nTexts;
    }
    CTaskMemText(const CTaskMemText&) = delete;
    CTaskMemText& operator=(const CTaskMemText&) = delete;

    LPWSTR* Out() { return &m_psz; }
    bool Keep(HRESULT hr)
    {
        if (FAILED(hr))
            m_psz = nullptr;
        if (m_psz)
            ++g_accounting.nTexts;
        return m_psz != nullptr;
    }
    const char16_t* Get() const { return reinterpret_cast<const char16_t*>(m_psz); }

private:
    LPWSTR m_psz = nullptr;
};

// A property value, cleared with PropVariantClear.
class CPropValue
{
public:
    CPropValue() { PropVariantInit(&m_value); }
    ~CPropValue()
    {
        ::PropVariantClear(&m_value);
        if (m_bHeld)
            --g_accounting.nValues;
    }
    CPropValue(const CPropValue&) = delete;
    CPropValue& operator=(const CPropValue&) = delete;

    PROPVARIANT* Out() { return &m_value; }
    bool Keep(HRESULT hr)
    {
        m_bHeld = SUCCEEDED(hr);
        if (m_bHeld)
            ++g_accounting.nValues;
        return m_bHeld;
    }
    // Null unless the value is a wide string.
    const char16_t* WideString() const
    {
        return m_value.vt == VT_LPWSTR ? reinterpret_cast<const char16_t*>(m_value.pwszVal) : nullptr;
    }

private:
    PROPVARIANT m_value;
    bool m_bHeld = false;
};

static_assert(sizeof(char16_t) == sizeof(WCHAR), "UTF-16 text passes as WCHAR");

class CEndpointReader final : public IEndpointReader
{
public:
    explicit CEndpointReader(HWND hNotifyWnd) : m_hNotifyWnd(hNotifyWnd)
    {
        // A thread that already lives in another apartment refuses; the search goes on anyway.
        ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        // Windows XP has no such class: the call fails there and the reader holds nothing.
        m_pEnumerator.Keep(::CoCreateInstance(AsGuid(kSysClsidMMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                              AsGuid(kSysIidIMMDeviceEnumerator), m_pEnumerator.OutVoid()));
    }
    ~CEndpointReader() { ReleaseAll(); }
    CEndpointReader(const CEndpointReader&) = delete;
    CEndpointReader& operator=(const CEndpointReader&) = delete;

    bool HasEnumerator() override { return static_cast<bool>(m_pEnumerator); }

    void EnumRenderEndpoints() override
    {
        m_pCollection.Reset();
        if (m_pEnumerator)
            m_pCollection.Keep(m_pEnumerator->EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE, m_pCollection.Out()));
    }

    std::uint32_t GetEndpointCount() override
    {
        UINT nCount = 0;
        if (!m_pCollection || FAILED(m_pCollection->GetCount(&nCount)))
            return 0;
        return nCount;
    }

    bool GetEndpointId(std::uint32_t nIndex, char16_t (&szId)[kSysMaxPath]) override
    {
        CComRef<IMMDevice> pEndpoint;
        if (!m_pCollection || !pEndpoint.Keep(m_pCollection->Item(nIndex, pEndpoint.Out())))
            return false;
        CTaskMemText id;
        if (!id.Keep(pEndpoint->GetId(id.Out())))
            return false;
        return CopyEndpointId(id.Get(), szId);
    }

    bool GetEndpointText(EndpointTextKind kind, std::uint32_t nIndex, char16_t (&szText)[kSysMaxPath]) override
    {
        CComRef<IMMDevice> pEndpoint;
        if (!m_pCollection || !pEndpoint.Keep(m_pCollection->Item(nIndex, pEndpoint.Out())))
            return false;
        CComRef<IPropertyStore> pStore;
        if (!pStore.Keep(pEndpoint->OpenPropertyStore(STGM_READ, pStore.Out())))
            return false;
        CPropValue value;
        if (!value.Keep(pStore->GetValue(AsPropertyKey(EndpointTextKey(kind)), value.Out())) || !value.WideString())
            return false;
        CopyEndpointText(value.WideString(), szText);
        return true;
    }

    void ReleaseAll() override
    {
        m_pCollection.Reset();
        m_pEnumerator.Reset();
    }

private:
    HWND m_hNotifyWnd;
    CComRef<IMMDeviceEnumerator> m_pEnumerator;
    CComRef<IMMDeviceCollection> m_pCollection;
};

class CWin32AudioEndpoints : public IAudioEndpoints
{
public:
    IEndpointReader* NewEndpointReader(SysHandle hNotifyWnd) override
    {
        return new (std::nothrow) CEndpointReader(static_cast<HWND>(hNotifyWnd));
    }

    void DeleteEndpointReader(IEndpointReader* pReader) override { delete static_cast<CEndpointReader*>(pReader); }
};

std::string Plural(int n, const char* pszWhat)
{
    return std::to_string(n) + " " + pszWhat + (n == 1 ? "" : "s");
}

} // namespace

IAudioEndpoints& GetWin32AudioEndpoints()
{
    static CWin32AudioEndpoints s_endpoints;
    return s_endpoints;
}

std::string Win32EndpointLeftovers()
{
    std::string text;
    auto add = [&text](int n, const char* pszWhat) {
        if (n != 0)
            text += (text.empty() ? "" : ", ") + Plural(n, pszWhat) + " held";
    };
    add(g_accounting.nReferences, "COM reference");
    add(g_accounting.nTexts, "CoTaskMem string");
    add(g_accounting.nValues, "property value");
    return text;
}

int Win32EndpointReferencesTaken()
{
    return g_accounting.nReferencesTaken;
}
