// The system's error codes the program tells apart, in the one type every seam returns them in.
#pragma once
#include <cstdint>

namespace ostrevo {

// A Win32 error code: 0 for success, else the reason the system gave.
using ErrorCode = uint32_t;

constexpr ErrorCode kErrorSuccess = 0;
constexpr ErrorCode kErrorFileNotFound = 2;
constexpr ErrorCode kErrorAccessDenied = 5;
constexpr ErrorCode kErrorInvalidParameter = 87;
constexpr ErrorCode kErrorMoreData = 234;
constexpr ErrorCode kErrorNotAllAssigned = 1300;
// A call failed and the system gave no reason: its last error was still 0.
constexpr ErrorCode kErrorNoReason = 0xFFFFFFFFu;

}  // namespace ostrevo
