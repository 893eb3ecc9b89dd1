// Straight calls into kernel32's private-profile functions.
#include "platform/win32/win32_profile.h"

#include "platform/win32/windows_shim.h"

namespace ostrevo {

uint32_t Win32Profile::GetPrivateProfileStringA(const char* appName, const char* keyName,
                                                const char* defaultText, char* returned, uint32_t size,
                                                const char* fileName) {
    return ::GetPrivateProfileStringA(appName, keyName, defaultText, returned, size, fileName);
}

// The reason is taken at once, before any later call (the attribute restore) can overwrite it, and
// every call replaces it, so that no failure shows an older call's reason.
int32_t Win32Profile::WritePrivateProfileStringA(const char* appName, const char* keyName, const char* text,
                                                 const char* fileName) {
    const BOOL written = ::WritePrivateProfileStringA(appName, keyName, text, fileName);
    lastWriteError_ = written ? kErrorSuccess : LastFailure();
    return written;
}

}  // namespace ostrevo
