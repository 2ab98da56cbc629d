#pragma once

// Reading back the PDF files that the printing tests make: the number of
// pages, and a page as a picture (through pdftoppm) to look for text on it.

#include <QImage>
#include <QRect>
#include <QString>
#include <optional>

namespace orbita::test {

// The number of page objects in the PDF file; 0 when it is no PDF.
int PdfPageCount(const QString& path);
// Page `page` (from 1) rendered at `dpi`; nothing when pdftoppm is missing
// or fails.
std::optional<QImage> RenderPdfPage(const QString& path, int page, int dpi = 50);
// Pixels in `area` of `image` darker than mid-grey (text, rules, pictures).
int DarkPixels(const QImage& image, const QRect& area);

} // namespace orbita::test
