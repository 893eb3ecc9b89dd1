// A simulated drive C: each file kept as its sections of keys. The two profile calls follow the
// buffer, cut and list rules the program relies on; a file can refuse writes, garble them, or start
// refusing after some. The drive can also act as Windows 9x does (writes cached until flushed, the
// read's default trimmed in place) or as a system that refuses, or drops, hidden and system on a
// write. Searches and attribute changes are recorded.
#pragma once
#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
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

inline std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

class SimDisk : public ProfileApi, public FileApi {
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
    // Copies `text` into the buffer as the calls do: a value cut to size - 1 characters and a NUL; a
    // list (a NUL after each name) cut so that it still ends with two NULs, and then counting size - 2.
    static uint32_t Deliver(std::string text, bool list, char* returned, uint32_t size) {
        if (size < (list ? 2u : 1u)) return 0;
        text.resize(std::min<size_t>(text.size(), size - (list ? 2 : 1)));
        std::memcpy(returned, text.c_str(), text.size() + 1);
        if (list) returned[text.size() + 1] = '\0';
        return static_cast<uint32_t>(text.size());
    }

public:
    // A file made from "[section]" and "key=value" lines (a folder with the directory attribute).
    void Put(const std::string& path, const std::string& text, uint32_t attributes = kFileAttributeArchive) {
        File& file = files_[Upper(path)] = File{{}, attributes, false};
        for (size_t p = 0, end; p <= text.size(); p = end + 1) {
            end = std::min(text.find('\n', p), text.size());
            const std::string line = text.substr(p, end - p), header = Trim(line);
            const size_t equals = line.find('=');
            if (header.rfind('[', 0) == 0) {
                file.sections.push_back({Trim(header.substr(1, header.find(']') - 1)), {}});
            } else if (equals != std::string::npos && !file.sections.empty()) {
                file.sections.back().second.push_back(
                    {Trim(line.substr(0, equals)), line.substr(equals + 1)});
            }
        }
    }
    // The file as "[section]\n" and "key=value\n" lines; empty when missing.
    std::string Text(const std::string& path) const {
        const auto file = files_.find(Upper(path));
        std::string text;
        for (const auto& [section, keys] : file != files_.end() ? file->second.sections : Sections{}) {
            text += "[" + section + "]\n";
            for (const auto& [key, value] : keys) text += key + "=" + value + "\n";
        }
        return text;
    }

    uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* defaultText,
                                      char* returned, uint32_t size, const char* path) override {
        if (full) return Deliver(std::string(size, 'x'), true, returned, size);
        if (win9x && defaultText != nullptr) {  // trailing blanks cut by a NUL, even where there are none
            char* end = const_cast<char*>(defaultText) + std::strlen(defaultText);
            while (end > defaultText && end[-1] == ' ') --end;
            *end = '\0';
        }
        const bool cached = cache_ && cache_->first == Upper(path);
        const auto file = files_.find(Upper(path));
        const Sections sections = cached                 ? cache_->second.sections
                                  : file != files_.end() ? file->second.sections
                                                         : Sections{};
        const auto named = section != nullptr ? Named(sections, section) : sections.end();
        const Keys keys = named != sections.end() ? named->second : Keys{};
        std::string list;
        if (section == nullptr)  // the sections' names, else those of the section's keys
            for (const auto& named : sections) list += named.first + '\0';
        for (const auto& entry : keys) list += entry.first + '\0';
        if (section == nullptr || key == nullptr) return Deliver(list, true, returned, size);
        const auto entry = Named(keys, key);
        if (entry == keys.end())
            return Deliver(defaultText != nullptr ? defaultText : "", false, returned, size);
        // Blanks around the value and one pair of enclosing quotes do not come back.
        std::string value = Trim(entry->second);
        if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
            value = value.substr(1, value.size() - 2);
        return Deliver(value, false, returned, size);
    }
    int32_t WritePrivateProfileStringA(const char* section, const char* key, const char* text,
                                       const char* path) override {
        lastWriteError_ = kErrorSuccess;
        // No section: FALSE, having flushed the 9x cache when there is no key and no text either.
        if (section == nullptr) return key == nullptr && text == nullptr ? (Flush(), 0) : 0;
        if (win9x && (!cache_ || cache_->first != Upper(path))) {
            Flush();
            const auto onDrive = files_.find(Upper(path));
            cache_ = {Upper(path), onDrive != files_.end() ? onDrive->second : File{}};
        }
        File& file = win9x ? cache_->second : files_[Upper(path)];
        const uint32_t refused = kFileAttributeReadOnly | kFileAttributeDirectory |
                                 (refusesHiddenSystem ? kFileAttributeHidden | kFileAttributeSystem : 0);
        lastWriteError_ = kErrorAccessDenied;
        if (!win9x && (file.denied || (file.attributes & refused) != 0)) return 0;
        lastWriteError_ = kErrorSuccess;
        if (dropsHiddenSystem) file.attributes &= ~(kFileAttributeHidden | kFileAttributeSystem);
        if (garbled > 0 && text != nullptr) {
            text = "?@?";
            --garbled;
        }
        if (writesBeforeDenial > 0 && --writesBeforeDenial == 0) file.denied = true;
        auto named = Named(file.sections, section);
        if (named == file.sections.end() && key != nullptr && text != nullptr)
            named = file.sections.insert(file.sections.end(), {section, {}});
        if (named == file.sections.end()) return 1;
        if (key == nullptr) {
            file.sections.erase(named);
            return 1;
        }
        Keys& keys = named->second;
        const auto entry = Named(keys, key);
        if (entry != keys.end() && text == nullptr) keys.erase(entry);
        if (entry != keys.end() && text != nullptr) entry->second = text;
        if (entry == keys.end() && text != nullptr) keys.push_back({key, text});
        return 1;
    }
    ErrorCode LastWriteError() override { return lastWriteError_; }
    bool FindEntry(const std::string& pattern, const std::function<bool(uint32_t)>& wanted) override {
        searchModes.push_back(errorMode);
        const auto it = files_.find(Upper(pattern));
        return it != files_.end() && wanted(it->second.attributes);
    }
    uint32_t GetAttributes(const std::string& path) override {
        const auto it = files_.find(Upper(path));
        return it == files_.end() ? kInvalidFileAttributes : it->second.attributes;
    }
    ErrorCode SetAttributes(const std::string& path, uint32_t attributes) override {
        attributesSet.push_back(attributes);
        const auto it = files_.find(Upper(path));
        if (it == files_.end() || it->second.denied) return kErrorAccessDenied;
        it->second.attributes = attributes;
        return kErrorSuccess;
    }
    uint32_t SetErrorMode(uint32_t mode) override {
        std::swap(mode, errorMode);
        return mode;
    }
    void Remove(const std::string& path) { files_.erase(Upper(path)); }

    int garbled = 0;             // the next writes succeed but store "?@?", as with a key too long for them
    int writesBeforeDenial = 0;  // after that many more writes the file is denied (0: never)
    bool full = false;           // every read fills the buffer, as a list too large for any would
    bool win9x = false;          // the last file written is cached; it reaches the drive when flushed
    bool refusesHiddenSystem = false, dropsHiddenSystem = false;
    uint32_t errorMode = 0;
    std::vector<uint32_t> searchModes;    // the error mode each search ran in
    std::vector<uint32_t> attributesSet;  // every attribute change asked for

private:
    // The cached file goes to the drive unless the drive's copy now refuses writes: then it is lost.
    void Flush() {
        if (!cache_) return;
        File& file = files_[cache_->first];
        if (!file.denied && (file.attributes & kFileAttributeReadOnly) == 0)
            file.sections = cache_->second.sections;
        cache_.reset();
    }

    std::map<std::string, File> files_;  // by upper-cased path
    std::optional<std::pair<std::string, File>> cache_;
    ErrorCode lastWriteError_ = kErrorSuccess;
};

}  // namespace ostrevo
