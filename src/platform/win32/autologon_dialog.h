// The real "AutoLogon Details" dialog over the IDD_AUTOLOGON template, driven by a Form2.
#pragma once
#include "autologon/form2.h"
#include "platform/win32/windows_shim.h"

namespace ostrevo {

// Modal and without an owner. The controls start from the form's texts; every edit goes through
// the form's setters, so its change handlers decide OK's state; OK and Cancel (Esc, the close box)
// run the form's click handlers before the dialog ends. A dialog that cannot be shown leaves the
// form's result text empty.
void ShowAutoLogonDialog(HINSTANCE instance, Form2& form);

}  // namespace ostrevo
