#include "platform/printing.h"

#include "core/move_into_place.h"
#include "htmlview/page_breaks.h"
#include "platform/qt_text.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QIcon>
#include <QKeySequence>
#include <QPageSize>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolBar>
#include <algorithm>
#include <cmath>

namespace orbita {
namespace {

constexpr double kScreenDpi = 96.0;
constexpr double kHeaderHeight = 30.0; // units of a screen pixel, the rule below the caption included
constexpr double kFooterHeight = 26.0;

double unitsPerPixel(const QPrinter& printer)
{
    return std::max(1, printer.resolution()) / kScreenDpi;
}

QSizeF paintAreaUnits(const QPrinter& printer)
{
    const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
    const double scale = unitsPerPixel(printer);
    return { area.width() / scale, area.height() / scale };
}

QFont frameFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    return font;
}

// A file name made of the job's title: characters that a file name cannot
// hold on some system become '_'.
QString pdfNameOf(const QString& title)
{
    QString name = title.trimmed();
    name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|\\[\\]]+")), QStringLiteral("_"));
    return (name.isEmpty() ? QStringLiteral("wydruk") : name) + QStringLiteral(".pdf");
}

} // namespace

QString PageFooterText(int index, int pageCount)
{
    return QStringLiteral("strona %1 z %2").arg(index + 1).arg(pageCount);
}

QSizeF PrintBodySize(const QPrinter& printer)
{
    const QSizeF area = paintAreaUnits(printer);
    return { area.width(), std::max(1.0, area.height() - kHeaderHeight - kFooterHeight) };
}

bool PrintFramedPages(
    QPrinter& printer, const QString& caption, int pageCount, const PaintPrintedPage& paintBody)
{
    pageCount = std::max(1, pageCount);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const double scale = unitsPerPixel(printer);
    const QSizeF area = paintAreaUnits(printer);
    const QSizeF body = PrintBodySize(printer);
    const QFont font = frameFont();
    const double textHeight = QFontMetricsF(font).height();
    for (int index = 0; index < pageCount; ++index) {
        if (index > 0)
            printer.newPage();
        painter.save();
        painter.scale(scale, scale);
        painter.setFont(font);
        painter.setPen(Qt::black);
        const QRectF top(0, 0, area.width(), textHeight);
        const QString title = QFontMetricsF(font).elidedText(caption, Qt::ElideRight, area.width());
        painter.drawText(top, Qt::AlignLeft | Qt::AlignVCenter, title);
        painter.setPen(QPen(Qt::darkGray, 0.75));
        painter.drawLine(QPointF(0, textHeight + 4), QPointF(area.width(), textHeight + 4));
        painter.setPen(Qt::black);
        const QRectF bottom(0, area.height() - textHeight, area.width(), textHeight);
        painter.drawText(bottom, Qt::AlignRight | Qt::AlignVCenter, PageFooterText(index, pageCount));

        painter.translate(0, kHeaderHeight);
        painter.setClipRect(QRectF(QPointF(0, 0), body));
        paintBody(painter, index);
        painter.restore();
    }
    return painter.end();
}

void PrintPlainText(QPrinter& printer, const QString& caption, const QString& text, const QFont& font)
{
    const QSizeF body = PrintBodySize(printer);
    QTextDocument document;
    document.setDefaultFont(font);
    document.setPlainText(text);
    document.setDocumentMargin(0);
    document.setTextWidth(body.width());
    // The sheets are cut as a page's are: between the lines of the text.
    html::PageLayout lines;
    lines.height = static_cast<int>(std::ceil(document.size().height()));
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextLayout* layout = block.layout();
        const QPointF origin = layout->position();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QRectF rect = layout->lineAt(i).rect().translated(origin);
            html::TextLine line;
            line.rect = { static_cast<int>(std::floor(rect.left())), static_cast<int>(std::floor(rect.top())),
                static_cast<int>(std::ceil(rect.width())), static_cast<int>(std::ceil(rect.height())) };
            lines.lines.push_back(line);
        }
    }
    const std::vector<int> tops
        = html::PageBreaks(lines, std::max(1, static_cast<int>(std::floor(body.height()))));
    PrintFramedPages(printer, caption, static_cast<int>(tops.size()), [&](QPainter& painter, int index) {
        const auto sheet = static_cast<std::size_t>(index);
        const int top = tops[sheet];
        const int bottom = sheet + 1 < tops.size() ? tops[sheet + 1] : lines.height;
        painter.translate(0, -top);
        document.drawContents(&painter, QRectF(0, top, body.width(), bottom - top));
    });
}

bool PrintToPdf(const PrintJob& job, const QString& path, const std::optional<QPageLayout>& layout)
{
    if (path.isEmpty() || !job.render)
        return false;
    const QFileInfo target(path);
    // Written beside the target first, so that a failed print leaves no
    // half-written file and does not take the place of an older one.
    QTemporaryFile part(target.absoluteDir().filePath(QStringLiteral(".orbita-print-XXXXXX.pdf")));
    if (!part.open())
        return false;
    part.close();

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(part.fileName());
    printer.setDocName(job.title);
    printer.setCreator(QStringLiteral("Orbita"));
    if (layout) {
        printer.setPageLayout(*layout);
    } else {
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(job.orientation);
    }
    job.render(printer);
    if (printer.printerState() == QPrinter::Error || QFileInfo(part.fileName()).size() == 0)
        return false;
    // One rename puts it in place: the older file stays until then.
    return MoveIntoPlace(ToPath(part.fileName()), ToPath(path), true).Ok();
}

bool QtUiServices::Print(QWidget* owner, const PrintJob& job)
{
    if (!job.render)
        return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(job.title);
    printer.setCreator(QStringLiteral("Orbita"));
    printer.setPageOrientation(job.orientation);
    QPrintPreviewDialog preview(&printer, owner);
    preview.setObjectName(QStringLiteral("PrintPreviewDialog"));
    preview.setWindowTitle(QStringLiteral("Podgląd wydruku – %1").arg(job.title));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
        [&job](QPrinter* target) { job.render(*target); });

    bool saved = false;
    auto savePdf = [&] {
        QString file = SaveFileName(&preview, QStringLiteral("Zapisz wydruk jako PDF"), pdfNameOf(job.title),
            QStringLiteral("Dokumenty PDF (*.pdf);;Wszystkie pliki (*)"));
        if (file.isEmpty())
            return;
        if (QFileInfo(file).suffix().isEmpty())
            file += QStringLiteral(".pdf");
        if (!PrintToPdf(job, file, printer.pageLayout())) {
            ShowMessage(&preview, QStringLiteral("Drukowanie"),
                QStringLiteral("Nie można zapisać pliku „%1”.").arg(QDir::toNativeSeparators(file)),
                MessageIcon::Error, MessageButtons::Ok);
            return;
        }
        saved = true;
        preview.accept();
    };
    if (auto* bar = preview.findChild<QToolBar*>()) {
        bar->addSeparator();
        QAction* pdf = bar->addAction(
            QIcon(QStringLiteral(":/res/B_SAVE.png")), QStringLiteral("Zapisz jako PDF…"), savePdf);
        pdf->setObjectName(QStringLiteral("SavePdfAction"));
        pdf->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
        pdf->setToolTip(QStringLiteral("Zapisuje wydruk w pliku PDF [Ctrl+S]"));
    }
    const bool printed = preview.exec() == QDialog::Accepted;
    return saved || printed;
}

} // namespace orbita
