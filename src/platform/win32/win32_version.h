// GetVersionExA of kernel32.
#pragma once
#include "platform/version_api.h"

namespace ostrevo {

class Win32Version : public VersionApi {
public:
    int32_t GetVersionExA(OsVersionInfoA* info) override;
    bool IsWow64Process() override;
};

}  // namespace ostrevo
