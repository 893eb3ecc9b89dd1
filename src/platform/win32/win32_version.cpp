// GetVersionExA through a real OSVERSIONINFOEXA, so that whatever size the caller claims the system
// never writes past a buffer of ours.
#include "platform/win32/win32_version.h"

#include <cstring>

#include "platform/win32/windows_shim.h"

namespace ostrevo {

int32_t Win32Version::GetVersionExA(OsVersionInfoA* info) {
    if (info == nullptr) return ::GetVersionExA(nullptr);
    OSVERSIONINFOEXA real;
    std::memset(&real, 0, sizeof(real));
    // The system checks the size field itself: a wrong one fails there, as it would for the caller.
    real.dwOSVersionInfoSize = info->dwOSVersionInfoSize;
    const BOOL ok = ::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&real));
    if (!ok) return ok;
    info->dwMajorVersion = real.dwMajorVersion;
    info->dwMinorVersion = real.dwMinorVersion;
    info->dwBuildNumber = real.dwBuildNumber;
    info->dwPlatformId = real.dwPlatformId;
    static_assert(sizeof(info->szCSDVersion) == sizeof(real.szCSDVersion), "CSD version fields differ");
    std::memcpy(info->szCSDVersion, real.szCSDVersion, sizeof(info->szCSDVersion));
    return ok;
}

// Looked up at run time: Windows 2000 and XP before SP2 have no such function, and the program must
// still start there. Asked once; a process does not change its kind.
bool Win32Version::IsWow64Process() {
    static const bool wow64 = [] {
        using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
        const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
        if (kernel == nullptr) return false;
        const auto isWow64 = reinterpret_cast<IsWow64ProcessFn>(
            reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "IsWow64Process")));
        BOOL answer = FALSE;
        return isWow64 != nullptr && isWow64(::GetCurrentProcess(), &answer) && answer;
    }();
    return wow64;
}

}  // namespace ostrevo
