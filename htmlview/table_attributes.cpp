#include "htmlview/table_attributes.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace orbita::html {
namespace {

constexpr int kMaxCellPadding = 50;
constexpr int kMaxCellSpacing = 40;
constexpr int kMaxHSpace = 20;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool equalsUpper(std::string_view value, std::string_view upperWord)
{
    auto start = value.find_first_not_of(" \t\r\n\f");
    if (start == std::string_view::npos)
        return upperWord.empty();
    auto end = value.find_last_not_of(" \t\r\n\f");
    value = value.substr(start, end - start + 1);
    if (value.size() != upperWord.size())
        return false;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (upper(value[i]) != upperWord[i])
            return false;
    }
    return true;
}

// The number at the start of a value: sign, whole part (saturated), and the
// first fraction digit. Nothing when no digit follows the sign.
struct LeadingNumber {
    bool negative = false;
    std::int64_t whole = 0;
    int tenth = 0;
    bool wholeDigits = false; // digits before any fraction
    std::size_t end = 0; // index just past the number
};

std::optional<LeadingNumber> readLeadingNumber(std::string_view value)
{
    LeadingNumber number;
    std::size_t i = 0;
    while (i < value.size() && isBlank(value[i]))
        ++i;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) {
        number.negative = value[i] == '-';
        ++i;
    }
    const std::size_t digitsStart = i;
    while (i < value.size() && isDigit(value[i])) {
        number.whole = std::min<std::int64_t>(number.whole * 10 + (value[i] - '0'), kTableMaxPixels);
        ++i;
    }
    number.wholeDigits = i > digitsStart;
    bool anyDigit = number.wholeDigits;
    if (i < value.size() && value[i] == '.') {
        ++i;
        if (i < value.size() && isDigit(value[i])) {
            number.tenth = value[i] - '0';
            anyDigit = true;
        }
        while (i < value.size() && isDigit(value[i]))
            ++i;
    }
    if (!anyDigit)
        return std::nullopt;
    number.end = i;
    return number;
}

std::optional<CellHAlign> readHAlign(std::optional<std::string_view> value)
{
    if (!value)
        return std::nullopt;
    if (equalsUpper(*value, "LEFT"))
        return CellHAlign::Left;
    if (equalsUpper(*value, "CENTER") || equalsUpper(*value, "MIDDLE"))
        return CellHAlign::Center;
    if (equalsUpper(*value, "RIGHT"))
        return CellHAlign::Right;
    return std::nullopt;
}

std::optional<CellVAlign> readVAlign(std::optional<std::string_view> value)
{
    if (!value)
        return std::nullopt;
    if (equalsUpper(*value, "TOP"))
        return CellVAlign::Top;
    if (equalsUpper(*value, "MIDDLE") || equalsUpper(*value, "CENTER"))
        return CellVAlign::Middle;
    if (equalsUpper(*value, "BOTTOM"))
        return CellVAlign::Bottom;
    return std::nullopt;
}

std::string readText(const TableAttributeLookup& lookup, std::string_view name)
{
    auto value = lookup(name);
    return value ? std::string(*value) : std::string();
}

// COLSPAN and ROWSPAN count only when above 1.
int readSpan(std::optional<std::string_view> value)
{
    if (!value)
        return 1;
    auto number = ParseTableInteger(*value);
    return (number && *number > 1) ? *number : 1;
}

} // namespace

TableLength ParseTableLength(std::string_view value)
{
    auto number = readLeadingNumber(value);
    if (!number || number->negative)
        return {};
    std::size_t i = number->end;
    while (i < value.size() && isBlank(value[i]))
        ++i;
    if (i < value.size() && value[i] == '%') {
        const std::int64_t tenths = number->whole * 10 + number->tenth;
        if (tenths == 0)
            return {};
        return { TableLength::Kind::Percent, static_cast<int>(std::clamp<std::int64_t>(tenths, 10, 1000)) };
    }
    return { TableLength::Kind::Pixels, static_cast<int>(number->whole) };
}

std::optional<int> ParseTableInteger(std::string_view value)
{
    auto number = readLeadingNumber(value);
    if (!number || !number->wholeDigits)
        return std::nullopt;
    const int magnitude = static_cast<int>(number->whole);
    return number->negative ? -magnitude : magnitude;
}

TableAttributes ReadTableAttributes(const TableAttributeLookup& lookup)
{
    TableAttributes table;
    if (auto align = lookup("ALIGN")) {
        if (equalsUpper(*align, "LEFT"))
            table.align = TableAlign::Left;
        else if (equalsUpper(*align, "RIGHT"))
            table.align = TableAlign::Right;
        else if (equalsUpper(*align, "CENTER"))
            table.align = TableAlign::Center;
    }
    if (auto border = lookup("BORDER")) {
        auto value = ParseTableInteger(*border);
        if (value) {
            table.border = *value > 0;
            table.borderWidth = std::max(*value, 0);
        } else {
            // BORDER written without a usable number asks for a border.
            table.border = true;
            table.borderWidth = 1;
        }
    }
    if (auto padding = lookup("CELLPADDING")) {
        auto value = ParseTableInteger(*padding);
        if (value && *value >= 0)
            table.cellPadding = std::min(*value, kMaxCellPadding);
    }
    if (auto spacing = lookup("CELLSPACING")) {
        auto value = ParseTableInteger(*spacing);
        if (value && *value >= 0)
            table.cellSpacing = std::min(*value, kMaxCellSpacing);
    }
    if (table.border)
        table.cellSpacing = std::max(table.cellSpacing + 2, 1);
    if (auto hspace = lookup("HSPACE")) {
        if (auto value = ParseTableInteger(*hspace))
            table.hSpace = std::min(std::abs(*value), kMaxHSpace);
    }
    if (auto width = lookup("WIDTH"))
        table.width = ParseTableLength(*width);
    table.background = readText(lookup, "BGCOLOR");
    table.borderColor = readText(lookup, "BORDERCOLOR");
    return table;
}

TableRowAttributes ReadTableRowAttributes(const TableAttributeLookup& lookup)
{
    TableRowAttributes row;
    row.align = readHAlign(lookup("ALIGN"));
    row.valign = readVAlign(lookup("VALIGN"));
    row.background = readText(lookup, "BGCOLOR");
    return row;
}

TableCellAttributes ReadTableCellAttributes(const TableAttributeLookup& lookup, bool header)
{
    TableCellAttributes cell;
    cell.header = header;
    cell.colSpan = readSpan(lookup("COLSPAN"));
    cell.rowSpan = readSpan(lookup("ROWSPAN"));
    if (auto width = lookup("WIDTH"))
        cell.width = ParseTableLength(*width);
    if (auto height = lookup("HEIGHT")) {
        auto value = ParseTableInteger(*height);
        if (value && *value >= 0)
            cell.height = *value;
    }
    cell.align = readHAlign(lookup("ALIGN"));
    cell.valign = readVAlign(lookup("VALIGN"));
    cell.background = readText(lookup, "BGCOLOR");
    return cell;
}

CellHAlign EffectiveCellHAlign(const TableCellAttributes& cell, const TableRowAttributes& row)
{
    if (cell.align)
        return *cell.align;
    if (row.align)
        return *row.align;
    return cell.header ? CellHAlign::Center : CellHAlign::Left;
}

CellVAlign EffectiveCellVAlign(const TableCellAttributes& cell, const TableRowAttributes& row)
{
    if (cell.valign)
        return *cell.valign;
    if (row.valign)
        return *row.valign;
    return CellVAlign::Middle;
}

} // namespace orbita::html
