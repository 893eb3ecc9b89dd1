// AppUtils: delimited text lists, the key list of a profile section, file and platform checks.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_api.h"
#include "platform/profile_api.h"
#include "platform/text_api.h"
#include "platform/version_api.h"
#include "util/dynamic_value.h"

namespace ostrevo {

// The program's one list delimiter, LATIN SMALL LETTER A WITH ACUTE.
constexpr wchar_t kListDelimiter = L'\u00E1';
inline const std::wstring& ListDelimiter() {
    static const std::wstring delimiter(1, kListDelimiter);
    return delimiter;
}

// The key names of a section in file order, each once (the first spelling of names equal
// ignoring case). However long the list, it is read whole: no key is cut or lost.
std::vector<std::wstring> SectionKeys(ProfileApi& profile, TextApi& text, const std::wstring& filePath,
                                      const std::wstring& section);
// The same names joined by the list delimiter.
std::wstring SectionKeyList(ProfileApi& profile, TextApi& text, const std::wstring& filePath,
                            const std::wstring& section);

int32_t ListItemCount(const std::wstring& list, const std::wstring& delimiter);
std::wstring GetListItem(int32_t index, const std::wstring& list, const std::wstring& delimiter);
int32_t FindListItem(const std::wstring& item, const std::wstring& list, const std::wstring& delimiter,
                     TextApi& text);
void AddListItem(const std::wstring& item, std::wstring& list, bool atFront, const std::wstring& delimiter,
                 const std::wstring& defaultText);
std::wstring TextOrDefault(const std::wstring& value, const std::wstring& defaultText);
// Every item in order, with the results GetListItem gives for 1..ListItemCount, in one pass.
std::vector<std::wstring> SplitList(const std::wstring& list, const std::wstring& delimiter);
std::wstring JoinList(const std::vector<std::wstring>& items, const std::wstring& delimiter);

// True when a file (not a directory) matches the path; hidden, system and read-only files count.
bool FileExists(FileApi& files, TextApi& text, const std::wstring& path);
bool IsWinNT(VersionApi& version);
std::wstring ValueToText(const DynamicValue& value);

}  // namespace ostrevo
