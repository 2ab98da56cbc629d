#include "htmlview/table_widths.h"

#include "htmlview/table_grid.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

namespace orbita::html {
namespace {

using Int = std::int64_t;

constexpr int kMaxCellPadding = 50;
constexpr int kMaxCellSpacing = 42; // 40 plus the border's 2
constexpr int kMinColumnSpace = 20;
constexpr Int kAllPercentNeeded = 30000;

// a x b / c rounded to the nearest; a, b >= 0, c > 0.
Int mulDiv(Int a, Int b, Int c)
{
    return (a * b + c / 2) / c;
}

int toInt(Int value)
{
    return static_cast<int>(std::clamp<Int>(value, 0, INT32_MAX));
}

Int sum(const std::vector<Int>& values, std::size_t first, std::size_t count)
{
    return std::accumulate(values.begin() + static_cast<std::ptrdiff_t>(first),
        values.begin() + static_cast<std::ptrdiff_t>(first + count), Int { 0 });
}

// Adds excess to values[first, first + count) in proportion to the values, or
// equally (remainder to the first ones) when they are all 0.
void spread(std::vector<Int>& values, std::size_t first, std::size_t count, Int excess)
{
    const Int total = sum(values, first, count);
    if (total > 0) {
        std::vector<Int> shares(count);
        for (std::size_t i = 0; i < count; ++i)
            shares[i] = mulDiv(excess, values[first + i], total);
        for (std::size_t i = 0; i < count; ++i)
            values[first + i] += shares[i];
        return;
    }
    const Int each = excess / static_cast<Int>(count);
    const Int rest = excess % static_cast<Int>(count);
    for (std::size_t i = 0; i < count; ++i)
        values[first + i] += each + (static_cast<Int>(i) < rest ? 1 : 0);
}

bool hasPixelWidth(const TableColumnBounds& bounds, std::size_t column)
{
    return column < bounds.pixelWidth.size() && bounds.pixelWidth[column];
}

std::vector<int> copyOf(const std::vector<int>& values)
{
    return values;
}

// min + (max - min) x (space - total min) / (total max - total min), per column.
std::vector<int> interpolate(const TableColumnBounds& bounds, Int space)
{
    std::vector<int> widths(bounds.minimum.size());
    const Int range = Int { bounds.totalMaximum } - bounds.totalMinimum;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        widths[i] = toInt(bounds.minimum[i]
            + mulDiv(Int { bounds.maximum[i] } - bounds.minimum[i], space - bounds.totalMinimum, range));
    }
    return widths;
}

// Makes the widths sum to space exactly, one pixel at a time from the last
// column backwards; pixels are taken only from columns above their minimum.
// The caller guarantees space >= the sum of the minimums.
void settle(std::vector<Int>& widths, const std::vector<int>& minimum, Int space)
{
    if (widths.empty())
        return;
    Int difference = space - sum(widths, 0, widths.size());
    while (difference > 0) {
        for (std::size_t i = widths.size(); i-- > 0 && difference > 0;) {
            ++widths[i];
            --difference;
        }
    }
    while (difference < 0) {
        bool taken = false;
        for (std::size_t i = widths.size(); i-- > 0 && difference < 0;) {
            if (widths[i] > minimum[i]) {
                --widths[i];
                ++difference;
                taken = true;
            }
        }
        if (!taken)
            break;
    }
}

// Fills space exactly (space > total minimum), per cent columns first when
// usePercent, never a column below its minimum.
std::vector<int> fillSpace(const TableColumnBounds& bounds, Int space, bool usePercent)
{
    const std::size_t n = bounds.minimum.size();
    std::vector<Int> widths(n, 0);
    std::vector<bool> isPercent(n, false);
    Int percentTarget = 0;
    Int percentMinimum = 0;
    Int otherMinimum = 0;
    Int otherMaximum = 0;
    std::size_t otherCount = 0;
    for (std::size_t i = 0; i < n; ++i) {
        isPercent[i] = usePercent && bounds.percent[i] > 0;
        if (isPercent[i]) {
            widths[i] = std::max<Int>(bounds.minimum[i], mulDiv(space, bounds.percent[i], 1000));
            percentTarget += widths[i];
            percentMinimum += bounds.minimum[i];
        } else {
            otherMinimum += bounds.minimum[i];
            otherMaximum += bounds.maximum[i];
            ++otherCount;
        }
    }

    const Int forPercent = space - otherMinimum;
    if (otherCount > 0 && percentTarget > forPercent) {
        // The per cent columns cannot keep their share: shrink them towards
        // their minimums so that the other columns keep theirs.
        const Int range = percentTarget - percentMinimum;
        for (std::size_t i = 0; i < n; ++i) {
            if (isPercent[i])
                widths[i] = bounds.minimum[i]
                    + mulDiv(widths[i] - bounds.minimum[i], forPercent - percentMinimum, range);
            else
                widths[i] = bounds.minimum[i];
        }
    } else if (otherCount > 0) {
        const Int rest = space - percentTarget;
        for (std::size_t i = 0; i < n; ++i) {
            if (isPercent[i])
                continue;
            const Int minimum = bounds.minimum[i];
            const Int maximum = bounds.maximum[i];
            if (rest <= otherMaximum) {
                widths[i] = otherMaximum > otherMinimum
                    ? minimum + mulDiv(maximum - minimum, rest - otherMinimum, otherMaximum - otherMinimum)
                    : minimum;
            } else {
                widths[i] = maximum;
            }
        }
        if (rest > otherMaximum) {
            // Room beyond the maximums: it goes to the columns without a
            // WIDTH in pixels (to all other columns when each has one), in
            // proportion to their maximums, equally when these are all 0.
            std::vector<bool> grows(n, false);
            for (std::size_t i = 0; i < n; ++i)
                grows[i] = !isPercent[i] && !hasPixelWidth(bounds, i);
            if (std::none_of(grows.begin(), grows.end(), [](bool g) { return g; })) {
                for (std::size_t i = 0; i < n; ++i)
                    grows[i] = !isPercent[i];
            }
            Int growMaximum = 0;
            Int growCount = 0;
            for (std::size_t i = 0; i < n; ++i) {
                if (grows[i]) {
                    growMaximum += bounds.maximum[i];
                    ++growCount;
                }
            }
            const Int extra = rest - otherMaximum;
            for (std::size_t i = 0; i < n; ++i) {
                if (grows[i])
                    widths[i] += growMaximum > 0 ? mulDiv(extra, bounds.maximum[i], growMaximum)
                                                 : extra / growCount;
            }
        }
    }
    settle(widths, bounds.minimum, space);
    std::vector<int> result(n);
    std::transform(widths.begin(), widths.end(), result.begin(), toInt);
    return result;
}

} // namespace

TableColumnBounds MeasureTableColumns(
    int columnCount, std::span<const TableCellWidthInput> cells, int cellPadding, int cellSpacing)
{
    const int columns = std::clamp(columnCount, 0, kTableMaxColumns);
    const std::size_t n = static_cast<std::size_t>(columns);
    const Int overhead = 2 * Int { std::clamp(cellPadding, 0, kMaxCellPadding) }
        + std::clamp(cellSpacing, 0, kMaxCellSpacing);

    std::vector<Int> minimum(n, 0);
    std::vector<Int> maximum(n, 0);
    std::vector<Int> percent(n, 0);
    std::vector<bool> pixelWidth(n, false);
    TableColumnBounds bounds;

    struct Cell {
        std::size_t column;
        std::size_t span;
        Int minimum;
        Int maximum;
        Int percent;
    };
    std::vector<Cell> spanning;
    for (const TableCellWidthInput& input : cells) {
        if (input.column < 0 || input.column >= columns)
            continue;
        Cell cell;
        cell.column = static_cast<std::size_t>(input.column);
        cell.span = static_cast<std::size_t>(std::clamp(input.colSpan, 1, columns - input.column));
        const Int contentMinimum = std::clamp(input.minContent, 0, kTableMaxPixels);
        const Int contentMaximum
            = std::max<Int>(std::clamp(input.maxContent, 0, kTableMaxPixels), contentMinimum);
        cell.minimum = contentMinimum + overhead;
        cell.maximum = contentMaximum + overhead;
        cell.percent = input.width.isPercent() ? std::clamp(input.width.value, 0, 1000) : 0;
        if (input.width.isPixels()) {
            bounds.anyPixelWidth = true;
            if (cell.span == 1) {
                const Int wanted = Int { std::clamp(input.width.value, 0, kTableMaxPixels) } + overhead;
                cell.minimum = std::max(cell.minimum, wanted);
                cell.maximum = std::max(cell.minimum, wanted);
            }
        }
        if (cell.span == 1) {
            if (input.width.isPixels())
                pixelWidth[cell.column] = true;
            minimum[cell.column] = std::max(minimum[cell.column], cell.minimum);
            maximum[cell.column] = std::max(maximum[cell.column], cell.maximum);
            percent[cell.column] = std::max(percent[cell.column], cell.percent);
        } else {
            spanning.push_back(cell);
        }
    }

    std::stable_sort(
        spanning.begin(), spanning.end(), [](const Cell& a, const Cell& b) { return a.span < b.span; });
    for (const Cell& cell : spanning) {
        const Int minimumSum = sum(minimum, cell.column, cell.span);
        if (cell.minimum > minimumSum)
            spread(minimum, cell.column, cell.span, cell.minimum - minimumSum);
        for (std::size_t i = cell.column; i < cell.column + cell.span; ++i)
            maximum[i] = std::max(maximum[i], minimum[i]);
        const Int maximumSum = sum(maximum, cell.column, cell.span);
        if (cell.maximum > maximumSum)
            spread(maximum, cell.column, cell.span, cell.maximum - maximumSum);

        const Int percentSum = sum(percent, cell.column, cell.span);
        if (cell.percent > percentSum) {
            std::vector<std::size_t> without;
            for (std::size_t i = cell.column; i < cell.column + cell.span; ++i) {
                if (percent[i] == 0)
                    without.push_back(i);
            }
            if (without.empty()) {
                for (std::size_t i = cell.column; i < cell.column + cell.span; ++i)
                    without.push_back(i);
            }
            const Int excess = cell.percent - percentSum;
            const Int count = static_cast<Int>(without.size());
            for (std::size_t k = 0; k < without.size(); ++k) {
                Int& value = percent[without[k]];
                value = std::min<Int>(
                    value + excess / count + (static_cast<Int>(k) < excess % count ? 1 : 0), 1000);
            }
        }
    }

    bounds.minimum.resize(n);
    bounds.maximum.resize(n);
    bounds.percent.resize(n);
    bounds.pixelWidth = pixelWidth;
    Int totalMinimum = 0;
    Int totalMaximum = 0;
    Int percentSum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        maximum[i] = std::max(maximum[i], minimum[i]);
        bounds.minimum[i] = toInt(minimum[i]);
        bounds.maximum[i] = toInt(maximum[i]);
        bounds.percent[i] = toInt(percent[i]);
        totalMinimum += minimum[i];
        totalMaximum += maximum[i];
        percentSum += percent[i];
    }
    bounds.totalMinimum = toInt(totalMinimum);
    bounds.totalMaximum = toInt(totalMaximum);
    bounds.percentSum = toInt(percentSum);
    return bounds;
}

int TableColumnSpace(const TableLength& tableWidth, int availableWidth, int cellSpacing)
{
    Int width = std::clamp(availableWidth, 0, kTableMaxPixels);
    if (tableWidth.isPixels())
        width = std::clamp(tableWidth.value, 0, kTableMaxPixels);
    else if (tableWidth.isPercent())
        width = mulDiv(width, std::clamp(tableWidth.value, 0, 1000), 1000);
    return toInt(std::max<Int>(width - std::clamp(cellSpacing, 0, kMaxCellSpacing), kMinColumnSpace));
}

std::vector<int> PercentColumnWidths(const TableColumnBounds& bounds, int columnSpace, bool tableHasWidth)
{
    const Int space = columnSpace;
    if (bounds.totalMinimum >= space)
        return copyOf(bounds.minimum);
    const Int p = bounds.percentSum;
    const bool usePercent = p > 0 && p <= 1000;
    if (!tableHasWidth && !usePercent) {
        if (space < bounds.totalMaximum && bounds.totalMaximum > bounds.totalMinimum)
            return interpolate(bounds, space);
        return copyOf(bounds.maximum);
    }
    if (!tableHasWidth) {
        const std::size_t n = bounds.minimum.size();
        Int needed = 0;
        Int others = 0;
        std::size_t otherCount = 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (bounds.percent[i] > 0) {
                needed = std::max(needed, mulDiv(bounds.maximum[i], 1000, bounds.percent[i]));
            } else {
                others += bounds.maximum[i];
                ++otherCount;
            }
        }
        if (p >= 1000)
            needed = std::max(needed, others != 0 ? kAllPercentNeeded : Int { 0 });
        else
            needed = std::max(needed, mulDiv(others, 1000, 1000 - p));
        if (space >= needed) {
            const Int rest = mulDiv(needed, 1000 - p, 1000);
            std::vector<int> widths(n);
            for (std::size_t i = 0; i < n; ++i) {
                Int width = 0;
                if (bounds.percent[i] > 0)
                    width = mulDiv(needed, bounds.percent[i], 1000);
                else if (others > 0)
                    width = mulDiv(rest, bounds.maximum[i], others);
                else
                    width = rest / static_cast<Int>(otherCount);
                widths[i] = toInt(std::max<Int>(width, bounds.minimum[i]));
            }
            return widths;
        }
    }
    return fillSpace(bounds, space, usePercent);
}

std::vector<int> PixelColumnWidths(const TableColumnBounds& bounds, int columnSpace)
{
    const Int space = columnSpace;
    if (bounds.totalMinimum >= space)
        return copyOf(bounds.minimum);
    // Here total min < space < total max, so the totals always differ.
    if (space < bounds.totalMaximum)
        return interpolate(bounds, space);
    return copyOf(bounds.maximum);
}

TableWidths ComputeTableWidths(const TableWidthInput& input)
{
    const int spacing = std::clamp(input.cellSpacing, 0, kMaxCellSpacing);
    const TableColumnBounds bounds
        = MeasureTableColumns(input.columnCount, input.cells, input.cellPadding, spacing);
    TableWidths result;
    result.columnSpace = TableColumnSpace(input.width, input.availableWidth, spacing);
    const bool tableHasWidth = input.width.kind != TableLength::Kind::None;
    if (!bounds.anyPixelWidth || tableHasWidth)
        result.columns = PercentColumnWidths(bounds, result.columnSpace, tableHasWidth);
    else
        result.columns = PixelColumnWidths(bounds, result.columnSpace);
    Int total = spacing;
    for (int width : result.columns)
        total += width;
    result.tableWidth = toInt(total);
    return result;
}

} // namespace orbita::html
