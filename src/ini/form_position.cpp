// cIniFile's window placement: SaveFormPosition and LoadFormPosition, and the CLngDefault they read
// numbers with. Apart from the rest of the class, so that a program which never calls them (this one)
// links none of it.
#include <cmath>
#include <cstdio>
#include <utility>

#include "ini/ini_file.h"
#include "util/numeric_text.h"

namespace ostrevo {
namespace {

constexpr const wchar_t* kMissingSentinel = L"FAIL";  // never a number, so CLngDefault falls back
constexpr const wchar_t* kMaximisedKey = L"Maximised";
constexpr double kScreenMarginPixels = 4;

// Whole numbers are written without a decimal point; others keep a float's precision and the
// user's decimal separator, so that CLngDefault reads them back under the same locale.
std::wstring DecimalText(double number, TextApi& locale) {
    if (number == 0) number = 0;  // no "-0"
    if (number == std::trunc(number) && std::fabs(number) < 1e15) {
        return IntegerText(static_cast<int64_t>(number));
    }
    char digits[32];
    std::snprintf(digits, sizeof(digits), "%.7g", number);
    std::wstring text;
    for (const char* c = digits; *c != '\0'; ++c) {
        if (*c == '.') {
            text += locale.DecimalSeparator();
        } else {
            text += static_cast<wchar_t>(*c);
        }
    }
    return text;
}

// The 32-bit sum, or nothing when it overflows.
std::optional<int32_t> Add32(int32_t a, int32_t b) {
    const int64_t sum = static_cast<int64_t>(a) + b;
    if (sum < INT32_MIN || sum > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(sum);
}

// A screen value in double, or nothing when the screen failed or gave no finite number.
template <typename Number>
std::optional<double> Finite(std::optional<Number> value) {
    if (!value || !std::isfinite(static_cast<double>(*value))) return std::nullopt;
    return static_cast<double>(*value);
}

// Keeps one edge and its extent inside [margin, limit - margin] of one screen axis, moving the edge
// before shrinking the extent. False on an overflow.
bool FitAxis(int32_t& edge, int32_t& extent, double margin, double limit) {
    if (edge < margin) {
        const std::optional<int32_t> moved = RoundToInt32(margin);
        if (!moved) return false;
        edge = *moved;
    }
    std::optional<int32_t> far = Add32(edge, extent);
    if (!far) return false;
    if (*far <= limit - margin) return true;

    std::optional<int32_t> moved = RoundToInt32(limit - margin - extent);
    if (!moved) return false;
    edge = *moved;
    if (edge < margin) {
        moved = RoundToInt32(margin);
        if (!moved) return false;
        edge = *moved;
    }
    far = Add32(edge, extent);
    if (!far) return false;
    if (*far > limit - margin) {
        const std::optional<int32_t> shrunk = RoundToInt32(limit - edge - margin);
        if (!shrunk) return false;
        extent = *shrunk;
    }
    return true;
}

// Raises a size below the minimum to the minimum. False when the minimum is no 32-bit number.
bool AtLeast(int32_t& size, double minimum) {
    if (size >= minimum) return true;
    const std::optional<int32_t> raised = RoundToInt32(minimum);
    if (!raised) return false;
    size = *raised;
    return true;
}

}  // namespace

void cIniFile::SaveFormPosition(FormWindow& frmThis) {
    const std::optional<std::wstring> savedKey = key_;
    if (!WritePlacement(frmThis)) lastReturnCode_ = 0;
    key_ = savedKey;
}

bool cIniFile::WritePlacement(FormWindow& frmThis) {
    // The state is asked afresh before each decision, as a window may change under us.
    const std::optional<int32_t> state = frmThis.WindowState();
    if (!state) return false;
    if (*state == kWindowStateMinimised) return true;  // a minimised placement is not worth keeping

    key_ = kMaximisedKey;
    const std::optional<int32_t> maximised = frmThis.WindowState();
    if (!maximised) return false;
    Value(*maximised == kWindowStateMaximised ? L"1" : L"0");

    const std::optional<int32_t> stillMaximised = frmThis.WindowState();
    if (!stillMaximised) return false;
    // A maximised window's edges are the screen's; the normal placement saved earlier stays.
    if (*stillMaximised == kWindowStateMaximised) return true;

    using Edge = std::optional<double> (FormWindow::*)();
    const std::pair<const wchar_t*, Edge> edges[] = {{L"Left", &FormWindow::Left},
                                                     {L"Top", &FormWindow::Top},
                                                     {L"Width", &FormWindow::Width},
                                                     {L"Height", &FormWindow::Height}};
    for (const auto& edge : edges) {
        key_ = edge.first;
        const std::optional<double> number = (frmThis.*edge.second)();
        if (!number || !std::isfinite(*number)) return false;
        Value(DecimalText(*number, text_));
    }
    return true;
}

void cIniFile::LoadFormPosition(FormWindow& frmThis, ScreenMetrics& screen, double lMinWidth,
                                double lMinHeight) {
    const std::optional<std::wstring> savedKey = key_;
    const std::optional<std::wstring> savedDefault = default_;
    default_ = kMissingSentinel;
    if (!ApplyPlacement(frmThis, screen, lMinWidth, lMinHeight)) lastReturnCode_ = 0;
    key_ = savedKey;
    default_ = savedDefault;
}

std::optional<int32_t> cIniFile::StoredOr(const wchar_t* key, std::optional<double> (FormWindow::*current)(),
                                          FormWindow& frmThis) {
    key_ = key;
    const std::wstring stored = Value();
    // The window's own value is asked for even when the stored one wins: a window lacking it fails.
    const std::optional<double> own = (frmThis.*current)();
    if (!own) return std::nullopt;
    const std::optional<int32_t> fallback = RoundToInt32(*own);
    if (!fallback) return std::nullopt;
    return CLngDefault(stored, *fallback);
}

bool cIniFile::ApplyPlacement(FormWindow& frmThis, ScreenMetrics& screen, double minWidth, double minHeight) {
    if (!std::isfinite(minWidth) || !std::isfinite(minHeight)) return false;

    const std::optional<int32_t> left = StoredOr(L"Left", &FormWindow::Left, frmThis);
    if (!left) return false;
    const std::optional<int32_t> top = StoredOr(L"Top", &FormWindow::Top, frmThis);
    if (!top) return false;
    std::optional<int32_t> width = StoredOr(L"Width", &FormWindow::Width, frmThis);
    if (!width || !AtLeast(*width, minWidth)) return false;
    std::optional<int32_t> height = StoredOr(L"Height", &FormWindow::Height, frmThis);
    if (!height || !AtLeast(*height, minHeight)) return false;

    const std::optional<double> twipsPerPixelX = Finite(screen.TwipsPerPixelX());
    const std::optional<double> twipsPerPixelY = Finite(screen.TwipsPerPixelY());
    const std::optional<double> screenWidth = Finite(screen.Width());
    const std::optional<double> screenHeight = Finite(screen.Height());
    if (!twipsPerPixelX || !twipsPerPixelY || !screenWidth || !screenHeight) return false;

    int32_t l = *left, t = *top, w = *width, h = *height;
    if (!FitAxis(l, w, kScreenMarginPixels * *twipsPerPixelX, *screenWidth)) return false;
    if (!FitAxis(t, h, kScreenMarginPixels * *twipsPerPixelY, *screenHeight)) return false;

    // A screen too small for the minimum leaves the window where it is rather than cramped.
    if (w >= minWidth && h >= minHeight && !frmThis.Move(l, t, w, h)) return false;

    key_ = kMaximisedKey;
    // After Move, so that the window restores to the placement just given.
    if (CLngDefault(Value(), 0) != 0 && !frmThis.WindowState(kWindowStateMaximised)) return false;
    return true;
}

int32_t cIniFile::CLngDefault(const std::wstring& sString, TextApi& locale, int32_t lDefault) {
    const std::optional<double> number = ParseNumericText(sString, locale);
    if (!number) return lDefault;
    return RoundToInt32(*number).value_or(lDefault);
}

}  // namespace ostrevo
