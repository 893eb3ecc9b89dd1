// The user-interface calls the program makes: message and input boxes, the popup menu, program end.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace ostrevo {

class MenuItem;
class Form2;

// Message box styles and answers, with the values of user32.
constexpr uint32_t kMbOk = 0x0;
constexpr uint32_t kMbYesNo = 0x4;
constexpr uint32_t kMbIconError = 0x10;
constexpr uint32_t kMbIconExclamation = 0x30;
constexpr uint32_t kMbDefButton1 = 0x0;
constexpr int kIdOk = 1;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

class UiApi {
public:
    virtual ~UiApi() = default;
    virtual int MessageBox(const std::wstring& text, const std::wstring& caption, uint32_t style) = 0;
    // Activates the hidden main window so that the popup closes when the user clicks elsewhere.
    virtual void SetForegroundWindow() = 0;
    // Shows the visible children of `popup` at the pointer and returns the item chosen, or null.
    virtual MenuItem* TrackPopupMenu(MenuItem& popup) = 0;
    // Modal input box; nullopt when the user cancels.
    virtual std::optional<std::wstring> InputBox(const std::wstring& prompt, const std::wstring& title,
                                                 const std::wstring& defaultText) = 0;
    // Shows the automatic-logon dialog modally, with no owner; the dialog's controls follow `form`
    // and its handlers run as the user acts. Returns when the dialog has been hidden.
    virtual void ShowAutoLogonDialog(Form2& form) = 0;
    // Ends the process at once; the caller returns straight after in case the platform cannot.
    virtual void EndProgram() = 0;
};

}  // namespace ostrevo
