// Any five texts through the whole calculation: it never crashes, fails only with
// ArithmeticFailure, every text it writes reads back to the value written, and once the
// gear inches succeed no speed fails.
#include "calc/GearCalc.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using namespace pedalwise::calc;

namespace {

std::vector<std::string> splitFields(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '|' && fields.size() < 5) {
            fields.emplace_back();
        } else {
            fields.back().push_back(static_cast<char>(data[i]));
        }
    }
    fields.resize(5);
    return fields;
}

void expectReadsBack(const std::string& text) {
    // A written figure is a whole number the program can read again unchanged.
    if (FormatNumber(ParseNumber(text)) != text) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) {
        return 0;
    }
    const std::vector<std::string> f = splitFields(data, size);
    const GearInputs inputs{f[0], f[1], f[2], f[3], f[4]};

    std::string inches;
    try {
        inches = InchesText(inputs);
    } catch (const ArithmeticFailure&) {
        return 0;
    }
    expectReadsBack(inches);
    for (const double cadence : Cadences) {
        try {
            expectReadsBack(SpeedText(inches, cadence));
        } catch (const ArithmeticFailure&) {
            std::abort();
        }
    }
    return 0;
}
