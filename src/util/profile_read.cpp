// Reading through the profile calls whole.
#include "util/profile_read.h"

#include <algorithm>

namespace ostrevo {
namespace {

// Far beyond any boot.ini; only a damaged file gets near it.
constexpr uint32_t kLargestRead = 1u << 26;

}  // namespace

ProfileText ReadWhole(ProfileApi& profile, const char* section, const char* key, const char* defaultText,
                      const char* path, uint32_t firstSize) {
    for (uint32_t size = firstSize < 2 ? 2 : firstSize;; size *= 2) {
        std::string buffer(size, '\0');
        // Windows 9x trims the default's trailing blanks in place: each call gets a fresh, writable copy.
        std::string fallback(defaultText != nullptr ? defaultText : "");
        const uint32_t count = profile.GetPrivateProfileStringA(
            section, key, defaultText != nullptr ? fallback.data() : nullptr, buffer.data(), size, path);
        // A cut value comes back as size - 1 characters and a cut list as size - 2: anything that
        // close to the end is read again with room to spare.
        const bool cut = count + 2 >= size;
        if (!cut || size >= kLargestRead) {
            buffer.resize(std::min(count, size));
            return ProfileText{buffer, !cut};
        }
    }
}

std::wstring WithoutNuls(std::wstring text) {
    text.erase(std::remove(text.begin(), text.end(), L'\0'), text.end());
    return text;
}

std::vector<std::wstring> SplitNulList(const std::wstring& list, bool keepEmpty) {
    std::vector<std::wstring> pieces;
    for (size_t p = 0;;) {
        const size_t q = list.find(L'\0', p);
        if (q == std::wstring::npos) return pieces;
        if (keepEmpty || q > p) pieces.push_back(list.substr(p, q - p));
        p = q + 1;
    }
}

}  // namespace ostrevo
