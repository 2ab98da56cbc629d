#include "htmlview/document_builder.h"
#include "tests/htmlview/document_dump.h"

#include <gtest/gtest.h>

namespace orbita::html {
namespace {

using testing::DumpBody;
using testing::FirstTextRun;

struct StructureCase {
    const char* name;
    std::string markup;
    std::string body;
};

void RunStructure(const std::vector<StructureCase>& cases)
{
    for (const StructureCase& c : cases) {
        const Document doc = BuildDocument(c.markup);
        EXPECT_EQ(DumpBody(doc), c.body) << c.name << ": " << c.markup;
        EXPECT_EQ(doc.error, "") << c.name;
    }
}

TEST(DocumentBuilder, Paragraphs)
{
    RunStructure({
        { "P adds a space", "a<p>b", "P('a') _ P('b')" },
        { "P start and end count as one", "a<p></p><p>b", "P('a') _ P('b')" },
        { "P end then P", "<p>a</p><p>b</p>", "_ P('a') _ P('b') _" },
        { "P ALIGN for the new block only", "<p align=center>a<br>b</p>c", "_ Pc('a') Pc/('b') _ P('c')" },
        { "P ALIGN any case", "<p align=RIGHT>a", "_ Pr('a')" },
        { "BR opens a line", "a<br>b", "P('a') P/('b')" },
        { "BR BR leaves an empty line", "a<br><br>b", "P('a') P/() P/('b')" },
        { "BR before a block leaves nothing", "a<br><hr>", "P('a') hr" },
        { "CENTER", "a<center>b</center>c", "P('a') Pc('b') P('c')" },
        { "DIV ALIGN", "<div align=right>a<div>b</div>c</div>d", "Pr('a') Pr('b') Pr('c') P('d')" },
        { "DIV with unknown ALIGN keeps the previous", "<center><div align=justify>a</div></center>",
            "Pc('a')" },
        { "stray CENTER end", "</center>a", "P('a')" },
        { "heading spaces and ALIGN", "<h2 align=center>T</h2>x", "= Pc('T') = P('x')" },
        { "P after heading adds nothing", "<h1>T</h1><p>x", "= P('T') = P('x')" },
        { "ADDRESS is a block", "a<address>b</address>c", "P('a') P('b') P('c')" },
        { "HR", "a<hr>b", "P('a') hr P('b')" },
        { "blank at paragraph start dropped", "<p> a  b ", "_ P('a b ')" },
        { "blank-only text opens nothing", "<p> \r\n <p>", "_" },
        { "blanks fold across tags", "a <b> b</b>", "P('a ' 'b')" },
        { "PRE keeps blanks and lines", "<pre>a  b\r\n c</pre>a  b", "Pp('a  b' / ' c') P('a b')" },
        { "PRE: P and BR end the line", "<pre>a<p>b<br>c</pre>", "Pp('a' / 'b' / 'c')" },
        { "PRE ignores other tags", "<pre>a<table><tr><td>b<h1>c<ul>d</pre>", "Pp('abcd')" },
        { "PRE keeps pictures and links", "<pre><img src=x.gif><a name=n>a</a></pre>",
            "Pp(img:x.gif #N 'a')" },
        { "anchor opens a paragraph", "<a name=Top></a>x", "P(#TOP 'x')" },
        { "unknown tags skipped", "<frameset><frame src=a><noframes>x</noframes></frameset>", "P('x')" },
    });
}

TEST(DocumentBuilder, Lists)
{
    RunStructure({
        { "OL numbering", "<ol><li>a<li>b</ol>", "ol[1.{P('a')} 2.{P('b')}]" },
        { "OL START and TYPE", "<ol start=3 type=i><li>a<li>b</ol>", "ol[iii.{P('a')} iv.{P('b')}]" },
        { "OL TYPE A and a", "<ol type=A><li>x</ol><ol type=a start=27><li>y</ol>",
            "ol[A.{P('x')}] ol[aa.{P('y')}]" },
        { "OL TYPE I", "<ol type=I start=1994><li>x</ol>", "ol[MCMXCIV.{P('x')}]" },
        { "OL START 0 kept", "<ol start=0><li>x</ol>", "ol[0.{P('x')}]" },
        { "OL negative START gives 1", "<ol start=-5><li>x</ol>", "ol[1.{P('x')}]" },
        { "OL unknown TYPE is digits", "<ol type=x><li>x</ol>", "ol[1.{P('x')}]" },
        { "UL bullets by depth", "<ul><li>a<ul><li>b</ul></ul>", "ul[*1{P('a') ul[*2{P('b')}]}]" },
        { "UL PLAIN", "<ul plain><li>a</ul>", "ul[-{P('a')}]" },
        { "DIR and MENU bullets", "<dir><li>a</dir><menu><li>b</menu>", "dir[*1{P('a')}] menu[*1{P('b')}]" },
        { "DL terms and descriptions", "<dl><dt>t<dd>d</dl>", "dl[dt0{P('t')} dd1{P('d')}]" },
        { "nested DL depth", "<dl><dd><dl><dt>t</dl></dl>", "dl[dd1{dl[dt1{P('t')}]}]" },
        { "BLOCKQUOTE", "<blockquote>q</blockquote>", "bq[-{P('q')}]" },
        { "text before the first item", "<ul>loose<li>a</ul>", "ul[-{P('loose')} *1{P('a')}]" },
        { "P right after LI adds nothing", "<ol><li><p>a<p>b</ol>", "ol[1.{P('a') _ P('b')}]" },
        { "LI outside a list", "a<li>b", "P('a') P('b')" },
        { "end tag closes the same kind", "<ul><li>a<ol><li>b</ul>c",
            "ul[*1{P('a') ol[1.{P('b')}]}] P('c')" },
        { "end tag of another kind ignored", "<ul><li>a</ol>b</ul>", "ul[*1{P('ab')}]" },
        { "unclosed list", "<ul><li>a", "ul[*1{P('a')}]" },
    });
}

TEST(DocumentBuilder, Tables)
{
    RunStructure({
        { "TH and TD", "<table><tr><th>h<td>d</table>", "table[tr(th{Pc('h')} td{P('d')})]" },
        { "row ALIGN", "<table><tr align=right><td>x<td align=left>y</table>",
            "table[tr(td{Pr('x')} td{P('y')})]" },
        { "row ends at TR end", "<table><tr><td>a</tr><tr><td>b</table>",
            "table[tr(td{P('a')}) tr(td{P('b')})]" },
        { "cell without row", "<table><td>a<td>b</table>", "table[tr(td{P('a')} td{P('b')})]" },
        { "stray text goes before the table", "<table>s<tr><td>x</td>t</table>u",
            "P('s') P('t') table[tr(td{P('x')})] P('u')" },
        { "caption on top", "<table><caption>c</caption><tr><td>x</table>",
            "table[cap{Pc('c')} tr(td{P('x')})]" },
        { "caption at the bottom", "<table><caption align=BOTTOM>c<tr><td>x</table>",
            "table[capb{Pc('c')} tr(td{P('x')})]" },
        { "nested table", "<table><tr><td>a<table><tr><td>b</table>c</table>",
            "table[tr(td{P('a') table[tr(td{P('b')})] P('c')})]" },
        { "cell closes a list", "<table><tr><td><ul><li>a<td>b</table>",
            "table[tr(td{ul[*1{P('a')}]} td{P('b')})]" },
        { "list end does not leave the cell", "<ul><li><table><tr><td>a</ul>b</table>c</ul>",
            "ul[*1{table[tr(td{P('ab')})] P('c')}]" },
        { "table end closes lists in it", "<table><tr><td><ol><li>a</table>b",
            "table[tr(td{ol[1.{P('a')}]})] P('b')" },
        { "P at the start of a cell adds nothing", "<table><tr><td><p>a<p>b</table>",
            "table[tr(td{P('a') _ P('b')})]" },
        { "cell end ends PRE", "<table><tr><td><pre>a  b</td><td>c  d</table>",
            "table[tr(td{Pp('a  b')} td{P('c d')})]" },
        { "TD outside a table ignored", "a<td>b</td>c", "P('abc')" },
        { "unclosed table", "<table><tr><td>a", "table[tr(td{P('a')})]" },
        { "table in a row without a cell, left open: a cell of its own, closed at the outer's end",
            "<table><tr><td>a</td></tr><tr><table><tr><td>x</td></tr><tr><td>b</td></tr></table>after",
            "table[tr(td{P('a')}) tr(td{table[tr(td{P('x')}) tr(td{P('b')})]})] P('after')" },
        { "table between rows: a row and a cell of its own", "<table><tr><td>a</tr><table><tr><td>x</table>c",
            "table[tr(td{P('a')}) tr(td{table[tr(td{P('x')})]})] P('c')" },
        { "table in the row after a cell", "<table><tr><td>a</td><table><tr><td>x</table>c",
            "table[tr(td{P('a')} td{table[tr(td{P('x')})]})] P('c')" },
        { "two tables each in a row without a cell: one end closes all three",
            "<table><tr><table><tr><table><tr><td>x</table>y",
            "table[tr(td{table[tr(td{table[tr(td{P('x')})]})]})] P('y')" },
        { "a table in a cell still ends at its own end tag",
            "<table><tr><td><table><tr><td>x</table>y</table>z",
            "table[tr(td{table[tr(td{P('x')})] P('y')})] P('z')" },
        { "table in CENTER", "<center><table><tr><td>a</table></center>", "table[tr(td{P('a')})]" },
    });
}

TEST(DocumentBuilder, CellAttributes)
{
    const Document doc = BuildDocument("<center><table border=1 width=\"80%\"><tr valign=top bgcolor=red>"
                                       "<td colspan=3 rowspan=0>a<th valign=bottom colspan=99999>b</table>");
    ASSERT_EQ(doc.tables.size(), 1U);
    const Table& table = doc.tables[0];
    EXPECT_EQ(table.enclosingAlign, Align::Center);
    ASSERT_NE(GetAttribute(table.attributes, AttributeId::Width), nullptr);
    EXPECT_EQ(GetAttribute(table.attributes, AttributeId::Width)->number, 80);
    ASSERT_EQ(table.rows.size(), 1U);
    ASSERT_EQ(table.rows[0].cells.size(), 2U);
    const TableCell& a = table.rows[0].cells[0];
    const TableCell& b = table.rows[0].cells[1];
    EXPECT_EQ(a.colspan, 3);
    EXPECT_EQ(a.rowspan, 1);
    EXPECT_EQ(a.valign, VerticalAlign::Top);
    EXPECT_EQ(b.valign, VerticalAlign::Bottom);
    EXPECT_EQ(b.colspan, kMaxSpan);
    EXPECT_TRUE(b.header);
    EXPECT_NE(GetAttribute(table.rows[0].attributes, AttributeId::Bgcolor), nullptr);
}

// The font of the text "x" in a page (text of the same font joins it in one run).
Font FontOfX(const std::string& markup, const BuildOptions& options = {})
{
    const Document doc = BuildDocument(markup, options);
    const TextRun* run = FirstTextRun(doc, "x");
    if (!run) {
        ADD_FAILURE() << "no text x in " << markup;
        return {};
    }
    return doc.fonts[run->font];
}

TEST(DocumentBuilder, FontSizesAndFaces)
{
    struct Case {
        std::string markup;
        int points;
        bool bold;
        std::string face;
    };
    const std::string serif = "Times New Roman", mono = "Courier New";
    const std::vector<Case> cases = {
        { "x", 12, false, serif },
        { "<font size=1>x", 8, false, serif },
        { "<font size=7>x", 36, false, serif },
        { "<font size=9>x", 36, false, serif },
        { "<font size=0>x", 8, false, serif },
        { "<basefont size=3><font size=+1>x", 14, false, serif },
        { "<font size=+9>x", 36, false, serif },
        { "<font size=-9>x", 8, false, serif },
        { "<basefont size=5><font size=\"+1\">x", 24, false, serif },
        { "<basefont size=6>x", 24, false, serif },
        { "y<basefont size=6><font size=+1>x", 14, false, serif },
        { "<font size=big>x", 12, false, serif },
        { "<big>x", 14, false, serif },
        { "<big><big><big><big><big>x", 36, false, serif },
        { "<small><small><small>x", 8, false, serif },
        { "<font size=2><big>x", 12, false, serif },
        { "<h1>x", 24, true, serif },
        { "<h2>x", 18, true, serif },
        { "<h3>x", 15, true, serif },
        { "<h4>x", 12, true, serif },
        { "<h5>x", 10, true, serif },
        { "<h6>x", 8, true, serif },
        { "<h7>x", 12, true, serif },
        { "<h1>a</h1>x", 12, false, serif },
        { "<h3><big>x", 18, true, serif },
        { "<tt>x", 10, false, mono },
        { "<code><b>x", 10, true, mono },
        { "<kbd>a</kbd><samp>a</samp>x", 12, false, serif },
        { "<pre>x", 10, false, mono },
        { "<pre>a</pre>x", 12, false, serif },
        { "<font face=\" Arial , Helvetica\">x", 12, false, "Arial" },
        { "<font face=Verdana><font size=5>x</font></font>", 18, false, "Verdana" },
        { "<basefont face=Arial>x", 12, false, "Arial" },
    };
    for (const Case& c : cases) {
        const Font font = FontOfX(c.markup);
        EXPECT_EQ(font.points, c.points) << c.markup;
        EXPECT_EQ(font.bold, c.bold) << c.markup;
        EXPECT_EQ(font.face, c.face) << c.markup;
    }
    BuildOptions options;
    options.fontName = "Tahoma";
    options.preFontName = "Tahoma Mono";
    options.fontSize = 10;
    EXPECT_EQ(FontOfX("x", options).points, 10);
    EXPECT_EQ(FontOfX("x", options).face, "Tahoma");
    EXPECT_EQ(FontOfX("<tt>x", options).face, "Tahoma Mono");
    EXPECT_EQ(FontOfX("<big>x", options).points, 12);
}

TEST(DocumentBuilder, Styles)
{
    struct Case {
        std::string markup;
        bool bold, italic, underline, strikeout;
        TextPosition position;
    };
    const TextPosition normal = TextPosition::Normal;
    const std::vector<Case> cases = {
        { "<b>x", true, false, false, false, normal },
        { "<STRONG>x", true, false, false, false, normal },
        { "<b>a</b>x", false, false, false, false, normal },
        { "<b><b>a</b>x", false, false, false, false, normal },
        { "<i>x", false, true, false, false, normal },
        { "<em>x", false, true, false, false, normal },
        { "<cite>x", false, true, false, false, normal },
        { "<var>x", false, true, false, false, normal },
        { "<address>x", false, true, false, false, normal },
        { "<address>a</address>x", false, false, false, false, normal },
        { "<u>x", false, false, true, false, normal },
        { "<s>x", false, false, false, true, normal },
        { "<strike>x", false, false, false, true, normal },
        { "<sub>x", false, false, false, false, TextPosition::Subscript },
        { "<sup>x", false, false, false, false, TextPosition::Superscript },
        { "<sup>a</sup>x", false, false, false, false, normal },
        { "<sub>a</sup>x", false, false, false, false, normal },
        { "<pre><b><u>x", true, false, true, false, normal },
        { "<pre><sup>x", false, false, false, false, normal },
        { "<a href=l>x", false, false, true, false, normal },
        { "<a href=l>a</a>x", false, false, false, false, normal },
        { "<a href=l>a<a name=n>x", false, false, false, false, normal },
    };
    for (const Case& c : cases) {
        const Font font = FontOfX(c.markup);
        EXPECT_EQ(font.bold, c.bold) << c.markup;
        EXPECT_EQ(font.italic, c.italic) << c.markup;
        EXPECT_EQ(font.underline, c.underline) << c.markup;
        EXPECT_EQ(font.strikeout, c.strikeout) << c.markup;
        EXPECT_EQ(font.position, c.position) << c.markup;
    }
}

TEST(DocumentBuilder, Colours)
{
    struct Case {
        std::string markup;
        Rgb colour;
    };
    const std::vector<Case> cases = {
        { "x", 0x000000 },
        { "<font color=red>x", 0xFF0000 },
        { "<font color=\"Fuchsia\">x", 0xFF00FF },
        { "<font color=#ff8800>x", 0xFF8800 },
        { "<font color=00ff00>x", 0x00FF00 },
        { "<font color=\"#12345\">x", 0x012345 },
        { "<font color=#1234567>x", 0x000000 },
        { "<font color=bogus>x", 0x000000 },
        { "<font color=red><font color=bogus>a</font>x</font>", 0xFF0000 },
        { "<font color=red><font>a</font>x", 0xFF0000 },
        { "<font color=red>a</font>x", 0x000000 },
        { "<body text=navy>x", 0x000080 },
        { "y<body text=navy>x", 0x000000 },
        { "<a href=l>x", 0x0000FF },
        { "<body link=#C00000><a href=l>x", 0xC00000 },
        { "<a href=l><font color=green>x", 0x0000FF },
        { "<font color=red><table><tr><td><font color=blue>a<td>x</table>", 0xFF0000 },
        { "<table><tr><td><font color=blue>a</table>x", 0x000000 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(FontOfX(c.markup).colour, c.colour) << c.markup;
}

TEST(DocumentBuilder, FontStackDepth)
{
    // 30 nested FONTs with colours 1..30: only 24 fit above the default font.
    std::string markup;
    for (int i = 1; i <= 30; ++i)
        markup += "<font color=#0000" + std::string(i < 16 ? "0" : "") + [i] {
            static const char* const hex = "0123456789ABCDEF";
            std::string s;
            if (i >= 16)
                s += hex[i / 16];
            s += hex[i % 16];
            return s;
        }() + ">";
    markup += "t0";
    for (int i = 1; i <= 30; ++i)
        markup += "</font>t" + std::to_string(i);
    const Document doc = BuildDocument(markup);
    const auto colourOf = [&](const std::string& text) {
        const TextRun* run = FirstTextRun(doc, text);
        return run ? static_cast<int>(doc.fonts[run->font].colour) : -1;
    };
    EXPECT_EQ(colourOf("t0"), 24);
    EXPECT_EQ(colourOf("t6"), 24); // the ends of the six FONTs that pushed nothing
    EXPECT_EQ(colourOf("t7"), 23);
    EXPECT_EQ(colourOf("t29"), 1);
    EXPECT_EQ(colourOf("t30"), 0);
    EXPECT_EQ(kMaxFontStack, 25U);
}

TEST(DocumentBuilder, TableCellsResetStyles)
{
    const Document doc = BuildDocument("<b><i><table><tr><td><u><font size=7>a<td>b<th>c</table>d");
    const Font& b = doc.fonts[FirstTextRun(doc, "b")->font];
    EXPECT_TRUE(b.bold); // the styles of the table's start
    EXPECT_TRUE(b.italic);
    EXPECT_FALSE(b.underline);
    EXPECT_EQ(b.points, 12);
    const Document plain = BuildDocument("<table><tr><th>a<td>b</table>");
    EXPECT_TRUE(plain.fonts[FirstTextRun(plain, "a")->font].bold);
    EXPECT_FALSE(plain.fonts[FirstTextRun(plain, "b")->font].bold);
}

TEST(DocumentBuilder, LinksAndAnchors)
{
    const Document doc = BuildDocument("<a href=\"#Sec\" target=main>go</a> <a name=\"sec\">S</a>"
                                       "<a name=\"Plain Test\"></a><a href=x.htm><img src=i.gif></a>");
    ASSERT_EQ(doc.links.size(), 2U);
    EXPECT_EQ(doc.links[0].href, "#Sec");
    EXPECT_EQ(doc.links[0].target, "main");
    EXPECT_EQ(FirstTextRun(doc, "go")->link, 0U);
    EXPECT_EQ(FirstTextRun(doc, "S")->link, kNone);
    ASSERT_TRUE(doc.findAnchor("SEC"));
    EXPECT_EQ(*doc.findAnchor("SEC"), 0U);
    EXPECT_EQ(doc.findAnchor("Sec"), doc.findAnchor("sec"));
    EXPECT_TRUE(doc.findAnchor("plain test"));
    EXPECT_FALSE(doc.findAnchor("missing"));
    ASSERT_EQ(doc.images.size(), 1U);
    EXPECT_EQ(doc.images[0].link, 1U);
    // Polish letters match without regard to case too.
    const Document polish = BuildDocument("<a name=\"\xA5r\xF3"
                                          "d\xB3o\"></a>");
    EXPECT_TRUE(polish.findAnchor("\xB9R\xD3"
                                  "D\xA3O"));
}

TEST(DocumentBuilder, ImagesAndMaps)
{
    const Document doc
        = BuildDocument("<img src=a.gif alt='Atom' align=LEFT width=50% height=\"20\" border=0 hspace=3 "
                        "ismap usemap=#Mapa transp>"
                        "<img src=b.gif width=wide>"
                        "<map name=mapa><area shape=CIRCLE coords=\"9.5,22, 9\" href=c.htm target=t alt=C>"
                        "<area shape=rect coords=\"0,0,10,10\" nohref></map><area href=outside>");
    ASSERT_EQ(doc.images.size(), 2U);
    const Image& a = doc.images[0];
    EXPECT_EQ(a.src, "a.gif");
    EXPECT_EQ(a.alt, "Atom");
    EXPECT_EQ(a.align, ImageAlign::Left);
    EXPECT_EQ(a.width, (Length { 50, true }));
    EXPECT_EQ(a.height, (Length { 20, false }));
    EXPECT_EQ(a.border, 0);
    EXPECT_EQ(a.hspace, 3);
    EXPECT_TRUE(a.isMap);
    EXPECT_EQ(a.useMap, "#Mapa");
    EXPECT_NE(GetAttribute(a.attributes, AttributeId::Transp), nullptr);
    EXPECT_FALSE(doc.images[1].width);
    EXPECT_FALSE(doc.images[1].border);

    ASSERT_EQ(doc.maps.size(), 1U);
    ASSERT_EQ(doc.findMap(a.useMap), std::optional<MapId>(0));
    const ImageMap& map = doc.maps[0];
    ASSERT_EQ(map.areas.size(), 2U);
    EXPECT_EQ(map.areas[0].shape, "circle");
    EXPECT_EQ(map.areas[0].coords, (std::vector<int> { 9, 22, 9 }));
    EXPECT_EQ(map.areas[0].href, "c.htm");
    EXPECT_EQ(map.areas[0].target, "t");
    EXPECT_EQ(map.areas[0].alt, "C");
    EXPECT_FALSE(map.areas[0].noHref);
    EXPECT_TRUE(map.areas[1].noHref);
    EXPECT_EQ(map.areas[1].coords, (std::vector<int> { 0, 0, 10, 10 }));
}

TEST(DocumentBuilder, Forms)
{
    const Document doc = BuildDocument(
        "<form action=/go method=post target=w enctype=text/plain>"
        "<input name=a value=1 size=10 maxlength=5><input type=RADIO name=r value=x checked>"
        "<input type=hidden name=h value=v><input type=password><input type=checkbox>"
        "<input type=submit><input type=reset><input type=image src=b.gif><input type=file>"
        "<input type=button><input type=odd>"
        "<select name=s multiple size=3><option value=1>One <option selected> Two  2 </select>"
        "<textarea name=t cols=40 rows=3 wrap=SOFT>line  1\r\nline 2</textarea></form>"
        "<input name=out><textarea wrap=off></textarea><textarea wrap=hard cols=0 rows=x>z</textarea>");
    ASSERT_EQ(doc.forms.size(), 1U);
    EXPECT_EQ(doc.forms[0].action, "/go");
    EXPECT_EQ(doc.forms[0].method, "post");
    EXPECT_EQ(doc.forms[0].target, "w");
    EXPECT_EQ(doc.forms[0].encType, "text/plain");
    ASSERT_EQ(doc.controls.size(), 16U);
    EXPECT_EQ(doc.forms[0].controls.size(), 13U);

    const std::vector<ControlKind> kinds = { ControlKind::Text, ControlKind::Radio, ControlKind::Hidden,
        ControlKind::Password, ControlKind::Checkbox, ControlKind::Submit, ControlKind::Reset,
        ControlKind::Image, ControlKind::File, ControlKind::Button, ControlKind::Text, ControlKind::Select,
        ControlKind::TextArea, ControlKind::Text, ControlKind::TextArea, ControlKind::TextArea };
    for (std::size_t i = 0; i < kinds.size(); ++i)
        EXPECT_EQ(doc.controls[i].kind, kinds[i]) << i;

    EXPECT_EQ(doc.controls[0].name, "a");
    EXPECT_EQ(doc.controls[0].value, "1");
    EXPECT_EQ(doc.controls[0].size, 10);
    EXPECT_EQ(doc.controls[0].maxLength, 5);
    EXPECT_TRUE(doc.controls[1].checked);
    EXPECT_FALSE(doc.controls[4].checked);
    EXPECT_EQ(doc.controls[7].src, "b.gif");

    const FormControl& select = doc.controls[11];
    EXPECT_TRUE(select.multiple);
    EXPECT_EQ(select.size, 3);
    ASSERT_EQ(select.options.size(), 2U);
    EXPECT_EQ(select.options[0].text, "One");
    EXPECT_EQ(select.options[0].value, "1");
    EXPECT_FALSE(select.options[0].selected);
    EXPECT_EQ(select.options[1].text, "Two 2");
    EXPECT_EQ(select.options[1].value, "Two 2");
    EXPECT_TRUE(select.options[1].selected);

    const FormControl& area = doc.controls[12];
    EXPECT_EQ(area.text, "line  1\rline 2");
    EXPECT_EQ(area.cols, 40);
    EXPECT_EQ(area.rows, 3);
    EXPECT_TRUE(area.wrap);
    EXPECT_EQ(doc.fonts[area.font].face, "Courier New");
    EXPECT_EQ(doc.fonts[area.font].points, 10);
    EXPECT_EQ(doc.controls[13].form, kNone);
    EXPECT_EQ(doc.controls[14].cols, 30);
    EXPECT_EQ(doc.controls[14].rows, 5);
    EXPECT_FALSE(doc.controls[14].wrap);
    EXPECT_EQ(doc.controls[15].cols, 30);
    EXPECT_EQ(doc.controls[15].rows, 5);
    EXPECT_TRUE(doc.controls[15].wrap);
    EXPECT_EQ(doc.controls[15].text, "z");

    // Hidden controls submit but take no place in the text.
    std::size_t placed = 0;
    for (const Flow& flow : doc.flows)
        for (const Block& block : flow.blocks)
            if (const auto* p = std::get_if<Paragraph>(&block))
                for (const Inline& item : p->items)
                    placed += std::holds_alternative<ControlRef>(item);
    EXPECT_EQ(placed, 15U);
}

TEST(DocumentBuilder, FormRestartsAndSelectText)
{
    const Document doc = BuildDocument("<form action=a><input name=x><form action=b><input name=y>"
                                       "<select><option>A</option>ignored<option>B</select>after");
    ASSERT_EQ(doc.forms.size(), 2U);
    EXPECT_EQ(doc.forms[0].controls, (std::vector<ControlId> { 0 }));
    EXPECT_EQ(doc.forms[1].controls, (std::vector<ControlId> { 1, 2 }));
    ASSERT_EQ(doc.controls[2].options.size(), 2U);
    EXPECT_EQ(doc.controls[2].options[0].text, "A");
    EXPECT_EQ(doc.controls[2].options[1].text, "B");
    EXPECT_NE(FirstTextRun(doc, "after"), nullptr);
    EXPECT_EQ(FirstTextRun(doc, "ignored"), nullptr);
}

TEST(DocumentBuilder, DocumentLevel)
{
    const Document doc
        = BuildDocument("<html><head><title> First </title><title> The   page </title>"
                        "<base href=\"http://x/\" target=top><meta name=a content=b></head>\r\n"
                        "<body text=#102030 link=red bgcolor=silver background=tlo.gif>x"
                        "<body bgcolor=black text=white>");
    EXPECT_EQ(doc.title, "The page");
    EXPECT_EQ(doc.baseHref, "http://x/");
    EXPECT_EQ(doc.baseTarget, "top");
    EXPECT_EQ(doc.textColour, Rgb(0x102030));
    EXPECT_EQ(doc.linkColour, Rgb(0xFF0000));
    EXPECT_EQ(doc.backgroundColour, Rgb(0xC0C0C0));
    EXPECT_EQ(doc.backgroundImage, "tlo.gif");
    EXPECT_EQ(FontOfX("<body text=#102030>x").colour, 0x102030U);

    const Document late = BuildDocument("text<body bgcolor=black>");
    EXPECT_FALSE(late.backgroundColour);
    EXPECT_EQ(BuildDocument("<title>a<b>b</b></title>").title, "a");
    EXPECT_EQ(BuildDocument("no title").title, "");
    EXPECT_EQ(BuildDocument("<script language=x>document.write('y')</script>").flows[0].blocks.size(), 0U);
}

TEST(DocumentBuilder, OpenCommentKeepsWhatWasRead)
{
    const Document doc = BuildDocument("<p>shown<!-- never closed <b>");
    EXPECT_EQ(doc.error, kOpenCommentError);
    EXPECT_EQ(DumpBody(doc), "_ P('shown')");
}

TEST(ListMarkerText, Styles)
{
    struct Case {
        int number;
        char style;
        const char* text;
    };
    for (const Case& c : std::vector<Case> { { 1, '1', "1." }, { 12, '1', "12." }, { 0, '1', "0." },
             { 1, 'a', "a." }, { 26, 'a', "z." }, { 27, 'a', "aa." }, { 52, 'A', "AZ." }, { 0, 'a', "0." },
             { 4, 'i', "iv." }, { 9, 'i', "ix." }, { 14, 'I', "XIV." }, { 3999, 'I', "MMMCMXCIX." },
             { 4000, 'i', "4000." }, { 0, 'I', "0." } })
        EXPECT_EQ(ListMarkerText(c.number, c.style), c.text) << c.number << c.style;
}

} // namespace
} // namespace orbita::html
