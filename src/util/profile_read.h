// The rules of reading through the profile calls, in one place for cIniFile, the section key list
// and the boot.ini writer: how long an argument may be, how a cut read is told and read again
// whole, and how a NUL-separated list splits.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/profile_api.h"

namespace ostrevo {

// The ANSI calls turn each text argument into a counted UTF-16 string, which holds at most 32,766
// characters and its terminator. A longer argument makes them fail (and Wine's crash), so none is
// ever passed.
constexpr size_t kLongestProfileArgument = 32766;
inline bool FitsProfileCall(const std::string& argument) {
    return argument.size() <= kLongestProfileArgument;
}

struct ProfileText {
    std::string text;
    bool whole = true;  // false: even the largest buffer this program gives had it cut
};

// One read (a value; with a null key the section's key list; with a null section too, the section
// list), with a buffer of `firstSize` characters grown until the call no longer had to cut what it
// returned. The call is given a copy of `defaultText`, so that any text may be passed.
ProfileText ReadWhole(ProfileApi& profile, const char* section, const char* key, const char* defaultText,
                      const char* path, uint32_t firstSize);

// A text as a value write stores it: the profile calls take NUL-terminated texts, so every NUL goes.
std::wstring WithoutNuls(std::wstring text);

// The pieces of a NUL-separated list, in order; text after the last NUL is none.
std::vector<std::wstring> SplitNulList(const std::wstring& list, bool keepEmpty);

}  // namespace ostrevo
