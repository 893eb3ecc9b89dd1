// Which system the program runs on.
#pragma once
#include <cstdint>

namespace ostrevo {

constexpr uint32_t kVerPlatformWin32s = 0;
constexpr uint32_t kVerPlatformWin32Windows = 1;
constexpr uint32_t kVerPlatformWin32Nt = 2;

class VersionApi {
public:
    virtual ~VersionApi() = default;
    // The platform id GetVersionExA reports in a zero-filled 148-byte OSVERSIONINFOA; 0 when the
    // call fails.
    virtual uint32_t PlatformId() = 0;
    // The version it reports there, major * 256 + minor (0x0501 for Windows XP); 0 when the call fails.
    virtual uint32_t Version() = 0;
    // True for a 32-bit process on 64-bit Windows; false wherever the system cannot say (Windows 2000
    // and XP before SP2 have no IsWow64Process, and no 64-bit edition either).
    virtual bool IsWow64Process() = 0;
};

}  // namespace ostrevo
