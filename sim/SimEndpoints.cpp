// The audio endpoints of the simulated machine behind the endpoint reader. Each reference the
// reader holds (enumerator, collection, and an endpoint or store while it is asked) counts as
// a COM reference of the machine.

#include "sim/SimMachine.h"

#include <new>

namespace {

// An endpoint's key path from its id, spelled out here as the audio engine keeps it.
std::u16string PropertiesKey(const SimEndpoint& endpoint)
{
    const std::u16string branch = endpoint.flow == SimFlow::Render ? u"Render" : u"Capture";
    const std::u16string key = endpoint.id.size() > 17 ? endpoint.id.substr(17) : std::u16string();
    return u"\\Registry\\Machine\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\MMDevices\\Audio\\" + branch + u"\\" +
           key + u"\\Properties";
}

} // namespace

class CSimEndpointReader final : public IEndpointReader
{
public:
    explicit CSimEndpointReader(CSimMachine& sim) : m_sim(sim)
    {
        m_sim.Count(SimCall::CoInitializeEx);
        m_sim.Count(SimCall::CoCreateInstance);
        if (m_sim.Injected(SimCall::CoCreateInstance))
            return;
        m_bEnumerator = true;
        ++m_sim.m_nComReferences;
    }

    bool HasEnumerator() override { return m_bEnumerator; }

    void EnumRenderEndpoints() override
    {
        DropCollection();
        if (!m_bEnumerator)
            return;
        m_sim.Count(SimCall::EnumAudioEndpoints);
        if (m_sim.Injected(SimCall::EnumAudioEndpoints))
            return;
        for (std::size_t i = 0; i < m_sim.m_endpoints.size(); ++i)
        {
            const SimEndpoint& endpoint = m_sim.m_endpoints[i];
            if (endpoint.flow == SimFlow::Render && (endpoint.nState & kSimEndpointActive))
                m_collection.push_back(i);
        }
        m_bCollection = true;
        ++m_sim.m_nComReferences;
    }

    std::uint32_t GetEndpointCount() override
    {
        if (!m_bCollection)
            return 0;
        m_sim.Count(SimCall::GetCount);
        return static_cast<std::uint32_t>(m_collection.size());
    }

    bool GetEndpointId(std::uint32_t nIndex, char16_t (&szId)[kSysMaxPath]) override
    {
        const SimEndpoint* pEndpoint = Item(nIndex);
        if (!pEndpoint)
            return false;
        m_sim.Count(SimCall::GetId);
        const bool bOk = !m_sim.Injected(SimCall::GetId) && CopyEndpointId(pEndpoint->id.c_str(), szId);
        Release();
        return bOk;
    }

    bool GetEndpointText(EndpointTextKind kind, std::uint32_t nIndex, char16_t (&szText)[kSysMaxPath]) override
    {
        const SimEndpoint* pEndpoint = Item(nIndex);
        if (!pEndpoint)
            return false;
        m_sim.Count(SimCall::OpenPropertyStore);
        bool bOk = false;
        if (!m_sim.Injected(SimCall::OpenPropertyStore))
        {
            ++m_sim.m_nComReferences;
            m_sim.Count(SimCall::GetValue);
            const std::optional<std::u16string>& text =
                kind == EndpointTextKind::DeviceDescription ? pEndpoint->description : pEndpoint->instancePath;
            bOk = !m_sim.Injected(SimCall::GetValue) && text.has_value();
            if (bOk)
                CopyEndpointText(text->c_str(), szText);
            Release();
        }
        Release();
        return bOk;
    }

    void ReleaseAll() override
    {
        m_sim.Count(SimCall::ReleaseAll);
        DropCollection();
        if (m_bEnumerator)
            Release();
        m_bEnumerator = false;
    }

private:
    // Takes the endpoint out of the collection: one more reference until Release.
    const SimEndpoint* Item(std::uint32_t nIndex)
    {
        if (!m_bCollection)
            return nullptr;
        m_sim.Count(SimCall::Item);
        if (m_sim.Injected(SimCall::Item) || nIndex >= m_collection.size())
            return nullptr;
        SimEndpoint& endpoint = m_sim.m_endpoints[m_collection[nIndex]];
        ++endpoint.nLookups;
        ++m_sim.m_nComReferences;
        return &endpoint;
    }

    void Release() { --m_sim.m_nComReferences; }

    void DropCollection()
    {
        if (m_bCollection)
            Release();
        m_bCollection = false;
        m_collection.clear();
    }

    CSimMachine& m_sim;
    bool m_bEnumerator = false;
    bool m_bCollection = false;
    std::vector<std::size_t> m_collection;
};

SimEndpoint& CSimMachine::AddEndpoint(const std::u16string& id, SimFlow flow, std::uint32_t nState,
                                      const std::u16string& instancePath, const std::u16string& description)
{
    m_endpoints.emplace_back();
    SimEndpoint& endpoint = m_endpoints.back();
    endpoint.id = id;
    endpoint.flow = flow;
    endpoint.nState = nState;
    endpoint.instancePath = instancePath;
    endpoint.description = description;
    m_registry.AddKey(PropertiesKey(endpoint));
    return endpoint;
}

std::u16string CSimMachine::EndpointPropertiesKey(const SimEndpoint& endpoint)
{
    return PropertiesKey(endpoint);
}

IEndpointReader* CSimMachine::NewEndpointReader(SysHandle /*hNotifyWnd*/)
{
    Count(SimCall::NewEndpointReader);
    if (Injected(SimCall::NewEndpointReader))
        return nullptr;
    CSimEndpointReader* pReader = new (std::nothrow) CSimEndpointReader(*this);
    if (pReader)
        m_readers.insert(pReader);
    return pReader;
}

void CSimMachine::DeleteEndpointReader(IEndpointReader* pReader)
{
    Count(SimCall::DeleteEndpointReader);
    if (!pReader || m_readers.erase(pReader) == 0)
    {
        ++m_nBadReleases;
        return;
    }
    delete static_cast<CSimEndpointReader*>(pReader);
}
