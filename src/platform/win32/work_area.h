// The part of the screen a window is kept inside: the work area of the monitor nearest a point, or,
// on systems without the monitor functions, that of the one screen.
#pragma once
#include "platform/win32/windows_shim.h"

namespace ostrevo {

// user32 has these from Windows 98 and 2000 on; on Windows 95 and NT 4 both stay null.
struct MonitorFunctions {
    HMONITOR(WINAPI* monitorFromPoint)(POINT, DWORD) = nullptr;
    BOOL(WINAPI* getMonitorInfo)(HMONITOR, MONITORINFO*) = nullptr;
};

MonitorFunctions LookUpMonitorFunctions();

RECT WorkAreaNear(POINT point, const MonitorFunctions& monitors);

}  // namespace ostrevo
