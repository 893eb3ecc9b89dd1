// A simulated drive C: backed by a host directory: case-insensitive names, DOS attributes,
// files that refuse writes. It is both the profile engine's store and the FileApi.
//
// The disk owns the folder while it lives: it vouches for a file being unchanged (ChangeStamp) from
// what it has itself written, so a file changed on the host behind its back may be answered from an
// engine's cache with its old bytes. Only a file removed there is noticed. Change files through
// PutFile or Write.
#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_api.h"
#include "platform/sim/sim_file_store.h"
#include "platform/sim/sim_text.h"

namespace ostrevo {

class SimDisk : public SimFileStore, public FileApi {
public:
    // `hostRoot` is an existing host directory; drive C: is the folder "C" inside it (created).
    explicit SimDisk(std::string hostRoot);

    // Test set-up and inspection, by Windows path ("C:\boot.ini").
    void PutFile(const std::string& windowsPath, const std::string& bytes,
                 uint32_t attributes = kFileAttributeArchive);
    std::optional<std::string> FileBytes(const std::string& windowsPath);
    void MakeDirectory(const std::string& windowsPath);
    // A file that nobody may write or change the attributes of (another user's file, a sharing
    // violation): writes and SetFileAttributesA fail with access denied.
    void DenyWrites(const std::string& windowsPath, bool deny = true);
    // Drives other than C: have no medium: every call on them fails.

    // SimFileStore
    std::optional<std::string> Read(const std::string& path) override;
    uint32_t Write(const std::string& path, const std::string& bytes) override;
    // Moves on every PutFile and Write of the file, whatever spelling of its path they used; nullopt
    // for a missing file or a folder, so that a read of those still sets the last error.
    std::optional<uint64_t> ChangeStamp(const std::string& path) override;

    // FileApi
    bool FindEntry(const std::string& pattern, const std::function<bool(uint32_t)>& wanted) override;
    // The attributes of every entry a search lists, in order.
    std::vector<uint32_t> MatchingEntries(const std::string& pattern);
    uint32_t GetAttributes(const std::string& fileName) override;
    ErrorCode SetAttributes(const std::string& fileName, uint32_t attributes) override;
    uint32_t SetErrorMode(uint32_t mode) override {
        const uint32_t previous = errorMode;
        errorMode = mode;
        return previous;
    }
    // The error of the last call that failed.
    uint32_t LastError() const { return lastError_; }

    // Counts for tests that must prove a call was (not) made.
    int WriteCount() const { return writeCount_; }
    uint32_t errorMode = 0;
    // "Insert a disk" boxes the system would have shown for a search on a drive without a medium.
    int noMediumBoxes = 0;

private:
    struct Resolved;
    Resolved Resolve(const std::string& windowsPath, bool makeDirectories = false);
    uint32_t AttributesOf(const std::string& key, bool directory) const;
    uint32_t Fail(uint32_t error);
    void Changed(const std::string& key) { stamps_[key] = nextStamp_++; }

    std::string hostRoot_;
    SimText text_;  // letter case of names, as the Windows-1252 system folds it
    uint32_t lastError_ = 0;
    int writeCount_ = 0;
    std::map<std::string, uint32_t> attributes_;  // by upper-cased Windows path
    std::set<std::string> denied_;                // by upper-cased Windows path
    // Drawn from one counter, so that no two versions of any two files share a stamp.
    std::map<std::string, uint64_t> stamps_;  // by upper-cased Windows path
    uint64_t nextStamp_ = 1;
};

}  // namespace ostrevo
