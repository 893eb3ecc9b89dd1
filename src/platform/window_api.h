// A window's placement and the screen it sits on, in twips, as cIniFile saves and restores them.
#pragma once
#include <cstdint>
#include <optional>

namespace ostrevo {

constexpr int32_t kWindowStateNormal = 0;
constexpr int32_t kWindowStateMinimised = 1;
constexpr int32_t kWindowStateMaximised = 2;

// Not every window offers every member: a read that gives nullopt or a change that gives false means
// the window lacks it (or cannot serve it now), and the placement methods give up cleanly.
class FormWindow {
public:
    virtual ~FormWindow() = default;
    virtual std::optional<int32_t> WindowState() = 0;
    virtual bool WindowState(int32_t state) = 0;
    // Outer edges and size, in twips.
    virtual std::optional<double> Left() = 0;
    virtual std::optional<double> Top() = 0;
    virtual std::optional<double> Width() = 0;
    virtual std::optional<double> Height() = 0;
    virtual bool Move(int32_t left, int32_t top, int32_t width, int32_t height) = 0;
};

// nullopt: the screen could not be asked.
class ScreenMetrics {
public:
    virtual ~ScreenMetrics() = default;
    virtual std::optional<double> Width() = 0;  // twips
    virtual std::optional<double> Height() = 0;
    virtual std::optional<float> TwipsPerPixelX() = 0;
    virtual std::optional<float> TwipsPerPixelY() = 0;
};

}  // namespace ostrevo
