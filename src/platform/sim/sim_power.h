// Records the privilege and restart requests; each can be made to fail.
#pragma once
#include <string>
#include <vector>

#include "platform/power_api.h"

namespace ostrevo {

class SimPower : public PowerApi {
public:
    ErrorCode EnableShutdownPrivilege() override {
        calls.push_back("EnableShutdownPrivilege");
        return privilegeRefusal;
    }
    ErrorCode RequestExit(uint32_t flags) override {
        calls.push_back("RequestExit " + std::to_string(flags));
        exitWindowsFlags.push_back(flags);
        return exitRefusal;
    }

    // Failures to program: the system's reason, 0 for none.
    ErrorCode privilegeRefusal = kErrorSuccess;
    ErrorCode exitRefusal = kErrorSuccess;

    // What was asked, in order.
    std::vector<std::string> calls;
    std::vector<uint32_t> exitWindowsFlags;
};

}  // namespace ostrevo
