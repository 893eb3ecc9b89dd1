// Text services that follow the user's system: ANSI code page, letter case, numbers, error texts.
#pragma once
#include <string>

#include "platform/errors.h"

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
    // The system's own text for an error code, without a trailing line break; empty when it has none.
    virtual std::wstring ErrorText(ErrorCode code) = 0;
};

}  // namespace ostrevo
