#include "htmlview/markup_names.h"
#include "htmlview/markup_reader.h"

#include <gtest/gtest.h>

namespace orbita::html {
namespace {

// Tokens as text: <NAME attr...>, </NAME>, [text]. An attribute is written
// NAME (no value), NAME="text"/n (quoted, with its integer), NAME=text/n
// (number-like) or NAME=text (bare word). H carries its level: <H3>, <H0>.
std::string Dump(std::string_view input, std::string* error = nullptr)
{
    const MarkupTokens read = ReadMarkup(input);
    if (error)
        *error = read.error;
    std::string out;
    for (const Token& token : read.tokens) {
        if (token.kind == TokenKind::Text) {
            out += "[" + token.text + "]";
            continue;
        }
        out += token.kind == TokenKind::EndTag ? "</" : "<";
        out += ElementName(token.element);
        if (token.element == ElementId::H)
            out += std::to_string(token.headingLevel);
        for (const Attribute& a : token.attributes) {
            out += " " + std::string(AttributeName(a.id));
            switch (a.form) {
            case ValueForm::None:
                break;
            case ValueForm::Quoted:
                out += "=\"" + a.text + "\"/" + std::to_string(a.number);
                break;
            case ValueForm::Number:
                out += "=" + a.text + "/" + std::to_string(a.number);
                break;
            case ValueForm::Word:
                out += "=" + a.text;
                if (a.number != 0)
                    out += "/?";
                break;
            }
        }
        out += ">";
    }
    return out;
}

struct Case {
    const char* name;
    std::string input;
    std::string tokens;
};

void RunCases(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(Dump(c.input, &error), c.tokens) << c.name;
        EXPECT_EQ(error, "") << c.name;
    }
}

TEST(MarkupReader, TagNames)
{
    RunCases({
        { "case of names", "<b>x</B><B>y</b>", "<B>[x]</B><B>[y]</B>" },
        { "heading level 3", "<h3>t</H3>", "<H3>[t]</H3>" },
        { "heading 7 has no level", "<H7>t", "<H0>[t]" },
        { "heading without digit", "<h>t", "<H0>[t]" },
        { "end tag of BR ignored", "a</br>b", "[a][b]" },
        { "end tag of TR kept", "</tr>", "</TR>" },
        { "start-only elements", "<li><dd><dt><hr><img><br><input><basefont><area><meta>",
            "<LI><DD><DT><HR><IMG><BR><INPUT><BASEFONT><AREA><META>" },
        { "unknown tag dropped, text kept", "<foo bar=1>x</foo>", "[x]" },
        { "name longer than any known", "<" + std::string(300, 'B') + ">x", "[x]" },
        { "name followed by digits", "<br2>", "<BR>" },
        { "less-than and blank is text", "a < b", "[a ][< b]" },
        { "less-than and digit is text", "1<2", "[1][<2]" },
        { "greater-than is text", "a>b", "[a][>b]" },
        { "end tag without name", "</>x", "[x]" },
        { "tag at end of input", "x<b", "[x]<B>" },
        { "junk before close", "<b ,;=>x", "<B>[x]" },
    });
}

TEST(MarkupReader, AttributeValues)
{
    RunCases({
        { "quoted per cent", "<td width=\"50%\">", "<TD WIDTH=\"50%\"/50>" },
        { "number per cent keeps sign", "<td width=50%>", "<TD WIDTH=50%/50>" },
        { "quoted greater-than", "<img alt=\"a>b\">", "<IMG ALT=\"a>b\"/0>" },
        { "single quotes, trimmed", "<img alt=' x y '>", "<IMG ALT=\"x y\"/0>" },
        { "quoted entity, line end dropped", "<img alt=\"a&lt;\r\nb\">", "<IMG ALT=\"a<b\"/0>" },
        { "quoted integer", "<table border=\"2\">", "<TABLE BORDER=\"2\"/2>" },
        { "quoted non-integer", "<table border=\"2px\">", "<TABLE BORDER=\"2px\"/0>" },
        { "relative sizes", "<font size=+1><font size=-2>", "<FONT SIZE=+1/1><FONT SIZE=-2/-2>" },
        { "number-like word not an integer", "<img width=12px>", "<IMG WIDTH=12px/0>" },
        { "bare word", "<p align=center>", "<P ALIGN=center>" },
        { "no value", "<table border>", "<TABLE BORDER>" },
        { "blanks around equals", "<td  colspan = 3\r\n rowspan=\r2>", "<TD COLSPAN=3/3 ROWSPAN=2/2>" },
        { "unknown attribute dropped", "<td foo=bar colspan=2>", "<TD COLSPAN=2/2>" },
        { "dash in name", "<meta http-equiv=\"x\">", "<META HTTP-EQUIV=\"x\"/0>" },
        { "VALUE listed twice is one name", "<input value=a>", "<INPUT VALUE=a>" },
        { "unclosed quote runs to the end", "<a href=\"abc", "<A HREF=\"abc\"/0>" },
        { "empty word", "<a href=>", "<A HREF=>" },
        { "attribute case", "<IMG Src=a.gif>", "<IMG SRC=a.gif>" },
        { "end tags carry no attributes", "</td width=3>", "</TD>" },
        { "comment inside a tag", "<img <!-- c --> src=a>", "<IMG SRC=a>" },
        { "overflowing integer", "<td width=99999999999>", "<TD WIDTH=99999999999/0>" },
        // The test window's question cell: no blank between a quoted value and the next name.
        { "next name right after the closing quote", "<td valign=\"top \"width=\"92%\">",
            "<TD VALIGN=\"top\"/0 WIDTH=\"92%\"/92>" },
    });
}

TEST(MarkupReader, Entities)
{
    RunCases({
        { "letter A", "&#65;", "[A]" },
        { "tab code gives a blank", "x&#9;", "[x][ ]" },
        { "code 300 stays", "&#300;", "[&#300;]" },
        { "code 10 gives LF", "&#10;", "[\n]" },
        { "code 31 stays", "&#31", "[&#31]" },
        { "seven digits stay", "&#0000065;", "[&#0000065;]" },
        { "six digits decode", "&#000065;", "[A]" },
        { "hexadecimal form stays", "&#x41;", "[&#x41;]" },
        { "nbsp", "&nbsp;", "[\xA0]" },
        // Entities name Latin-1 characters; the page text is Windows-1250, so
        // each gives the same character there, or the letter without its mark
        // where the code page lacks it (never the other letter at that byte:
        // F8 is "ř", E8 "č", FF a dot above).
        { "same character in the code page", "&Eacute;&eacute;&times;&deg;&uuml;",
            "[\xC9][\xE9][\xD7][\xB0][\xFC]" },
        { "letters the code page lacks", "Segr&egrave; &Oslash;rsted Torbj&oslash;rn &yuml;",
            "[Segr][e ][Orsted Torbj][orn ][y]" },
        { "numeric forms follow the names", "&#248;&#233;&#189;", "[o][\xE9][1/2]" },
        { "codes below A0 stay bytes", "&#150;&#65;", "[\x96][A]" },
        { "names are case-sensitive", "&AMP;", "[&AMP;]" },
        { "semicolon optional", "&ampx &amp", "[&ampx ][&]" },
        { "unknown name", "&Aogon;x", "[&Aogon;x]" },
        { "name too long", "&abcdefgh;", "[&abcdefgh;]" },
        { "bare ampersand", "a & b", "[a ][& b]" },
        { "quot lt gt", "&quot;&lt;&gt;", "[\"][<][>]" },
    });
}

TEST(MarkupReader, CommentsAndDeclarations)
{
    RunCases({
        { "comment dropped", "a<!-- x -->b", "[ab]" },
        { "dashes then blanks", "a<!-- x --  \r >b", "[ab]" },
        { "long dash run", "a<!-- x ----->b", "[ab]" },
        { "single dash does not close", "a<!-- x -> y -->b", "[ab]" },
        { "markup inside comment", "<!-- <b> -->x", "[x]" },
        { "declaration", "<!DOCTYPE html PUBLIC \"x\">x", "[x]" },
        { "empty comment", "<!---->x", "[x]" },
        { "open declaration at end", "x<!doctype", "[x]" },
    });
    std::string error;
    EXPECT_EQ(Dump("<b>x</b><!-- open - > y", &error), "<B>[x]</B>");
    EXPECT_EQ(error, kOpenCommentError);
    EXPECT_EQ(Dump("x<!--", &error), "[x]");
    EXPECT_EQ(error, kOpenCommentError);
}

TEST(MarkupReader, TextRunsAndBlanks)
{
    RunCases({
        { "blanks and line ends fold", "a  \r\n\t b\n\nc", "[a b c]" },
        { "folding across a comment", "a <!-- x --> b", "[a b]" },
        { "PRE keeps blanks", "<pre>a  \r\n b\tc</pre>d  e", "<PRE>[a  \r b c]</PRE>[d e]" },
        { "all line ends become CR", "<pre>a\r\nb\n\rc\rd\ne</pre>", "<PRE>[a\rb\rc\rd\re]</PRE>" },
        { "cell end ends PRE", "<pre>a  b</td>c  d", "<PRE>[a  b]</TD>[c d]" },
        { "TH end ends PRE", "<pre>a  b</th>c  d", "<PRE>[a  b]</TH>[c d]" },
        { "control bytes end runs and vanish",
            "a\x01"
            "b\x00"
            "c",
            "[a][b]" },
        { "1A byte ends the input",
            "a\x1A"
            "b",
            "[a]" },
        { "TEXTAREA text as written", "<textarea>a  <b> &lt;\r\n</TEXTAREA>x",
            "<TEXTAREA>[a  <b> &lt;\r]</TEXTAREA>[x]" },
        { "SCRIPT text hides comments", "<script><!-- x\r</script>", "<SCRIPT>[<!-- x\r]</SCRIPT>" },
        { "SCRIPT without end", "<script>a</scripts>b", "<SCRIPT>[a</scripts>b]" },
        { "empty TEXTAREA", "<textarea></textarea>", "<TEXTAREA></TEXTAREA>" },
    });
    // The NUL byte above is part of the input only when the length is given.
    EXPECT_EQ(Dump(std::string_view("a\x00"
                                    "b",
                  3)),
        "[a][b]");

    const MarkupTokens long_run = ReadMarkup(std::string(250, 'x'));
    ASSERT_EQ(long_run.tokens.size(), 3U);
    EXPECT_EQ(long_run.tokens[0].text.size(), kMaxTextRun);
    EXPECT_EQ(long_run.tokens[1].text.size(), kMaxTextRun);
    EXPECT_EQ(long_run.tokens[2].text.size(), 50U);
}

TEST(MarkupReader, EndsOnHostileInput)
{
    // Long repetitions of what starts a construct. Where every unit reads as
    // text, the text read back must be the input itself.
    struct Unit {
        const char* text;
        bool isText;
    };
    for (const Unit& unit : { Unit { "<", true }, Unit { "&", true }, Unit { "&#", true }, Unit { ">", true },
             Unit { "-", true }, Unit { "<!", false }, Unit { "<a ", false }, Unit { "\"", true },
             Unit { "<a href=\"", false }, Unit { "<!--", false }, Unit { "</", false } }) {
        std::string input;
        while (input.size() < 200000)
            input += unit.text;
        const MarkupTokens read = ReadMarkup(input);
        std::string text;
        for (const Token& token : read.tokens)
            text += token.text;
        if (unit.isText)
            EXPECT_EQ(text, input) << unit.text;
        else
            EXPECT_LE(read.tokens.size(), 2U) << unit.text;
    }
}

TEST(MarkupNames, ColourValues)
{
    struct ColourCase {
        const char* value;
        std::optional<Rgb> rgb;
    };
    const ColourCase cases[] = {
        { "#FF0000", 0xFF0000 }, { "#ff8800", 0xFF8800 }, { "00ff00", 0x00FF00 }, // the "#" may be left out
        { "#F00", 0x000F00 }, // read as a number, not as a short form
        { "#1", 0x000001 }, { " #ff0000", 0xFF0000 }, // blanks and control bytes around are trimmed
        { "\t#ff0000\r\n", 0xFF0000 }, { "red", 0xFF0000 }, // the 16 names in any case
        { "Navy", 0x000080 }, { " SILVER ", 0xC0C0C0 }, { "aqua", 0x00FFFF }, { "", std::nullopt },
        { "   ", std::nullopt }, { "#", std::nullopt }, { "##ff0000", std::nullopt },
        { "# ff0000", std::nullopt }, { "#ff 0000", std::nullopt },
        { "#1234567", std::nullopt }, // more than RRGGBB
        { "#ff0000ff", std::nullopt }, { "#gg0000", std::nullopt }, { "-123", std::nullopt },
        { "redd", std::nullopt }, { "orange", std::nullopt }, // not one of the 16
    };
    for (const ColourCase& c : cases)
        EXPECT_EQ(ParseColour(c.value), c.rgb) << '"' << c.value << '"';
}

} // namespace
} // namespace orbita::html
