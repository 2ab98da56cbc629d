#include "windows/dialogs/tip_order.h"
#include "windows/dialogs/tip_texts.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace orbita {
namespace {

std::vector<std::string> collection()
{
    const auto& texts = TipTexts();
    return { texts.begin(), texts.end() };
}

// The first code point of a UTF-8 text.
char32_t firstCodePoint(std::string_view text)
{
    const std::u32string decoded = [&] {
        std::u32string result;
        const auto lead = static_cast<unsigned char>(text.at(0));
        if (lead < 0x80)
            return std::u32string(1, lead);
        const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        char32_t code = lead & (0x3F >> (length - 1));
        for (int k = 1; k < length; ++k)
            code = (code << 6) | (static_cast<unsigned char>(text.at(k)) & 0x3F);
        return std::u32string(1, code);
    }();
    return decoded.at(0);
}

TEST(TipTexts, SayingsAreLowerCaseFollowedByTheirAuthor)
{
    const auto& texts = TipTexts();
    ASSERT_EQ(texts.size(), 95u);
    const std::u32string_view lowerLetters = U"aąbcćdeęfghijklłmnńoóprsśtuwyzźż";
    const std::u32string_view upperLetters = U"AĄBCĆDEĘFGHIJKLŁMNŃOÓPRSŚTUWYZŹŻ";
    std::map<std::string, int> authors;
    for (std::size_t i = 0; i < kSayingCount; ++i) {
        const std::string_view text = texts[i];
        SCOPED_TRACE(std::string(text));
        // " - " appears once: it parts the saying from its author.
        const auto separator = text.find(" - ");
        ASSERT_NE(separator, std::string_view::npos);
        EXPECT_EQ(text.find(" - ", separator + 1), std::string_view::npos);
        const std::string_view saying = text.substr(0, separator);
        const std::string_view author = text.substr(separator + 3);
        EXPECT_NE(lowerLetters.find(firstCodePoint(saying)), std::u32string_view::npos);
        EXPECT_NE(upperLetters.find(firstCodePoint(author)), std::u32string_view::npos);
        EXPECT_NE(author.find(' '), std::string_view::npos) << "first name and surname";
        EXPECT_EQ(saying.find("  "), std::string_view::npos);
        EXPECT_NE(saying.back(), ' ');
        EXPECT_NE(author.back(), ' ');
        ++authors[std::string(author)];
    }
    EXPECT_GE(authors.size(), 10u) << "sayings of many authors";
}

TEST(TipTexts, HintsAreTheProgramsOwnTexts)
{
    const std::vector<std::string_view> hints = {
        "w każdej chwili możesz uzyskać Pomoc, wciskając klawisz F1 lub przycisk Pomoc",
        "możesz wyłączyć pokazywanie Porady dnia przy starcie, wystarczy odznaczyć pole \"Wyświetlaj zawsze "
        "podczas uruchamiania programu\"",
        "zdobyte umiejętności szybko sprawdzisz za pomocą Testu chemicznego",
        "szybko uzyskasz definicje nieznanego terminu chemicznego posługując się wbudowanym Słownikiem "
        "chemicznym",
        "Tablice chemiczne to nie tylko pomoce naukowe, ale również wiele ciekawych informacji jak np.: "
        "lista "
        "laureatów Nagrody Nobla",
        "za pomocą Ustawień możesz dodawać lub usuwać programy z przybornika narzędzi",
        "możesz zmienić standardowy wygląd programu posługując się dostępnymi w oknie Ustawień karnacjami",
        "klikając dwa razy pole rezultatów w oknie Wyszukiwarki, możesz przenieść się bezpośrednio do "
        "wybranego "
        "pierwiastka",
        "jeśli na Twoim komputerze program działa zbyt wolno, możesz przełączyć się do trybu kompaktowego",
        "za pomocą Centrum aktualizacji, szybko i wygodnie ściągniesz nową wersję programu oraz dodatkowe "
        "testy i "
        "karnacje",
    };
    ASSERT_EQ(hints.size(), kHintCount);
    for (std::size_t i = 0; i < kHintCount; ++i)
        EXPECT_EQ(TipTexts()[kSayingCount + i], hints[i]) << "entry " << kSayingCount + i + 1;
}

TEST(TipTexts, NoTextIsThereTwice)
{
    const auto& texts = TipTexts();
    const std::set<std::string_view> distinct(texts.begin(), texts.end());
    EXPECT_EQ(distinct.size(), texts.size());
}

TEST(PolishAlphabeticalLess, OrdersByThePolishAlphabetWithoutRegardToCase)
{
    struct Case {
        const char* a;
        const char* b;
        bool less;
    };
    const Case cases[] = {
        { "a", "ą", true },
        { "ą", "b", true },
        { "azymut", "ącki", true },
        { "c", "ć", true },
        { "ć", "d", true },
        { "l", "ł", true },
        { "łza", "mak", true },
        { "o", "ó", true },
        { "ó", "p", true },
        { "s", "ś", true },
        { "ś", "t", true },
        { "z", "ź", true },
        { "ź", "ż", true },
        { "żaba", "ź", false },
        { "Tablice", "za", true },
        { "za", "Tablice", false },
        { "Łódź", "łyżka", true },
        { "ala", "Ala", false },
        { "Ala", "ala", true }, // equal without case: the bytes decide
        { "abc", "abcd", true },
        { "abcd", "abc", false },
        { "abc", "abc", false },
        { "\"cudzysłów\"", "a", true }, // other characters before the letters
        { "a b", "ab", true },
        { "x", "y", true },
        { "q", "r", true },
    };
    for (const Case& c : cases)
        EXPECT_EQ(PolishAlphabeticalLess(c.a, c.b), c.less) << c.a << " < " << c.b;
}

// The working list is refilled, picked from and sorted as one cycle.
class TipOrderTest : public ::testing::Test {
protected:
    static std::string alphabeticallyLast(std::vector<std::string> texts)
    {
        return *std::max_element(texts.begin(), texts.end(), PolishAlphabeticalLess);
    }
};

TEST_F(TipOrderTest, PicksFromAllButTheLastEntry)
{
    std::vector<int> asked;
    TipOrder order(collection(), [&](int highest) {
        asked.push_back(highest);
        return highest;
    });
    for (int i = 0; i < 95; ++i)
        order.Next();
    ASSERT_EQ(asked.size(), 95u);
    // 95 entries: 0..93; then one fewer each time; two entries: 0..0; one: 0.
    for (int i = 0; i < 94; ++i)
        EXPECT_EQ(asked[i], 93 - i) << "pick " << i;
    EXPECT_EQ(asked[94], 0);
}

TEST_F(TipOrderTest, EveryTextOnceBeforeAnyRepeats)
{
    struct Source {
        const char* name;
        std::function<RandomIndex()> make;
    };
    const Source sources[] = {
        { "always first", [] { return RandomIndex([](int) { return 0; }); } },
        { "always highest", [] { return RandomIndex([](int highest) { return highest; }); } },
        { "seeded 1",
            [] {
                auto generator = std::make_shared<std::mt19937>(1);
                return RandomIndex([generator](int highest) {
                    return std::uniform_int_distribution<int>(0, highest)(*generator);
                });
            } },
        { "seeded 2026",
            [] {
                auto generator = std::make_shared<std::mt19937>(2026);
                return RandomIndex([generator](int highest) {
                    return std::uniform_int_distribution<int>(0, highest)(*generator);
                });
            } },
        { "clock", [] { return RandomIndex(&ClockRandomIndex); } },
    };
    const std::vector<std::string> all = collection();
    const std::multiset<std::string> expected(all.begin(), all.end());
    for (const Source& source : sources) {
        SCOPED_TRACE(source.name);
        TipOrder order(all, source.make());
        for (int cycle = 0; cycle < 2; ++cycle) {
            std::vector<std::string> shown;
            for (int i = 0; i < 95; ++i) {
                shown.push_back(order.Next());
                EXPECT_EQ(order.Remaining().size(), static_cast<std::size_t>(94 - i));
            }
            EXPECT_EQ(std::multiset<std::string>(shown.begin(), shown.end()), expected) << "cycle " << cycle;
            // The first pick never takes the table's last entry; after it the
            // list is sorted and its last entry waits until the end.
            std::vector<std::string> afterFirst = all;
            afterFirst.erase(std::find(afterFirst.begin(), afterFirst.end(), shown.front()));
            EXPECT_NE(shown.front(), all.back());
            EXPECT_EQ(shown.back(), alphabeticallyLast(afterFirst));
        }
    }
}

TEST_F(TipOrderTest, AfterTheFirstPickTheListIsAlphabetical)
{
    const std::vector<std::string> all = collection();
    TipOrder ascending(all, [](int) { return 0; });
    std::vector<std::string> shown;
    for (int i = 0; i < 95; ++i)
        shown.push_back(ascending.Next());
    EXPECT_EQ(shown.front(), all.front());
    EXPECT_TRUE(std::is_sorted(shown.begin() + 1, shown.end(), PolishAlphabeticalLess));

    TipOrder descending(all, [](int highest) { return highest; });
    shown.clear();
    for (int i = 0; i < 95; ++i)
        shown.push_back(descending.Next());
    EXPECT_EQ(shown.front(), all[93]);
    // Always the last but one: descending order, the greatest held back to the end.
    EXPECT_TRUE(std::is_sorted(shown.rbegin() + 1, shown.rend() - 1, PolishAlphabeticalLess));
    EXPECT_EQ(shown.back(), alphabeticallyLast({ shown.begin() + 1, shown.end() }));
}

TEST_F(TipOrderTest, OneTextCollection)
{
    std::vector<int> asked;
    TipOrder order({ "jedyna" }, [&](int highest) {
        asked.push_back(highest);
        return 0;
    });
    EXPECT_EQ(order.Next(), "jedyna");
    EXPECT_EQ(order.Next(), "jedyna");
    EXPECT_EQ(asked, (std::vector<int> { 0, 0 }));
}

TEST(ClockRandomIndex, StaysInRangeAndReachesBothEnds)
{
    EXPECT_EQ(ClockRandomIndex(0), 0);
    std::set<int> seen;
    for (int i = 0; i < 3000; ++i) {
        const int index = ClockRandomIndex(93);
        ASSERT_GE(index, 0);
        ASSERT_LE(index, 93);
        seen.insert(index);
    }
    EXPECT_TRUE(seen.count(0));
    EXPECT_TRUE(seen.count(93));
    EXPECT_GT(seen.size(), 80u);
}

} // namespace
} // namespace orbita
