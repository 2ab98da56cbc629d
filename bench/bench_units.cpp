// Cost of one press of "Przelicz": the text of one box checked, parsed and
// converted to every other box of its quantity at 20 digits. The mass page
// has the most boxes (six); temperatures use the longest formulas.
#include "windows/units/units_logic.h"

#include <benchmark/benchmark.h>

namespace {

using orbita::units::Convert;
using orbita::units::Unit;

void BM_ConvertMassPage(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Convert(Unit::WeightQ, "123456789,987654321", 20));
}
BENCHMARK(BM_ConvertMassPage);

void BM_ConvertTemperaturePage(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Convert(Unit::TempF, "-459,67", 20));
}
BENCHMARK(BM_ConvertTemperaturePage);

} // namespace

BENCHMARK_MAIN();
