// Layout with the fixed-width fake: body text (Times, 12 pt = 16 px) is 8 px a
// byte (9 bold), ascent 12, descent 4, 17 px a line. The view's margins are 10
// left and right and 5 at the top, so at width W the text runs from x = 10 to
// W - 10 and the first line starts at y = 5.
#include "htmlview/document_builder.h"
#include "htmlview/layout.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace orbita::html {
namespace {

constexpr int kChar = 8;
constexpr int kLine = 17;
constexpr int kLeft = 10;
constexpr int kTop = 5;

struct Laid {
    Document document;
    PageLayout layout;
};

Laid Lay(const std::string& markup, int width = 400)
{
    Laid laid;
    laid.document = BuildDocument(markup);
    FixedFontMetrics metrics;
    LayoutOptions options;
    options.width = width;
    laid.layout = LayoutDocument(laid.document, metrics, options);
    return laid;
}

std::vector<std::string> LineTexts(const PageLayout& layout)
{
    std::vector<std::string> lines;
    for (const TextLine& line : layout.lines)
        lines.push_back(layout.text.substr(line.textStart, line.textLength));
    return lines;
}

const TextLine* FindLine(const PageLayout& layout, const std::string& text)
{
    for (const TextLine& line : layout.lines)
        if (layout.text.substr(line.textStart, line.textLength) == text)
            return &line;
    return nullptr;
}

// Cell boxes are found by their background: the fills of the given colour in
// painting order.
std::vector<Rect> Fills(const PageLayout& layout, Rgb colour)
{
    std::vector<Rect> rects;
    for (const PaintItem& item : layout.items)
        if (item.kind == PaintItem::Kind::Fill && item.colour == colour)
            rects.push_back(item.rect);
    return rects;
}

TEST(LayoutLineBreaking, WrapsAtBlanksAndBreaksLongWordsByCharacter)
{
    struct Case {
        const char* markup;
        int width;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        { "aaa bbb ccc", 20 + 11 * kChar, { "aaa bbb ccc" } },
        { "aaa bbb ccc", 20 + 10 * kChar, { "aaa bbb", "ccc" } },
        { "aaa bbb ccc", 20 + 7 * kChar, { "aaa bbb", "ccc" } },
        { "aaa bbb ccc", 20 + 6 * kChar, { "aaa", "bbb", "ccc" } },
        { "aaa  <b></b> bbb", 400, { "aaa bbb" } },
        { "one<br>two", 400, { "one", "two" } },
        { "one<br><br>two", 400, { "one", "", "two" } },
        // A word is not broken where its font changes.
        { "aa<b>bb</b> cc", 20 + 5 * kChar, { "aabb", "cc" } },
        // A word longer than the line is broken by character.
        { "abcdefghij", 20 + 4 * kChar, { "abcd", "efgh", "ij" } },
        { "ab abcdefghij", 20 + 4 * kChar, { "ab", "abcd", "efgh", "ij" } },
        // PRE keeps its blanks and breaks only at its line ends.
        { "<pre>a  b\ncc      dd ee</pre>", 20 + 4 * kChar, { "a  b", "cc      dd ee" } },
    };
    for (const Case& c : cases) {
        const Laid laid = Lay(c.markup, c.width);
        EXPECT_TRUE(laid.layout.error.empty()) << c.markup;
        EXPECT_EQ(LineTexts(laid.layout), c.lines) << c.markup << " at " << c.width;
    }
}

TEST(LayoutLineBreaking, LinesStackByTheirHeight)
{
    const Laid laid = Lay("a<br>b<br>c");
    ASSERT_EQ(laid.layout.lines.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(laid.layout.lines[i].rect.y, kTop + static_cast<int>(i) * kLine);
        EXPECT_EQ(laid.layout.lines[i].rect.height, kLine);
    }
    EXPECT_EQ(laid.layout.height, kTop + 3 * kLine + kTop);
}

TEST(LayoutAlignment, LinesMoveWithinTheFreeSpan)
{
    struct Case {
        const char* markup;
        int x; // of the line "ab"
    };
    const int width = 400;
    const int span = width - 2 * kLeft;
    const Case cases[] = {
        { "ab", kLeft },
        { "<center>ab</center>", kLeft + (span - 2 * kChar) / 2 },
        { "<p align=right>ab", kLeft + span - 2 * kChar },
        { "<div align=center>ab   </div>", kLeft + (span - 2 * kChar) / 2 }, // trailing blank not counted
        { "<h2 align=right></h2><p align=left>ab", kLeft },
    };
    for (const Case& c : cases) {
        const Laid laid = Lay(c.markup, width);
        const TextLine* line = FindLine(laid.layout, "ab");
        ASSERT_NE(line, nullptr) << c.markup;
        EXPECT_EQ(line->rect.x, c.x) << c.markup;
        ASSERT_GE(line->fragmentCount, 1u);
        EXPECT_EQ(laid.layout.fragments[line->firstFragment].x, c.x) << c.markup;
    }
}

TEST(LayoutFloats, TextFlowsBesideFloatsAndClearGoesBelow)
{
    struct Case {
        const char* markup;
        const char* line;
        int x;
        int y; // the line's top
    };
    const int width = 400;
    const Case cases[] = {
        { "<img align=left width=100 height=50>text", "text", kLeft + 100, kTop },
        { "<img align=right width=100 height=50>text", "text", kLeft, kTop },
        { "<img align=left width=100 height=50 hspace=5>text", "text", kLeft + 110, kTop },
        { "<img align=left width=100 height=50>a<br clear=left>below", "below", kLeft, kTop + 50 },
        { "<img align=left width=100 height=50>a<br clear=all>below", "below", kLeft, kTop + 50 },
        // CLEAR=right does not wait for a left float.
        { "<img align=left width=100 height=50>a<br clear=right>below", "below", kLeft + 100, kTop + kLine },
        // A table floated left: text beside it, after its width and HSPACE (5).
        { "<table align=left cellspacing=0 cellpadding=0><tr><td>xxxxx</table>text", "text",
            kLeft + 5 * kChar + 5, kTop },
    };
    for (const Case& c : cases) {
        const Laid laid = Lay(c.markup, width);
        const TextLine* line = FindLine(laid.layout, c.line);
        ASSERT_NE(line, nullptr) << c.markup;
        EXPECT_EQ(line->rect.x, c.x) << c.markup;
        EXPECT_EQ(line->rect.y, c.y) << c.markup;
    }
}

TEST(LayoutFloats, PageIsAsHighAsItsFloats)
{
    const Laid laid = Lay("<img align=left width=30 height=300>short");
    EXPECT_EQ(laid.layout.height, kTop + 300 + kTop);
    ASSERT_EQ(laid.layout.images.size(), 1u);
    EXPECT_EQ(laid.layout.images[0].rect, (Rect { kLeft, kTop, 30, 300 }));
}

TEST(LayoutLists, MarkersAndIndentation)
{
    struct Case {
        const char* markup;
        std::vector<std::string> markers; // numbered markers in order
        std::vector<int> bullets; // bullet styles in order
        const char* line;
        int x; // of that line
    };
    const Case cases[] = {
        { "<ol><li>a<li>b</ol>", { "1.", "2." }, {}, "b", kLeft + 40 },
        { "<ol type=a start=3><li>a<li>b</ol>", { "c.", "d." }, {}, "b", kLeft + 40 },
        { "<ol type=I><li>a<li>b<li>c<li>d</ol>", { "I.", "II.", "III.", "IV." }, {}, "d", kLeft + 40 },
        { "<ol type=i start=9><li>a<li>b</ol>", { "ix.", "x." }, {}, "b", kLeft + 40 },
        { "<ul><li>a<ul><li>b<ul><li>c</ul></ul></ul>", {}, { 1, 2, 3 }, "c", kLeft + 120 },
        { "<ul plain><li>a</ul>", {}, {}, "a", kLeft + 40 },
        { "<dl><dt>term<dd>description</dl>", {}, {}, "description", kLeft + 40 },
        { "<dl><dt>term<dd>description</dl>", {}, {}, "term", kLeft },
        { "<blockquote>quoted</blockquote>", {}, {}, "quoted", kLeft + 40 },
    };
    for (const Case& c : cases) {
        const Laid laid = Lay(c.markup);
        std::vector<std::string> markers;
        std::vector<int> bullets;
        for (const PaintItem& item : laid.layout.items) {
            if (item.kind == PaintItem::Kind::Text) {
                const std::string text = laid.layout.text.substr(item.textStart, item.textLength);
                if (!text.empty() && text.back() == '.')
                    markers.push_back(text);
            } else if (item.kind == PaintItem::Kind::Bullet) {
                bullets.push_back(static_cast<int>(item.id));
                EXPECT_LT(item.rect.right(), c.x) << c.markup; // left of the content
            }
        }
        EXPECT_EQ(markers, c.markers) << c.markup;
        EXPECT_EQ(bullets, c.bullets) << c.markup;
        const TextLine* line = FindLine(laid.layout, c.line);
        ASSERT_NE(line, nullptr) << c.markup;
        EXPECT_EQ(line->rect.x, c.x) << c.markup;
    }
}

TEST(LayoutLists, NumberStandsOnTheItemsFirstBaseline)
{
    const Laid laid = Lay("<ol><li>first<li>second</ol>");
    const TextLine* second = FindLine(laid.layout, "second");
    ASSERT_NE(second, nullptr);
    const TextFragment& fragment = laid.layout.fragments[second->firstFragment];
    bool found = false;
    for (const PaintItem& item : laid.layout.items)
        if (item.kind == PaintItem::Kind::Text
            && laid.layout.text.substr(item.textStart, item.textLength) == "2.") {
            found = true;
            EXPECT_EQ(item.baseline, fragment.baseline);
            EXPECT_LE(item.rect.right(), fragment.x);
        }
    EXPECT_TRUE(found);
}

// Tables: cellspacing 2 and cellpadding 1 unless written; a cell's overhead is
// 2 x padding + spacing; the columns' widths follow the table width rules; a
// cell box is its columns less the spacing, its height the content plus twice
// the padding.
TEST(LayoutTables, CellGeometry)
{
    struct Case {
        const char* markup;
        std::vector<Rect> red; // boxes of the cells with BGCOLOR=red, in order
    };
    const int y0 = kTop + 2; // first row: table top plus spacing
    const int h1 = kLine + 2; // one line plus the padding
    const Case cases[] = {
        // Content widths 32 and 16: maximums 36 and 20 fit.
        { "<table><tr><td bgcolor=red>aaaa<td bgcolor=red>bb</table>",
            { { kLeft + 2, y0, 34, h1 }, { kLeft + 2 + 36, y0, 18, h1 } } },
        // Padding 5, spacing 0.
        { "<table cellpadding=5 cellspacing=0><tr><td bgcolor=red>aaaa</table>",
            { { kLeft, kTop, 32 + 10, kLine + 10 } } },
        // Two columns of 50%: both as wide as the wider content needs (84).
        { "<table><tr><td width=50% bgcolor=red>a<td width=50% bgcolor=red>aaaaaaaaaa</table>",
            { { kLeft + 2, y0, 82, h1 }, { kLeft + 2 + 84, y0, 82, h1 } } },
        // A table of WIDTH=100% fills the 380 pixels; the spacing is outside the columns.
        { "<table width=100% cellspacing=0 cellpadding=0><tr><td bgcolor=red width=50%>a<td>b</table>",
            { { kLeft, kTop, 190, kLine } } },
        // COLSPAN: the spanning cell covers both columns and the spacing between.
        { "<table><tr><td colspan=2 bgcolor=red>x<tr><td>aaaa<td>bb</table>",
            { { kLeft + 2, y0, 36 + 20 - 2, h1 } } },
        // ROWSPAN: two rows of one line and the spacing between them.
        { "<table><tr><td rowspan=2 bgcolor=red>x<td>a<tr><td>b</table>",
            { { kLeft + 2, y0, 10, h1 + 2 + h1 } } },
        // A spanning cell higher than its rows grows the last of them.
        { "<table><tr><td rowspan=2>x<br>y<br>z<td bgcolor=red>a<tr><td bgcolor=red>b</table>",
            { { kLeft + 2 + 12, y0, 10, h1 }, { kLeft + 2 + 12, y0 + h1 + 2, 10, 3 * kLine + 2 - h1 - 2 } } },
        // HEIGHT makes a row higher.
        { "<table><tr><td height=60 bgcolor=red>a</table>", { { kLeft + 2, y0, 10, 60 } } },
        // BGCOLOR of the row and of the table for cells without their own.
        { "<table bgcolor=red><tr><td>a<td bgcolor=blue>b</table>", { { kLeft + 2, y0, 10, h1 } } },
        { "<table><tr bgcolor=red><td>a<td bgcolor=blue>b</table>", { { kLeft + 2, y0, 10, h1 } } },
        // A centred table.
        { "<center><table cellspacing=0 cellpadding=0><tr><td bgcolor=red>aaaa</table></center>",
            { { kLeft + (380 - 32) / 2, kTop, 32, kLine } } },
    };
    for (const Case& c : cases) {
        const Laid laid = Lay(c.markup);
        ASSERT_TRUE(laid.layout.error.empty()) << c.markup << ": " << laid.layout.error;
        EXPECT_EQ(Fills(laid.layout, 0xFF0000), c.red) << c.markup;
    }
}

TEST(LayoutTables, VerticalAlignmentInATallRow)
{
    struct Case {
        const char* valign;
        int top; // of the line "a"
    };
    // The row is 3 lines + padding high; "a" is one line.
    const int rowTop = kTop + 2;
    const int free = 2 * kLine;
    const Case cases[] = {
        { "", rowTop + 1 + free / 2 }, // middle by default
        { "valign=top", rowTop + 1 },
        { "valign=middle", rowTop + 1 + free / 2 },
        { "valign=bottom", rowTop + 1 + free },
    };
    for (const Case& c : cases) {
        const Laid laid = Lay(std::string("<table><tr><td>x<br>y<br>z<td ") + c.valign + ">a</table>");
        const TextLine* line = FindLine(laid.layout, "a");
        ASSERT_NE(line, nullptr) << c.valign;
        EXPECT_EQ(line->rect.y, c.top) << c.valign;
    }
}

TEST(LayoutTables, BorderAndCaption)
{
    // The caption is wider than the cells: it keeps its words whole.
    const Laid laid = Lay("<table border=1><caption>Cap</caption><tr><td bgcolor=red>a</table>");
    ASSERT_TRUE(laid.layout.error.empty());
    const TextLine* caption = FindLine(laid.layout, "Cap");
    ASSERT_NE(caption, nullptr);
    const std::vector<Rect> cells = Fills(laid.layout, 0xFF0000);
    ASSERT_EQ(cells.size(), 1u);
    // BORDER=1 makes the spacing 4; the frame (1) stands around the columns.
    EXPECT_EQ(cells[0].x, kLeft + 1 + 4);
    EXPECT_EQ(cells[0].y, caption->rect.bottom() + 1 + 4);
    int frames = 0;
    for (const PaintItem& item : laid.layout.items)
        if (item.kind == PaintItem::Kind::Frame)
            ++frames;
    EXPECT_EQ(frames, 2); // the table's and the cell's
}

TEST(LayoutTables, CaptionWrapsAtTheTablesWidth)
{
    // A 100 px table with a long caption: the caption's lines stay within the
    // table (12 characters of 8 px a line at most), not the page's 380 px.
    const Laid laid = Lay("<table width=100 cellspacing=0><caption>jeden dwa trzy cztery piec szesc</caption>"
                          "<tr><td bgcolor=red>a</table>after");
    ASSERT_TRUE(laid.layout.error.empty());
    const std::vector<Rect> cells = Fills(laid.layout, 0xFF0000);
    ASSERT_EQ(cells.size(), 1u);
    const std::vector<std::string> lines = LineTexts(laid.layout);
    EXPECT_EQ(lines, (std::vector<std::string> { "jeden dwa", "trzy cztery", "piec szesc", "a", "after" }));
    for (const TextLine& line : laid.layout.lines) {
        EXPECT_GE(line.rect.x, kLeft);
        EXPECT_LE(line.rect.right(), kLeft + 100);
    }
    // A word wider than the table widens the caption only to that word.
    const Laid wide = Lay("<table width=40><caption>dlugiewyrazenie x</caption><tr><td>a</table>");
    EXPECT_EQ(LineTexts(wide.layout), (std::vector<std::string> { "dlugiewyrazenie", "x", "a" }));
}

TEST(LayoutTables, TableLeftOpenInARowKeepsTheReadingOrder)
{
    const Laid laid = Lay("<table><tr><td>a</td></tr><tr><table><tr><td>x</td></tr><tr><td>b</td></tr>"
                          "</table>after");
    ASSERT_TRUE(laid.layout.error.empty());
    EXPECT_EQ(LineTexts(laid.layout), (std::vector<std::string> { "a", "x", "b", "after" }));
    const TextLine* a = FindLine(laid.layout, "a");
    const TextLine* after = FindLine(laid.layout, "after");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(after, nullptr);
    for (const TextLine& line : laid.layout.lines) {
        if (&line != after) {
            EXPECT_LE(line.rect.bottom(), after->rect.y)
                << "a line of the tables stands below the text after them";
        }
    }
}

TEST(LayoutTables, TooManyColumnsStopsThePage)
{
    std::string markup = "before<table><tr>";
    for (int i = 0; i < 31; ++i)
        markup += "<td>x";
    markup += "</table>after";
    const Laid laid = Lay(markup);
    EXPECT_EQ(laid.layout.error, "Table has too many Columns");
    EXPECT_EQ(LineTexts(laid.layout), std::vector<std::string> { "Table has too many Columns" });
    EXPECT_TRUE(laid.layout.linkAreas.empty());
}

TEST(LayoutTables, ThirtyColumnsAreLaidOut)
{
    std::string markup = "<table><tr>";
    for (int i = 0; i < 30; ++i)
        markup += "<td>x";
    markup += "</table>";
    const Laid laid = Lay(markup);
    EXPECT_TRUE(laid.layout.error.empty());
    EXPECT_EQ(laid.layout.lines.size(), 30u);
}

TEST(LayoutErrors, ParseErrorIsShownInsteadOfThePage)
{
    const Laid laid = Lay("text <!-- open");
    EXPECT_EQ(laid.layout.error, "Open Comment at End of HTML File");
    EXPECT_EQ(LineTexts(laid.layout), std::vector<std::string> { "Open Comment at End of HTML File" });
}

TEST(LayoutAnchors, YIsTheTopOfTheLineWhereTheyStand)
{
    struct Case {
        const char* markup;
        const char* line; // the line the anchor "x" stands on
    };
    const Case cases[] = {
        { "aaa<p><a name=x>bbb</a>", "bbb" },
        { "aaa<br>b<a name=x></a>bb", "bbb" },
        { "<table><tr><td>1<tr><td><a name=x>cell</a></table>", "cell" },
        { "<ul><li>a<li>b<li><a name=x>c</a></ul>", "c" },
    };
    for (const Case& c : cases) {
        const Laid laid = Lay(c.markup);
        const auto anchor = laid.document.findAnchor("x");
        ASSERT_TRUE(anchor.has_value()) << c.markup;
        const TextLine* line = FindLine(laid.layout, c.line);
        ASSERT_NE(line, nullptr) << c.markup;
        ASSERT_LT(*anchor, laid.layout.anchorY.size());
        EXPECT_EQ(laid.layout.anchorY[*anchor], line->rect.y) << c.markup;
    }
}

TEST(LayoutLinks, OneAreaPerLaidOutPiece)
{
    const int width = 20 + 5 * kChar;
    const Laid laid = Lay("x <a href=one>aa bb</a> <a href=two>cc</a>", width);
    // Lines: "x aa", "bb cc".
    EXPECT_EQ(LineTexts(laid.layout), (std::vector<std::string> { "x aa", "bb cc" }));
    ASSERT_EQ(laid.layout.linkAreas.size(), 3u);
    EXPECT_EQ(laid.layout.linkAreas[0].rect, (Rect { kLeft + 2 * kChar, kTop, 2 * kChar, 16 }));
    EXPECT_EQ(laid.layout.linkAreas[1].rect, (Rect { kLeft, kTop + kLine, 2 * kChar, 16 }));
    EXPECT_EQ(laid.layout.linkAreas[2].rect, (Rect { kLeft + 3 * kChar, kTop + kLine, 2 * kChar, 16 }));
    EXPECT_EQ(laid.document.links[laid.layout.linkAreas[2].link].href, "two");
    EXPECT_EQ(laid.layout.linkAt(kLeft + 3 * kChar + 1, kTop + kLine + 1), laid.layout.linkAreas[2].link);
    EXPECT_EQ(laid.layout.linkAt(kLeft + 1, kTop + 1), kNone);
}

TEST(LayoutText, ReadingOrderRowByRow)
{
    const Laid laid = Lay("top<table><tr><td>a1<td>b1<tr><td>a2<td>b2</table>bottom");
    EXPECT_EQ(LineTexts(laid.layout), (std::vector<std::string> { "top", "a1", "b1", "a2", "b2", "bottom" }));
    // The page text joins the lines with line ends.
    EXPECT_NE(laid.layout.text.find("a1\nb1\na2\nb2\nbottom"), std::string::npos);
}

TEST(LayoutControls, PlacedOnTheLine)
{
    const Laid laid = Lay("name <input name=n size=10> <input type=hidden name=h> <input type=checkbox>");
    ASSERT_EQ(laid.layout.controls.size(), 2u); // the hidden one has no place
    FixedFontMetrics metrics;
    const Size text = DefaultControlSize(laid.document.controls[0], laid.document.fonts[0], metrics);
    EXPECT_EQ(laid.layout.controls[0].rect.x, kLeft + 5 * kChar);
    EXPECT_EQ(laid.layout.controls[0].rect.width, text.width);
    EXPECT_EQ(laid.layout.controls[0].rect.height, text.height);
    EXPECT_EQ(laid.layout.controls[1].rect.x, kLeft + 5 * kChar + text.width + kChar);
    EXPECT_EQ(laid.layout.controls[1].rect.width, 13);
}

// A screen reader names a check box or radio button by the text beside it.
TEST(LayoutControls, TextBesideNamesTheControl)
{
    const Laid beside = Lay("<input type=checkbox> Zgoda na wszystko<br><input type=radio> dwa slowa");
    ASSERT_EQ(beside.layout.controls.size(), 2u);
    EXPECT_EQ(TextBesideControl(beside.layout, beside.layout.controls[0].rect), "Zgoda na wszystko");
    EXPECT_EQ(TextBesideControl(beside.layout, beside.layout.controls[1].rect), "dwa slowa");

    const Laid cells = Lay("<table><tr><td><input type=radio><td>Opcja A<tr><td><input type=radio><td>Opcja B"
                           "</table>");
    ASSERT_EQ(cells.layout.controls.size(), 2u);
    EXPECT_EQ(TextBesideControl(cells.layout, cells.layout.controls[0].rect), "Opcja A");
    EXPECT_EQ(TextBesideControl(cells.layout, cells.layout.controls[1].rect), "Opcja B");

    // Text before the control, or none at all, names nothing.
    const Laid before = Lay("Imie <input type=checkbox>");
    ASSERT_EQ(before.layout.controls.size(), 1u);
    EXPECT_EQ(TextBesideControl(before.layout, before.layout.controls[0].rect), "");
}

TEST(LayoutImages, SizeFromAttributesProviderOrPlaceholder)
{
    struct Provider : ImageSizes {
        std::optional<Size> imageSize(const Image& image) const override
        {
            if (image.src == "known.gif")
                return Size { 40, 30 };
            return std::nullopt;
        }
    } provider;
    struct Case {
        const char* markup;
        Size size;
    };
    const Case cases[] = {
        { "<img src=known.gif>", { 40, 30 } },
        { "<img src=known.gif width=80>", { 80, 60 } }, // height kept in proportion
        { "<img src=other.gif width=10 height=20>", { 10, 20 } },
        { "<img src=other.gif>", { 24, 24 } }, // placeholder
        { "<img src=known.gif border=2>", { 44, 34 } },
        // No side beyond kMaxPictureSide, also when scaling carries it there.
        { "<img src=other.gif width=99999 height=99999>", { kMaxPictureSide, kMaxPictureSide } },
        { "<img src=known.gif width=30000>", { kMaxPictureSide, kMaxPictureSide * 3 / 4 } },
        { "<img src=known.gif height=16000>", { kMaxPictureSide, 16000 } },
    };
    for (const Case& c : cases) {
        const Document document = BuildDocument(c.markup);
        FixedFontMetrics metrics;
        const PageLayout layout = LayoutDocument(document, metrics, LayoutOptions {}, &provider);
        ASSERT_EQ(layout.images.size(), 1u) << c.markup;
        const int border = document.images[0].border.value_or(0);
        EXPECT_EQ(layout.images[0].rect.width + 0, c.size.width - 2 * border + 2 * border) << c.markup;
        EXPECT_EQ(layout.images[0].rect.height, c.size.height) << c.markup;
        // The picture stands on the baseline of its line.
        ASSERT_EQ(layout.lines.size(), 1u);
        EXPECT_EQ(layout.images[0].rect.y, kTop) << c.markup;
    }
}

// A canvas that records what it is asked to draw.
struct RecordingCanvas final : PageCanvas {
    std::vector<int> textBaselines;
    std::vector<Rect> fills;
    int clips = 0;
    void fillRect(const Rect& rect, Rgb) override { fills.push_back(rect); }
    void drawText(int, int baseline, std::string_view, const Font&) override
    {
        textBaselines.push_back(baseline);
    }
    void drawLine(int, int, int, int, Rgb, int) override { }
    void drawFrame(const Rect&, int, Rgb, Rgb) override { }
    bool drawImage(ImageId, const Rect&) override { return false; }
    void pushClip(const Rect&) override { ++clips; }
    void popClip() override { --clips; }
};

TEST(LayoutPainting, OnlyWhatIntersectsTheViewport)
{
    std::string markup;
    for (int i = 0; i < 400; ++i)
        markup += "line" + std::to_string(i) + "<br>"; // one word a line
    const Laid laid = Lay(markup);
    RecordingCanvas whole;
    PaintPage(laid.layout, laid.document, whole, Rect { 0, 0, 400, laid.layout.height });
    EXPECT_EQ(whole.textBaselines.size(), 400u);
    RecordingCanvas part;
    const Rect viewport { 0, 3000, 400, 600 };
    PaintPage(laid.layout, laid.document, part, viewport);
    EXPECT_LT(part.textBaselines.size(), 100u);
    int inside = 0;
    for (int baseline : part.textBaselines) {
        // Text reaches from 12 above its baseline to 4 below it.
        EXPECT_GT(baseline + 4, viewport.y);
        EXPECT_LT(baseline - 12, viewport.bottom());
        ++inside;
    }
    // Every line in view is drawn: lines start at 5 + 17 k, their text at +0.
    int expected = 0;
    for (int k = 0; k < 400; ++k) {
        const int top = kTop + k * kLine;
        if (top + 16 > viewport.y && top < viewport.bottom())
            ++expected;
    }
    EXPECT_EQ(inside, expected);
    ASSERT_FALSE(part.fills.empty());
    EXPECT_EQ(part.fills.front(), viewport); // the background first
}

// Hostile pages end in a page or an error text.
TEST(LayoutPainting, ErrorTextIsPaintedInTheDefaultFont)
{
    struct FontCanvas final : PageCanvas {
        std::vector<std::string> texts;
        std::vector<Font> fonts;
        void fillRect(const Rect&, Rgb) override { }
        void drawText(int, int, std::string_view text, const Font& font) override
        {
            texts.emplace_back(text);
            fonts.push_back(font);
        }
        void drawLine(int, int, int, int, Rgb, int) override { }
        void drawFrame(const Rect&, int, Rgb, Rgb) override { }
        bool drawImage(ImageId, const Rect&) override { return false; }
        void pushClip(const Rect&) override { }
        void popClip() override { }
    } canvas;
    const Laid laid = Lay("<h1><font color=red>big</font></h1><!-- open");
    PaintPage(laid.layout, laid.document, canvas, Rect { 0, 0, 400, laid.layout.height });
    // Each word is drawn at its own place.
    ASSERT_EQ(
        canvas.texts, (std::vector<std::string> { "Open", "Comment", "at", "End", "of", "HTML", "File" }));
    for (const Font& font : canvas.fonts)
        EXPECT_EQ(font, Font {});
}

TEST(LayoutLimits, HugeAndDeepPages)
{
    struct Case {
        std::string name;
        std::string markup;
    };
    std::vector<Case> cases;
    bool mustLayOut[] = { true, true, true, true }; // the builder keeps what the layout can take
    std::string deepTables;
    for (int i = 0; i < 10000; ++i)
        deepTables += "<table><tr><td>x";
    cases.push_back({ "10000 nested tables", deepTables });
    std::string deepLists;
    for (int i = 0; i < 10000; ++i)
        deepLists += "<ul><li>x";
    cases.push_back({ "10000 nested lists", deepLists });
    std::string mixed;
    for (int i = 0; i < 5000; ++i)
        mixed += "<ol><li>x<table><tr><td>";
    cases.push_back({ "lists in tables", mixed });
    std::string big;
    while (big.size() < 2'000'000)
        big += "<p>Some text <b>bold</b> <a href=x>link</a> <table><tr><td>c<td>d</table>";
    cases.push_back({ "2 MB page", big });
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Laid laid = Lay(cases[i].markup, 600);
        if (mustLayOut[i]) {
            EXPECT_EQ(laid.layout.error, "") << cases[i].name;
        }
        EXPECT_FALSE(laid.layout.lines.empty()) << cases[i].name;
        EXPECT_GT(laid.layout.height, 0) << cases[i].name;
    }
}

// A document deeper than the layout takes (built by hand, past the
// builder's limit) ends in the error text, not in a crash.
TEST(LayoutLimits, DeeperThanTheLayoutTakesIsAnError)
{
    Document document;
    document.fonts.push_back(Font {});
    FlowId flow = kBodyFlow;
    for (int level = 0; level < 2 * kMaxLayoutDepth; ++level) {
        List list;
        list.items.push_back(
            ListItem { MarkerKind::Bullet, 1, 0, '1', 1, static_cast<FlowId>(document.flows.size()) });
        document.flows.push_back(Flow {});
        document.flows[flow].blocks.push_back(ListRef { static_cast<ListId>(document.lists.size()) });
        document.lists.push_back(std::move(list));
        flow = static_cast<FlowId>(document.flows.size() - 1);
    }
    Paragraph paragraph;
    paragraph.items.push_back(TextRun { "deep", 0, kNone });
    document.flows[flow].blocks.push_back(paragraph);
    FixedFontMetrics metrics;
    const PageLayout layout = LayoutDocument(document, metrics);
    EXPECT_EQ(layout.error, "Page nests too deeply");
}

TEST(LayoutLimits, VeryLongWordIsBrokenIntoLines)
{
    const std::string word(200'000, 'w');
    const Laid laid = Lay(word, 20 + 100 * kChar);
    ASSERT_TRUE(laid.layout.error.empty());
    EXPECT_EQ(laid.layout.lines.size(), 2000u);
    EXPECT_EQ(laid.layout.width, 20 + 100 * kChar); // never wider than the view
    std::size_t total = 0;
    for (const TextLine& line : laid.layout.lines)
        total += line.textLength;
    EXPECT_EQ(total, word.size());
}

TEST(LayoutImages, VerticalAlignmentAgainstTheBaseline)
{
    // A 40 px picture beside text (ascent 12): how far its top stands above
    // the text's baseline, and the line's height (ascent + descent + 1).
    struct Case {
        const char* align;
        int aboveBaseline;
        int lineHeight;
    };
    const Case cases[] = {
        { "", 40, 40 + 4 + 1 }, // its bottom on the baseline
        { "bottom", 40, 45 },
        { "unknown", 40, 45 },
        { "middle", 20 + 12 / 3, 41 }, // its middle a third of the ascent up
        { "ABSMIDDLE", 24, 41 },
        { "top", 12, 12 + 28 + 1 }, // its top at the top of the text
        { "texttop", 12, 41 },
    };
    for (const Case& c : cases) {
        const std::string markup = std::string("a<img align=\"") + c.align + "\" width=10 height=40>b";
        const Laid laid = Lay(markup);
        ASSERT_EQ(laid.layout.images.size(), 1u) << c.align;
        ASSERT_EQ(laid.layout.lines.size(), 1u) << c.align;
        ASSERT_FALSE(laid.layout.fragments.empty()) << c.align;
        const int baseline = laid.layout.fragments.front().baseline;
        EXPECT_EQ(baseline - laid.layout.images[0].rect.y, c.aboveBaseline) << c.align;
        EXPECT_EQ(laid.layout.lines[0].rect.height, c.lineHeight) << c.align;
    }
}

// The page and a table cell read a colour attribute alike: what colours one
// colours the other, and what one refuses the other refuses.
TEST(LayoutColours, PageAndCellAgreeOnEveryColourValue)
{
    const char* const values[] = { " #ff0000", "#FF0000 ", "red", "ff0000", "#F00", "#ff0000ff", "#1234567",
        "#", "# ff0000", "redd", "#gg0000" };
    for (const char* value : values) {
        const std::string markup = std::string("<body bgcolor=\"") + value + "\"><table><tr><td bgcolor=\""
            + value + "\">x</table>";
        const Laid laid = Lay(markup);
        const std::optional<Rgb> page = laid.document.backgroundColour;
        std::optional<Rgb> cell;
        for (const PaintItem& item : laid.layout.items)
            if (item.kind == PaintItem::Kind::Fill)
                cell = item.colour;
        EXPECT_EQ(page, cell) << '"' << value << '"';
        EXPECT_EQ(page, ParseColour(value)) << '"' << value << '"';
    }
    EXPECT_EQ(Lay("<body bgcolor=\" #ff0000\">x").layout.background, 0xFF0000u);
}

TEST(LayoutText, CopiedTextKeepsRowsOnOneLineAndParagraphsWhole)
{
    // 180 px of text: 22 characters a line.
    const std::string paragraph = "Alpha beta gamma delta epsilon zeta eta theta iota";
    const Laid laid = Lay("<p>" + paragraph
            + "</p><table><tr><td>Masa:</td><td>55,8 u</td></tr><tr><td>Symbol:</td><td>Fe</td></tr></table>"
              "<p>Supercalifragilisticexpialidocious end<br>Next line</p>",
        200);
    const PageLayout& layout = laid.layout;
    ASSERT_GE(std::count(layout.text.begin(), layout.text.begin() + layout.text.find("Masa"), '\n'), 3)
        << "the paragraph wraps";
    EXPECT_EQ(CopiedText(layout, 0, layout.text.size()),
        paragraph + "\nMasa:\t55,8 u\nSymbol:\tFe\nSupercalifragilisticexpialidocious end\nNext line\n");

    // A part: from within the paragraph to within the table's first row.
    const std::size_t from = layout.text.find("zeta");
    const std::size_t to = layout.text.find("55,8") + 2;
    EXPECT_EQ(CopiedText(layout, from, to), "zeta eta theta iota\nMasa:\t55");
    // Offsets past the text are clamped; an empty range copies nothing.
    EXPECT_EQ(CopiedText(layout, layout.text.find("Next"), std::string::npos), "Next line\n");
    EXPECT_EQ(CopiedText(layout, 5, 5), "");
    EXPECT_EQ(CopiedText(layout, layout.text.size() + 3, layout.text.size() + 9), "");
}

TEST(LayoutText, CopiedTextOfNestedTablesAndPre)
{
    // A nested table's rows stay one line each; the outer cells around it
    // stand on lines of their own. PRE keeps its own line ends and blanks.
    const Laid laid = Lay("<table><tr><td>Out</td><td><table><tr><td>a</td><td>b</td></tr>"
                          "<tr><td>c</td><td>d</td></tr></table></td><td>End</td></tr></table>"
                          "<pre>one  two\nthree</pre>",
        400);
    EXPECT_EQ(CopiedText(laid.layout, 0, laid.layout.text.size()), "Out\na\tb\nc\td\nEnd\none  two\nthree\n");
}

} // namespace
} // namespace orbita::html
