#include "htmlview/layout.h"

#include <algorithm>

namespace orbita::html {

std::vector<std::size_t> PageLayout::itemsIn(const Rect& area) const
{
    std::vector<std::size_t> result;
    if (bands.empty() || area.height <= 0)
        return result;
    const int first = std::max(0, area.y / kBand);
    const int last = std::min(static_cast<int>(bands.size()) - 1, (area.bottom() - 1) / kBand);
    for (int band = first; band <= last; ++band)
        for (std::uint32_t index : bands[static_cast<std::size_t>(band)])
            result.push_back(index);
    std::sort(result.begin(), result.end());
    result.erase(std::unique(result.begin(), result.end()), result.end());
    return result;
}

LinkId PageLayout::linkAt(int x, int y) const
{
    for (const LinkArea& area : linkAreas)
        if (area.rect.contains(x, y))
            return area.link;
    return kNone;
}

namespace {

const Font& FontOf(const Document& document, FontId id)
{
    static const Font fallback;
    return id < document.fonts.size() ? document.fonts[id] : fallback;
}

void PaintBullet(PageCanvas& canvas, const PaintItem& item)
{
    const Rect& r = item.rect;
    switch (item.id) {
    case 2: // circle: an outlined square stands in for it at this size
        canvas.drawFrame(r, 1, item.colour, item.colour);
        break;
    case 3:
        canvas.fillRect(r, item.colour);
        break;
    default: { // disc: a filled square with its corners cut
        if (r.width > 2 && r.height > 2) {
            canvas.fillRect(Rect { r.x + 1, r.y, r.width - 2, r.height }, item.colour);
            canvas.fillRect(Rect { r.x, r.y + 1, r.width, r.height - 2 }, item.colour);
        } else {
            canvas.fillRect(r, item.colour);
        }
        break;
    }
    }
}

} // namespace

void PaintPage(const PageLayout& layout, const Document& document, PageCanvas& canvas, const Rect& viewport)
{
    canvas.fillRect(viewport, layout.background);
    // The error page is drawn in the default font, not in the page's fonts.
    static const Document noFonts;
    const Document& fonts = layout.error.empty() ? document : noFonts;
    // Clips that open before the viewport and close inside it must still be
    // balanced, so every clip item of the page between the first and last
    // drawn item is replayed: items carry their clip pairs in the same bands.
    int openClips = 0;
    for (std::size_t index : layout.itemsIn(viewport)) {
        const PaintItem& item = layout.items[index];
        switch (item.kind) {
        case PaintItem::Kind::Fill:
            canvas.fillRect(item.rect, item.colour);
            break;
        case PaintItem::Kind::Text: {
            const std::size_t start = std::min<std::size_t>(item.textStart, layout.text.size());
            const std::size_t length = std::min<std::size_t>(item.textLength, layout.text.size() - start);
            canvas.drawText(item.rect.x, item.baseline, std::string_view(layout.text).substr(start, length),
                FontOf(fonts, item.font));
            break;
        }
        case PaintItem::Kind::Line:
            canvas.drawLine(item.rect.x, item.rect.y, item.rect.right(), item.rect.bottom(), item.colour,
                item.lineWidth);
            break;
        case PaintItem::Kind::Frame:
            canvas.drawFrame(item.rect, item.lineWidth, item.colour, item.colour2);
            break;
        case PaintItem::Kind::Image:
            if (!canvas.drawImage(item.id, item.rect)) {
                // The placeholder: a sunken frame with the ALT text inside.
                canvas.drawFrame(item.rect, 1, 0x808080, 0xC0C0C0);
                if (item.id < document.images.size() && !document.images[item.id].alt.empty()) {
                    const Image& image = document.images[item.id];
                    const Font& font = FontOf(document, image.font);
                    canvas.pushClip(item.rect);
                    canvas.drawText(item.rect.x + 4, item.rect.y + item.rect.height / 2 + PointsToPixels(font.points) / 3,
                        image.alt, font);
                    canvas.popClip();
                }
            }
            break;
        case PaintItem::Kind::Bullet:
            PaintBullet(canvas, item);
            break;
        case PaintItem::Kind::ClipPush:
            canvas.pushClip(item.rect);
            ++openClips;
            break;
        case PaintItem::Kind::ClipPop:
            if (openClips > 0) {
                canvas.popClip();
                --openClips;
            }
            break;
        }
    }
    for (; openClips > 0; --openClips)
        canvas.popClip();
}

} // namespace orbita::html
