#include "calc/GearCalc.h"

#include "calc/NumberText.h"

#include <charconv>
#include <cmath>

namespace pedalwise::calc {

using detail::ExactDecimal;
using detail::Integer;

namespace {

const char* describe(FailureKind kind) {
    switch (kind) {
    case FailureKind::DivisionByZero:
        return "Division by zero";
    case FailureKind::InvalidOperation:
        return "Invalid operation";
    case FailureKind::Overflow:
        break;
    }
    return "Overflow";
}

// The floor of a value known to lie strictly between -1 and 1.
std::string floorBelowOne(bool negative) {
    return negative ? "-1" : "0";
}

// A whole double as an exact integer.
Integer exactInteger(double value) {
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(value), &exponent);
    Integer result = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    exponent -= 53;
    if (exponent > 0) {
        result <<= exponent;
    } else {
        result >>= -exponent;
    }
    return value < 0 ? Integer(-result) : result;
}

// Numbers as written for the speed formula: 3.14 / (12 * 88), kept as 314 / (12 * 100 * 88).
constexpr unsigned PiHundredths = 314;
constexpr unsigned SpeedDivisor = 12 * 100 * 88;
// log10(314 / 105600) = -2.526734..., taken a little low; Slack covers that and the rounding
// of log10 of the cadence when bounding a speed.
constexpr double Log10SpeedFactor = -2.52675;
constexpr double Slack = 0.01;
// Above 10^309 a figure is surely beyond the largest double.
constexpr std::int64_t OverflowLead = 309;

} // namespace

ArithmeticFailure::ArithmeticFailure(FailureKind kind)
    : std::runtime_error(describe(kind)), m_kind(kind) {}

double ParseNumber(std::string_view text) {
    return detail::Read(text).value;
}

std::string FormatNumber(double value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-Infinity" : "Infinity";
    }
    if (std::trunc(value) == value) {
        return detail::FormatInteger(exactInteger(value));
    }
    // Shortest correctly rounded 15 significant digits: "d.dddddddddddddde-XX".
    char buffer[40];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                   std::chars_format::scientific, 14)
                         .ptr;
    const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    std::string digits(1, text[0]);
    digits.append(text.substr(2, 14));
    int decimalExponent = 0;
    const auto exponentText = text.substr(text.find('e') + 1);
    const char* exponentBegin = exponentText.data() + (exponentText[0] == '+' ? 1 : 0);
    std::from_chars(exponentBegin, exponentText.data() + exponentText.size(), decimalExponent);
    return detail::LayOut(value < 0, std::move(digits), decimalExponent);
}

std::string InchesText(const GearInputs& inputs) {
    const ExactDecimal a = detail::Read(inputs.Drive1).exact;
    const ExactDecimal b = detail::Read(inputs.Driven1).exact;
    const ExactDecimal c = detail::Read(inputs.Drive2).exact;
    const ExactDecimal d = detail::Read(inputs.Driven2).exact;
    const ExactDecimal w = detail::Read(inputs.Wheel).exact;

    if (b.isZero() || d.isZero()) {
        const bool zeroByZero = (b.isZero() && a.isZero()) || (d.isZero() && c.isZero());
        throw ArithmeticFailure(zeroByZero ? FailureKind::InvalidOperation
                                           : FailureKind::DivisionByZero);
    }
    if (a.isZero() || c.isZero() || w.isZero()) {
        return "0";
    }
    const bool negative = (a.negative ^ b.negative ^ c.negative ^ d.negative ^ w.negative) != 0;

    // Three factors in [10^lead, 10^(lead+1)) over two: the value lies strictly between
    // 10^(lead-2) and 10^(lead+3), which settles the far cases without exact work.
    const std::int64_t lead = a.lead() + c.lead() + w.lead() - b.lead() - d.lead();
    if (lead - 2 >= OverflowLead) {
        throw ArithmeticFailure(FailureKind::Overflow);
    }
    if (lead + 3 <= 0) {
        return floorBelowOne(negative);
    }
    Integer numerator = a.mantissa();
    numerator *= c.mantissa();
    numerator *= w.mantissa();
    Integer denominator = b.mantissa();
    denominator *= d.mantissa();
    const std::int64_t exponent = a.exponent + c.exponent + w.exponent - b.exponent - d.exponent;
    return detail::WriteFigure(
        detail::FloorQuotient(negative, std::move(numerator), std::move(denominator), exponent));
}

std::string SpeedText(std::string_view inchesText, double cadence) {
    const ExactDecimal inches = detail::Read(inchesText).exact;
    if (!std::isfinite(cadence)) {
        throw ArithmeticFailure(FailureKind::InvalidOperation);
    }
    if (inches.isZero() || cadence == 0.0) {
        return "0";
    }
    const bool negative = inches.negative != (cadence < 0);

    // |cadence| = turns * 2^binaryExponent exactly, turns odd.
    int binaryExponent = 0;
    auto turns =
        static_cast<std::uint64_t>(std::ldexp(std::frexp(std::fabs(cadence), &binaryExponent), 53));
    binaryExponent -= 53;
    while (turns % 2 == 0) {
        turns /= 2;
        ++binaryExponent;
    }

    // Bounds of log10 of the speed, to settle the far cases without exact work.
    const double log10Cadence = std::log10(std::fabs(cadence));
    const double lowest = static_cast<double>(inches.lead()) + log10Cadence + Log10SpeedFactor;
    if (lowest - Slack >= static_cast<double>(OverflowLead)) {
        throw ArithmeticFailure(FailureKind::Overflow);
    }
    if (lowest + 1.0 + Slack < 0.0) {
        return floorBelowOne(negative);
    }

    Integer numerator = inches.mantissa();
    numerator *= turns;
    numerator *= PiHundredths;
    Integer denominator = SpeedDivisor;
    if (binaryExponent > 0) {
        numerator <<= binaryExponent;
    } else {
        denominator <<= -binaryExponent;
    }
    return detail::WriteFigure(detail::FloorQuotient(negative, std::move(numerator),
                                                     std::move(denominator), inches.exponent));
}

} // namespace pedalwise::calc
