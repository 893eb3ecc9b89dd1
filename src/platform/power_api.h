// Token and shutdown calls, shaped like advapi32/user32/kernel32.
#pragma once
#include <cstdint>

namespace ostrevo {

using TokenHandle = intptr_t;
using ProcessHandle = intptr_t;

struct Luid {
    uint32_t lowPart = 0;
    int32_t highPart = 0;
};

struct TokenPrivileges {
    uint32_t privilegeCount = 0;
    Luid luid;
    uint32_t attributes = 0;
};
static_assert(sizeof(TokenPrivileges) == 16, "TOKEN_PRIVILEGES with one entry is 16 bytes");

constexpr uint32_t kTokenAdjustPrivileges = 0x20;
constexpr uint32_t kTokenQuery = 0x8;
constexpr uint32_t kSePrivilegeEnabled = 2;
constexpr uint32_t kErrorNotAllAssigned = 1300;
constexpr uint32_t kEwxShutdown = 1;
constexpr uint32_t kEwxReboot = 2;
constexpr uint32_t kEwxForce = 4;

class PowerApi {
public:
    virtual ~PowerApi() = default;
    virtual ProcessHandle GetCurrentProcess() = 0;
    virtual int32_t OpenProcessToken(ProcessHandle process, uint32_t desiredAccess, TokenHandle* token) = 0;
    virtual int32_t LookupPrivilegeValueA(const char* systemName, const char* name, Luid* luid) = 0;
    virtual int32_t AdjustTokenPrivileges(TokenHandle token, int32_t disableAll,
                                          const TokenPrivileges* newState, uint32_t bufferLength,
                                          TokenPrivileges* previousState, uint32_t* returnLength) = 0;
    virtual int32_t CloseHandle(TokenHandle handle) = 0;
    virtual int32_t ExitWindowsEx(uint32_t flags, uint32_t reserved) = 0;
    virtual uint32_t GetLastError() = 0;
};

}  // namespace ostrevo
