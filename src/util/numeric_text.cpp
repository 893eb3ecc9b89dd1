// Numeric text under the user's locale.
#include "util/numeric_text.h"

#include <cmath>
#include <cstdlib>

namespace ostrevo {
namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

}  // namespace

std::optional<double> ParseNumericText(const std::wstring& text, TextApi& locale) {
    const size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return std::nullopt;
    const std::wstring number = text.substr(first, text.find_last_not_of(L" \t") - first + 1);
    const std::wstring decimal = locale.DecimalSeparator();
    const std::wstring group = locale.GroupSeparator();

    // Rebuilt in the "C" form, which the C library reads the same under any locale the program runs
    // in: it never changes the library's own from "C". Reading past the end gives L'\0', which is
    // none of the characters looked for.
    std::string plain;
    size_t pos = 0;
    const auto at = [&](const std::wstring& part) {
        return !part.empty() && number.compare(pos, part.size(), part) == 0;
    };
    if (number[0] == L'+' || number[0] == L'-') plain += static_cast<char>(number[pos++]);
    bool digits = false;
    bool decimals = false;
    for (;;) {
        if (IsDigit(number[pos])) {
            plain += static_cast<char>(number[pos++]);
            digits = true;
        } else if (!decimals && at(decimal)) {
            plain += '.';
            decimals = true;
            pos += decimal.size();
        } else if (!decimals && digits && at(group)) {
            pos += group.size();
        } else {
            break;
        }
    }
    if (!digits) return std::nullopt;
    if (number[pos] == L'e' || number[pos] == L'E') {
        plain += 'e';
        ++pos;
        if (number[pos] == L'+' || number[pos] == L'-') plain += static_cast<char>(number[pos++]);
        if (!IsDigit(number[pos])) return std::nullopt;
        while (IsDigit(number[pos])) plain += static_cast<char>(number[pos++]);
    }
    if (pos != number.size()) return std::nullopt;

    // The text is known to be a number by now, so the C library's plain conversion will do (its
    // strtod would bring MinGW's own, much larger one). Past the largest double it gives infinity,
    // which is no number here.
    const double value = std::atof(plain.c_str());
    if (!std::isfinite(value)) return std::nullopt;
    return value;
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
