#include "htmlview/document_builder.h"
#include "htmlview/document_tables.h"

#include <gtest/gtest.h>

namespace orbita::html {
namespace {

std::string Cells(int count)
{
    std::string cells;
    for (int i = 0; i < count; ++i)
        cells += "<td>c";
    return cells;
}

TEST(DocumentTables, GridFromBuiltTables)
{
    struct Case {
        const char* name;
        std::string markup;
        TableGridStatus status;
        int columns;
        std::size_t rows;
    };
    const std::vector<Case> cases = {
        { "two by two", "<table><tr><td>a<td>b<tr><td>c<td>d</table>", TableGridStatus::Ok, 2, 2 },
        { "COLSPAN=3 in two-cell rows", "<table><tr><td colspan=3>a<td>b<tr><td>c<td>d</table>",
            TableGridStatus::Ok, 4, 2 },
        { "ROWSPAN past the last row", "<table><tr><td rowspan=9>a<td>b<tr><td>c</table>",
            TableGridStatus::Ok, 2, 2 },
        { "30 columns", "<table><tr>" + Cells(30) + "</table>", TableGridStatus::Ok, 30, 1 },
        { "31 columns", "<table><tr>" + Cells(31) + "</table>", TableGridStatus::TooManyColumns, 0, 0 },
        { "huge COLSPAN", "<table><tr><td colspan=2000000000>a</table>", TableGridStatus::TooManyColumns, 0,
            0 },
    };
    for (const Case& c : cases) {
        const Document doc = BuildDocument(c.markup);
        ASSERT_EQ(doc.tables.size(), 1U) << c.name;
        const TableGridResult grid = BuildGridOf(doc.tables[0]);
        EXPECT_EQ(grid.status, c.status) << c.name;
        EXPECT_EQ(grid.grid.columnCount, c.columns) << c.name;
        EXPECT_EQ(grid.grid.rows.size(), c.rows) << c.name;
        if (c.status == TableGridStatus::TooManyColumns) {
            EXPECT_EQ(grid.message, "Table has too many Columns") << c.name;
        }
    }
}

TEST(DocumentTables, AttributesThroughTheLookup)
{
    const Document doc
        = BuildDocument("<table border cellpadding=80 cellspacing=\"100\" width=\"50%\" align=RIGHT>"
                        "<tr valign=top><td colspan=2 width=40 bgcolor=red>a</table>");
    ASSERT_EQ(doc.tables.size(), 1U);
    const Table& table = doc.tables[0];
    const TableAttributes attributes = ReadTableAttributes(TableLookupOf(table.attributes));
    EXPECT_TRUE(attributes.border);
    EXPECT_EQ(attributes.cellPadding, 50);
    EXPECT_EQ(attributes.align, TableAlign::Right);
    EXPECT_TRUE(attributes.width.isPercent());
    EXPECT_EQ(attributes.width.value, 500);
    const TableRowAttributes row = ReadTableRowAttributes(TableLookupOf(table.rows[0].attributes));
    EXPECT_EQ(row.valign, CellVAlign::Top);
    const TableCellAttributes cell
        = ReadTableCellAttributes(TableLookupOf(table.rows[0].cells[0].attributes), false);
    EXPECT_EQ(cell.colSpan, 2);
    EXPECT_TRUE(cell.width.isPixels());
    EXPECT_EQ(cell.width.value, 40);
    EXPECT_EQ(cell.background, "red");
    EXPECT_FALSE(TableLookupOf(table.attributes)("NOSUCH"));
    EXPECT_FALSE(TableLookupOf(table.attributes)("HSPACE"));
}

} // namespace
} // namespace orbita::html
