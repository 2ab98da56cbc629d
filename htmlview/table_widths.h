#pragma once

#include "htmlview/table_attributes.h"

#include <span>
#include <vector>

namespace orbita::html {

// What the layout hands in for one cell (placeholders are not cells).
struct TableCellWidthInput {
    int column = 0; // first column of the cell (TableGridCell::column)
    int colSpan = 1; // columns it spans (TableGridCell::colSpan)
    int minContent = 0; // width of its widest unbreakable item, pixels
    int maxContent = 0; // width of its content on one line, pixels
    TableLength width; // its WIDTH: pixels, or per cent of the table width
};

// Everything the column widths of one table depend on.
struct TableWidthInput {
    int columnCount = 0; // TableGrid::columnCount
    int cellPadding = 1; // TableAttributes::cellPadding
    int cellSpacing = 2; // TableAttributes::cellSpacing (border rule applied)
    TableLength width; // the table's WIDTH
    int availableWidth = 0; // width of the enclosing flow at the table's position
    std::vector<TableCellWidthInput> cells;
};

// Minimum and maximum widths of the columns, cell overhead included.
struct TableColumnBounds {
    std::vector<int> minimum;
    std::vector<int> maximum; // never below the minimum of the same column
    std::vector<int> percent; // tenths of a per cent, 0 for none; each at most 1000
    std::vector<bool> pixelWidth; // a single-column cell of the column has a WIDTH in pixels
    int totalMinimum = 0;
    int totalMaximum = 0;
    int percentSum = 0; // tenths; may exceed 1000
    bool anyPixelWidth = false; // some cell has a WIDTH in pixels
};

struct TableWidths {
    std::vector<int> columns; // width of each column, cell overhead included
    int columnSpace = 0; // width for the columns (table width minus spacing, at least 20)
    int tableWidth = 0; // cellSpacing plus the sum of the columns
};

// Column minimum and maximum pass.
// Takes: the column count (limited to kTableMaxColumns), the cells with their
// content widths, CELLPADDING and CELLSPACING. Values are limited first:
// padding 0..50, spacing 0..42, content widths 0..kTableMaxPixels, a maximum
// below its minimum is raised to it; cells outside the columns are skipped and
// spans cut to the last column.
// Gives: per column the minimum and maximum (content + 2 x padding + spacing),
// where cells spanning one column are taken first (a WIDTH in pixels w makes
// the minimum max(min, w + overhead) and the maximum max(that minimum,
// w + overhead)) and a column takes the largest over its cells; then cells
// spanning 2, 3, ... columns (in reading order within one span) spread the
// excess of their minimum, then of their maximum, over their columns in
// proportion to the columns' current values, each share rounded to the nearest
// (a x b / c); columns whose values are all 0 share it equally, the remainder
// going to the first ones. After a cell's minimum is spread, a column's
// maximum is raised to its minimum. Per cent widths: a column takes the largest
// of its single-column cells; a spanning cell whose per cent exceeds the sum
// of its columns' spreads the excess equally over its columns without a per
// cent (over all of them when each has one).
TableColumnBounds MeasureTableColumns(
    int columnCount, std::span<const TableCellWidthInput> cells, int cellPadding, int cellSpacing);

// The width for the columns: the available width, or the table's WIDTH in
// pixels, or its per cent of the available width (rounded to the nearest),
// minus the cell spacing; at least 20.
int TableColumnSpace(const TableLength& tableWidth, int availableWidth, int cellSpacing);

// Column widths when no cell has a WIDTH in pixels or the table has a WIDTH.
// Takes the bounds, the width for the columns and whether the table has a
// WIDTH. Every a x b / c below is rounded to the nearest.
//  - total minimum >= space: the minimums;
//  - per cent sum P is 0 or above 1000 and no table WIDTH: below the total
//    maximum (which exceeds the total minimum) min + (max - min) x (space -
//    total min) / (total max - total min), otherwise the maximums;
//  - 0 < P <= 1000, no table WIDTH: needed = the larger of max x 1000 /
//    percent over per cent columns and N x 1000 / (1000 - P) for the sum N of
//    the other maximums (30000 when P is 1000 and N is not 0); when space >=
//    needed, per cent columns get needed x percent / 1000 and the others share
//    needed x (1000 - P) / 1000 in proportion to their maximums (equally when
//    these are all 0); no column below its minimum.
//  - otherwise (table WIDTH, or space < needed) the columns fill the space
//    exactly: per cent columns (only when 0 < P <= 1000) aim at space x
//    percent / 1000 but not below their minimum, and shrink towards their
//    minimums when the others' minimums would not fit; the others get the rest,
//    interpolated between their minimums and maximums, or their maximums plus
//    the excess in proportion to them, given only to columns without a WIDTH
//    in pixels while there are such columns (equally when their maximums are
//    all 0). Rounding leftovers go one pixel at a
//    time to the last columns (taken only from columns above their minimum).
std::vector<int> PercentColumnWidths(const TableColumnBounds& bounds, int columnSpace, bool tableHasWidth);

// Column widths when some cell has a WIDTH in pixels and the table has none.
// Every a x b / c is rounded to the nearest.
//  - total minimum >= space: the minimums;
//  - space < total maximum: min + (max - min) x (space - total min) / (total
//    max - total min) (the totals cannot be equal here, the space lying
//    strictly between them, so no rule for equal totals is needed);
//  - otherwise the maximums.
std::vector<int> PixelColumnWidths(const TableColumnBounds& bounds, int columnSpace);

// The whole pass: bounds, space, the procedure that applies, table width.
TableWidths ComputeTableWidths(const TableWidthInput& input);

} // namespace orbita::html
