// A real window and the display behind the placement interfaces: pixels become twips at the
// device context's dots per inch, 1440 twips to the inch.
#pragma once
#include "platform/win32/windows_shim.h"
#include "platform/window_api.h"

namespace ostrevo {

class Win32FormWindow : public FormWindow {
public:
    explicit Win32FormWindow(HWND hwnd) : hwnd_(hwnd) {}

    std::optional<int32_t> WindowState() override;
    bool WindowState(int32_t state) override;
    std::optional<double> Left() override;
    std::optional<double> Top() override;
    std::optional<double> Width() override;
    std::optional<double> Height() override;
    bool Move(int32_t left, int32_t top, int32_t width, int32_t height) override;

private:
    // The outer rectangle in pixels: screen coordinates, or the parent's client ones for a child.
    bool OuterRect(RECT* rect) const;
    std::optional<double> ToTwips(LONG pixels, int axisCaps) const;

    HWND hwnd_;
};

class Win32Screen : public ScreenMetrics {
public:
    std::optional<double> Width() override;
    std::optional<double> Height() override;
    std::optional<float> TwipsPerPixelX() override;
    std::optional<float> TwipsPerPixelY() override;
};

}  // namespace ostrevo
