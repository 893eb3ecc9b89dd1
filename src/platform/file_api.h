// The file system as the program needs it: which entries match a name, and a file's attributes.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/errors.h"

namespace ostrevo {

constexpr uint32_t kFileAttributeReadOnly = 0x01;
constexpr uint32_t kFileAttributeHidden = 0x02;
constexpr uint32_t kFileAttributeSystem = 0x04;
constexpr uint32_t kFileAttributeDirectory = 0x10;
constexpr uint32_t kFileAttributeArchive = 0x20;
constexpr uint32_t kFileAttributeDevice = 0x40;
constexpr uint32_t kFileAttributeNormal = 0x80;
constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;

// The error mode in which a drive without a medium fails a call instead of asking the user.
constexpr uint32_t kSemFailCriticalErrors = 0x0001;

class FileApi {
public:
    virtual ~FileApi() = default;
    // Goes through the directory entries matching `pattern` ('*' and '?' are wildcards) in the order
    // the directory lists them, until `wanted` accepts one by its attributes: true then. False when
    // none is accepted or the search fails (FindFirstFileA and kin).
    virtual bool FindEntry(const std::string& pattern,
                           const std::function<bool(uint32_t attributes)>& wanted) = 0;
    // kInvalidFileAttributes when the file cannot be asked.
    virtual uint32_t GetAttributes(const std::string& path) = 0;
    virtual ErrorCode SetAttributes(const std::string& path, uint32_t attributes) = 0;
    // The process's error mode; returns the mode it replaces.
    virtual uint32_t SetErrorMode(uint32_t mode) = 0;
};

}  // namespace ostrevo
