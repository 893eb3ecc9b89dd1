// The two private-profile functions, shaped like kernel32's ANSI forms.
#pragma once
#include <cstddef>
#include <cstdint>

namespace ostrevo {

// The ANSI calls turn each text argument into a counted UTF-16 string, which holds at most 32,766
// characters and its terminator. A longer argument makes them fail (and Wine's crash), so callers
// never pass one.
constexpr size_t kLongestProfileArgument = 32766;

class ProfileApi {
public:
    virtual ~ProfileApi() = default;
    // A null pointer is an absent argument, exactly as in the real call.
    virtual uint32_t GetPrivateProfileStringA(const char* appName, const char* keyName,
                                              const char* defaultText, char* returned, uint32_t size,
                                              const char* fileName) = 0;
    // Non-zero on success.
    virtual int32_t WritePrivateProfileStringA(const char* appName, const char* keyName, const char* text,
                                               const char* fileName) = 0;
};

}  // namespace ostrevo
