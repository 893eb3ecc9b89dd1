// Message boxes and the popup menu, owned by the hidden main window; the end of the program.
#pragma once
#include "platform/ui_api.h"
#include "platform/win32/tray_window.h"

namespace ostrevo {

class Win32Ui : public UiApi {
public:
    explicit Win32Ui(TrayWindow& window) : window_(window) {}

    int MessageBox(const std::wstring& text, const std::wstring& caption, uint32_t style) override;
    void SetForegroundWindow() override;
    MenuItem* TrackPopupMenu(MenuItem& popup) override;
    std::optional<std::wstring> InputBox(const std::wstring& prompt, const std::wstring& title,
                                         const std::wstring& defaultText) override;
    void ShowAutoLogonDialog(Form2& form) override;
    void EndProgram() override;

private:
    TrayWindow& window_;
};

}  // namespace ostrevo
