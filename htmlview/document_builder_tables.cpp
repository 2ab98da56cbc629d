// Builder rules for tables: rows, cells and captions, the state a table
// restores at each cell and at its end, and closing what a table end closes.

#include "htmlview/document_builder_state.h"

namespace orbita::html::builder_detail {

std::optional<std::size_t> DocumentBuilder::innermostTable() const
{
    for (std::size_t i = m_contexts.size(); i-- > 0;) {
        if (m_contexts[i].kind == Context::Kind::Table)
            return i;
    }
    return std::nullopt;
}

// Recovery: font and alignment end tags inside a table never pop what was
// opened outside it; these are the depths they stop at.
std::size_t DocumentBuilder::markFloor() const
{
    const std::optional<std::size_t> table = innermostTable();
    return table ? m_contexts[*table].snapshot.fontMarks : 0;
}

std::size_t DocumentBuilder::alignFloor() const
{
    const std::optional<std::size_t> table = innermostTable();
    return table ? m_contexts[*table].snapshot.alignDepth : 0;
}

Snapshot DocumentBuilder::takeSnapshot() const
{
    return Snapshot { m_fonts.size(), m_fontMarks.size(), m_flags, m_containerAlign, m_alignStack.size(),
        m_blockAlign };
}

// Pops the fonts pushed since the snapshot and restores its styles and alignment.
void DocumentBuilder::restore(const Snapshot& snapshot)
{
    m_fonts.resize(std::min(m_fonts.size(), snapshot.fontDepth));
    m_fontMarks.resize(std::min(m_fontMarks.size(), snapshot.fontMarks));
    m_flags = snapshot.flags;
    m_alignStack.resize(std::min(m_alignStack.size(), snapshot.alignDepth));
    m_containerAlign = snapshot.containerAlign;
    m_blockAlign = snapshot.blockAlign;
}

void DocumentBuilder::startTable(const AttributeList& attributes)
{
    closeBlock();
    if (nestingFull(ElementId::Table))
        return;
    // Recovery: a table started in another table outside its cells and
    // caption (in a row without TD, or between rows) opens a cell of the
    // current row for itself, so that it stays in its place among the cells.
    const bool impliedCell = !m_contexts.empty() && m_contexts.back().kind == Context::Kind::Table
        && m_contexts.back().currentFlow == kNone;
    if (impliedCell)
        startCell(false, {});
    Table table;
    table.enclosingAlign = m_blockAlign;
    table.attributes = attributes;
    m_doc.tables.push_back(std::move(table));

    Context context;
    context.kind = Context::Kind::Table;
    context.element = ElementId::Table;
    context.id = static_cast<TableId>(m_doc.tables.size() - 1);
    context.enclosingFlow = currentFlow();
    context.snapshot = takeSnapshot();
    context.inImpliedCell = impliedCell;
    m_contexts.push_back(context);
    m_hasContent = true;
}

// The innermost table with the lists opened inside it closed; null when
// there is no table. Recovery: a row, cell or caption tag closes the lists
// left open in the previous cell, and is ignored outside a table.
Context* DocumentBuilder::tableForCellTag()
{
    const std::optional<std::size_t> table = innermostTable();
    if (!table)
        return nullptr;
    if (*table + 1 < m_contexts.size())
        closeContextsDownTo(*table + 1);
    return &m_contexts.back();
}

void DocumentBuilder::leaveCell(Context& table)
{
    closeBlock();
    table.currentFlow = kNone;
    restore(table.snapshot);
}

void DocumentBuilder::startRow(const AttributeList& attributes)
{
    Context* table = tableForCellTag();
    if (!table)
        return;
    leaveCell(*table);
    TableRow row;
    row.align = ParseAlign(TextOf(attributes, AttributeId::Align));
    row.valign = ParseVerticalAlign(TextOf(attributes, AttributeId::Valign));
    row.attributes = attributes;
    m_doc.tables[table->id].rows.push_back(std::move(row));
    table->rowOpen = true;
}

void DocumentBuilder::startCell(bool header, const AttributeList& attributes)
{
    Context* table = tableForCellTag();
    if (!table)
        return;
    leaveCell(*table);
    std::vector<TableRow>& rows = m_doc.tables[table->id].rows;
    if (!table->rowOpen || rows.empty()) {
        // Recovery: a cell outside a row opens one.
        rows.emplace_back();
        table->rowOpen = true;
    }
    TableRow& row = rows.back();
    TableCell cell;
    cell.header = header;
    cell.align = ParseAlign(TextOf(attributes, AttributeId::Align))
                     .value_or(row.align.value_or(header ? Align::Center : Align::Left));
    cell.valign = ParseVerticalAlign(TextOf(attributes, AttributeId::Valign));
    if (!cell.valign)
        cell.valign = row.valign;
    cell.colspan
        = std::clamp(ParseNumber(GetAttribute(attributes, AttributeId::Colspan)).value_or(1), 1, kMaxSpan);
    cell.rowspan
        = std::clamp(ParseNumber(GetAttribute(attributes, AttributeId::Rowspan)).value_or(1), 1, kMaxSpan);
    cell.attributes = attributes;
    cell.content = newFlow();
    table->currentFlow = cell.content;
    row.cells.push_back(std::move(cell));

    m_flags.bold = m_flags.bold || header;
    m_alignStack.push_back(m_containerAlign);
    m_containerAlign = row.cells.back().align;
    m_blockAlign = m_containerAlign;
}

void DocumentBuilder::startCaption(const AttributeList& attributes)
{
    Context* table = tableForCellTag();
    if (!table)
        return;
    leaveCell(*table);
    const FlowId flow = newFlow();
    m_doc.tables[table->id].caption
        = TableCaption { flow, Lower(TextOf(attributes, AttributeId::Align)) == "bottom" };
    table->currentFlow = flow;
    m_alignStack.push_back(m_containerAlign);
    m_containerAlign = Align::Center;
    m_blockAlign = Align::Center;
}

void DocumentBuilder::endCell()
{
    if (Context* table = tableForCellTag())
        leaveCell(*table);
}

void DocumentBuilder::endCaption()
{
    const std::optional<std::size_t> index = innermostTable();
    if (!index)
        return;
    const Table& table = m_doc.tables[m_contexts[*index].id];
    if (table.caption && m_contexts[*index].currentFlow == table.caption->content)
        endCell();
}

void DocumentBuilder::endRow()
{
    if (Context* table = tableForCellTag()) {
        leaveCell(*table);
        table->rowOpen = false;
    }
}

void DocumentBuilder::endTable()
{
    if (droppedEnd(ElementId::Table))
        return;
    std::optional<std::size_t> table = innermostTable();
    if (!table)
        return;
    // Recovery: such a table was left open by its author: the end tag
    // closes it together with the table it stands in, so that what follows
    // comes after the outer table, not inside or before it.
    while (m_contexts[*table].inImpliedCell) {
        std::optional<std::size_t> outer;
        for (std::size_t i = *table; i-- > 0;) {
            if (m_contexts[i].kind == Context::Kind::Table) {
                outer = i;
                break;
            }
        }
        if (!outer)
            break;
        table = outer;
    }
    closeContextsDownTo(*table);
}

// Closes the open lists and tables from the innermost down to `index`.
void DocumentBuilder::closeContextsDownTo(std::size_t index)
{
    while (m_contexts.size() > index) {
        Context& context = m_contexts.back();
        closeBlock();
        if (context.kind == Context::Kind::Table) {
            if (m_inPre)
                endPre();
            restore(context.snapshot);
            const FlowId flow = context.enclosingFlow;
            const TableId id = context.id;
            m_contexts.pop_back();
            m_doc.flows[flow].blocks.push_back(TableRef { id });
        } else {
            m_contexts.pop_back();
        }
    }
}

} // namespace orbita::html::builder_detail
