#include "skin/builtin_skin.h"

#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace orbita {
namespace {

bool Overlap(const SkinRect& a, const SkinRect& b)
{
    return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}

TEST(BuiltinSkin, HotAreasInDefinitionOrder)
{
    const auto areas = BuiltinHotAreas();
    ASSERT_EQ(areas.size(), 129u);
    // Spot checks across the list, including both ends and the appended area.
    struct Expected {
        std::size_t index;
        std::string_view name;
        SkinRect rect;
    };
    const Expected expected[] = {
        { 0, "BUTTON_HELP", { 510, 63, 90, 28 } },
        { 3, "BUTTON_MINIMIZE", { 535, 5, 17, 20 } },
        { 5, "BUTTON_H", { 44, 89, 26, 27 } },
        { 38, "BUTTON_FE", { 219, 167, 26, 27 } },
        { 78, "BUTTON_J", { 444, 193, 26, 27 } },
        { 86, "BUTTON_CE", { 44, 294, 26, 27 } },
        { 113, "BUTTON_LR", { 369, 337, 26, 27 } },
        { 116, "BUTTON_MENU", { 510, 5, 17, 20 } },
        { 123, "BUTTON_QUIT", { 510, 311, 90, 28 } },
        { 127, "BUTTON_UUO", { 469, 245, 26, 27 } },
        { 128, "BUTTON_UUS", { 444, 245, 26, 27 } },
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.index);
        EXPECT_EQ(areas[e.index].name, e.name);
        EXPECT_EQ(areas[e.index].rect.left, e.rect.left);
        EXPECT_EQ(areas[e.index].rect.top, e.rect.top);
        EXPECT_EQ(areas[e.index].rect.width, e.rect.width);
        EXPECT_EQ(areas[e.index].rect.height, e.rect.height);
    }
}

TEST(BuiltinSkin, NamesAreUniqueAndAreasLieInsideThePictures)
{
    std::set<std::string_view> names;
    for (const SkinHotArea& area : BuiltinHotAreas()) {
        SCOPED_TRACE(std::string(area.name));
        EXPECT_TRUE(names.insert(area.name).second);
        EXPECT_GT(area.rect.width, 0);
        EXPECT_GT(area.rect.height, 0);
        EXPECT_GE(area.rect.left, 0);
        EXPECT_GE(area.rect.top, 0);
        EXPECT_LE(area.rect.right(), kBuiltinSkinWidth);
        EXPECT_LE(area.rect.bottom(), kBuiltinSkinHeight);
        // The pressed look is cut out of the smaller pressed picture.
        EXPECT_LE(area.rect.right(), kBuiltinPressedWidth);
        EXPECT_LE(area.rect.bottom(), kBuiltinPressedHeight);
    }
}

TEST(BuiltinSkin, CommandButtonsDoNotOverlapAnything)
{
    const auto areas = BuiltinHotAreas();
    for (std::size_t i = 0; i < areas.size(); ++i) {
        const bool command = areas[i].rect.width != 26 || areas[i].rect.height != 27;
        if (!command)
            continue;
        for (std::size_t j = 0; j < areas.size(); ++j) {
            if (i != j) {
                EXPECT_FALSE(Overlap(areas[i].rect, areas[j].rect)) << areas[i].name << " " << areas[j].name;
            }
        }
    }
}

TEST(BuiltinSkin, TextAreasKeepClearOfHotAreas)
{
    ASSERT_EQ(BuiltinTextAreas().size(), 2u);
    for (const SkinTextArea& text : BuiltinTextAreas()) {
        const SkinRect rect { text.left, text.top, text.width, text.height };
        EXPECT_LE(rect.right(), kBuiltinSkinWidth);
        for (const SkinHotArea& area : BuiltinHotAreas()) {
            EXPECT_FALSE(Overlap(rect, area.rect)) << text.name << " " << area.name;
        }
    }
}

TEST(BuiltinSkin, LinesAreTheHotAreasThenTheTexts)
{
    const std::vector<std::string> lines = BuiltinSkinLines();
    ASSERT_EQ(lines.size(), kBuiltinHotAreaLineCount + kBuiltinDisplayLineCount);
    EXPECT_EQ(lines[0], "Count=129");
    EXPECT_EQ(lines[1], "1=BUTTON_HELP, 510, 63, 90, 28");
    EXPECT_EQ(lines[6], "6=BUTTON_H, 44, 89, 26, 27");
    EXPECT_EQ(lines[128], "128=BUTTON_UUO, 469, 245, 26, 27");
    EXPECT_EQ(lines[129], "129=BUTTON_UUS, 444, 245, 26, 27");
    EXPECT_EQ(lines[130], "Charset=1");
    EXPECT_EQ(lines[131], "Count=2");
    EXPECT_EQ(lines[132], "1=TIMETEXT, Tahoma, TRUE, FALSE, 8, 00000000, 323, 12, Normal, , , 90, 19");
    EXPECT_EQ(lines[133], "2=LOGOTEXT, Tahoma, TRUE, FALSE, 8, 00000000, 63, 12, Normal, , , 90, 19");

    // Every hot-area line reads back as its area.
    const auto areas = BuiltinHotAreas();
    for (std::size_t i = 0; i < areas.size(); ++i) {
        std::istringstream in(lines[i + 1]);
        std::size_t number = 0;
        char equals = 0;
        std::string name;
        in >> number >> equals;
        std::getline(in, name, ',');
        int left = 0, top = 0, width = 0, height = 0;
        char comma = 0;
        in >> left >> comma >> top >> comma >> width >> comma >> height;
        ASSERT_FALSE(in.fail()) << lines[i + 1];
        EXPECT_EQ(number, i + 1);
        EXPECT_EQ(equals, '=');
        EXPECT_EQ(name, areas[i].name);
        EXPECT_EQ(left, areas[i].rect.left);
        EXPECT_EQ(top, areas[i].rect.top);
        EXPECT_EQ(width, areas[i].rect.width);
        EXPECT_EQ(height, areas[i].rect.height);
    }
}

TEST(BuiltinSkin, DefinitionTextHasBothSections)
{
    const std::string text = BuiltinSkinDefinitionText();
    const std::size_t hot = text.find("[HOTAREAINFO]\r\nCount=129\r\n1=BUTTON_HELP, 510, 63, 90, 28\r\n");
    const std::size_t display = text.find("\r\n[DISPLAYINFO]\r\nCharset=1\r\nCount=2\r\n1=TIMETEXT");
    EXPECT_EQ(hot, 0u);
    ASSERT_NE(display, std::string::npos);
    EXPECT_NE(text.find("129=BUTTON_UUS, 444, 245, 26, 27\r\n\r\n[DISPLAYINFO]"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(text.find("[BITMAPINFO]"), std::string::npos);
}

} // namespace
} // namespace orbita
