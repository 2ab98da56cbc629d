// The molar-mass calculator's formula reader over arbitrary bytes. Aborts when
// a rule that must hold for every input is broken: exactly one of atoms and
// error; an error's place lies inside the formula; atoms are positive, each
// element once, and the shares of a computed mass add up to 100 %.

#include "windows/molar/molar_mass_logic.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

const orbita::ElementMassTable& Table()
{
    static const orbita::ElementMassTable table = [] {
        orbita::ElementMassTable masses;
        const struct {
            int z;
            const char* symbol;
            double mass;
            bool massNumber;
        } known[] = { { 1, "H", 1.008, false }, { 2, "He", 4.003, false }, { 6, "C", 12.011, false },
            { 7, "N", 14.007, false }, { 8, "O", 15.999, false }, { 11, "Na", 22.99, false },
            { 16, "S", 32.06, false }, { 17, "Cl", 35.45, false }, { 26, "Fe", 55.845, false },
            { 29, "Cu", 63.546, false }, { 43, "Tc", 97, true }, { 118, "Og", 294, true } };
        for (const auto& element : known)
            masses[static_cast<std::size_t>(element.z)]
                = { element.symbol, element.mass, element.massNumber };
        masses[19].symbol = "K"; // a symbol without a mass
        return masses;
    }();
    return table;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view formula(reinterpret_cast<const char*>(data), size);
    const orbita::FormulaReading reading = orbita::ReadFormula(formula, Table());
    check(reading.atoms.has_value() != reading.error.has_value());
    if (reading.error) {
        check(!reading.error->message.empty());
        check(reading.error->position <= size + 1);
    } else {
        std::set<int> seen;
        check(!reading.atoms->entries.empty());
        for (const auto& entry : reading.atoms->entries) {
            check(entry.count > 0);
            check(seen.insert(entry.element).second);
        }
    }
    const orbita::MolarMassResult result = orbita::ComputeMolarMass(formula, Table());
    check(result.mass.has_value() != result.error.has_value());
    if (result.mass) {
        double percent = 0;
        for (const auto& row : result.mass->rows)
            percent += row.percent;
        check(std::fabs(percent - 100) < 1e-6);
        check(result.mass->total > 0);
        check(!orbita::MolarMassReport(*result.mass).empty());
    }
    return 0;
}
