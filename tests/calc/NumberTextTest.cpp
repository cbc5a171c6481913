#include "calc/GearCalc.h"

#include "support/LongTexts.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <ostream>
#include <string>

namespace pedalwise::calc {
namespace {

// A text and what it reads as; `label` names texts too long or too blank to print.
struct Reading {
    std::string label;
    std::string text;
    double value;
};

void PrintTo(const Reading& row, std::ostream* out) {
    *out << row.label;
}

Reading plain(const std::string& text, double value) {
    return {'"' + text + '"', text, value};
}

class ReadsAs : public ::testing::TestWithParam<Reading> {};

TEST_P(ReadsAs, theNumberAtTheStartOfTheText) {
    EXPECT_EQ(ParseNumber(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Decimal, ReadsAs,
                         ::testing::Values(plain("52", 52), plain("  52  ", 52), plain("5 2", 52),
                                           plain("52T", 52), plain("26in", 26), plain("26.5", 26.5),
                                           plain("26,5", 26), plain("-52", -52), plain("+52", 52),
                                           plain(".5", 0.5), plain("1E3", 1000),
                                           plain("1.5e-2", 0.015), plain("1.2.3", 1.2),
                                           plain("1e5.5", 1e5), plain("1E+0003", 1000),
                                           plain("1e0000000000000000000000002", 100),
                                           plain("007", 7), plain("52.", 52)));

INSTANTIATE_TEST_SUITE_P(NoNumberReadsZero, ReadsAs,
                         ::testing::Values(plain("", 0), plain("abc", 0), plain("T52", 0),
                                           plain(".", 0), plain("-", 0), plain("+.e5", 0),
                                           plain("e5", 0), plain("+-52", 0),
                                           Reading{"CR before 52", "\r52", 0}));

INSTANTIATE_TEST_SUITE_P(IncompleteExponentIsNotRead, ReadsAs,
                         ::testing::Values(plain("1e", 1), plain("1e+", 1), plain("1E-x", 1),
                                           plain("2.5Ex3", 2.5)));

INSTANTIATE_TEST_SUITE_P(BlanksTabsAndLineFeedsAnywhere, ReadsAs,
                         ::testing::Values(Reading{"tab, LF and blanks inside", "\t-\n5 2 . 5",
                                                   -52.5},
                                           Reading{"blank after the sign", "- 52", -52},
                                           Reading{"blank inside the exponent", "1 E - 2", 0.01},
                                           Reading{"blanks inside &H", " & H 3 4", 52}));

INSTANTIATE_TEST_SUITE_P(
    HexAndOctal, ReadsAs,
    ::testing::Values(plain("&H34", 52), plain("&h1a", 26), plain("&O64", 52), plain("&o17", 15),
                      plain("&HFFFF", -1), plain("&H8000", -32768), plain("&H7FFF", 32767),
                      plain("&H10000", 65536), plain("&H7FFFFFFF", 2147483647),
                      plain("&H80000000", -2147483648.0), plain("&hFFFFFFFF", -1),
                      plain("&O177777", -1), plain("&O200000", 65536), plain("&O78", 7),
                      plain("&H", 0), plain("&HG", 0), plain("&X1", 0), plain("&H-1", 0),
                      Reading{"&H, 100,000 zeros, then 1A",
                              testing::withRun("&H", 100'000, '0', "1A"), 26}));

INSTANTIATE_TEST_SUITE_P(
    AtTheEdgesOfTheDoubleRange, ReadsAs,
    ::testing::Values(
        plain("1.7976931348623157e308", DBL_MAX), plain("-1.7976931348623158E+308", -DBL_MAX),
        plain("4.9406564584124654e-324", std::numeric_limits<double>::denorm_min()),
        plain("2e-324", 0), plain("1E-400", 0), plain("1E-999999999", 0),
        Reading{"5,000 zeros then 52", std::string(5000, '0') + "52", 52},
        Reading{"1, 400 zeros, E-100", testing::withRun("1", 400, '0', "E-100"), 1e300},
        Reading{"0., 5,000 zeros, 1E5003", testing::withRun("0.", 5000, '0', "1E5003"), 1e2}));

class ReadsAsOverflow : public ::testing::TestWithParam<Reading> {};

TEST_P(ReadsAsOverflow, failsAsOverflow) {
    try {
        ParseNumber(GetParam().text);
        FAIL() << "no failure";
    } catch (const ArithmeticFailure& failure) {
        EXPECT_EQ(failure.kind(), FailureKind::Overflow);
    }
}

INSTANTIATE_TEST_SUITE_P(
    BeyondTheDoubleRange, ReadsAsOverflow,
    ::testing::Values(plain("1E400", 0), plain("-1E400", 0), plain("1E309", 0), plain("1.8e308", 0),
                      plain("1E999999999", 0), plain("1E99999999999999999999999999", 0),
                      plain("&H100000000", 0), plain("&O40000000000", 0),
                      Reading{"400 digits before the point", std::string(400, '9') + ".5", 0}));

// A whole number and how it is written.
struct Writing {
    double value;
    std::string text;
};

void PrintTo(const Writing& row, std::ostream* out) {
    *out << row.text;
}

class WritesAs : public ::testing::TestWithParam<Writing> {};

TEST_P(WritesAs, fifteenSignificantDigits) {
    EXPECT_EQ(FormatNumber(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Plain, WritesAs,
                         ::testing::Values(Writing{0, "0"}, Writing{-0.0, "0"}, Writing{104, "104"},
                                           Writing{-19, "-19"},
                                           Writing{999999999999999, "999999999999999"},
                                           Writing{-999999999999999, "-999999999999999"},
                                           Writing{1e14, "100000000000000"}));

INSTANTIATE_TEST_SUITE_P(
    ExponentForm, WritesAs,
    ::testing::Values(Writing{1e15, "1E+15"}, Writing{1234567890123456, "1.23456789012346E+15"},
                      Writing{-1234567890123456, "-1.23456789012346E+15"}, Writing{1e16, "1E+16"},
                      Writing{9999999999999998, "1E+16"}, Writing{1.5e300, "1.5E+300"},
                      Writing{DBL_MAX, "1.79769313486232E+308"}));

INSTANTIATE_TEST_SUITE_P(TiesGoToEven, WritesAs,
                         ::testing::Values(Writing{1000000000000005, "1E+15"},
                                           Writing{1000000000000015, "1.00000000000002E+15"},
                                           Writing{1000000000000025, "1.00000000000002E+15"},
                                           Writing{2000000000000045, "2.00000000000004E+15"},
                                           Writing{10000000000000050, "1E+16"},
                                           Writing{10000000000000150, "1.00000000000002E+16"},
                                           Writing{10000000000000052, "1.00000000000001E+16"}));

INSTANTIATE_TEST_SUITE_P(Fractions, WritesAs,
                         ::testing::Values(Writing{26.5, "26.5"}, Writing{-0.015, "-0.015"},
                                           Writing{1.0 / 3, "0.333333333333333"},
                                           Writing{1.5e-7, "1.5E-07"},
                                           Writing{1000000000000000.5, "1E+15"}));

TEST(WritesAs, nonFiniteValuesAsSomeTextWithoutFailing) {
    EXPECT_FALSE(FormatNumber(std::numeric_limits<double>::quiet_NaN()).empty());
    EXPECT_FALSE(FormatNumber(std::numeric_limits<double>::infinity()).empty());
    EXPECT_FALSE(FormatNumber(-std::numeric_limits<double>::infinity()).empty());
}

} // namespace
} // namespace pedalwise::calc
