#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbita {

// The molar-mass calculator's rules (no Qt). Formulas, symbols and messages
// are UTF-8.

// The symbol and standard atomic mass of every element, as the element
// database gives them. An element without a readable mass has none.
struct ElementMass {
    std::string symbol;
    std::optional<double> mass; // g/mol
    // The database gives the mass number of the most stable isotope, written
    // in square brackets ("[97]"): it is used as given.
    bool massNumber = false;
};
using ElementMassTable = std::array<ElementMass, 119>; // index = atomic number; 0 unused

// Symbols and masses from the lines of the element database (Windows-1250,
// as read from the content archive): the "[Symbol]" and "[Masa atomowa]"
// properties. "1,008" and "[97]" (also written "&#91;97&#93;") are read.
ElementMassTable ReadElementMasses(const std::vector<std::string>& databaseLines);

// The table from the element database in the content archive `archive`
// (ORBITA.DAT); nothing when the archive or its database cannot be read.
std::optional<ElementMassTable> ReadElementMassesFromArchive(const std::string& archive);

// A formula that could not be read: a Polish sentence naming the place
// ("Nieznany symbol pierwiastka „Xy” w pozycji 5"); `position` counts
// characters from 1 (0 when the fault has no place, as an empty formula).
struct FormulaError {
    std::size_t position = 0;
    std::string message;
};

// How many atoms of each element one formula unit holds, in the order the
// elements first appear, and the charge written at the end (not used for the
// mass).
struct FormulaAtoms {
    struct Entry {
        int element = 0; // atomic number
        std::uint64_t count = 0;
    };
    std::vector<Entry> entries;
    int charge = 0;
};

// The longest formula read and the deepest bracket nesting.
inline constexpr std::size_t kMaxFormulaCharacters = 1000;
inline constexpr std::size_t kMaxBracketDepth = 64;

// Reads a formula: element symbols with counts ("H2O"), nested round and
// square brackets with counts ("K4[Fe(CN)6]", "(NH4)2SO4"), hydrates and
// adducts joined by "·", "∙", "⋅", "*" or "." with an optional leading count
// ("CuSO4·5H2O"), subscript digits ("H₂O") and an optional charge at the end
// ("SO4^2-", "NH4+", "SO₄²⁻"). Blanks between the parts are allowed.
// Either the atoms or the error is set.
struct FormulaReading {
    std::optional<FormulaAtoms> atoms;
    std::optional<FormulaError> error;
};
FormulaReading ReadFormula(std::string_view formula, const ElementMassTable& table);

// The molar mass of a formula and each element's share of it.
struct MolarMassRow {
    int element = 0;
    std::string symbol;
    std::uint64_t count = 0;
    double atomicMass = 0; // g/mol
    double mass = 0; // count × atomicMass
    double percent = 0; // share of the total mass
    bool massNumber = false;
};
struct MolarMass {
    double total = 0; // g/mol
    int charge = 0;
    std::vector<MolarMassRow> rows;
    bool usesMassNumbers = false; // some mass was a mass number in brackets
};
struct MolarMassResult {
    std::optional<MolarMass> mass;
    std::optional<FormulaError> error;
};
// An element of the formula without a mass in the table is an error naming it.
MolarMassResult ComputeMolarMass(std::string_view formula, const ElementMassTable& table);

// Numbers as the calculator shows them, with a decimal comma: the molar mass
// with four decimals ("249,6770"), percentages with two ("25,45").
std::string FormatMass(double value);
std::string FormatPercent(double value);
// An atomic mass as the database writes it: "63,546", or "[97]" for a mass
// number.
std::string FormatAtomicMass(double value, bool massNumber);

// The result as lines of text for scripts and the clipboard: the molar mass,
// then a tab-separated table (a header row, one row per element).
std::string MolarMassReport(const MolarMass& mass);

// The sentence shown under the result when mass numbers were used.
inline constexpr std::string_view kMassNumberNote
    = "Dla pierwiastków bez trwałych izotopów użyto liczby masowej najtrwalszego izotopu (w nawiasie "
      "kwadratowym), tak jak podaje baza danych.";

} // namespace orbita
