// ReBootAPI: the platform's name and the restart or shutdown request.
#include "power/rebootapi.h"

#include "util/app_utils.h"

namespace ostrevo {

std::wstring GetPlatformName(VersionApi& version) {
    switch (version.PlatformId()) {  // a failed call reports 0, read as "Win32"
        case kVerPlatformWin32Windows:
            return L"Win95";
        case kVerPlatformWin32Nt:
            return L"WinNT";
        case kVerPlatformWin32s:
            return L"Win32";
        default:
            return L"";
    }
}

ErrorCode ExitSystem(Platform& platform, bool Force, bool Restart) {
    // Outside the NT family there are no privileges to ask for.
    if (IsWinNT(platform.version)) {
        const ErrorCode refused = platform.power.EnableShutdownPrivilege();
        if (refused != kErrorSuccess) return refused;
    }
    uint32_t flags = Restart ? kEwxReboot : kEwxShutdown;
    if (Force) flags |= kEwxForce;
    return platform.power.RequestExit(flags);
}

}  // namespace ostrevo
