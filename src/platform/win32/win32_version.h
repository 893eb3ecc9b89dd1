// Which system this is, through kernel32.
#pragma once
#include "platform/version_api.h"

namespace ostrevo {

class Win32Version : public VersionApi {
public:
    uint32_t PlatformId() override;
    uint32_t Version() override;
    bool IsWow64Process() override;
};

}  // namespace ostrevo
