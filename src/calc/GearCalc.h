#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// The calculator's arithmetic: from five input texts to the gear inches text and the speed
// texts. Pure functions, no state, no I/O. Texts are UTF-8.
namespace pedalwise::calc {

// The five inputs exactly as typed: A, B, C, D and the wheel diameter W.
struct GearInputs {
    std::string Drive1;  // A: teeth of the drive sprocket of chain 1
    std::string Driven1; // B: teeth of the driven sprocket of chain 1
    std::string Drive2;  // C: teeth of the drive sprocket of chain 2, on B's shaft
    std::string Driven2; // D: teeth of the driven sprocket of chain 2, which turns the wheel
    std::string Wheel;   // W: outside diameter of the wheel, in inches
};

// Crank turns per minute of the five speeds, in display order.
inline constexpr std::array<double, 5> Cadences{60.0, 70.0, 80.0, 90.0, 100.0};

enum class FailureKind : std::uint8_t { DivisionByZero, InvalidOperation, Overflow };

// The one way a calculation step fails. A failed step produces no text.
class ArithmeticFailure : public std::runtime_error {
public:
    explicit ArithmeticFailure(FailureKind kind);
    FailureKind kind() const noexcept { return m_kind; }

private:
    FailureKind m_kind;
};

// Reads the number at the start of a text (blanks, tabs and line feeds ignored anywhere;
// decimal, &H hexadecimal or &O octal); a text with no number reads as 0, and so does one
// too small for a double. Throws ArithmeticFailure(Overflow) for a number beyond the double
// range or an &H/&O number of more than 32 bits.
double ParseNumber(std::string_view text);

// Writes a number with 15 significant digits (ties to even): plainly below 10^15, otherwise
// as 1.23456789012346E+15; minus zero is "0". Never fails, not even for NaN or infinity.
std::string FormatNumber(double value);

// The gear inches text: the floor of the exact value of A / B * C / D * W, taken over the
// numbers the texts spell. Throws ArithmeticFailure: DivisionByZero when B or D reads as 0
// (InvalidOperation when its dividend does too), Overflow for an input or a result beyond
// the double range (a result whose text would not read back as a double counts as beyond).
std::string InchesText(const GearInputs& inputs);

// The speed in miles per hour at one cadence, from the gear inches text as displayed: the
// floor of the exact value of inches * cadence / 12 * 3.14 / 88. Cannot fail for a text that
// InchesText wrote and a cadence of Cadences.
std::string SpeedText(std::string_view inchesText, double cadence);

} // namespace pedalwise::calc
