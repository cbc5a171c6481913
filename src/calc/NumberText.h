#pragma once

#include "calc/GearCalc.h"

#include <boost/multiprecision/cpp_int.hpp>

#include <cstdint>
#include <string>
#include <string_view>

// Reading numbers from text and writing whole numbers back, shared by the public operations.
// Every text is read once into both its double and the exact value its digits spell, so the
// figures can be computed exactly while the range rules still follow the double reading.
namespace pedalwise::calc::detail {

using Integer = boost::multiprecision::cpp_int;

// The exact value a text spells: (-1)^negative * digits * 10^exponent. `digits` holds the
// significant digits only (no leading or trailing zeros), so it is empty for zero.
struct ExactDecimal {
    bool negative = false;
    std::string digits;
    std::int64_t exponent = 0;

    bool isZero() const noexcept { return digits.empty(); }
    // Power of ten of the first significant digit: the value lies in [10^lead, 10^(lead+1)).
    std::int64_t lead() const noexcept {
        return exponent + static_cast<std::int64_t>(digits.size()) - 1;
    }
    // The digits as an integer, built only when exact arithmetic needs it.
    Integer mantissa() const;
};

// A text read by the number reading rule: its double and the exact value behind it. A text
// whose double reading is zero has an exact value of zero too, so that an underflowing
// divisor fails like the double would.
struct ReadNumber {
    double value = 0.0;
    ExactDecimal exact;
};

// Throws ArithmeticFailure(Overflow) for a number beyond the double range.
ReadNumber Read(std::string_view text);

// 10^n for n >= 0.
Integer PowerOfTen(std::int64_t n);

// floor(numerator * 10^exponent / denominator), negated first when `negative`; numerator and
// denominator are positive.
Integer FloorQuotient(bool negative, Integer numerator, Integer denominator, std::int64_t exponent);

// The writing rule for a whole number: plain up to 15 digits, otherwise 15 significant digits
// (ties to even) in exponent form.
std::string FormatInteger(const Integer& value);

// Writes significant digits d1 d2 d3... standing for d1.d2d3... * 10^decimalExponent: plain
// from 10^-5 up to below 10^15, exponent form ("1.5E+15", "2E-07") otherwise.
std::string LayOut(bool negative, std::string digits, std::int64_t decimalExponent);

// FormatInteger for a calculated figure: fails with Overflow when the text written would not
// read back within the double range, so every figure shown can be read again.
std::string WriteFigure(const Integer& value);

} // namespace pedalwise::calc::detail
