// <windows.h> for the win32 side, minus the macros that would rename the seam's own methods.
#pragma once
#include <windows.h>

// winuser.h maps MessageBox to MessageBoxA, which would stop UiApi::MessageBox being overridden.
#undef MessageBox

#include "platform/errors.h"

namespace ostrevo {

// The reason for a call that just failed; never 0, so that a failure never reads as success.
inline ErrorCode LastFailure() {
    const DWORD error = ::GetLastError();
    return error != 0 ? error : kErrorNoReason;
}

// A function looked up at run time, for what older systems lack; null where the module has none.
// Through a plain function pointer: a direct cast from FARPROC draws a cast-function-type warning.
template <typename Function>
Function LookUp(HMODULE module, const char* name) {
    if (module == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

}  // namespace ostrevo
