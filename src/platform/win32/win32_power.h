// The shutdown privilege and the restart/shutdown request, through kernel32, advapi32 and user32.
#pragma once
#include "platform/power_api.h"

namespace ostrevo {

class Win32Power : public PowerApi {
public:
    ProcessHandle GetCurrentProcess() override;
    int32_t OpenProcessToken(ProcessHandle process, uint32_t desiredAccess, TokenHandle* token) override;
    int32_t LookupPrivilegeValueA(const char* systemName, const char* name, Luid* luid) override;
    int32_t AdjustTokenPrivileges(TokenHandle token, int32_t disableAll, const TokenPrivileges* newState,
                                  uint32_t bufferLength, TokenPrivileges* previousState,
                                  uint32_t* returnLength) override;
    int32_t CloseHandle(TokenHandle handle) override;
    int32_t ExitWindowsEx(uint32_t flags, uint32_t reserved) override;
    uint32_t GetLastError() override;
};

}  // namespace ostrevo
