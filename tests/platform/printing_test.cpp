#include "platform/printing.h"
#include "platform/scripted_ui_services.h"
#include "tests/platform/platform_test_environment.h"
#include "tests/support/pdf_pages.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <gtest/gtest.h>

namespace orbita {
namespace {

using Printing = test::PlatformTest;

// A job of `pages` sheets, each with a black block at the top of its body.
PrintJob blocks(int pages, QPageLayout::Orientation orientation = QPageLayout::Portrait)
{
    return { QStringLiteral("Bloki"), orientation, [pages](QPrinter& printer) {
                PrintFramedPages(printer, QStringLiteral("Bloki"), pages,
                    [](QPainter& painter, int) { painter.fillRect(QRectF(0, 0, 200, 100), Qt::black); });
            } };
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(Printing, FramedPagesGoToThePdfInTheJobsOrientation)
{
    const QString portrait = path("pionowo.pdf");
    ASSERT_TRUE(PrintToPdf(blocks(3), portrait));
    EXPECT_EQ(test::PdfPageCount(portrait), 3);
    const QString landscape = path("poziomo.pdf");
    ASSERT_TRUE(PrintToPdf(blocks(1, QPageLayout::Landscape), landscape));
    EXPECT_EQ(test::PdfPageCount(landscape), 1);

    const std::optional<QImage> upright = test::RenderPdfPage(portrait, 3);
    const std::optional<QImage> wide = test::RenderPdfPage(landscape, 1);
    if (!upright || !wide)
        GTEST_SKIP() << "pdftoppm is not installed";
    EXPECT_LT(upright->width(), upright->height());
    EXPECT_GT(wide->width(), wide->height());
    // The block (200 x 100 screen pixels: about 104 x 52 at 50 dpi) below the header.
    const int block = test::DarkPixels(*upright, QRect(0, 0, upright->width(), upright->height() / 3));
    EXPECT_GT(block, 104 * 52 * 8 / 10);
    EXPECT_EQ(PageFooterText(2, 3), QStringLiteral("strona 3 z 3"));
}

TEST_F(Printing, AFailedPrintLeavesTheOlderFileAndNoPartOfTheNewOne)
{
    const QString target = path("stary.pdf");
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("stary plik");
    }
    const PrintJob nothing { QStringLiteral("Nic"), QPageLayout::Portrait, [](QPrinter&) {} };
    EXPECT_FALSE(PrintToPdf(nothing, target)) << "nothing was painted: no PDF";
    EXPECT_EQ(contents(target), QByteArray("stary plik"));
    EXPECT_FALSE(PrintToPdf(blocks(1), path("brak/folderu.pdf")));
    EXPECT_FALSE(PrintToPdf(PrintJob {}, path("bez-zadania.pdf")));
    EXPECT_EQ(QDir(m_root.path()).entryList(QDir::Files | QDir::Hidden),
        QStringList { QStringLiteral("stary.pdf") })
        << "no part file is left behind";

    ASSERT_TRUE(PrintToPdf(blocks(2), target));
    EXPECT_EQ(test::PdfPageCount(target), 2) << "a good print replaces the older file";
}

TEST_F(Printing, ScriptedPrintsGoToTheGivenFileOrAreCancelled)
{
    ScriptedUiServices ui;
    EXPECT_FALSE(Ui().Print(nullptr, blocks(1))) << "not scripted";
    EXPECT_TRUE(ui.requests().back().unexpected);

    ScriptedUiServices scripted;
    scripted.answerPrint(QString());
    scripted.answerPrint(path("wydruk.pdf"));
    EXPECT_FALSE(Ui().Print(nullptr, blocks(1)));
    EXPECT_TRUE(Ui().Print(nullptr, blocks(2, QPageLayout::Landscape)));
    EXPECT_TRUE(scripted.finished());
    ASSERT_EQ(scripted.requests().size(), 2u);
    EXPECT_EQ(scripted.requests()[1].caption, QStringLiteral("Bloki"));
    EXPECT_EQ(scripted.requests()[1].text, path("wydruk.pdf"));
    EXPECT_EQ(scripted.requests()[1].orientation, QPageLayout::Landscape);
    EXPECT_EQ(test::PdfPageCount(path("wydruk.pdf")), 2);
}

} // namespace
} // namespace orbita
