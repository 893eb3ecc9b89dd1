// The modal input box: a prompt, one line of text, OK and Cancel.
#pragma once
#include <optional>
#include <string>

#include "platform/win32/windows_shim.h"

namespace ostrevo {

// The text as the user left it on OK; nullopt on Cancel, Esc, the close box, or when the box
// cannot be shown at all.
std::optional<std::wstring> ShowInputBox(HINSTANCE instance, HWND owner, const std::wstring& prompt,
                                         const std::wstring& title, const std::wstring& defaultText);

}  // namespace ostrevo
