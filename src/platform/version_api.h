// GetVersionExA with the 148-byte OSVERSIONINFOA record.
#pragma once
#include <cstdint>

namespace ostrevo {

struct OsVersionInfoA {
    uint32_t dwOSVersionInfoSize;
    uint32_t dwMajorVersion;
    uint32_t dwMinorVersion;
    uint32_t dwBuildNumber;
    uint32_t dwPlatformId;
    char szCSDVersion[128];
};
static_assert(sizeof(OsVersionInfoA) == 148, "OSVERSIONINFOA is 148 bytes");

constexpr uint32_t kVerPlatformWin32s = 0;
constexpr uint32_t kVerPlatformWin32Windows = 1;
constexpr uint32_t kVerPlatformWin32Nt = 2;

class VersionApi {
public:
    virtual ~VersionApi() = default;
    virtual int32_t GetVersionExA(OsVersionInfoA* info) = 0;
    // True for a 32-bit process on 64-bit Windows; false wherever the system cannot say (Windows 2000
    // and XP before SP2 have no IsWow64Process, and no 64-bit edition either).
    virtual bool IsWow64Process() = 0;
};

}  // namespace ostrevo
