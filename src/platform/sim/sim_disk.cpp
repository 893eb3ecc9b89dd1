// The simulated drive.
#include "platform/sim/sim_disk.h"

#include <cstring>

namespace ostrevo {
namespace {

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(" \t") - first + 1);
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

void SimDisk::Put(const std::string& path, const std::string& text, uint32_t attributes) {
    File& file = files_[Upper(path)] = File{{}, attributes, false};
    for (size_t p = 0, end; p <= text.size(); p = end + 1) {
        end = std::min(text.find('\n', p), text.size());
        const std::string line = text.substr(p, end - p);
        const size_t equals = line.find('=');
        if (Trim(line).rfind('[', 0) == 0) {
            file.sections.push_back({Trim(Trim(line).substr(1, Trim(line).find(']') - 1)), {}});
        } else if (equals != std::string::npos && !file.sections.empty()) {
            file.sections.back().second.push_back({Trim(line.substr(0, equals)), line.substr(equals + 1)});
        }
    }
}

std::string SimDisk::Text(const std::string& path) const {
    const auto file = files_.find(Upper(path));
    std::string text;
    for (const auto& [section, keys] : file != files_.end() ? file->second.sections : Sections{}) {
        text += "[" + section + "]\n";
        for (const auto& [key, value] : keys) text += key + "=" + value + "\n";
    }
    return text;
}

uint32_t SimDisk::GetPrivateProfileStringA(const char* section, const char* key, const char* defaultText,
                                           char* returned, uint32_t size, const char* path) {
    if (full) return Deliver(std::string(size, 'x'), true, returned, size);
    const auto file = files_.find(Upper(path != nullptr ? path : ""));
    const Sections sections = file != files_.end() ? file->second.sections : Sections{};
    std::string list;
    if (section == nullptr) {
        for (const auto& named : sections) list += named.first + '\0';
        return Deliver(list, true, returned, size);
    }
    const auto named = Named(sections, section);
    const Keys keys = named != sections.end() ? named->second : Keys{};
    if (key == nullptr) {
        for (const auto& entry : keys) list += entry.first + '\0';
        return Deliver(list, true, returned, size);
    }
    const auto entry = Named(keys, key);
    if (entry == keys.end()) return Deliver(defaultText != nullptr ? defaultText : "", false, returned, size);
    // Blanks around the value and one pair of enclosing quotes do not come back.
    std::string value = Trim(entry->second);
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
        value = value.substr(1, value.size() - 2);
    }
    return Deliver(value, false, returned, size);
}

int32_t SimDisk::WritePrivateProfileStringA(const char* section, const char* key, const char* text,
                                            const char* path) {
    File* file = section != nullptr && path != nullptr ? &files_[Upper(path)] : nullptr;
    lastWriteError_ = file == nullptr ? kErrorInvalidParameter : kErrorAccessDenied;
    if (file == nullptr || file->denied ||
        (file->attributes & (kFileAttributeReadOnly | kFileAttributeDirectory)) != 0)
        return 0;
    lastWriteError_ = kErrorSuccess;
    if (garbled > 0 && text != nullptr) {
        text = "?@?";
        --garbled;
    }
    if (writesBeforeDenial > 0 && --writesBeforeDenial == 0) file->denied = true;
    Sections& sections = file->sections;
    auto named = Named(sections, section);
    if (named == sections.end() && key != nullptr && text != nullptr)
        named = sections.insert(sections.end(), {section, {}});
    if (named == sections.end()) return 1;
    if (key == nullptr) {
        sections.erase(named);
        return 1;
    }
    Keys& keys = named->second;
    const auto entry = Named(keys, key);
    if (text == nullptr && entry != keys.end()) keys.erase(entry);
    if (text != nullptr && entry != keys.end()) entry->second = text;
    if (text != nullptr && entry == keys.end()) keys.push_back({key, text});
    return 1;
}

bool SimDisk::FindEntry(const std::string& pattern, const std::function<bool(uint32_t)>& wanted) {
    searchModes.push_back(errorMode);
    const auto it = files_.find(Upper(pattern));
    return it != files_.end() && wanted(it->second.attributes);
}

ErrorCode SimDisk::SetAttributes(const std::string& path, uint32_t attributes) {
    attributesSet.push_back(attributes);
    const auto it = files_.find(Upper(path));
    if (it == files_.end() || it->second.denied) return kErrorAccessDenied;
    it->second.attributes = attributes;
    return kErrorSuccess;
}

}  // namespace ostrevo
