#include "tests/support/pdf_pages.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace orbita::test {

int PdfPageCount(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray bytes = file.readAll();
    if (!bytes.startsWith("%PDF-"))
        return 0;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    int count = 0;
    for (auto match = page.globalMatch(QString::fromLatin1(bytes)); match.hasNext(); match.next())
        ++count;
    return count;
}

std::optional<QImage> RenderPdfPage(const QString& path, int page, int dpi)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    QTemporaryDir dir;
    if (tool.isEmpty() || !dir.isValid())
        return std::nullopt;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    QProcess process;
    process.start(tool,
        { QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
            QString::number(page), QStringLiteral("-l"), QString::number(page), QStringLiteral("-singlefile"),
            path, prefix });
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return std::nullopt;
    QImage image(prefix + QStringLiteral(".png"));
    if (image.isNull())
        return std::nullopt;
    return image;
}

int DarkPixels(const QImage& image, const QRect& area)
{
    int dark = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    return dark;
}

} // namespace orbita::test
