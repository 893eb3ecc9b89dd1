// The shutdown privilege and the restart/shutdown request, through kernel32, advapi32 and user32.
#pragma once
#include "platform/power_api.h"

namespace ostrevo {

class Win32Power : public PowerApi {
public:
    ErrorCode EnableShutdownPrivilege() override;
    ErrorCode RequestExit(uint32_t flags) override;
};

}  // namespace ostrevo
