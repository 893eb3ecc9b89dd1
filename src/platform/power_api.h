// Restart and shutdown: the shutdown privilege, and the request itself.
#pragma once
#include <cstdint>

#include "platform/errors.h"

namespace ostrevo {

constexpr uint32_t kEwxShutdown = 1;
constexpr uint32_t kEwxReboot = 2;
constexpr uint32_t kEwxForce = 4;

class PowerApi {
public:
    virtual ~PowerApi() = default;
    // Enables the shutdown privilege in the process's own token; the system's reason when it could
    // not, ERROR_NOT_ALL_ASSIGNED (1300) for an account that does not hold it.
    virtual ErrorCode EnableShutdownPrivilege() = 0;
    // ExitWindowsEx with `flags` and the reserved 0; the system's reason when it refused.
    virtual ErrorCode RequestExit(uint32_t flags) = 0;
};

}  // namespace ostrevo
