// Page layout: the reader, the document builder and the layout (fixed-width
// measures) over arbitrary bytes, then painting of two viewports through a
// canvas that checks what it is asked to draw. The first byte picks the view
// width; the layout must end with a page or an error text, and every range
// it gives must lie inside its text.
#include "htmlview/document_builder.h"
#include "htmlview/layout.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace orbita::html;

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

class CheckingCanvas final : public PageCanvas {
public:
    int clips = 0;
    void fillRect(const Rect&, Rgb) override { }
    void drawText(int, int, std::string_view text, const Font&) override { Check(text.size() < (1u << 30)); }
    void drawLine(int, int, int, int, Rgb, int width) override { Check(width >= 0); }
    void drawFrame(const Rect&, int, Rgb, Rgb) override { }
    bool drawImage(ImageId, const Rect&) override { return false; }
    void pushClip(const Rect&) override { ++clips; }
    void popClip() override
    {
        Check(clips > 0);
        --clips;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const int width = 40 + data[0] * 4;
    const std::string_view markup(reinterpret_cast<const char*>(data + 1), size - 1);
    const Document document = BuildDocument(markup);
    FixedFontMetrics metrics;
    LayoutOptions options;
    options.width = width;
    const PageLayout layout = LayoutDocument(document, metrics, options);

    Check(layout.height >= 0 && layout.width >= width);
    if (layout.error.empty())
        Check(layout.anchorY.size() == document.anchors.size());
    for (const PaintItem& item : layout.items)
        if (item.kind == PaintItem::Kind::Text)
            Check(item.textStart <= layout.text.size() && item.textLength <= layout.text.size() - item.textStart);
    for (const TextLine& line : layout.lines) {
        Check(line.textStart <= layout.text.size() && line.textLength <= layout.text.size() - line.textStart);
        Check(line.firstFragment <= layout.fragments.size()
            && line.fragmentCount <= layout.fragments.size() - line.firstFragment);
    }
    for (const TextFragment& fragment : layout.fragments)
        Check(fragment.textStart <= layout.text.size()
            && fragment.textLength <= layout.text.size() - fragment.textStart);
    for (const ControlPlacement& control : layout.controls)
        Check(control.control < document.controls.size());
    for (const ImagePlacement& image : layout.images)
        Check(image.image < document.images.size());

    CheckingCanvas canvas;
    PaintPage(layout, document, canvas, Rect { 0, 0, width, 600 });
    Check(canvas.clips == 0);
    PaintPage(layout, document, canvas, Rect { 0, layout.height / 2, width, 600 });
    Check(canvas.clips == 0);
    return 0;
}
