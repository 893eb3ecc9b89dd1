// Records token and shutdown calls; each call can be made to fail.
#pragma once
#include <string>
#include <vector>

#include "platform/power_api.h"

namespace ostrevo {

class SimPower : public PowerApi {
public:
    ProcessHandle GetCurrentProcess() override;
    int32_t OpenProcessToken(ProcessHandle process, uint32_t desiredAccess, TokenHandle* token) override;
    int32_t LookupPrivilegeValueA(const char* systemName, const char* name, Luid* luid) override;
    int32_t AdjustTokenPrivileges(TokenHandle token, int32_t disableAll, const TokenPrivileges* newState,
                                  uint32_t bufferLength, TokenPrivileges* previousState,
                                  uint32_t* returnLength) override;
    int32_t CloseHandle(TokenHandle handle) override;
    int32_t ExitWindowsEx(uint32_t flags, uint32_t reserved) override;
    uint32_t GetLastError() override { return lastError; }

    // Failures to program.
    bool failOpenToken = false;
    bool failLookup = false;
    bool failAdjust = false;
    bool privilegeNotHeld = false;  // AdjustTokenPrivileges succeeds but leaves 1300
    bool failExitWindows = false;
    uint32_t failureError = 5;

    // What was asked, in order ("GetCurrentProcess", "OpenProcessToken 0x28", ...).
    std::vector<std::string> calls;
    std::vector<uint32_t> exitWindowsFlags;
    TokenPrivileges lastPrivileges{};
    int openTokens = 0;  // tokens opened and not yet closed
    uint32_t lastError = 0;
};

}  // namespace ostrevo
