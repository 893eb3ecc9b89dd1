// The "AutoLogon Details" dialog: the template's controls mirror a Form2 both ways.
#include "platform/win32/autologon_dialog.h"

#include <string>

#include "platform/win32/autologon_resource.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/window_text.h"
#include "platform/win32/work_area.h"

namespace ostrevo {
namespace {

// The password is typed blind, so no input method may show it in a composition window. imm32 is
// looked up at run time: the call is a no-op where no input method exists, and Windows 95/98/ME
// outside East Asia have no imm32 at all.
// Loaded once and kept: the dialog may open many times in a run.
void TurnInputMethodOff(HWND edit) {
    using AssociateContext = HANDLE(WINAPI*)(HWND, HANDLE);
    static const auto associate =
        LookUp<AssociateContext>(::LoadLibraryA("imm32.dll"), "ImmAssociateContext");
    if (associate != nullptr) associate(edit, nullptr);
}

// A template cannot ask for the place the system gives a new window, so a throw-away overlapped
// window asks for it, and the dialog moves there, kept inside that monitor's work area.
void MoveToDefaultPosition(HWND dialog) {
    const HWND probe =
        ::CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    if (probe == nullptr) return;
    RECT where{};
    const BOOL placed = ::GetWindowRect(probe, &where);
    ::DestroyWindow(probe);
    RECT size{};
    if (!placed || !::GetWindowRect(dialog, &size)) return;

    const RECT work = WorkAreaNear(POINT{where.left, where.top}, LookUpMonitorFunctions());
    const LONG width = size.right - size.left;
    const LONG height = size.bottom - size.top;
    LONG x = where.left;
    LONG y = where.top;
    if (x + width > work.right) x = work.right - width;
    if (y + height > work.bottom) y = work.bottom - height;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    ::SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Form2* FormOf(HWND dialog) { return reinterpret_cast<Form2*>(::GetWindowLongPtrA(dialog, DWLP_USER)); }

void MirrorOk(HWND dialog, const Form2& form) {
    ::EnableWindow(::GetDlgItem(dialog, IDOK), form.btnok.Enabled);
}

void Initialise(HWND dialog, Form2& form) {
    MoveToDefaultPosition(dialog);
    ::SetDlgItemTextA(dialog, IDC_USERNAME, AnsiFromWide(form.edtusername.Text()).c_str());
    ::SetDlgItemTextA(dialog, IDC_DOMAIN, AnsiFromWide(form.edtdomain.Text()).c_str());
    ::SetDlgItemTextA(dialog, IDC_PASSWORD, AnsiFromWide(form.edtpassword.Text()).c_str());
    const HWND password = ::GetDlgItem(dialog, IDC_PASSWORD);
    // The common controls 6 edit shows a dot of its own; this program shows '*'.
    ::SendMessageA(password, EM_SETPASSWORDCHAR, '*', 0);
    TurnInputMethodOff(password);
    MirrorOk(dialog, form);
    // The first control of the tab order that can take the focus: OK when enabled, else Cancel.
    const HWND first = ::GetDlgItem(dialog, form.btnok.Enabled ? IDOK : IDCANCEL);
    ::SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
}

void OnEdit(HWND dialog, Form2& form, int id, HWND edit) {
    std::wstring text = WindowText(edit);
    switch (id) {
        case IDC_USERNAME:
            form.edtusername.SetText(text);
            break;
        case IDC_DOMAIN:
            form.edtdomain.SetText(text);
            break;
        case IDC_PASSWORD:
            form.edtpassword.SetText(text);
            WipeText(text);
            break;
        default:
            return;
    }
    MirrorOk(dialog, form);
}

INT_PTR CALLBACK AutoLogonProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        Initialise(dialog, *reinterpret_cast<Form2*>(lParam));
        return FALSE;  // the focus is set already
    }
    Form2* form = FormOf(dialog);
    if (message != WM_COMMAND || form == nullptr) return FALSE;
    const int id = LOWORD(wParam);
    switch (id) {
        case IDOK:
            // However IDOK arrives, a disabled OK confirms nothing.
            if (!form->btnok.Enabled) return TRUE;
            form->btnok_Click();
            ::EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:  // also Esc and the close box
            form->Command2_Click();
            ::EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            if (HIWORD(wParam) != EN_CHANGE) return FALSE;
            OnEdit(dialog, *form, id, reinterpret_cast<HWND>(lParam));
            return TRUE;
    }
}

}  // namespace

void ShowAutoLogonDialog(HINSTANCE instance, Form2& form) {
    ::DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_AUTOLOGON), nullptr, &AutoLogonProc,
                      reinterpret_cast<LPARAM>(&form));
}

}  // namespace ostrevo
