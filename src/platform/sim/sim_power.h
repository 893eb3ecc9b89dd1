// Records the privilege and restart requests; each can be made to fail.
#pragma once
#include <string>
#include <vector>

#include "platform/power_api.h"

namespace ostrevo {

class SimPower : public PowerApi {
public:
    ErrorCode EnableShutdownPrivilege() override {
        calls.push_back("privilege");
        return privilegeRefusal;
    }
    ErrorCode RequestExit(uint32_t flags) override {
        calls.push_back("exit " + std::to_string(flags));
        return exitRefusal;
    }

    ErrorCode privilegeRefusal = kErrorSuccess;
    ErrorCode exitRefusal = kErrorSuccess;
    std::vector<std::string> calls;
};

}  // namespace ostrevo
