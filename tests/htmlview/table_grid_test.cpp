#include "htmlview/table_grid.h"

#include <climits>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace orbita::html {
namespace {

using Rows = std::vector<std::vector<TableCellSpan>>;

// Writes a grid row as text: each slot is the letter of its cell (A, B, ... in
// reading order) followed by "." for the cell itself, "-" for a COLSPAN
// placeholder and "^" for a ROWSPAN placeholder.
std::string describe(const std::vector<TableGridSlot>& row)
{
    std::string text;
    for (const TableGridSlot& slot : row) {
        if (!text.empty())
            text += ' ';
        text += static_cast<char>('A' + slot.cell);
        switch (slot.kind) {
        case TableGridSlot::Kind::Cell:
            text += '.';
            break;
        case TableGridSlot::Kind::ColumnPlaceholder:
            text += '-';
            break;
        case TableGridSlot::Kind::RowPlaceholder:
            text += '^';
            break;
        }
    }
    return text;
}

std::vector<std::string> describe(const TableGrid& grid)
{
    std::vector<std::string> rows;
    for (const auto& row : grid.rows)
        rows.push_back(describe(row));
    return rows;
}

TEST(BuildTableGrid, PlaceholdersColumnsAndCutSpans)
{
    struct Case {
        const char* name;
        Rows rows;
        std::vector<std::string> expected;
        int columns;
    };
    const Case cases[] = {
        { "plain 2x2", { { {}, {} }, { {}, {} } }, { "A. B.", "C. D." }, 2 },
        { "no rows", {}, {}, 0 },
        { "empty row before a cell", { {}, { {} } }, { "", "A." }, 1 },
        { "COLSPAN=3 in two-cell rows", { { {}, {} }, { { 3, 1 } }, { {}, {} } },
            { "A. B.", "C. C- C-", "D. E." }, 3 },
        // B's placeholder is inserted at B's slot, pushing D right.
        { "ROWSPAN inserts at its slot", { { {}, { 1, 2 } }, { {}, {} } }, { "A. B.", "C. B^ D." }, 3 },
        // Row 2 is shorter than C's slot (2): the placeholder is appended.
        { "ROWSPAN appends to a shorter row", { { {}, {}, { 1, 2 } }, { {} } }, { "A. B. C.", "D. C^" }, 3 },
        { "ROWSPAN larger than the rows left", { { { 1, 5 }, {} }, { {} } }, { "A. B.", "A^ C." }, 2 },
        { "ROWSPAN on the last row", { { {} }, { { 1, 3 } } }, { "A.", "B." }, 1 },
        { "COLSPAN with ROWSPAN covers each column below", { { { 2, 2 }, {} }, { {} } },
            { "A. A- B.", "A^ A^ C." }, 3 },
        // A covers rows 0-2; C, read in row 1, then pushes D to slot 2.
        { "chained ROWSPANs", { { { 1, 3 }, {} }, { { 1, 2 } }, { {} } }, { "A. B.", "A^ C.", "A^ C^ D." },
            3 },
        // A ROWSPAN=2 cell beside two cells, then a COLSPAN=2 cell below.
        { "rowspan beside, colspan below", { { { 1, 2 }, {}, {} }, { { 2, 1 } } }, { "A. B. C.", "A^ D. D-" },
            3 },
        { "spans below 1 count as 1", { { { 0, -4 }, { -1, 0 } }, { {} } }, { "A. B.", "C." }, 2 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TableGridResult result = BuildTableGrid(c.rows);
        ASSERT_EQ(result.status, TableGridStatus::Ok);
        EXPECT_TRUE(result.message.empty());
        EXPECT_EQ(describe(result.grid), c.expected);
        EXPECT_EQ(result.grid.columnCount, c.columns);
    }
}

TEST(BuildTableGrid, CellsKnowTheirColumnsAndCutRowSpans)
{
    const Rows rows = { { { 1, 9 }, { 2, 2 } }, { {} }, { {}, {} } };
    const TableGridResult result = BuildTableGrid(rows);
    ASSERT_EQ(result.status, TableGridStatus::Ok);
    struct Expected {
        int row, index, column, colSpan, rowSpan;
    };
    const Expected expected[] = {
        { 0, 0, 0, 1, 3 }, // ROWSPAN 9 cut to 3 rows
        { 0, 1, 1, 2, 2 },
        { 1, 0, 3, 1, 1 }, // after A^ and B^ B^
        { 2, 0, 1, 1, 1 }, // after A^
        { 2, 1, 2, 1, 1 },
    };
    ASSERT_EQ(result.grid.cells.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        const TableGridCell& cell = result.grid.cells[i];
        EXPECT_EQ(cell.row, expected[i].row);
        EXPECT_EQ(cell.index, expected[i].index);
        EXPECT_EQ(cell.column, expected[i].column);
        EXPECT_EQ(cell.colSpan, expected[i].colSpan);
        EXPECT_EQ(cell.rowSpan, expected[i].rowSpan);
    }
    EXPECT_EQ(result.grid.columnCount, 4);
}

TEST(BuildTableGrid, ThirtyColumnsAndNoMore)
{
    struct Case {
        const char* name;
        Rows rows;
        bool refused;
    };
    const std::vector<TableCellSpan> thirty(30);
    const std::vector<TableCellSpan> thirtyOne(31);
    std::vector<TableCellSpan> spannedTo30 = { { 29, 1 }, {} };
    std::vector<TableCellSpan> spannedTo31 = { { 30, 1 }, {} };
    // Row 1 has 29 cells of its own; A's ROWSPAN placeholder makes 30, a
    // second spanning cell in row 0 makes 31.
    std::vector<TableCellSpan> twentyNine(29);
    const Case cases[] = {
        { "30 cells", { thirty }, false },
        { "31 cells", { thirtyOne }, true },
        { "31 cells in a later row", { thirty, thirty, thirtyOne }, true },
        { "COLSPAN up to 30", { spannedTo30 }, false },
        { "COLSPAN past 30", { spannedTo31 }, true },
        { "COLSPAN huge", { { { INT_MAX, 1 } } }, true },
        { "COLSPANs whose sum overflows int", { { { INT_MAX, 1 }, { INT_MAX, 1 } } }, true },
        { "ROWSPAN placeholder makes 30", { { { 1, 2 } }, twentyNine }, false },
        { "ROWSPAN placeholders make 31", { { { 1, 2 }, { 1, 2 } }, twentyNine }, true },
        { "ROWSPAN of a wide cell makes 31", { { { 2, 2 } }, twentyNine }, true },
        { "ROWSPAN huge", { { { 1, INT_MAX } }, { {} }, { {} } }, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TableGridResult result = BuildTableGrid(c.rows);
        if (c.refused) {
            EXPECT_EQ(result.status, TableGridStatus::TooManyColumns);
            EXPECT_EQ(result.message, "Table has too many Columns");
            EXPECT_TRUE(result.grid.rows.empty());
            EXPECT_TRUE(result.grid.cells.empty());
        } else {
            EXPECT_EQ(result.status, TableGridStatus::Ok);
            EXPECT_LE(result.grid.columnCount, 30);
        }
    }
}

TEST(BuildTableGrid, ThirtyColumnsExactly)
{
    const TableGridResult result = BuildTableGrid({ std::vector<TableCellSpan>(30) });
    ASSERT_EQ(result.status, TableGridStatus::Ok);
    EXPECT_EQ(result.grid.columnCount, 30);
    EXPECT_EQ(result.grid.cells.back().column, 29);
}

} // namespace
} // namespace orbita::html
