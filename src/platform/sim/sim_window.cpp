// The test window and screen: plain members behind the placement interfaces.
#include "platform/sim/sim_window.h"

namespace ostrevo {

std::optional<int32_t> SimFormWindow::WindowState() {
    calls.push_back("WindowState");
    return windowState;
}

bool SimFormWindow::WindowState(int32_t state) {
    calls.push_back("WindowState=" + std::to_string(state));
    if (!canSetWindowState) return false;
    windowState = state;
    return true;
}

std::optional<double> SimFormWindow::Left() {
    calls.push_back("Left");
    return left;
}

std::optional<double> SimFormWindow::Top() {
    calls.push_back("Top");
    return top;
}

std::optional<double> SimFormWindow::Width() {
    calls.push_back("Width");
    return width;
}

std::optional<double> SimFormWindow::Height() {
    calls.push_back("Height");
    return height;
}

bool SimFormWindow::Move(int32_t newLeft, int32_t newTop, int32_t newWidth, int32_t newHeight) {
    calls.push_back("Move " + std::to_string(newLeft) + " " + std::to_string(newTop) + " " +
                    std::to_string(newWidth) + " " + std::to_string(newHeight));
    if (!canMove) return false;
    ++moves;
    left = newLeft;
    top = newTop;
    width = newWidth;
    height = newHeight;
    return true;
}

std::optional<double> SimScreen::Width() {
    ++queries;
    return fail ? std::nullopt : width;
}

std::optional<double> SimScreen::Height() {
    ++queries;
    return fail ? std::nullopt : height;
}

std::optional<float> SimScreen::TwipsPerPixelX() {
    ++queries;
    return fail ? std::nullopt : twipsPerPixelX;
}

std::optional<float> SimScreen::TwipsPerPixelY() {
    ++queries;
    return fail ? std::nullopt : twipsPerPixelY;
}

}  // namespace ostrevo
