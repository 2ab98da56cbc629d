#include "htmlview/document_builder.h"
#include "tests/htmlview/document_dump.h"

#include <gtest/gtest.h>

namespace orbita::html {
namespace {

// Hostile and huge pages end cleanly and with bounded structure (how fast is
// measured by the benchmarks; a runaway build is stopped by the test timeout).

std::string Repeat(std::string_view unit, std::size_t times)
{
    std::string out;
    out.reserve(unit.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        out += unit;
    return out;
}

std::size_t TextBytes(const Document& doc)
{
    std::size_t bytes = 0;
    for (const Flow& flow : doc.flows)
        for (const Block& block : flow.blocks)
            if (const auto* p = std::get_if<Paragraph>(&block))
                for (const Inline& item : p->items)
                    if (const auto* run = std::get_if<TextRun>(&item))
                        bytes += run->text.size();
    return bytes;
}

static_assert(kMaxNesting % 3 == 2, "the mixed case below counts on it");

TEST(DocumentLimits, DeepNesting)
{
    struct Case {
        const char* name;
        std::string markup;
        std::size_t lists;
        std::size_t tables;
    };
    const std::vector<Case> cases = {
        { "tables", Repeat("<table><tr><td>", 10000) + "x" + Repeat("</td></tr></table>", 10000), 0,
            kMaxNesting },
        { "lists", Repeat("<ul><li>", 10000) + "x" + Repeat("</ul>", 10000), kMaxNesting, 0 },
        { "unclosed lists", Repeat("<ol><li>", 10000) + "x", kMaxNesting, 0 },
        // Three levels a unit (DL, TABLE, BLOCKQUOTE); with a limit of 3n + 2
        // it falls after
        // the DL and TABLE of unit n + 1.
        { "mixed", Repeat("<dl><dd><table><tr><td><blockquote>", 5000) + "x", 2 * (kMaxNesting / 3) + 1,
            kMaxNesting / 3 + 1 },
        { "fonts and alignment", Repeat("<font size=+1><center><b><div align=right><big>", 20000) + "x", 0,
            0 },
    };
    for (const Case& c : cases) {
        const Document built = BuildDocument(c.markup);
        EXPECT_EQ(built.error, "") << c.name;
        EXPECT_EQ(built.lists.size(), c.lists) << c.name;
        EXPECT_EQ(built.tables.size(), c.tables) << c.name;
        EXPECT_EQ(TextBytes(built), 1U) << c.name;
        // The model can be walked, copied and destroyed without recursion.
        const Document copy = built;
        EXPECT_FALSE(testing::DumpBody(copy).empty()) << c.name;
    }
}

TEST(DocumentLimits, DroppedListsKeepTheirEndTags)
{
    // Lists beyond the limit are dropped with their end tags, so the end tags
    // of the kept lists still close the right lists.
    const std::string markup
        = Repeat("<ul><li>", kMaxNesting + 5) + "in" + Repeat("</ul>", kMaxNesting + 5) + "out";
    const Document doc = BuildDocument(markup);
    EXPECT_EQ(doc.lists.size(), kMaxNesting);
    ASSERT_FALSE(doc.flows[kBodyFlow].blocks.empty());
    EXPECT_EQ(testing::DumpFlow(doc, kBodyFlow).substr(0, 8), "ul[*1{ul");
    const std::string body = testing::DumpBody(doc);
    EXPECT_EQ(body.substr(body.size() - 10), "] P('out')");
}

TEST(DocumentLimits, HugePages)
{
    // A 2 MB page of mixed markup.
    const std::string unit = "<p>Tekst <b>pogrubiony</b> &amp; <a href=\"#x\">odsy\xB3"
                             "acz</a>"
                             "<table border=1><tr><td>a<td><ul><li>b</ul></table><pre>p  r\r\ne</pre>"
                             "<font color=red size=+1>c</font><img src=x.gif><br>\r\n";
    const std::string page = Repeat(unit, 2 * 1024 * 1024 / unit.size() + 1);
    const Document big = BuildDocument(page);
    EXPECT_EQ(big.error, "");
    const std::size_t units = page.size() / unit.size();
    EXPECT_EQ(big.tables.size(), units);
    EXPECT_EQ(big.lists.size(), units);
    EXPECT_EQ(big.images.size(), units);
    EXPECT_EQ(big.links.size(), units);

    // A single word of 200,000 characters, in and outside PRE.
    for (const std::string& markup : { "<p>" + std::string(200000, 'w') + "</p>",
             "<pre>" + std::string(200000, 'w') + "</pre>", "<table><tr><td>" + std::string(200000, 'w') }) {
        const Document word = BuildDocument(markup);
        EXPECT_EQ(TextBytes(word), 200000U);
        const TextRun* run = testing::FirstTextRun(word, "w");
        ASSERT_NE(run, nullptr);
        EXPECT_LE(run->text.size(), kMaxJoinedRun);
    }

    // An attribute value as long as the page, and a comment that never ends.
    const Document value = BuildDocument("<img alt=\"" + std::string(2 * 1024 * 1024, 'a') + "\">x");
    ASSERT_EQ(value.images.size(), 1U);
    EXPECT_EQ(value.images[0].alt.size(), 2U * 1024 * 1024);
    const Document comment = BuildDocument("x<!--" + Repeat("- -> -- x ", 200000));
    EXPECT_EQ(comment.error, kOpenCommentError);
}

TEST(DocumentLimits, ManyDistinctFonts)
{
    // Each run in its own colour: fonts are shared through a lookup, not a scan.
    std::string page;
    for (int i = 0; i < 50000; ++i)
        page += "<font color=#" + std::to_string(100000 + i) + ">t</font>";
    const Document built = BuildDocument(page);
    EXPECT_EQ(built.fonts.size(), 50000U);
}

} // namespace
} // namespace orbita::html
