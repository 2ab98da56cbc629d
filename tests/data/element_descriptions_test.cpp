#include "core/cp1250.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

// Checks of the element description pages (content/ORBITA/UKLAD/N.HTM): every
// page that exists is checked, whoever wrote it.

namespace orbita {
namespace {

namespace fs = std::filesystem;

struct Page {
    int number = 0;
    std::string name; // "12.HTM"
    std::string text; // UTF-8, as stored in the repository
};

std::vector<Page> descriptionPages()
{
    const fs::path folder = fs::path(ORBITA_SOURCE_DIR) / "content" / "ORBITA" / "UKLAD";
    std::vector<Page> pages;
    for (int number = 1; number <= 118; ++number) {
        const std::string name = std::to_string(number) + ".HTM";
        const fs::path path = folder / name;
        if (!fs::is_regular_file(path))
            continue;
        std::ifstream in(path, std::ios::binary);
        pages.push_back({ number, name, std::string(std::istreambuf_iterator<char>(in), {}) });
    }
    return pages;
}

// The text between the first `open` and the following `close`, or nothing.
std::optional<std::string> between(const std::string& text, const std::string& open, const std::string& close)
{
    const auto start = text.find(open);
    if (start == std::string::npos)
        return std::nullopt;
    const auto end = text.find(close, start + open.size());
    if (end == std::string::npos)
        return std::nullopt;
    return text.substr(start + open.size(), end - start - open.size());
}

// The upper-cased name of a tag ("P", "/P", "META") from the text after '<'.
std::string tagName(const std::string& text, std::size_t from)
{
    std::string name;
    for (std::size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '>' || std::isspace(static_cast<unsigned char>(c)))
            break;
        name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return name;
}

// Words of the page body: a word is a run of non-space characters with a
// letter or digit. Text-level tags (H<SUB>2</SUB>O) join their neighbours,
// other tags separate words, an entity counts as one character.
int bodyWordCount(const std::string& text)
{
    const auto body = between(text, "<BODY", "</BODY>");
    if (!body)
        return 0;
    const std::vector<std::string> textLevel = { "SUB", "/SUB", "SUP", "/SUP", "I", "/I", "B", "/B" };
    std::string plain;
    bool inTag = true; // the text starts inside the BODY tag
    for (std::size_t i = 0; i < body->size(); ++i) {
        const char c = (*body)[i];
        if (c == '<') {
            inTag = true;
            const std::string name = tagName(*body, i + 1);
            if (std::find(textLevel.begin(), textLevel.end(), name) == textLevel.end())
                plain += ' ';
        } else if (c == '>' && inTag) {
            inTag = false;
        } else if (!inTag) {
            if (c == '&') {
                const auto semicolon = body->find(';', i);
                if (semicolon != std::string::npos && semicolon - i <= 8) {
                    plain += '-';
                    i = semicolon;
                    continue;
                }
            }
            plain += c;
        }
    }
    int words = 0;
    bool inWord = false;
    bool hasAlnum = false;
    // Letters are judged in Windows-1250, where a letter with diacritics has
    // a case pair (Ł/ł) and a dash or a degree sign has none.
    for (const char c : Utf8ToCp1250Lossy(plain) + ' ') {
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (inWord && hasAlnum)
                ++words;
            inWord = false;
            hasAlnum = false;
        } else {
            inWord = true;
            const auto byte = static_cast<unsigned char>(c);
            if (std::isalnum(byte) || Cp1250Lower(byte) != Cp1250Upper(byte))
                hasAlnum = true;
        }
    }
    return words;
}

TEST(ElementDescriptions, FolderHoldsPages)
{
    EXPECT_FALSE(descriptionPages().empty());
}

TEST(ElementDescriptions, TextConvertsToWindows1250)
{
    for (const Page& page : descriptionPages()) {
        std::size_t failedAt = 0;
        EXPECT_TRUE(Utf8ToCp1250(page.text, &failedAt).has_value())
            << page.name << ": no Windows-1250 form at byte " << failedAt << " (\""
            << page.text.substr(failedAt > 20 ? failedAt - 20 : 0, 40) << "\")";
    }
}

TEST(ElementDescriptions, FiveSectionsInOrder)
{
    const std::vector<std::string> expected
        = { "Występowanie", "Właściwości", "Najważniejsze związki", "Zastosowanie", "Historia i nazwa" };
    for (const Page& page : descriptionPages()) {
        std::vector<std::string> found;
        std::size_t at = 0;
        while ((at = page.text.find("<H3>", at)) != std::string::npos) {
            const auto end = page.text.find("</H3>", at);
            if (end == std::string::npos)
                break;
            found.push_back(page.text.substr(at + 4, end - at - 4));
            at = end;
        }
        EXPECT_EQ(found, expected) << page.name;
    }
}

TEST(ElementDescriptions, TitleIsTheHeadingWithoutSymbol)
{
    for (const Page& page : descriptionPages()) {
        const auto title = between(page.text, "<TITLE>", "</TITLE>");
        const auto heading = between(page.text, "<H2>", "</H2>");
        ASSERT_TRUE(title && heading) << page.name;
        const auto open = heading->rfind(" (");
        ASSERT_NE(open, std::string::npos) << page.name << ": " << *heading;
        EXPECT_EQ(heading->back(), ')') << page.name << ": " << *heading;
        const std::string symbol = heading->substr(open + 2, heading->size() - open - 3);
        EXPECT_TRUE(
            !symbol.empty() && symbol.size() <= 3 && std::isupper(static_cast<unsigned char>(symbol[0])))
            << page.name << ": symbol \"" << symbol << "\"";
        EXPECT_EQ(*title, heading->substr(0, open)) << page.name;
        EXPECT_FALSE(title->empty()) << page.name;
    }
}

TEST(ElementDescriptions, WordCountWithinLimits)
{
    for (const Page& page : descriptionPages()) {
        const int words = bodyWordCount(page.text);
        EXPECT_GE(words, 150) << page.name;
        EXPECT_LE(words, 400) << page.name;
    }
}

TEST(ElementDescriptions, TagsOfTheTemplateAreClosed)
{
    const std::vector<std::string> paired
        = { "HTML", "HEAD", "TITLE", "BODY", "H2", "H3", "P", "I", "B", "SUB", "SUP" };
    for (const Page& page : descriptionPages()) {
        std::vector<std::string> open;
        std::size_t at = 0;
        while ((at = page.text.find('<', at)) != std::string::npos) {
            const std::string name = tagName(page.text, at + 1);
            ++at;
            const bool closing = !name.empty() && name[0] == '/';
            const std::string bare = closing ? name.substr(1) : name;
            if (std::find(paired.begin(), paired.end(), bare) == paired.end())
                continue;
            if (!closing) {
                open.push_back(bare);
            } else if (open.empty() || open.back() != bare) {
                ADD_FAILURE() << page.name << ": </" << bare << "> closes "
                              << (open.empty() ? std::string("nothing") : "<" + open.back() + ">");
                open.clear();
                break;
            } else {
                open.pop_back();
            }
        }
        EXPECT_TRUE(open.empty()) << page.name << ": <" << (open.empty() ? "" : open.back()) << "> left open";
    }
}

TEST(ElementDescriptions, WordCounterCountsWordsNotMarkup)
{
    const std::string page = "<HTML><BODY BGCOLOR=\"#FFFFFF\"><H2>Woda (H)</H2>\n"
                             "<P>Tlenek H<SUB>2</SUB>O – &amp; ciecz ŁĄKA 100 °C</P></BODY></HTML>";
    // Woda, (H), Tlenek, H2O, ciecz, ŁĄKA, 100, °C; the dash and the entity are no words.
    EXPECT_EQ(bodyWordCount(page), 8);
}

} // namespace
} // namespace orbita
