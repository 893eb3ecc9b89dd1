// The shutdown privilege in the process's own token, and ExitWindowsEx.
#include "platform/win32/win32_power.h"

#include "platform/win32/windows_shim.h"

namespace ostrevo {

ErrorCode Win32Power::EnableShutdownPrivilege() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        return LastFailure();
    }
    ErrorCode result = kErrorSuccess;
    TOKEN_PRIVILEGES privileges{};
    if (!::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
        result = LastFailure();
    } else {
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        TOKEN_PRIVILEGES previous{};
        DWORD returnedLength = 0;
        static_assert(sizeof(TOKEN_PRIVILEGES) == 16, "one privilege: a 16-byte record");
        if (!::AdjustTokenPrivileges(token, FALSE, &privileges, sizeof(previous), &previous,
                                     &returnedLength)) {
            result = LastFailure();
        } else if (::GetLastError() == kErrorNotAllAssigned) {
            // The call succeeds even for an account without the privilege; only the last error says so.
            result = kErrorNotAllAssigned;
        }
    }
    ::CloseHandle(token);
    return result;
}

ErrorCode Win32Power::RequestExit(uint32_t flags) {
    return ::ExitWindowsEx(flags, 0) ? kErrorSuccess : LastFailure();
}

}  // namespace ostrevo
