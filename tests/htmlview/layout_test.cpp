#include "htmlview/document_builder.h"
#include "htmlview/layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orbita::html {
namespace {

// The fixed-width fake: body text is Times 12 pt = 16 px, so 8 px a byte.
constexpr int kChar = 8;

PageLayout Lay(const std::string& markup, int width, const Document** keep = nullptr)
{
    static Document document;
    document = BuildDocument(markup);
    if (keep)
        *keep = &document;
    static FixedFontMetrics metrics;
    LayoutOptions options;
    options.width = width;
    return LayoutDocument(document, metrics, options);
}

std::vector<std::string> LineTexts(const PageLayout& layout)
{
    std::vector<std::string> lines;
    for (const TextLine& line : layout.lines)
        lines.push_back(layout.text.substr(line.textStart, line.textLength));
    return lines;
}

TEST(LayoutLineBreaking, WrapsAtBlanks)
{
    struct Case {
        const char* markup;
        int width; // content width is width - 20 (two margins of 10)
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        { "aaa bbb ccc", 20 + 11 * kChar, { "aaa bbb ccc" } },
        { "aaa bbb ccc", 20 + 10 * kChar, { "aaa bbb", "ccc" } },
        { "aaa bbb ccc", 20 + 7 * kChar, { "aaa bbb", "ccc" } },
        { "aaa bbb ccc", 20 + 6 * kChar, { "aaa", "bbb", "ccc" } },
        { "aaa  <b></b> bbb", 400, { "aaa bbb" } },
        { "one<br>two", 400, { "one", "two" } },
        // A word longer than the line is broken by character.
        { "abcdefghij", 20 + 4 * kChar, { "abcd", "efgh", "ij" } },
    };
    for (const Case& c : cases) {
        const PageLayout layout = Lay(c.markup, c.width);
        EXPECT_TRUE(layout.error.empty()) << c.markup;
        EXPECT_EQ(LineTexts(layout), c.lines) << c.markup << " at " << c.width;
    }
}

} // namespace
} // namespace orbita::html
