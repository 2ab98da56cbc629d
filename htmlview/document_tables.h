#pragma once

#include "htmlview/document.h"
#include "htmlview/table_attributes.h"
#include "htmlview/table_grid.h"

namespace orbita::html {

// The bridge from the document's tables to the table grid and width code.

// Looks attributes up by upper-case name for the table attribute readers: the
// value's text, empty for an attribute written without a value. The lookup
// refers to `attributes`, which must outlive it.
TableAttributeLookup TableLookupOf(const AttributeList& attributes);

// The grid of a table (COLSPAN and ROWSPAN placeholders, the column count),
// or its refusal with "Table has too many Columns", which ends the layout of
// the page.
TableGridResult BuildGridOf(const Table& table);

} // namespace orbita::html
