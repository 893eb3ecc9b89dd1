// Windows-1252 as the simulated ANSI code page, with configurable locale separators.
#pragma once
#include "platform/text_api.h"

namespace ostrevo {

class SimText : public TextApi {
public:
    std::string ToAnsi(const std::wstring& text) override;
    std::wstring FromAnsi(const std::string& bytes) override;
    std::wstring ToUpper(const std::wstring& text) override;
    std::wstring DecimalSeparator() override { return decimal; }
    std::wstring GroupSeparator() override { return group; }
    // Windows' texts for the few codes the tests meet; none for the others, as for an unknown code.
    std::wstring ErrorText(ErrorCode code) override;

    std::wstring decimal = L".";
    std::wstring group = L",";
};

}  // namespace ostrevo
