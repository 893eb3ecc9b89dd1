// The modal input box over the IDD_INPUTBOX template: the texts ride in, the typed text rides out.
#include "platform/win32/input_box.h"

#include "platform/win32/inputbox_resource.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/window_text.h"

namespace ostrevo {
namespace {

struct InputBoxData {
    const std::wstring& prompt;
    const std::wstring& title;
    const std::wstring& defaultText;
    std::wstring typed;
};

void Initialise(HWND dialog, const InputBoxData& data) {
    ::SetWindowTextA(dialog, AnsiFromWide(data.title).c_str());
    ::SetDlgItemTextA(dialog, IDC_INPUTBOX_PROMPT, AnsiFromWide(data.prompt).c_str());
    const HWND edit = ::GetDlgItem(dialog, IDC_INPUTBOX_TEXT);
    ::SetWindowTextA(edit, AnsiFromWide(data.defaultText).c_str());
    // Selected, so that typing replaces the suggestion.
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
    ::SetFocus(edit);
}

INT_PTR CALLBACK InputBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            Initialise(dialog, *reinterpret_cast<const InputBoxData*>(lParam));
            return FALSE;  // the focus is set already
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK: {
                    auto* data = reinterpret_cast<InputBoxData*>(::GetWindowLongPtrA(dialog, DWLP_USER));
                    if (data != nullptr) data->typed = WindowText(::GetDlgItem(dialog, IDC_INPUTBOX_TEXT));
                    ::EndDialog(dialog, IDOK);
                    return TRUE;
                }
                case IDCANCEL:  // also Esc and the close box
                    ::EndDialog(dialog, IDCANCEL);
                    return TRUE;
                default:
                    return FALSE;
            }
        default:
            return FALSE;
    }
}

}  // namespace

std::optional<std::wstring> ShowInputBox(HINSTANCE instance, HWND owner, const std::wstring& prompt,
                                         const std::wstring& title, const std::wstring& defaultText) {
    InputBoxData data{prompt, title, defaultText, std::wstring()};
    const INT_PTR result = ::DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_INPUTBOX), owner, &InputBoxProc,
                                             reinterpret_cast<LPARAM>(&data));
    if (result != IDOK) return std::nullopt;
    return data.typed;
}

}  // namespace ostrevo
