// GetVersionExA and IsWow64Process of kernel32.
#include "platform/win32/win32_version.h"

#include <algorithm>
#include <cstring>

#include "platform/win32/windows_shim.h"

namespace ostrevo {

namespace {

OSVERSIONINFOA VersionInfo() {
    OSVERSIONINFOA info;
    std::memset(&info, 0, sizeof(info));
    static_assert(sizeof(info) == 148, "OSVERSIONINFOA is 148 bytes");
    info.dwOSVersionInfoSize = sizeof(info);
    // A failed call leaves the zeroed fields: 0.
    ::GetVersionExA(&info);
    return info;
}

}  // namespace

uint32_t Win32Version::PlatformId() { return VersionInfo().dwPlatformId; }

uint32_t Win32Version::Version() {
    const OSVERSIONINFOA info = VersionInfo();
    return info.dwMajorVersion * 256 + std::min<DWORD>(info.dwMinorVersion, 0xFF);
}

// Looked up at run time: Windows 2000 and XP before SP2 have no such function, and the program must
// still start there. Asked once; a process does not change its kind.
bool Win32Version::IsWow64Process() {
    static const bool wow64 = [] {
        using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
        const auto isWow64 = LookUp<IsWow64ProcessFn>(::GetModuleHandleA("kernel32.dll"), "IsWow64Process");
        BOOL answer = FALSE;
        return isWow64 != nullptr && isWow64(::GetCurrentProcess(), &answer) && answer;
    }();
    return wow64;
}

}  // namespace ostrevo
