// A whole page as the render command treats it: the reader, the document
// builder, the layout with picture sizes (as decoded pictures would give them,
// up to 65535 px a side) and the default control sizes, and painting of every
// part of the page that a rendered picture shows (at most 16384 px a side and
// 64 megapixels) in bands, as a view scrolled through it would. The first
// byte picks the view width, the second varies the picture sizes. Pictures
// must stay within their cap, and every drawn rectangle must be sane.
#include "htmlview/document_builder.h"
#include "htmlview/layout.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string_view>

using namespace orbita::html;

namespace {

constexpr int kBand = 600;
constexpr long long kMaxPixels = 64LL * 1024 * 1024;

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// Sizes that depend on the picture's name, so that one page may mix known
// pictures of any size with missing ones.
class NamedSizes final : public ImageSizes {
public:
    explicit NamedSizes(std::uint8_t salt)
        : m_salt(salt)
    {
    }
    std::optional<Size> imageSize(const Image& image) const override
    {
        const std::size_t hash = std::hash<std::string_view> {}(image.src) ^ m_salt;
        if (image.src.empty() || hash % 4 == 0)
            return std::nullopt; // a missing picture: the placeholder
        return Size { static_cast<int>(hash >> 8 & 0xFFFF), static_cast<int>(hash >> 24 & 0xFFFF) };
    }

private:
    std::uint8_t m_salt;
};

bool Sane(const Rect& rect)
{
    return rect.width >= 0 && rect.height >= 0 && rect.width <= (1 << 24) && rect.height <= (1 << 28);
}

class CheckingCanvas final : public PageCanvas {
public:
    int clips = 0;
    void fillRect(const Rect& rect, Rgb) override { Check(Sane(rect)); }
    void drawText(int, int, std::string_view text, const Font&) override { Check(text.size() < (1u << 30)); }
    void drawLine(int, int, int, int, Rgb, int width) override { Check(width >= 0); }
    void drawFrame(const Rect& rect, int width, Rgb, Rgb) override { Check(Sane(rect) && width >= 0); }
    bool drawImage(ImageId, const Rect& rect) override
    {
        Check(Sane(rect));
        return rect.width % 2 == 0; // some pictures drawn, some as placeholders
    }
    void pushClip(const Rect& rect) override
    {
        Check(Sane(rect));
        ++clips;
    }
    void popClip() override
    {
        Check(clips > 0);
        --clips;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const int width = 50 + data[0] * 8;
    const std::string_view markup(reinterpret_cast<const char*>(data + 2), size - 2);
    const Document document = BuildDocument(markup);
    FixedFontMetrics metrics;
    LayoutOptions options;
    options.width = width;
    const NamedSizes sizes(data[1]);
    const PageLayout layout = LayoutDocument(document, metrics, options, &sizes);

    Check(layout.height >= 0 && layout.width >= width);
    for (const ImagePlacement& image : layout.images) {
        Check(image.image < document.images.size());
        // The picture itself is capped; its border (at most 100 px) comes on top.
        Check(image.rect.width <= kMaxPictureSide + 200 && image.rect.height <= kMaxPictureSide + 200);
    }

    // The part a rendered picture shows, painted band by band.
    const int shownWidth = std::clamp(layout.width, 1, kMaxPictureSide);
    const int shownHeight = std::clamp(
        layout.height, 1, static_cast<int>(std::min<long long>(kMaxPictureSide, kMaxPixels / shownWidth)));
    CheckingCanvas canvas;
    for (int top = 0; top < shownHeight; top += kBand) {
        PaintPage(layout, document, canvas, Rect { 0, top, shownWidth, std::min(kBand, shownHeight - top) });
        Check(canvas.clips == 0);
    }
    return 0;
}
