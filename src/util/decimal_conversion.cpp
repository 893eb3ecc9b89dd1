// Exact conversions between numbers and plain decimal text.
#include "util/decimal_conversion.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace ostrevo {
namespace {

static_assert(std::numeric_limits<double>::is_iec559, "the bit layout below is IEEE 754 binary64");

constexpr uint64_t kImplicitBit = uint64_t{1} << 52;
constexpr uint64_t kFractionMask = kImplicitBit - 1;
constexpr uint64_t kSignBit = uint64_t{1} << 63;
constexpr uint64_t kInfinityBits = uint64_t{0x7FF} << 52;

// Every halfway point between two doubles has at most 767 significant digits, so digits past these
// can only tell "more than what is kept", which one extra non-zero digit says as well.
constexpr size_t kMaxSignificantDigits = 780;

// An unsigned integer of any size: just what exact rounding needs, nothing faster.
class BigNat {
public:
    explicit BigNat(uint64_t value = 0) {
        for (; value != 0; value >>= 32) limbs_.push_back(static_cast<uint32_t>(value));
    }

    bool IsZero() const { return limbs_.empty(); }

    int BitLength() const {
        if (limbs_.empty()) return 0;
        int bits = static_cast<int>(limbs_.size() - 1) * 32;
        for (uint32_t top = limbs_.back(); top != 0; top >>= 1) ++bits;
        return bits;
    }

    void MultiplyAdd(uint32_t factor, uint32_t addend) {
        uint64_t carry = addend;
        for (uint32_t& limb : limbs_) {
            const uint64_t product = uint64_t{limb} * factor + carry;
            limb = static_cast<uint32_t>(product);
            carry = product >> 32;
        }
        if (carry != 0) limbs_.push_back(static_cast<uint32_t>(carry));
        Trim();
    }

    void ShiftLeft(int bits) {
        if (limbs_.empty() || bits <= 0) return;
        const int limbShift = bits / 32;
        const int bitShift = bits % 32;
        if (bitShift != 0) {
            uint32_t carry = 0;
            for (uint32_t& limb : limbs_) {
                const uint32_t next = limb >> (32 - bitShift);
                limb = (limb << bitShift) | carry;
                carry = next;
            }
            if (carry != 0) limbs_.push_back(carry);
        }
        limbs_.insert(limbs_.begin(), static_cast<size_t>(limbShift), 0);
    }

    void MultiplyPow10(int64_t count) {
        constexpr uint32_t kPow5Of13 = 1220703125;  // the largest power of five in 32 bits
        int64_t left = count;
        for (; left >= 13; left -= 13) MultiplyAdd(kPow5Of13, 0);
        uint32_t rest = 1;
        for (; left > 0; --left) rest *= 5;
        MultiplyAdd(rest, 0);
        ShiftLeft(static_cast<int>(count));
    }

    // this -= other; other must not be larger.
    void Subtract(const BigNat& other) {
        int64_t borrow = 0;
        for (size_t i = 0; i < limbs_.size(); ++i) {
            int64_t difference =
                int64_t{limbs_[i]} - borrow - (i < other.limbs_.size() ? other.limbs_[i] : 0);
            borrow = difference < 0 ? 1 : 0;
            if (difference < 0) difference += int64_t{1} << 32;
            limbs_[i] = static_cast<uint32_t>(difference);
        }
        Trim();
    }

    friend int Compare(const BigNat& a, const BigNat& b) {
        if (a.limbs_.size() != b.limbs_.size()) return a.limbs_.size() < b.limbs_.size() ? -1 : 1;
        for (size_t i = a.limbs_.size(); i-- > 0;) {
            if (a.limbs_[i] != b.limbs_[i]) return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
        }
        return 0;
    }

private:
    void Trim() {
        while (!limbs_.empty() && limbs_.back() == 0) limbs_.pop_back();
    }

    std::vector<uint32_t> limbs_;  // least significant first
};

// The quotient of remainder / divisor, which the caller knows to fit in 63 bits; remainder keeps
// what is left over.
uint64_t Divide(BigNat& remainder, const BigNat& divisor) {
    const int width = std::max(0, remainder.BitLength() - divisor.BitLength() + 1);
    uint64_t quotient = 0;
    for (int bit = std::min(width, 63); bit-- > 0;) {
        BigNat shifted = divisor;
        shifted.ShiftLeft(bit);
        if (Compare(remainder, shifted) >= 0) {
            remainder.Subtract(shifted);
            quotient |= uint64_t{1} << bit;
        }
    }
    return quotient;
}

int BitLength(uint64_t value) {
    int bits = 0;
    for (; value != 0; value >>= 1) ++bits;
    return bits;
}

uint64_t Pow10(int count) {
    uint64_t power = 1;
    for (int i = 0; i < count; ++i) power *= 10;
    return power;
}

std::string DigitsOf(uint64_t value) {
    char digits[20];
    size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    std::string text;
    while (count > 0) text += digits[--count];
    return text;
}

double FromBits(uint64_t bits) {
    double number;
    std::memcpy(&number, &bits, sizeof number);
    return number;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The double nearest to digits * 10^exponent (digits without leading or trailing zeros, at most
// kMaxSignificantDigits + 1 of them), or its bits.
uint64_t NearestDoubleBits(const std::string& digits, int64_t exponent) {
    const int64_t count = static_cast<int64_t>(digits.size());
    // Cheap bounds first, so that the powers of ten below stay a few hundred digits long:
    // 1e310 is past the largest double and 1e-325 below half the smallest.
    if (count + exponent > 310) return kInfinityBits;
    if (count + exponent < -324) return 0;

    BigNat numerator, denominator(1);
    for (size_t i = 0; i < digits.size(); i += 9) {
        const size_t length = std::min<size_t>(9, digits.size() - i);
        uint32_t chunk = 0;
        for (size_t j = i; j < i + length; ++j) chunk = chunk * 10 + static_cast<uint32_t>(digits[j] - '0');
        numerator.MultiplyAdd(static_cast<uint32_t>(Pow10(static_cast<int>(length))), chunk);
    }
    if (exponent >= 0) {
        numerator.MultiplyPow10(exponent);
    } else {
        denominator.MultiplyPow10(-exponent);
    }

    // Scaled so that the quotient has 55 or 56 bits: a double's 53, a rounding bit and more,
    // with whatever remains standing for the bits beyond.
    const int shift = 55 - (numerator.BitLength() - denominator.BitLength());
    if (shift > 0) {
        numerator.ShiftLeft(shift);
    } else {
        denominator.ShiftLeft(-shift);
    }
    const uint64_t quotient = Divide(numerator, denominator);
    const bool inexact = !numerator.IsZero();

    const int length = BitLength(quotient);
    int binaryExponent = length - 1 - shift;
    // Below the normal range the last mantissa bit is 2^-1074, so fewer bits are left.
    const int precision = binaryExponent >= -1022 ? 53 : binaryExponent + 1075;
    if (precision < 0) return 0;
    const int dropped = length - precision;
    uint64_t mantissa = quotient >> dropped;
    const uint64_t rest = quotient & ((uint64_t{1} << dropped) - 1);
    const uint64_t half = uint64_t{1} << (dropped - 1);
    if (rest > half || (rest == half && (inexact || (mantissa & 1) != 0))) ++mantissa;

    if (binaryExponent < -1022) return mantissa;  // a carry into bit 52 is the smallest normal number
    if (mantissa == (kImplicitBit << 1)) {
        mantissa >>= 1;
        ++binaryExponent;
    }
    if (binaryExponent > 1023) return kInfinityBits;
    return (static_cast<uint64_t>(binaryExponent + 1023) << 52) | (mantissa & kFractionMask);
}

}  // namespace

std::wstring IntegerText(int64_t number) {
    const uint64_t magnitude = number < 0 ? 0 - static_cast<uint64_t>(number) : static_cast<uint64_t>(number);
    const std::string digits = DigitsOf(magnitude);
    std::wstring text = number < 0 ? L"-" : L"";
    text.append(digits.begin(), digits.end());
    return text;
}

std::optional<double> ParseDecimal(const std::string& text) {
    size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';

    std::string digits;  // without leading zeros
    int64_t exponent = 0;
    size_t mantissaDigits = 0;
    bool seenPoint = false;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (IsDigit(c)) {
            ++mantissaDigits;
            if (seenPoint) --exponent;
            if (!digits.empty() || c != '0') digits += c;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0) return std::nullopt;

    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        bool negativeExponent = false;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
            negativeExponent = text[pos++] == '-';
        int64_t written = 0;
        size_t exponentDigits = 0;
        for (; pos < text.size() && IsDigit(text[pos]); ++pos, ++exponentDigits) {
            // Far past any double's range the exact figure no longer matters.
            if (written < 100000000) written = written * 10 + (text[pos] - '0');
        }
        if (exponentDigits == 0) return std::nullopt;
        exponent += negativeExponent ? -written : written;
    }
    if (pos != text.size()) return std::nullopt;

    while (!digits.empty() && digits.back() == '0') {
        digits.pop_back();
        ++exponent;
    }
    uint64_t bits = 0;
    if (!digits.empty()) {
        if (digits.size() > kMaxSignificantDigits) {
            // The last digit is not zero, so what is cut off is more than nothing.
            exponent += static_cast<int64_t>(digits.size() - kMaxSignificantDigits) - 1;
            digits.resize(kMaxSignificantDigits);
            digits += '1';
        }
        bits = NearestDoubleBits(digits, exponent);
    }
    return FromBits(negative ? bits | kSignBit : bits);
}

std::string GeneralFormat(double number, int significantDigits) {
    const int precision = std::min(std::max(significantDigits, 1), 17);
    uint64_t bits;
    std::memcpy(&bits, &number, sizeof bits);
    std::string text = (bits & kSignBit) != 0 ? "-" : "";

    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    uint64_t mantissa = bits & kFractionMask;
    if (biased == 0x7FF) return text + (mantissa != 0 ? "nan" : "inf");
    if (biased == 0 && mantissa == 0) return text + "0";
    int binaryExponent = -1074;
    if (biased != 0) {
        mantissa |= kImplicitBit;
        binaryExponent = biased - 1075;
    }

    BigNat value(mantissa), unit(1);
    if (binaryExponent >= 0) {
        value.ShiftLeft(binaryExponent);
    } else {
        unit.ShiftLeft(-binaryExponent);
    }

    // A first guess from the binary exponent, off by one at most, then put right exactly.
    const int topBit = BitLength(mantissa) - 1 + binaryExponent;
    int exponent = static_cast<int>(std::floor(topBit * 0.30102999566398120));
    const uint64_t lowest = Pow10(precision - 1);
    const uint64_t limit = Pow10(precision);
    uint64_t significand = 0;
    BigNat remainder, divisor;
    for (;;) {
        remainder = value;
        divisor = unit;
        const int scale = exponent - precision + 1;
        if (scale >= 0) {
            divisor.MultiplyPow10(scale);
        } else {
            remainder.MultiplyPow10(-scale);
        }
        significand = Divide(remainder, divisor);
        if (significand >= limit) {
            ++exponent;
        } else if (significand < lowest) {
            --exponent;
        } else {
            break;
        }
    }
    remainder.ShiftLeft(1);
    const int againstHalf = Compare(remainder, divisor);
    if (againstHalf > 0 || (againstHalf == 0 && (significand & 1) != 0)) ++significand;
    if (significand == limit) {
        significand = lowest;
        ++exponent;
    }

    std::string digits = DigitsOf(significand);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    if (exponent < -4 || exponent >= precision) {
        text += digits[0];
        if (digits.size() > 1) text += '.' + digits.substr(1);
        text += exponent < 0 ? "e-" : "e+";
        const std::string written = DigitsOf(static_cast<uint64_t>(exponent < 0 ? -exponent : exponent));
        if (written.size() < 2) text += '0';
        return text + written;
    }
    if (exponent < 0) return text + "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    const size_t whole = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= whole) return text + digits + std::string(whole - digits.size(), '0');
    return text + digits.substr(0, whole) + '.' + digits.substr(whole);
}

}  // namespace ostrevo
