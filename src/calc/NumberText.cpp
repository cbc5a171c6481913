#include "calc/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>
#include <vector>

namespace pedalwise::calc::detail {

namespace {

// Largest and smallest powers of ten of a first significant digit that a double can hold:
// 1E309 is beyond the largest double, and below 1E-324 everything rounds to zero.
constexpr std::int64_t MaxLead = 308;
constexpr std::int64_t MinLead = -324;
// An exponent this large already puts any number out of range; clamping keeps sums exact.
constexpr std::int64_t ExponentClamp = 1'000'000'000'000'000;
// A double's halfway points have at most 767 significant digits, so digits beyond these
// only matter through being non-zero.
constexpr std::size_t MaxDigitsForDouble = 800;
constexpr std::size_t ChunkDigits = 19;

bool isDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

int digitValue(char ch, int base) {
    int value = -1;
    if (isDigit(ch)) {
        value = ch - '0';
    } else if (ch >= 'a' && ch <= 'f') {
        value = ch - 'a' + 10;
    } else if (ch >= 'A' && ch <= 'F') {
        value = ch - 'A' + 10;
    }
    return value < base ? value : -1;
}

std::uint64_t chunkValue(std::string_view digits) {
    std::uint64_t value = 0;
    for (char ch : digits) {
        value = value * 10 + static_cast<std::uint64_t>(ch - '0');
    }
    return value;
}

std::uint64_t smallPowerOfTen(std::size_t n) {
    std::uint64_t value = 1;
    for (std::size_t i = 0; i < n; ++i) {
        value *= 10;
    }
    return value;
}

ExactDecimal exactFromInteger(std::int64_t value) {
    ExactDecimal exact;
    if (value != 0) {
        exact.negative = value < 0;
        const std::uint64_t magnitude = exact.negative ? 0 - static_cast<std::uint64_t>(value)
                                                       : static_cast<std::uint64_t>(value);
        std::string digits = std::to_string(magnitude);
        const auto last = digits.find_last_not_of('0');
        exact.exponent = static_cast<std::int64_t>(digits.size() - 1 - last);
        digits.resize(last + 1);
        exact.digits = std::move(digits);
    }
    return exact;
}

// &H and &O numbers: unsigned digits, then 16-bit two's complement if they fit in 16 bits,
// else 32-bit two's complement; more than 32 bits is an overflow.
ReadNumber readRadix(std::string_view text, int base) {
    std::uint64_t value = 0;
    for (char ch : text) {
        const int digit = digitValue(ch, base);
        if (digit < 0) {
            break;
        }
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (value > 0xFFFF'FFFFu) {
            throw ArithmeticFailure(FailureKind::Overflow);
        }
    }
    auto signedValue = static_cast<std::int64_t>(value);
    if (value <= 0xFFFFu) {
        if (value >= 0x8000u) {
            signedValue -= 0x1'0000;
        }
    } else if (value >= 0x8000'0000u) {
        signedValue -= 0x1'0000'0000;
    }
    return {static_cast<double>(signedValue), exactFromInteger(signedValue)};
}

std::size_t skipDigits(std::string_view text, std::size_t i) {
    while (i < text.size() && isDigit(text[i])) {
        ++i;
    }
    return i;
}

// The value of "[eE][+-]digits" at i; 0 when there is none, also when no digit follows.
std::int64_t exponentAt(std::string_view text, std::size_t i) {
    if (i >= text.size() || (text[i] != 'e' && text[i] != 'E')) {
        return 0;
    }
    ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        value = std::min(value * 10 + (text[i] - '0'), ExponentClamp);
    }
    return negative ? -value : value;
}

// The double nearest to the exact value, through a short normalised text; a result beyond
// the double range fails, one below it reads as zero.
double nearestDouble(const ExactDecimal& exact) {
    std::string text;
    std::int64_t exponent = exact.exponent;
    if (exact.digits.size() > MaxDigitsForDouble) {
        text.assign(exact.digits, 0, MaxDigitsForDouble);
        text.push_back('1'); // stands for the non-zero digits left out
        exponent += static_cast<std::int64_t>(exact.digits.size() - MaxDigitsForDouble - 1);
    } else {
        text = exact.digits;
    }
    text.push_back('e');
    text += std::to_string(exponent);
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) {
        if (exact.lead() > 0) {
            throw ArithmeticFailure(FailureKind::Overflow);
        }
        return 0.0;
    }
    if (std::isinf(value)) {
        throw ArithmeticFailure(FailureKind::Overflow);
    }
    return value;
}

ReadNumber readDecimal(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t intBegin = i;
    const std::size_t intEnd = i = skipDigits(text, i);
    std::size_t fracBegin = i;
    std::size_t fracEnd = i;
    if (i < text.size() && text[i] == '.') {
        fracBegin = i + 1;
        fracEnd = i = skipDigits(text, fracBegin);
    }
    if (intBegin == intEnd && fracBegin == fracEnd) {
        return {};
    }
    const std::int64_t exponent = exponentAt(text, i);

    std::string digits;
    digits.reserve(intEnd - intBegin + fracEnd - fracBegin);
    digits.append(text.substr(intBegin, intEnd - intBegin));
    digits.append(text.substr(fracBegin, fracEnd - fracBegin));
    const auto first = digits.find_first_not_of('0');
    ReadNumber result;
    if (first == std::string::npos) {
        result.value = negative ? -0.0 : 0.0;
        return result;
    }
    const auto last = digits.find_last_not_of('0');
    ExactDecimal exact;
    exact.negative = negative;
    exact.exponent = exponent - static_cast<std::int64_t>(fracEnd - fracBegin) +
                     static_cast<std::int64_t>(digits.size() - 1 - last);
    digits.resize(last + 1);
    digits.erase(0, first);
    exact.digits = std::move(digits);

    // Range first, so that a huge exponent never builds anything.
    if (exact.lead() > MaxLead) {
        throw ArithmeticFailure(FailureKind::Overflow);
    }
    const double magnitude = exact.lead() < MinLead ? 0.0 : nearestDouble(exact);
    result.value = negative ? -magnitude : magnitude;
    if (magnitude != 0.0) {
        result.exact = std::move(exact);
    }
    return result;
}

} // namespace

namespace {

// Whole chunks of 19 digits fit in 64 bits, so each step is one short multiply.
Integer integerByChunks(std::string_view digits) {
    std::size_t head = digits.size() % ChunkDigits;
    if (head == 0) {
        head = std::min(digits.size(), ChunkDigits);
    }
    Integer value = chunkValue(digits.substr(0, head));
    const std::uint64_t chunkScale = smallPowerOfTen(ChunkDigits);
    for (std::size_t i = head; i < digits.size(); i += ChunkDigits) {
        value *= chunkScale;
        value += chunkValue(digits.substr(i, ChunkDigits));
    }
    return value;
}

// Chunk by chunk is quadratic; long digit strings are split in halves instead, so that the
// work goes into few large multiplications. scales[j] is 10^(BlockDigits * 2^j).
constexpr std::size_t BlockDigits = ChunkDigits * 32;

Integer integerBySplitting(std::string_view digits, std::vector<Integer>& scales) {
    if (digits.size() <= BlockDigits) {
        return integerByChunks(digits);
    }
    std::size_t level = 0;
    std::size_t lowDigits = BlockDigits;
    while (lowDigits * 2 < digits.size()) {
        lowDigits *= 2;
        ++level;
    }
    while (scales.size() <= level) {
        scales.push_back(scales.empty() ? PowerOfTen(BlockDigits) : scales.back() * scales.back());
    }
    Integer value = integerBySplitting(digits.substr(0, digits.size() - lowDigits), scales);
    value *= scales[level];
    value += integerBySplitting(digits.substr(digits.size() - lowDigits), scales);
    return value;
}

} // namespace

Integer ExactDecimal::mantissa() const {
    std::vector<Integer> scales;
    return integerBySplitting(digits, scales);
}

ReadNumber Read(std::string_view text) {
    std::string compact;
    compact.reserve(text.size());
    for (char ch : text) {
        if (ch != ' ' && ch != '\t' && ch != '\n') {
            compact.push_back(ch);
        }
    }
    const std::string_view view = compact;
    if (view.size() >= 2 && view[0] == '&') {
        if (view[1] == 'H' || view[1] == 'h') {
            return readRadix(view.substr(2), 16);
        }
        if (view[1] == 'O' || view[1] == 'o') {
            return readRadix(view.substr(2), 8);
        }
    }
    return readDecimal(view);
}

Integer PowerOfTen(std::int64_t n) {
    return boost::multiprecision::pow(Integer(10), static_cast<unsigned>(n));
}

Integer FloorQuotient(bool negative, Integer numerator, Integer denominator,
                      std::int64_t exponent) {
    if (exponent > 0) {
        numerator *= PowerOfTen(exponent);
    } else if (exponent < 0) {
        denominator *= PowerOfTen(-exponent);
    }
    Integer quotient;
    Integer remainder;
    boost::multiprecision::divide_qr(numerator, denominator, quotient, remainder);
    if (negative) {
        // Cut down towards minus infinity, not towards zero.
        if (!remainder.is_zero()) {
            ++quotient;
        }
        quotient = -quotient;
    }
    return quotient;
}

namespace {

constexpr std::size_t SignificantDigits = 15;

// Rounds a digit string to 15 significant digits, ties to even; returns the kept digits
// without trailing zeros and adds a carry into a new leading digit to decimalExponent.
std::string roundToSignificant(const std::string& digits, std::int64_t& decimalExponent) {
    if (digits.size() <= SignificantDigits) {
        return digits;
    }
    std::string kept = digits.substr(0, SignificantDigits);
    const char next = digits[SignificantDigits];
    const bool beyondHalf =
        digits.find_first_not_of('0', SignificantDigits + 1) != std::string::npos;
    const bool odd = ((kept.back() - '0') % 2) != 0;
    if (next > '5' || (next == '5' && (beyondHalf || odd))) {
        std::size_t i = kept.size();
        while (i > 0 && kept[i - 1] == '9') {
            kept[--i] = '0';
        }
        if (i == 0) {
            kept.insert(kept.begin(), '1');
            kept.pop_back();
            ++decimalExponent;
        } else {
            ++kept[i - 1];
        }
    }
    return kept;
}

} // namespace

std::string FormatInteger(const Integer& value) {
    if (value.is_zero()) {
        return "0";
    }
    const std::string digits = Integer(boost::multiprecision::abs(value)).str();
    std::int64_t decimalExponent = static_cast<std::int64_t>(digits.size()) - 1;
    std::string kept = roundToSignificant(digits, decimalExponent);
    return LayOut(value < 0, std::move(kept), decimalExponent);
}

std::string LayOut(bool negative, std::string digits, std::int64_t decimalExponent) {
    const auto last = digits.find_last_not_of('0');
    digits.resize(last + 1);
    std::string text = negative ? "-" : "";
    const auto count = static_cast<std::int64_t>(digits.size());
    if (decimalExponent >= static_cast<std::int64_t>(SignificantDigits) || decimalExponent < -5) {
        text += digits[0];
        if (count > 1) {
            text += '.';
            text.append(digits, 1);
        }
        text += decimalExponent < 0 ? "E-" : "E+";
        const std::int64_t magnitude = decimalExponent < 0 ? -decimalExponent : decimalExponent;
        if (magnitude < 10) {
            text += '0';
        }
        text += std::to_string(magnitude);
    } else if (decimalExponent >= count - 1) {
        text += digits;
        text.append(static_cast<std::size_t>(decimalExponent - count + 1), '0');
    } else if (decimalExponent >= 0) {
        const auto point = static_cast<std::size_t>(decimalExponent + 1);
        text.append(digits, 0, point);
        text += '.';
        text.append(digits, point);
    } else {
        text += "0.";
        text.append(static_cast<std::size_t>(-decimalExponent - 1), '0');
        text += digits;
    }
    return text;
}

std::string WriteFigure(const Integer& value) {
    std::string text = FormatInteger(value);
    if (text.find('E') != std::string::npos) {
        double readBack = 0.0;
        const char* begin = text.data() + (text[0] == '-' ? 1 : 0);
        const auto [end, error] = std::from_chars(begin, text.data() + text.size(), readBack);
        if (error != std::errc() || std::isinf(readBack)) {
            throw ArithmeticFailure(FailureKind::Overflow);
        }
    }
    return text;
}

} // namespace pedalwise::calc::detail
