#include "calc/GearCalc.h"

#include "support/LongTexts.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

namespace pedalwise::calc {
namespace {

// What the display shows after "Calculate!": the gear inches, then one speed per cadence,
// each speed read back from the gear inches text as the handler does.
struct Display {
    std::string inches;
    std::array<std::string, 5> speeds;
};

Display calculate(const GearInputs& inputs) {
    Display display;
    display.inches = InchesText(inputs);
    for (std::size_t i = 0; i < Cadences.size(); ++i) {
        display.speeds[i] = SpeedText(display.inches, Cadences[i]);
    }
    return display;
}

GearInputs gears(std::string a, std::string b, std::string c, std::string d, std::string w) {
    return {std::move(a), std::move(b), std::move(c), std::move(d), std::move(w)};
}

std::optional<FailureKind> failureOf(const GearInputs& inputs) {
    try {
        calculate(inputs);
    } catch (const ArithmeticFailure& failure) {
        return failure.kind();
    }
    return std::nullopt;
}

struct Calculation {
    std::string label;
    GearInputs inputs;
    Display expected;
};

void PrintTo(const Calculation& row, std::ostream* out) {
    *out << row.label;
}

Calculation row(const char* a, const char* b, const char* c, const char* d, const char* w,
                Display expected) {
    std::string label;
    const char* separator = "";
    for (const char* text : {a, b, c, d, w}) {
        label += std::exchange(separator, " / ");
        for (const char* ch = text; *ch != '\0'; ++ch) {
            label += *ch == '\t' ? "\\t" : *ch == '\n' ? "\\n" : std::string(1, *ch);
        }
    }
    return {label, gears(a, b, c, d, w), std::move(expected)};
}

class WholeCalculation : public ::testing::TestWithParam<Calculation> {};

TEST_P(WholeCalculation, showsTheFloorsOfTheExactFigures) {
    const Display shown = calculate(GetParam().inputs);
    EXPECT_EQ(shown.inches, GetParam().expected.inches);
    EXPECT_EQ(shown.speeds, GetParam().expected.speeds);
}

INSTANTIATE_TEST_SUITE_P(
    EverydayDrives, WholeCalculation,
    ::testing::Values(
        row("52", "1", "1", "13", "26", {"104", {"18", "21", "24", "27", "30"}}),
        row("36", "36", "52", "13", "26", {"104", {"18", "21", "24", "27", "30"}}),
        row("42", "36", "52", "13", "26", {"121", {"21", "25", "28", "32", "35"}}),
        row("36", "18", "48", "12", "20", {"160", {"28", "33", "38", "42", "47"}}),
        row("39", "1", "1", "25", "26.5", {"41", {"7", "8", "9", "10", "12"}}),
        row("39", "1", "1", "25", "26,5", {"40", {"7", "8", "9", "10", "11"}}),
        // The speeds follow the displayed 84, not 84.176...
        row("53", "1", "1", "17", "27", {"84", {"14", "17", "19", "22", "24"}}),
        row("52T", "1", "1", "13 teeth", "26in", {"104", {"18", "21", "24", "27", "30"}}),
        row("&H34", "&O1", "1", "&HD", "&h1A", {"104", {"18", "21", "24", "27", "30"}}),
        row("", "1", "1", "13", "26", {"0", {"0", "0", "0", "0", "0"}}),
        row("52", "1", "1", "13", "", {"0", {"0", "0", "0", "0", "0"}}),
        row("1E-400", "1", "1", "13", "26", {"0", {"0", "0", "0", "0", "0"}})));

// Exact quotients that double arithmetic puts just below the whole number.
INSTANTIATE_TEST_SUITE_P(
    ExactlyWholeGears, WholeCalculation,
    ::testing::Values(row("30", "1", "1", "13", "26", {"60", {"10", "12", "14", "16", "17"}}),
                      row("30", "13", "1", "1", "26", {"60", {"10", "12", "14", "16", "17"}}),
                      row("52", "1", "1", "12", "27", {"117", {"20", "24", "27", "31", "34"}}),
                      row("52", "12", "1", "1", "27", {"117", {"20", "24", "27", "31", "34"}}),
                      row("28", "12", "1", "1", "27", {"63", {"11", "13", "14", "16", "18"}}),
                      row("20", "11", "33", "18", "27", {"90", {"16", "18", "21", "24", "26"}}),
                      row("0.3", "0.13", "1", "1", "26", {"60", {"10", "12", "14", "16", "17"}})));

// Cut down towards minus infinity, and negative zero written as "0".
INSTANTIATE_TEST_SUITE_P(
    SignsAndBlanks, WholeCalculation,
    ::testing::Values(
        row("-52", "1", "1", "13", "26", {"-104", {"-19", "-22", "-25", "-28", "-31"}}),
        row("52", "-1", "1", "13", "26", {"-104", {"-19", "-22", "-25", "-28", "-31"}}),
        row("-52", "-1", "-1", "-13", "-26", {"-104", {"-19", "-22", "-25", "-28", "-31"}}),
        row(" 5\t2 ", "+ 1", "\n1", "1 3", "2 6", {"104", {"18", "21", "24", "27", "30"}}),
        row("- 5\t2", "+1\n", "1", "\t13", "2 6", {"-104", {"-19", "-22", "-25", "-28", "-31"}}),
        row("1", "100", "1", "1", "26", {"0", {"0", "0", "0", "0", "0"}}),
        row("-1", "100", "1", "1", "26", {"-1", {"-1", "-1", "-1", "-1", "-1"}}),
        row("-0", "1", "1", "13", "26", {"0", {"0", "0", "0", "0", "0"}}),
        row("", "-1", "1", "13", "26", {"0", {"0", "0", "0", "0", "0"}})));

// From 10^15 on, the display holds 15 significant digits and the speeds use what it holds.
INSTANTIATE_TEST_SUITE_P(
    FifteenDigitDisplay, WholeCalculation,
    ::testing::Values(row("1E15", "1", "1", "1", "1",
                          {"1E+15",
                           {"178409090909090", "208143939393939", "237878787878787",
                            "267613636363636", "297348484848484"}}),
                      row("999999999999999.9", "1", "1", "1", "1",
                          {"999999999999999",
                           {"178409090909090", "208143939393939", "237878787878787",
                            "267613636363636", "297348484848484"}}),
                      row("1234567890123456", "1", "1", "1", "1",
                          {"1.23456789012346E+15",
                           {"220258134942480", "256967824099561", "293677513256641",
                            "330387202413721", "367096891570801"}})));

TEST(WholeCalculation, theLargestFigureThatReadsBackStillGivesSpeeds) {
    const Display shown = calculate(gears("1.79769313486231E+308", "1", "1", "1", "1"));
    EXPECT_EQ(shown.inches, "1.79769313486231E+308");
    EXPECT_EQ(shown.speeds,
              (std::array<std::string, 5>{"3.20724797924298E+307", "3.74178930911682E+307",
                                          "4.27633063899065E+307", "4.81087196886448E+307",
                                          "5.34541329873831E+307"}));
}

// Every digit of a long input counts, however many there are.
TEST(LongInputs, theLastOfAHundredThousandDigitsDecidesTheFloor) {
    const std::string justAbove = testing::withRun("30.", 99'996, '0', "1");
    const std::string justBelow = testing::withRun("29.", 99'997, '9');
    EXPECT_EQ(InchesText(gears(justAbove, "13", "1", "1", "26")), "60");
    EXPECT_EQ(InchesText(gears(justBelow, "13", "1", "1", "26")), "59");
}

TEST(LongInputs, fiveInputsOfAHundredThousandDigitsEach) {
    const Display shown = calculate(testing::hundredThousandDigitInputs());
    EXPECT_EQ(shown.inches, "103");
    EXPECT_EQ(shown.speeds, (std::array<std::string, 5>{"18", "21", "24", "27", "30"}));
}

struct Failure {
    std::string label;
    GearInputs inputs;
    FailureKind kind;
};

void PrintTo(const Failure& row, std::ostream* out) {
    *out << row.label;
}

class FailingCalculation : public ::testing::TestWithParam<Failure> {};

TEST_P(FailingCalculation, failsWithItsKind) {
    EXPECT_EQ(failureOf(GetParam().inputs), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(
    ZeroDivisors, FailingCalculation,
    ::testing::Values(
        Failure{"B empty", gears("52", "", "1", "13", "26"), FailureKind::DivisionByZero},
        Failure{"B not a number", gears("52", "abc", "1", "13", "26"), FailureKind::DivisionByZero},
        Failure{"B zero", gears("52", "0", "1", "13", "26"), FailureKind::DivisionByZero},
        Failure{"D empty", gears("52", "1", "1", "", "26"), FailureKind::DivisionByZero},
        Failure{"D minus zero", gears("52", "1", "1", "-0.0", "26"), FailureKind::DivisionByZero},
        Failure{"D too small for a double", gears("52", "1", "1", "1E-400", "26"),
                FailureKind::DivisionByZero},
        Failure{"D zero, W zero", gears("52", "1", "1", "0", "0"), FailureKind::DivisionByZero},
        Failure{"A and B zero", gears("0", "0", "1", "13", "26"), FailureKind::InvalidOperation},
        Failure{"C and D empty", gears("52", "1", "", "", "26"), FailureKind::InvalidOperation},
        Failure{"A, B too small", gears("1E-400", "1E-400", "1", "13", "26"),
                FailureKind::InvalidOperation}));

INSTANTIATE_TEST_SUITE_P(
    BeyondTheDoubleRange, FailingCalculation,
    ::testing::Values(
        Failure{"A 1E400", gears("1E400", "1", "1", "13", "26"), FailureKind::Overflow},
        Failure{"B 1E400", gears("52", "1E400", "1", "13", "26"), FailureKind::Overflow},
        Failure{"C 1E400", gears("52", "1", "1E400", "13", "26"), FailureKind::Overflow},
        Failure{"D 1E400", gears("52", "1", "1", "1E400", "26"), FailureKind::Overflow},
        Failure{"W 1E400", gears("52", "1", "1", "13", "1E400"), FailureKind::Overflow},
        Failure{"W 1E999999999", gears("52", "1", "1", "13", "1E999999999"), FailureKind::Overflow},
        Failure{"A &H100000000", gears("&H100000000", "1", "1", "13", "26"), FailureKind::Overflow},
        Failure{"A with 400 digits", gears(std::string(400, '7'), "1", "1", "13", "26"),
                FailureKind::Overflow},
        Failure{"overflow in A before a zero B", gears("1E400", "0", "1", "13", "26"),
                FailureKind::Overflow},
        Failure{"1E300 over 1E-300", gears("1E300", "1E-300", "1", "1", "1"),
                FailureKind::Overflow},
        Failure{"10 times 1E308", gears("1E308", "1", "1", "1", "10"), FailureKind::Overflow},
        // Its floor is written 1.79769313486232E+308, which no longer reads as a double.
        Failure{"the largest double", gears("1.7976931348623157E308", "1", "1", "1", "1"),
                FailureKind::Overflow}));

TEST(SpeedText, failsBeyondTheDoubleRangeAndForNonFiniteCadences) {
    const auto kindOf = [](std::string_view inches, double cadence) -> std::optional<FailureKind> {
        try {
            SpeedText(inches, cadence);
        } catch (const ArithmeticFailure& failure) {
            return failure.kind();
        }
        return std::nullopt;
    };
    EXPECT_EQ(kindOf("1E400", 60), FailureKind::Overflow);
    EXPECT_EQ(kindOf("1E300", 1e300), FailureKind::Overflow);
    EXPECT_EQ(kindOf("104", std::numeric_limits<double>::quiet_NaN()),
              FailureKind::InvalidOperation);
    EXPECT_EQ(kindOf("104", std::numeric_limits<double>::infinity()),
              FailureKind::InvalidOperation);
}

TEST(SpeedText, takesAnyFiniteCadenceExactly) {
    EXPECT_EQ(SpeedText("104", 0.5), "0");
    EXPECT_EQ(SpeedText("105600", 0.25), "78"); // 105600 * 0.25 * 314 / 105600 = 78.5
    EXPECT_EQ(SpeedText("-105600", 0.25), "-79");
}

} // namespace
} // namespace pedalwise::calc
