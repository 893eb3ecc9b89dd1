// Whole-file storage under the simulated profile engine: a mapped drive in tests, real files on Windows.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace ostrevo {

class SimFileStore {
public:
    virtual ~SimFileStore() = default;
    // The file's bytes, or nullopt when it does not exist or cannot be read.
    virtual std::optional<std::string> Read(const std::string& path) = 0;
    // Replaces the file's bytes, creating it when missing. 0 on success, else a Win32 error code
    // (5, access denied, for a read-only or locked file); a failed write changes nothing.
    virtual uint32_t Write(const std::string& path, const std::string& bytes) = 0;
    // A value that moves whenever what Read(path) gives may have changed: two calls for one path
    // that give the same stamp promise the same Read, so a reader may keep what it decoded and
    // skip the Read. nullopt when the store cannot vouch for that, and then every call reads.
    virtual std::optional<uint64_t> ChangeStamp(const std::string& /*path*/) { return std::nullopt; }
};

}  // namespace ostrevo
