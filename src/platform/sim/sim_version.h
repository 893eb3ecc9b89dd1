// A chosen platform id, and whether the process runs under WOW64.
#pragma once
#include "platform/version_api.h"

namespace ostrevo {

class SimVersion : public VersionApi {
public:
    uint32_t PlatformId() override {
        ++calls;
        return fail ? 0 : platformId;
    }
    bool IsWow64Process() override { return wow64; }

    uint32_t platformId = kVerPlatformWin32Nt;
    bool fail = false;  // as GetVersionExA failing: platform id 0
    bool wow64 = false;
    int calls = 0;
};

}  // namespace ostrevo
