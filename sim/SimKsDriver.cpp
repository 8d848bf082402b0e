#include "sim/SimKsDriver.h"
#include "sim/SimErrors.h"

#include <cstring>

namespace {

bool IsWireBits(std::uint8_t nBits)
{
    return nBits == 16 || nBits == kDriverBits24;
}

} // namespace

void CSimKsDriver::StartStream(SimStream stream, std::uint8_t nBits, std::uint32_t nRate)
{
    const SimStoredFormat& stored = Stored(stream);
    SimStreamState& state = State(stream);
    state.bRunning = true;
    state.nBits = stored.bFixed ? stored.nBits : nBits;
    state.nRate = stored.bFixed ? stored.nRate : nRate;
}

int CSimKsDriver::Requests(std::uint32_t nId, std::uint32_t nFlags) const
{
    auto it = m_requests.find(std::make_pair(nId, nFlags));
    return it == m_requests.end() ? 0 : it->second;
}

int CSimKsDriver::AllRequests() const
{
    int nTotal = 0;
    for (const auto& entry : m_requests)
        nTotal += entry.second;
    return nTotal;
}

DeviceFormatBlock CSimKsDriver::FormatReply() const
{
    DeviceFormatBlock block = {};
    block.size = sizeof(block);
    block.playFlag = m_play.bFixed ? 1 : 0;
    block.recFlag = m_rec.bFixed ? 1 : 0;
    block.playBits = m_play.bFixed ? m_play.nBits : 0;
    block.recBits = m_rec.bFixed ? m_rec.nBits : 0;
    block.playRate = m_play.bFixed ? m_play.nRate : 0;
    block.recRate = m_rec.bFixed ? m_rec.nRate : 0;
    return block;
}

DeviceFormatBlock CSimKsDriver::StatusReply() const
{
    DeviceFormatBlock block = {};
    block.size = sizeof(block);
    block.playFlag = m_playState.bRunning ? 1 : 0;
    block.recFlag = m_recState.bRunning ? 1 : 0;
    block.playBits = m_play.bFixed ? m_play.nBits : 0;
    block.recBits = m_rec.bFixed ? m_rec.nBits : 0;
    block.playCurBits = m_playState.nBits;
    block.recCurBits = m_recState.nBits;
    block.playRate = m_playState.nRate;
    block.recRate = m_recState.nRate;
    return block;
}

// The driver speaks only 16 and 32 bits: a format in the panel's 24 is refused.
bool CSimKsDriver::TakeFormat(const DeviceFormatBlock& block)
{
    SimStoredFormat play = block.playFlag == 1 ? SimStoredFormat::Fixed(block.playBits, block.playRate)
                                               : SimStoredFormat::Automatic();
    SimStoredFormat rec = block.recFlag == 1 ? SimStoredFormat::Fixed(block.recBits, block.recRate)
                                             : SimStoredFormat::Automatic();
    if ((play.bFixed && !IsWireBits(play.nBits)) || (rec.bFixed && !IsWireBits(rec.nBits)))
        return false;
    m_play = play;
    m_rec = rec;
    return true;
}

bool CSimKsDriver::HandleProperty(const void* pIn, std::uint32_t nInSize, void* pOut, std::uint32_t nOutSize,
                                  std::uint32_t* pnReturned, std::uint32_t* pnError)
{
    if (pnReturned)
        *pnReturned = 0;
    KsPropertyRequest request = {};
    if (!pIn || nInSize < sizeof(request))
    {
        ++m_requests[std::make_pair(0u, 0u)];
        *pnError = kErrorInvalidParameter;
        return false;
    }
    std::memcpy(&request, pIn, sizeof(request));
    const bool bKnown = request.set == kFormatPropertySet &&
                        ((request.id == kPropertyIdFormat &&
                          (request.flags == kKsPropertyTypeGet || request.flags == kKsPropertyTypeSet)) ||
                         (request.id == kPropertyIdStreamStatus && request.flags == kKsPropertyTypeGet));
    if (!bKnown)
    {
        ++m_requests[std::make_pair(0u, 0u)];
        *pnError = kErrorNotFound;
        return false;
    }
    ++m_requests[std::make_pair(request.id, request.flags)];
    if (!pOut || nOutSize < sizeof(DeviceFormatBlock))
    {
        *pnError = kSysErrorInsufficientBuffer;
        return false;
    }
    std::memcpy(&m_lastReceived, pOut, sizeof(m_lastReceived));
    if (m_bRequestsFail)
    {
        *pnError = kErrorGenFailure;
        return false;
    }

    DeviceFormatBlock reply = {};
    if (request.id == kPropertyIdStreamStatus)
        reply = StatusReply();
    else if (request.flags == kKsPropertyTypeGet)
        reply = FormatReply();
    else if (!TakeFormat(m_lastReceived))
    {
        *pnError = kErrorInvalidParameter;
        return false;
    }
    else
        reply = m_lastReceived;

    const std::uint32_t nBytes = m_nReplyBytes < sizeof(reply) ? m_nReplyBytes : sizeof(reply);
    std::memcpy(pOut, &reply, nBytes);
    if (pnReturned)
        *pnReturned = nBytes;
    return true;
}
