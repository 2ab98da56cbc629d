#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace orbita::html {

// Largest pixel value any table or cell attribute keeps; larger values are cut
// to it so that the width arithmetic never overflows.
inline constexpr int kTableMaxPixels = 1 << 20;

// A WIDTH value: none, pixels, or a per cent held in tenths (10 to 1000).
struct TableLength {
    enum class Kind { None, Pixels, Percent };
    Kind kind = Kind::None;
    int value = 0; // pixels (0 to kTableMaxPixels) or tenths of a per cent (10 to 1000)

    bool isPixels() const { return kind == Kind::Pixels; }
    bool isPercent() const { return kind == Kind::Percent; }
    friend bool operator==(const TableLength&, const TableLength&) = default;
};

// Reads a WIDTH value: leading blanks, digits (a sign is read, a negative value
// gives none), for per cent an optional fraction, and a "%" after the number
// (blanks allowed between) for per cent. A per cent is kept in tenths, rounded
// down, and limited to 1 to 100 per cent; 0 per cent, a negative value or a
// value without digits gives none. Pixels are limited to kTableMaxPixels.
TableLength ParseTableLength(std::string_view value);

// Reads the leading integer of an attribute value (blanks, optional sign,
// digits; anything after the digits is ignored). No digits gives nothing; the
// magnitude saturates at kTableMaxPixels.
std::optional<int> ParseTableInteger(std::string_view value);

// Horizontal placement of a table in its flow.
enum class TableAlign { Inherit, Left, Center, Right };
// Horizontal and vertical alignment of a cell's content.
enum class CellHAlign { Left, Center, Right };
enum class CellVAlign { Top, Middle, Bottom };

// Looks an attribute up by its upper-case name; nothing when the tag lacks it,
// an empty value for an attribute written without a value. The document
// builder wraps its own tag type in one of these.
using TableAttributeLookup = std::function<std::optional<std::string_view>(std::string_view name)>;

struct TableAttributes {
    TableAlign align = TableAlign::Inherit;
    bool border = false; // BORDER above 0 (or written without a value)
    int borderWidth = 0; // BORDER value, 0 to kTableMaxPixels
    int cellPadding = 1; // 0 to 50
    int cellSpacing = 2; // after the border rule: 0 to 42
    int hSpace = 5; // 0 to 20
    TableLength width; // pixels or per cent of the available width
    std::string background; // BGCOLOR as written; empty when absent
    std::string borderColor; // BORDERCOLOR as written; empty when absent
};

struct TableRowAttributes {
    std::optional<CellHAlign> align;
    std::optional<CellVAlign> valign;
    std::string background; // BGCOLOR as written
};

struct TableCellAttributes {
    bool header = false; // TH rather than TD
    int colSpan = 1; // 1 or more
    int rowSpan = 1; // 1 or more; the grid cuts it to the rows left
    TableLength width; // pixels or per cent of the table width
    std::optional<int> height; // pixels
    std::optional<CellHAlign> align;
    std::optional<CellVAlign> valign;
    std::string background; // BGCOLOR as written
};

// Reads the attributes of TABLE with their defaults and limits: CELLPADDING 0
// to 50 (1 when absent or negative), CELLSPACING 0 to 40 (2 when absent or
// negative), then with a border (BORDER above 0, or BORDER without a value) the
// spacing grows by 2 and is at least 1; HSPACE is taken as its absolute value
// and limited to 20 (5 when absent); ALIGN LEFT, RIGHT or CENTER in any case.
TableAttributes ReadTableAttributes(const TableAttributeLookup& lookup);

// Reads ALIGN (LEFT, CENTER, RIGHT), VALIGN (TOP, MIDDLE or CENTER, BOTTOM) and
// BGCOLOR of TR; other values leave the alignment unset.
TableRowAttributes ReadTableRowAttributes(const TableAttributeLookup& lookup);

// Reads the attributes of TD (header false) or TH (header true): COLSPAN and
// ROWSPAN when above 1 (1 otherwise), WIDTH in pixels or per cent, HEIGHT in
// pixels when 0 or more, ALIGN, VALIGN and BGCOLOR as for rows.
TableCellAttributes ReadTableCellAttributes(const TableAttributeLookup& lookup, bool header);

// The alignment a cell's content uses: its own, else its row's, else left for
// TD and centre for TH; vertically its own, else its row's, else middle.
CellHAlign EffectiveCellHAlign(const TableCellAttributes& cell, const TableRowAttributes& row);
CellVAlign EffectiveCellVAlign(const TableCellAttributes& cell, const TableRowAttributes& row);

} // namespace orbita::html
