#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orbita::html {

// A table has at most this many columns; more stop the layout of the page.
inline constexpr int kTableMaxColumns = 30;
inline constexpr std::string_view kTableTooManyColumnsMessage = "Table has too many Columns";

// The spans of one cell as the document builder read them (COLSPAN, ROWSPAN;
// values below 1 count as 1).
struct TableCellSpan {
    int colSpan = 1;
    int rowSpan = 1;
};

// A cell of the grid, in reading order (row by row, left to right).
struct TableGridCell {
    int row = 0; // its row
    int index = 0; // its position among the cells the builder gave for that row
    int column = 0; // its slot in the row once the placeholders are in place
    int colSpan = 1;
    int rowSpan = 1; // cut to the rows from its own to the last
};

// One slot of a grid row: the cell itself, or an empty placeholder that
// belongs to a cell (after it in the same row for COLSPAN, in a row below for
// ROWSPAN).
struct TableGridSlot {
    enum class Kind { Cell, ColumnPlaceholder, RowPlaceholder };
    Kind kind = Kind::Cell;
    int cell = 0; // index into TableGrid::cells of the cell or of the placeholder's owner
};

struct TableGrid {
    std::vector<std::vector<TableGridSlot>> rows; // rows may be shorter than columnCount
    std::vector<TableGridCell> cells;
    int columnCount = 0; // length of the longest row
};

enum class TableGridStatus { Ok, TooManyColumns };

struct TableGridResult {
    TableGridStatus status = TableGridStatus::Ok;
    std::string message; // kTableTooManyColumnsMessage when refused, empty otherwise
    TableGrid grid; // empty when refused
};

// Builds the grid of a table from its rows of cells (once per table):
//  1. each cell with COLSPAN n is followed in its row by n - 1 placeholders;
//  2. rows are then taken top to bottom: a cell with ROWSPAN m is cut to the
//     rows left (m at most rows - row), and each of the m - 1 rows below gets
//     placeholders at the cell's slot (one for each column the cell spans),
//     inserted there, or appended when that row is shorter;
//  3. the column count is the length of the longest row.
// A row longer than kTableMaxColumns at any step refuses the table with
// TooManyColumns and kTableTooManyColumnsMessage; building stops there, so a
// huge COLSPAN never allocates more than that. Never throws on its input.
TableGridResult BuildTableGrid(const std::vector<std::vector<TableCellSpan>>& rows);

} // namespace orbita::html
