#include "htmlview/table_attributes.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

namespace orbita::html {
namespace {

using Attributes = std::map<std::string, std::string>;

TableAttributeLookup lookupIn(const Attributes& attributes)
{
    return [&attributes](std::string_view name) -> std::optional<std::string_view> {
        auto it = attributes.find(std::string(name));
        if (it == attributes.end())
            return std::nullopt;
        return std::string_view(it->second);
    };
}

constexpr TableLength none {};
constexpr TableLength pixels(int value)
{
    return { TableLength::Kind::Pixels, value };
}
constexpr TableLength percent(int tenths)
{
    return { TableLength::Kind::Percent, tenths };
}

TEST(ParseTableLength, PixelsPerCentInTenthsAndNonsense)
{
    struct Case {
        const char* text;
        TableLength expected;
    };
    const Case cases[] = {
        { "200", pixels(200) },
        { "  200  ", pixels(200) },
        { "+7", pixels(7) },
        { "0", pixels(0) },
        { "120px", pixels(120) },
        { "12.9", pixels(12) },
        { "99999999999999", pixels(kTableMaxPixels) },
        { "50%", percent(500) },
        { "50 %", percent(500) },
        { "33.3%", percent(333) },
        { "33.36%", percent(333) },
        { ".5%", percent(10) }, // below 1 per cent: 1 per cent
        { "150%", percent(1000) }, // above 100: 100
        { "1%", percent(10) },
        { "100%", percent(1000) },
        { "0%", none },
        { "-5", none },
        { "-50%", none },
        { "", none },
        { "%", none },
        { "abc", none },
        { "+", none },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseTableLength(c.text), c.expected);
    }
}

TEST(ParseTableInteger, LeadingNumberOnly)
{
    struct Case {
        const char* text;
        std::optional<int> expected;
    };
    const Case cases[] = {
        { "3", 3 },
        { " -12 ", -12 },
        { "+4x", 4 },
        { "7.9", 7 },
        { "99999999999999999999", kTableMaxPixels },
        { "-99999999999999999999", -kTableMaxPixels },
        { ".5", std::nullopt },
        { "", std::nullopt },
        { "yes", std::nullopt },
        { "-", std::nullopt },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseTableInteger(c.text), c.expected);
    }
}

TEST(ReadTableAttributes, DefaultsLimitsAndTheBorderRule)
{
    struct Case {
        const char* name;
        Attributes attributes;
        bool border;
        int cellPadding;
        int cellSpacing;
        int hSpace;
    };
    const Case cases[] = {
        { "defaults", {}, false, 1, 2, 5 },
        { "CELLPADDING=80 is 50", { { "CELLPADDING", "80" } }, false, 50, 2, 5 },
        { "CELLSPACING=100 is 40", { { "CELLSPACING", "100" } }, false, 1, 40, 5 },
        { "CELLPADDING=50 and CELLSPACING=40 kept", { { "CELLPADDING", "50" }, { "CELLSPACING", "40" } },
            false, 50, 40, 5 },
        { "negative padding and spacing keep the defaults",
            { { "CELLPADDING", "-3" }, { "CELLSPACING", "-1" } }, false, 1, 2, 5 },
        { "zero padding and spacing", { { "CELLPADDING", "0" }, { "CELLSPACING", "0" } }, false, 0, 0, 5 },
        { "unreadable padding keeps the default", { { "CELLPADDING", "wide" } }, false, 1, 2, 5 },
        { "BORDER=1 without CELLSPACING: 2 + 2", { { "BORDER", "1" } }, true, 1, 4, 5 },
        { "BORDER=1 CELLSPACING=0: 0 + 2", { { "BORDER", "1" }, { "CELLSPACING", "0" } }, true, 1, 2, 5 },
        { "BORDER=3 CELLSPACING=100: 40 + 2", { { "BORDER", "3" }, { "CELLSPACING", "100" } }, true, 1, 42,
            5 },
        { "BORDER=0 is off", { { "BORDER", "0" } }, false, 1, 2, 5 },
        { "BORDER=-2 is off", { { "BORDER", "-2" } }, false, 1, 2, 5 },
        { "BORDER without a value is on", { { "BORDER", "" } }, true, 1, 4, 5 },
        { "HSPACE absolute value", { { "HSPACE", "-15" } }, false, 1, 2, 15 },
        { "HSPACE at most 20", { { "HSPACE", "50" } }, false, 1, 2, 20 },
        { "HSPACE below -20 is 20", { { "HSPACE", "-99999999999" } }, false, 1, 2, 20 },
        { "HSPACE unreadable keeps 5", { { "HSPACE", "x" } }, false, 1, 2, 5 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TableAttributes table = ReadTableAttributes(lookupIn(c.attributes));
        EXPECT_EQ(table.border, c.border);
        EXPECT_EQ(table.cellPadding, c.cellPadding);
        EXPECT_EQ(table.cellSpacing, c.cellSpacing);
        EXPECT_EQ(table.hSpace, c.hSpace);
    }
}

TEST(ReadTableAttributes, AlignWidthAndColours)
{
    struct Case {
        const char* name;
        Attributes attributes;
        TableAlign align;
        TableLength width;
    };
    const Case cases[] = {
        { "nothing", {}, TableAlign::Inherit, none },
        { "left", { { "ALIGN", "left" } }, TableAlign::Left, none },
        { "Right", { { "ALIGN", "Right" } }, TableAlign::Right, none },
        { "CENTER", { { "ALIGN", " CENTER " } }, TableAlign::Center, none },
        { "unknown alignment", { { "ALIGN", "middle" } }, TableAlign::Inherit, none },
        { "width in pixels", { { "WIDTH", "400" } }, TableAlign::Inherit, pixels(400) },
        { "width in per cent", { { "WIDTH", "80%" } }, TableAlign::Inherit, percent(800) },
        { "width over 100 per cent", { { "WIDTH", "250%" } }, TableAlign::Inherit, percent(1000) },
        { "unreadable width", { { "WIDTH", "auto" } }, TableAlign::Inherit, none },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TableAttributes table = ReadTableAttributes(lookupIn(c.attributes));
        EXPECT_EQ(table.align, c.align);
        EXPECT_EQ(table.width, c.width);
    }
    const TableAttributes coloured
        = ReadTableAttributes(lookupIn({ { "BGCOLOR", "#FFCC00" }, { "BORDERCOLOR", "navy" } }));
    EXPECT_EQ(coloured.background, "#FFCC00");
    EXPECT_EQ(coloured.borderColor, "navy");
}

TEST(ReadTableCellAttributes, SpansWidthHeight)
{
    struct Case {
        const char* name;
        Attributes attributes;
        int colSpan;
        int rowSpan;
        TableLength width;
        std::optional<int> height;
    };
    const Case cases[] = {
        { "defaults", {}, 1, 1, none, std::nullopt },
        { "spans above 1", { { "COLSPAN", "3" }, { "ROWSPAN", "2" } }, 3, 2, none, std::nullopt },
        { "spans of 0 and below", { { "COLSPAN", "0" }, { "ROWSPAN", "-4" } }, 1, 1, none, std::nullopt },
        { "unreadable spans", { { "COLSPAN", "two" }, { "ROWSPAN", "" } }, 1, 1, none, std::nullopt },
        { "huge span saturates", { { "COLSPAN", "123456789012" } }, kTableMaxPixels, 1, none, std::nullopt },
        { "width in pixels", { { "WIDTH", "190" } }, 1, 1, pixels(190), std::nullopt },
        { "width in per cent", { { "WIDTH", "50%" } }, 1, 1, percent(500), std::nullopt },
        { "height", { { "HEIGHT", "100" } }, 1, 1, none, 100 },
        { "negative height", { { "HEIGHT", "-1" } }, 1, 1, none, std::nullopt },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TableCellAttributes cell = ReadTableCellAttributes(lookupIn(c.attributes), false);
        EXPECT_EQ(cell.colSpan, c.colSpan);
        EXPECT_EQ(cell.rowSpan, c.rowSpan);
        EXPECT_EQ(cell.width, c.width);
        EXPECT_EQ(cell.height, c.height);
    }
}

TEST(EffectiveCellAlign, CellThenRowThenKind)
{
    struct Case {
        const char* name;
        bool header;
        Attributes row;
        Attributes cell;
        CellHAlign align;
        CellVAlign valign;
    };
    const Case cases[] = {
        { "TD alone", false, {}, {}, CellHAlign::Left, CellVAlign::Middle },
        { "TH alone", true, {}, {}, CellHAlign::Center, CellVAlign::Middle },
        { "TD in a right row", false, { { "ALIGN", "right" } }, {}, CellHAlign::Right, CellVAlign::Middle },
        { "TH in a left row", true, { { "ALIGN", "LEFT" } }, {}, CellHAlign::Left, CellVAlign::Middle },
        { "own beats the row", false, { { "ALIGN", "right" }, { "VALIGN", "top" } },
            { { "ALIGN", "Center" }, { "VALIGN", "BOTTOM" } }, CellHAlign::Center, CellVAlign::Bottom },
        { "row valign", false, { { "VALIGN", "Top" } }, {}, CellHAlign::Left, CellVAlign::Top },
        { "unknown values fall through", true, { { "ALIGN", "justify" } },
            { { "ALIGN", "?" }, { "VALIGN", "baseline" } }, CellHAlign::Center, CellVAlign::Middle },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TableRowAttributes row = ReadTableRowAttributes(lookupIn(c.row));
        const TableCellAttributes cell = ReadTableCellAttributes(lookupIn(c.cell), c.header);
        EXPECT_EQ(EffectiveCellHAlign(cell, row), c.align);
        EXPECT_EQ(EffectiveCellVAlign(cell, row), c.valign);
    }
    EXPECT_EQ(ReadTableRowAttributes(lookupIn({ { "BGCOLOR", "silver" } })).background, "silver");
}

} // namespace
} // namespace orbita::html
