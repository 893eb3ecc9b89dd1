// ReBootAPI: the platform's name, and restart or shutdown with the shutdown privilege on the NT family.
#pragma once
#include <string>

#include "platform/platform.h"

namespace ostrevo {

// "Win95", "WinNT", "Win32", or empty for a platform id it does not know.
std::wstring GetPlatformName(VersionApi& version);

// Asks for a restart (Restart) or shutdown, forced when Force is set; on the NT family the shutdown
// privilege is enabled first and nothing is asked for when that fails. 0 when the system took the
// request, else its reason.
ErrorCode ExitSystem(Platform& platform, bool Force, bool Restart);

}  // namespace ostrevo
