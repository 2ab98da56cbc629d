// Golden images: small pages laid out with the Qt measures and painted with
// the Qt canvas on the offscreen platform, compared with the pictures in
// tests/htmlview/golden within the tolerance of the shared picture comparison
// (antialiased text rounds differently on other processors). When they
// differ, the picture made now is written to the build tree as
// NAME.failed.png. ORBITA_UPDATE_GOLDEN=1 writes the golden pictures instead
// (look at them before committing).
#include "htmlview/document_builder.h"
#include "htmlview/layout.h"
#include "htmlview/page_qt.h"
#include "platform/qt_text.h"
#include "tests/support/picture_compare.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QString>
#include <gtest/gtest.h>
#include <string>
#include <zlib.h>

namespace orbita::html {
namespace {

const char* const kGoldenDir = ORBITA_SOURCE_DIR "/tests/htmlview/golden/";

QImage RenderPage(const std::string& markup, int width)
{
    BuildOptions build;
    build.fontName = "DejaVu Serif"; // installed faces, so the pictures do not depend on substitutions
    build.preFontName = "DejaVu Sans Mono";
    const Document document = BuildDocument(markup, build);
    QtFontMetrics metrics;
    LayoutOptions options;
    options.width = width;
    const PageLayout layout = LayoutDocument(document, metrics, options);
    QImage picture(layout.width, layout.height, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    QtPageCanvas canvas(painter);
    PaintPage(layout, document, canvas, Rect { 0, 0, layout.width, layout.height });
    painter.end();
    return picture;
}

struct GoldenPage {
    const char* name;
    const char* markup;
    int width;
};

const GoldenPage kPages[] = {
    { "paragraphs",
        "<h2 align=center>Tlen</h2><p>Pierwiastek <b>chemiczny</b> o liczbie atomowej <i>8</i>, "
        "<font color=red>gaz</font> bez barwy i zapachu. <a href=\"#x\">Odno\x9c"
        "nik</a> H<sub>2</sub>O "
        "i 10<sup>3</sup>.<hr><ol><li>pierwszy<li>drugi<ul><li>punkt</ul></ol><pre>a  b\n  c</pre>",
        320 },
    { "table",
        "<table border=1 cellpadding=3 width=100%><caption>Masy</caption>"
        "<tr><th>Symbol<th>Masa<tr bgcolor=#ffffc0><td>H<td align=right>1,008"
        "<tr><td rowspan=2 valign=bottom bgcolor=silver>O<br>tlen<td>15,999<tr><td colspan=1>-</table>",
        300 },
    { "floats",
        "<img align=left width=60 height=40>Tekst obok obrazka, kt\xF3ry zawija si\xEA wok\xF3\xB3 niego, "
        "a\xBF do ko\xF1"
        "ca.<br clear=left>Pod spodem "
        "<table align=right border=1><tr><td>tabela</table>dalszy tekst obok tabeli po prawej stronie.",
        260 },
};

TEST(PageRenderGolden, PagesMatchTheirPictures)
{
    ASSERT_TRUE(QFontDatabase::families().contains(QStringLiteral("DejaVu Serif")))
        << "the golden pictures are drawn in DejaVu Serif";
    const bool update = qEnvironmentVariableIntValue("ORBITA_UPDATE_GOLDEN") == 1;
    for (const GoldenPage& page : kPages) {
        const QImage picture = RenderPage(page.markup, page.width);
        const QString golden
            = QString::fromUtf8(kGoldenDir) + QString::fromUtf8(page.name) + QStringLiteral(".png");
        if (update) {
            ASSERT_TRUE(picture.save(golden, "PNG")) << page.name;
            continue;
        }
        const QImage expected = QImage(golden).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(expected.isNull()) << "no golden picture for " << page.name;
        EXPECT_TRUE(test::PicturesMatch(
            picture, expected, QString::fromUtf8(page.name) + QStringLiteral(".failed.png")))
            << page.name << ": differs from its golden picture";
    }
}

// The Qt measures and the Qt painter agree: a run drawn at x ends where the
// layout measured it, to a pixel.
TEST(PageRenderGolden, MeasuresAgreeWithDrawing)
{
    QtFontMetrics metrics;
    Font font;
    font.face = "DejaVu Serif";
    font.points = 12;
    const std::string text = "Pierwiastek chemiczny";
    const int width = metrics.textWidth(font, text);
    QImage picture(400, 40, QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        QtPageCanvas canvas(painter);
        canvas.drawText(10, 25, text, font);
    }
    int rightmost = -1;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qGray(picture.pixel(x, y)) < 160)
                rightmost = std::max(rightmost, x);
    ASSERT_GT(rightmost, 10);
    EXPECT_NEAR(rightmost, 10 + width, 3);
    EXPECT_EQ(metrics.ascent(font) + metrics.descent(font) <= metrics.lineSpacing(font), true);
}

// The layout places each word at a whole pixel from widths rounded word by
// word. A drawn piece of text must not reach beyond the room it was given,
// or a long run in one font covers the blank before the next font's word
// ("Wiersze to okresy" drawn as "Wiersze tookresy" in Arial at 12 px).
TEST(PageRenderPieces, DrawnTextStaysWithinItsPlace)
{
    for (const char* face : { "DejaVu Sans", "DejaVu Serif", "Liberation Sans" }) {
        BuildOptions build;
        build.fontName = face;
        build.fontSize = 9;
        const Document document
            = BuildDocument("<p>Pierwiastki stoj\xB9 w kolejno\x9c"
                            "ci liczb atomowych. Wiersze to <b>okresy</b> (1\x96"
                            "7), kolumny to <b>grupy</b>, a "
                            "<b>aktynowce</b> i lantanowce in in in in in in in in in in in in in <i>il</i>.",
                build);
        QtFontMetrics metrics;
        LayoutOptions options;
        options.width = 2000;
        const PageLayout layout = LayoutDocument(document, metrics, options);
        int pieces = 0;
        for (const PaintItem& item : layout.items) {
            if (item.kind != PaintItem::Kind::Text)
                continue;
            ++pieces;
            const QFontMetricsF drawn(QtFontOf(document.fonts[item.font]));
            const QString text = FromCp1250(layout.text.substr(item.textStart, item.textLength));
            EXPECT_LE(drawn.horizontalAdvance(text), item.rect.width + 1.0)
                << face << ": \"" << text.toStdString() << "\" is drawn wider than its place";
        }
        EXPECT_GT(pieces, 10) << face;
    }
}

} // namespace
} // namespace orbita::html

namespace orbita::html {
namespace {

// A one-pixel PNG whose header is made to claim `width` x `height`.
std::string PngClaiming(quint32 width, quint32 height)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImage(1, 1, QImage::Format_RGB32).save(&buffer, "PNG");
    std::string png = bytes.toStdString();
    // Signature (8), IHDR length (4), "IHDR" (4), width, height, 5 bytes, CRC.
    for (int i = 0; i < 4; ++i) {
        png[16 + i] = static_cast<char>(width >> (24 - 8 * i));
        png[20 + i] = static_cast<char>(height >> (24 - 8 * i));
    }
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17);
    for (int i = 0; i < 4; ++i)
        png[29 + i] = static_cast<char>(crc >> (24 - 8 * i));
    return png;
}

TEST(PagePictures, DecodedOnlyWithinTheCaps)
{
    EXPECT_EQ(DecodePagePicture(PngClaiming(1, 1)).size(), QSize(1, 1));
    EXPECT_TRUE(DecodePagePicture(PngClaiming(kMaxPictureSide + 1, 1)).isNull());
    EXPECT_TRUE(DecodePagePicture(PngClaiming(1, kMaxPictureSide + 1)).isNull());
    EXPECT_TRUE(DecodePagePicture(PngClaiming(10000, 10000)).isNull()); // 100 megapixels
    EXPECT_TRUE(DecodePagePicture("GIF89a").isNull());
    EXPECT_TRUE(DecodePagePicture("").isNull());
}

} // namespace
} // namespace orbita::html
