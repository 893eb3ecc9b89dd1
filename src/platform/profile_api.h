// The two private-profile functions, shaped like kernel32's ANSI forms.
#pragma once
#include <cstdint>

#include "platform/errors.h"

namespace ostrevo {

class ProfileApi {
public:
    virtual ~ProfileApi() = default;
    // A null pointer is an absent argument, exactly as in the real call.
    virtual uint32_t GetPrivateProfileStringA(const char* appName, const char* keyName,
                                              const char* defaultText, char* returned, uint32_t size,
                                              const char* fileName) = 0;
    // Non-zero on success.
    virtual int32_t WritePrivateProfileStringA(const char* appName, const char* keyName, const char* text,
                                               const char* fileName) = 0;
    // Why the last write call failed, as that call left the thread's last error; kErrorSuccess when
    // it did not fail. Asked straight after the call: the next one replaces it.
    virtual ErrorCode LastWriteError() = 0;
};

}  // namespace ostrevo
