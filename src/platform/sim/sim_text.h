// Latin-1 as the simulated ANSI code page, with the user's separators to set and a few error texts.
#pragma once
#include <string>

#include "platform/text_api.h"

namespace ostrevo {

class SimText : public TextApi {
public:
    // Characters beyond the code page become '?', as the system's default character.
    std::string ToAnsi(const std::wstring& text) override {
        std::string bytes;
        for (wchar_t c : text) bytes += c < 0x100 ? static_cast<char>(c) : '?';
        return bytes;
    }
    std::wstring FromAnsi(const std::string& bytes) override {
        std::wstring text;
        for (char c : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
        return text;
    }
    std::wstring ToUpper(const std::wstring& text) override {
        std::wstring upper = text;
        for (wchar_t& c : upper) {
            if ((c >= L'a' && c <= L'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
                c = static_cast<wchar_t>(c - 0x20);
        }
        return upper;
    }
    std::wstring DecimalSeparator() override { return decimal; }
    std::wstring GroupSeparator() override { return group; }
    std::wstring ErrorText(ErrorCode code) override {
        if (code == kErrorAccessDenied) return L"Access is denied.";
        if (code == kErrorSharingViolation) {
            return L"The process cannot access the file because it is being used by another process.";
        }
        return L"";  // as for a code the system has no text for
    }

    std::wstring decimal = L".";
    std::wstring group = L",";
};

}  // namespace ostrevo
