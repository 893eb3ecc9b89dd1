// Straight calls into kernel32's private-profile functions.
#include "platform/win32/win32_profile.h"

#include "platform/win32/windows_shim.h"

namespace ostrevo {

uint32_t Win32Profile::GetPrivateProfileStringA(const char* appName, const char* keyName,
                                                const char* defaultText, char* returned, uint32_t size,
                                                const char* fileName) {
    return ::GetPrivateProfileStringA(appName, keyName, defaultText, returned, size, fileName);
}

int32_t Win32Profile::WritePrivateProfileStringA(const char* appName, const char* keyName, const char* text,
                                                 const char* fileName) {
    return ::WritePrivateProfileStringA(appName, keyName, text, fileName);
}

}  // namespace ostrevo
