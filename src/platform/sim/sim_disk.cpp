// The simulated drive.
#include "platform/sim/sim_disk.h"

#include <algorithm>
#include <cstring>

namespace ostrevo {
namespace {

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The first of `pairs` named `name`, letter case ignored.
template <typename Pairs>
auto Named(Pairs& pairs, const std::string& name) {
    return std::find_if(pairs.begin(), pairs.end(), [&name](const auto& pair) {
        return pair.first.size() == name.size() &&
               std::equal(name.begin(), name.end(), pair.first.begin(), [](char a, char b) {
                   return std::toupper(static_cast<unsigned char>(a)) ==
                          std::toupper(static_cast<unsigned char>(b));
               });
    });
}

// Copies `text` into the buffer as the calls do: a value cut to size - 1 characters and a NUL; a list
// (a NUL after each name) cut so that it still ends with two NULs, and then counting size - 2.
uint32_t Deliver(std::string text, bool list, char* returned, uint32_t size) {
    if (size < (list ? 2u : 1u)) return 0;
    text.resize(std::min<size_t>(text.size(), size - (list ? 2 : 1)));
    std::memcpy(returned, text.c_str(), text.size() + 1);
    if (list) returned[text.size() + 1] = '\0';
    return static_cast<uint32_t>(text.size());
}

}  // namespace

std::string SimDisk::Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

void SimDisk::Put(const std::string& path, const std::string& text, uint32_t attributes) {
    File& file = files_[Upper(path)] = File{{}, attributes, false};
    for (size_t p = 0, end; p <= text.size(); p = end + 1) {
        end = std::min(text.find('\n', p), text.size());
        const std::string line = text.substr(p, end - p - (end > p && text[end - 1] == '\r'));
        const std::string trimmed = Trim(line);
        const size_t equals = line.find('=');
        if (!trimmed.empty() && trimmed[0] == '[') {
            file.sections.push_back({Trim(trimmed.substr(1, trimmed.find(']') - 1)), {}});
        } else if (equals != std::string::npos && !file.sections.empty()) {
            file.sections.back().second.push_back({Trim(line.substr(0, equals)), line.substr(equals + 1)});
        }
    }
}

std::string SimDisk::Text(const std::string& path) const {
    const auto file = files_.find(Upper(path));
    std::string text;
    for (const auto& [section, keys] : file != files_.end() ? file->second.sections : Sections{}) {
        text += "[" + section + "]\r\n";
        for (const auto& [key, value] : keys) text += key + "=" + value + "\r\n";
    }
    return text;
}

uint32_t SimDisk::GetPrivateProfileStringA(const char* section, const char* key, const char* defaultText,
                                           char* returned, uint32_t size, const char* path) {
    ++reads;
    const auto file = files_.find(Upper(path != nullptr ? path : ""));
    const Sections& sections = file != files_.end() ? file->second.sections : Sections{};
    std::string list;
    if (section == nullptr) {
        for (const auto& named : sections) list += named.first + '\0';
        return Deliver(list, true, returned, size);
    }
    const auto named = Named(sections, section);
    if (key == nullptr) {
        for (const auto& entry : named != sections.end() ? named->second : Keys{}) list += entry.first + '\0';
        return Deliver(list, true, returned, size);
    }
    std::string value = defaultText != nullptr ? defaultText : "";
    if (named != sections.end() && Named(named->second, key) != named->second.end()) {
        // Blanks around the value and one pair of enclosing quotes do not come back.
        value = Trim(Named(named->second, key)->second);
        if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
            value = value.substr(1, value.size() - 2);
        }
    }
    return Deliver(value, false, returned, size);
}

int32_t SimDisk::WritePrivateProfileStringA(const char* section, const char* key, const char* text,
                                            const char* path) {
    if (section == nullptr || path == nullptr) {
        lastWriteError_ = kErrorInvalidParameter;
        return 0;
    }
    const auto existing = files_.find(Upper(path));
    if (existing != files_.end() && (existing->second.denied || (existing->second.attributes & 0x11) != 0)) {
        lastWriteError_ = kErrorAccessDenied;  // read-only, another's, or a folder
        return 0;
    }
    Sections& sections = files_[Upper(path)].sections;
    auto named = Named(sections, section);
    if (named == sections.end()) {
        if (key == nullptr || text == nullptr) return 1;
        named = sections.insert(sections.end(), {section, {}});
    }
    if (key == nullptr) {
        sections.erase(named);
        return 1;
    }
    Keys& keys = named->second;
    const auto entry = Named(keys, key);
    if (text == nullptr) {
        if (entry != keys.end()) keys.erase(entry);
    } else if (entry != keys.end()) {
        entry->second = text;
    } else {
        keys.push_back({key, text});
    }
    return 1;
}

bool SimDisk::FindEntry(const std::string& pattern, const std::function<bool(uint32_t)>& wanted) {
    if (Upper(pattern).rfind("C:", 0) != 0) {
        if ((errorMode & kSemFailCriticalErrors) == 0) ++noMediumBoxes;
        return false;
    }
    const auto it = files_.find(Upper(pattern));
    return it != files_.end() && wanted(it->second.attributes);
}

uint32_t SimDisk::GetAttributes(const std::string& path) {
    const auto it = files_.find(Upper(path));
    return it == files_.end() ? kInvalidFileAttributes : it->second.attributes;
}

ErrorCode SimDisk::SetAttributes(const std::string& path, uint32_t attributes) {
    ++attributeChanges;
    const auto it = files_.find(Upper(path));
    if (it == files_.end()) return kErrorFileNotFound;
    // No attribute at all is spelt "normal"; 0 is refused.
    if (it->second.denied || attributes == 0)
        return it->second.denied ? kErrorAccessDenied : kErrorInvalidParameter;
    it->second.attributes = attributes;
    return kErrorSuccess;
}

}  // namespace ostrevo
