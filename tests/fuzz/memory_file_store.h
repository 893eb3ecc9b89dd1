// An in-memory drive for the fuzzers and the benchmark: whole files by path (letter case ignored), a
// change stamp that moves with every change (so the engine may keep its index), a switch that makes
// every write fail, and the one directory search start-up makes. Nothing touches the host disk.
#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/file_api.h"
#include "platform/sim/sim_file_store.h"

namespace ostrevo {

class MemoryFileStore : public SimFileStore, public FileApi {
public:
    void Put(const std::string& path, const std::string& bytes) {
        files_[Upper(path)] = bytes;
        ++stamp_;
    }
    std::optional<std::string> Get(const std::string& path) const {
        const auto found = files_.find(Upper(path));
        if (found == files_.end()) return std::nullopt;
        return found->second;
    }

    std::optional<std::string> Read(const std::string& path) override {
        ++reads;
        return Get(path);
    }
    uint32_t Write(const std::string& path, const std::string& bytes) override {
        if (denyWrites) return kErrorAccessDenied;
        ++writes;
        files_[Upper(path)] = bytes;
        ++stamp_;
        return 0;
    }
    std::optional<uint64_t> ChangeStamp(const std::string&) override { return stamp_; }

    // Exact names only: the program searches for one fixed path.
    bool FindEntry(const std::string& pattern, const std::function<bool(uint32_t)>& wanted) override {
        return Get(pattern) && wanted(kFileAttributeArchive);
    }
    uint32_t GetAttributes(const std::string& path) override {
        return Get(path) ? kFileAttributeArchive : kInvalidFileAttributes;
    }
    ErrorCode SetAttributes(const std::string& path, uint32_t) override {
        return Get(path) ? kErrorSuccess : kErrorFileNotFound;
    }
    uint32_t SetErrorMode(uint32_t) override { return 0; }

    bool denyWrites = false;
    int reads = 0;
    int writes = 0;

private:
    static std::string Upper(std::string path) {
        for (char& c : path) {
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        }
        return path;
    }

    std::map<std::string, std::string> files_;
    uint64_t stamp_ = 0;
};

}  // namespace ostrevo
