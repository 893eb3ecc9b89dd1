// The system ANSI code page and the user's locale, through user32 and kernel32.
#include "platform/win32/win32_text.h"

#include <algorithm>
#include <climits>

#include "platform/win32/windows_shim.h"

namespace ostrevo {
namespace {

std::wstring Decode(const std::string& bytes, UINT codePage) {
    if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX)) return std::wstring();
    const int length = static_cast<int>(bytes.size());
    const int needed = ::MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    if (needed <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(needed), L'\0');
    const int written = ::MultiByteToWideChar(codePage, 0, bytes.data(), length, &text[0], needed);
    text.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return text;
}

// The ANSI bytes of a locale setting, without the NUL; empty when there is none.
std::string LocaleBytes(LCTYPE type) {
    const int needed = ::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, nullptr, 0);
    if (needed <= 1) return std::string();
    std::string bytes(static_cast<size_t>(needed), '\0');
    const int written = ::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, &bytes[0], needed);
    bytes.resize(written > 1 ? static_cast<size_t>(written - 1) : 0);  // the count includes the NUL
    return bytes;
}

// GetLocaleInfoA answers in the user locale's own code page, not the system's (LOCALE_USE_CP_ACP,
// which would change that, is missing on Windows 95), so its texts are decoded with that page.
std::wstring LocaleText(LCTYPE type) {
    // Its decimal digits; 0, for a locale that has no ANSI code page, is CP_ACP: the system's.
    UINT codePage = 0;
    for (const char digit : LocaleBytes(LOCALE_IDEFAULTANSICODEPAGE)) {
        if (digit < '0' || digit > '9' || codePage > 0xFFFF) return WideFromAnsi(LocaleBytes(type));
        codePage = codePage * 10 + static_cast<UINT>(digit - '0');
    }
    return Decode(LocaleBytes(type), codePage);
}

}  // namespace

std::string AnsiFromWide(const std::wstring& text) {
    if (text.empty() || text.size() > static_cast<size_t>(INT_MAX)) return std::string();
    const int length = static_cast<int>(text.size());
    const int needed = ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return std::string();
    std::string bytes(static_cast<size_t>(needed), '\0');
    const int written =
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, &bytes[0], needed, nullptr, nullptr);
    bytes.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return bytes;
}

std::wstring WideFromAnsi(const std::string& bytes) { return Decode(bytes, CP_ACP); }

std::string Win32Text::ToAnsi(const std::wstring& text) { return AnsiFromWide(text); }

std::wstring Win32Text::FromAnsi(const std::string& bytes) { return WideFromAnsi(bytes); }

// Through the code page and back loses nothing: the texts compared this way all came from ANSI calls.
std::wstring Win32Text::ToUpper(const std::wstring& text) {
    std::string bytes = AnsiFromWide(text);
    if (bytes.empty()) return text;
    ::CharUpperBuffA(&bytes[0], static_cast<DWORD>(std::min<size_t>(bytes.size(), MAXDWORD)));
    return WideFromAnsi(bytes);
}

std::wstring Win32Text::DecimalSeparator() { return LocaleText(LOCALE_SDECIMAL); }

std::wstring Win32Text::GroupSeparator() { return LocaleText(LOCALE_STHOUSAND); }

std::wstring Win32Text::ErrorText(ErrorCode code) {
    char* buffer = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    if (length == 0 || buffer == nullptr) return std::wstring();
    std::wstring text = WideFromAnsi(std::string(buffer, length));
    ::LocalFree(buffer);
    // System texts end with a line break, which a message box would show as an empty line.
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n')) text.pop_back();
    return text;
}

}  // namespace ostrevo
