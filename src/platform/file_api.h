// Directory search and file attributes, shaped like kernel32's ANSI forms.
#pragma once
#include <cstdint>
#include <string>

namespace ostrevo {

constexpr uint32_t kFileAttributeReadOnly = 0x01;
constexpr uint32_t kFileAttributeHidden = 0x02;
constexpr uint32_t kFileAttributeSystem = 0x04;
constexpr uint32_t kFileAttributeDirectory = 0x10;
constexpr uint32_t kFileAttributeArchive = 0x20;
constexpr uint32_t kFileAttributeDevice = 0x40;
constexpr uint32_t kFileAttributeNormal = 0x80;
constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;

constexpr uint32_t kErrorFileNotFound = 2;

// The error mode in which a drive without a medium fails a call instead of asking the user.
constexpr uint32_t kSemFailCriticalErrors = 0x0001;
constexpr uint32_t kErrorAccessDenied = 5;

struct FindDataA {
    uint32_t attributes = 0;
    std::string fileName;
};

using FindHandle = intptr_t;
constexpr FindHandle kInvalidFindHandle = -1;

class FileApi {
public:
    virtual ~FileApi() = default;
    virtual FindHandle FindFirstFileA(const char* pattern, FindDataA* data) = 0;
    virtual int32_t FindNextFileA(FindHandle handle, FindDataA* data) = 0;
    virtual int32_t FindClose(FindHandle handle) = 0;
    virtual uint32_t GetFileAttributesA(const char* fileName) = 0;
    virtual int32_t SetFileAttributesA(const char* fileName, uint32_t attributes) = 0;
    // The process's error mode; returns the mode it replaces.
    virtual uint32_t SetErrorMode(uint32_t mode) = 0;
    // The calling thread's last-error value, as left by the most recent failing call.
    virtual uint32_t GetLastError() = 0;
    // The system's own text for an error code, without a trailing line break.
    virtual std::wstring FormatErrorMessage(uint32_t code) = 0;
};

}  // namespace ostrevo
