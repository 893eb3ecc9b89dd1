// Numeric text under the user's locale.
#include "util/numeric_text.h"

#include <cmath>
#include <cstdlib>

namespace ostrevo {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

bool StartsWithAt(const std::wstring& text, size_t pos, const std::wstring& part) {
    return !part.empty() && text.compare(pos, part.size(), part) == 0;
}

}  // namespace

std::optional<double> ParseNumericText(const std::wstring& text, TextApi& locale) {
    const std::wstring decimal = locale.DecimalSeparator();
    const std::wstring group = locale.GroupSeparator();

    size_t pos = 0;
    size_t end = text.size();
    while (pos < end && IsBlank(text[pos])) ++pos;
    while (end > pos && IsBlank(text[end - 1])) --end;

    // Rebuilt in the "C" form, which the C library reads the same under any locale the program runs
    // in: it never changes the library's own from "C".
    std::string plain;
    if (pos < end && (text[pos] == L'+' || text[pos] == L'-')) plain += static_cast<char>(text[pos++]);

    size_t digits = 0;
    bool seenDecimal = false;
    while (pos < end) {
        const wchar_t c = text[pos];
        if (IsDigit(c)) {
            plain += static_cast<char>(c);
            ++digits;
            ++pos;
        } else if (!seenDecimal && StartsWithAt(text, pos, decimal)) {
            plain += '.';
            seenDecimal = true;
            pos += decimal.size();
        } else if (!seenDecimal && digits > 0 && StartsWithAt(text, pos, group)) {
            pos += group.size();
        } else {
            break;
        }
    }
    if (digits == 0) return std::nullopt;

    if (pos < end && (text[pos] == L'e' || text[pos] == L'E')) {
        plain += 'e';
        ++pos;
        if (pos < end && (text[pos] == L'+' || text[pos] == L'-')) plain += static_cast<char>(text[pos++]);
        size_t exponentDigits = 0;
        while (pos < end && IsDigit(text[pos])) {
            plain += static_cast<char>(text[pos++]);
            ++exponentDigits;
        }
        if (exponentDigits == 0) return std::nullopt;
    }
    if (pos != end) return std::nullopt;

    // The text is known to be a number by now, so the C library's plain conversion will do (its
    // strtod would bring MinGW's own, much larger one). Past the largest double it gives infinity,
    // which is no number here.
    const double number = std::atof(plain.c_str());
    if (!std::isfinite(number)) return std::nullopt;
    return number;
}

bool IsNumeric(const std::wstring& text, TextApi& locale) {
    return ParseNumericText(text, locale).has_value();
}

std::optional<int32_t> RoundToInt32(double number) {
    if (!std::isfinite(number)) return std::nullopt;
    const double rounded = std::nearbyint(number);  // the default rounding mode: halves to even
    if (rounded < -2147483648.0 || rounded > 2147483647.0) return std::nullopt;
    return static_cast<int32_t>(rounded);
}

std::wstring IntegerText(long long number) {
    const std::string digits = std::to_string(number);
    return std::wstring(digits.begin(), digits.end());
}

}  // namespace ostrevo
