#include "htmlview/html_view_widget.h"
#include "platform/printing.h"
#include "tests/support/pdf_pages.h"

#include <QBuffer>
#include <QImage>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>

namespace orbita {
namespace {

// Prints the view into a PDF in `dir`; its first sheet at 50 dpi.
std::optional<QImage> printedSheet(const ThtmlLite& view, const QTemporaryDir& dir, int* sheets = nullptr)
{
    const QString pdf = dir.filePath(QStringLiteral("strona.pdf"));
    const PrintJob job { QStringLiteral("Strona"), QPageLayout::Portrait,
        [&view](QPrinter& printer) { view.Print(printer, QStringLiteral("Strona")); } };
    EXPECT_TRUE(PrintToPdf(job, pdf));
    if (sheets)
        *sheets = test::PdfPageCount(pdf);
    return test::RenderPdfPage(pdf, 1);
}

int reddish(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.red() > 200 && c.green() < 80 && c.blue() < 80 ? 1 : 0;
        }
    return count;
}

// The view's pictures go on paper, and the view's own layout stays as the
// screen shows it.
TEST(PagePrint, PicturesOfThePageArePrinted)
{
    QTemporaryDir dir;
    ThtmlLite view;
    view.resize(300, 200);
    QImage picture(120, 80, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(picture.save(&buffer, "BMP"));
    view.OnImageRequest = [&](ThtmlLite*, const std::string&, std::optional<std::string>& stream) {
        stream = bytes.toStdString();
    };
    view.LoadFromText("<p>Czerwony prostokąt:<p><img src=\"czerwony.bmp\">");
    const int screenWidth = view.Layout().width;
    ASSERT_TRUE(view.HasPrintablePage());
    int sheets = 0;
    const std::optional<QImage> sheet = printedSheet(view, dir, &sheets);
    EXPECT_EQ(sheets, 1);
    EXPECT_EQ(view.Layout().width, screenWidth);
    if (!sheet)
        GTEST_SKIP() << "pdftoppm is not installed";
    // 120 x 80 screen pixels are about 62 x 41 at 50 dpi.
    EXPECT_GT(reddish(*sheet), 62 * 41 * 8 / 10);
}

// A table wider than the sheet is scaled down to it: its last column is
// on the sheet, not cut off at the right edge.
TEST(PagePrint, APageWiderThanTheSheetIsScaledToFit)
{
    QTemporaryDir dir;
    ThtmlLite view;
    view.resize(400, 300);
    view.LoadFromText("<table width=\"2400\" border=\"0\"><tr><td width=\"2200\">lewo</td>"
                      "<td bgcolor=\"#FF0000\" width=\"200\">prawo prawo prawo</td></tr></table>");
    const std::optional<QImage> sheet = printedSheet(view, dir);
    if (!sheet)
        GTEST_SKIP() << "pdftoppm is not installed";
    EXPECT_GT(reddish(*sheet), 20) << "the red cell at the right end of the table";
}

TEST(PagePrint, EmptyAndErrorPagesAreNotPrintable)
{
    ThtmlLite view;
    view.resize(300, 200);
    EXPECT_FALSE(view.HasPrintablePage());
    view.LoadFromText("<p>tekst");
    EXPECT_TRUE(view.HasPrintablePage());
    view.Clear();
    EXPECT_FALSE(view.HasPrintablePage());
}

} // namespace
} // namespace orbita
