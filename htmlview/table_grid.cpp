#include "htmlview/table_grid.h"

#include <algorithm>
#include <cstdint>

namespace orbita::html {
namespace {

TableGridResult refused()
{
    TableGridResult result;
    result.status = TableGridStatus::TooManyColumns;
    result.message = std::string(kTableTooManyColumnsMessage);
    return result;
}

} // namespace

TableGridResult BuildTableGrid(const std::vector<std::vector<TableCellSpan>>& rows)
{
    TableGridResult result;
    TableGrid& grid = result.grid;
    const int rowCount = static_cast<int>(std::min<std::size_t>(rows.size(), INT32_MAX));
    grid.rows.resize(static_cast<std::size_t>(rowCount));

    // Step 1: the cells of each row, each followed by its column placeholders.
    for (int r = 0; r < rowCount; ++r) {
        const auto& input = rows[static_cast<std::size_t>(r)];
        std::int64_t length = 0;
        for (const TableCellSpan& span : input) {
            length += std::max(span.colSpan, 1);
            if (length > kTableMaxColumns)
                return refused();
        }
        auto& slots = grid.rows[static_cast<std::size_t>(r)];
        slots.reserve(static_cast<std::size_t>(length));
        for (std::size_t i = 0; i < input.size(); ++i) {
            TableGridCell cell;
            cell.row = r;
            cell.index = static_cast<int>(i);
            cell.colSpan = std::max(input[i].colSpan, 1);
            cell.rowSpan = std::max(input[i].rowSpan, 1);
            const int owner = static_cast<int>(grid.cells.size());
            grid.cells.push_back(cell);
            slots.push_back({ TableGridSlot::Kind::Cell, owner });
            for (int k = 1; k < cell.colSpan; ++k)
                slots.push_back({ TableGridSlot::Kind::ColumnPlaceholder, owner });
        }
    }

    // Step 2: row placeholders. Only rows above insert into a row, so a row is
    // final when it is reached and its slots give the cells' columns.
    for (int r = 0; r < rowCount; ++r) {
        const auto& slots = grid.rows[static_cast<std::size_t>(r)];
        for (std::size_t column = 0; column < slots.size(); ++column) {
            const TableGridSlot slot = slots[column];
            if (slot.kind != TableGridSlot::Kind::Cell)
                continue;
            TableGridCell& cell = grid.cells[static_cast<std::size_t>(slot.cell)];
            cell.column = static_cast<int>(column);
            cell.rowSpan = std::min(cell.rowSpan, rowCount - r);
            for (int below = r + 1; below < r + cell.rowSpan; ++below) {
                auto& target = grid.rows[static_cast<std::size_t>(below)];
                if (target.size() + static_cast<std::size_t>(cell.colSpan) > kTableMaxColumns)
                    return refused();
                const std::size_t at = std::min(column, target.size());
                target.insert(target.begin() + static_cast<std::ptrdiff_t>(at),
                    static_cast<std::size_t>(cell.colSpan),
                    { TableGridSlot::Kind::RowPlaceholder, slot.cell });
            }
        }
    }

    // Step 3: the column count.
    for (const auto& slots : grid.rows)
        grid.columnCount = std::max(grid.columnCount, static_cast<int>(slots.size()));
    return result;
}

} // namespace orbita::html
