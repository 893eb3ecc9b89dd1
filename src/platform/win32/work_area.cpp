// The monitor functions are looked up rather than imported, so that the exe still loads where
// user32 lacks them.
#include "platform/win32/work_area.h"

namespace ostrevo {
namespace {

RECT PrimaryWorkArea() {
    RECT work{};
    if (::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0) && work.right > work.left &&
        work.bottom > work.top) {
        return work;
    }
    return RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

}  // namespace

MonitorFunctions LookUpMonitorFunctions() {
    MonitorFunctions functions;
    const HMODULE user32 = ::GetModuleHandleA("user32.dll");
    functions.monitorFromPoint = LookUp<decltype(functions.monitorFromPoint)>(user32, "MonitorFromPoint");
    // MONITORINFO has no text, so the ANSI form answers exactly as the wide one.
    functions.getMonitorInfo = LookUp<decltype(functions.getMonitorInfo)>(user32, "GetMonitorInfoA");
    return functions;
}

RECT WorkAreaNear(POINT point, const MonitorFunctions& monitors) {
    if (monitors.monitorFromPoint == nullptr || monitors.getMonitorInfo == nullptr) return PrimaryWorkArea();
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    const HMONITOR nearest = monitors.monitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
    if (nearest == nullptr || !monitors.getMonitorInfo(nearest, &monitor)) return PrimaryWorkArea();
    return monitor.rcWork;
}

}  // namespace ostrevo
