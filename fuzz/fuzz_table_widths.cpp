// Random tables through the grid and the column widths: spans of any size,
// content widths, padding, spacing and widths of any value. Checks that the
// grid keeps its shape and that the widths add up and respect the minimums.
#include "htmlview/table_attributes.h"
#include "htmlview/table_grid.h"
#include "htmlview/table_widths.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <numeric>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace orbita::html;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// Mostly small values, sometimes anything.
int smallOrAny(FuzzedDataProvider& data, int low, int high)
{
    if (data.ConsumeIntegralInRange<int>(0, 7) == 0)
        return data.ConsumeIntegral<int>();
    return data.ConsumeIntegralInRange<int>(low, high);
}

TableLength length(FuzzedDataProvider& data)
{
    switch (data.ConsumeIntegralInRange<int>(0, 3)) {
    case 1:
        return { TableLength::Kind::Pixels, smallOrAny(data, 0, 2000) };
    case 2:
        return { TableLength::Kind::Percent, smallOrAny(data, 10, 1000) };
    case 3:
        return ParseTableLength(data.ConsumeRandomLengthString(12));
    default:
        return {};
    }
}

// TABLE attributes with values written by the fuzzer, read the way the
// document builder reads them; their limits must hold whatever the text.
TableAttributes readTable(FuzzedDataProvider& data)
{
    std::string values[5];
    for (std::string& value : values)
        value = data.ConsumeRandomLengthString(16);
    const TableAttributes table
        = ReadTableAttributes([&values](std::string_view name) -> std::optional<std::string_view> {
              const std::string_view names[] = { "BORDER", "CELLPADDING", "CELLSPACING", "WIDTH", "HSPACE" };
              for (std::size_t i = 0; i < std::size(names); ++i) {
                  if (name == names[i] && !values[i].empty())
                      return values[i] == "-" ? std::string_view() : std::string_view(values[i]);
              }
              return std::nullopt;
          });
    check(table.cellPadding >= 0 && table.cellPadding <= 50);
    check(table.cellSpacing >= 0 && table.cellSpacing <= 42);
    check(!table.border || table.cellSpacing >= 2);
    check(table.hSpace >= 0 && table.hSpace <= 20);
    check(table.width.kind != TableLength::Kind::Percent
        || (table.width.value >= 10 && table.width.value <= 1000));
    check(table.width.kind != TableLength::Kind::Pixels
        || (table.width.value >= 0 && table.width.value <= kTableMaxPixels));
    return table;
}

void checkGrid(const TableGrid& grid)
{
    int longest = 0;
    for (const auto& row : grid.rows) {
        check(row.size() <= static_cast<std::size_t>(kTableMaxColumns));
        longest = std::max(longest, static_cast<int>(row.size()));
        for (const TableGridSlot& slot : row)
            check(slot.cell >= 0 && static_cast<std::size_t>(slot.cell) < grid.cells.size());
    }
    check(longest == grid.columnCount);
    for (std::size_t i = 0; i < grid.cells.size(); ++i) {
        const TableGridCell& cell = grid.cells[i];
        const auto& row = grid.rows[static_cast<std::size_t>(cell.row)];
        check(cell.column >= 0 && static_cast<std::size_t>(cell.column + cell.colSpan) <= row.size());
        check(row[static_cast<std::size_t>(cell.column)].kind == TableGridSlot::Kind::Cell);
        check(row[static_cast<std::size_t>(cell.column)].cell == static_cast<int>(i));
        check(cell.rowSpan >= 1 && cell.row + cell.rowSpan <= static_cast<int>(grid.rows.size()));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    FuzzedDataProvider data(bytes, size);
    std::vector<std::vector<TableCellSpan>> rows(data.ConsumeIntegralInRange<std::size_t>(0, 40));
    for (auto& row : rows) {
        row.resize(data.ConsumeIntegralInRange<std::size_t>(0, 34));
        for (TableCellSpan& span : row)
            span = { smallOrAny(data, 0, 4), smallOrAny(data, 0, 6) };
    }
    const TableGridResult result = BuildTableGrid(rows);
    if (result.status != TableGridStatus::Ok) {
        check(result.message == kTableTooManyColumnsMessage);
        check(result.grid.rows.empty() && result.grid.cells.empty());
        return 0;
    }
    checkGrid(result.grid);

    TableWidthInput input;
    input.columnCount = result.grid.columnCount;
    if (data.ConsumeBool()) {
        const TableAttributes table = readTable(data);
        input.cellPadding = table.cellPadding;
        input.cellSpacing = table.cellSpacing;
        input.width = table.width;
    } else {
        input.cellPadding = smallOrAny(data, 0, 60);
        input.cellSpacing = smallOrAny(data, 0, 45);
        input.width = length(data);
    }
    input.availableWidth = smallOrAny(data, 0, 3000);
    for (const TableGridCell& cell : result.grid.cells) {
        input.cells.push_back(
            { cell.column, cell.colSpan, smallOrAny(data, 0, 500), smallOrAny(data, 0, 1500), length(data) });
    }
    const TableWidths widths = ComputeTableWidths(input);
    const int spacing = std::clamp(input.cellSpacing, 0, 42);
    const TableColumnBounds bounds
        = MeasureTableColumns(input.columnCount, input.cells, input.cellPadding, spacing);

    check(widths.columns.size() == static_cast<std::size_t>(input.columnCount));
    check(widths.columnSpace >= 20);
    const std::int64_t total
        = std::accumulate(widths.columns.begin(), widths.columns.end(), std::int64_t { 0 });
    check(widths.tableWidth == spacing + total);
    for (std::size_t i = 0; i < widths.columns.size(); ++i) {
        check(bounds.minimum[i] <= bounds.maximum[i]);
        check(widths.columns[i] >= bounds.minimum[i]);
    }
    check(total <= std::max<std::int64_t>(widths.columnSpace, bounds.totalMinimum) + input.columnCount);
    if (input.columnCount > 0 && input.width.kind != TableLength::Kind::None
        && bounds.totalMinimum < widths.columnSpace)
        check(total == widths.columnSpace);
    return 0;
}
