#include "windows/molar/molar_mass_logic.h"

#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace orbita {
namespace {

// The masses shipped with the program, read from the source database.
const ElementMassTable& ShippedMasses()
{
    static const ElementMassTable table = [] {
        std::ifstream in(ORBITA_SOURCE_DIR "/content/ORBITA/UKLAD/DANE.TXT", std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(line);
        }
        return ReadElementMasses(lines);
    }();
    return table;
}

std::string AtomsText(const MolarMass& mass)
{
    std::string text;
    for (const MolarMassRow& row : mass.rows)
        text += (text.empty() ? "" : " ") + row.symbol + std::to_string(row.count);
    return text;
}

TEST(MolarMass, TheDatabaseGivesSymbolsMassesAndMassNumbers)
{
    const ElementMassTable& table = ShippedMasses();
    EXPECT_EQ(table[1].symbol, "H");
    EXPECT_DOUBLE_EQ(table[1].mass.value_or(0), 1.008);
    EXPECT_EQ(table[26].symbol, "Fe");
    EXPECT_DOUBLE_EQ(table[92].mass.value_or(0), 238.029);
    EXPECT_FALSE(table[92].massNumber);
    EXPECT_EQ(table[43].symbol, "Tc");
    EXPECT_DOUBLE_EQ(table[43].mass.value_or(0), 97);
    EXPECT_TRUE(table[43].massNumber);
    for (int z = 1; z <= 118; ++z)
        EXPECT_TRUE(table[static_cast<std::size_t>(z)].mass.has_value()) << z;

    const ElementMassTable odd = ReadElementMasses(
        { "[Symbol]", "1=H", "2=He", "[Masa atomowa]", "1=[1,5]", "2=abc", "[Gęstość]", "1=99" });
    EXPECT_DOUBLE_EQ(odd[1].mass.value_or(0), 1.5);
    EXPECT_TRUE(odd[1].massNumber);
    EXPECT_FALSE(odd[2].mass) << "an unreadable mass is none";
}

// Every formula of the reference table, computed apart by
// tools/content/molar_mass_reference.py over the same masses.
TEST(MolarMass, FormulasAgreeWithTheIndependentReference)
{
    std::ifstream in(ORBITA_SOURCE_DIR "/tests/windows/molar/molar_mass_reference.tsv");
    ASSERT_TRUE(in) << "the reference table is missing";
    int rows = 0;
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string formula, mass, atoms;
        std::getline(fields, formula, '\t');
        std::getline(fields, mass, '\t');
        std::getline(fields, atoms);
        const MolarMassResult result = ComputeMolarMass(formula, ShippedMasses());
        ASSERT_TRUE(result.mass) << formula << ": " << result.error->message;
        EXPECT_NEAR(result.mass->total, std::stod(mass), 5e-7) << formula;
        EXPECT_EQ(AtomsText(*result.mass), atoms) << formula;
        double percent = 0;
        for (const MolarMassRow& row : result.mass->rows)
            percent += row.percent;
        EXPECT_NEAR(percent, 100, 1e-9) << formula;
        ++rows;
    }
    EXPECT_GE(rows, 40);
}

TEST(MolarMass, CopperSulphatePentahydrateAsThePupilSeesIt)
{
    const MolarMassResult result = ComputeMolarMass("CuSO4·5H2O", ShippedMasses());
    ASSERT_TRUE(result.mass);
    EXPECT_EQ(FormatMass(result.mass->total), "249,6770");
    ASSERT_EQ(result.mass->rows.size(), 4u);
    EXPECT_EQ(FormatPercent(result.mass->rows[0].percent), "25,45"); // Cu 63,546 / 249,677
    EXPECT_EQ(FormatPercent(result.mass->rows[2].percent), "57,67"); // O 9 × 15,999
    EXPECT_FALSE(result.mass->usesMassNumbers);

    const MolarMassResult technetium = ComputeMolarMass("TcO4^-", ShippedMasses());
    ASSERT_TRUE(technetium.mass);
    EXPECT_TRUE(technetium.mass->usesMassNumbers);
    EXPECT_EQ(technetium.mass->charge, -1);
}

TEST(MolarMass, ChargesAreReadAtTheEndOnly)
{
    struct Case {
        const char* formula;
        int charge;
    };
    for (const Case& c :
        { Case { "SO4^2-", -2 }, Case { "NH4+", 1 }, Case { "Fe^3+", 3 }, Case { "SO₄²⁻", -2 },
            Case { "PO4 ^3-", -3 }, Case { "Cl-", -1 }, Case { "H2O", 0 }, Case { "Fe^+3", 3 } }) {
        const FormulaReading reading = ReadFormula(c.formula, ShippedMasses());
        ASSERT_TRUE(reading.atoms) << c.formula << ": " << reading.error->message;
        EXPECT_EQ(reading.atoms->charge, c.charge) << c.formula;
    }
}

// Every error names its place (characters from 1, "·" counting as one).
TEST(MolarMass, ErrorsSayWhatAndWhere)
{
    struct Case {
        const char* formula;
        std::size_t position;
        const char* message;
    };
    const Case cases[] = {
        { "", 0, "Wzór jest pusty" },
        { "   ", 0, "Wzór jest pusty" },
        { "NaXyCl", 3, "Nieznany symbol pierwiastka „Xy” w pozycji 3" },
        { "CuSO4·5Xy", 8, "Nieznany symbol pierwiastka „Xy” w pozycji 8" },
        { "Ca(OH2", 3, "Nawias „(” w pozycji 3 nie został zamknięty" },
        { "CaOH)2", 5, "Nawias „)” w pozycji 5 nie ma pary" },
        { "K4[Fe(CN]6)", 9, "Nawias „]” w pozycji 9 nie pasuje do nawiasu „(” w pozycji 6" },
        { "H0", 2, "Liczba w pozycji 2 musi być większa od zera" },
        { "(OH)0", 5, "Liczba w pozycji 5 musi być większa od zera" },
        { "0H2O", 1, "Liczba w pozycji 1 musi być większa od zera" },
        { "Ca()2", 3, "Puste nawiasy w pozycji 3" },
        { "cuso4", 1, "Symbol pierwiastka zaczyna się wielką literą: „c” w pozycji 1" },
        { "CuSO4·", 6, "Po znaku łączenia w pozycji 6 brakuje składnika" },
        { "·H2O", 1, "Przed znakiem łączenia w pozycji 1 brakuje składnika" },
        { "CuSO4··H2O", 7, "Przed znakiem łączenia w pozycji 7 brakuje składnika" },
        { "CuSO4·5", 7, "Po liczbie w pozycji 7 brakuje wzoru składnika" },
        { "[Cu(H2O)4·H2O]", 10, "Znak łączenia „·” w pozycji 10 nie może stać w nawiasie" },
        { "SO4^2-H", 4, "Ładunek w pozycji 4 może stać tylko na końcu wzoru" },
        { "SO4^2", 4, "Nieprawidłowy ładunek w pozycji 4 (zapisz go na końcu, np. „SO4^2-”)" },
        { "H2O 2", 5, "Liczba w pozycji 5 musi stać po symbolu lub nawiasie" },
        { "H2O#", 4, "Nieoczekiwany znak „#” w pozycji 4" },
        { "H2O1000001", 4, "Za duża liczba w pozycji 4 (najwyżej 1 000 000)" },
        { "^2-", 0, "Wzór nie zawiera żadnego pierwiastka" },
        { "H2\xC3(", 3, "Nieprawidłowy znak w pozycji 3" },
    };
    for (const Case& c : cases) {
        const MolarMassResult result = ComputeMolarMass(c.formula, ShippedMasses());
        ASSERT_TRUE(result.error) << c.formula;
        EXPECT_EQ(result.error->message, c.message) << c.formula;
        EXPECT_EQ(result.error->position, c.position) << c.formula;
    }
}

TEST(MolarMass, HugeAndDeepFormulasAreRefusedNotOverflowed)
{
    std::string deep;
    for (std::size_t i = 0; i <= kMaxBracketDepth; ++i)
        deep += '(';
    deep += 'H';
    const MolarMassResult tooDeep = ComputeMolarMass(deep, ShippedMasses());
    ASSERT_TRUE(tooDeep.error);
    EXPECT_EQ(tooDeep.error->position, kMaxBracketDepth + 1);

    std::string many = "H";
    for (int i = 0; i < 4; ++i)
        many = "(" + many + ")999999";
    const MolarMassResult overflow = ComputeMolarMass(many, ShippedMasses());
    ASSERT_TRUE(overflow.error) << "10^24 atoms are refused";
    EXPECT_NE(overflow.error->message.find("zbyt wiele atomów"), std::string::npos);

    EXPECT_TRUE(ComputeMolarMass(std::string(kMaxFormulaCharacters + 1, 'H'), ShippedMasses()).error);
    EXPECT_TRUE(ComputeMolarMass(std::string(kMaxFormulaCharacters, 'H'), ShippedMasses()).mass);

    ElementMassTable noMass = ShippedMasses();
    noMass[8].mass.reset();
    const MolarMassResult missing = ComputeMolarMass("H2O", noMass);
    ASSERT_TRUE(missing.error);
    EXPECT_EQ(missing.error->message, "Baza danych nie podaje masy atomowej pierwiastka „O”");
}

} // namespace
} // namespace orbita
