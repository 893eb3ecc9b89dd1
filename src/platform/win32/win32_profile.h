// The private-profile functions of kernel32, unchanged.
#pragma once
#include "platform/profile_api.h"

namespace ostrevo {

class Win32Profile : public ProfileApi {
public:
    uint32_t GetPrivateProfileStringA(const char* appName, const char* keyName, const char* defaultText,
                                      char* returned, uint32_t size, const char* fileName) override;
    int32_t WritePrivateProfileStringA(const char* appName, const char* keyName, const char* text,
                                       const char* fileName) override;
    ErrorCode LastWriteError() override { return lastWriteError_; }

private:
    ErrorCode lastWriteError_ = kErrorSuccess;
};

}  // namespace ostrevo
