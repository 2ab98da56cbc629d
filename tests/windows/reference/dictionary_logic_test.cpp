#include "core/cp1250.h"
#include "windows/reference/dictionary_logic.h"

#include <gtest/gtest.h>

namespace orbita {
namespace {

std::string cp(const std::string& utf8)
{
    return *Utf8ToCp1250(utf8);
}

// A dictionary line: term, the separator byte, definition (given in UTF-8).
std::string line(const std::string& term, const std::string& definition)
{
    return cp(term) + kDictionarySeparator + cp(definition);
}

std::vector<std::string> terms(const std::vector<DictionaryEntry>& entries)
{
    std::vector<std::string> result;
    for (const DictionaryEntry& entry : entries)
        result.push_back(Cp1250ToUtf8(entry.term));
    return result;
}

std::vector<DictionaryEntry> sample()
{
    return ParseDictionary({ line("żelazo", "metal"), line("Wiązanie jonowe", "jony"), line("azot", "gaz"),
        line("łańcuch", "atomy w rzędzie"), line("Wiązanie", "ogólnie"), line("ąb", "-"),
        line("lakmus", "wskaźnik"), line("Ester", "związek"), line("wodór", "H") });
}

TEST(DictionaryParse, EntriesAreSortedInPolishOrderWithTheirDefinitions)
{
    const std::vector<DictionaryEntry> entries = sample();
    EXPECT_EQ(terms(entries),
        (std::vector<std::string> {
            "azot", "ąb", "Ester", "lakmus", "łańcuch", "Wiązanie", "Wiązanie jonowe", "wodór", "żelazo" }));
    // The term at a position and its definition stay together.
    for (const DictionaryEntry& entry : entries) {
        if (entry.term == cp("łańcuch")) {
            EXPECT_EQ(entry.definition, cp("atomy w rzędzie"));
        }
    }
}

TEST(DictionaryParse, OddLines)
{
    const std::vector<DictionaryEntry> entries = ParseDictionary({ "bez separatora", "", "   ",
        std::string("a") + kDictionarySeparator + "b" + kDictionarySeparator + "c",
        std::string(1, kDictionarySeparator) });
    ASSERT_EQ(entries.size(), 3u) << "blank lines are skipped";
    // Empty terms sort first; a line without the separator is an empty term.
    EXPECT_EQ(entries[0].term, "");
    EXPECT_EQ(entries[1].term, "");
    EXPECT_TRUE((entries[0].definition == "bez separatora") != (entries[1].definition == "bez separatora"));
    EXPECT_EQ(entries[2].term, "a");
    EXPECT_EQ(entries[2].definition, std::string("b") + kDictionarySeparator + "c")
        << "the first separator splits";
    EXPECT_TRUE(ParseDictionary({}).empty());
}

TEST(DictionaryPages, TermWelcomeAndCaption)
{
    EXPECT_EQ(TermPage({ "pH", "miara <i>kwasowości</i>" }),
        "<html><body><b><u>pH</u></b><br><br>miara <i>kwasowości</i></body></html>");
    const std::string welcome = Cp1250ToUtf8(WelcomePage(312));
    EXPECT_NE(welcome.find("informacji na temat 312 terminów wykorzystywanych"), std::string::npos);
    EXPECT_NE(welcome.find("po lewej stronie, aby w tym oknie obejrzeć jego znaczenie."), std::string::npos);
    EXPECT_NE(welcome.find("<a href=\"ORB_KORESPONDENCJA\">autora programu</a>"), std::string::npos);
    EXPECT_EQ(welcome.find("a by "), std::string::npos);
    EXPECT_EQ(Cp1250ToUtf8(DictionaryCaption(0)), "Słownik chemiczny [0 terminów]");
    EXPECT_NE(Cp1250ToUtf8(WelcomePage(0)).find(" 0 terminów"), std::string::npos);
}

TEST(KeywordSearch, PrefixFromTheTopVisibleTermAsciiLettersWithoutCase)
{
    const std::vector<DictionaryEntry> entries = sample();
    using Action = KeywordResult::Action;
    auto hit = [&](std::size_t top, std::optional<std::size_t> selected, const std::string& keyword) {
        const KeywordResult result = SearchKeyword(entries, top, selected, cp(keyword));
        return result.action == Action::Select ? std::optional<std::size_t>(result.index) : std::nullopt;
    };
    EXPECT_EQ(hit(0, std::nullopt, "wi"), 5u);
    EXPECT_EQ(hit(0, std::nullopt, "wiązanie j"), 6u);
    EXPECT_EQ(hit(0, std::nullopt, "e"), 2u) << "ASCII letters match in either case";
    EXPECT_EQ(hit(0, std::nullopt, "wiązanie"), 5u);
    EXPECT_EQ(hit(0, std::nullopt, "WIą"), 5u) << "the ASCII letters are compared upper-cased";
    EXPECT_FALSE(hit(0, std::nullopt, "WIĄ")) << "a letter with a diacritic matches only in the same case";
    EXPECT_FALSE(hit(0, std::nullopt, "Ż")) << "'ż' does not match 'Ż'";
    EXPECT_EQ(hit(0, std::nullopt, "ż"), 8u);
    EXPECT_FALSE(hit(0, std::nullopt, "xyz")) << "no hit changes nothing";
    EXPECT_FALSE(hit(0, 5u, "wi")) << "the hit is already selected";
    // The walk starts at the top visible term: earlier terms are not found.
    EXPECT_FALSE(hit(4, std::nullopt, "a"));
    EXPECT_EQ(hit(4, std::nullopt, "w"), 5u);
    EXPECT_FALSE(hit(100, std::nullopt, "w"));
}

TEST(KeywordSearch, AnEmptyKeywordSelectsTheFirstTermUnlessThereIsNone)
{
    const std::vector<DictionaryEntry> entries = sample();
    const KeywordResult first = SearchKeyword(entries, 5, 3u, "");
    EXPECT_EQ(first.action, KeywordResult::Action::Select);
    EXPECT_EQ(first.index, 0u);
    EXPECT_EQ(SearchKeyword({}, 0, std::nullopt, "").action, KeywordResult::Action::Nothing);
    EXPECT_EQ(SearchKeyword({}, 0, std::nullopt, "a").action, KeywordResult::Action::Nothing);
}

TEST(ListPane, InnerGeometryFollowsThePane)
{
    EXPECT_EQ(LayOutListPane(135, 200), (ListPaneGeometry { 133, 133, 165, 115, 145 }));
    EXPECT_EQ(LayOutListPane(10, 20), (ListPaneGeometry { 8, 8, 0, 0, 0 }));
}

} // namespace
} // namespace orbita
