// The user-interface calls: the menu model is rendered into a real popup menu each time it opens.
#include "platform/win32/win32_ui.h"

#include "platform/win32/autologon_dialog.h"
#include "platform/win32/input_box.h"
#include "platform/win32/menu_render.h"
#include "platform/win32/win32_text.h"
#include "shell/menu_item.h"

namespace ostrevo {

int Win32Ui::MessageBox(const std::wstring& text, const std::wstring& caption, uint32_t style) {
    return ::MessageBoxA(window_.Handle(), AnsiFromWide(text).c_str(), AnsiFromWide(caption).c_str(), style);
}

void Win32Ui::SetForegroundWindow() { ::SetForegroundWindow(window_.Handle()); }

MenuItem* Win32Ui::TrackPopupMenu(MenuItem& popup) {
    const HWND owner = window_.Handle();
    MenuItem* chosen = nullptr;
    {
        RenderedMenu menu(popup);
        if (menu.Handle() == nullptr) return nullptr;
        POINT pointer{};
        if (!::GetCursorPos(&pointer)) pointer = POINT{};
        const UINT flags = TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY;
        const BOOL command = ::TrackPopupMenu(menu.Handle(), flags, pointer.x, pointer.y, 0, owner, nullptr);
        if (command > 0) chosen = menu.ItemFor(static_cast<UINT_PTR>(command));
    }
    // Without a message after the menu, the next tray click may open a menu that does not close.
    ::PostMessageA(owner, WM_NULL, 0, 0);
    return chosen;
}

std::optional<std::wstring> Win32Ui::InputBox(const std::wstring& prompt, const std::wstring& title,
                                              const std::wstring& defaultText) {
    return ShowInputBox(::GetModuleHandleA(nullptr), window_.Handle(), prompt, title, defaultText);
}

// No owner, as designed: the dialog stands on its own with its own taskbar button.
void Win32Ui::ShowAutoLogonDialog(Form2& form) {
    ostrevo::ShowAutoLogonDialog(::GetModuleHandleA(nullptr), form);
}

void Win32Ui::EndProgram() {
    window_.RemoveIcon();
    ::ExitProcess(0);
}

}  // namespace ostrevo
