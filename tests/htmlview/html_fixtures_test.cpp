#include "htmlview/document_builder.h"
#include "tests/htmlview/document_dump.h"
#include "tests/support/shared_fixtures.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace orbita::html {
namespace {

// Every fixture page builds without error, and the structure the builder
// finds matches counts taken from the page text by a plain scan.

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The page lower-cased with its comments removed.
std::string Scannable(const std::string& page)
{
    std::string out;
    std::size_t at = 0;
    while (at < page.size()) {
        const std::size_t open = page.find("<!--", at);
        out += page.substr(at, open == std::string::npos ? std::string::npos : open - at);
        if (open == std::string::npos)
            break;
        const std::size_t close = page.find("-->", open + 4);
        at = close == std::string::npos ? page.size() : close + 3;
    }
    std::transform(out.begin(), out.end(), out.begin(),
        [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return out;
}

// Whether a tag's text holds the attribute: its name after white space,
// then (after any blanks) "=".
bool HasAttribute(const std::string& tag, std::string_view attribute)
{
    for (std::size_t at = tag.find(attribute); at != std::string::npos; at = tag.find(attribute, at + 1)) {
        if (at == 0 || !std::isspace(static_cast<unsigned char>(tag[at - 1])))
            continue;
        std::size_t after = at + attribute.size();
        while (after < tag.size() && std::isspace(static_cast<unsigned char>(tag[after])))
            ++after;
        if (after < tag.size() && tag[after] == '=')
            return true;
    }
    return false;
}

// Start tags named one of `names` (and holding `attribute`, when given).
std::size_t CountTags(
    const std::string& page, std::initializer_list<std::string_view> names, std::string_view attribute = {})
{
    std::size_t count = 0;
    for (std::size_t at = page.find('<'); at != std::string::npos; at = page.find('<', at + 1)) {
        for (std::string_view name : names) {
            if (page.compare(at + 1, name.size(), name) != 0)
                continue;
            const std::size_t after = at + 1 + name.size();
            if (after < page.size() && std::isalnum(static_cast<unsigned char>(page[after])))
                continue;
            const std::string tag = page.substr(at, page.find('>', at) - at);
            if (attribute.empty() || HasAttribute(tag, attribute))
                ++count;
        }
    }
    return count;
}

// INPUT tags of type radio.
std::size_t CountRadios(const std::string& page)
{
    std::size_t count = 0;
    for (std::size_t at = page.find("<input"); at != std::string::npos; at = page.find("<input", at + 1)) {
        const std::string tag = page.substr(at, page.find('>', at) - at);
        count
            += tag.find("type=\"radio\"") != std::string::npos || tag.find("type=radio") != std::string::npos;
    }
    return count;
}

TEST(HtmlFixtures, EveryPageBuildsWithItsStructure)
{
    ORBITA_NEEDS_SHARED_FIXTURES("html");
    std::size_t pages = 0;
    for (const auto& entry : std::filesystem::directory_iterator(test::SharedFixtures("html"))) {
        if (entry.path().extension() != ".html")
            continue;
        ++pages;
        const std::string name = entry.path().filename().string();
        const std::string page = ReadFile(entry.path());
        const Document doc = BuildDocument(page);
        const std::string scan = Scannable(page);
        EXPECT_EQ(doc.error, "") << name;
        EXPECT_EQ(doc.tables.size(), CountTags(scan, { "table" })) << name;
        EXPECT_EQ(doc.lists.size(), CountTags(scan, { "ul", "ol", "dl", "dir", "menu", "blockquote" }))
            << name;
        EXPECT_EQ(doc.links.size(), CountTags(scan, { "a" }, "href")) << name;
        EXPECT_EQ(doc.anchors.size(), CountTags(scan, { "a" }, "name")) << name;
        EXPECT_EQ(doc.images.size(), CountTags(scan, { "img" })) << name;
        EXPECT_EQ(doc.maps.size(), CountTags(scan, { "map" })) << name;
        EXPECT_EQ(doc.forms.size(), CountTags(scan, { "form" })) << name;
        EXPECT_EQ(doc.controls.size(), CountTags(scan, { "input", "select", "textarea" })) << name;
        const auto radios = std::count_if(doc.controls.begin(), doc.controls.end(),
            [](const FormControl& control) { return control.kind == ControlKind::Radio; });
        EXPECT_EQ(static_cast<std::size_t>(radios), CountRadios(scan)) << name;

        std::size_t cells = 0;
        for (const Table& table : doc.tables)
            for (const TableRow& row : table.rows)
                cells += row.cells.size();
        EXPECT_EQ(cells, CountTags(scan, { "td", "th" })) << name;

        // Every id in the model points into its table.
        for (const Flow& flow : doc.flows) {
            for (const Block& block : flow.blocks) {
                if (const auto* list = std::get_if<ListRef>(&block)) {
                    ASSERT_LT(list->list, doc.lists.size()) << name;
                    for (const ListItem& item : doc.lists[list->list].items)
                        ASSERT_LT(item.content, doc.flows.size()) << name;
                }
                if (const auto* table = std::get_if<TableRef>(&block)) {
                    ASSERT_LT(table->table, doc.tables.size()) << name;
                }
                if (const auto* p = std::get_if<Paragraph>(&block)) {
                    ASSERT_LT(p->font, doc.fonts.size()) << name;
                    for (const Inline& item : p->items) {
                        if (const auto* run = std::get_if<TextRun>(&item)) {
                            ASSERT_LT(run->font, doc.fonts.size()) << name;
                            ASSERT_TRUE(run->link == kNone || run->link < doc.links.size()) << name;
                            ASSERT_EQ(run->text.find_first_of("\r\n"), std::string::npos) << name;
                        }
                    }
                }
            }
        }
    }
    EXPECT_EQ(pages, 10U);
}

TEST(HtmlFixtures, PageDetails)
{
    ORBITA_NEEDS_SHARED_FIXTURES("html");
    const Document lists
        = BuildDocument(ReadFile(std::filesystem::path(test::SharedFixtures("html")) / "htmldoc-list.html"));
    std::set<char> styles;
    for (const List& list : lists.lists)
        for (const ListItem& item : list.items)
            if (item.marker == MarkerKind::Number) {
                styles.insert(item.numberStyle);
            }
    EXPECT_EQ(styles, (std::set<char> { '1', 'a', 'A', 'i', 'I' }));
    EXPECT_EQ(lists.title, "List Tests");

    const Document map
        = BuildDocument(ReadFile(std::filesystem::path(test::SharedFixtures("html")) / "elinks-imgmap.html"));
    ASSERT_EQ(map.images.size(), 1U);
    const std::optional<MapId> found = map.findMap(map.images[0].useMap);
    ASSERT_TRUE(found);
    const ImageMap& areas = map.maps[*found];
    ASSERT_EQ(areas.areas.size(), 4U);
    std::multiset<std::string> shapes;
    for (const MapArea& area : areas.areas) {
        shapes.insert(area.shape);
        if (area.shape == "circle") {
            EXPECT_EQ(area.coords, (std::vector<int> { 9, 22, 9 }));
        }
        if (area.shape == "poly") {
            EXPECT_EQ(area.coords.size(), 10U);
        }
    }
    EXPECT_EQ(shapes.count("circle"), 1U);
    EXPECT_EQ(shapes.count("rect"), 1U);

    const Document help = BuildDocument(
        ReadFile(std::filesystem::path(test::SharedFixtures("html")) / "fltk-help-test.html"));
    for (const Link& link : help.links)
        if (!link.href.empty() && link.href.front() == '#') {
            EXPECT_TRUE(help.findAnchor(link.href.substr(1))) << link.href;
        }

    const Document spacer = BuildDocument(
        ReadFile(std::filesystem::path(test::SharedFixtures("html")) / "elinks-td-width.html"));
    EXPECT_EQ(spacer.backgroundColour, Rgb(0xFFFFFF));
    EXPECT_EQ(spacer.textColour, Rgb(0x000000));
    ASSERT_EQ(spacer.tables.size(), 1U);
    EXPECT_TRUE(spacer.tables[0].caption);

    const Document shop = BuildDocument(
        ReadFile(std::filesystem::path(test::SharedFixtures("html")) / "tidy-case-588061-font-center.html"));
    EXPECT_EQ(shop.backgroundImage, "images/027.jpg");
    EXPECT_EQ(shop.title, "TVNAV.COM Garmin GPS Home Page");

    // Entity names outside the table stay as written; raw Latin-2 bytes pass.
    const Document latin2 = BuildDocument(
        ReadFile(std::filesystem::path(test::SharedFixtures("html")) / "lynx-iso-8859-2.html"));
    EXPECT_NE(testing::FirstTextRun(latin2, "&Aogon;"), nullptr);
    EXPECT_NE(testing::FirstTextRun(latin2, "\xA1"), nullptr);

    const Document survey = BuildDocument(
        ReadFile(std::filesystem::path(test::SharedFixtures("html")) / "tidy-case-504206-survey-form.html"));
    ASSERT_EQ(survey.forms.size(), 2U);
    std::size_t options = 0;
    for (const FormControl& control : survey.controls)
        options += control.options.size();
    EXPECT_EQ(options,
        CountTags(Scannable(ReadFile(std::filesystem::path(test::SharedFixtures("html"))
                      / "tidy-case-504206-survey-form.html")),
            { "option" }));
}

} // namespace
} // namespace orbita::html
