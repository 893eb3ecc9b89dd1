// Numeric text under the user's locale: what counts as a number, and its 32-bit conversion.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/text_api.h"

namespace ostrevo {

// Blanks around, an optional sign, digits with the locale's group and decimal separators, an
// optional exponent. Nothing else: no letters outside the exponent, no hexadecimal forms.
std::optional<double> ParseNumericText(const std::wstring& text, TextApi& locale);

bool IsNumeric(const std::wstring& text, TextApi& locale);

// Rounds halves to the even neighbour; nullopt when the result is outside the signed 32-bit range.
std::optional<int32_t> RoundToInt32(double number);

// The decimal digits of a whole number, with a minus sign when it is negative.
std::wstring IntegerText(long long number);

}  // namespace ostrevo
