// GetVersionExA answering with a chosen platform id.
#pragma once
#include <cstring>

#include "platform/version_api.h"

namespace ostrevo {

class SimVersion : public VersionApi {
public:
    int32_t GetVersionExA(OsVersionInfoA* info) override {
        ++calls;
        if (fail || info == nullptr || info->dwOSVersionInfoSize != sizeof(OsVersionInfoA)) return 0;
        info->dwMajorVersion = 5;
        info->dwMinorVersion = 1;
        info->dwBuildNumber = 2600;
        info->dwPlatformId = platformId;
        std::strcpy(info->szCSDVersion, "Service Pack 3");
        return 1;
    }

    bool IsWow64Process() override { return wow64; }

    uint32_t platformId = kVerPlatformWin32Nt;
    bool wow64 = false;
    bool fail = false;
    int calls = 0;
};

}  // namespace ostrevo
