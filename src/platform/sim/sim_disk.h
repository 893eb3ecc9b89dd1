// A simulated drive C: each file kept as its sections of keys. The two profile calls follow the
// buffer, cut and list rules the program relies on; a file can refuse writes, garble them, or start
// refusing after some. Searches and attribute changes are recorded.
#pragma once
#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_api.h"
#include "platform/profile_api.h"

namespace ostrevo {

// Paths, section and key names compare without regard to ASCII case, as the real calls do.
inline std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

class SimDisk : public ProfileApi, public FileApi {
public:
    // A file made from "[section]" and "key=value" lines (a folder with the directory attribute).
    void Put(const std::string& path, const std::string& text, uint32_t attributes = kFileAttributeArchive);
    // The file as "[section]\n" and "key=value\n" lines; empty when missing.
    std::string Text(const std::string& path) const;

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

    int garbled = 0;             // the next writes succeed but store "?@?", as with a key too long for them
    int writesBeforeDenial = 0;  // after that many more writes the file is denied (0: never)
    bool full = false;           // every read fills the buffer, as a list too large for any would
    uint32_t errorMode = 0;
    std::vector<uint32_t> searchModes;    // the error mode each search ran in
    std::vector<uint32_t> attributesSet;  // every attribute change asked for

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
