#pragma once

#include "htmlview/document.h"
#include "htmlview/document_builder.h"
#include "htmlview/font_metrics.h"
#include "htmlview/page_canvas.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace orbita::html {

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

// No picture is laid out larger than this on either side, whatever its
// WIDTH and HEIGHT or its own size say.
inline constexpr int kMaxPictureSide = 16384;

// Sizes of the pictures of a page, as far as they are known: the widget asks
// its image cache (which asks the page's owner for the data). Nothing means
// "not available": the layout then uses WIDTH/HEIGHT or a placeholder box.
class ImageSizes {
public:
    virtual ~ImageSizes() = default;
    virtual std::optional<Size> imageSize(const Image& image) const = 0;
};

// Sizes of form controls: the widget measures its real Qt controls. The
// default (`DefaultControlSize`) derives a plausible size from the font.
class ControlSizes {
public:
    virtual ~ControlSizes() = default;
    virtual Size controlSize(const FormControl& control, const Font& font) const = 0;
};

// A size derived from the font alone: text boxes SIZE (20) characters wide,
// buttons their caption, check boxes and radio buttons 13 x 13, and so on.
// Hidden controls are 0 x 0.
Size DefaultControlSize(const FormControl& control, const Font& font, const FontMetrics& metrics);

struct LayoutOptions {
    int width = 600; // width of the view, pixels
    int marginWidth = 10; // left and right page margin
    int marginHeight = 5; // top and bottom page margin
    Rgb defaultBackground = 0xFFFFFF; // when the page sets none
    Rgb defaultText = 0x000000;
    int basePoints = 12; // the view's body font size: paragraph gaps scale with it
};

// ---- what the layout gives: a display list and the page's structure ----

// One thing to draw, in painting order (backgrounds before what stands on them).
struct PaintItem {
    enum class Kind : std::uint8_t {
        Fill, // `rect` in `colour`
        Text, // `text` of the layout's text pool at (rect.x, baseline) in `font`
        Line, // from (rect.x, rect.y) to (rect.right(), rect.bottom()), `lineWidth` thick
        Frame, // `lineWidth` thick inside rect, `colour` top/left, `colour2` bottom/right
        Image, // document image `id` in rect (placeholder frame when unavailable)
        Bullet, // list bullet of style `id` (1 disc, 2 circle, 3 square) in rect, `colour`
        ClipPush, // clip to rect
        ClipPop,
    };
    Kind kind = Kind::Fill;
    Rect rect;
    int baseline = 0;
    FontId font = 0;
    Rgb colour = 0;
    Rgb colour2 = 0;
    int lineWidth = 1;
    std::uint32_t id = 0;
    std::uint32_t textStart = 0; // Text: offset into PageLayout::text
    std::uint32_t textLength = 0;
};

// A rectangle of a link, for hit testing (one per laid-out piece of it).
struct LinkArea {
    LinkId link = kNone;
    Rect rect;
};

// Where the widget puts the real control of a form control.
struct ControlPlacement {
    ControlId control = 0;
    Rect rect;
};

// Where a picture stands (for image maps and hit testing).
struct ImagePlacement {
    ImageId image = 0;
    Rect rect;
};

// One laid-out line of visible text in reading order. Its pieces are
// `PageLayout::fragments[firstFragment .. firstFragment + fragmentCount)`;
// the line's text is `text[textStart .. textStart + textLength)`, pieces
// joined with single blanks where the layout put space between them.
struct TextLine {
    Rect rect;
    std::uint32_t firstFragment = 0;
    std::uint32_t fragmentCount = 0;
    std::uint32_t textStart = 0;
    std::uint32_t textLength = 0;
    // How the line ends: at a line end or the end of its paragraph (Hard);
    // only because the next word did not fit, the paragraph going on in the
    // next line (Wrapped); inside a word too long for any line, broken by
    // character (WordSplit).
    enum class End : std::uint8_t { Hard, Wrapped, WordSplit };
    End end = End::Hard;
    // The innermost table cell and table row that hold the line, numbered
    // across the page from 1 (0: outside every table).
    std::uint32_t cell = 0;
    std::uint32_t row = 0;
};

// A piece of visible text drawn in one font at one place. Character i of it
// lies at x + width of its first i bytes in `font` (ask the metrics).
struct TextFragment {
    std::uint32_t textStart = 0; // in PageLayout::text
    std::uint32_t textLength = 0;
    int x = 0;
    int top = 0;
    int baseline = 0;
    int height = 0;
    FontId font = 0;
    LinkId link = kNone;
};

struct PageLayout {
    // Not empty when the layout of the page stopped ("Table has too many
    // Columns", the page's parse error, a limit). The layout then holds a
    // page of its own that shows this text in the default font (PaintPage
    // draws it so), and no links, controls, pictures or anchors.
    std::string error;

    int width = 0; // the view's width, or more when the content is wider
    int height = 0; // document height, margins included
    Rgb background = 0xFFFFFF;

    std::vector<PaintItem> items;
    std::vector<LinkArea> linkAreas;
    std::vector<ControlPlacement> controls;
    std::vector<ImagePlacement> images;
    std::vector<int> anchorY; // per AnchorId: top of the line where it stands

    // Text model for find and select: every visible word in reading order.
    // Windows-1250: the text of every line followed by '\n', in reading
    // order; list numbers (drawn beside their items, part of no line) stand
    // after their item's text, each followed by '\n'. Search the lines to
    // find words; paint items and fragments point into this text.
    std::string text;
    std::vector<TextLine> lines;
    std::vector<TextFragment> fragments;

    // Indices of the items that may intersect `area`, in painting order.
    std::vector<std::size_t> itemsIn(const Rect& area) const;
    // The link at a page point, kNone when none.
    LinkId linkAt(int x, int y) const;

    // Buckets of item indices per band of kBand pixels (built by the layout).
    static constexpr int kBand = 256;
    std::vector<std::vector<std::uint32_t>> bands;
};

// The text of `layout.text[start .. end)` as it is copied: lines that the
// layout wrapped are joined with a blank, so paragraphs stay whole; the cells
// of one table row are separated by a tab, so the row stays on one line (the
// rows of the innermost table: the cells around a nested table stand on
// lines of their own);
// other line ends stay line ends ('\n'). Offsets past the text are clamped.
std::string CopiedText(const PageLayout& layout, std::size_t start, std::size_t end);

// The text that names a control placed at `control`: from the nearest piece
// of text to its right that shares its height, to the end of that line (a
// check box's or a radio button's caption, written beside it or in the next
// table cell). Empty when no text stands there.
std::string TextBesideControl(const PageLayout& layout, const Rect& control);

// Lays the document out for the view width in `options`. Never throws on any
// document; an error ends the layout with `PageLayout::error` set. The work
// is proportional to the document (each table is measured once and laid out
// once per enclosing layout pass). The layout recurses once per list and per
// table level (two steps each: the list or table, then its item or cell);
// the builder keeps at most kMaxNesting levels, and kMaxLayoutDepth stops a
// deeper document (built by other code) with the error "Page nests too deeply".
inline constexpr int kMaxLayoutDepth = 2 * static_cast<int>(kMaxNesting) + 16;
PageLayout LayoutDocument(const Document& document, const FontMetrics& metrics,
    const LayoutOptions& options = {}, const ImageSizes* images = nullptr,
    const ControlSizes* controls = nullptr);

// Paints the part of the page that intersects `viewport` (page coordinates)
// through the canvas; the canvas is expected to map page coordinates itself.
// Reads the layout only. Paints the page background over the viewport first.
void PaintPage(const PageLayout& layout, const Document& document, PageCanvas& canvas, const Rect& viewport);

} // namespace orbita::html
