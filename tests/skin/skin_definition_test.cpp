#include "data/big_ini_file.h"
#include "skin/builtin_skin.h"
#include "skin/skin_definition.h"

#include <gtest/gtest.h>

namespace orbita {
namespace {

using Fields = std::vector<std::string>;

TEST(SplitFieldsTest, Table)
{
    struct Case {
        std::string text;
        Fields fields;
    };
    const Case cases[] = {
        { "", {} }, { "   \t ", {} }, { "a,b,c", { "a", "b", "c" } },
        { "BUTTON_H, 44, 89, 26, 27", { "BUTTON_H", "44", "89", "26", "27" } }, { "  lead", { "lead" } },
        { "two words, x", { "two words", "x" } }, // blanks inside a field belong to it
        { "a , b", { "a ", "b" } }, // so do blanks before its comma
        { "a, ,b", { "a", "", "b" } }, // blanks between commas: an empty field
        { "a,,b", { "a", "", "b" } }, { ",a", { "", "a" } },
        { "a,", { "a" } }, // a trailing comma adds no field
        { "a,  ", { "a" } }, { "\"q, r\",s", { "q, r", "s" } },
        { "\"say \"\"hi\"\"\", x", { "say \"hi\"", "x" } }, { "\"open", { "open" } },
        { "\"ab\"cd, e", { "ab", "cd", "e" } },
        { "a\tb,c", { "a", "b", "c" } }, // a control character ends a field
        { std::string("a,b\0c", 5), { "a", "b" } }, // NUL ends the text
        { "Normal, , , 90, 19", { "Normal", "", "", "90", "19" } },
        { "\xB1\xEA, x", { "\xB1\xEA", "x" } }, // Windows-1250 letters are text
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitFields(c.text), c.fields) << c.text;
}

TEST(ParseSkinNumberTest, Table)
{
    struct Case {
        std::string text;
        std::optional<std::int32_t> value;
    };
    const Case cases[] = {
        { "0", 0 },
        { "44", 44 },
        { "-7", -7 },
        { "+7", 7 },
        { "00000000", 0 },
        { "$1F", 31 },
        { "$1f", 31 },
        { "$000000", 0 },
        { "$FFFFFFFF", -1 },
        { "-$10", -16 },
        { "2147483647", 2147483647 },
        { "-2147483648", INT32_MIN },
        { "2147483648", std::nullopt },
        { "99999999999999999999", std::nullopt },
        { "$123456789", std::nullopt },
        { "", std::nullopt },
        { "-", std::nullopt },
        { "$", std::nullopt },
        { "44 ", std::nullopt }, // a field keeps its trailing blanks, which are not a number
        { " 44", std::nullopt },
        { "0x1F", std::nullopt },
        { "1e3", std::nullopt },
        { "FALSE", std::nullopt },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseSkinNumber(c.text), c.value) << c.text;
}

SkinDefinitionResult readText(const std::string& text)
{
    TBigIniFile ini;
    ini.LoadText(text);
    return ReadSkinDefinition(ini);
}

TEST(SkinDefinitionTest, PictureNamesAndTheirDefaults)
{
    struct Case {
        std::string section;
        bool load;
        Fields names; // mask, normal, pressed, hover, digits, letters
        bool hover;
    };
    const Case cases[] = {
        { "", false, { "ERROR", "ERROR", "ERROR", "ERROR", "", "" }, false },
        { "MaskBitmap=\r\n", false, { "", "", "", "", "", "" }, false },
        { "MaskBitmap=m.bmp\r\n", true, { "m.bmp", "m.bmp", "m.bmp", "m.bmp", "", "" }, false },
        { "MaskBitmap=m.bmp\r\nMouseUpBitmap=u.bmp\r\n", true, { "m.bmp", "u.bmp", "u.bmp", "u.bmp", "", "" },
            false },
        { "MaskBitmap=m\r\nMouseUpBitmap=u\r\nMouseDownBitmap=d\r\n", true, { "m", "u", "d", "d", "", "" },
            false },
        { "MaskBitmap=m\r\nMouseUpBitmap=u\r\nMouseDownBitmap=d\r\nMouseOnBitmap=o\r\n", true,
            { "m", "u", "d", "o", "", "" }, true },
        { "MaskBitmap=m\r\nMouseDownBitmap=d\r\nMouseOnBitmap=d\r\n", true, { "m", "m", "d", "d", "", "" },
            false },
        { "MaskBitmap=m\r\nNumbersBitmap=n.png\r\nTextBitmap=t.png\r\n", true,
            { "m", "m", "m", "m", "n.png", "t.png" }, false },
        // Keys are matched untrimmed, as the sectioned-text reader reads them.
        { "MaskBitmap =m\r\n", false, { "ERROR", "ERROR", "ERROR", "ERROR", "", "" }, false },
    };
    for (const Case& c : cases) {
        const SkinDefinitionResult result = readText("[BITMAPINFO]\r\n" + c.section);
        ASSERT_TRUE(result.definition) << c.section;
        const SkinPictureNames& p = result.definition->pictures;
        EXPECT_EQ(p.loadPictures, c.load) << c.section;
        EXPECT_EQ((Fields { p.mask, p.normal, p.pressed, p.hover, p.digits, p.letters }), c.names)
            << c.section;
        EXPECT_EQ(p.hoverEnabled, c.hover) << c.section;
    }
}

TEST(SkinDefinitionTest, HotAreaLines)
{
    const SkinDefinitionResult result = readText("[HOTAREAINFO]\r\nCount=8\r\n"
                                                 "1=A, 1, 2, 3, 4\r\n"
                                                 "2=B, $10, -2, 0, 0, FALSE\r\n"
                                                 "3=C, 0, 0, 5, 5, TRUE\r\n"
                                                 "4=D, 0, 0, 5, 5, yes, Grupa\r\n"
                                                 "5=E, 0, 0, 5, 5, FALSE, Grupa, extra\r\n"
                                                 "7=G, 0, 0, 5, 5, false\r\n"
                                                 "8=H, 0, 0, 5, 5, FALSE, \r\n");
    ASSERT_TRUE(result.definition) << result.error;
    const std::vector<SkinHotAreaDef>& a = result.definition->hotAreas;
    ASSERT_EQ(a.size(), 8u);
    struct Expected {
        std::string name;
        SkinBox box;
        bool toggle, down;
        std::string group;
    };
    const Expected expected[] = {
        { "A", { 1, 2, 3, 4 }, false, false, "" }, { "B", { 16, -2, 0, 0 }, true, false, "" },
        { "C", { 0, 0, 5, 5 }, true, true, "" },
        { "D", { 0, 0, 5, 5 }, true, true, "Grupa" }, // any text but FALSE means down
        { "E", { 0, 0, 5, 5 }, true, false, "" }, // a group only with exactly seven fields
        { "NOT_DEFINED", { 0, 0, 0, 0 }, false, false, "" }, // line 6 is missing
        { "G", { 0, 0, 5, 5 }, true, true, "" }, // "false" is not "FALSE"
        { "H", { 0, 0, 5, 5 }, true, false, "" }, // a trailing comma gives no seventh field
    };
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].name, expected[i].name) << i;
        EXPECT_EQ(a[i].box.left, expected[i].box.left) << i;
        EXPECT_EQ(a[i].box.top, expected[i].box.top) << i;
        EXPECT_EQ(a[i].box.width, expected[i].box.width) << i;
        EXPECT_EQ(a[i].box.height, expected[i].box.height) << i;
        EXPECT_EQ(a[i].toggle, expected[i].toggle) << i;
        EXPECT_EQ(a[i].down, expected[i].down) << i;
        EXPECT_EQ(a[i].group, expected[i].group) << i;
    }
}

TEST(SkinDefinitionTest, TextAreaLines)
{
    const SkinDefinitionResult result
        = readText("[DISPLAYINFO]\r\nCharset=238\r\nCount=5\r\n"
                   "1=TIMETEXT, Tahoma, TRUE, FALSE, 8, 00000000, 323, 12, Normal, , , 90, 19\r\n"
                   "2=N, Arial, True, TRUE, 10, $0000FF, 5, 6, Number, 12:30\r\n"
                   "3=T, Courier New, FALSE, FALSE, 9, 255, 7, 8, Text, ab, c\r\n"
                   "5=F, Arial, FALSE, FALSE, 9, 0, 7, 8\r\n");
    ASSERT_TRUE(result.definition) << result.error;
    EXPECT_EQ(result.definition->charset, 238);
    const std::vector<SkinTextAreaDef>& t = result.definition->textAreas;
    ASSERT_EQ(t.size(), 5u);
    EXPECT_EQ(t[0].name, "TIMETEXT");
    EXPECT_EQ(t[0].fontName, "Tahoma");
    EXPECT_TRUE(t[0].bold);
    EXPECT_FALSE(t[0].italic);
    EXPECT_EQ(t[0].size, 8);
    EXPECT_EQ(t[0].left, 323);
    EXPECT_EQ(t[0].top, 12);
    EXPECT_EQ(t[0].kind, "Normal");
    EXPECT_EQ(t[0].text, ""); // thirteen fields: no initial text
    EXPECT_FALSE(t[1].bold); // only the exact text TRUE
    EXPECT_TRUE(t[1].italic);
    EXPECT_EQ(t[1].color, 0xFF);
    EXPECT_EQ(t[1].kind, "Number");
    EXPECT_EQ(t[1].text, "12:30"); // exactly ten fields
    EXPECT_EQ(t[2].fontName, "Courier New");
    EXPECT_EQ(t[2].text, ""); // eleven fields
    EXPECT_EQ(t[3].name, "NOT_DEFINED");
    EXPECT_EQ(t[3].fontName, "Arial");
    EXPECT_EQ(t[3].size, 0);
    EXPECT_EQ(t[4].kind, ""); // eight fields: no kind
}

TEST(SkinDefinitionTest, SliderLines)
{
    const SkinDefinitionResult result = readText("[TRACKBARINFO]\r\nCount=4\r\n"
                                                 "1=VOL, t.bmp, ta.bmp, 10, 20, 100, H, 50\r\n"
                                                 "2=PAN, t.bmp, ta.bmp, 10, 20, 100, V\r\n"
                                                 "3=X, t.bmp, ta.bmp, 1, 2, 3, v, 250\r\n"
                                                 "4=Y, t.bmp, ta.bmp, 1, 2, 3, V, -5, 9\r\n");
    ASSERT_TRUE(result.definition) << result.error;
    const std::vector<SkinSliderDef>& s = result.definition->sliders;
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(s[0].name, "VOL");
    EXPECT_EQ(s[0].thumbFile, "t.bmp");
    EXPECT_EQ(s[0].activeThumbFile, "ta.bmp");
    EXPECT_EQ(s[0].length, 100);
    EXPECT_TRUE(s[0].horizontal);
    EXPECT_EQ(s[0].position, 50);
    EXPECT_FALSE(s[1].horizontal);
    EXPECT_EQ(s[1].position, 0);
    EXPECT_TRUE(s[2].horizontal); // only "V" is vertical
    EXPECT_EQ(s[2].position, 100); // limited to 100 per cent
    EXPECT_EQ(s[3].position, 0); // nine fields: the position is not read
}

TEST(SkinDefinitionTest, FailuresAndLimits)
{
    struct Case {
        std::string text;
        bool ok;
        std::size_t hot, texts, sliders;
    };
    const Case cases[] = {
        { "[HOTAREAINFO]\r\nCount=1\r\n1=A, 1, 2, 3\r\n", false, 0, 0, 0 }, // too few fields
        { "[HOTAREAINFO]\r\nCount=1\r\n1=\r\n", false, 0, 0, 0 }, // empty value, not the default
        { "[HOTAREAINFO]\r\nCount=1\r\n1=A, 1 , 2, 3, 4\r\n", false, 0, 0, 0 }, // "1 " is no number
        { "[HOTAREAINFO]\r\nCount=1\r\n1=A, x, 2, 3, 4\r\n", false, 0, 0, 0 },
        { "[DISPLAYINFO]\r\nCount=1\r\n1=A, Arial, TRUE, FALSE, big, 0, 0, 0\r\n", false, 0, 0, 0 },
        { "[TRACKBARINFO]\r\nCount=1\r\n1=A, t, t, 0, 0, 10, H, half\r\n", false, 0, 0, 0 },
        { "[HOTAREAINFO]\r\nCount=-5\r\n", true, 0, 0, 0 },
        { "[HOTAREAINFO]\r\nCount=many\r\n", true, 0, 0, 0 },
        { "[HOTAREAINFO]\r\nCount=0x10\r\n", true, 16, 0, 0 },
    };
    for (const Case& c : cases) {
        const SkinDefinitionResult result = readText(c.text);
        EXPECT_EQ(result.definition.has_value(), c.ok) << c.text;
        if (!c.ok) {
            EXPECT_FALSE(result.error.empty()) << c.text;
            continue;
        }
        EXPECT_EQ(result.definition->hotAreas.size(), c.hot) << c.text;
    }
    // Counts beyond the tables are cut to their sizes.
    const SkinDefinitionResult big = readText(
        "[HOTAREAINFO]\r\nCount=100000\r\n[DISPLAYINFO]\r\nCount=1000\r\n[TRACKBARINFO]\r\nCount=17\r\n");
    ASSERT_TRUE(big.definition) << big.error;
    EXPECT_EQ(big.definition->hotAreas.size(), std::size_t(kMaxSkinHotAreas));
    EXPECT_EQ(big.definition->textAreas.size(), std::size_t(kMaxSkinTextAreas));
    EXPECT_EQ(big.definition->sliders.size(), std::size_t(kMaxSkinSliders));
    EXPECT_EQ(big.definition->sliders.back().thumbFile, "NOT_DEFINED");
}

TEST(SkinDefinitionTest, BuiltinDefinitionReadsWhole)
{
    const std::vector<std::string> lines = BuiltinSkinLines();
    TBigIniFile ini;
    ini.SetSectionLines("HOTAREAINFO",
        std::vector<std::string>(lines.begin(), lines.begin() + std::ptrdiff_t(kBuiltinHotAreaLineCount)));
    ini.SetSectionLines("DISPLAYINFO",
        std::vector<std::string>(lines.begin() + std::ptrdiff_t(kBuiltinHotAreaLineCount), lines.end()));
    const SkinDefinitionResult result = ReadSkinDefinition(ini);
    ASSERT_TRUE(result.definition) << result.error;
    const SkinDefinition& d = *result.definition;
    EXPECT_FALSE(d.pictures.loadPictures);
    EXPECT_FALSE(d.pictures.hoverEnabled);
    ASSERT_EQ(d.hotAreas.size(), BuiltinHotAreas().size());
    for (std::size_t i = 0; i < d.hotAreas.size(); ++i) {
        EXPECT_EQ(d.hotAreas[i].name, BuiltinHotAreas()[i].name);
        EXPECT_EQ(d.hotAreas[i].box.left, BuiltinHotAreas()[i].rect.left);
        EXPECT_EQ(d.hotAreas[i].box.height, BuiltinHotAreas()[i].rect.height);
        EXPECT_FALSE(d.hotAreas[i].toggle);
    }
    ASSERT_EQ(d.textAreas.size(), 2u);
    EXPECT_EQ(d.textAreas[1].name, "LOGOTEXT");
    EXPECT_EQ(d.textAreas[1].kind, "Normal");
}

TEST(SkinHitTest, FirstContainingAreaWins)
{
    const std::vector<SkinHotAreaDef> areas = {
        { "H", { 44, 89, 26, 27 }, false, false, "" },
        { "LI", { 44, 115, 26, 27 }, false, false, "" }, // shares row 115 with H
        { "HUGE", { INT32_MAX - 1, INT32_MAX - 1, INT32_MAX, INT32_MAX }, false, false, "" },
        { "NEG", { -10, -10, -5, 5 }, false, false, "" },
    };
    struct Case {
        int x, y, index;
    };
    const Case cases[] = {
        { 44, 89, 0 },
        { 69, 115, 0 },
        { 70, 115, -1 },
        { 44, 116, 1 },
        { 44, 141, 1 },
        { 44, 142, -1 },
        { 43, 100, -1 },
        { INT32_MAX - 1, INT32_MAX - 1, 2 },
        { INT32_MAX, INT32_MAX, 2 },
        { -10, -8, -1 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(HitHotArea(areas, c.x, c.y), c.index) << c.x << "," << c.y;
}

TEST(SkinFileNameTest, SafeNames)
{
    struct Case {
        std::string name;
        bool safe;
    };
    const Case cases[] = {
        { "GLOWNY.BMP", true },
        { "OBRAZY/GLOWNY.BMP", true },
        { "OBRAZY\\GLOWNY.BMP", true },
        { "a/b/c.bmp", false },
        { "../../x", false },
        { "..", false },
        { ".", false },
        { "a/../b", false },
        { "/etc/passwd", false },
        { "\\x.bmp", false },
        { "C:x.bmp", false },
        { "a//b", false },
        { "a/", false },
        { "", false },
        { "a\nb", false },
        { std::string("a\0b", 3), false },
        { "\x7F", false },
        { std::string(256, 'a'), false },
        { "\xAF\xF3\xB3ta.bmp", true },
        { "..x.bmp", true },
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsSafeSkinFileName(c.name), c.safe) << c.name;
}

TEST(SkinFileNameTest, ExtensionAndPictureList)
{
    EXPECT_EQ(SkinPictureExtension("/a.b/skin.gif"), "GIF");
    EXPECT_EQ(SkinPictureExtension("x.Gif.png"), "GIF"); // after the first "."
    EXPECT_EQ(SkinPictureExtension("x.gifs"), "GIF");
    EXPECT_EQ(SkinPictureExtension("x.pn"), "PN");
    EXPECT_EQ(SkinPictureExtension("dir.gif/x"), "");

    const SkinDefinitionResult result = readText("[BITMAPINFO]\r\nMaskBitmap=m\r\nMouseUpBitmap=u\r\n"
                                                 "NumbersBitmap=d\r\nTextBitmap=u\r\n"
                                                 "[TRACKBARINFO]\r\nCount=1\r\n1=S, t, ta, 0, 0, 9, H\r\n");
    ASSERT_TRUE(result.definition);
    EXPECT_EQ(SkinPictureFiles(*result.definition), (Fields { "m", "u", "d", "t", "ta" }));
}

TEST(SkinGlyphTest, DigitsAndLetters)
{
    struct Case {
        char32_t c;
        SkinGlyphCell digit, letter;
    };
    const Case cases[] = {
        { U'0', { 0, 0 }, { 0, 1 } },
        { U'9', { 9, 0 }, { 9, 1 } },
        { U' ', { 10, 0 }, { 10, 1 } },
        { U':', { 0, 0 }, { 12, 1 } },
        { U'A', { 0, 0 }, { 0, 0 } },
        { U'Z', { 0, 0 }, { 25, 0 } },
        { U'*', { 0, 0 }, { 29, 0 } },
        { U'$', { 0, 0 }, { 29, 1 } },
        { U'a', { 0, 0 }, { 0, 2 } },
        { U'z', { 0, 0 }, { 25, 2 } },
        { U'\u0105', { 0, 0 }, { 10, 1 } }, // "ą" draws the blank
        { U'#', { 0, 0 }, { 10, 1 } },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DigitCell(c.c).column, c.digit.column) << std::uint32_t(c.c);
        EXPECT_EQ(DigitCell(c.c).row, 0);
        EXPECT_EQ(LetterCell(c.c).column, c.letter.column) << std::uint32_t(c.c);
        EXPECT_EQ(LetterCell(c.c).row, c.letter.row) << std::uint32_t(c.c);
    }
}

} // namespace
} // namespace orbita
