#include "htmlview/table_grid.h"
#include "htmlview/table_widths.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>
#include <random>
#include <vector>

namespace orbita::html {
namespace {

using Widths = std::vector<int>;

constexpr TableLength none {};
constexpr TableLength pixels(int value)
{
    return { TableLength::Kind::Pixels, value };
}
constexpr TableLength percent(int tenths)
{
    return { TableLength::Kind::Percent, tenths };
}

int sumOf(const Widths& widths)
{
    return std::accumulate(widths.begin(), widths.end(), 0);
}

// Bounds as the measuring pass would give them, for the two procedures.
TableColumnBounds bounds(
    Widths minimum, Widths maximum, Widths percents = {}, std::vector<bool> pixelWidth = {})
{
    TableColumnBounds b;
    b.pixelWidth = std::move(pixelWidth);
    b.totalMinimum = sumOf(minimum);
    b.totalMaximum = sumOf(maximum);
    if (percents.empty())
        percents.assign(minimum.size(), 0);
    b.percentSum = sumOf(percents);
    b.minimum = std::move(minimum);
    b.maximum = std::move(maximum);
    b.percent = std::move(percents);
    return b;
}

TEST(MeasureTableColumns, SingleAndSpanningCells)
{
    struct Case {
        const char* name;
        int columns;
        int padding;
        int spacing;
        std::vector<TableCellWidthInput> cells;
        Widths minimum;
        Widths maximum;
    };
    const Case cases[] = {
        // Overhead 2 x 1 + 2 = 4 on both values.
        { "overhead", 2, 1, 2, { { 0, 1, 10, 50, none }, { 1, 1, 20, 30, none } }, { 14, 24 }, { 54, 34 } },
        { "largest over a column", 1, 0, 0, { { 0, 1, 10, 40, none }, { 0, 1, 30, 35, none } }, { 30 },
            { 40 } },
        // min = max(10, 80) = 80; max = max(80, 80) = 80: the WIDTH caps the content.
        { "pixel WIDTH caps the maximum", 1, 0, 0, { { 0, 1, 10, 200, pixels(80) } }, { 80 }, { 80 } },
        { "pixel WIDTH below the content", 1, 0, 0, { { 0, 1, 100, 200, pixels(80) } }, { 100 }, { 100 } },
        // Overhead 2 x 3 + 4 = 10: min = max(15, 60 + 10) = 70, max = 70.
        { "pixel WIDTH plus overhead", 1, 3, 4, { { 0, 1, 5, 300, pixels(60) } }, { 70 }, { 70 } },
        // Minimum: 60 > 10 + 30, excess 20: 20x10/40 = 5, 20x30/40 = 15 -> 15, 45.
        // Column 1's maximum 40 is raised to its minimum 45. Maximum: 100 >
        // 20 + 45, excess 35: 35x20/65 = 10.77 -> 11, 35x45/65 = 24.23 -> 24.
        { "spanning cell spreads in proportion", 2, 0, 0,
            { { 0, 1, 10, 20, none }, { 1, 1, 30, 40, none }, { 0, 2, 60, 100, none } }, { 15, 45 },
            { 31, 69 } },
        // Excess 1 over 5 and 5: each share 1x5/10 = 0.5 rounds to 1.
        { "shares rounded each", 2, 0, 0,
            { { 0, 1, 5, 5, none }, { 1, 1, 5, 5, none }, { 0, 2, 11, 11, none } }, { 6, 6 }, { 6, 6 } },
        // No single cells: 10 = 4 + 3 + 3; maxima raised to 4 3 3, then
        // excess 10: 10x4/10 = 4, 10x3/10 = 3, 3.
        { "spread equally over empty columns", 3, 0, 0, { { 0, 3, 10, 20, none } }, { 4, 3, 3 },
            { 8, 6, 6 } },
        // The 2-column cell is taken before the 3-column one, though read
        // later: 40 -> 20 20 0; then 90 - 40 = 50: 25 25 0 -> 45 45 0.
        { "narrower spans first", 3, 0, 0, { { 0, 3, 90, 90, none }, { 0, 2, 40, 40, none } }, { 45, 45, 0 },
            { 45, 45, 0 } },
        { "spanning cell that fits changes nothing", 2, 0, 0,
            { { 0, 1, 30, 50, none }, { 1, 1, 30, 50, none }, { 0, 2, 50, 90, none } }, { 30, 30 },
            { 50, 50 } },
        // A pixel WIDTH on a spanning cell does not change its values.
        { "pixel WIDTH of a spanning cell", 2, 0, 0, { { 0, 2, 10, 10, pixels(500) } }, { 5, 5 }, { 5, 5 } },
        { "negative content is 0", 1, 0, 0, { { 0, 1, -10, -5, none } }, { 0 }, { 0 } },
        { "maximum below minimum is raised", 1, 0, 0, { { 0, 1, 50, 20, none } }, { 50 }, { 50 } },
        { "cells outside the columns skipped", 2, 0, 0, { { -1, 1, 99, 99, none }, { 2, 1, 99, 99, none } },
            { 0, 0 }, { 0, 0 } },
        { "span cut at the last column", 2, 0, 0, { { 1, 5, 40, 40, none } }, { 0, 40 }, { 0, 40 } },
        { "padding and spacing limited", 1, 80, 100, { { 0, 1, 0, 0, none } }, { 142 }, { 142 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TableColumnBounds b = MeasureTableColumns(c.columns, c.cells, c.padding, c.spacing);
        EXPECT_EQ(b.minimum, c.minimum);
        EXPECT_EQ(b.maximum, c.maximum);
        EXPECT_EQ(b.totalMinimum, sumOf(c.minimum));
        EXPECT_EQ(b.totalMaximum, sumOf(c.maximum));
    }
}

TEST(MeasureTableColumns, PerCentAndPixelFlags)
{
    struct Case {
        const char* name;
        std::vector<TableCellWidthInput> cells;
        Widths percent;
        int percentSum;
        bool anyPixel;
        std::vector<bool> pixelColumns;
    };
    const Case cases[] = {
        { "none", { { 0, 1, 0, 0, none }, { 1, 1, 0, 0, none } }, { 0, 0 }, 0, false, { false, false } },
        { "largest per cent of a column", { { 0, 1, 0, 0, percent(200) }, { 0, 1, 0, 0, percent(300) } },
            { 300, 0 }, 300, false, { false, false } },
        // 600 - 200 = 400 goes to the column without a per cent.
        { "spanning per cent to the column without",
            { { 0, 1, 0, 0, percent(200) }, { 0, 2, 0, 0, percent(600) } }, { 200, 400 }, 600, false,
            { false, false } },
        // 700 - (200 + 300) = 200, 100 each.
        { "spanning per cent over columns that have one",
            { { 0, 1, 0, 0, percent(200) }, { 1, 1, 0, 0, percent(300) }, { 0, 2, 0, 0, percent(700) } },
            { 300, 400 }, 700, false, { false, false } },
        { "spanning per cent already covered", { { 0, 1, 0, 0, percent(500) }, { 0, 2, 0, 0, percent(400) } },
            { 500, 0 }, 500, false, { false, false } },
        { "sum over 100 per cent kept", { { 0, 1, 0, 0, percent(800) }, { 1, 1, 0, 0, percent(700) } },
            { 800, 700 }, 1500, false, { false, false } },
        { "pixel WIDTH on a single cell", { { 1, 1, 0, 0, pixels(1) } }, { 0, 0 }, 0, true, { false, true } },
        { "pixel WIDTH on a spanning cell", { { 0, 2, 0, 0, pixels(1) } }, { 0, 0 }, 0, true,
            { false, false } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TableColumnBounds b = MeasureTableColumns(2, c.cells, 0, 0);
        EXPECT_EQ(b.percent, c.percent);
        EXPECT_EQ(b.percentSum, c.percentSum);
        EXPECT_EQ(b.anyPixelWidth, c.anyPixel);
        EXPECT_EQ(b.pixelWidth, c.pixelColumns);
    }
}

TEST(TableColumnSpace, WidthMinusSpacingAtLeast20)
{
    struct Case {
        const char* name;
        TableLength width;
        int available;
        int spacing;
        int expected;
    };
    const Case cases[] = {
        { "available", none, 600, 2, 598 },
        { "pixels", pixels(300), 600, 2, 298 },
        { "pixels wider than available", pixels(900), 600, 4, 896 },
        { "per cent", percent(500), 600, 2, 298 },
        // 100 x 333 / 1000 = 33.3 -> 33; 33 - 2.
        { "per cent rounded", percent(333), 100, 2, 31 },
        // 101 x 500 / 1000 = 50.5 -> 51; 51 - 0.
        { "per cent rounded half up", percent(500), 101, 0, 51 },
        { "at least 20", none, 10, 2, 20 },
        { "spacing eats all", pixels(30), 600, 42, 20 },
        { "zero available", none, 0, 0, 20 },
        { "negative available", none, -500, 2, 20 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TableColumnSpace(c.width, c.available, c.spacing), c.expected);
    }
}

TEST(PercentColumnWidths, EveryBranch)
{
    struct Case {
        const char* name;
        TableColumnBounds bounds;
        int space;
        bool tableHasWidth;
        Widths expected;
    };
    const Case cases[] = {
        { "minimums when they do not fit", bounds({ 50, 60 }, { 80, 90 }), 100, false, { 50, 60 } },
        { "minimums when they fill exactly", bounds({ 50, 50 }, { 80, 90 }), 100, true, { 50, 50 } },
        // 10 + 40 x 60 / 120 = 30; 20 + 80 x 60 / 120 = 60.
        { "between minimum and maximum", bounds({ 10, 20 }, { 50, 100 }), 90, false, { 30, 60 } },
        // 10 x 20 / 30 = 6.67 -> 7 each: the sum may pass the space by rounding.
        { "interpolation rounds each column", bounds({ 0, 0, 0 }, { 10, 10, 10 }), 20, false, { 7, 7, 7 } },
        { "maximums when there is room", bounds({ 10, 20 }, { 50, 100 }), 400, false, { 50, 100 } },
        { "maximums when they equal the minimums", bounds({ 10, 20 }, { 10, 20 }), 400, false, { 10, 20 } },
        // Per cent sum 1200 > 1000: as without per cent. 10 + 30 x 40 / 80 =
        // 25; 10 + 50 x 40 / 80 = 35.
        { "per cent over 100 ignored", bounds({ 10, 10 }, { 40, 60 }, { 600, 600 }), 60, false, { 25, 35 } },
        // needed = max(100 x 1000 / 500, 60 x 1000 / 500) = 200; each 200 x 500 / 1000.
        { "two 50% columns get the same width", bounds({ 20, 30 }, { 100, 60 }, { 500, 500 }), 500, false,
            { 100, 100 } },
        // needed = max(50 x 1000 / 250 = 200, 120 x 1000 / 750 = 160) = 200;
        // column 0: 200 x 250 / 1000 = 50; the rest 200 x 750 / 1000 = 150
        // shared by maximum: 150 x 30 / 120 = 37.5 -> 38, 150 x 90 / 120 = 112.5 -> 113.
        { "per cent column and the others by maximum", bounds({ 10, 10, 10 }, { 50, 30, 90 }, { 250, 0, 0 }),
            400, false, { 50, 38, 113 } },
        // needed = 200 (from 100 x 1000 / 500), the others' sum N = 0: the
        // rest 100 is shared equally instead of dividing by 0.
        { "others without width share equally", bounds({ 0, 0, 0 }, { 100, 0, 0 }, { 500, 0, 0 }), 300, false,
            { 100, 50, 50 } },
        // needed = max(15 x 1000 / 100, 50 x 1000 / 900 = 55.6 -> 56) = 150;
        // column 0: 15, the rest 150 x 900 / 1000 = 135 -> column 1 gets 135,
        // which is kept above its minimum.
        { "small per cent column", bounds({ 5, 40 }, { 15, 50 }, { 100, 0 }), 500, false, { 15, 135 } },
        // needed = max(100 x 1000 / 500 = 200, 150 x 1000 / 500 = 300) = 300:
        // column 0 gets 300 x 500 / 1000 = 150 and column 1 the rest 150.
        { "the others decide the needed width", bounds({ 10, 150 }, { 100, 150 }, { 500, 0 }), 20000, false,
            { 150, 150 } },
        // P = 1000 with N = 20: needed 30000 > 300: filled. Targets 150 and
        // 150, the other needs 10: 290 left for 300 wanted; shrink over
        // 300 - 20 = 280 to 290 - 20 = 270: 10 + 140 x 270 / 280 = 145 each.
        { "all per cent and another column", bounds({ 10, 10, 10 }, { 40, 40, 20 }, { 500, 500, 0 }), 300,
            false, { 145, 145, 10 } },
        // needed = max(300 x 1000 / 500, 100 x 1000 / 500) = 600 > 400: the
        // space is filled. Column 0 aims at 200; the rest 200 passes the
        // other maximum 100: 100 + 100 x 100 / 100 = 200.
        { "per cent needs more than there is", bounds({ 10, 10 }, { 300, 100 }, { 500, 0 }), 400, false,
            { 200, 200 } },
        // Table WIDTH: 160 > maximums 80, grow by maximum: 30 + 80 x 30 / 80 =
        // 60; 50 + 80 x 50 / 80 = 100.
        { "table WIDTH grows by maximum", bounds({ 10, 20 }, { 30, 50 }), 160, true, { 60, 100 } },
        // 10 + 20 x 30 / 50 = 22; 20 + 30 x 30 / 50 = 38.
        { "table WIDTH between min and max", bounds({ 10, 20 }, { 30, 50 }), 60, true, { 22, 38 } },
        // Column 0 aims at 500 x 300 / 1000 = 150; the rest 350 passes the
        // maximum 200 of column 1: 200 + 150 x 200 / 200 = 350.
        { "table WIDTH with a per cent column", bounds({ 10, 10 }, { 20, 200 }, { 300, 0 }), 500, true,
            { 150, 350 } },
        // Column 0 aims at 320 but column 1 needs 150: 250 left for it.
        // 10 + 310 x 240 / 310 = 250.
        { "table WIDTH shrinks a per cent column", bounds({ 10, 150 }, { 20, 300 }, { 800, 0 }), 400, true,
            { 250, 150 } },
        // 100 x 333 / 1000 = 33.3 -> 33, 33, 33.4 -> 33; the missing pixel goes
        // to the last column.
        { "table WIDTH settles rounding", bounds({ 0, 0, 0 }, { 10, 10, 10 }, { 333, 333, 334 }), 100, true,
            { 33, 33, 34 } },
        // Nothing has width: 100 / 3 = 33 each, the last takes the pixel left.
        { "table WIDTH over empty columns", bounds({ 0, 0, 0 }, { 0, 0, 0 }), 100, true, { 33, 33, 34 } },
        // Columns 0 and 2 have a WIDTH in pixels: the room beyond the
        // maximums (200 - 52 = 148) all goes to column 1: 50 + 148.
        { "table WIDTH grows the columns without pixel WIDTH",
            bounds({ 1, 10, 1 }, { 1, 50, 1 }, { 0, 0, 0 }, { true, false, true }), 200, true,
            { 1, 198, 1 } },
        // Every column has one: they grow by maximum, 10 + 90 x 10 / 30 = 40
        // and 20 + 90 x 20 / 30 = 80.
        { "table WIDTH grows pixel columns when all are", bounds({ 10, 20 }, { 10, 20 }, {}, { true, true }),
            120, true, { 40, 80 } },
        { "no columns", bounds({}, {}), 100, true, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PercentColumnWidths(c.bounds, c.space, c.tableHasWidth), c.expected);
    }
}

TEST(PixelColumnWidths, EveryBranch)
{
    struct Case {
        const char* name;
        TableColumnBounds bounds;
        int space;
        Widths expected;
    };
    const Case cases[] = {
        { "minimums when they do not fit", bounds({ 104, 60 }, { 104, 90 }), 100, { 104, 60 } },
        // 10 + 40 x 60 / 120 = 30; 20 + 80 x 60 / 120 = 60.
        { "between minimum and maximum", bounds({ 10, 20 }, { 50, 100 }), 90, { 30, 60 } },
        // 104 + 0; 34 + 470 x 160 / 470 = 194.
        { "a fixed column keeps its width", bounds({ 104, 34 }, { 104, 504 }), 298, { 104, 194 } },
        { "maximums when there is room", bounds({ 10, 20 }, { 50, 100 }), 150, { 50, 100 } },
        { "per cent ignored", bounds({ 10, 20 }, { 50, 100 }, { 900, 0 }), 400, { 50, 100 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PixelColumnWidths(c.bounds, c.space), c.expected);
    }
}

// Whole tables as the layout hands them in.
TEST(ComputeTableWidths, WholeTables)
{
    struct Case {
        const char* name;
        TableWidthInput input;
        Widths columns;
        int tableWidth;
    };
    const Case cases[] = {
        // Spacer columns of WIDTH=1 around a 100% column and a 190-pixel menu,
        // WIDTH=100%, no padding or spacing, 600 available: the table WIDTH
        // takes the per cent procedure. The 100% column aims at 600, but the
        // others need 1 + 1 + 190 + 1 = 193: it shrinks to 407.
        { "spacers around a 100% column",
            { 5, 0, 0, percent(1000), 600,
                { { 0, 1, 1, 1, pixels(1) }, { 1, 1, 30, 30, percent(1000) }, { 2, 1, 1, 1, pixels(1) },
                    { 3, 1, 60, 70, pixels(190) }, { 4, 1, 1, 1, pixels(1) } } },
            { 1, 407, 1, 190, 1 }, 600 },
        // A pixel WIDTH and no table WIDTH: overhead 4. Column 0: 104/104,
        // column 1: 34/504; space 300 - 2 = 298: 104, 34 + 470 x 160 / 470.
        { "pixel procedure",
            { 2, 1, 2, none, 300, { { 0, 1, 20, 400, pixels(100) }, { 1, 1, 30, 500, none } } }, { 104, 194 },
            300 },
        // Overhead 4: maximums 44 and 94; needed = max(88, 188) = 188; each 94.
        { "two cells of WIDTH=50%",
            { 2, 1, 2, none, 600, { { 0, 1, 10, 40, percent(500) }, { 1, 1, 20, 90, percent(500) } } },
            { 94, 94 }, 190 },
        // Without per cent or pixels, room for the maximums: 14 + 34 + 2.
        { "content width", { 2, 1, 2, none, 600, { { 0, 1, 10, 10, none }, { 1, 1, 30, 30, none } } },
            { 14, 34 }, 50 },
        // Spacing 42 (40 plus the border's 2), padding 50: overhead 142.
        // Maximums 152 + 152 = 304 fit into 400 - 42 = 358.
        { "largest padding and spacing",
            { 2, 50, 42, none, 400, { { 0, 1, 0, 10, none }, { 1, 1, 0, 10, none } } }, { 152, 152 }, 346 },
        // Space 20 (at least 20) < minimums 32 + 42 (overhead 2): the table
        // grows past its WIDTH to 2 + 74.
        { "WIDTH narrower than the content",
            { 2, 0, 2, pixels(10), 600, { { 0, 1, 30, 30, none }, { 1, 1, 40, 40, none } } }, { 32, 42 },
            76 },
        { "no columns", { 0, 1, 2, none, 600, {} }, {}, 2 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TableWidths widths = ComputeTableWidths(c.input);
        EXPECT_EQ(widths.columns, c.columns);
        EXPECT_EQ(widths.tableWidth, c.tableWidth);
    }
}

TEST(ComputeTableWidths, ColSpanThreeMakesThreeColumns)
{
    // Rows of two cells and one cell with COLSPAN=3.
    const TableGridResult grid = BuildTableGrid({ { {}, {} }, { { 3, 1 } } });
    ASSERT_EQ(grid.status, TableGridStatus::Ok);
    ASSERT_EQ(grid.grid.columnCount, 3);
    TableWidthInput input { grid.grid.columnCount, 0, 0, none, 1000, {} };
    const int content[] = { 10, 20, 90 };
    for (std::size_t i = 0; i < grid.grid.cells.size(); ++i) {
        const TableGridCell& cell = grid.grid.cells[i];
        input.cells.push_back({ cell.column, cell.colSpan, content[i], content[i], none });
    }
    // Column 2 has no cell of its own, so the excess 90 - 30 = 60 goes in
    // proportion to 10, 20 and 0: 60 x 10 / 30 = 20, 60 x 20 / 30 = 40, 0.
    // The maximums fit in 1000.
    const TableWidths widths = ComputeTableWidths(input);
    EXPECT_EQ(widths.columns, (Widths { 30, 60, 0 }));
    EXPECT_EQ(widths.tableWidth, 90);
}

// Random tables: the widths add up, never go negative or below a column's
// minimum, and a table WIDTH that the content fits into is filled exactly.
TEST(ComputeTableWidths, PropertiesOverRandomTables)
{
    std::mt19937 random(20261208);
    auto pick
        = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::vector<TableCellSpan>> rows(static_cast<std::size_t>(pick(0, 6)));
        for (auto& row : rows) {
            row.resize(static_cast<std::size_t>(pick(0, 8)));
            for (TableCellSpan& span : row)
                span = { pick(0, 10) == 0 ? pick(2, 40) : 1, pick(0, 6) == 0 ? pick(2, 1000) : 1 };
        }
        const TableGridResult grid = BuildTableGrid(rows);
        if (grid.status != TableGridStatus::Ok) {
            EXPECT_EQ(grid.message, "Table has too many Columns");
            continue;
        }
        TableWidthInput input;
        input.columnCount = grid.grid.columnCount;
        input.cellPadding = pick(-5, 60);
        input.cellSpacing = pick(-5, 45);
        input.availableWidth = pick(-10, 3000);
        const int tableWidthKind = pick(0, 2);
        if (tableWidthKind == 1)
            input.width = pixels(pick(0, 3000));
        else if (tableWidthKind == 2)
            input.width = percent(pick(10, 1000));
        for (const TableGridCell& cell : grid.grid.cells) {
            TableCellWidthInput in { cell.column, cell.colSpan, pick(0, 400), pick(0, 800), none };
            const int widthKind = pick(0, 3);
            if (widthKind == 1)
                in.width = pixels(pick(0, 500));
            else if (widthKind == 2)
                in.width = percent(pick(10, 1000));
            input.cells.push_back(in);
        }
        SCOPED_TRACE(round);
        const int spacing = std::clamp(input.cellSpacing, 0, 42);
        const TableColumnBounds b
            = MeasureTableColumns(input.columnCount, input.cells, input.cellPadding, spacing);
        const TableWidths widths = ComputeTableWidths(input);
        ASSERT_EQ(widths.columns.size(), static_cast<std::size_t>(input.columnCount));
        EXPECT_EQ(widths.tableWidth, spacing + sumOf(widths.columns));
        EXPECT_GE(widths.columnSpace, 20);
        for (std::size_t i = 0; i < widths.columns.size(); ++i) {
            EXPECT_GE(widths.columns[i], 0);
            EXPECT_GE(widths.columns[i], b.minimum[i]);
            EXPECT_LE(b.minimum[i], b.maximum[i]);
        }
        // Rounding may pass the space by at most a pixel per column.
        EXPECT_LE(sumOf(widths.columns), std::max(widths.columnSpace, b.totalMinimum) + input.columnCount);
        if (input.columnCount > 0 && input.width.kind != TableLength::Kind::None
            && b.totalMinimum < widths.columnSpace) {
            EXPECT_EQ(sumOf(widths.columns), widths.columnSpace);
        }
    }
}

TEST(ComputeTableWidths, ExtremesEndSanely)
{
    // 30 columns of huge content in a narrow flow: the minimums, no overflow.
    TableWidthInput wide { 30, 50, 42, none, 100, {} };
    for (int c = 0; c < 30; ++c)
        wide.cells.push_back({ c, 1, INT32_MAX, INT32_MAX, pixels(INT32_MAX) });
    const TableWidths huge = ComputeTableWidths(wide);
    ASSERT_EQ(huge.columns.size(), 30u);
    // Each column: kTableMaxPixels + 2 x 50 + 42.
    EXPECT_EQ(huge.columns[0], kTableMaxPixels + 142);
    EXPECT_EQ(huge.tableWidth, 42 + 30 * (kTableMaxPixels + 142));

    // A column count past the limit is cut to 30; spans past the end are cut.
    TableWidthInput tooMany { 1000, 0, 0, none, 600, { { 0, 1000000, 10, 10, none } } };
    EXPECT_EQ(ComputeTableWidths(tooMany).columns.size(), 30u);

    // All widths zero: each column is just its overhead.
    TableWidthInput zero { 3, 1, 2, none, 0,
        { { 0, 1, 0, 0, none }, { 1, 1, 0, 0, none }, { 2, 1, 0, 0, none } } };
    const TableWidths empty = ComputeTableWidths(zero);
    EXPECT_EQ(empty.columns, (Widths { 4, 4, 4 }));
    EXPECT_EQ(empty.tableWidth, 14);
}

} // namespace
} // namespace orbita::html
