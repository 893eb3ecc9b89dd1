// A window and a screen for tests: every member can be set, taken away (nullopt / false) or made
// non-finite, and every use is recorded in order.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/window_api.h"

namespace ostrevo {

class SimFormWindow : public FormWindow {
public:
    std::optional<int32_t> WindowState() override;
    bool WindowState(int32_t state) override;
    std::optional<double> Left() override;
    std::optional<double> Top() override;
    std::optional<double> Width() override;
    std::optional<double> Height() override;
    bool Move(int32_t left, int32_t top, int32_t width, int32_t height) override;

    // The window's members; nullopt (or false for the two changes) is a window without that member.
    std::optional<int32_t> windowState = kWindowStateNormal;
    std::optional<double> left = 1200;
    std::optional<double> top = 900;
    std::optional<double> width = 6000;
    std::optional<double> height = 4500;
    bool canSetWindowState = true;
    bool canMove = true;

    // "WindowState", "Left", ..., "Move 60 60 3000 3000", "WindowState=2"; failed uses too.
    std::vector<std::string> calls;
    int moves = 0;
};

// 1024 x 768 pixels at 96 dots per inch unless a test says otherwise.
class SimScreen : public ScreenMetrics {
public:
    std::optional<double> Width() override;
    std::optional<double> Height() override;
    std::optional<float> TwipsPerPixelX() override;
    std::optional<float> TwipsPerPixelY() override;

    std::optional<double> width = 15360;
    std::optional<double> height = 11520;
    std::optional<float> twipsPerPixelX = 15.0f;
    std::optional<float> twipsPerPixelY = 15.0f;
    bool fail = false;  // every query fails, as when the display cannot be reached
    int queries = 0;
};

}  // namespace ostrevo
