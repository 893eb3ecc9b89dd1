// <windows.h> for the win32 side, minus the macros that would rename the seam's own methods.
#pragma once
#include <windows.h>

// winuser.h maps MessageBox to MessageBoxA, which would stop UiApi::MessageBox being overridden.
#undef MessageBox
