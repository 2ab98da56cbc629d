#pragma once

#include "platform/ui_services.h"

#include <QSizeF>
#include <QString>
#include <functional>

class QFont;
class QPainter;
class QPrinter;

namespace orbita {

// Renders `job` into the PDF file `path` (A4 in the job's orientation unless
// `layout` gives the page). The file is written whole or not at all: a file
// already at `path` is replaced only when the new one was written. Whether
// it was written.
bool PrintToPdf(const PrintJob& job, const QString& path, const std::optional<QPageLayout>& layout = {});

// The area of a printed page that takes the content: below the header (the
// caption) and above the footer ("strona N z M"), in units of a 96 dpi
// screen pixel, so that a page laid out for the screen prints at its size.
QSizeF PrintBodySize(const QPrinter& printer);

// Paints `pageCount` pages (at least one) on `printer`, each with the
// caption at the top and "strona N z M" at the bottom. `paintBody` paints
// page `index` (from 0) with the painter in the units of PrintBodySize, its
// origin at the top left of the body and its clip the body. False when the
// printer could not be opened.
using PaintPrintedPage = std::function<void(QPainter& painter, int index)>;
bool PrintFramedPages(
    QPrinter& printer, const QString& caption, int pageCount, const PaintPrintedPage& paintBody);

// Prints plain text (a note) on `printer` with `caption` on every sheet,
// wrapped to the sheet's width and cut into sheets between lines.
void PrintPlainText(QPrinter& printer, const QString& caption, const QString& text, const QFont& font);

// The footer of page `index` (from 0) of `pageCount`: "strona 1 z 3".
QString PageFooterText(int index, int pageCount);

} // namespace orbita
