// Code-page conversion, letter case and number separators, following the user's system settings.
#pragma once
#include <string>

#include "platform/text_api.h"

namespace ostrevo {

// The one conversion between the program's texts and the system ANSI code page, used by every
// call on this side that hands text to Windows or takes it back: only the ANSI forms of the calls
// exist on Windows 95/98/ME.
std::string AnsiFromWide(const std::wstring& text);
std::wstring WideFromAnsi(const std::string& bytes);

class Win32Text : public TextApi {
public:
    std::string ToAnsi(const std::wstring& text) override;
    std::wstring FromAnsi(const std::string& bytes) override;
    std::wstring ToUpper(const std::wstring& text) override;
    std::wstring DecimalSeparator() override;
    std::wstring GroupSeparator() override;
    std::wstring ErrorText(ErrorCode code) override;
};

}  // namespace ostrevo
