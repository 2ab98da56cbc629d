// Tables: the plan of a table (grid, cell attributes, column widths), its
// measure, and its layout: row heights, cell boxes, backgrounds and frames.

#include "htmlview/document_tables.h"
#include "htmlview/layout_engine.h"
#include "htmlview/table_widths.h"

namespace orbita::html::layout_detail {

struct Engine::TablePlan {
    TableId id = 0;
    const Table* table = nullptr;
    TableAttributes attributes;
    TableGrid grid;
    std::vector<TableCellAttributes> cellAttributes; // per grid cell
    std::vector<const TableCell*> cells; // per grid cell
    TableWidths widths;
    int border = 0; // outer frame width
    int outerWidth = 0; // the table with its frame
    int available = 0; // the width it was planned for
};

MinMax Engine::measureTable(TableId id, int depth)
{
    TablePlan plan;
    if (!planTable(id, 0, depth, plan))
        return {};
    const int overhead = plan.attributes.cellSpacing + 2 * plan.border;
    // Without a width for the columns: the minimum is every column at its
    // minimum, the maximum every column at its maximum.
    MinMax result;
    long long minimum = 0;
    long long maximum = 0;
    {
        std::vector<TableCellWidthInput> cells;
        cells.reserve(plan.grid.cells.size());
        for (std::size_t c = 0; c < plan.grid.cells.size(); ++c) {
            const MinMax content = measureFlow(plan.cells[c]->content, depth + 1);
            cells.push_back(TableCellWidthInput { plan.grid.cells[c].column, plan.grid.cells[c].colSpan,
                content.min, content.max, plan.cellAttributes[c].width });
        }
        const TableColumnBounds bounds = MeasureTableColumns(
            plan.grid.columnCount, cells, plan.attributes.cellPadding, plan.attributes.cellSpacing);
        minimum = bounds.totalMinimum;
        maximum = bounds.totalMaximum;
    }
    result.min = ClampCoordinate(minimum + overhead);
    result.max = ClampCoordinate(maximum + overhead);
    if (plan.attributes.width.isPixels()) {
        result.min = std::max(result.min, plan.attributes.width.value + 2 * plan.border);
        result.max = std::max(result.min, plan.attributes.width.value + 2 * plan.border);
    }
    if (plan.table->caption) {
        const MinMax caption = measureFlow(plan.table->caption->content, depth + 1);
        result.min = std::max(result.min, caption.min);
    }
    return result;
}

bool Engine::planTable(TableId id, int availableWidth, int depth, TablePlan& plan)
{
    if (id >= m_doc.tables.size())
        return false;
    if (depth > kMaxLayoutDepth)
        return fail("Page nests too deeply");
    const Table& table = m_doc.tables[id];
    plan.id = id;
    plan.table = &table;
    plan.attributes = ReadTableAttributes(TableLookupOf(table.attributes));
    TableGridResult grid = BuildGridOf(table);
    if (grid.status != TableGridStatus::Ok)
        return fail(grid.message);
    plan.grid = std::move(grid.grid);
    plan.cells.clear();
    plan.cellAttributes.clear();
    for (const TableGridCell& cell : plan.grid.cells) {
        const TableCell* source
            = &table.rows[static_cast<std::size_t>(cell.row)].cells[static_cast<std::size_t>(cell.index)];
        plan.cells.push_back(source);
        plan.cellAttributes.push_back(
            ReadTableCellAttributes(TableLookupOf(source->attributes), source->header));
    }
    plan.border = plan.attributes.border ? std::clamp(plan.attributes.borderWidth, 1, 20) : 0;
    plan.available = availableWidth;
    if (availableWidth > 0) {
        TableWidthInput input;
        input.columnCount = plan.grid.columnCount;
        input.cellPadding = plan.attributes.cellPadding;
        input.cellSpacing = plan.attributes.cellSpacing;
        input.width = plan.attributes.width;
        if (input.width.isPixels())
            input.width.value = std::max(0, input.width.value - 2 * plan.border);
        input.availableWidth = std::max(0, availableWidth - 2 * plan.border);
        input.cells.reserve(plan.grid.cells.size());
        for (std::size_t c = 0; c < plan.grid.cells.size(); ++c) {
            const MinMax content = measureFlow(plan.cells[c]->content, depth + 1);
            if (!m_error.empty())
                return false;
            input.cells.push_back(TableCellWidthInput { plan.grid.cells[c].column, plan.grid.cells[c].colSpan,
                content.min, content.max, plan.cellAttributes[c].width });
        }
        plan.widths = ComputeTableWidths(input);
        plan.outerWidth = plan.widths.tableWidth + 2 * plan.border;
    }
    return m_error.empty();
}

// Row heights and vertical placement:
//  - Each cell is laid out at y = 0 in its own context at the width of its
//    columns less spacing and padding; its height is its content (floats
//    included) plus twice the padding, at least its HEIGHT.
//  - A row is as high as its highest cell that spans only that row (an empty
//    row is 0 high). Cells spanning rows are taken after, fewest rows first:
//    when one is higher than its rows together (with the spacing between
//    them), the last of its rows grows by the difference.
//  - Rows then stand one below the other with the cell spacing between
//    them; a cell's box covers its rows, its content moves to the top, the
//    middle (the default) or the bottom of the box, less the padding.
int Engine::layoutTable(const TablePlan& plan, int x, int y, int depth)
{
    const Table& table = *plan.table;
    const int spacing = plan.attributes.cellSpacing;
    const int padding = plan.attributes.cellPadding;
    const int border = plan.border;
    const int columns = plan.grid.columnCount;
    std::vector<int> columnX(static_cast<std::size_t>(columns) + 1, 0);
    {
        long long cx = spacing;
        for (int c = 0; c < columns; ++c) {
            columnX[static_cast<std::size_t>(c)] = ClampCoordinate(cx);
            cx += plan.widths.columns[static_cast<std::size_t>(c)];
        }
        columnX[static_cast<std::size_t>(columns)] = ClampCoordinate(cx);
    }
    const int tableWidth = plan.widths.tableWidth;
    const std::optional<Rgb> tableBackground = ParseColour(plan.attributes.background);

    // The table frame and background stand first.
    const std::size_t frameItem = m_out.items.size();
    if (border > 0)
        m_out.items.push_back(PaintItem {});

    // Caption above.
    int top = y;
    // The caption wraps at the table's width; it is wider only when one of
    // its words (or pictures) is wider than the table.
    int captionWidth = tableWidth + 2 * border;
    if (table.caption)
        captionWidth = std::max(captionWidth, measureFlow(table.caption->content, depth + 1).min);
    auto layoutCaption = [&](int at) {
        Context captionContext;
        return layoutFlow(
            table.caption->content, captionContext, x, x + captionWidth, x, at, depth + 1, nullptr);
    };
    if (table.caption && !table.caption->bottom)
        top = layoutCaption(top);
    if (!m_error.empty())
        return 0;

    const int rows = static_cast<int>(plan.grid.rows.size());
    std::vector<int> rowHeight(static_cast<std::size_t>(rows), 0);
    struct CellBox {
        OutputMark mark;
        OutputMark end;
        std::size_t backgroundItem = SIZE_MAX;
        int contentHeight = 0;
        int height = 0; // needed, padding included
        int x = 0;
        int width = 0;
    };
    std::vector<CellBox> boxes(plan.grid.cells.size());
    // This table's row numbers, taken before its cells (and the tables in
    // them) are laid out.
    const std::uint32_t firstRow = m_tableRows + 1;
    m_tableRows += static_cast<std::uint32_t>(std::max(rows, 0)) + 1;
    for (std::size_t c = 0; c < plan.grid.cells.size(); ++c) {
        const TableGridCell& cell = plan.grid.cells[c];
        CellBox& box = boxes[c];
        const int firstColumn = std::clamp(cell.column, 0, columns);
        const int lastColumn = std::clamp(cell.column + cell.colSpan, 0, columns);
        box.x = columnX[static_cast<std::size_t>(firstColumn)];
        box.width = std::max(0, columnX[static_cast<std::size_t>(lastColumn)] - box.x - spacing);
        box.backgroundItem = m_out.items.size();
        m_out.items.push_back(PaintItem {}); // background and frame, known once the rows are
        m_out.items.push_back(PaintItem {});
        box.mark = mark();
        Context cellContext;
        const int contentLeft = padding;
        const int contentRight = std::max(contentLeft, box.width - padding);
        const int bottom = layoutFlow(plan.cells[c]->content, cellContext, contentLeft, contentRight,
            contentLeft, 0, depth + 1, nullptr);
        if (!m_error.empty())
            return 0;
        box.end = mark();
        // Lines not yet claimed by a cell of a nested table are this cell's.
        const std::uint32_t cellNumber = ++m_tableCells;
        for (std::size_t l = box.mark.lines; l < box.end.lines; ++l) {
            TextLine& line = m_out.lines[l];
            if (line.cell == 0) {
                line.cell = cellNumber;
                line.row = firstRow + static_cast<std::uint32_t>(std::max(cell.row, 0));
            }
        }
        box.contentHeight = std::max(bottom, cellContext.floatsBottom());
        box.height = box.contentHeight + 2 * padding;
        if (plan.cellAttributes[c].height)
            box.height = std::max(box.height, std::clamp(*plan.cellAttributes[c].height, 0, kTableMaxPixels));
        if (cell.rowSpan == 1 && cell.row < rows)
            rowHeight[static_cast<std::size_t>(cell.row)]
                = std::max(rowHeight[static_cast<std::size_t>(cell.row)], box.height);
    }
    // HEIGHT of a row (a common extension): the row is at least that high.
    for (int r = 0; r < rows && r < static_cast<int>(table.rows.size()); ++r) {
        const TableAttributeLookup lookup = TableLookupOf(table.rows[static_cast<std::size_t>(r)].attributes);
        if (const auto text = lookup("HEIGHT"))
            if (const auto height = ParseTableInteger(*text); height && *height > 0)
                rowHeight[static_cast<std::size_t>(r)]
                    = std::max(rowHeight[static_cast<std::size_t>(r)], *height);
    }
    // Cells spanning rows, fewest rows first.
    std::vector<std::size_t> spanning;
    for (std::size_t c = 0; c < plan.grid.cells.size(); ++c)
        if (plan.grid.cells[c].rowSpan > 1)
            spanning.push_back(c);
    std::stable_sort(spanning.begin(), spanning.end(), [&](std::size_t a, std::size_t b) {
        return plan.grid.cells[a].rowSpan < plan.grid.cells[b].rowSpan;
    });
    for (std::size_t c : spanning) {
        const TableGridCell& cell = plan.grid.cells[c];
        const int last = std::min(rows, cell.row + cell.rowSpan) - 1;
        long long total = static_cast<long long>(last - cell.row) * spacing;
        for (int r = cell.row; r <= last; ++r)
            total += rowHeight[static_cast<std::size_t>(r)];
        if (boxes[c].height > total)
            rowHeight[static_cast<std::size_t>(last)] += static_cast<int>(boxes[c].height - total);
    }
    std::vector<int> rowY(static_cast<std::size_t>(rows) + 1, 0);
    {
        long long ry = top + border + spacing;
        for (int r = 0; r < rows; ++r) {
            rowY[static_cast<std::size_t>(r)] = ClampCoordinate(ry);
            ry += rowHeight[static_cast<std::size_t>(r)] + spacing;
        }
        rowY[static_cast<std::size_t>(rows)] = ClampCoordinate(ry);
    }
    const int tableHeight = rowY[static_cast<std::size_t>(rows)] - top + border;

    // Place the cells.
    for (std::size_t c = 0; c < plan.grid.cells.size(); ++c) {
        const TableGridCell& cell = plan.grid.cells[c];
        CellBox& box = boxes[c];
        const int last = std::min(rows, cell.row + cell.rowSpan) - 1;
        const int cellY = rowY[static_cast<std::size_t>(cell.row)];
        const int cellHeight = rowY[static_cast<std::size_t>(last) + 1] - spacing - cellY;
        const Rect rect { x + border + box.x, cellY, box.width, cellHeight };
        const TableRow& row = table.rows[static_cast<std::size_t>(cell.row)];
        const TableCellAttributes& attributes = plan.cellAttributes[c];
        const TableRowAttributes rowAttributes = ReadTableRowAttributes(TableLookupOf(row.attributes));
        std::optional<Rgb> background = ParseColour(attributes.background);
        if (!background)
            background = ParseColour(rowAttributes.background);
        if (!background)
            background = tableBackground;
        if (background) {
            PaintItem& fill = m_out.items[box.backgroundItem];
            fill.kind = PaintItem::Kind::Fill;
            fill.rect = rect;
            fill.colour = *background;
        } else {
            m_out.items[box.backgroundItem].kind = PaintItem::Kind::ClipPop; // a no-op: nothing is pushed
            m_out.items[box.backgroundItem].rect = Rect { rect.x, rect.y, 0, 0 };
        }
        PaintItem& frame = m_out.items[box.backgroundItem + 1];
        if (border > 0) {
            frame.kind = PaintItem::Kind::Frame;
            frame.rect = Rect { rect.x - 1, rect.y - 1, rect.width + 2, rect.height + 2 };
            frame.lineWidth = 1;
            frame.colour = 0x808080;
            frame.colour2 = 0xE0E0E0;
        } else {
            frame.kind = PaintItem::Kind::ClipPop;
            frame.rect = Rect { rect.x, rect.y, 0, 0 };
        }
        const CellVAlign valign = EffectiveCellVAlign(attributes, rowAttributes);
        const int free = std::max(0, cellHeight - 2 * padding - box.contentHeight);
        int dy = cellY + padding;
        if (valign == CellVAlign::Middle)
            dy += free / 2;
        else if (valign == CellVAlign::Bottom)
            dy += free;
        shift(box.mark, box.end, x + border + box.x, dy);
    }
    if (border > 0) {
        PaintItem& frame = m_out.items[frameItem];
        frame.kind = PaintItem::Kind::Frame;
        frame.rect = Rect { x, top, tableWidth + 2 * border, tableHeight };
        frame.lineWidth = border;
        const std::optional<Rgb> colour = ParseColour(plan.attributes.borderColor);
        frame.colour = colour.value_or(0xE0E0E0);
        frame.colour2 = colour.value_or(0x808080);
    }
    int bottom = top + tableHeight;
    if (table.caption && table.caption->bottom)
        bottom = layoutCaption(bottom);
    m_widest = std::max(m_widest, x + captionWidth);
    return bottom - y;
}

int Engine::layoutTableBlock(TableId id, Context& context, int left, int right, int y, int depth)
{
    if (id >= m_doc.tables.size())
        return y;
    const Table& table = m_doc.tables[id];
    TablePlan plan;
    int l = left;
    int r = right;
    context.span(y, 1, l, r);
    if (!planTable(id, std::max(1, r - l), depth, plan))
        return y;
    TableAlign align = plan.attributes.align;
    if (align == TableAlign::Inherit)
        align = table.enclosingAlign == Align::Center ? TableAlign::Center
            : table.enclosingAlign == Align::Right    ? TableAlign::Right
                                                      : TableAlign::Inherit;
    const bool floating
        = plan.attributes.align == TableAlign::Left || plan.attributes.align == TableAlign::Right;
    const int width = plan.outerWidth;
    if (floating) {
        const int hspace = plan.attributes.hSpace;
        const bool atLeft = plan.attributes.align == TableAlign::Left;
        // The height is known only after the layout: lay out, then place.
        const OutputMark before = mark();
        const int height = layoutTable(plan, 0, 0, depth);
        const Rect box = placeFloat(context, left, right, y, width + hspace, height, atLeft);
        context.add(Float { Rect { box.x, box.y, box.width, box.height + 2 }, atLeft });
        shift(before, mark(), atLeft ? box.x : box.x + hspace, box.y);
        m_widest = std::max(m_widest, box.right());
        return y;
    }
    // Not floating: below floats that leave no room for it.
    if (r - l < width) {
        for (int guard = 0; guard < 100000 && r - l < width; ++guard) {
            const int next = context.nextFloatEnd(y);
            if (next == INT_MAX)
                break;
            y = next;
            l = left;
            r = right;
            context.span(y, 1, l, r);
        }
    }
    int x = l;
    if (align == TableAlign::Center)
        x = l + std::max(0, (r - l - width) / 2);
    else if (align == TableAlign::Right)
        x = std::max(l, r - width);
    const int height = layoutTable(plan, x, y, depth);
    return y + height;
}

} // namespace orbita::html::layout_detail
