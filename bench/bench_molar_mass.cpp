// Cost of one press of "Oblicz" in the molar-mass calculator: a 60-character
// formula with brackets and a hydrate read, its mass and shares computed,
// over the masses of the shipped element database.
#include "windows/molar/molar_mass_logic.h"

#include <benchmark/benchmark.h>
#include <fstream>
#include <string>
#include <vector>

namespace {

orbita::ElementMassTable ShippedMasses()
{
    std::ifstream in(ORBITA_SOURCE_DIR "/content/ORBITA/UKLAD/DANE.TXT", std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return orbita::ReadElementMasses(lines);
}

void BM_SixtyCharacterFormula(benchmark::State& state)
{
    const orbita::ElementMassTable table = ShippedMasses();
    const std::string formula = "K4[Fe(CN)6]·3H2O·(NH4)2SO4·Al2(SO4)3·Ca5(PO4)3OH·CH3(CH2)5CH3";
    state.counters["characters"] = 60;
    for (auto _ : state) {
        orbita::MolarMassResult result = orbita::ComputeMolarMass(formula, table);
        if (!result.mass)
            state.SkipWithError("the formula was not read");
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_SixtyCharacterFormula);

} // namespace

BENCHMARK_MAIN();
