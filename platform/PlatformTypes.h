#pragma once
// Types shared by the platform interfaces. Portable: no system header.

#include <cstddef>
#include <cstdint>
#include <cstring>

// A system handle. Windows answers "no handle" with null from some calls and with all bits
// set from others, so both count as absent wherever a handle is tested.
using SysHandle = void*;

inline SysHandle InvalidSysHandle()
{
    return reinterpret_cast<SysHandle>(~static_cast<std::uintptr_t>(0));
}

inline bool IsSysHandleValid(SysHandle h)
{
    return h != nullptr && h != InvalidSysHandle();
}

// The GUID record in its usual layout (16 bytes, little-endian fields).
struct SysGuid
{
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];
};
static_assert(sizeof(SysGuid) == 16, "GUID record must keep its system layout");

inline bool operator==(const SysGuid& a, const SysGuid& b)
{
    return std::memcmp(&a, &b, sizeof(SysGuid)) == 0;
}

inline bool operator!=(const SysGuid& a, const SysGuid& b)
{
    return !(a == b);
}

// Fixed text buffers for paths, names and endpoint ids, NUL included.
constexpr std::size_t kSysMaxPath = 260;

// System error codes the portable layers act on.
constexpr std::uint32_t kSysErrorInsufficientBuffer = 122;
