// AppUtils: shared procedures without state.
#include "util/app_utils.h"

#include <algorithm>
#include <unordered_set>

#include "util/numeric_text.h"
#include "util/profile_read.h"

namespace ostrevo {

std::vector<std::wstring> SectionKeys(ProfileApi& profile, TextApi& text, const std::wstring& filePath,
                                      const std::wstring& section) {
    const std::string ansiSection = text.ToAnsi(section);
    const std::string ansiPath = text.ToAnsi(filePath);
    if (!FitsProfileCall(ansiSection) || !FitsProfileCall(ansiPath)) return {};
    // 512 characters hold any real boot.ini's list in one call. Pieces are names: a name cut at the
    // end of a list too large to read whole is no piece.
    const ProfileText list = ReadWhole(profile, ansiSection.c_str(), nullptr, "", ansiPath.c_str(), 512);
    std::vector<std::wstring> keys;
    std::unordered_set<std::wstring> seen;  // upper-cased names already taken
    for (std::wstring& name : SplitNulList(text.FromAnsi(list.text), false)) {
        if (seen.insert(text.ToUpper(name)).second) keys.push_back(std::move(name));
    }
    return keys;
}

std::wstring SectionKeyList(ProfileApi& profile, TextApi& text, const std::wstring& filePath,
                            const std::wstring& section) {
    return JoinList(SectionKeys(profile, text, filePath, section), ListDelimiter());
}

int32_t ListItemCount(const std::wstring& list, const std::wstring& delimiter) {
    if (list.empty()) return 0;
    if (delimiter.empty()) return 1;
    int32_t count = 0;
    for (size_t p = list.find(delimiter); p != std::wstring::npos; p = list.find(delimiter, p + 1)) ++count;
    return count + 1;
}

std::wstring GetListItem(int32_t index, const std::wstring& list, const std::wstring& delimiter) {
    if (list.empty()) return L"";
    const size_t first = delimiter.empty() ? std::wstring::npos : list.find(delimiter);
    if (first == std::wstring::npos) return index <= 1 ? list : L"";
    if (index == 1) return list.substr(0, first);
    if (index < 2) return L"";
    int32_t seen = 0;
    for (size_t p = first; p != std::wstring::npos; p = list.find(delimiter, p + 1)) {
        if (++seen == index - 1) {
            const size_t begin = p + delimiter.size();
            const size_t end = list.find(delimiter, begin);
            return list.substr(begin, end == std::wstring::npos ? std::wstring::npos : end - begin);
        }
    }
    return L"";
}

int32_t FindListItem(const std::wstring& item, const std::wstring& list, const std::wstring& delimiter,
                     TextApi& text) {
    const std::wstring wanted = text.ToUpper(item);
    const std::vector<std::wstring> items = SplitList(list, delimiter);
    for (size_t i = 0; i < items.size(); ++i) {
        if (text.ToUpper(items[i]) == wanted) return static_cast<int32_t>(i + 1);
    }
    return -1;
}

void AddListItem(const std::wstring& item, std::wstring& list, bool atFront, const std::wstring& delimiter,
                 const std::wstring& defaultText) {
    const std::wstring added = TextOrDefault(item, defaultText);
    if (list.empty()) {
        list = added;
    } else if (atFront) {
        list = added + delimiter + list;
    } else {
        list += delimiter + added;
    }
}

std::wstring TextOrDefault(const std::wstring& value, const std::wstring& defaultText) {
    return value.empty() ? defaultText : value;
}

std::vector<std::wstring> SplitList(const std::wstring& list, const std::wstring& delimiter) {
    std::vector<std::wstring> items;
    if (list.empty()) return items;
    if (delimiter.empty()) return {list};
    size_t begin = 0;
    for (;;) {
        const size_t end = list.find(delimiter, begin);
        if (end == std::wstring::npos) {
            items.push_back(list.substr(begin));
            return items;
        }
        items.push_back(list.substr(begin, end - begin));
        begin = end + delimiter.size();
    }
}

std::wstring JoinList(const std::vector<std::wstring>& items, const std::wstring& delimiter) {
    std::wstring list;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0) list += delimiter;
        list += items[i];
    }
    return list;
}

bool FileExists(FileApi& files, TextApi& text, const std::wstring& path) {
    if (path.empty()) return false;
    // A drive without a medium would otherwise ask the user to insert one: here it is just no file.
    // Added to the caller's mode, not put in its place: the call only answers with the mode it replaced.
    const uint32_t callersMode = files.SetErrorMode(kSemFailCriticalErrors);
    files.SetErrorMode(callersMode | kSemFailCriticalErrors);
    const bool found = files.FindEntry(text.ToAnsi(path), [](uint32_t attributes) {
        return (attributes & (kFileAttributeDirectory | kFileAttributeDevice)) == 0;
    });
    files.SetErrorMode(callersMode);
    return found;
}

// A failed call reports platform id 0: not NT.
bool IsWinNT(VersionApi& version) { return version.PlatformId() == kVerPlatformWin32Nt; }

std::wstring ValueToText(const DynamicValue& value) {
    switch (value.kind()) {
        case DynamicValue::Kind::Text:
            return value.text();
        case DynamicValue::Kind::Integer:
            return IntegerText(value.integer());
        case DynamicValue::Kind::Null:
        case DynamicValue::Kind::Empty:
            break;
    }
    return L"";
}

}  // namespace ostrevo
