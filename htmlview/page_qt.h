#pragma once

#include "htmlview/layout.h"
#include "htmlview/page_canvas.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

namespace orbita::html {

// The Qt font for a Font of the document model: the face name (Qt's font
// substitutions map the Windows names), the size in pixels at 96 dpi (so the
// screen's resolution never changes the layout), no hinting, so that the
// measures of layout and painting agree at any position. Sub- and
// superscripts are two thirds of the size.
QFont QtFontOf(const Font& font);

// Pictures of a page are at most this many pixels in all.
inline constexpr long long kMaxPicturePixels = 64LL * 1024 * 1024;

// A page's picture, decoded only when its header names a size within
// kMaxPictureSide a side and kMaxPicturePixels in all; otherwise (and for
// bytes that are no picture) a null image.
QImage DecodePagePicture(const std::string& bytes);

// FontMetrics through QFontMetricsF, widths rounded to whole pixels.
class QtFontMetrics final : public FontMetrics {
public:
    QtFontMetrics();
    ~QtFontMetrics() override;
    int textWidth(const Font& font, std::string_view text) const override;
    int ascent(const Font& font) const override;
    int descent(const Font& font) const override;
    int lineSpacing(const Font& font) const override;

private:
    const QFontMetricsF& metricsOf(const Font& font) const;
    struct Cache;
    std::unique_ptr<Cache> m_cache;
};

// PageCanvas on a QPainter. Page coordinates are drawn as they are; the
// caller translates the painter for the viewport. Pictures come from
// `images` (nothing: the placeholder is drawn).
class QtPageCanvas final : public PageCanvas {
public:
    using ImageLookup = std::function<const QImage*(ImageId)>;
    explicit QtPageCanvas(QPainter& painter, ImageLookup images = {});

    void fillRect(const Rect& rect, Rgb colour) override;
    void drawText(int x, int baseline, std::string_view text, const Font& font) override;
    void drawLine(int x1, int y1, int x2, int y2, Rgb colour, int width) override;
    void drawFrame(const Rect& rect, int width, Rgb topLeft, Rgb bottomRight) override;
    bool drawImage(ImageId image, const Rect& rect) override;
    void pushClip(const Rect& rect) override;
    void popClip() override;

private:
    QPainter& m_painter;
    ImageLookup m_images;
    Font m_lastFont;
    bool m_hasFont = false;
};

} // namespace orbita::html
