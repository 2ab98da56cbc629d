// The element search rules: labels and their order, whole-value and part
// search with ASCII-only case folding, the 119-line windows, display values,
// summaries and the history, on small databases and on the shipped one.

#include "core/cp1250.h"
#include "core/registry.h"
#include "data/text_lines.h"
#include "windows/element/element_page.h"
#include "windows/element/find_logic.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace orbita {
namespace {

std::string W(std::string_view utf8)
{
    return Utf8ToCp1250Lossy(utf8);
}

std::vector<std::string> Lines(std::string_view utf8)
{
    return SplitTextLines(W(utf8));
}

// The shipped database as Windows-1250 lines, and each element's Polish name.
struct Shipped {
    std::vector<std::string> lines;
    std::vector<std::string> names = std::vector<std::string>(kLastElement + 1);
};

const Shipped& ShippedDatabase()
{
    static const Shipped shipped = [] {
        std::ifstream in(ORBITA_SOURCE_DIR "/content/ORBITA/UKLAD/DANE.TXT", std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        Shipped s;
        s.lines = SplitTextLines(W(text.str()));
        int property = 0;
        for (const std::string& line : s.lines) {
            if (line.starts_with('['))
                ++property;
            else if (property == 1 && line.find('=') != std::string::npos)
                s.names.at(std::stoul(line.substr(0, line.find('=')))) = line.substr(line.find('=') + 1);
        }
        return s;
    }();
    return shipped;
}

TEST(FindLogic, PolishOrder)
{
    struct Case {
        const char* a;
        const char* b;
    };
    // Each pair in order: a before b.
    const std::vector<Case> ordered = {
        { "a", "ą" },
        { "ą", "b" },
        { "Nazwa angielska", "Nazwa łacińska" },
        { "Nazwa łacińska", "Nazwa polska" },
        { "l", "ł" },
        { "ł", "m" },
        { "Gęstość", "Gęstość gazu" },
        { "o", "ó" },
        { "ó", "p" },
        { "s", "ś" },
        { "z", "ź" },
        { "ź", "ż" },
        { "Blok", "blok y" },
        { "blok", "Blok z" },
        { "1", "a" },
        { " ", "1" },
        { "Gęstość", "Grupa" },
        { "Źródło", "Żelazo" },
        { "Stan", "Ślad" },
    };
    for (const Case& c : ordered) {
        SCOPED_TRACE(std::string(c.a) + " < " + c.b);
        EXPECT_TRUE(PolishLess(W(c.a), W(c.b)));
        EXPECT_FALSE(PolishLess(W(c.b), W(c.a)));
    }
    // Equal without regard to case: still a strict order, by the bytes.
    EXPECT_NE(PolishLess("Blok", "blok"), PolishLess("blok", "Blok"));
    EXPECT_FALSE(PolishLess("blok", "blok"));
}

TEST(FindLogic, LabelsComeFromEveryLineWithABracketSorted)
{
    const std::vector<std::string> lines
        = Lines("[Nazwa polska]\n1=Wodór\n[Masa atomowa]\nSUFFIX=u\n1=1,008\n"
                "[Nazwa łacińska]\n1=Hydrogenium\n[Gęstość]\n1=0,0899\n"
                "x[Dziwna linia]\n[Blok]\n1=s\n");
    // "x[Dziwna linia]" loses its first and last character; "[" comes before the letters.
    const std::vector<std::string> expected = { W("[Dziwna linia"), W("Blok"), W("Gęstość"),
        W("Masa atomowa"), W("Nazwa łacińska"), W("Nazwa polska") };
    EXPECT_EQ(PropertyLabels(lines), expected);
    EXPECT_TRUE(PropertyLabels({}).empty());

    const std::vector<std::string> shipped = PropertyLabels(ShippedDatabase().lines);
    EXPECT_EQ(shipped.size(), 22u);
    EXPECT_TRUE(std::is_sorted(shipped.begin(), shipped.end(), PolishLess));
    EXPECT_NE(std::find(shipped.begin(), shipped.end(), "Nazwa polska"), shipped.end());
}

// A database of four elements' lines in each property. The first property is
// short of lines; the second has a unit; the third has none.
std::vector<std::string> SmallDatabase()
{
    return Lines("[Nazwa polska]\n"
                 "1=Wodór\n"
                 "2=Hel\n"
                 "26=Żelazo\n"
                 "27=Kobalt\n"
                 "[Masa atomowa]\n"
                 "SUFFIX=u\n"
                 "1=1,008\n"
                 "2=4,0026\n"
                 "26=55,845\n"
                 "27=58,933\n"
                 "[Symbol]\n"
                 "1=H\n"
                 "2=He\n"
                 "26=\n"
                 "27=Co\n");
}

struct SearchCase {
    const char* what;
    const char* search;
    const char* display;
    const char* text;
    bool whole;
    std::vector<int> elements;
    std::vector<const char*> values;
};

TEST(FindLogic, SearchesAsDescribed)
{
    const std::vector<SearchCase> cases = {
        { "part, any ASCII case", "Nazwa polska", "Symbol", "eL", false, { 2, 26 }, { "He", "" } },
        { "part matches the key too", "Nazwa polska", "Nazwa polska", "2", false, { 2, 26, 27 },
            { "Hel", "Żelazo", "Kobalt" } },
        { "whole value in another case", "Nazwa polska", "Symbol", "kObAlT", true, { 27 }, { "Co" } },
        { "a part is not the whole value", "Nazwa polska", "Symbol", "Kob", true, {}, {} },
        { "lower-case ż does not find Ż", "Nazwa polska", "Symbol", "żelazo", true, {}, {} },
        { "upper-case ASCII with Ż finds it", "Nazwa polska", "Symbol", "ŻELAZO", true, { 26 }, { "" } },
        { "lower-case ż in part search neither", "Nazwa polska", "Symbol", "żel", false, {}, {} },
        { "the unit line is no candidate", "Masa atomowa", "Nazwa polska", "u", false, {}, {} },
        { "the unit line is no candidate (SUFFIX)", "Masa atomowa", "Nazwa polska", "SUFFIX", false, {}, {} },
        { "values with a unit", "Masa atomowa", "Masa atomowa", "5", false, { 26, 27 },
            { "55,845", "58,933" } },
        { "a short property never reaches the next (Symbol's H and He)", "Nazwa polska", "Nazwa polska", "H",
            false, { 2 }, { "Hel" } },
        { "no such search property", "Gęstość", "Symbol", "1", false, {}, {} },
        { "no such display property", "Symbol", "Gęstość", "H", false, {}, {} },
        { "a label must match whole", "Nazwa", "Symbol", "H", false, {}, {} },
    };
    for (const SearchCase& c : cases) {
        SCOPED_TRACE(c.what);
        const FindResult result
            = FindElements(SmallDatabase(), W(c.search), W(c.display), W(c.text), c.whole);
        EXPECT_EQ(result.elements, c.elements);
        std::vector<std::string> values;
        for (const char* v : c.values)
            values.push_back(W(v));
        EXPECT_EQ(result.values, values);
    }
}

TEST(FindLogic, DisplayUnitAndSummaries)
{
    const FindResult withUnit = FindElements(SmallDatabase(), "Symbol", "Masa atomowa", "e", false);
    EXPECT_EQ(withUnit.elements, (std::vector<int> { 2 }));
    EXPECT_TRUE(withUnit.hasUnit);
    EXPECT_EQ(withUnit.unit, "u");
    EXPECT_EQ(FindSummary(withUnit), W("Znaleziono 1 pasujący element, wyrażony w jednostce [u]:"));

    const FindResult withoutUnit = FindElements(SmallDatabase(), "Symbol", "Symbol", "", false);
    EXPECT_EQ(withoutUnit.elements, (std::vector<int> { 1, 2, 26, 27 }));
    EXPECT_FALSE(withoutUnit.hasUnit);
    EXPECT_EQ(
        FindSummary(withoutUnit), W("Znaleziono 4 pasujące elementy, ich wartości nie posiadają jednostek:"));

    const FindResult none = FindElements(SmallDatabase(), "Symbol", "Masa atomowa", "xyz", false);
    EXPECT_EQ(FindSummary(none), W("Nie znaleziono żadnych pasujących elementów."));
    EXPECT_EQ(FindSummary(FindResult {}), W("Nie znaleziono żadnych pasujących elementów."));
}

TEST(FindLogic, ShippedDatabase)
{
    const Shipped& db = ShippedDatabase();
    // "ne" in the Polish names: every name holding n and e next to each other
    // in any ASCII case.
    std::vector<int> withNe;
    for (int z = kFirstElement; z <= kLastElement; ++z)
        if (AsciiUpperText(db.names.at(z)).find("NE") != std::string::npos)
            withNe.push_back(z);
    ASSERT_GE(withNe.size(), 5u);
    const FindResult ne = FindElements(db.lines, "Nazwa polska", "Nazwa polska", "ne", false);
    EXPECT_EQ(ne.elements, withNe);
    for (std::size_t i = 0; i < ne.elements.size(); ++i)
        EXPECT_EQ(ne.values.at(i), db.names.at(ne.elements[i]));
    EXPECT_NE(std::find(ne.elements.begin(), ne.elements.end(), 10), ne.elements.end()); // Neon
    EXPECT_NE(std::find(ne.elements.begin(), ne.elements.end(), 12), ne.elements.end()); // Magnez

    EXPECT_EQ(
        FindElements(db.lines, "Nazwa polska", "Symbol", "KoBaLt", true).elements, (std::vector<int> { 27 }));
    EXPECT_EQ(FindElements(db.lines, "Nazwa polska", "Symbol", "KoBaLt", true).values,
        (std::vector<std::string> { "Co" }));
    EXPECT_TRUE(FindElements(db.lines, "Nazwa polska", "Symbol", W("żelazo"), true).elements.empty());
    EXPECT_EQ(FindElements(db.lines, "Nazwa polska", "Symbol", W("Żelazo"), true).elements,
        (std::vector<int> { 26 }));

    // Part search for 1: every element whose number holds a 1 (no name holds a digit).
    std::vector<int> withOne;
    for (int z = kFirstElement; z <= kLastElement; ++z)
        if (std::to_string(z).find('1') != std::string::npos)
            withOne.push_back(z);
    EXPECT_EQ(FindElements(db.lines, "Nazwa polska", "Nazwa polska", "1", false).elements, withOne);

    // Every property: a part search for "=" lists all 118 elements in order,
    // 118 included, and never the unit line.
    std::vector<int> all;
    for (int z = kFirstElement; z <= kLastElement; ++z)
        all.push_back(z);
    for (const std::string& label : PropertyLabels(db.lines)) {
        SCOPED_TRACE(label);
        const FindResult everything = FindElements(db.lines, label, "Nazwa polska", "=", false);
        EXPECT_EQ(everything.elements, all);
        EXPECT_EQ(everything.values.back(), db.names.at(118));
    }
    const FindResult masses = FindElements(db.lines, "Symbol", "Masa atomowa", "Og", true);
    EXPECT_EQ(masses.elements, (std::vector<int> { 118 }));
    EXPECT_EQ(masses.unit, "u");
    EXPECT_EQ(FindSummary(masses), W("Znaleziono 1 pasujący element, wyrażony w jednostce [u]:"));
}

TEST(FindLogic, PlainValueTexts)
{
    struct Case {
        const char* value; // UTF-8, converted to Windows-1250
        const char* plain; // UTF-8
    };
    const std::vector<Case> cases = {
        { "Żelazo", "Żelazo" },
        { "&#91;He&#93; 2s<sup>2</sup> 2p<sup>1</sup>", "[He] 2s² 2p¹" },
        { "&#91;Xe&#93; 4f<sup>14</sup> 5d<sup>10</sup>", "[Xe] 4f¹⁴ 5d¹⁰" },
        { "g/cm<sup>3</sup>", "g/cm³" },
        { "H<sub>2</sub>O", "H₂O" },
        { "Fe<SUP>3+</SUP>", "Fe³⁺" },
        { "&#x5B;97&#x5d;", "[97]" },
        { "a &amp; b &lt;c&gt; &quot;d&quot; e&nbsp;f", "a & b <c> \"d\" e\u00A0f" },
        { "<b>gruby</b> <font color=\"red\">tekst</font>", "gruby tekst" },
        { "1 < 2 > 0", "1 < 2 > 0" },
        { "&unknown; &#; &#0; &#xD800; &", "&unknown; &#; &#0; &#xD800; &" },
        { "<sup>2", "²" },
        { "2</sup>3", "23" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(PlainValueText(W(c.value)), c.plain);
    }
    EXPECT_EQ(ResultEntryText(""), "Brak wartości do wyświetlenia");
    EXPECT_EQ(ResultEntryText(W("Wodór")), "Wodór");
}

TEST(FindLogic, HistoryAddsNewTextsAndDropsTheOldest)
{
    std::vector<std::string> history;
    EXPECT_TRUE(AddToFindHistory(history, "ne"));
    EXPECT_FALSE(AddToFindHistory(history, "NE"));
    EXPECT_TRUE(AddToFindHistory(history, W("żelazo")));
    EXPECT_FALSE(AddToFindHistory(history, W("ŻELAZO"))); // the store's case rules hold Ż and ż alike
    EXPECT_EQ(history, (std::vector<std::string> { "ne", W("żelazo") }));

    history.clear();
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(AddToFindHistory(history, "t" + std::to_string(i)));
    EXPECT_EQ(history.size(), 200u);
    EXPECT_FALSE(AddToFindHistory(history, "T0"));
    EXPECT_EQ(history.size(), 200u);
    EXPECT_TRUE(AddToFindHistory(history, "t200"));
    EXPECT_EQ(history.size(), 200u);
    EXPECT_EQ(history.front(), "t1");
    EXPECT_EQ(history.back(), "t200");
}

class FindHistoryStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/orbita-find-history-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_root = pattern;
        ::setenv("ORBITA_CONFIG_DIR", m_root.c_str(), 1);
        WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", "Ewa");
    }
    void TearDown() override
    {
        ReleaseRegistryConnection();
        ::unsetenv("ORBITA_CONFIG_DIR");
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    static constexpr const char* kKey = "Software\\Orbita\\Ewa\\FindKeywords";
    std::string m_root;
};

TEST_F(FindHistoryStore, ReadsUpToTheFirstMissingOrEmptyValue)
{
    EXPECT_TRUE(ReadFindHistory().empty());
    WriteRegString(Hive::CurrentUser, kKey, "0", "ne");
    WriteRegString(Hive::CurrentUser, kKey, "1", W("żelazo"));
    WriteRegString(Hive::CurrentUser, kKey, "3", "skipped");
    EXPECT_EQ(ReadFindHistory(), (std::vector<std::string> { "ne", W("żelazo") }));
    WriteRegString(Hive::CurrentUser, kKey, "2", "");
    EXPECT_EQ(ReadFindHistory().size(), 2u);
    // Another account's history is its own.
    WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", "Jan");
    EXPECT_TRUE(ReadFindHistory().empty());
}

TEST_F(FindHistoryStore, WritesInListOrderAndEndsTheRunThere)
{
    for (int i = 0; i < 5; ++i)
        WriteRegString(Hive::CurrentUser, kKey, std::to_string(i), "old" + std::to_string(i));
    WriteFindHistory({ "a", "b", "c" });
    EXPECT_EQ(ReadRegString(Hive::CurrentUser, kKey, "0"), "a");
    EXPECT_EQ(ReadRegString(Hive::CurrentUser, kKey, "2"), "c");
    EXPECT_EQ(ReadFindHistory(), (std::vector<std::string> { "a", "b", "c" }));

    // More than 200 stored (written by hand): the newest 200 are read.
    for (int i = 0; i < 230; ++i)
        WriteRegString(Hive::CurrentUser, kKey, std::to_string(i), "k" + std::to_string(i));
    const std::vector<std::string> read = ReadFindHistory();
    ASSERT_EQ(read.size(), 200u);
    EXPECT_EQ(read.front(), "k30");
    EXPECT_EQ(read.back(), "k229");
    WriteFindHistory(read);
    EXPECT_EQ(ReadFindHistory(), read);
}

} // namespace
} // namespace orbita
