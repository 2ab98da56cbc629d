#pragma once

// The layout engine's own types, shared by its units (not for other code):
//   layout_atoms.cpp   cutting paragraphs into atoms and sizing pictures and controls
//   layout_measure.cpp smallest and largest widths of flows, lists and paragraphs
//   layout_lines.cpp   line filling: fill a line, measure it, emit it
//   layout_blocks.cpp  flows, lists and horizontal rules
//   layout_floats.cpp  floating pictures and tables beside the text
//   layout_tables.cpp  table plans, row heights and cell placement
//   layout.cpp         the entry point and the painting list (moving output, bands)

#include "htmlview/layout.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orbita::html::layout_detail {

inline constexpr int kListIndent = 40; // per list level
inline constexpr int kRuleMargin = 7; // above and below a horizontal line
inline constexpr int kMaxCoordinate = 1 << 28; // positions are clamped below this

inline int ClampCoordinate(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, -kMaxCoordinate, kMaxCoordinate));
}

// A paragraph is cut into atoms: pieces of text without blanks (outside PRE),
// the blanks between them, pictures, controls, line ends and anchors. A word
// is a maximal sequence of Text atoms with no Space between them (it may
// change font in the middle); a picture or a control is a word of its own.
struct Atom {
    enum class Kind : std::uint8_t { Text, Space, Image, FloatImage, Control, Break, Anchor };
    Kind kind = Kind::Text;
    const std::string* source = nullptr; // Text, Space
    std::uint32_t start = 0;
    std::uint32_t length = 0;
    FontId font = 0;
    LinkId link = kNone;
    int width = 0;
    int ascent = 0; // above the baseline
    int descent = 0; // below the baseline
    int leading = 0; // extra line spacing wanted by the font
    int baselineShift = 0; // sub- and superscript
    std::uint32_t id = 0; // image, control or anchor id
    Clear clear = Clear::None;
    int hspace = 0; // pictures: room left and right
    bool floatLeft = false;

    std::string_view text() const
    {
        return source ? std::string_view(*source).substr(start, length) : std::string_view();
    }
};

struct Float {
    Rect rect; // margins included
    bool left = true;
};

// A block formatting context: the body or one table cell. Floats stand in
// it at absolute page positions; nested lists share their context.
struct Context {
    std::vector<Float> floats;
    int bottomLeft = INT_MIN; // lowest bottom of the left floats
    int bottomRight = INT_MIN;

    // Narrows `left` and `right` to the span the floats leave free for a
    // line from y to y + height.
    void span(int y, int height, int& left, int& right) const;
    // The next y below `y` at which some float ends (INT_MAX when none).
    int nextFloatEnd(int y) const;
    // `y` moved below the floats on the side(s) that `clear` names.
    int clearY(int y, Clear clear) const;
    int floatsBottom() const { return std::max(bottomLeft, bottomRight); }
    void add(const Float& f);
    // Floats wholly above y no longer narrow any line (y only grows within a
    // context), so they are dropped to keep lookups short.
    void prune(int y);
};

// Where the output of a piece of layout starts in the page's vectors, so
// that a cell laid out at y = 0 can be moved to its row afterwards.
struct OutputMark {
    std::size_t items = 0, links = 0, controls = 0, images = 0, lines = 0, fragments = 0, anchors = 0;
};

struct MinMax {
    int min = 0;
    int max = 0;
};

class Engine {
public:
    Engine(const Document& document, const FontMetrics& metrics, const LayoutOptions& options,
        const ImageSizes* images, const ControlSizes* controls, PageLayout& out)
        : m_doc(document)
        , m_metrics(metrics)
        , m_options(options)
        , m_images(images)
        , m_controls(controls)
        , m_out(out)
        , m_flowMeasure(document.flows.size())
        , m_flowMeasured(document.flows.size(), 0)
    {
    }

    bool run();
    const std::string& error() const { return m_error; }

private:
    const Font& font(FontId id) const
    {
        static const Font fallback;
        return id < m_doc.fonts.size() ? m_doc.fonts[id] : fallback;
    }
    bool fail(std::string message)
    {
        if (m_error.empty())
            m_error = std::move(message);
        return false;
    }

    // atoms (layout_atoms.cpp)
    void buildAtoms(const Paragraph& paragraph, std::vector<Atom>& atoms) const;
    void measureText(Atom& atom) const;
    Size imageSize(const Image& image, int availableWidth) const;
    Size controlSize(const FormControl& control) const;
    // How far a picture of `height` in line with text of `font` reaches above
    // the baseline, by its alignment (the rest lies below it).
    int imageAscent(ImageAlign align, int height, FontId font) const;

    // measuring: smallest and largest widths of content (layout_measure.cpp)
    MinMax measureFlow(FlowId flow, int depth);
    MinMax measureParagraph(const Paragraph& paragraph);
    MinMax measureList(const List& list, int depth);
    MinMax measureTable(TableId table, int depth);

    // layout; all of them take and give absolute page y positions
    int layoutFlow(
        FlowId flow, Context& context, int left, int right, int baseX, int y, int depth, int* firstBaseline);
    int layoutList(const List& list, Context& context, int left, int right, int baseX, int y, int depth,
        int* firstBaseline);
    int layoutRule(const Rule& rule, Context& context, int left, int right, int y);
    int layoutTableBlock(TableId table, Context& context, int left, int right, int y, int depth);

    // paragraphs (layout_lines.cpp)
    struct ParagraphRun;
    struct Line;
    enum class LineFill : std::uint8_t { Ready, Retry };
    int layoutParagraph(
        const Paragraph& paragraph, Context& context, int left, int right, int y, int* firstBaseline);
    int layoutEmptyLine(const ParagraphRun& run, int* firstBaseline);
    LineFill fillLine(ParagraphRun& run, Line& line);
    void breakWordByCharacter(ParagraphRun& run, std::size_t end, Line& line);
    void measureLine(const ParagraphRun& run, Line& line) const;
    void emitLine(ParagraphRun& run, Line& line, int* firstBaseline);
    void emitImage(const Atom& atom, int x, int baseline, int width, int height);
    std::size_t emitTextRun(
        const ParagraphRun& run, const Line& line, std::size_t first, int originX, int baseline);
    void placeFloatingImage(ParagraphRun& run, std::size_t atom);

    // tables (layout_tables.cpp)
    struct TablePlan;
    bool planTable(TableId id, int availableWidth, int depth, TablePlan& plan);
    int layoutTable(const TablePlan& plan, int x, int y, int depth); // gives the height

    // floats (layout_floats.cpp)
    Rect placeFloat(Context& context, int left, int right, int y, int width, int height, bool atLeft);

    // output (layout.cpp)
    OutputMark mark() const
    {
        return OutputMark { m_out.items.size(), m_out.linkAreas.size(), m_out.controls.size(),
            m_out.images.size(), m_out.lines.size(), m_out.fragments.size(), m_anchorLog.size() };
    }
    // Moves what was laid out from `from` up to `to` (exclusive).
    void shift(const OutputMark& from, const OutputMark& to, int dx, int dy);
    std::uint32_t addText(std::string_view text)
    {
        const auto start = static_cast<std::uint32_t>(m_out.text.size());
        m_out.text.append(text);
        return start;
    }

    const Document& m_doc;
    const FontMetrics& m_metrics;
    const LayoutOptions& m_options;
    const ImageSizes* m_images;
    const ControlSizes* m_controls;
    PageLayout& m_out;
    std::string m_error;
    std::vector<MinMax> m_flowMeasure;
    std::vector<char> m_flowMeasured;
    std::vector<std::pair<AnchorId, int>> m_anchorLog; // anchors set, moved with their cells
    int m_widest = 0; // rightmost content edge seen
    std::uint32_t m_tableCells = 0; // table cells and rows laid out so far (TextLine::cell, row)
    std::uint32_t m_tableRows = 0;
};

} // namespace orbita::html::layout_detail
