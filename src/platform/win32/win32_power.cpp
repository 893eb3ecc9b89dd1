// Pass-through of the token and shutdown calls; records are copied into the real structures.
#include "platform/win32/win32_power.h"

#include <algorithm>

#include "platform/win32/windows_shim.h"

namespace ostrevo {
namespace {

HANDLE ToHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

TOKEN_PRIVILEGES ToReal(const TokenPrivileges& privileges) {
    TOKEN_PRIVILEGES real{};
    real.PrivilegeCount = privileges.privilegeCount;
    real.Privileges[0].Luid.LowPart = privileges.luid.lowPart;
    real.Privileges[0].Luid.HighPart = privileges.luid.highPart;
    real.Privileges[0].Attributes = privileges.attributes;
    return real;
}

TokenPrivileges FromReal(const TOKEN_PRIVILEGES& real) {
    TokenPrivileges privileges;
    privileges.privilegeCount = real.PrivilegeCount;
    privileges.luid.lowPart = real.Privileges[0].Luid.LowPart;
    privileges.luid.highPart = real.Privileges[0].Luid.HighPart;
    privileges.attributes = real.Privileges[0].Attributes;
    return privileges;
}

}  // namespace

ProcessHandle Win32Power::GetCurrentProcess() {
    return reinterpret_cast<ProcessHandle>(::GetCurrentProcess());
}

int32_t Win32Power::OpenProcessToken(ProcessHandle process, uint32_t desiredAccess, TokenHandle* token) {
    HANDLE opened = nullptr;
    const BOOL ok =
        ::OpenProcessToken(ToHandle(process), desiredAccess, token != nullptr ? &opened : nullptr);
    if (token != nullptr) *token = reinterpret_cast<TokenHandle>(opened);
    return ok;
}

int32_t Win32Power::LookupPrivilegeValueA(const char* systemName, const char* name, Luid* luid) {
    LUID real{};
    const BOOL ok = ::LookupPrivilegeValueA(systemName, name, luid != nullptr ? &real : nullptr);
    if (ok && luid != nullptr) {
        luid->lowPart = real.LowPart;
        luid->highPart = real.HighPart;
    }
    return ok;
}

int32_t Win32Power::AdjustTokenPrivileges(TokenHandle token, int32_t disableAll,
                                          const TokenPrivileges* newState, uint32_t bufferLength,
                                          TokenPrivileges* previousState, uint32_t* returnLength) {
    TOKEN_PRIVILEGES next{};
    if (newState != nullptr) next = ToReal(*newState);
    TOKEN_PRIVILEGES previous{};
    DWORD returned = returnLength != nullptr ? *returnLength : 0;
    // The previous state lands in our one-entry record, so the system may not be told it is longer.
    const DWORD previousLength =
        previousState != nullptr ? std::min<DWORD>(bufferLength, sizeof(previous)) : 0;
    const BOOL ok = ::AdjustTokenPrivileges(
        ToHandle(token), disableAll, newState != nullptr ? &next : nullptr, previousLength,
        previousState != nullptr ? &previous : nullptr, returnLength != nullptr ? &returned : nullptr);
    // The caller reads the last error right after this call (1300 means the privilege is not held).
    const DWORD lastError = ::GetLastError();
    if (ok && previousState != nullptr) *previousState = FromReal(previous);
    if (returnLength != nullptr) *returnLength = returned;
    ::SetLastError(lastError);
    return ok;
}

int32_t Win32Power::CloseHandle(TokenHandle handle) { return ::CloseHandle(ToHandle(handle)); }

int32_t Win32Power::ExitWindowsEx(uint32_t flags, uint32_t reserved) {
    return ::ExitWindowsEx(flags, reserved);
}

uint32_t Win32Power::GetLastError() { return ::GetLastError(); }

}  // namespace ostrevo
