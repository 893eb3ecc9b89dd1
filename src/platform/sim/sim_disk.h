// A simulated drive C: holding each file as its sections of keys: the profile calls with the buffer
// and list rules the program relies on, attributes and refusals, and the search for an exact name.
// Other drives have no medium.
#pragma once
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_api.h"
#include "platform/profile_api.h"

namespace ostrevo {

// Names of files, sections, keys and registry values compare without regard to ASCII case.
inline std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

class SimDisk : public ProfileApi, public FileApi {
public:
    // A file (or, with the directory attribute, a folder) made from "[section]" and "key=value" lines.
    void Put(const std::string& path, const std::string& text, uint32_t attributes = kFileAttributeArchive);
    // The file written out again as "[section]\r\n" and "key=value\r\n" lines; empty when missing.
    std::string Text(const std::string& path) const;
    // A file nobody may write or change the attributes of (another user's, or one held open).
    void DenyWrites(const std::string& path) { files_[Upper(path)].denied = true; }

    uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* defaultText,
                                      char* returned, uint32_t size, const char* path) override;
    int32_t WritePrivateProfileStringA(const char* section, const char* key, const char* text,
                                       const char* path) override;
    ErrorCode LastWriteError() override { return lastWriteError_; }
    bool FindEntry(const std::string& pattern, const std::function<bool(uint32_t)>& wanted) override;
    uint32_t GetAttributes(const std::string& path) override {
        const auto it = files_.find(Upper(path));
        return it == files_.end() ? kInvalidFileAttributes : it->second.attributes;
    }
    ErrorCode SetAttributes(const std::string& path, uint32_t attributes) override;
    uint32_t SetErrorMode(uint32_t mode) override {
        std::swap(mode, errorMode);
        return mode;
    }

    int reads = 0;
    int attributeChanges = 0;
    uint32_t errorMode = 0;
    std::vector<uint32_t> searchModes;  // the error mode each search ran in
    int noMediumBoxes = 0;              // "insert a disk" boxes the system would have shown
    // The next writes report success but store "?@?", as the real calls do with a key too long for
    // them.
    int garbled = 0;
    // After that many more writes the file refuses writes and attribute changes (0: never).
    int writesBeforeDenial = 0;
    bool full = false;  // every answer fills the buffer, as a list always too large for it would

private:
    using Keys = std::vector<std::pair<std::string, std::string>>;
    using Sections = std::vector<std::pair<std::string, Keys>>;
    struct File {
        Sections sections;
        uint32_t attributes = kFileAttributeArchive;
        bool denied = false;
    };
    // The first of `pairs` named `name`, letter case ignored.
    template <typename Pairs>
    static auto Named(Pairs& pairs, const std::string& name) {
        return std::find_if(pairs.begin(), pairs.end(),
                            [&](const auto& pair) { return Upper(pair.first) == Upper(name); });
    }

    std::map<std::string, File> files_;  // by upper-cased path
    ErrorCode lastWriteError_ = kErrorSuccess;
};

}  // namespace ostrevo
