#pragma once
// The Kestrin helper driver as the simulated machine runs it behind "\\.\DKestrin": it reads
// and writes values of the machine registry for whoever sends it a request record.

#include "device/HelperDriver.h"
#include "sim/SimRegistry.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr std::uint32_t kSimKestrinWrite = 0x9C402540;
constexpr std::uint32_t kSimKestrinRead = 0x9C402544;

// A request as the driver received it.
struct SimKestrinRequest
{
    std::uint32_t nCode = 0;
    std::u16string keyPath;
    std::u16string valueName;
    std::uint32_t nType = 0;
    std::uint32_t nDataLength = 0;
    bool bOk = false;
};

class CSimKestrinDriver
{
public:
    explicit CSimKestrinDriver(CSimRegistry& registry) : m_registry(registry) {}

    // Requests with this code fail, for the named value only or (empty name) for every value.
    void FailRequests(std::uint32_t nCode, const std::u16string& valueName = u"");
    const std::vector<SimKestrinRequest>& Requests() const { return m_requests; }

    // The I/O control on the device: false with a system error code in *pnError on failure.
    // A read puts the kernel's partial value information header (title index, type, data
    // length) before the value's bytes.
    bool HandleRequest(std::uint32_t nCode, const void* pIn, std::uint32_t nInSize, void* pOut, std::uint32_t nOutSize,
                       std::uint32_t* pnReturned, std::uint32_t* pnError);

private:
    bool Fails(std::uint32_t nCode, const std::u16string& valueName) const;

    CSimRegistry& m_registry;
    std::vector<std::pair<std::uint32_t, std::u16string>> m_failures;
    std::vector<SimKestrinRequest> m_requests;
};
