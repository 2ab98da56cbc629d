#include "core/cp1250.h"
#include "windows/properties/property_table_logic.h"

#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <set>

namespace orbita {
namespace {

// The database shipped with the program, as the archive gives it
// (Windows-1250 lines).
const PropertyTable& Shipped()
{
    static const PropertyTable table = [] {
        std::ifstream in(ORBITA_SOURCE_DIR "/content/ORBITA/UKLAD/DANE.TXT", std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(Utf8ToCp1250Lossy(line));
        }
        return ReadPropertyTable(lines);
    }();
    return table;
}

int Number(std::string_view symbol)
{
    for (std::size_t number = 1; number < Shipped().elements.size(); ++number)
        if (Shipped().elements[number].symbol == symbol)
            return static_cast<int>(number);
    ADD_FAILURE() << "no element " << symbol;
    return 0;
}

TEST(PropertyTable, LeadingNumbersOfOddValues)
{
    struct Case {
        std::string_view text;
        std::optional<double> number;
    };
    const Case cases[] = {
        { "2,20", 2.2 },
        { "-38,83", -38.83 },
        { "−38,83", -38.83 },
        { "-272,2 (2,5 MPa)", -272.2 },
        { "3825 (sublimacja)", 3825 },
        { "[209]", 209 },
        { "ok. 1500", 1500 },
        { "~ 7", 7 },
        { "1000–1200", 1100 },
        { "1000 - 1200", 1100 },
        { "1000-", std::nullopt },
        { "starożytność", std::nullopt },
        { "średniowiecze", std::nullopt },
        { "", std::nullopt },
        { "[", std::nullopt },
        { "[209", std::nullopt },
        { "12abc", std::nullopt },
        { ",5", std::nullopt },
    };
    for (const Case& c : cases)
        EXPECT_EQ(LeadingNumber(c.text), c.number) << c.text;
}

TEST(PropertyTable, ShippedDatabaseValuesUnitsAndPlaces)
{
    const PropertyTable& table = Shipped();
    const TableElement& helium = table.elements[2];
    EXPECT_EQ(helium.symbol, "He");
    EXPECT_EQ(helium.name, "Hel");
    EXPECT_EQ(helium.Value(TableProperty::MeltingPoint).text, "-272,2 (2,5 MPa)");
    EXPECT_DOUBLE_EQ(helium.Value(TableProperty::MeltingPoint).number.value_or(0), -272.2);
    // Gases have no density in g/cm³, only the gas density of their own.
    EXPECT_FALSE(helium.Value(TableProperty::Density).number);
    EXPECT_TRUE(helium.Value(TableProperty::GasDensity).number);
    // "&#91;294&#93;" is shown as the mass number it is.
    EXPECT_EQ(table.elements[118].Value(TableProperty::AtomicMass).text, "[294]");
    EXPECT_DOUBLE_EQ(table.elements[118].Value(TableProperty::AtomicMass).number.value_or(0), 294);
    EXPECT_EQ(table.elements[Number("Fe")].Value(TableProperty::DiscoveryYear).text, "starożytność");
    EXPECT_FALSE(table.elements[Number("Fe")].Value(TableProperty::DiscoveryYear).number);
    EXPECT_EQ(table.Unit(TableProperty::Density), "g/cm³");
    EXPECT_EQ(table.Unit(TableProperty::MeltingPoint), "°C");
    EXPECT_EQ(table.Unit(TableProperty::IonisationEnergy), "kJ/mol");
    EXPECT_EQ(table.Unit(TableProperty::AtomicMass), "u");
    EXPECT_EQ(table.Unit(TableProperty::Electronegativity), "");
    EXPECT_EQ(PlainUnit("m<SUP>2</SUP>/s &amp; H<sub>2</sub>O"), "m²/s & H₂O");

    // Every element has a cell of its own, and the rows are full where they
    // should be.
    std::set<std::pair<int, int>> cells;
    for (int number = 1; number <= 118; ++number) {
        const TableElement& e = table.elements[static_cast<std::size_t>(number)];
        ASSERT_GE(e.column, 1) << number;
        ASSERT_GE(e.row, 1) << number;
        EXPECT_TRUE(cells.insert({ e.column, e.row }).second) << number;
        EXPECT_EQ(ElementAt(table, e.column, e.row), number);
    }
    struct Place {
        std::string_view symbol;
        int column, row;
    };
    for (const Place& p :
        { Place { "H", 1, 1 }, Place { "He", 18, 1 }, Place { "Lu", 3, 6 }, Place { "La", 4, 9 },
            Place { "Yb", 17, 9 }, Place { "Ac", 4, 10 }, Place { "No", 17, 10 }, Place { "Og", 18, 7 } }) {
        EXPECT_EQ(table.elements[static_cast<std::size_t>(Number(p.symbol))].column, p.column) << p.symbol;
        EXPECT_EQ(table.elements[static_cast<std::size_t>(Number(p.symbol))].row, p.row) << p.symbol;
    }
    EXPECT_EQ(ElementAt(table, 2, 1), 0);
    for (int column = 1; column <= kTableColumns; ++column)
        EXPECT_EQ(ElementAt(table, column, 8), 0);
}

TEST(PropertyTable, ViridisEndsAndRisingLightness)
{
    // The map's published ends: #440154 and #FDE725, within the fit's error.
    const Rgb low = Viridis(0);
    const Rgb high = Viridis(1);
    EXPECT_NEAR(low.red, 0x44, 4);
    EXPECT_NEAR(low.green, 0x01, 4);
    EXPECT_NEAR(low.blue, 0x54, 4);
    EXPECT_NEAR(high.red, 0xFD, 4);
    EXPECT_NEAR(high.green, 0xE7, 4);
    EXPECT_NEAR(high.blue, 0x25, 4);
    EXPECT_EQ(Viridis(-3), low);
    EXPECT_EQ(Viridis(7), high);
    // Steps of 1/64: finer ones meet the noise of rounding to 8 bits.
    double previous = -1;
    for (int step = 0; step <= 64; ++step) {
        const double lightness = RelativeLuminance(Viridis(step / 64.0));
        EXPECT_GE(lightness, previous) << step;
        previous = lightness;
    }
    // Text on the cells: white on the dark end, black on the light one.
    EXPECT_EQ(TextColourOn(low), (Rgb { 255, 255, 255 }));
    EXPECT_EQ(TextColourOn(high), (Rgb { 0, 0, 0 }));
}

TEST(PropertyTable, ScalesLinearAndLogarithmicWithTicks)
{
    const PropertyTable& table = Shipped();
    const std::optional<ColourScale> electronegativity = ScaleFor(table, TableProperty::Electronegativity);
    ASSERT_TRUE(electronegativity);
    EXPECT_FALSE(electronegativity->logarithmic);
    EXPECT_DOUBLE_EQ(electronegativity->high, 3.98); // fluorine
    EXPECT_DOUBLE_EQ(electronegativity->Position(electronegativity->low), 0);
    EXPECT_DOUBLE_EQ(electronegativity->Position(3.98), 1);
    EXPECT_NEAR(electronegativity->Position((electronegativity->low + 3.98) / 2), 0.5, 1e-12);

    const std::optional<ColourScale> density = ScaleFor(table, TableProperty::Density);
    ASSERT_TRUE(density);
    EXPECT_TRUE(density->logarithmic);
    EXPECT_DOUBLE_EQ(density->low, 0.534); // lithium
    EXPECT_NEAR(density->Position(std::sqrt(density->low * density->high)), 0.5, 1e-12);
    // The melting points reach below zero: linear whatever the property.
    EXPECT_FALSE(ScaleFor(table, TableProperty::MeltingPoint)->logarithmic);

    struct Case {
        ColourScale scale;
        std::vector<double> ticks;
    };
    const Case cases[] = {
        { { 0.79, 3.98, false }, { 1, 2, 3 } },
        { { -272.2, 3500, false }, { 0, 1000, 2000, 3000 } },
        { { 0.534, 22.59, true }, { 1, 2, 5, 10, 20 } },
        { { 0.09, 9.73, true }, { 0.1, 0.2, 0.5, 1, 2, 5 } },
        { { 0.001, 50000, true }, { 0.001, 0.01, 0.1, 1, 10, 100, 1000, 10000 } },
        { { 5, 5, false }, { 5, 5 } },
    };
    for (const Case& c : cases) {
        const std::vector<double> ticks = c.scale.Ticks();
        ASSERT_EQ(ticks.size(), c.ticks.size()) << c.scale.low << ".." << c.scale.high;
        for (std::size_t i = 0; i < ticks.size(); ++i)
            EXPECT_NEAR(ticks[i], c.ticks[i], 1e-9 * std::max(1.0, c.ticks[i]));
    }
    PropertyTable empty;
    EXPECT_FALSE(ScaleFor(empty, TableProperty::Density));
    EXPECT_EQ(FormatDecimal(0.5, 2), "0,5");
    EXPECT_EQ(FormatDecimal(1000, 2), "1000");
    EXPECT_EQ(FormatDecimal(-0.001, 1), "0");
}

TEST(PropertyTable, StatesOfMatterAtATemperature)
{
    const PropertyTable& table = Shipped();
    auto state = [&](std::string_view symbol, double celsius) {
        return StateAt(table.elements[static_cast<std::size_t>(Number(symbol))], celsius);
    };
    // Gallium melts at 29,76 °C, caesium at 28,44 °C.
    EXPECT_EQ(state("Ga", 29), MatterState::Solid);
    for (const auto& [symbol, expected] : std::vector<std::pair<std::string_view, MatterState>> {
             { "Ga", MatterState::Liquid }, { "Cs", MatterState::Liquid }, { "Hg", MatterState::Liquid },
             { "Br", MatterState::Liquid }, { "Fe", MatterState::Solid }, { "O", MatterState::Gas },
             { "C", MatterState::Solid }, { "He", MatterState::Gas } })
        EXPECT_EQ(state(symbol, 30), expected) << symbol;
    // Helium has no melting point at normal pressure: liquid down to the
    // lowest temperature. Carbon and arsenic sublime.
    EXPECT_EQ(state("He", -273), MatterState::Liquid);
    EXPECT_EQ(state("He", -268), MatterState::Gas);
    EXPECT_EQ(state("C", 3824), MatterState::Solid);
    EXPECT_EQ(state("C", 3826), MatterState::Gas);
    EXPECT_EQ(state("As", 700), MatterState::Gas);

    // At the lowest temperature every element with a melting point is solid,
    // all but helium; at the highest every one with a boiling point is gas.
    int solidAtLowest = 0;
    for (int number = 1; number <= 118; ++number) {
        const TableElement& e = table.elements[static_cast<std::size_t>(number)];
        const MatterState lowest = StateAt(e, kLowestCelsius);
        if (e.Value(TableProperty::MeltingPoint).number && number != 2) {
            EXPECT_EQ(lowest, MatterState::Solid) << e.symbol;
        }
        solidAtLowest += lowest == MatterState::Solid;
        if (e.Value(TableProperty::BoilingPoint).number) {
            EXPECT_EQ(StateAt(e, kHighestCelsius), MatterState::Gas) << e.symbol;
        } else {
            EXPECT_NE(StateAt(e, kHighestCelsius), MatterState::Gas) << e.symbol;
        }
        // Without either point nothing is claimed.
        if (!e.Value(TableProperty::MeltingPoint).number && !e.Value(TableProperty::BoilingPoint).number) {
            EXPECT_EQ(StateAt(e, 20), MatterState::Unknown) << e.symbol;
        }
    }
    EXPECT_GE(solidAtLowest, 95);
}

TEST(PropertyTable, StateAtTwentyDegreesAgreesWithTheDatabase)
{
    // The database states each element's state at 20 °C in words; the points
    // must give the same wherever both are known.
    std::ifstream in(ORBITA_SOURCE_DIR "/content/ORBITA/UKLAD/DANE.TXT", std::ios::binary);
    bool inState = false;
    int compared = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with('[')) {
            inState = line.starts_with("[Stan skupienia (20 °C)]");
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inState || equals == std::string::npos || equals + 1 == line.size())
            continue;
        const int number = std::stoi(line.substr(0, equals));
        const MatterState state = StateAt(Shipped().elements[static_cast<std::size_t>(number)], 20);
        if (state == MatterState::Unknown)
            continue;
        EXPECT_EQ(StateName(state), line.substr(equals + 1)) << number;
        ++compared;
    }
    EXPECT_GE(compared, 90);
}

TEST(PropertyTable, HoverTextsNameTheValueAndItsUnit)
{
    const PropertyTable& table = Shipped();
    EXPECT_EQ(PropertyHoverText(table, 26, TableProperty::Density), "Żelazo (Fe, 26): Gęstość 7,874 g/cm³");
    EXPECT_EQ(PropertyHoverText(table, 2, TableProperty::Density), "Hel (He, 2): Gęstość – brak danych");
    EXPECT_EQ(PropertyHoverText(table, 26, TableProperty::DiscoveryYear),
        "Żelazo (Fe, 26): Rok odkrycia starożytność (bez wartości liczbowej)");
    EXPECT_EQ(
        StateHoverText(table, 31, 30), "Gal (Ga, 31) w 30 °C: ciecz; topnienie 29,76 °C, wrzenie 2229 °C");
    EXPECT_EQ(PropertyHoverText(table, 0, TableProperty::Density), "");
}

} // namespace
} // namespace orbita
