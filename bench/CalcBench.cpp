#include "calc/GearCalc.h"

#include "support/LongTexts.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using pedalwise::calc::GearInputs;

// What one press of "Calculate!" costs: the gear inches and the five speeds.
void fullCalculation(benchmark::State& state, const GearInputs& inputs) {
    for (auto _ : state) {
        std::string inches = pedalwise::calc::InchesText(inputs);
        benchmark::DoNotOptimize(inches);
        for (double cadence : pedalwise::calc::Cadences) {
            std::string speed = pedalwise::calc::SpeedText(inches, cadence);
            benchmark::DoNotOptimize(speed);
        }
    }
}

void typicalTwoChainDrive(benchmark::State& state) {
    fullCalculation(state, {"42", "36", "52", "13", "26.5"});
}

void fifteenDigitDisplay(benchmark::State& state) {
    fullCalculation(state, {"1E15", "1", "1", "1", "1"});
}

void hundredThousandDigits(benchmark::State& state) {
    fullCalculation(state, pedalwise::calc::testing::hundredThousandDigitInputs());
}

} // namespace

BENCHMARK(typicalTwoChainDrive)->Unit(benchmark::kMicrosecond);
BENCHMARK(fifteenDigitDisplay)->Unit(benchmark::kMicrosecond);
BENCHMARK(hundredThousandDigits)->Unit(benchmark::kMillisecond);
