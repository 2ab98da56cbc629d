#include "htmlview/page_qt.h"

#include "platform/qt_text.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImageReader>
#include <QPen>
#include <cmath>
#include <map>
#include <tuple>

namespace orbita::html {

QFont QtFontOf(const Font& font)
{
    QFont result(FromCp1250(font.face));
    int pixels = PointsToPixels(font.points);
    if (font.position != TextPosition::Normal)
        pixels = std::max(1, pixels * 2 / 3);
    result.setPixelSize(std::max(1, pixels));
    result.setBold(font.bold);
    result.setItalic(font.italic);
    result.setUnderline(font.underline);
    result.setStrikeOut(font.strikeout);
    result.setHintingPreference(QFont::PreferNoHinting);
    result.setKerning(false);
    return result;
}

QImage DecodePagePicture(const std::string& bytes)
{
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxPictureSide || size.height() > kMaxPictureSide
        || static_cast<long long>(size.width()) * size.height() > kMaxPicturePixels)
        return {};
    return reader.read();
}

namespace {

using FontKey = std::tuple<std::string, int, bool, bool, int>;

FontKey KeyOf(const Font& font)
{
    return FontKey { font.face, font.points, font.bold, font.italic, static_cast<int>(font.position) };
}

QColor ColourOf(Rgb rgb)
{
    return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
        static_cast<int>(rgb & 0xFF));
}

} // namespace

// Widths of the words met are kept per font: pages repeat their words, and
// the layout measures each word when it measures a table and again when it
// lays it out. The cache is emptied when it grows large.
struct QtFontMetrics::Cache {
    struct Entry {
        std::unique_ptr<QFontMetricsF> metrics;
        std::unordered_map<std::string, int> widths;
    };
    std::map<FontKey, Entry> fonts;
    Font last;
    Entry* lastEntry = nullptr;
    std::size_t cachedWidths = 0;
    Entry& entryOf(const Font& font)
    {
        if (lastEntry && last.face == font.face && last.points == font.points && last.bold == font.bold
            && last.italic == font.italic && last.position == font.position)
            return *lastEntry;
        Entry& entry = fonts[KeyOf(font)];
        if (!entry.metrics)
            entry.metrics = std::make_unique<QFontMetricsF>(QtFontOf(font));
        last = font;
        lastEntry = &entry;
        return entry;
    }
};

QtFontMetrics::QtFontMetrics()
    : m_cache(std::make_unique<Cache>())
{
}

QtFontMetrics::~QtFontMetrics() = default;

const QFontMetricsF& QtFontMetrics::metricsOf(const Font& font) const
{
    return *m_cache->entryOf(font).metrics;
}

int QtFontMetrics::textWidth(const Font& font, std::string_view text) const
{
    if (text.empty())
        return 0;
    Cache::Entry& entry = m_cache->entryOf(font);
    constexpr std::size_t kCachedLength = 64; // longer texts are measured each time
    if (text.size() <= kCachedLength) {
        if (const auto found = entry.widths.find(std::string(text)); found != entry.widths.end())
            return found->second;
    }
    const int width = static_cast<int>(std::lround(entry.metrics->horizontalAdvance(FromCp1250(text))));
    if (text.size() <= kCachedLength) {
        if (m_cache->cachedWidths > 200000) {
            for (auto& [key, other] : m_cache->fonts)
                other.widths.clear();
            m_cache->cachedWidths = 0;
        }
        entry.widths.emplace(std::string(text), width);
        ++m_cache->cachedWidths;
    }
    return width;
}

int QtFontMetrics::ascent(const Font& font) const
{
    return static_cast<int>(std::ceil(metricsOf(font).ascent()));
}

int QtFontMetrics::descent(const Font& font) const
{
    return static_cast<int>(std::ceil(metricsOf(font).descent()));
}

int QtFontMetrics::lineSpacing(const Font& font) const
{
    const QFontMetricsF& metrics = metricsOf(font);
    return std::max(ascent(font) + descent(font), static_cast<int>(std::lround(metrics.lineSpacing())));
}

QtPageCanvas::QtPageCanvas(QPainter& painter, ImageLookup images)
    : m_painter(painter)
    , m_images(std::move(images))
{
}

void QtPageCanvas::fillRect(const Rect& rect, Rgb colour)
{
    if (rect.width > 0 && rect.height > 0)
        m_painter.fillRect(QRect(rect.x, rect.y, rect.width, rect.height), ColourOf(colour));
}

void QtPageCanvas::drawText(int x, int baseline, std::string_view text, const Font& font)
{
    if (!m_hasFont || !(m_lastFont == font)) {
        m_painter.setFont(QtFontOf(font));
        m_lastFont = font;
        m_hasFont = true;
    }
    m_painter.setPen(ColourOf(font.colour));
    m_painter.drawText(QPointF(x, baseline), FromCp1250(text));
}

void QtPageCanvas::drawLine(int x1, int y1, int x2, int y2, Rgb colour, int width)
{
    QPen pen(ColourOf(colour));
    pen.setWidth(std::max(1, width));
    m_painter.setPen(pen);
    m_painter.drawLine(x1, y1, x2, y2);
}

void QtPageCanvas::drawFrame(const Rect& rect, int width, Rgb topLeft, Rgb bottomRight)
{
    if (rect.width <= 0 || rect.height <= 0)
        return;
    const int w = std::clamp(width, 1, std::min(rect.width, rect.height) / 2 + 1);
    const QColor light = ColourOf(topLeft);
    const QColor dark = ColourOf(bottomRight);
    m_painter.fillRect(QRect(rect.x, rect.y, rect.width, w), light);
    m_painter.fillRect(QRect(rect.x, rect.y, w, rect.height), light);
    m_painter.fillRect(QRect(rect.x, rect.bottom() - w, rect.width, w), dark);
    m_painter.fillRect(QRect(rect.right() - w, rect.y, w, rect.height), dark);
}

bool QtPageCanvas::drawImage(ImageId image, const Rect& rect)
{
    const QImage* picture = m_images ? m_images(image) : nullptr;
    if (!picture || picture->isNull())
        return false;
    m_painter.drawImage(QRect(rect.x, rect.y, rect.width, rect.height), *picture);
    return true;
}

void QtPageCanvas::pushClip(const Rect& rect)
{
    m_painter.save();
    m_painter.setClipRect(QRect(rect.x, rect.y, rect.width, rect.height), Qt::IntersectClip);
}

void QtPageCanvas::popClip()
{
    m_painter.restore();
    m_hasFont = false;
}

} // namespace orbita::html
