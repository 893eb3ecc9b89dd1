// Directory search and file attributes of kernel32.
#pragma once
#include "platform/file_api.h"

namespace ostrevo {

class Win32Files : public FileApi {
public:
    bool FindEntry(const std::string& pattern, const std::function<bool(uint32_t)>& wanted) override;
    uint32_t GetAttributes(const std::string& path) override;
    ErrorCode SetAttributes(const std::string& path, uint32_t attributes) override;
    uint32_t SetErrorMode(uint32_t mode) override;
};

}  // namespace ostrevo
