// Records token and shutdown calls.
#include "platform/sim/sim_power.h"

#include <cstring>

namespace ostrevo {
namespace {

constexpr ProcessHandle kCurrentProcessPseudoHandle = -1;
constexpr TokenHandle kTokenHandle = 0x44;
constexpr Luid kShutdownLuid{19, 0};

std::string Hex(uint32_t value) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    do {
        text.insert(text.begin(), digits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return "0x" + text;
}

}  // namespace

ProcessHandle SimPower::GetCurrentProcess() {
    calls.push_back("GetCurrentProcess");
    return kCurrentProcessPseudoHandle;
}

int32_t SimPower::OpenProcessToken(ProcessHandle process, uint32_t desiredAccess, TokenHandle* token) {
    calls.push_back("OpenProcessToken " + Hex(desiredAccess));
    if (failOpenToken || process != kCurrentProcessPseudoHandle || token == nullptr) {
        lastError = failureError;
        return 0;
    }
    *token = kTokenHandle;
    ++openTokens;
    return 1;
}

int32_t SimPower::LookupPrivilegeValueA(const char* systemName, const char* name, Luid* luid) {
    calls.push_back(std::string("LookupPrivilegeValueA ") + (systemName ? systemName : "(null)") + " " +
                    (name ? name : "(null)"));
    if (failLookup || luid == nullptr || name == nullptr || std::strcmp(name, "SeShutdownPrivilege") != 0) {
        lastError = failLookup ? failureError : 1313;  // ERROR_NO_SUCH_PRIVILEGE
        return 0;
    }
    *luid = kShutdownLuid;
    return 1;
}

int32_t SimPower::AdjustTokenPrivileges(TokenHandle token, int32_t disableAll,
                                        const TokenPrivileges* newState, uint32_t bufferLength,
                                        TokenPrivileges* previousState, uint32_t* returnLength) {
    calls.push_back("AdjustTokenPrivileges " + std::to_string(disableAll) + " " +
                    std::to_string(bufferLength));
    if (newState != nullptr) lastPrivileges = *newState;
    if (failAdjust || token != kTokenHandle || newState == nullptr) {
        lastError = failureError;
        return 0;
    }
    if (previousState != nullptr && bufferLength >= sizeof(TokenPrivileges))
        *previousState = TokenPrivileges{};
    if (returnLength != nullptr) *returnLength = sizeof(TokenPrivileges);
    // The real call succeeds even when the account lacks the privilege, and says so only here.
    lastError = privilegeNotHeld ? kErrorNotAllAssigned : 0;
    return 1;
}

int32_t SimPower::CloseHandle(TokenHandle handle) {
    calls.push_back("CloseHandle");
    if (handle != kTokenHandle || openTokens == 0) {
        lastError = 6;  // ERROR_INVALID_HANDLE
        return 0;
    }
    --openTokens;
    return 1;
}

int32_t SimPower::ExitWindowsEx(uint32_t flags, uint32_t reserved) {
    calls.push_back("ExitWindowsEx " + std::to_string(flags) + " " + std::to_string(reserved));
    exitWindowsFlags.push_back(flags);
    if (failExitWindows) {
        lastError = failureError;
        return 0;
    }
    return 1;
}

}  // namespace ostrevo
