// DecimalConversion: the hand-made conversions against the C library's own, which round exactly.
#include "util/decimal_conversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

namespace ostrevo {
namespace {

uint64_t BitsOf(double number) {
    uint64_t bits;
    std::memcpy(&bits, &number, sizeof bits);
    return bits;
}

// Bit for bit, so that a wrong last bit or a lost sign of zero shows.
void ExpectParsedAsStrtod(const std::string& text) {
    const std::optional<double> parsed = ParseDecimal(text);
    ASSERT_TRUE(parsed.has_value()) << text;
    EXPECT_EQ(BitsOf(*parsed), BitsOf(std::strtod(text.c_str(), nullptr))) << text;
}

std::string Printf(double number, int digits) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*g", digits, number);
    return text;
}

TEST(IntegerTextTest, WritesEveryDigitAndTheSign) {
    EXPECT_EQ(IntegerText(0), L"0");
    EXPECT_EQ(IntegerText(7), L"7");
    EXPECT_EQ(IntegerText(-60), L"-60");
    EXPECT_EQ(IntegerText(4294967295), L"4294967295");
    EXPECT_EQ(IntegerText(-2147483648), L"-2147483648");
    EXPECT_EQ(IntegerText(std::numeric_limits<int64_t>::min()), L"-9223372036854775808");
    EXPECT_EQ(IntegerText(std::numeric_limits<int64_t>::max()), L"9223372036854775807");
}

TEST(ParseDecimalTest, AcceptsOnlyThePlainForm) {
    for (const char* text : {"0", "5.", ".5", "-.5e3", "+1.5E+3", "007", "1e-0", "-0"})
        ExpectParsedAsStrtod(text);
    for (const char* text : {"", "+", "-", ".", "e5", "1e", "1e+", "1x", " 1", "1 ", "0x10", "inf", "nan",
                             "1..2", "1.2.3", "--1", "1e5.5"}) {
        EXPECT_FALSE(ParseDecimal(text).has_value()) << text;
    }
}

TEST(ParseDecimalTest, RoundsTiesAndNearTiesAsStrtod) {
    for (const char* text : {"9007199254740993",                         // 2^53 + 1: a tie, down to even
                             "9007199254740995",                         // 2^53 + 3: a tie, up to even
                             "9007199254740993.0000000000000000000001",  // just past the tie
                             "0.1",
                             "2.5",
                             "0.30000000000000004",
                             "123456789012345678901234567890",
                             "2.2250738585072011e-308",
                             "2.2250738585072012e-308",  // either side of the smallest normal
                             "4.9406564584124654e-324",  // the smallest subnormal
                             "2.4703282292062327e-324",
                             "2.4703282292062328e-324",  // either side of half of it
                             "1.7976931348623157e308",
                             "1.7976931348623158e308",
                             "1.7976931348623159e308",
                             "1e309",
                             "1e-400",
                             "0e999999999",
                             "1e999999999",
                             "-1e-999999999",
                             "0.000000000000000000000000000000000000000000001e45"}) {
        ExpectParsedAsStrtod(text);
    }
}

TEST(ParseDecimalTest, ReadsDigitsBeyondTheKeptOnes) {
    // Half of the smallest subnormal written out in full (2^-1075): a tie that goes down to zero,
    // while one more non-zero digit hundreds of places on must go up.
    const std::string half =
        "2.47032822920623272088284396434110686182529901307162382212792841250337753635104375932649918180817996"
        "1898982823477228588654633283551779698981993873980053909390631503565951557022639229085839244910518443"
        "5931802849936536152500319370457678249219365623669863658480757001585769269903706311928279558551332927"
        "8343384093519780155312465972635795746227664652728272200563740064854999770965994704540208281662262378"
        "5739345073633900796776193057750674017632467360096895134053553745851666113422376667860416215968046191"
        "4467291840300530057530849048765391711386591646239524912623653881879636239373280423891018672348497668"
        "2350898633885879256283027559956575244555072551893136908362547791869486679949683240497058210285131854"
        "51396213837722826145437693412532098591327667236328125e-324";
    ExpectParsedAsStrtod(half);
    ExpectParsedAsStrtod(half.substr(0, half.size() - 5) + std::string(300, '0') + "1e-324");
    ExpectParsedAsStrtod("1" + std::string(2000, '0') + "e-2000");
    ExpectParsedAsStrtod("0." + std::string(1000, '0') + "1e1000");
}

TEST(ParseDecimalTest, AgreesWithStrtodOnRandomNumbers) {
    std::mt19937_64 random(20240611);
    for (int i = 0; i < 20000; ++i) {
        std::string text = random() % 2 ? "-" : "";
        const int digits = 1 + static_cast<int>(random() % 40);
        const int point = static_cast<int>(random() % (digits + 1));
        for (int d = 0; d < digits; ++d) {
            if (d == point) text += '.';
            text += static_cast<char>('0' + random() % 10);
        }
        text += 'e' + std::to_string(static_cast<int>(random() % 700) - 350);
        ExpectParsedAsStrtod(text);
    }
}

TEST(GeneralFormatTest, MatchesPrintfOnEdgeCases) {
    const double cases[] = {0.0,
                            -0.0,
                            0.1,
                            -2.5,
                            1234567.5,  // ties at the seventh digit: to even
                            1234568.5,
                            9999999.5,  // rounds up into one more digit
                            12345678.9,
                            0.0001234567,
                            0.00001,
                            1e15,
                            123456.7,
                            std::numeric_limits<double>::max(),
                            std::numeric_limits<double>::min(),
                            std::numeric_limits<double>::denorm_min(),
                            5e-324 * 3};
    for (const double number : cases) {
        for (int digits = 1; digits <= 17; ++digits) {
            EXPECT_EQ(GeneralFormat(number, digits), Printf(number, digits)) << number << " to " << digits;
        }
    }
}

TEST(GeneralFormatTest, MatchesPrintfOnRandomNumbers) {
    std::mt19937_64 random(42);
    for (int i = 0; i < 20000; ++i) {
        const uint64_t bits = random();
        double number;
        std::memcpy(&number, &bits, sizeof number);
        if (!std::isfinite(number)) continue;
        const int digits = 1 + static_cast<int>(random() % 17);
        ASSERT_EQ(GeneralFormat(number, digits), Printf(number, digits)) << bits;
    }
    // Numbers of the size a window's placement has, where the fixed form is used.
    for (int i = 0; i < 20000; ++i) {
        const double number = static_cast<double>(static_cast<int64_t>(random() % 2000000) - 1000000) / 64 +
                              static_cast<double>(random() % 1000) / 1000;
        ASSERT_EQ(GeneralFormat(number, 7), Printf(number, 7)) << number;
    }
}

}  // namespace
}  // namespace ostrevo
