// cIniFile: each read or write is one call of a platform profile function; no handle is kept.
#include "ini/ini_file.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "util/decimal_conversion.h"
#include "util/numeric_text.h"
#include "util/profile_read.h"

namespace ostrevo {
namespace {

// Holds the ANSI form of an optional text so that an unset one can travel as a null pointer.
class AnsiArg {
public:
    AnsiArg(const std::optional<std::wstring>& text, TextApi& codec) {
        if (text) bytes_ = codec.ToAnsi(*text);
    }
    const char* get() const { return bytes_ ? bytes_->c_str() : nullptr; }
    bool TooLong() const { return bytes_ && !FitsProfileCall(*bytes_); }

private:
    std::optional<std::string> bytes_;
};

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
    std::wstring text;
    for (const char c : GeneralFormat(number, 7)) {
        if (c == '.') {
            text += locale.DecimalSeparator();
        } else {
            text += static_cast<wchar_t>(c);
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

std::wstring cIniFile::Read(const std::optional<std::wstring>& section,
                            const std::optional<std::wstring>& key, uint32_t size) const {
    std::string buffer(size, '\0');
    const AnsiArg sectionArg(section, text_), keyArg(key, text_), defaultArg(default_, text_),
        pathArg(path_, text_);
    uint32_t count = 0;
    if (sectionArg.TooLong() || keyArg.TooLong() || pathArg.TooLong()) {
        // No such key can be read: the answer is the default, as for a missing key.
        const std::string fallback =
            defaultArg.TooLong() ? std::string() : std::string(defaultArg.get() ? defaultArg.get() : "");
        count = size == 0 ? 0 : static_cast<uint32_t>(std::min<size_t>(fallback.size(), size - 1));
        buffer.replace(0, count, fallback, 0, count);
    } else {
        count = profile_.GetPrivateProfileStringA(sectionArg.get(), keyArg.get(), defaultArg.get(),
                                                  buffer.data(), size, pathArg.get());
    }
    count = std::min(count, size);
    buffer.resize(count);
    return text_.FromAnsi(buffer);
}

void cIniFile::Write(const std::optional<std::wstring>& key, const std::optional<std::wstring>& text) {
    const AnsiArg sectionArg(section_, text_), keyArg(key, text_), textArg(text, text_),
        pathArg(path_, text_);
    if (sectionArg.TooLong() || keyArg.TooLong() || textArg.TooLong() || pathArg.TooLong()) {
        lastReturnCode_ = 0;
        return;
    }
    lastReturnCode_ =
        profile_.WritePrivateProfileStringA(sectionArg.get(), keyArg.get(), textArg.get(), pathArg.get());
}

std::wstring cIniFile::Value() const { return Read(section_, key_, kValueBufferSize); }

void cIniFile::Value(const std::wstring& sValue) { Write(key_, WithoutNuls(sValue)); }

void cIniFile::DeleteKey() { Write(key_, std::nullopt); }

void cIniFile::DeleteSection() { Write(std::nullopt, std::nullopt); }

std::wstring cIniFile::INISection() const { return Read(section_, std::nullopt, kListBufferSize); }

void cIniFile::INISection(const std::wstring& sSection) { Write(std::nullopt, sSection); }

std::wstring cIniFile::Sections() const { return Read(std::nullopt, std::nullopt, kListBufferSize); }

// The lists are at most 8192 characters, so the count always fits.
void cIniFile::EnumerateCurrentSection(std::vector<std::wstring>& sKey, int32_t& iCount) const {
    sKey = SplitNulList(INISection(), true);
    iCount = static_cast<int32_t>(sKey.size());
}

void cIniFile::EnumerateAllSections(std::vector<std::wstring>& sSections, int32_t& iCount) const {
    sSections = SplitNulList(Sections(), false);
    iCount = static_cast<int32_t>(sSections.size());
}

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
