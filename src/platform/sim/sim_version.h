// A chosen platform id, and whether the process runs under WOW64.
#pragma once
#include "platform/version_api.h"

namespace ostrevo {

class SimVersion : public VersionApi {
public:
    uint32_t PlatformId() override {
        ++calls;
        return platformId;
    }
    bool IsWow64Process() override { return wow64; }

    uint32_t platformId = kVerPlatformWin32Nt;  // 0 is also what a failed GetVersionExA leaves
    bool wow64 = false;
    int calls = 0;
};

}  // namespace ostrevo
