#include "htmlview/document_tables.h"

namespace orbita::html {

TableAttributeLookup TableLookupOf(const AttributeList& attributes)
{
    return [&attributes](std::string_view name) -> std::optional<std::string_view> {
        const std::optional<AttributeId> id = FindAttribute(name);
        if (!id)
            return std::nullopt;
        const Attribute* attribute = GetAttribute(attributes, *id);
        if (!attribute)
            return std::nullopt;
        return std::string_view(attribute->text);
    };
}

TableGridResult BuildGridOf(const Table& table)
{
    std::vector<std::vector<TableCellSpan>> rows;
    rows.reserve(table.rows.size());
    for (const TableRow& row : table.rows) {
        std::vector<TableCellSpan>& spans = rows.emplace_back();
        spans.reserve(row.cells.size());
        for (const TableCell& cell : row.cells)
            spans.push_back(TableCellSpan { cell.colspan, cell.rowspan });
    }
    return BuildTableGrid(rows);
}

} // namespace orbita::html
