// Code-page conversion, letter case and number separators, following the user's system settings.
#pragma once
#include "platform/text_api.h"

namespace ostrevo {

class Win32Text : public TextApi {
public:
    std::string ToAnsi(const std::wstring& text) override;
    std::wstring FromAnsi(const std::string& bytes) override;
    std::wstring ToUpper(const std::wstring& text) override;
    std::wstring DecimalSeparator() override;
    std::wstring GroupSeparator() override;
};

}  // namespace ostrevo
