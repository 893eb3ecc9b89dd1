// The system ANSI code page and the user's locale, through user32 and kernel32.
#include "platform/win32/win32_text.h"

#include <algorithm>
#include <climits>

#include "platform/win32/windows_shim.h"

namespace ostrevo {
namespace {

std::wstring LocaleText(LCTYPE type) {
    const int needed = ::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, nullptr, 0);
    if (needed <= 1) return std::wstring();
    std::string bytes(static_cast<size_t>(needed), '\0');
    const int written = ::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, &bytes[0], needed);
    if (written <= 1) return std::wstring();
    bytes.resize(static_cast<size_t>(written - 1));  // the count includes the terminating NUL
    return WideFromAnsi(bytes);
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

std::wstring WideFromAnsi(const std::string& bytes) {
    if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX)) return std::wstring();
    const int length = static_cast<int>(bytes.size());
    const int needed = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    if (needed <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(needed), L'\0');
    const int written = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, &text[0], needed);
    text.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return text;
}

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
