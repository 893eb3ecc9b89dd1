// Text services that follow the user's system: ANSI code page, letter case, numeric text.
#pragma once
#include <string>

namespace ostrevo {

class TextApi {
public:
    virtual ~TextApi() = default;
    // Characters the code page cannot hold take its best-fit or default character.
    virtual std::string ToAnsi(const std::wstring& text) = 0;
    virtual std::wstring FromAnsi(const std::string& bytes) = 0;
    // Upper case under the user's locale.
    virtual std::wstring ToUpper(const std::wstring& text) = 0;
    // The user's decimal and digit-group separators.
    virtual std::wstring DecimalSeparator() = 0;
    virtual std::wstring GroupSeparator() = 0;
};

}  // namespace ostrevo
