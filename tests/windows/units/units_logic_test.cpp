// The unit converter's rules: what a box accepts, the checks and their
// messages, the general format, and every conversion against the table that
// tools/content/units_reference.py computes apart with Python's decimal module.

#include "windows/units/units_logic.h"

#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace orbita::units {
namespace {

std::map<Unit, std::string> converted(Unit from, const std::string& text, int digits)
{
    const Conversion conversion = Convert(from, text, digits);
    EXPECT_FALSE(conversion.error) << text << ": " << conversion.error->text;
    std::map<Unit, std::string> results;
    for (const UnitText& result : conversion.results)
        results[result.unit] = result.text;
    return results;
}

TEST(UnitsConversion, TheWindowsWorkedExamples)
{
    for (int digits : kPrecisions) {
        SCOPED_TRACE(digits);
        const std::map<Unit, std::string> celsius = converted(Unit::TempC, "100", digits);
        EXPECT_EQ(celsius,
            (std::map<Unit, std::string> {
                { Unit::TempK, "373,15" }, { Unit::TempR, "80" }, { Unit::TempF, "212" } }));
        const std::map<Unit, std::string> quintal = converted(Unit::WeightQ, "1", digits);
        EXPECT_EQ(quintal,
            (std::map<Unit, std::string> { { Unit::WeightKG, "100" }, { Unit::WeightT, "0,1" },
                { Unit::WeightG, "100000" }, { Unit::WeightMG, "100000000" },
                { Unit::WeightDAG, "10000" } }));
        EXPECT_EQ(converted(Unit::LengthM, "0,00001", digits).at(Unit::LengthKM), "1E-8");
        EXPECT_EQ(converted(Unit::LengthM, "-5", digits).at(Unit::LengthCM), "-500");
    }
}

// What an 80-bit binary float gets wrong at 20 digits comes out exact.
TEST(UnitsConversion, TwentyDigitsAreExact)
{
    EXPECT_EQ(converted(Unit::LengthM, "1", 20).at(Unit::LengthKM), "0,001");
    EXPECT_EQ(converted(Unit::TempC, "100", 20).at(Unit::TempK), "373,15");
    EXPECT_EQ(converted(Unit::LengthKM, "0,3", 20).at(Unit::LengthCM), "30000");
    EXPECT_EQ(converted(Unit::TempF, "212", 20).at(Unit::TempC), "100");
    // A repeating result keeps all its digits, rounded once at the last one.
    EXPECT_EQ(converted(Unit::TempF, "1", 20).at(Unit::TempC), "-17,222222222222222222");
    EXPECT_EQ(converted(Unit::TempF, "33", 20).at(Unit::TempR), "0,44444444444444444444");
    EXPECT_EQ(converted(Unit::TempF, "33", 10).at(Unit::TempC), "0,5555555556");
}

TEST(UnitsConversion, CancelledTermsAndNegativeZeroShowZero)
{
    for (int digits : kPrecisions) {
        EXPECT_EQ(converted(Unit::TempF, "-459,67", digits).at(Unit::TempK), "0");
        EXPECT_EQ(converted(Unit::TempF, "32", digits).at(Unit::TempC), "0");
        EXPECT_EQ(converted(Unit::TempC, "-273,15", digits).at(Unit::TempK), "0");
        EXPECT_EQ(converted(Unit::LengthM, "-0", digits).at(Unit::LengthKM), "0");
        EXPECT_EQ(converted(Unit::TempR, "-0", digits).at(Unit::TempC), "0");
    }
    // A small difference that is not a rounding residue stays.
    EXPECT_EQ(converted(Unit::TempK, "273,1500001", 10).at(Unit::TempC), "1E-7");
}

TEST(UnitsConversion, TheSourceUnitIsLeftOutAndTheOthersFollowThePage)
{
    for (const QuantityInfo& quantity : Quantities()) {
        const std::vector<Unit> page = PageUnits(quantity.quantity);
        for (Unit from : page) {
            const Conversion conversion = Convert(from, "1", 10);
            std::vector<Unit> expected;
            for (Unit unit : page)
                if (unit != from)
                    expected.push_back(unit);
            std::vector<Unit> got;
            for (const UnitText& result : conversion.results)
                got.push_back(result.unit);
            EXPECT_EQ(got, expected) << InfoOf(from).box;
        }
    }
}

TEST(UnitsEntry, FullStopBecomesCommaAndOnlyNumberCharactersPass)
{
    EXPECT_EQ(AcceptedEntry("."), ",");
    EXPECT_EQ(AcceptedEntry("-12.5"), "-12,5");
    EXPECT_EQ(AcceptedEntry("0123456789,-"), "0123456789,-");
    EXPECT_EQ(AcceptedEntry(""), "");
    for (const char* refused : { "1e5", "1E5", "12 ", "+5", "abc", "1/2", "5%", "\xc2\xb0" })
        EXPECT_FALSE(AcceptedEntry(refused)) << refused;
}

// Only what a change inserts is judged: a box showing "1E-8" can still be
// edited, and an "E" typed into it is refused.
TEST(UnitsEntry, ChangesAreJudgedByWhatTheyInsert)
{
    EXPECT_EQ(EditedEntry("12", "12."), "12,");
    EXPECT_EQ(EditedEntry("", "3.14"), "3,14");
    EXPECT_EQ(EditedEntry("15", "1e5"), std::nullopt);
    EXPECT_EQ(EditedEntry("", "1e5"), std::nullopt);
    EXPECT_EQ(EditedEntry("1E-8", "1E-85"), "1E-85");
    EXPECT_EQ(EditedEntry("1E-8", "1EE-8"), std::nullopt);
    EXPECT_EQ(EditedEntry("1E-8", "1E-"), "1E-"); // deleting
    EXPECT_EQ(EditedEntry("123", "1x3"), std::nullopt); // a selection replaced
    EXPECT_EQ(EditedEntry("123", "1.3"), "1,3");
    EXPECT_EQ(EditedEntry("11", "111"), "111");
}

TEST(UnitsEntry, ChecksGiveTheirMessages)
{
    const auto check = [](const std::string& text) {
        const std::optional<InputError> error = CheckInput(text);
        return error ? std::make_pair(error->text, error->title)
                     : std::make_pair(std::string(), std::string());
    };
    const std::pair<std::string, std::string> invalid { "Wprowadzono nieprawidłową wartość liczbową",
        "Błąd formuły" };
    EXPECT_EQ(check(""),
        std::make_pair(
            std::string("Wprowadź dowolną wartość liczbową"), std::string("Brak wartości liczbowej")));
    EXPECT_EQ(
        check("-"), std::make_pair(std::string("Brak wartości liczbowej"), std::string("Błąd formuły")));
    for (const char* text : { "5-", "--5", "-5-", "1,2,3", ",", "-,", ",,", "1e5", "1.5", "12a" })
        EXPECT_EQ(check(text), invalid) << text;
    EXPECT_EQ(check(std::string(41, '1')), invalid);
    EXPECT_EQ(check(std::string(40, '1')), std::make_pair(std::string(), std::string()));
    for (const char* text : { "-5", "5", "0", ",5", "5,", "-,5", "-0", "0,0000001", " 7 " })
        EXPECT_EQ(check(text), std::make_pair(std::string(), std::string())) << text;
    // A rejected text converts nothing.
    const Conversion rejected = Convert(Unit::LengthM, "5-", 10);
    ASSERT_TRUE(rejected.error);
    EXPECT_TRUE(rejected.results.empty());
}

TEST(UnitsFormat, GeneralFormatRoundsOnceAndChoosesTheNotation)
{
    EXPECT_EQ(FormatGeneral("1.5e25", 10), "1,5E25");
    EXPECT_EQ(FormatGeneral("-1.25e-8", 20), "-1,25E-8");
    EXPECT_EQ(FormatGeneral("0.00001", 10), "0,00001");
    EXPECT_EQ(FormatGeneral("0.0000099999", 10), "9,9999E-6");
    EXPECT_EQ(FormatGeneral("0.00000999999999996", 10), "0,00001"); // rounds up into fixed notation
    EXPECT_EQ(FormatGeneral("1234567890", 10), "1234567890");
    EXPECT_EQ(FormatGeneral("12345678901", 10), "1,23456789E10");
    EXPECT_EQ(FormatGeneral("9999999999.6", 10), "1E10");
    EXPECT_EQ(FormatGeneral("9999999999.4", 10), "9999999999");
    EXPECT_EQ(FormatGeneral("0.15", 1), "0,2"); // half away from zero
    EXPECT_EQ(FormatGeneral("-0.15", 1), "-0,2");
    EXPECT_EQ(FormatGeneral("123.4500", 15), "123,45");
    EXPECT_EQ(FormatGeneral("1e100", 20), "1E100");
    EXPECT_EQ(FormatGeneral("-0.000", 10), "0");
}

TEST(UnitsTables, QuantitiesAndBoxes)
{
    std::vector<std::string> items;
    for (const QuantityInfo& quantity : Quantities())
        items.push_back(quantity.item);
    EXPECT_EQ(
        items, (std::vector<std::string> { "Ciśnienie", "Długość", "Objętość", "Temperatura", "Waga" }));
    std::set<Unit> onPages;
    for (const QuantityInfo& quantity : Quantities())
        for (Unit unit : PageUnits(quantity.quantity)) {
            EXPECT_EQ(InfoOf(unit).quantity, quantity.quantity) << InfoOf(unit).box;
            EXPECT_TRUE(onPages.insert(unit).second) << InfoOf(unit).box;
        }
    EXPECT_EQ(onPages.size(), Units().size());
    for (std::size_t i = 0; i < Units().size(); ++i)
        EXPECT_EQ(static_cast<std::size_t>(Units()[i].unit), i);
}

// Every ordered pair of units of every quantity, each input at each precision.
TEST(UnitsReference, EveryPairMatchesTheIndependentTable)
{
    std::ifstream in(ORBITA_SOURCE_DIR "/tests/windows/units/units_reference.tsv");
    ASSERT_TRUE(in) << "the reference table is missing";
    std::map<std::string, Unit> byBox;
    for (const UnitInfo& unit : Units())
        byBox[unit.box] = unit.unit;

    std::set<std::pair<Unit, Unit>> pairs;
    std::map<std::tuple<Unit, std::string, int>, std::map<Unit, std::string>> cache;
    int rows = 0;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line.starts_with('#'))
            continue;
        std::istringstream fields(line);
        std::string from, input, digits, to, expected;
        std::getline(fields, from, '\t');
        std::getline(fields, input, '\t');
        std::getline(fields, digits, '\t');
        std::getline(fields, to, '\t');
        std::getline(fields, expected, '\t');
        ASSERT_TRUE(byBox.contains(from) && byBox.contains(to)) << line;
        const auto key = std::make_tuple(byBox[from], input, std::stoi(digits));
        if (!cache.contains(key))
            cache[key] = converted(byBox[from], input, std::stoi(digits));
        EXPECT_EQ(cache[key][byBox[to]], expected)
            << from << " " << input << " -> " << to << " at " << digits;
        pairs.insert({ byBox[from], byBox[to] });
        ++rows;
    }
    std::size_t allPairs = 0;
    for (const QuantityInfo& quantity : Quantities()) {
        const std::size_t n = PageUnits(quantity.quantity).size();
        allPairs += n * (n - 1);
    }
    EXPECT_EQ(pairs.size(), allPairs);
    EXPECT_GT(rows, 2000);
}

} // namespace
} // namespace orbita::units
