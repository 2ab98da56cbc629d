// Printing the view's page: laid out again for the sheet, cut between lines.
#include "htmlview/html_view_widget.h"
#include "htmlview/page_breaks.h"
#include "platform/printing.h"

#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <cmath>

namespace orbita {

void ThtmlLite::Print(QPrinter& printer, const QString& caption) const
{
    const QSizeF body = PrintBodySize(printer);
    const int width = std::max(1, static_cast<int>(std::floor(body.width())));
    const html::PageLayout layout = LayoutForWidth(width);
    // A page wider than the sheet (a wide table) is scaled down to fit it.
    const double scale = std::min(1.0, body.width() / std::max(1, layout.width));
    const int sheetHeight = std::max(1, static_cast<int>(std::floor(body.height() / scale)));
    const std::vector<int> tops = html::PageBreaks(layout, sheetHeight);
    PrintFramedPages(printer, caption, static_cast<int>(tops.size()), [&](QPainter& painter, int index) {
        const int top = tops[static_cast<std::size_t>(index)];
        const int bottom = static_cast<std::size_t>(index) + 1 < tops.size()
            ? tops[static_cast<std::size_t>(index) + 1]
            : layout.height;
        painter.scale(scale, scale);
        painter.translate(0, -top);
        const html::Rect area { 0, top, layout.width, bottom - top };
        painter.setClipRect(QRect(area.x, area.y, area.width, area.height), Qt::IntersectClip);
        PaintLayout(painter, layout, area);
    });
}

} // namespace orbita
