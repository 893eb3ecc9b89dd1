// ReBootAPI: the platform's name, and restart or shutdown with the shutdown privilege on the NT family.
#pragma once
#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace ostrevo {

// The program's 16-bit booleans: only all bits set is true.
constexpr int16_t kTrue16 = -1;
constexpr int16_t kFalse16 = 0;

// "Win95", "WinNT", "Win32", or empty for a platform id it does not know.
std::wstring GetPlatformName(VersionApi& version);

struct ExitSystemResult {
    bool requested = false;  // the system accepted the restart or shutdown request
    uint32_t error = 0;      // the system's reason when it did not
};

// Asks for a restart (Restart true) or shutdown, forced when Force is true; on the NT family the
// shutdown privilege is enabled first and nothing is asked for when that fails.
ExitSystemResult ExitSystem(Platform& platform, int16_t Force, int16_t Restart);

// ExitSystem, not forced; a refusal is shown to the user with the system's reason.
void ExitSystemOrReport(Platform& platform, int16_t Restart);

}  // namespace ostrevo
