// Exact conversions between numbers and plain decimal text, done here rather than by the C runtime:
// MinGW's own printf and strtod, linked statically, would make up a good part of the program.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace ostrevo {

// The decimal digits of a whole number, with a minus sign when it is negative.
std::wstring IntegerText(int64_t number);

// The double nearest to "[+-]digits[.digits][(e|E)[+-]digits]" (at least one mantissa digit), ties
// to even, as strtod rounds: infinity past the largest double, zero below the smallest. Nothing
// for any other text, blanks and hexadecimal forms included.
std::optional<double> ParseDecimal(const std::string& text);

// printf's "%.<significantDigits>g" of a finite number (the digit count taken within 1..17), rounded
// to even on an exact tie and with at least two exponent digits, as the C99 printf writes it.
std::string GeneralFormat(double number, int significantDigits);

}  // namespace ostrevo
