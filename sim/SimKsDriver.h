#pragma once
// The device's own kernel audio driver as the simulated machine runs it behind the topology
// filter: it answers the private property set with a stored format and two streams.

#include "device/FormatProperty.h"

#include <cstdint>
#include <map>
#include <utility>

// A stored format per stream, in the driver's terms: 16 or 32 bits on the wire.
struct SimStoredFormat
{
    bool bFixed = false;
    std::uint8_t nBits = 0;
    std::uint32_t nRate = 0;

    static SimStoredFormat Automatic() { return SimStoredFormat(); }
    static SimStoredFormat Fixed(std::uint8_t nBits, std::uint32_t nRate)
    {
        SimStoredFormat format;
        format.bFixed = true;
        format.nBits = nBits;
        format.nRate = nRate;
        return format;
    }
};

struct SimStreamState
{
    bool bRunning = false;
    std::uint8_t nBits = 0;
    std::uint32_t nRate = 0;
};

enum class SimStream
{
    Play,
    Record
};

class CSimKsDriver
{
public:
    void SetStoredFormat(SimStream stream, const SimStoredFormat& format) { Stored(stream) = format; }
    const SimStoredFormat& GetStoredFormat(SimStream stream) const
    {
        return stream == SimStream::Play ? m_play : m_rec;
    }
    // A player starts the stream: it runs at the stored fixed format, or at the one asked for
    // when the stored format is automatic. A format stored later waits for the next start.
    void StartStream(SimStream stream, std::uint8_t nBits, std::uint32_t nRate);
    void StopStream(SimStream stream) { State(stream) = SimStreamState(); }
    const SimStreamState& GetStreamState(SimStream stream) const
    {
        return stream == SimStream::Play ? m_playState : m_recState;
    }

    // Faults: every request fails, or succeeds reporting fewer bytes than the record.
    void SetRequestsFail(bool bFail) { m_bRequestsFail = bFail; }
    void SetReplyBytes(std::uint32_t nBytes) { m_nReplyBytes = nBytes; }

    // Requests received by property id and flags (malformed ones count under id 0, flags 0).
    int Requests(std::uint32_t nId, std::uint32_t nFlags) const;
    int AllRequests() const;
    // The caller's record as it arrived with the last request, before any reply.
    const DeviceFormatBlock& LastRecordReceived() const { return m_lastReceived; }

    // IOCTL_KS_PROPERTY on the filter: false with a system error code in *pnError on failure.
    bool HandleProperty(const void* pIn, std::uint32_t nInSize, void* pOut, std::uint32_t nOutSize,
                        std::uint32_t* pnReturned, std::uint32_t* pnError);

private:
    SimStoredFormat& Stored(SimStream stream) { return stream == SimStream::Play ? m_play : m_rec; }
    SimStreamState& State(SimStream stream) { return stream == SimStream::Play ? m_playState : m_recState; }
    DeviceFormatBlock FormatReply() const;
    DeviceFormatBlock StatusReply() const;
    bool TakeFormat(const DeviceFormatBlock& block);

    SimStoredFormat m_play;
    SimStoredFormat m_rec;
    SimStreamState m_playState;
    SimStreamState m_recState;
    bool m_bRequestsFail = false;
    std::uint32_t m_nReplyBytes = sizeof(DeviceFormatBlock);
    std::map<std::pair<std::uint32_t, std::uint32_t>, int> m_requests;
    DeviceFormatBlock m_lastReceived = {};
};
