#pragma once

#include "calc/GearCalc.h"

#include <cstddef>
#include <string>
#include <string_view>

// Long input texts shared by the calc tests and the benchmark.
namespace pedalwise::calc::testing {

// head, then `count` copies of `ch`, then tail.
inline std::string withRun(std::string_view head, std::size_t count, char ch,
                           std::string_view tail = {}) {
    std::string text(head);
    text.append(count, ch);
    text.append(tail);
    return text;
}

// Five inputs of 100,000 significant digits each, every one of which the exact figures
// need: A / B = 2 and C / D = 3 exactly, and W = 17.333..., so the gear inches are 103.
inline GearInputs hundredThousandDigitInputs() {
    std::string t;
    std::string twice;
    std::string thrice;
    for (int i = 0; i < 10'000; ++i) {
        t.append("1234567890");
        twice.append("2469135780");
        thrice.append("3703703670");
    }
    const auto withPoint = [](const std::string& digits, std::size_t at) {
        std::string text = digits.substr(0, at);
        text.push_back('.');
        text.append(digits, at);
        return text;
    };
    return {withPoint(twice, 3), withPoint(t, 3), withPoint(thrice, 7), withPoint(t, 7),
            withRun("17.", 99'998, '3')};
}

} // namespace pedalwise::calc::testing
