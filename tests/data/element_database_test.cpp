// Checks the shipped element database content/ORBITA/UKLAD/DANE.TXT as a data
// set: its layout as the element window and the element search read it, and the
// physical consistency of its values with one another. Nothing here knows how
// the file was produced.

#include "core/cp1250.h"
#include "data/text_lines.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace orbita {
namespace {

constexpr int kElements = 118;

struct Property {
    std::string label;
    std::string unit;
    bool hasUnit = false;
    std::vector<int> keys; // element numbers in file order
    std::vector<std::string> values; // same order
    std::string Value(int z) const { return values.at(static_cast<std::size_t>(z - 1)); }
};

struct Database {
    std::string utf8;
    std::vector<Property> properties;
    std::vector<std::string> strayLines;

    const Property& Get(const std::string& label) const
    {
        for (const Property& p : properties)
            if (p.label == label)
                return p;
        throw std::runtime_error("no property " + label);
    }
};

std::optional<int> ElementKey(const std::string& line)
{
    const auto eq = line.find('=');
    if (eq == std::string::npos || eq == 0)
        return std::nullopt;
    for (std::size_t i = 0; i < eq; ++i)
        if (!std::isdigit(static_cast<unsigned char>(line[i])))
            return std::nullopt;
    return std::stoi(line.substr(0, eq));
}

const Database& Load()
{
    static const Database db = [] {
        Database d;
        std::ifstream in(ORBITA_SOURCE_DIR "/content/ORBITA/UKLAD/DANE.TXT", std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        d.utf8 = s.str();
        Property* current = nullptr;
        bool afterHeader = false;
        for (const std::string& line : SplitTextLines(d.utf8)) {
            if (!line.empty() && line.front() == '[') {
                d.properties.push_back(Property { line.substr(1, line.size() - 2), {}, false, {}, {} });
                current = &d.properties.back();
                if (line.back() != ']') {
                    d.strayLines.push_back(line);
                }
                afterHeader = true;
                continue;
            }
            if (AsciiUpperText(line).find("SUFFIX=") != std::string::npos) {
                if (current == nullptr || !afterHeader || current->hasUnit) {
                    d.strayLines.push_back(line);
                } else {
                    current->unit = line.substr(line.find('=') + 1);
                    current->hasUnit = true;
                }
                afterHeader = false;
                continue;
            }
            afterHeader = false;
            const auto key = ElementKey(line);
            if (current == nullptr || !key) {
                d.strayLines.push_back(line);
                continue;
            }
            current->keys.push_back(*key);
            current->values.push_back(line.substr(line.find('=') + 1));
        }
        return d;
    }();
    return db;
}

// A plain decimal number with the Polish comma, optionally negative.
std::optional<double> Number(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    std::size_t i = text[0] == '-' ? 1 : 0;
    bool digits = false, comma = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (std::isdigit(static_cast<unsigned char>(c)))
            digits = true;
        else if (c == ',' && !comma && digits)
            comma = true;
        else
            return std::nullopt;
    }
    if (!digits || text.back() == ',')
        return std::nullopt;
    std::string dotted = text;
    for (char& c : dotted)
        if (c == ',')
            c = '.';
    return std::stod(dotted);
}

// An atomic mass: a standard weight, or the mass number of the longest-lived
// isotope in brackets written as entities.
struct Mass {
    double value = 0;
    bool massNumber = false;
};
std::optional<Mass> ParseMass(const std::string& text)
{
    const std::string open = "&#91;", close = "&#93;";
    if (text.rfind(open, 0) == 0 && text.size() > open.size() + close.size()
        && text.compare(text.size() - close.size(), close.size(), close) == 0) {
        const std::string inner = text.substr(open.size(), text.size() - open.size() - close.size());
        const auto n = Number(inner);
        if (!n || inner.find(',') != std::string::npos)
            return std::nullopt;
        return Mass { *n, true };
    }
    const auto n = Number(text);
    if (!n)
        return std::nullopt;
    return Mass { *n, false };
}

// A melting or boiling point: a number, optionally with the condition it holds
// under, "817 (2,8 MPa)" or "616 (sublimacja)".
struct Point {
    double value = 0;
    bool plain = true; // at normal pressure, no sublimation
};
std::optional<Point> ParsePoint(const std::string& text)
{
    const auto open = text.find(" (");
    if (open == std::string::npos) {
        const auto n = Number(text);
        return n ? std::optional<Point>(Point { *n, true }) : std::nullopt;
    }
    const auto n = Number(text.substr(0, open));
    if (!n || text.back() != ')')
        return std::nullopt;
    const std::string condition = text.substr(open + 2, text.size() - open - 3);
    const std::string mpa = " MPa";
    const bool pressure = condition.size() > mpa.size()
        && condition.compare(condition.size() - mpa.size(), mpa.size(), mpa) == 0
        && Number(condition.substr(0, condition.size() - mpa.size()));
    if (condition != "sublimacja" && !pressure)
        return std::nullopt;
    return Point { *n, false };
}

// Period from the atomic number alone: one more than the number of noble-gas
// shells closed below it.
int PeriodOf(int z)
{
    int period = 1;
    for (int closed : { 2, 10, 18, 36, 54, 86 })
        if (z > closed)
            ++period;
    return period;
}

TEST(ElementDatabase, ConvertsToWindows1250)
{
    std::size_t failedAt = 0;
    const auto converted = Utf8ToCp1250(Load().utf8, &failedAt);
    ASSERT_FALSE(Load().utf8.empty()) << "DANE.TXT is missing or empty";
    EXPECT_TRUE(converted.has_value()) << "not representable in Windows-1250 at byte " << failedAt << ": "
                                       << Load().utf8.substr(failedAt > 40 ? failedAt - 40 : 0, 80);
}

TEST(ElementDatabase, EveryPropertyHoldsElements1To118InOrder)
{
    const Database& db = Load();
    EXPECT_TRUE(db.strayLines.empty()) << "first stray line: " << db.strayLines.front();
    ASSERT_GE(db.properties.size(), 20u);
    EXPECT_EQ(db.properties.front().label, "Nazwa polska");
    std::set<std::string> labels;
    for (const Property& p : db.properties) {
        EXPECT_TRUE(labels.insert(p.label).second) << "label twice: " << p.label;
        ASSERT_EQ(p.keys.size(), static_cast<std::size_t>(kElements)) << p.label;
        for (int i = 0; i < kElements; ++i) {
            EXPECT_EQ(p.keys[static_cast<std::size_t>(i)], i + 1) << p.label;
        }
        if (p.hasUnit) {
            EXPECT_FALSE(p.unit.empty()) << p.label;
        }
    }
}

TEST(ElementDatabase, ValuesCannotBeMistakenForHeadersOrUnitLines)
{
    // The element search takes every line holding "[" for a property header,
    // and both readers take any line holding "SUFFIX=" for a unit.
    for (const Property& p : Load().properties)
        for (std::size_t i = 0; i < p.values.size(); ++i) {
            const std::string& v = p.values[i];
            EXPECT_EQ(v.find('['), std::string::npos) << p.label << " " << i + 1 << ": " << v;
            EXPECT_EQ(AsciiUpperText(v).find("SUFFIX="), std::string::npos) << p.label << " " << i + 1;
            if (!v.empty()) {
                EXPECT_TRUE(v.front() != ' ' && v.back() != ' ')
                    << p.label << " " << i + 1 << ": '" << v << "'";
            }
        }
}

TEST(ElementDatabase, NamesSymbolsAndNumbers)
{
    const Database& db = Load();
    const Property& names = db.Get("Nazwa polska");
    const Property& symbols = db.Get("Symbol");
    const Property& numbers = db.Get("Liczba atomowa");
    std::set<std::string> seenSymbols, seenNames;
    for (int z = 1; z <= kElements; ++z) {
        const std::string name = names.Value(z);
        ASSERT_FALSE(name.empty()) << z;
        // Capitalised: the Windows-1250 form of the first letter is upper case.
        const auto cp = Utf8ToCp1250(name);
        ASSERT_TRUE(cp.has_value());
        const auto first = static_cast<unsigned char>((*cp)[0]);
        EXPECT_EQ(Cp1250Upper(first), first) << name;
        EXPECT_NE(Cp1250Lower(first), first) << name;
        EXPECT_TRUE(seenNames.insert(name).second) << "name twice: " << name;

        const std::string symbol = symbols.Value(z);
        ASSERT_FALSE(symbol.empty()) << z;
        EXPECT_TRUE(std::isupper(static_cast<unsigned char>(symbol[0]))) << symbol;
        EXPECT_LE(symbol.size(), 2u) << "temporary systematic symbol left for " << z << ": " << symbol;
        for (std::size_t i = 1; i < symbol.size(); ++i) {
            EXPECT_TRUE(std::islower(static_cast<unsigned char>(symbol[i]))) << symbol;
        }
        EXPECT_TRUE(seenSymbols.insert(symbol).second) << "symbol twice: " << symbol;

        EXPECT_EQ(numbers.Value(z), std::to_string(z));
        EXPECT_FALSE(db.Get("Nazwa łacińska").Value(z).empty()) << z;
        EXPECT_FALSE(db.Get("Nazwa angielska").Value(z).empty()) << z;
        EXPECT_FALSE(db.Get("Pochodzenie nazwy").Value(z).empty()) << z;
    }
}

TEST(ElementDatabase, MassesRiseWithTheAtomicNumberBarTheKnownInversions)
{
    const Property& masses = Load().Get("Masa atomowa");
    EXPECT_EQ(masses.unit, "u");
    std::vector<Mass> m;
    for (int z = 1; z <= kElements; ++z) {
        const auto mass = ParseMass(masses.Value(z));
        ASSERT_TRUE(mass.has_value()) << z << ": " << masses.Value(z);
        // Between one and 2.7 nucleon masses per proton for every nuclide known.
        EXPECT_GE(mass->value / z, 1.0) << z;
        EXPECT_LE(mass->value / z, 2.7) << z;
        m.push_back(*mass);
    }
    // Elements whose standard weight is lower than that of the element before
    // them: Ar/K, Co/Ni, Te/I, Th/Pa among the standard weights; U/Np, Pu/Am
    // and Bh/Hs among the mass numbers of the longest-lived isotopes.
    const std::set<int> known = { 19, 28, 53, 91, 93, 95, 108 };
    std::set<int> found;
    for (int z = 2; z <= kElements; ++z)
        if (m[static_cast<std::size_t>(z - 1)].value < m[static_cast<std::size_t>(z - 2)].value)
            found.insert(z);
    EXPECT_EQ(found, known);
    // Elements with a stable or long-lived primordial isotope carry a weight
    // with decimals, the others a mass number: the last weighted one is U.
    for (int z = 1; z <= kElements; ++z) {
        const bool noStableIsotope = z == 43 || z == 61 || (z >= 84 && z != 90 && z != 91 && z != 92);
        EXPECT_EQ(m[static_cast<std::size_t>(z - 1)].massNumber, noStableIsotope) << z;
    }
}

TEST(ElementDatabase, GroupPeriodAndBlockAgree)
{
    // One convention throughout: the f-block holds La-Yb and Ac-No, 14 + 14
    // elements outside the numbered groups; Lu and Lr stand in group 3.
    const Database& db = Load();
    std::set<std::pair<int, int>> cells;
    std::set<int> fBlock;
    for (int z = 1; z <= kElements; ++z) {
        const std::string block = db.Get("Blok").Value(z);
        const auto period = Number(db.Get("Okres").Value(z));
        ASSERT_TRUE(period) << z;
        EXPECT_EQ(static_cast<int>(*period), PeriodOf(z)) << z;
        if (block == "f") {
            fBlock.insert(z);
            EXPECT_FALSE(Number(db.Get("Grupa").Value(z))) << "f-block element " << z << " in a group";
            EXPECT_GE(*period, 6) << z;
            continue;
        }
        const auto group = Number(db.Get("Grupa").Value(z));
        ASSERT_TRUE(group) << z << ": " << db.Get("Grupa").Value(z);
        const int g = static_cast<int>(*group);
        if (block == "s") {
            EXPECT_TRUE(g == 1 || g == 2 || z == 2) << z;
        } else if (block == "p") {
            EXPECT_TRUE(g >= 13 && g <= 18) << z;
        } else if (block == "d") {
            EXPECT_TRUE(g >= 3 && g <= 12) << z;
            EXPECT_GE(*period, 4) << z;
        } else {
            ADD_FAILURE() << "block of " << z << ": " << block;
        }
        // Every (period, group) cell holds one element.
        EXPECT_TRUE(cells.insert({ static_cast<int>(*period), g }).second) << "cell taken twice by " << z;
        // The noble gases close each period.
        const bool closesPeriod = PeriodOf(z + 1) != PeriodOf(z) || z == kElements;
        EXPECT_EQ(g == 18, closesPeriod) << z;
    }
    std::set<int> expected;
    for (int z = 57; z <= 70; ++z)
        expected.insert(z);
    for (int z = 89; z <= 102; ++z)
        expected.insert(z);
    EXPECT_EQ(fBlock, expected);
    EXPECT_EQ(cells.size(), 118u - 28u);
    EXPECT_TRUE(cells.count({ 6, 3 }) && cells.count({ 7, 3 })); // Lu and Lr
}

TEST(ElementDatabase, ElectronConfigurationsHoldZElectrons)
{
    const std::map<std::string, int> cores
        = { { "He", 2 }, { "Ne", 10 }, { "Ar", 18 }, { "Kr", 36 }, { "Xe", 54 }, { "Rn", 86 } };
    const Property& configs = Load().Get("Konfiguracja elektronowa");
    int given = 0;
    for (int z = 1; z <= kElements; ++z) {
        const std::string text = configs.Value(z);
        if (text.empty())
            continue;
        ++given;
        const std::string predicted = " (przewidywana)";
        const bool isPredicted = text.size() > predicted.size()
            && text.compare(text.size() - predicted.size(), predicted.size(), predicted) == 0;
        // Configurations from element 104 on are calculated, never measured.
        EXPECT_EQ(isPredicted, z >= 104) << z << ": " << text;
        std::istringstream parts(isPredicted ? text.substr(0, text.size() - predicted.size()) : text);
        std::string part;
        int electrons = 0;
        std::set<std::string> subshells;
        while (parts >> part) {
            if (part.rfind("&#91;", 0) == 0) {
                const std::string core = part.substr(5, part.size() - 10);
                ASSERT_TRUE(cores.count(core)) << z << ": " << text;
                EXPECT_EQ(part, "&#91;" + core + "&#93;");
                EXPECT_LT(cores.at(core), z);
                electrons += cores.at(core);
                continue;
            }
            // n l <sup>count</sup>
            ASSERT_GE(part.size(), 13u) << z << ": " << text;
            const std::string subshell = part.substr(0, 2);
            EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(subshell[0]))) << text;
            EXPECT_NE(std::string("spdf").find(subshell[1]), std::string::npos) << text;
            EXPECT_TRUE(subshells.insert(subshell).second) << text;
            EXPECT_EQ(part.substr(2, 5), "<sup>") << text;
            EXPECT_EQ(part.substr(part.size() - 6), "</sup>") << text;
            const auto count = Number(part.substr(7, part.size() - 13));
            ASSERT_TRUE(count) << text;
            const int capacity = 2 * (2 * static_cast<int>(std::string("spdf").find(subshell[1])) + 1);
            EXPECT_LE(*count, capacity) << text;
            electrons += static_cast<int>(*count);
        }
        EXPECT_EQ(electrons, z) << text;
    }
    EXPECT_GE(given, 100);
}

TEST(ElementDatabase, PhaseChangesAndTheStateAt20Degrees)
{
    const Database& db = Load();
    EXPECT_EQ(db.Get("Temperatura topnienia").unit, "°C");
    EXPECT_EQ(db.Get("Temperatura wrzenia").unit, "°C");
    const Property& state = db.Get("Stan skupienia (20 °C)");
    std::map<std::string, int> counts;
    for (int z = 1; z <= kElements; ++z) {
        const std::string melt = db.Get("Temperatura topnienia").Value(z);
        const std::string boil = db.Get("Temperatura wrzenia").Value(z);
        const auto mp = ParsePoint(melt), bp = ParsePoint(boil);
        EXPECT_EQ(melt.empty(), !mp) << "melting point of " << z << ": " << melt;
        EXPECT_EQ(boil.empty(), !bp) << "boiling point of " << z << ": " << boil;
        for (const auto& point : { mp, bp }) {
            if (point) {
                EXPECT_GT(point->value, -273.15) << z;
            }
        }
        // Only points at normal pressure take part in the comparisons below.
        const auto m = mp && mp->plain ? std::optional<double>(mp->value) : std::nullopt;
        const auto b = bp && bp->plain ? std::optional<double>(bp->value) : std::nullopt;
        if (m && b) {
            EXPECT_LT(*m, *b) << z;
        }
        const std::string s = state.Value(z);
        ++counts[s];
        if (s == "gaz") {
            if (b) {
                EXPECT_LT(*b, 20) << z;
            }
        } else if (s == "ciecz") {
            if (m) {
                EXPECT_LT(*m, 20) << z;
            }
            if (b) {
                EXPECT_GT(*b, 20) << z;
            }
        } else if (s == "ciało stałe") {
            if (m) {
                EXPECT_GT(*m, 20) << z;
            }
        } else {
            EXPECT_EQ(s, "") << "state of " << z;
        }
        // Where both points are known, the state follows from them.
        if (m && b && !s.empty()) {
            const std::string expected = *b < 20 ? "gaz" : *m < 20 ? "ciecz" : "ciało stałe";
            EXPECT_EQ(s, expected) << z;
        }
    }
    // Two liquid elements at 20 °C, and the eleven gases.
    EXPECT_EQ(counts["ciecz"], 2);
    EXPECT_EQ(counts["gaz"], 11);
}

TEST(ElementDatabase, DensitiesMatchTheStateAndTheIdealGas)
{
    const Database& db = Load();
    const Property& condensed = db.Get("Gęstość");
    const Property& gas = db.Get("Gęstość gazu (0 °C, 1013 hPa)");
    EXPECT_EQ(condensed.unit, "g/cm<sup>3</sup>");
    EXPECT_EQ(gas.unit, "g/l");
    const Property& state = db.Get("Stan skupienia (20 °C)");
    for (int z = 1; z <= kElements; ++z) {
        const auto c = Number(condensed.Value(z));
        const auto g = Number(gas.Value(z));
        EXPECT_EQ(condensed.Value(z).empty(), !c) << z << ": " << condensed.Value(z);
        EXPECT_EQ(gas.Value(z).empty(), !g) << z << ": " << gas.Value(z);
        EXPECT_FALSE(c && g) << "two densities for " << z;
        const bool isGas = state.Value(z) == "gaz";
        if (isGas) {
            EXPECT_FALSE(c) << z;
            ASSERT_TRUE(g) << z;
            // Ideal gas at 0 °C and 101.325 kPa: 22.414 l/mol; noble gases are
            // single atoms, the other gaseous elements diatomic molecules.
            const double atomic = ParseMass(db.Get("Masa atomowa").Value(z))->value;
            const bool noble = db.Get("Grupa").Value(z) == "18";
            const double ideal = atomic * (noble ? 1 : 2) / 22.414;
            EXPECT_NEAR(*g / ideal, 1.0, 0.02) << z;
        } else {
            EXPECT_FALSE(g) << z;
            if (c) {
                EXPECT_GT(*c, 0.5) << z;
                EXPECT_LT(*c, 23.0) << z;
            }
        }
    }
}

TEST(ElementDatabase, IonisationAndElectronegativityFollowThePeriodicTrends)
{
    const Database& db = Load();
    const Property& ie = db.Get("Pierwsza energia jonizacji");
    const Property& en = db.Get("Elektroujemność (Pauling)");
    EXPECT_EQ(ie.unit, "kJ/mol");
    std::map<int, std::vector<std::pair<double, int>>> byPeriod;
    for (int z = 1; z <= kElements; ++z) {
        const auto i = Number(ie.Value(z));
        EXPECT_EQ(ie.Value(z).empty(), !i) << z;
        if (i) {
            EXPECT_GT(*i, 350) << z; // caesium is the lowest, near 376
            EXPECT_LT(*i, 2400) << z; // helium is the highest, near 2372
            byPeriod[PeriodOf(z)].push_back({ *i, z });
        }
        const auto e = Number(en.Value(z));
        EXPECT_EQ(en.Value(z).empty(), !e) << z;
        if (e) {
            EXPECT_GE(*e, 0.7) << z;
            EXPECT_LE(*e, 3.98) << z;
        }
    }
    // Within periods 1 to 6 the alkali metal is the easiest to ionise and the
    // noble gas the hardest.
    for (int period = 1; period <= 6; ++period) {
        auto& row = byPeriod[period];
        ASSERT_FALSE(row.empty());
        const auto [lo, hi] = std::minmax_element(row.begin(), row.end());
        EXPECT_EQ(db.Get("Grupa").Value(hi->second), "18") << "period " << period;
        if (period > 1) {
            EXPECT_EQ(db.Get("Grupa").Value(lo->second), "1") << "period " << period;
        }
    }
    // Fluorine is the most electronegative element.
    double best = 0;
    int most = 0;
    for (int z = 1; z <= kElements; ++z)
        if (const auto e = Number(en.Value(z)); e && *e > best)
            best = *e, most = z;
    EXPECT_EQ(db.Get("Symbol").Value(most), "F");
}

TEST(ElementDatabase, NumericPropertiesAreBareNumbers)
{
    // Units live in the SUFFIX line so that whole-value searching finds "7,874".
    const Database& db = Load();
    for (const char* label :
        { "Elektroujemność (Pauling)", "Gęstość", "Gęstość gazu (0 °C, 1013 hPa)", "Temperatura topnienia",
            "Temperatura wrzenia", "Pierwsza energia jonizacji", "Promień kowalencyjny", "Grupa", "Okres" }) {
        const Property& p = db.Get(label);
        for (int z = 1; z <= kElements; ++z) {
            const std::string v = p.Value(z);
            const std::string name = label;
            // A point may carry its condition, "817 (2,8 MPa)"; the f-block stands
            // outside the numbered groups.
            const bool parsed = name.rfind("Temperatura", 0) == 0   ? ParsePoint(v).has_value()
                : name == "Grupa" && db.Get("Blok").Value(z) == "f" ? v == "nie należy do grup 1–18"
                                                                    : Number(v).has_value();
            if (!v.empty()) {
                EXPECT_TRUE(parsed) << label << " " << z << ": " << v;
            }
            EXPECT_EQ(v.find('.'), std::string::npos) << label << " " << z << ": decimal comma expected";
        }
    }
    const Property& years = db.Get("Rok odkrycia");
    for (int z = 93; z <= kElements; ++z) {
        const auto y = Number(years.Value(z));
        ASSERT_TRUE(y) << z; // every transuranium element was made in a known year
        EXPECT_GE(*y, 1940) << z;
        EXPECT_LE(*y, 2010) << z;
    }
}

} // namespace
} // namespace orbita
