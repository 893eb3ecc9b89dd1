// The whole text of a window or control, whatever its length.
#pragma once
#include <string>

#include "platform/win32/win32_text.h"
#include "platform/win32/windows_shim.h"

namespace ostrevo {

inline std::wstring WindowText(HWND window) {
    const int length = ::GetWindowTextLengthA(window);
    if (length <= 0) return std::wstring();
    std::string bytes(static_cast<size_t>(length) + 1, '\0');
    const int copied = ::GetWindowTextA(window, &bytes[0], length + 1);
    bytes.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    std::wstring text = WideFromAnsi(bytes);
    // It may be a password.
    ::SecureZeroMemory(&bytes[0], bytes.size());
    return text;
}

}  // namespace ostrevo
