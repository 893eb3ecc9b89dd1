// Window placement in twips over user32 and gdi32.
#include "platform/win32/win32_window.h"

#include <cstdint>
#include <initializer_list>

namespace ostrevo {
namespace {

constexpr int kTwipsPerInch = 1440;

// Dots per inch of a window's device context (the screen's for null); 0 when it cannot be had.
int DotsPerInch(HWND hwnd, int axisCaps) {
    HDC dc = ::GetDC(hwnd);
    if (dc == nullptr) return 0;
    const int dpi = ::GetDeviceCaps(dc, axisCaps);
    ::ReleaseDC(hwnd, dc);
    return dpi;
}

std::optional<float> TwipsPerPixel(int axisCaps) {
    const int dpi = DotsPerInch(nullptr, axisCaps);
    if (dpi <= 0) return std::nullopt;
    return static_cast<float>(static_cast<double>(kTwipsPerInch) / dpi);
}

std::optional<double> ScreenTwips(int metric, int axisCaps) {
    const int pixels = ::GetSystemMetrics(metric);
    const int dpi = DotsPerInch(nullptr, axisCaps);
    if (pixels <= 0 || dpi <= 0) return std::nullopt;
    return static_cast<double>(pixels) * kTwipsPerInch / dpi;
}

bool IsChild(HWND hwnd) { return (::GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) != 0; }

// SetWindowPlacement takes a top-level window's normal rectangle relative to the work area of its
// monitor (unless it is a tool window); MoveWindow takes plain screen coordinates.
POINT WorkspaceOrigin(HWND hwnd) {
    POINT origin{0, 0};
    if (IsChild(hwnd) || (::GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0) return origin;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor)) {
        origin.x = monitor.rcWork.left - monitor.rcMonitor.left;
        origin.y = monitor.rcWork.top - monitor.rcMonitor.top;
    }
    return origin;
}

}  // namespace

std::optional<int32_t> Win32FormWindow::WindowState() {
    if (!::IsWindow(hwnd_)) return std::nullopt;
    if (::IsIconic(hwnd_)) return kWindowStateMinimised;
    if (::IsZoomed(hwnd_)) return kWindowStateMaximised;
    return kWindowStateNormal;
}

bool Win32FormWindow::WindowState(int32_t state) {
    if (!::IsWindow(hwnd_)) return false;
    int command = SW_RESTORE;
    if (state == kWindowStateMinimised) {
        command = SW_MINIMIZE;
    } else if (state == kWindowStateMaximised) {
        command = SW_MAXIMIZE;
    } else if (state != kWindowStateNormal) {
        return false;
    }
    ::ShowWindow(hwnd_, command);  // its result is the earlier visibility, not success
    return true;
}

bool Win32FormWindow::OuterRect(RECT* rect) const {
    if (!::IsWindow(hwnd_) || !::GetWindowRect(hwnd_, rect)) return false;
    if (IsChild(hwnd_))
        ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hwnd_), reinterpret_cast<POINT*>(rect), 2);
    return true;
}

std::optional<double> Win32FormWindow::ToTwips(LONG pixels, int axisCaps) const {
    const int dpi = DotsPerInch(hwnd_, axisCaps);
    if (dpi <= 0) return std::nullopt;
    return static_cast<double>(pixels) * kTwipsPerInch / dpi;
}

std::optional<double> Win32FormWindow::Left() {
    RECT rect;
    if (!OuterRect(&rect)) return std::nullopt;
    return ToTwips(rect.left, LOGPIXELSX);
}

std::optional<double> Win32FormWindow::Top() {
    RECT rect;
    if (!OuterRect(&rect)) return std::nullopt;
    return ToTwips(rect.top, LOGPIXELSY);
}

std::optional<double> Win32FormWindow::Width() {
    RECT rect;
    if (!OuterRect(&rect)) return std::nullopt;
    return ToTwips(rect.right - rect.left, LOGPIXELSX);
}

std::optional<double> Win32FormWindow::Height() {
    RECT rect;
    if (!OuterRect(&rect)) return std::nullopt;
    return ToTwips(rect.bottom - rect.top, LOGPIXELSY);
}

bool Win32FormWindow::Move(int32_t left, int32_t top, int32_t width, int32_t height) {
    if (!::IsWindow(hwnd_)) return false;
    const int dpiX = DotsPerInch(hwnd_, LOGPIXELSX);
    const int dpiY = DotsPerInch(hwnd_, LOGPIXELSY);
    if (dpiX <= 0 || dpiY <= 0) return false;
    // MulDiv rounds and cannot overflow in between; it gives -1 only for a zero divisor.
    const int x = ::MulDiv(left, dpiX, kTwipsPerInch);
    const int y = ::MulDiv(top, dpiY, kTwipsPerInch);
    const int cx = ::MulDiv(width, dpiX, kTwipsPerInch);
    const int cy = ::MulDiv(height, dpiY, kTwipsPerInch);

    if (!::IsIconic(hwnd_) && !::IsZoomed(hwnd_)) return ::MoveWindow(hwnd_, x, y, cx, cy, TRUE) != 0;

    // Moving a minimised or maximised window would undo its state: change where it restores to.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!::GetWindowPlacement(hwnd_, &placement)) return false;
    const POINT origin = WorkspaceOrigin(hwnd_);
    const int64_t normalLeft = static_cast<int64_t>(x) - origin.x;
    const int64_t normalTop = static_cast<int64_t>(y) - origin.y;
    const int64_t normalRight = normalLeft + cx;
    const int64_t normalBottom = normalTop + cy;
    for (int64_t edge : {normalLeft, normalTop, normalRight, normalBottom}) {
        if (edge < INT32_MIN || edge > INT32_MAX) return false;
    }
    placement.rcNormalPosition = RECT{static_cast<LONG>(normalLeft), static_cast<LONG>(normalTop),
                                      static_cast<LONG>(normalRight), static_cast<LONG>(normalBottom)};
    return ::SetWindowPlacement(hwnd_, &placement) != 0;
}

std::optional<double> Win32Screen::Width() { return ScreenTwips(SM_CXSCREEN, LOGPIXELSX); }

std::optional<double> Win32Screen::Height() { return ScreenTwips(SM_CYSCREEN, LOGPIXELSY); }

std::optional<float> Win32Screen::TwipsPerPixelX() { return TwipsPerPixel(LOGPIXELSX); }

std::optional<float> Win32Screen::TwipsPerPixelY() { return TwipsPerPixel(LOGPIXELSY); }

}  // namespace ostrevo
