// ReBootAPI: the platform's name, the shutdown privilege and the restart or shutdown request.
#include "power/rebootapi.h"

#include <optional>

#include "shell/app_info.h"
#include "util/system_error_text.h"

namespace ostrevo {
namespace {

constexpr const char* kShutdownPrivilege = "SeShutdownPrivilege";

ExitSystemResult Refused(uint32_t error) { return ExitSystemResult{false, error}; }

// Enables the shutdown privilege in the process token; the system's reason when it could not. The
// token is closed on every path, and each reason is read before that close can change the last error.
std::optional<uint32_t> EnableShutdownPrivilege(PowerApi& power) {
    TokenHandle token = 0;
    if (power.OpenProcessToken(power.GetCurrentProcess(), kTokenAdjustPrivileges | kTokenQuery, &token) ==
        0) {
        return power.GetLastError();
    }
    std::optional<uint32_t> refusal;
    Luid luid;
    if (power.LookupPrivilegeValueA(nullptr, kShutdownPrivilege, &luid) == 0) {
        refusal = power.GetLastError();
    } else {
        TokenPrivileges privileges;
        privileges.privilegeCount = 1;
        privileges.luid = luid;
        privileges.attributes = kSePrivilegeEnabled;
        TokenPrivileges previous;
        uint32_t returnedLength = 0;
        const int32_t adjusted = power.AdjustTokenPrivileges(token, 0, &privileges, sizeof(TokenPrivileges),
                                                             &previous, &returnedLength);
        // The call succeeds even for an account without the privilege; only the last error says so.
        const uint32_t error = power.GetLastError();
        if (adjusted == 0 || error == kErrorNotAllAssigned) refusal = error;
    }
    power.CloseHandle(token);
    return refusal;
}

}  // namespace

std::wstring GetPlatformName(VersionApi& version) {
    OsVersionInfoA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    version.GetVersionExA(&info);  // a failed call leaves the id 0, read as "Win32"
    switch (info.dwPlatformId) {
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

ExitSystemResult ExitSystem(Platform& platform, int16_t Force, int16_t Restart) {
    if (GetPlatformName(platform.version) == L"WinNT") {
        const std::optional<uint32_t> refusal = EnableShutdownPrivilege(platform.power);
        if (refusal) return Refused(*refusal);
    }
    uint32_t flags = Restart == kTrue16 ? kEwxReboot : kEwxShutdown;
    if (Force == kTrue16) flags |= kEwxForce;
    if (platform.power.ExitWindowsEx(flags, 0) == 0) return Refused(platform.power.GetLastError());
    return ExitSystemResult{true, 0};
}

void ExitSystemOrReport(Platform& platform, int16_t Restart) {
    const ExitSystemResult result = ExitSystem(platform, kFalse16, Restart);
    if (result.requested) return;
    const wchar_t* what =
        Restart == kTrue16 ? L"Could not restart the computer." : L"Could not shut down the computer.";
    platform.ui.MessageBox(FailureText(platform.files, what, result.error), kAppTitle, kMbOk | kMbIconError);
}

}  // namespace ostrevo
