// The element page generator: the rows, units, missing values and page texts
// on small databases written here, and every element of the shipped database.

#include "core/cp1250.h"
#include "data/archive_members.h"
#include "data/text_lines.h"
#include "windows/element/element_page.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace orbita {
namespace {

// Windows-1250 bytes of a UTF-8 literal.
std::string W(std::string_view utf8)
{
    return Utf8ToCp1250Lossy(utf8);
}

std::string Row(std::string_view label, std::string_view valueCell)
{
    return std::string("<tr><td width=\"50%\" valign=\"top\">") + std::string(label)
        + ":</td><td valign=\"top\" width=\"50%\">" + std::string(valueCell) + "</td></tr>";
}

// On the white of the default scheme: the green is readable as it is, the red
// is darkened to reach the contrast of 4.5.
const std::string kNoData = "<font color=\"#eb0000\">[Brak danych]</font>";

std::string Unit(std::string_view unit)
{
    return "<font color=\"#008000\">&nbsp;[" + std::string(unit) + "]</font>";
}

std::string Head(std::string_view title)
{
    return "<html><head><title>" + std::string(title)
        + "</title><meta http-equiv=\"content-type\" content=\"text/html; charset=windows-1250\">"
          "<meta name=\"generator\" content=\"Orbita [https://orbita.example.org]\">"
        + W("<meta name=\"copyright\" content=\"Wygenerowany za pomocą programu Orbita "
            "[https://orbita.example.org]\"></head>")
        + "<body><table width=\"100%\" align=\"center\" cellpadding=\"0\" cellspacing=\"0\" border=\"0\">";
}

const std::string kDisplayEnd = W(
    "</table><br><br>Jeśli jesteś w posiadaniu innych informacji na temat pierwiastków i chciałbyś się nimi "
    "podzielić, <a href=\"ORB_KORESPONDENCJA\">skontaktuj się z autorem</a>.</body></html>");
const std::string kExportEnd = "</table></body></html>";

// A small database: a name, a property with a unit whose element 2 is
// empty, a property whose unit is written in lower case and placed under the
// first value, and lines that are not records at all.
std::vector<std::string> SmallDatabase()
{
    return SplitTextLines(W("[Nazwa polska]\r\n"
                            "1=Wodór\r\n"
                            "2=Hel\r\n"
                            "12=Magnez\r\n"
                            "[Masa atomowa]\r\n"
                            "SUFFIX=u\r\n"
                            "1=1,008\r\n"
                            "2=\r\n"
                            "12=24,305\r\n"
                            "; a comment line\r\n"
                            "[Gęstość]\r\n"
                            "1=0,0899\r\n"
                            "suffix=g/cm<sup>3</sup>\r\n"
                            "2=0,1785\r\n"
                            "12=1,738\r\n"
                            "[Symbol]\r\n"
                            "1=H\r\n"
                            "2=He\r\n"
                            "12=Mg\r\n"));
}

struct PageCase {
    const char* what;
    std::vector<std::string> lines;
    int element;
    std::string name;
    std::string rows;
};

TEST(ElementPage, BuildsRowsUnitsAndMissingValuesAsDescribed)
{
    const std::vector<PageCase> cases = {
        { "element 1: a unit goes with the first of its values after it", SmallDatabase(), 1, W("Wodór"),
            Row("Nazwa polska", W("Wodór")) + Row("Masa atomowa", "1,008" + Unit("u"))
                + Row(W("Gęstość"), "0,0899") + Row("Symbol", "H") },
        { "element 2: an empty value is red and drops the unit; a lower-case unit line counts",
            SmallDatabase(), 2, "Hel",
            Row("Nazwa polska", "Hel") + Row("Masa atomowa", kNoData)
                + Row(W("Gęstość"), "0,1785" + Unit("g/cm<sup>3</sup>")) + Row("Symbol", "He") },
        { "element 12: its own lines, not those of 1 or 2", SmallDatabase(), 12, "Magnez",
            Row("Nazwa polska", "Magnez") + Row("Masa atomowa", "24,305" + Unit("u"))
                + Row(W("Gęstość"), "1,738" + Unit("g/cm<sup>3</sup>")) + Row("Symbol", "Mg") },
        { "an empty name gives an empty title", SplitTextLines("[Nazwa polska]\n1=\n[Symbol]\n1=H\n"), 1, "",
            Row("Nazwa polska", kNoData) + Row("Symbol", "H") },
        { "lines without a key of an element number are ignored",
            SplitTextLines("[Nazwa polska]\n01=Zero\n1 =Blank\nx=y\n1=Wodór\n"), 1, "Wodór",
            Row("Nazwa polska", "Wodór") },
        { "a property without the element's line gets the red cell; its unit does not move on",
            SplitTextLines("[Nazwa polska]\n1=Wodór\n[Masa]\nSUFFIX=u\n2=4\n[Symbol]\n1=H\n[Koniec]\n"), 1,
            "Wodór",
            Row("Nazwa polska", "Wodór") + Row("Masa", kNoData) + Row("Symbol", "H")
                + Row("Koniec", kNoData) },
        { "a second line of the element in one property is ignored",
            SplitTextLines("[Nazwa polska]\n1=Wodór\n1=Drugi\n[Symbol]\n1=H\n"), 1, "Wodór",
            Row("Nazwa polska", "Wodór") + Row("Symbol", "H") },
    };
    for (const PageCase& c : cases) {
        SCOPED_TRACE(c.what);
        const ElementPage page = BuildElementPageFromLines(c.lines, c.element, true, "poprzedni");
        ASSERT_TRUE(page.name.has_value());
        EXPECT_EQ(*page.name, c.name);
        EXPECT_EQ(page.displayPage, Head(c.name) + c.rows + kDisplayEnd);
        EXPECT_EQ(page.exportPage, Head(c.name) + c.rows + kExportEnd);
    }
}

// The units and "[Brak danych]" stay readable on every scheme the viewer
// offers, green and red as far as the background allows.
TEST(ElementPage, UnitsAndMissingValuesAreReadableOnEveryScheme)
{
    const auto rgb = [](AppearanceColor c) {
        return Rgb { std::uint8_t(c & 0xFF), std::uint8_t((c >> 8) & 0xFF), std::uint8_t((c >> 16) & 0xFF) };
    };
    for (const AppearanceScheme& scheme : kAppearanceSchemes) {
        SCOPED_TRACE(std::string(scheme.name));
        const Rgb background = rgb(scheme.appearance.background);
        const ElementPageColours colours = ElementPageColoursOn(scheme.appearance.background);
        EXPECT_GE(ContrastRatio(colours.unit, background), kReadableContrast);
        EXPECT_GE(ContrastRatio(colours.missing, background), kReadableContrast);
        EXPECT_GT(colours.unit.green, colours.unit.red);
        EXPECT_GT(colours.unit.green, colours.unit.blue);
        EXPECT_GT(colours.missing.red, colours.missing.green);
        EXPECT_GT(colours.missing.red, colours.missing.blue);

        // The display page carries them; the export page keeps the colours of
        // white paper.
        const ElementPage page
            = BuildElementPageFromLines(SmallDatabase(), 2, true, "", scheme.appearance.background);
        char unit[8];
        char missing[8];
        std::snprintf(
            unit, sizeof unit, "#%02x%02x%02x", colours.unit.red, colours.unit.green, colours.unit.blue);
        std::snprintf(missing, sizeof missing, "#%02x%02x%02x", colours.missing.red, colours.missing.green,
            colours.missing.blue);
        EXPECT_NE(
            page.displayPage.find("<font color=\"" + std::string(unit) + "\">&nbsp;["), std::string::npos);
        EXPECT_NE(page.displayPage.find("<font color=\"" + std::string(missing) + "\">[Brak danych]"),
            std::string::npos);
        EXPECT_NE(page.exportPage.find(Unit("g/cm<sup>3</sup>")), std::string::npos);
        EXPECT_NE(page.exportPage.find(kNoData), std::string::npos);
    }
    // A system colour as the background counts as the white window.
    EXPECT_EQ(
        ElementPageColoursOn(0x80000005u).missing, ElementPageColoursOn(RgbColor(255, 255, 255)).missing);
}

TEST(ElementPage, NameOnlyBuildsNoPage)
{
    struct Case {
        int element;
        const char* name;
    };
    for (const Case& c : { Case { 1, "Wodór" }, Case { 2, "Hel" }, Case { 12, "Magnez" } }) {
        const ElementPage page = BuildElementPageFromLines(SmallDatabase(), c.element, false, "poprzedni");
        ASSERT_TRUE(page.name.has_value());
        EXPECT_EQ(*page.name, W(c.name));
        EXPECT_TRUE(page.displayPage.empty());
        EXPECT_TRUE(page.exportPage.empty());
    }
    // An element the database does not hold: no name, no page.
    const ElementPage absent = BuildElementPageFromLines(SmallDatabase(), 50, false, "poprzedni");
    EXPECT_FALSE(absent.name.has_value());
    EXPECT_TRUE(absent.displayPage.empty());
}

TEST(ElementPage, WithoutDatabaseThePageKeepsTheShownNameAndHasNoRows)
{
    const ElementPage fromNoLines = BuildElementPageFromLines({}, 26, true, W("Żelazo"));
    EXPECT_FALSE(fromNoLines.name.has_value());
    EXPECT_EQ(fromNoLines.displayPage, Head(W("Żelazo")) + kDisplayEnd);
    EXPECT_EQ(fromNoLines.exportPage, Head(W("Żelazo")) + kExportEnd);

    const ElementPage fromNoArchive = BuildElementPage("/nonexistent/ORBITA.DAT", 26, true, "Fe");
    EXPECT_FALSE(fromNoArchive.name.has_value());
    EXPECT_EQ(fromNoArchive.displayPage, Head("Fe") + kDisplayEnd);
    EXPECT_FALSE(BuildElementPage("/nonexistent/ORBITA.DAT", 26, false, "Fe").name.has_value());
}

TEST(ElementPage, CaptionAndDescriptionMember)
{
    EXPECT_EQ(ElementCaption(W("Żelazo")), W("Informacje o pierwiastku [Żelazo]"));
    EXPECT_EQ(ElementCaption(""), "Informacje o pierwiastku []");
    struct Case {
        int element;
        const char* member;
    };
    for (const Case& c :
        { Case { 1, "UKLAD\\1.HTM" }, Case { 26, "UKLAD\\26.HTM" }, Case { 118, "UKLAD\\118.HTM" } })
        EXPECT_EQ(ElementDescriptionMember(c.element), c.member);
}

TEST(ElementPage, LineKeysAndValues)
{
    struct Case {
        const char* line;
        std::optional<int> key;
        std::optional<std::string_view> value;
    };
    const std::vector<Case> cases = {
        { "2=Hel", 2, "Hel" },
        { "12=Magnez", 12, "Magnez" },
        { "118=", 118, "" },
        { "1=a=b", 1, "a=b" },
        { "0=x", std::nullopt, "x" },
        { "119=x", std::nullopt, "x" },
        { "02=x", std::nullopt, "x" },
        { "+2=x", std::nullopt, "x" },
        { " 2=x", std::nullopt, "x" },
        { "2 =x", std::nullopt, "x" },
        { "1000=x", std::nullopt, "x" },
        { "=x", std::nullopt, "x" },
        { "SUFFIX=u", std::nullopt, "u" },
        { "[Nazwa polska]", std::nullopt, std::nullopt },
        { "26", std::nullopt, std::nullopt },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(ElementLineKey(c.line), c.key);
        EXPECT_EQ(LineValueText(c.line), c.value);
    }
}

TEST(ElementPage, DisplayPageHasOneLinkAndExportPageNone)
{
    const ElementPage page = BuildElementPageFromLines(SmallDatabase(), 1, true, {});
    const auto count = [](const std::string& text, std::string_view what) {
        std::size_t n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count(page.displayPage, "<a "), 1u);
    EXPECT_EQ(count(page.displayPage, "href=\"ORB_KORESPONDENCJA\""), 1u);
    EXPECT_EQ(count(page.exportPage, "<a "), 0u);
    EXPECT_EQ(page.displayPage.find('\n'), std::string::npos);
    EXPECT_EQ(page.displayPage.find('\r'), std::string::npos);
}

// The shipped database, read from its UTF-8 source independently of the
// generator: labels, units and each element's values in file order.
struct SourceProperty {
    std::string label;
    std::string unit;
    std::vector<std::string> values = std::vector<std::string>(kLastElement + 1);
};

std::vector<SourceProperty> ReadSourceDatabase()
{
    std::ifstream in(ORBITA_SOURCE_DIR "/content/ORBITA/UKLAD/DANE.TXT", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<SourceProperty> properties;
    for (const std::string& utf8 : SplitTextLines(text.str())) {
        const std::string line = W(utf8);
        if (line.starts_with('[')) {
            properties.push_back({ line.substr(1, line.size() - 2), {} });
        } else if (line.starts_with("SUFFIX=")) {
            properties.back().unit = line.substr(7);
        } else if (const std::size_t equals = line.find('='); equals != std::string::npos) {
            properties.back().values.at(std::stoul(line.substr(0, equals))) = line.substr(equals + 1);
        }
    }
    return properties;
}

std::vector<std::string> ShippedDatabaseLines()
{
#ifdef ORBITA_CONTENT_BUILT
    // As the program reads it: from the packed content archive.
    const std::optional<std::vector<std::string>> lines
        = ReadArchiveLines(kElementDatabaseMember, std::string(ORBITA_PROGRAM_DIR) + "/ORBITA.DAT");
    EXPECT_TRUE(lines.has_value()) << "the built ORBITA.DAT holds no readable UKLAD\\DANE.TXT";
    if (lines)
        return *lines;
#endif
    std::ifstream in(ORBITA_SOURCE_DIR "/content/ORBITA/UKLAD/DANE.TXT", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return SplitTextLines(W(text.str()));
}

TEST(ElementPage, EveryShippedElementHasItsNameAndEveryProperty)
{
    const std::vector<SourceProperty> properties = ReadSourceDatabase();
    ASSERT_GE(properties.size(), 20u);
    ASSERT_EQ(properties.front().label, "Nazwa polska");
    const std::vector<std::string> lines = ShippedDatabaseLines();
    for (int element = kFirstElement; element <= kLastElement; ++element) {
        SCOPED_TRACE(element);
        const std::string& name = properties.front().values.at(element);
        ASSERT_FALSE(name.empty());
        std::string rows;
        for (const SourceProperty& property : properties) {
            const std::string& value = property.values.at(element);
            rows += Row(property.label,
                value.empty() ? kNoData : value + (property.unit.empty() ? "" : Unit(property.unit)));
        }
        const ElementPage page = BuildElementPageFromLines(lines, element, true, {});
        ASSERT_TRUE(page.name.has_value());
        EXPECT_EQ(*page.name, name);
        EXPECT_NE(page.displayPage.find("<title>" + name + "</title>"), std::string::npos);
        EXPECT_EQ(page.displayPage, Head(name) + rows + kDisplayEnd);
        EXPECT_EQ(page.exportPage, Head(name) + rows + kExportEnd);
        EXPECT_EQ(*BuildElementPageFromLines(lines, element, false, {}).name, name);
    }
}

} // namespace
} // namespace orbita
