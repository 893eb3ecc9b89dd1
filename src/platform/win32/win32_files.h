// Directory search, file attributes and error texts of kernel32.
#pragma once
#include "platform/file_api.h"

namespace ostrevo {

class Win32Files : public FileApi {
public:
    FindHandle FindFirstFileA(const char* pattern, FindDataA* data) override;
    int32_t FindNextFileA(FindHandle handle, FindDataA* data) override;
    int32_t FindClose(FindHandle handle) override;
    uint32_t GetFileAttributesA(const char* fileName) override;
    int32_t SetFileAttributesA(const char* fileName, uint32_t attributes) override;
    uint32_t SetErrorMode(uint32_t mode) override;
    uint32_t GetLastError() override;
    std::wstring FormatErrorMessage(uint32_t code) override;
};

}  // namespace ostrevo
