#pragma once
// The Windows error codes the simulated machine answers with (GetLastError), besides
// kSysErrorInsufficientBuffer, which the portable layers act on.

#include <cstdint>

constexpr std::uint32_t kErrorInvalidFunction = 1;
constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorPathNotFound = 3;
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorInvalidData = 13;
constexpr std::uint32_t kErrorGenFailure = 31;
constexpr std::uint32_t kErrorFileExists = 80;
constexpr std::uint32_t kErrorInvalidParameter = 87;
constexpr std::uint32_t kErrorBadExeFormat = 193;
constexpr std::uint32_t kErrorMoreData = 234;
constexpr std::uint32_t kErrorNoMoreItems = 259;
constexpr std::uint32_t kErrorInvalidFlags = 1004;
constexpr std::uint32_t kErrorServiceDoesNotExist = 1060;
constexpr std::uint32_t kErrorServiceCannotAcceptControl = 1061;
constexpr std::uint32_t kErrorServiceNotActive = 1062;
constexpr std::uint32_t kErrorServiceMarkedForDelete = 1072;
constexpr std::uint32_t kErrorNotFound = 1168;
constexpr std::uint32_t kErrorInvalidUserBuffer = 1784;
