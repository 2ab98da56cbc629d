#include "htmlview/layout.h"

#include "htmlview/document_tables.h"
#include "htmlview/table_widths.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string_view>

namespace orbita::html {

namespace {

constexpr int kListIndent = 40; // per list level
constexpr int kRuleMargin = 7; // above and below a horizontal line
constexpr int kMaxCoordinate = 1 << 28; // positions are clamped below this

// Bytes that separate words outside PRE.
bool IsBlank(char c)
{
    return c == ' ';
}

int ClampCoordinate(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, -kMaxCoordinate, kMaxCoordinate));
}

// ---- paragraph atoms ----

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

    // The free span between `left` and `right` for a line from y to
    // y + height.
    void span(int y, int height, int& left, int& right) const
    {
        for (const Float& f : floats) {
            if (f.rect.y >= y + std::max(height, 1) || f.rect.bottom() <= y)
                continue;
            if (f.left)
                left = std::max(left, f.rect.right());
            else
                right = std::min(right, f.rect.x);
        }
    }
    // The next y below `y` at which some float ends (INT_MAX when none).
    int nextFloatEnd(int y) const
    {
        int next = INT_MAX;
        for (const Float& f : floats)
            if (f.rect.bottom() > y)
                next = std::min(next, f.rect.bottom());
        return next;
    }
    int clearY(int y, Clear clear) const
    {
        if (clear == Clear::Left || clear == Clear::All)
            y = std::max(y, bottomLeft);
        if (clear == Clear::Right || clear == Clear::All)
            y = std::max(y, bottomRight);
        return y;
    }
    int floatsBottom() const { return std::max(bottomLeft, bottomRight); }
    void add(const Float& f)
    {
        floats.push_back(f);
        if (f.left)
            bottomLeft = std::max(bottomLeft, f.rect.bottom());
        else
            bottomRight = std::max(bottomRight, f.rect.bottom());
    }
    // Floats wholly above y no longer narrow any line (y only grows within a
    // context), so they are dropped to keep lookups short.
    void prune(int y)
    {
        if (floats.size() < 16)
            return;
        std::erase_if(floats, [y](const Float& f) { return f.rect.bottom() <= y; });
    }
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

    // atoms
    void buildAtoms(const Paragraph& paragraph, std::vector<Atom>& atoms) const;
    void measureText(Atom& atom) const;
    Size imageSize(const Image& image, int availableWidth) const;
    Size controlSize(const FormControl& control) const;

    // measuring: smallest and largest widths of content
    MinMax measureFlow(FlowId flow, int depth);
    MinMax measureParagraph(const Paragraph& paragraph);
    MinMax measureList(const List& list, int depth);
    MinMax measureTable(TableId table, int depth);

    // layout; all of them take and give absolute page y positions
    int layoutFlow(FlowId flow, Context& context, int left, int right, int baseX, int y, int depth,
        int* firstBaseline);
    int layoutParagraph(
        const Paragraph& paragraph, Context& context, int left, int right, int y, int* firstBaseline);
    int layoutList(const List& list, Context& context, int left, int right, int baseX, int y, int depth,
        int* firstBaseline);
    int layoutRule(const Rule& rule, Context& context, int left, int right, int y);
    int layoutTableBlock(TableId table, Context& context, int left, int right, int y, int depth);

    struct TablePlan;
    bool planTable(TableId id, int availableWidth, int depth, TablePlan& plan);
    int layoutTable(const TablePlan& plan, int x, int y, int depth); // gives the height

    Rect placeFloat(Context& context, int left, int right, int y, int width, int height, bool atLeft);

    // output
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
    static const std::string s_blank;
};

const std::string Engine::s_blank = " ";

// ---------------------------------------------------------------------------
// atoms

void Engine::measureText(Atom& atom) const
{
    const Font& f = font(atom.font);
    atom.width = m_metrics.textWidth(f, atom.text());
    atom.ascent = m_metrics.ascent(f);
    atom.descent = m_metrics.descent(f);
    atom.leading = std::max(0, m_metrics.lineSpacing(f) - atom.ascent - atom.descent);
    const int px = PointsToPixels(f.points);
    if (f.position == TextPosition::Superscript)
        atom.baselineShift = -px / 3;
    else if (f.position == TextPosition::Subscript)
        atom.baselineShift = px / 4;
}

Size Engine::imageSize(const Image& image, int availableWidth) const
{
    std::optional<Size> known = m_images ? m_images->imageSize(image) : std::nullopt;
    auto resolve = [availableWidth](const Length& length) {
        if (length.percent)
            return static_cast<int>(static_cast<long long>(availableWidth) * std::clamp(length.value, 0, 100) / 100);
        return std::clamp(length.value, 0, 1 << 16);
    };
    Size size;
    if (known) {
        size = Size { std::clamp(known->width, 0, 1 << 16), std::clamp(known->height, 0, 1 << 16) };
    } else {
        // Placeholder box: room for the ALT text, or a small square.
        const Font& f = font(image.font);
        if (!image.alt.empty())
            size = Size { std::min(m_metrics.textWidth(f, image.alt), 1 << 12) + 8,
                m_metrics.lineSpacing(f) + 6 };
        else
            size = Size { 24, 24 };
    }
    if (image.width && image.height) {
        size = Size { resolve(*image.width), resolve(*image.height) };
    } else if (image.width) {
        const int w = resolve(*image.width);
        size.height = (known && known->width > 0)
            ? static_cast<int>(static_cast<long long>(size.height) * w / known->width)
            : size.height;
        size.width = w;
    } else if (image.height) {
        const int h = resolve(*image.height);
        size.width = (known && known->height > 0)
            ? static_cast<int>(static_cast<long long>(size.width) * h / known->height)
            : size.width;
        size.height = h;
    }
    const int border = std::clamp(image.border.value_or(0), 0, 100);
    return Size { size.width + 2 * border, size.height + 2 * border };
}

Size Engine::controlSize(const FormControl& control) const
{
    const Font& f = font(control.font);
    Size size = m_controls ? m_controls->controlSize(control, f) : DefaultControlSize(control, f, m_metrics);
    return Size { std::clamp(size.width, 0, 1 << 14), std::clamp(size.height, 0, 1 << 14) };
}

void Engine::buildAtoms(const Paragraph& paragraph, std::vector<Atom>& atoms) const
{
    atoms.clear();
    for (const Inline& item : paragraph.items) {
        if (const auto* run = std::get_if<TextRun>(&item)) {
            const std::string& text = run->text;
            std::size_t i = 0;
            while (i < text.size()) {
                Atom atom;
                atom.source = &text;
                atom.font = run->font;
                atom.link = run->link;
                if (paragraph.preformatted) {
                    atom.start = static_cast<std::uint32_t>(i);
                    atom.length = static_cast<std::uint32_t>(text.size() - i);
                    i = text.size();
                } else if (IsBlank(text[i])) {
                    atom.kind = Atom::Kind::Space;
                    atom.start = static_cast<std::uint32_t>(i);
                    atom.length = 1;
                    while (i < text.size() && IsBlank(text[i]))
                        ++i;
                } else {
                    const std::size_t end = std::min(text.find(' ', i), text.size());
                    atom.start = static_cast<std::uint32_t>(i);
                    atom.length = static_cast<std::uint32_t>(end - i);
                    i = end;
                }
                measureText(atom);
                // Two blanks in a row (across runs) count as one.
                if (atom.kind == Atom::Kind::Space && !atoms.empty() && atoms.back().kind == Atom::Kind::Space)
                    continue;
                atoms.push_back(atom);
            }
        } else if (const auto* lineBreak = std::get_if<LineBreak>(&item)) {
            Atom atom;
            atom.kind = Atom::Kind::Break;
            atom.clear = lineBreak->clear;
            atom.font = paragraph.font;
            atoms.push_back(atom);
        } else if (const auto* ref = std::get_if<ImageRef>(&item)) {
            if (ref->image >= m_doc.images.size())
                continue;
            const Image& image = m_doc.images[ref->image];
            Atom atom;
            atom.kind = Atom::Kind::Image;
            atom.id = ref->image;
            atom.link = image.link;
            atom.font = image.font;
            atom.hspace = std::clamp(image.hspace.value_or(0), 0, 100);
            const std::string align = image.align.value_or("");
            if (align == "left" || align == "right") {
                atom.kind = Atom::Kind::FloatImage;
                atom.floatLeft = align == "left";
            }
            // Width and height are resolved against the line when laid out;
            // here only the measure for the minimum is kept (per cent as 0).
            atoms.push_back(atom);
        } else if (const auto* control = std::get_if<ControlRef>(&item)) {
            if (control->control >= m_doc.controls.size()
                || m_doc.controls[control->control].kind == ControlKind::Hidden)
                continue;
            Atom atom;
            atom.kind = Atom::Kind::Control;
            atom.id = control->control;
            atom.font = m_doc.controls[control->control].font;
            const Size size = controlSize(m_doc.controls[control->control]);
            const Font& f = font(atom.font);
            atom.width = size.width;
            // The control's bottom stands on the text's descent line.
            atom.descent = std::min(size.height, m_metrics.descent(f));
            atom.ascent = size.height - atom.descent;
            atoms.push_back(atom);
        } else if (const auto* anchor = std::get_if<AnchorMark>(&item)) {
            Atom atom;
            atom.kind = Atom::Kind::Anchor;
            atom.id = anchor->anchor;
            atoms.push_back(atom);
        }
    }
}

// ---------------------------------------------------------------------------
// measuring

MinMax Engine::measureParagraph(const Paragraph& paragraph)
{
    std::vector<Atom> atoms;
    buildAtoms(paragraph, atoms);
    MinMax result;
    long long line = 0; // the current line on one line
    long long word = 0; // the current word
    long long floats = 0; // floating pictures stand beside the text
    auto endWord = [&] {
        result.min = std::max<long long>(result.min, std::min<long long>(word, kMaxCoordinate));
        word = 0;
    };
    for (Atom& atom : atoms) {
        switch (atom.kind) {
        case Atom::Kind::Text:
            word += atom.width;
            line += atom.width;
            if (paragraph.preformatted)
                result.min = ClampCoordinate(std::max<long long>(result.min, line));
            break;
        case Atom::Kind::Space:
            endWord();
            line += atom.width;
            break;
        case Atom::Kind::Image:
        case Atom::Kind::FloatImage: {
            endWord();
            const Image& image = m_doc.images[atom.id];
            const int width = imageSize(image, 0).width + 2 * atom.hspace;
            result.min = std::max(result.min, width);
            if (atom.kind == Atom::Kind::FloatImage)
                floats += width;
            else
                line += width;
            break;
        }
        case Atom::Kind::Control:
            endWord();
            result.min = std::max(result.min, atom.width);
            line += atom.width;
            break;
        case Atom::Kind::Break:
            endWord();
            result.max = ClampCoordinate(std::max<long long>(result.max, line));
            line = 0;
            break;
        case Atom::Kind::Anchor:
            break;
        }
    }
    endWord();
    result.max = ClampCoordinate(std::max<long long>(result.max, line + floats));
    result.max = std::max(result.max, result.min);
    return result;
}

MinMax Engine::measureList(const List& list, int depth)
{
    MinMax result;
    for (const ListItem& item : list.items) {
        const MinMax content = measureFlow(item.content, depth + 1);
        // Indentation is counted relative to the list itself.
        const int indent = (item.marker == MarkerKind::Term) ? 0 : kListIndent;
        result.min = std::max(result.min, content.min + indent);
        result.max = std::max(result.max, content.max + indent);
    }
    return result;
}

MinMax Engine::measureFlow(FlowId flowId, int depth)
{
    if (flowId >= m_doc.flows.size())
        return {};
    if (m_flowMeasured[flowId])
        return m_flowMeasure[flowId];
    if (depth > kMaxLayoutDepth) {
        fail("Page nests too deeply");
        return {};
    }
    MinMax result;
    for (const Block& block : m_doc.flows[flowId].blocks) {
        MinMax part;
        if (const auto* paragraph = std::get_if<Paragraph>(&block)) {
            part = measureParagraph(*paragraph);
        } else if (const auto* rule = std::get_if<Rule>(&block)) {
            if (rule->width && !rule->width->percent)
                part.min = part.max = std::clamp(rule->width->value, 0, kTableMaxPixels);
        } else if (const auto* list = std::get_if<ListRef>(&block)) {
            if (list->list < m_doc.lists.size())
                part = measureList(m_doc.lists[list->list], depth);
        } else if (const auto* table = std::get_if<TableRef>(&block)) {
            part = measureTable(table->table, depth);
        }
        result.min = std::max(result.min, part.min);
        result.max = std::max(result.max, part.max);
        if (!m_error.empty())
            break;
    }
    m_flowMeasure[flowId] = result;
    m_flowMeasured[flowId] = 1;
    return result;
}

// ---------------------------------------------------------------------------
// output helpers

void Engine::shift(const OutputMark& from, const OutputMark& to, int dx, int dy)
{
    if (dx == 0 && dy == 0)
        return;
    for (std::size_t i = from.items; i < to.items; ++i) {
        m_out.items[i].rect.x += dx;
        m_out.items[i].rect.y += dy;
        m_out.items[i].baseline += dy;
    }
    for (std::size_t i = from.links; i < to.links; ++i) {
        m_out.linkAreas[i].rect.x += dx;
        m_out.linkAreas[i].rect.y += dy;
    }
    for (std::size_t i = from.controls; i < to.controls; ++i) {
        m_out.controls[i].rect.x += dx;
        m_out.controls[i].rect.y += dy;
    }
    for (std::size_t i = from.images; i < to.images; ++i) {
        m_out.images[i].rect.x += dx;
        m_out.images[i].rect.y += dy;
    }
    for (std::size_t i = from.lines; i < to.lines; ++i) {
        m_out.lines[i].rect.x += dx;
        m_out.lines[i].rect.y += dy;
    }
    for (std::size_t i = from.fragments; i < to.fragments; ++i) {
        m_out.fragments[i].x += dx;
        m_out.fragments[i].top += dy;
        m_out.fragments[i].baseline += dy;
    }
    for (std::size_t i = from.anchors; i < to.anchors; ++i)
        m_anchorLog[i].second += dy;
}

Rect Engine::placeFloat(Context& context, int left, int right, int y, int width, int height, bool atLeft)
{
    // The float goes to the first y at or below `y` where it fits between
    // the floats already there (or where no float narrows the flow).
    for (int guard = 0; guard < 100000; ++guard) {
        int l = left;
        int r = right;
        context.span(y, height, l, r);
        if (r - l >= width || (l == left && r == right))
            return Rect { atLeft ? l : r - width, y, width, height };
        const int next = context.nextFloatEnd(y);
        if (next == INT_MAX)
            break;
        y = next;
    }
    return Rect { atLeft ? left : right - width, y, width, height };
}

// ---------------------------------------------------------------------------
// paragraphs and line breaking

// Line breaking, for one paragraph:
//  - Lines are filled greedily, word by word; a line breaks only at a blank
//    (outside PRE), before or after a picture or a control, and at a line
//    end. Blanks at the end of a line are not counted for its width or
//    alignment, nor drawn.
//  - A line starts at the current y with the span left free by the floats
//    of the context for the paragraph font's line height. A word that does
//    not fit on an empty line narrowed by floats moves the line down past
//    the next float end and is tried again.
//  - A word that does not fit on an empty line of the full flow width is
//    broken by character: each line takes as many whole characters as fit
//    (at least one), the rest continues on the next line. So the page never
//    grows wider than the view because of text outside PRE.
//  - PRE lines break only at line ends; a longer line runs past the right
//    edge (the page then grows wider).
//  - A floating picture met on an empty line is placed at once (the line
//    then starts beside it); met later, it is placed below the current line.
//  - The line's height is the largest ascent plus the largest descent of its
//    atoms plus the largest extra font spacing; its baseline lies at the top
//    plus the largest ascent. Sub- and superscripts move their atoms' ascent
//    and descent with them.
int Engine::layoutParagraph(
    const Paragraph& paragraph, Context& context, int left, int right, int y, int* firstBaseline)
{
    std::vector<Atom> atoms;
    buildAtoms(paragraph, atoms);
    const Font& paragraphFont = font(paragraph.font);
    const int defaultHeight = m_metrics.lineSpacing(paragraphFont);

    y = context.clearY(y, paragraph.clear);
    bool anyVisible = paragraph.openedByBreak;
    for (const Atom& atom : atoms)
        if (atom.kind != Atom::Kind::Anchor && atom.kind != Atom::Kind::Space)
            anyVisible = true;
    if (!anyVisible) {
        for (const Atom& atom : atoms)
            if (atom.kind == Atom::Kind::Anchor)
                m_anchorLog.emplace_back(atom.id, y);
        return y;
    }
    if (paragraph.openedByBreak) {
        bool onlyInvisible = true;
        for (const Atom& atom : atoms)
            if (atom.kind != Atom::Kind::Anchor && atom.kind != Atom::Kind::Space)
                onlyInvisible = false;
        if (onlyInvisible) {
            // An empty line opened by BR keeps its height.
            for (const Atom& atom : atoms)
                if (atom.kind == Atom::Kind::Anchor)
                    m_anchorLog.emplace_back(atom.id, y);
            int l = left;
            int r = right;
            context.span(y, defaultHeight, l, r);
            TextLine empty;
            empty.rect = Rect { l, y, 0, defaultHeight };
            empty.firstFragment = static_cast<std::uint32_t>(m_out.fragments.size());
            empty.textStart = static_cast<std::uint32_t>(m_out.text.size());
            m_out.text.push_back('\n');
            m_out.lines.push_back(empty);
            if (firstBaseline && *firstBaseline == INT_MIN)
                *firstBaseline = y + m_metrics.ascent(paragraphFont);
            return y + defaultHeight;
        }
    }

    // One placed piece of a line: an atom, or part of a Text atom.
    struct Piece {
        std::size_t atom = 0;
        std::uint32_t start = 0; // within the atom's text
        std::uint32_t length = 0;
        int x = 0; // relative to the line start
        int width = 0;
        int height = 0; // pictures
    };
    std::vector<Piece> line;
    std::vector<std::size_t> pendingFloats;
    std::vector<AnchorId> pendingAnchors;
    std::size_t i = 0;
    int lineCount = 0;

    auto placeFloatingImage = [&](std::size_t index) {
        const Atom& atom = atoms[index];
        const Image& image = m_doc.images[atom.id];
        const Size size = imageSize(image, right - left);
        const Rect box = placeFloat(context, left, right, y, size.width + 2 * atom.hspace, size.height, atom.floatLeft);
        context.add(Float { box, atom.floatLeft });
        const Rect picture { box.x + atom.hspace, box.y, size.width, size.height };
        PaintItem item;
        item.kind = PaintItem::Kind::Image;
        item.rect = picture;
        item.id = atom.id;
        m_out.items.push_back(item);
        m_out.images.push_back(ImagePlacement { atom.id, picture });
        if (image.link != kNone)
            m_out.linkAreas.push_back(LinkArea { image.link, picture });
        m_widest = std::max(m_widest, picture.right());
    };

    while (i < atoms.size()) {
        context.prune(y);
        // The span of this line.
        int lineLeft = left;
        int lineRight = right;
        context.span(y, defaultHeight, lineLeft, lineRight);
        const int available = std::max(0, lineRight - lineLeft);
        line.clear();
        int width = 0; // up to the end of the last word placed
        int pendingSpace = 0; // width of a blank before the next word
        std::size_t spaceAtom = SIZE_MAX;
        bool lineEnded = false;
        Clear breakClear = Clear::None;

        // Blanks at the start of a line are dropped (outside PRE).
        while (i < atoms.size() && atoms[i].kind == Atom::Kind::Space)
            ++i;

        while (i < atoms.size() && !lineEnded) {
            Atom& atom = atoms[i];
            switch (atom.kind) {
            case Atom::Kind::Anchor:
                pendingAnchors.push_back(atom.id);
                ++i;
                continue;
            case Atom::Kind::Break:
                lineEnded = true;
                breakClear = atom.clear;
                ++i;
                continue;
            case Atom::Kind::Space:
                pendingSpace = atom.width;
                spaceAtom = i;
                ++i;
                continue;
            case Atom::Kind::FloatImage:
                if (line.empty()) {
                    placeFloatingImage(i);
                    ++i;
                    // The line's span changed: start it again.
                    lineEnded = true;
                    breakClear = Clear::None;
                    line.clear();
                    goto restartLine;
                }
                pendingFloats.push_back(i);
                ++i;
                continue;
            default:
                break;
            }
            {
                // The word starting at i: Text atoms up to the next blank, or
                // one picture or control.
                std::size_t end = i + 1;
                int wordWidth = 0;
                int imageHeight = 0;
                if (atom.kind == Atom::Kind::Text) {
                    wordWidth = atom.width;
                    while (end < atoms.size() && atoms[end].kind == Atom::Kind::Text) {
                        wordWidth = ClampCoordinate(static_cast<long long>(wordWidth) + atoms[end].width);
                        ++end;
                    }
                } else if (atom.kind == Atom::Kind::Image) {
                    const Size size = imageSize(m_doc.images[atom.id], right - left);
                    atom.width = size.width + 2 * atom.hspace;
                    imageHeight = size.height;
                    wordWidth = atom.width;
                } else {
                    wordWidth = atom.width;
                }
                const int needed = (line.empty() ? 0 : pendingSpace) + wordWidth;
                if (!line.empty() && width + needed > available) {
                    lineEnded = true; // the word goes to the next line
                    break;
                }
                if (line.empty() && wordWidth > available && !paragraph.preformatted) {
                    if (lineLeft != left || lineRight != right) {
                        // Narrowed by floats: try below the next float end.
                        const int next = context.nextFloatEnd(y);
                        if (next != INT_MAX && next > y) {
                            y = next;
                            goto restartLine;
                        }
                    }
                    if (atom.kind == Atom::Kind::Text) {
                        // Break the word by character.
                        int x = 0;
                        while (i < end) {
                            Atom& part = atoms[i];
                            if (x + part.width <= available) {
                                line.push_back(Piece { i, part.start, part.length, x, part.width, 0 });
                                x += part.width;
                                ++i;
                                continue;
                            }
                            // As many characters of this atom as fit, at least one
                            // when the line is still empty.
                            const std::string_view text = part.text();
                            const Font& f = font(part.font);
                            std::size_t lo = 0;
                            std::size_t hi = std::min<std::size_t>(text.size(), static_cast<std::size_t>(available - x) + 1);
                            while (lo < hi) {
                                const std::size_t mid = (lo + hi + 1) / 2;
                                if (x + m_metrics.textWidth(f, text.substr(0, mid)) <= available)
                                    lo = mid;
                                else
                                    hi = mid - 1;
                            }
                            if (lo == 0 && line.empty())
                                lo = 1;
                            if (lo > 0) {
                                const int w = m_metrics.textWidth(f, text.substr(0, lo));
                                line.push_back(Piece { i, part.start, static_cast<std::uint32_t>(lo), x, w, 0 });
                                x += w;
                                part.start += static_cast<std::uint32_t>(lo);
                                part.length -= static_cast<std::uint32_t>(lo);
                                part.width = m_metrics.textWidth(f, part.text());
                                if (part.length == 0)
                                    ++i;
                            }
                            break;
                        }
                        width = x;
                        lineEnded = true;
                        break;
                    }
                }
                // The word fits (or is alone on its line): place it.
                int x = line.empty() ? 0 : width + pendingSpace;
                if (!line.empty() && spaceAtom != SIZE_MAX) {
                    // The blank belongs to the line's text.
                    line.push_back(Piece { spaceAtom, atoms[spaceAtom].start, 1, width, pendingSpace, 0 });
                }
                for (std::size_t k = i; k < end; ++k) {
                    line.push_back(Piece { k, atoms[k].start, atoms[k].length, x, atoms[k].width, imageHeight });
                    x += atoms[k].width;
                }
                width = x;
                pendingSpace = 0;
                spaceAtom = SIZE_MAX;
                i = end;
            }
        }

        {
            // Emit the line: its height, alignment, items and text.
            int ascent = 0;
            int descent = 0;
            int leading = 0;
            bool hasText = false;
            for (const Piece& piece : line) {
                const Atom& atom = atoms[piece.atom];
                if (atom.kind == Atom::Kind::Image) {
                    const Image& image = m_doc.images[atom.id];
                    const std::string align = image.align.value_or("");
                    const Font& f = font(atom.font);
                    if (align == "middle" || align == "absmiddle") {
                        const int half = piece.height / 2;
                        ascent = std::max(ascent, half + m_metrics.ascent(f) / 3);
                        descent = std::max(descent, piece.height - half - m_metrics.ascent(f) / 3);
                    } else if (align == "top" || align == "texttop") {
                        ascent = std::max(ascent, m_metrics.ascent(f));
                        descent = std::max(descent, piece.height - m_metrics.ascent(f));
                    } else {
                        ascent = std::max(ascent, piece.height);
                    }
                } else {
                    if (atom.kind == Atom::Kind::Text || atom.kind == Atom::Kind::Space)
                        hasText = true;
                    ascent = std::max(ascent, atom.ascent - atom.baselineShift);
                    descent = std::max(descent, atom.descent + atom.baselineShift);
                    leading = std::max(leading, atom.leading);
                }
            }
            if (!hasText) {
                // A line of pictures alone still has the paragraph font's depth
                // below the baseline, like the text beside them would.
                descent = std::max(descent, m_metrics.descent(paragraphFont));
                if (line.empty()) {
                    ascent = m_metrics.ascent(paragraphFont);
                    leading = std::max(leading, defaultHeight - ascent - descent);
                }
            }
            // Blanks at the end of the line are not part of it.
            while (!line.empty() && atoms[line.back().atom].kind == Atom::Kind::Space)
                line.pop_back();
            const int lineWidth = line.empty() ? 0 : line.back().x + line.back().width;
            int offset = 0;
            if (paragraph.align == Align::Center)
                offset = std::max(0, (available - lineWidth) / 2);
            else if (paragraph.align == Align::Right)
                offset = std::max(0, available - lineWidth);
            const int originX = lineLeft + offset;
            const int height = std::max(ascent + descent + leading, 1);
            const int baseline = y + leading / 2 + ascent;
            if (firstBaseline && *firstBaseline == INT_MIN)
                *firstBaseline = baseline;
            for (AnchorId anchor : pendingAnchors)
                m_anchorLog.emplace_back(anchor, y);
            pendingAnchors.clear();

            TextLine textLine;
            textLine.rect = Rect { originX, y, lineWidth, height };
            textLine.firstFragment = static_cast<std::uint32_t>(m_out.fragments.size());
            textLine.textStart = static_cast<std::uint32_t>(m_out.text.size());
            // Text pieces of one font and link next to each other form one
            // fragment (and one drawn run).
            std::size_t p = 0;
            while (p < line.size()) {
                const Piece& piece = line[p];
                const Atom& atom = atoms[piece.atom];
                const int x = originX + piece.x;
                if (atom.kind == Atom::Kind::Image) {
                    const Image& image = m_doc.images[atom.id];
                    const std::string align = image.align.value_or("");
                    const int pictureWidth = piece.width - 2 * atom.hspace;
                    int top = baseline - piece.height;
                    if (align == "middle" || align == "absmiddle")
                        top = baseline - m_metrics.ascent(font(atom.font)) / 3 - piece.height / 2;
                    else if (align == "top" || align == "texttop")
                        top = baseline - m_metrics.ascent(font(atom.font));
                    const Rect rect { x + atom.hspace, top, pictureWidth, piece.height };
                    PaintItem item;
                    item.kind = PaintItem::Kind::Image;
                    item.rect = rect;
                    item.id = atom.id;
                    m_out.items.push_back(item);
                    const int border = std::clamp(image.border.value_or(0), 0, 100);
                    if (border > 0) {
                        PaintItem frame;
                        frame.kind = PaintItem::Kind::Frame;
                        frame.rect = rect;
                        frame.lineWidth = border;
                        frame.colour = frame.colour2 = font(atom.font).colour;
                        m_out.items.push_back(frame);
                    }
                    m_out.images.push_back(ImagePlacement { atom.id, rect });
                    if (image.link != kNone)
                        m_out.linkAreas.push_back(LinkArea { image.link, rect });
                    ++p;
                    continue;
                }
                if (atom.kind == Atom::Kind::Control) {
                    const Rect rect { x, baseline + atom.descent - (atom.ascent + atom.descent), piece.width,
                        atom.ascent + atom.descent };
                    m_out.controls.push_back(ControlPlacement { atom.id, rect });
                    ++p;
                    continue;
                }
                // Text: gather the run.
                TextFragment fragment;
                fragment.textStart = static_cast<std::uint32_t>(m_out.text.size());
                fragment.x = x;
                fragment.font = atom.font;
                fragment.link = atom.link;
                const Font& f = font(atom.font);
                int runWidth = 0;
                std::size_t q = p;
                while (q < line.size()) {
                    const Atom& next = atoms[line[q].atom];
                    if ((next.kind != Atom::Kind::Text && next.kind != Atom::Kind::Space) || next.font != atom.font
                        || next.link != atom.link)
                        break;
                    m_out.text.append(std::string_view(*next.source).substr(line[q].start, line[q].length));
                    runWidth = line[q].x + line[q].width - piece.x;
                    ++q;
                }
                fragment.textLength = static_cast<std::uint32_t>(m_out.text.size()) - fragment.textStart;
                fragment.baseline = baseline + atom.baselineShift;
                fragment.top = fragment.baseline - m_metrics.ascent(f);
                fragment.height = m_metrics.ascent(f) + m_metrics.descent(f);
                m_out.fragments.push_back(fragment);
                PaintItem item;
                item.kind = PaintItem::Kind::Text;
                item.rect = Rect { x, fragment.top, runWidth, fragment.height };
                item.baseline = fragment.baseline;
                item.font = atom.font;
                item.textStart = fragment.textStart;
                item.textLength = fragment.textLength;
                m_out.items.push_back(item);
                if (atom.link != kNone)
                    m_out.linkAreas.push_back(LinkArea { atom.link, item.rect });
                p = q;
            }
            textLine.fragmentCount = static_cast<std::uint32_t>(m_out.fragments.size()) - textLine.firstFragment;
            textLine.textLength = static_cast<std::uint32_t>(m_out.text.size()) - textLine.textStart;
            m_out.text.push_back('\n');
            m_out.lines.push_back(textLine);
            m_widest = std::max(m_widest, originX + lineWidth);
            y = ClampCoordinate(static_cast<long long>(y) + height);
            ++lineCount;
            for (std::size_t index : pendingFloats)
                placeFloatingImage(index);
            pendingFloats.clear();
            if (breakClear != Clear::None)
                y = context.clearY(y, breakClear);
        }
        continue;
    restartLine:
        continue;
    }
    for (std::size_t index : pendingFloats)
        placeFloatingImage(index);
    for (AnchorId anchor : pendingAnchors)
        m_anchorLog.emplace_back(anchor, y);
    (void)lineCount;
    return y;
}

// ---------------------------------------------------------------------------
// other blocks

int Engine::layoutRule(const Rule& rule, Context& context, int left, int right, int y)
{
    y += kRuleMargin;
    int l = left;
    int r = right;
    context.span(y, 2, l, r);
    const int available = std::max(0, r - l);
    int width = available;
    if (rule.width) {
        width = rule.width->percent
            ? static_cast<int>(static_cast<long long>(available) * std::clamp(rule.width->value, 0, 100) / 100)
            : std::clamp(rule.width->value, 0, available);
    }
    const int size = rule.size > 0 ? std::min(rule.size, 100) : 2;
    const Align align = rule.align.value_or(rule.enclosingAlign);
    int x = l;
    if (align == Align::Center)
        x = l + (available - width) / 2;
    else if (align == Align::Right)
        x = r - width;
    PaintItem item;
    item.rect = Rect { x, y, width, size };
    if (rule.colour || rule.noShade) {
        item.kind = PaintItem::Kind::Fill;
        item.colour = rule.colour.value_or(0x808080);
    } else {
        item.kind = PaintItem::Kind::Frame;
        item.lineWidth = 1;
        item.colour = 0x808080;
        item.colour2 = 0xFFFFFF;
    }
    m_out.items.push_back(item);
    return y + size + kRuleMargin;
}

int Engine::layoutList(const List& list, Context& context, int left, int right, int baseX, int y, int depth,
    int* firstBaseline)
{
    for (const ListItem& item : list.items) {
        // Items indent by their level from the left edge of the flow that
        // holds the outermost list; terms stand one level out.
        const int indent = std::clamp(item.depth, 0, kMaxLayoutDepth) * kListIndent;
        const int contentLeft = std::max(left, std::min(baseX + indent, right - 1));
        const OutputMark before = mark();
        (void)before;
        int baseline = INT_MIN;
        const std::size_t markerItem = m_out.items.size();
        if (item.marker == MarkerKind::Bullet || item.marker == MarkerKind::Number)
            m_out.items.push_back(PaintItem {}); // filled once the first line is known
        const int top = y;
        y = layoutFlow(item.content, context, contentLeft, right, baseX, y, depth + 1, &baseline);
        if (!m_error.empty())
            return y;
        if (firstBaseline && *firstBaseline == INT_MIN)
            *firstBaseline = baseline;
        if (item.marker == MarkerKind::Bullet || item.marker == MarkerKind::Number) {
            // The marker takes the font of the item's first paragraph.
            FontId markerFont = 0;
            if (item.content < m_doc.flows.size())
                for (const Block& block : m_doc.flows[item.content].blocks)
                    if (const auto* paragraph = std::get_if<Paragraph>(&block)) {
                        markerFont = paragraph->font;
                        break;
                    }
            const Font& f = font(markerFont);
            if (baseline == INT_MIN) {
                baseline = top + m_metrics.ascent(f);
                y = std::max(y, top + m_metrics.lineSpacing(f));
            }
            PaintItem& marker = m_out.items[markerItem];
            if (item.marker == MarkerKind::Bullet) {
                const int size = std::max(4, PointsToPixels(f.points) * 3 / 8);
                marker.kind = PaintItem::Kind::Bullet;
                marker.id = static_cast<std::uint32_t>(std::clamp(item.bulletDepth, 1, 3));
                marker.rect = Rect { contentLeft - 10 - size, baseline - m_metrics.ascent(f) / 2 - size / 2, size, size };
                marker.colour = f.colour;
            } else {
                const std::string text = ListMarkerText(item.number, item.numberStyle);
                const int w = m_metrics.textWidth(f, text);
                marker.kind = PaintItem::Kind::Text;
                marker.font = markerFont;
                marker.textStart = addText(text);
                marker.textLength = static_cast<std::uint32_t>(text.size());
                m_out.text.push_back('\n');
                marker.baseline = baseline;
                marker.rect = Rect { contentLeft - 6 - w, baseline - m_metrics.ascent(f), w,
                    m_metrics.ascent(f) + m_metrics.descent(f) };
            }
        }
    }
    return y;
}

int Engine::layoutFlow(
    FlowId flowId, Context& context, int left, int right, int baseX, int y, int depth, int* firstBaseline)
{
    if (flowId >= m_doc.flows.size())
        return y;
    if (depth > kMaxLayoutDepth) {
        fail("Page nests too deeply");
        return y;
    }
    const Flow& flow = m_doc.flows[flowId];
    int pendingGap = 0; // gaps next to each other count once (the largest)
    bool atStart = true;
    bool previousPre = false;
    const int gapParagraph = PointsToPixels(std::clamp(m_options.basePoints, 1, 200));
    for (const Block& block : flow.blocks) {
        if (!m_error.empty())
            return y;
        if (const auto* gap = std::get_if<Gap>(&block)) {
            const int size = gap->kind == GapKind::Heading ? gapParagraph * 3 / 4 : gapParagraph;
            pendingGap = std::max(pendingGap, size);
            continue;
        }
        const auto* paragraph = std::get_if<Paragraph>(&block);
        // Preformatted text stands apart from the text around it, like a
        // paragraph (the gaps merge with those of the page).
        const bool pre = paragraph && paragraph->preformatted;
        const bool visible = !paragraph || !paragraph->items.empty() || paragraph->openedByBreak;
        if (visible && pre != previousPre && !atStart)
            pendingGap = std::max(pendingGap, gapParagraph);
        if (visible)
            previousPre = pre;
        if (const auto* listRef = std::get_if<ListRef>(&block);
            listRef && listRef->list < m_doc.lists.size() && m_doc.lists[listRef->list].depth <= 1 && !atStart)
            pendingGap = std::max(pendingGap, gapParagraph); // an outermost list stands apart
        y += pendingGap;
        pendingGap = 0;
        if (paragraph) {
            const int before = y;
            y = layoutParagraph(*paragraph, context, left, right, y, firstBaseline);
            if (y != before)
                atStart = false;
        } else if (const auto* rule = std::get_if<Rule>(&block)) {
            y = layoutRule(*rule, context, left, right, y);
            atStart = false;
        } else if (const auto* listRef = std::get_if<ListRef>(&block)) {
            if (listRef->list >= m_doc.lists.size())
                continue;
            const List& list = m_doc.lists[listRef->list];
            // An outermost list stands apart from the text around it.
            const bool spaced = list.depth <= 1;
            y = layoutList(list, context, left, right, baseX, y, depth + 1, firstBaseline);
            if (spaced)
                pendingGap = std::max(pendingGap, gapParagraph);
            atStart = false;
        } else if (const auto* tableRef = std::get_if<TableRef>(&block)) {
            const int top = y;
            y = layoutTableBlock(tableRef->table, context, left, right, y, depth + 1);
            if (firstBaseline && *firstBaseline == INT_MIN && y > top)
                *firstBaseline = top + PointsToPixels(std::clamp(m_options.basePoints, 1, 200)) * 3 / 4;
            atStart = false;
        }
    }
    return y;
}

// ---------------------------------------------------------------------------
// tables

namespace {

std::optional<Rgb> ParseColour(std::string_view value)
{
    static constexpr std::pair<std::string_view, Rgb> kNames[] = { { "BLACK", 0x000000 }, { "MAROON", 0x800000 },
        { "GREEN", 0x008000 }, { "OLIVE", 0x808000 }, { "NAVY", 0x000080 }, { "PURPLE", 0x800080 },
        { "TEAL", 0x008080 }, { "GRAY", 0x808080 }, { "SILVER", 0xC0C0C0 }, { "RED", 0xFF0000 },
        { "LIME", 0x00FF00 }, { "YELLOW", 0xFFFF00 }, { "BLUE", 0x0000FF }, { "FUCHSIA", 0xFF00FF },
        { "AQUA", 0x00FFFF }, { "WHITE", 0xFFFFFF } };
    while (!value.empty() && value.front() == ' ')
        value.remove_prefix(1);
    while (!value.empty() && value.back() == ' ')
        value.remove_suffix(1);
    if (value.empty())
        return std::nullopt;
    std::string upper(value);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    for (const auto& [name, rgb] : kNames)
        if (upper == name)
            return rgb;
    if (!upper.empty() && upper.front() == '#')
        upper.erase(0, 1);
    if (upper.empty() || upper.size() > 8)
        return std::nullopt;
    Rgb rgb = 0;
    for (char c : upper) {
        int digit = 0;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        rgb = (rgb << 4) | static_cast<Rgb>(digit);
    }
    return rgb & 0xFFFFFF;
}

} // namespace

struct Engine::TablePlan {
    TableId id = 0;
    const Table* table = nullptr;
    TableAttributes attributes;
    TableGrid grid;
    std::vector<TableCellAttributes> cellAttributes; // per grid cell
    std::vector<const TableCell*> cells; // per grid cell
    TableWidths widths;
    int border = 0; // outer frame width
    int outerWidth = 0; // the table with its frame
    int available = 0; // the width it was planned for
};

MinMax Engine::measureTable(TableId id, int depth)
{
    TablePlan plan;
    if (!planTable(id, 0, depth, plan))
        return {};
    const int overhead = plan.attributes.cellSpacing + 2 * plan.border;
    // Without a width for the columns: the minimum is every column at its
    // minimum, the maximum every column at its maximum.
    MinMax result;
    TableWidthInput input;
    (void)input;
    long long minimum = 0;
    long long maximum = 0;
    {
        std::vector<TableCellWidthInput> cells;
        cells.reserve(plan.grid.cells.size());
        for (std::size_t c = 0; c < plan.grid.cells.size(); ++c) {
            const MinMax content = measureFlow(plan.cells[c]->content, depth + 1);
            cells.push_back(TableCellWidthInput { plan.grid.cells[c].column, plan.grid.cells[c].colSpan, content.min,
                content.max, plan.cellAttributes[c].width });
        }
        const TableColumnBounds bounds = MeasureTableColumns(plan.grid.columnCount, cells,
            plan.attributes.cellPadding, plan.attributes.cellSpacing);
        minimum = bounds.totalMinimum;
        maximum = bounds.totalMaximum;
    }
    result.min = ClampCoordinate(minimum + overhead);
    result.max = ClampCoordinate(maximum + overhead);
    if (plan.attributes.width.isPixels()) {
        result.min = std::max(result.min, plan.attributes.width.value + 2 * plan.border);
        result.max = std::max(result.min, plan.attributes.width.value + 2 * plan.border);
    }
    if (plan.table->caption) {
        const MinMax caption = measureFlow(plan.table->caption->content, depth + 1);
        result.min = std::max(result.min, caption.min);
    }
    return result;
}

bool Engine::planTable(TableId id, int availableWidth, int depth, TablePlan& plan)
{
    if (id >= m_doc.tables.size())
        return false;
    if (depth > kMaxLayoutDepth)
        return fail("Page nests too deeply");
    const Table& table = m_doc.tables[id];
    plan.id = id;
    plan.table = &table;
    plan.attributes = ReadTableAttributes(TableLookupOf(table.attributes));
    TableGridResult grid = BuildGridOf(table);
    if (grid.status != TableGridStatus::Ok)
        return fail(grid.message);
    plan.grid = std::move(grid.grid);
    plan.cells.clear();
    plan.cellAttributes.clear();
    for (const TableGridCell& cell : plan.grid.cells) {
        const TableCell* source = &table.rows[static_cast<std::size_t>(cell.row)].cells[static_cast<std::size_t>(cell.index)];
        plan.cells.push_back(source);
        plan.cellAttributes.push_back(ReadTableCellAttributes(TableLookupOf(source->attributes), source->header));
    }
    plan.border = plan.attributes.border ? std::clamp(plan.attributes.borderWidth, 1, 20) : 0;
    plan.available = availableWidth;
    if (availableWidth > 0) {
        TableWidthInput input;
        input.columnCount = plan.grid.columnCount;
        input.cellPadding = plan.attributes.cellPadding;
        input.cellSpacing = plan.attributes.cellSpacing;
        input.width = plan.attributes.width;
        if (input.width.isPixels())
            input.width.value = std::max(0, input.width.value - 2 * plan.border);
        input.availableWidth = std::max(0, availableWidth - 2 * plan.border);
        input.cells.reserve(plan.grid.cells.size());
        for (std::size_t c = 0; c < plan.grid.cells.size(); ++c) {
            const MinMax content = measureFlow(plan.cells[c]->content, depth + 1);
            if (!m_error.empty())
                return false;
            input.cells.push_back(TableCellWidthInput { plan.grid.cells[c].column, plan.grid.cells[c].colSpan,
                content.min, content.max, plan.cellAttributes[c].width });
        }
        plan.widths = ComputeTableWidths(input);
        plan.outerWidth = plan.widths.tableWidth + 2 * plan.border;
    }
    return m_error.empty();
}

// Row heights and vertical placement:
//  - Each cell is laid out at y = 0 in its own context at the width of its
//    columns less spacing and padding; its height is its content (floats
//    included) plus twice the padding, at least its HEIGHT.
//  - A row is as high as its highest cell that spans only that row (an empty
//    row is 0 high). Cells spanning rows are taken after, fewest rows first:
//    when one is higher than its rows together (with the spacing between
//    them), the last of its rows grows by the difference.
//  - Rows then stand one below the other with the cell spacing between
//    them; a cell's box covers its rows, its content moves to the top, the
//    middle (the default) or the bottom of the box, less the padding.
int Engine::layoutTable(const TablePlan& plan, int x, int y, int depth)
{
    const Table& table = *plan.table;
    const int spacing = plan.attributes.cellSpacing;
    const int padding = plan.attributes.cellPadding;
    const int border = plan.border;
    const int columns = plan.grid.columnCount;
    std::vector<int> columnX(static_cast<std::size_t>(columns) + 1, 0);
    {
        long long cx = spacing;
        for (int c = 0; c < columns; ++c) {
            columnX[static_cast<std::size_t>(c)] = ClampCoordinate(cx);
            cx += plan.widths.columns[static_cast<std::size_t>(c)];
        }
        columnX[static_cast<std::size_t>(columns)] = ClampCoordinate(cx);
    }
    const int tableWidth = plan.widths.tableWidth;
    const std::optional<Rgb> tableBackground = ParseColour(plan.attributes.background);

    // The table frame and background stand first.
    const std::size_t frameItem = m_out.items.size();
    if (border > 0)
        m_out.items.push_back(PaintItem {});

    // Caption above.
    int top = y;
    // The caption is as wide as the table, or wider when its words need it
    // (as far as the flow has room).
    int captionWidth = tableWidth + 2 * border;
    if (table.caption) {
        const MinMax caption = measureFlow(table.caption->content, depth + 1);
        captionWidth = std::max(captionWidth, std::min(caption.max, std::max(caption.min, plan.available)));
    }
    auto layoutCaption = [&](int at) {
        Context captionContext;
        return layoutFlow(table.caption->content, captionContext, x, x + captionWidth, x, at, depth + 1, nullptr);
    };
    if (table.caption && !table.caption->bottom)
        top = layoutCaption(top);
    if (!m_error.empty())
        return 0;

    const int rows = static_cast<int>(plan.grid.rows.size());
    std::vector<int> rowHeight(static_cast<std::size_t>(rows), 0);
    struct CellBox {
        OutputMark mark;
        OutputMark end;
        std::size_t backgroundItem = SIZE_MAX;
        int contentHeight = 0;
        int height = 0; // needed, padding included
        int x = 0;
        int width = 0;
    };
    std::vector<CellBox> boxes(plan.grid.cells.size());
    for (std::size_t c = 0; c < plan.grid.cells.size(); ++c) {
        const TableGridCell& cell = plan.grid.cells[c];
        CellBox& box = boxes[c];
        const int firstColumn = std::clamp(cell.column, 0, columns);
        const int lastColumn = std::clamp(cell.column + cell.colSpan, 0, columns);
        box.x = columnX[static_cast<std::size_t>(firstColumn)];
        box.width = std::max(0, columnX[static_cast<std::size_t>(lastColumn)] - box.x - spacing);
        box.backgroundItem = m_out.items.size();
        m_out.items.push_back(PaintItem {}); // background and frame, known once the rows are
        m_out.items.push_back(PaintItem {});
        box.mark = mark();
        Context cellContext;
        const int contentLeft = padding;
        const int contentRight = std::max(contentLeft, box.width - padding);
        const int bottom = layoutFlow(plan.cells[c]->content, cellContext, contentLeft, contentRight, contentLeft, 0,
            depth + 1, nullptr);
        if (!m_error.empty())
            return 0;
        box.end = mark();
        box.contentHeight = std::max(bottom, cellContext.floatsBottom());
        box.height = box.contentHeight + 2 * padding;
        if (plan.cellAttributes[c].height)
            box.height = std::max(box.height, std::clamp(*plan.cellAttributes[c].height, 0, kTableMaxPixels));
        if (cell.rowSpan == 1 && cell.row < rows)
            rowHeight[static_cast<std::size_t>(cell.row)] = std::max(rowHeight[static_cast<std::size_t>(cell.row)], box.height);
    }
    // HEIGHT of a row (a common extension): the row is at least that high.
    for (int r = 0; r < rows && r < static_cast<int>(table.rows.size()); ++r) {
        const TableAttributeLookup lookup = TableLookupOf(table.rows[static_cast<std::size_t>(r)].attributes);
        if (const auto text = lookup("HEIGHT"))
            if (const auto height = ParseTableInteger(*text); height && *height > 0)
                rowHeight[static_cast<std::size_t>(r)] = std::max(rowHeight[static_cast<std::size_t>(r)], *height);
    }
    // Cells spanning rows, fewest rows first.
    std::vector<std::size_t> spanning;
    for (std::size_t c = 0; c < plan.grid.cells.size(); ++c)
        if (plan.grid.cells[c].rowSpan > 1)
            spanning.push_back(c);
    std::stable_sort(spanning.begin(), spanning.end(),
        [&](std::size_t a, std::size_t b) { return plan.grid.cells[a].rowSpan < plan.grid.cells[b].rowSpan; });
    for (std::size_t c : spanning) {
        const TableGridCell& cell = plan.grid.cells[c];
        const int last = std::min(rows, cell.row + cell.rowSpan) - 1;
        long long total = static_cast<long long>(last - cell.row) * spacing;
        for (int r = cell.row; r <= last; ++r)
            total += rowHeight[static_cast<std::size_t>(r)];
        if (boxes[c].height > total)
            rowHeight[static_cast<std::size_t>(last)] += static_cast<int>(boxes[c].height - total);
    }
    std::vector<int> rowY(static_cast<std::size_t>(rows) + 1, 0);
    {
        long long ry = top + border + spacing;
        for (int r = 0; r < rows; ++r) {
            rowY[static_cast<std::size_t>(r)] = ClampCoordinate(ry);
            ry += rowHeight[static_cast<std::size_t>(r)] + spacing;
        }
        rowY[static_cast<std::size_t>(rows)] = ClampCoordinate(ry);
    }
    const int tableHeight = rowY[static_cast<std::size_t>(rows)] - top + border;

    // Place the cells.
    for (std::size_t c = 0; c < plan.grid.cells.size(); ++c) {
        const TableGridCell& cell = plan.grid.cells[c];
        CellBox& box = boxes[c];
        const int last = std::min(rows, cell.row + cell.rowSpan) - 1;
        const int cellY = rowY[static_cast<std::size_t>(cell.row)];
        const int cellHeight = rowY[static_cast<std::size_t>(last) + 1] - spacing - cellY;
        const Rect rect { x + border + box.x, cellY, box.width, cellHeight };
        const TableRow& row = table.rows[static_cast<std::size_t>(cell.row)];
        const TableCellAttributes& attributes = plan.cellAttributes[c];
        const TableRowAttributes rowAttributes = ReadTableRowAttributes(TableLookupOf(row.attributes));
        std::optional<Rgb> background = ParseColour(attributes.background);
        if (!background)
            background = ParseColour(rowAttributes.background);
        if (!background)
            background = tableBackground;
        if (background) {
            PaintItem& fill = m_out.items[box.backgroundItem];
            fill.kind = PaintItem::Kind::Fill;
            fill.rect = rect;
            fill.colour = *background;
        } else {
            m_out.items[box.backgroundItem].kind = PaintItem::Kind::ClipPop; // a no-op: nothing is pushed
            m_out.items[box.backgroundItem].rect = Rect { rect.x, rect.y, 0, 0 };
        }
        PaintItem& frame = m_out.items[box.backgroundItem + 1];
        if (border > 0) {
            frame.kind = PaintItem::Kind::Frame;
            frame.rect = Rect { rect.x - 1, rect.y - 1, rect.width + 2, rect.height + 2 };
            frame.lineWidth = 1;
            frame.colour = 0x808080;
            frame.colour2 = 0xE0E0E0;
        } else {
            frame.kind = PaintItem::Kind::ClipPop;
            frame.rect = Rect { rect.x, rect.y, 0, 0 };
        }
        const CellVAlign valign = EffectiveCellVAlign(attributes, rowAttributes);
        const int free = std::max(0, cellHeight - 2 * padding - box.contentHeight);
        int dy = cellY + padding;
        if (valign == CellVAlign::Middle)
            dy += free / 2;
        else if (valign == CellVAlign::Bottom)
            dy += free;
        shift(box.mark, box.end, x + border + box.x, dy);
    }
    if (border > 0) {
        PaintItem& frame = m_out.items[frameItem];
        frame.kind = PaintItem::Kind::Frame;
        frame.rect = Rect { x, top, tableWidth + 2 * border, tableHeight };
        frame.lineWidth = border;
        const std::optional<Rgb> colour = ParseColour(plan.attributes.borderColor);
        frame.colour = colour.value_or(0xE0E0E0);
        frame.colour2 = colour.value_or(0x808080);
    }
    int bottom = top + tableHeight;
    if (table.caption && table.caption->bottom)
        bottom = layoutCaption(bottom);
    m_widest = std::max(m_widest, x + tableWidth + 2 * border);
    return bottom - y;
}

int Engine::layoutTableBlock(TableId id, Context& context, int left, int right, int y, int depth)
{
    if (id >= m_doc.tables.size())
        return y;
    const Table& table = m_doc.tables[id];
    TablePlan plan;
    int l = left;
    int r = right;
    context.span(y, 1, l, r);
    if (!planTable(id, std::max(1, r - l), depth, plan))
        return y;
    TableAlign align = plan.attributes.align;
    if (align == TableAlign::Inherit)
        align = table.enclosingAlign == Align::Center ? TableAlign::Center
            : table.enclosingAlign == Align::Right   ? TableAlign::Right
                                                     : TableAlign::Inherit;
    const bool floating = plan.attributes.align == TableAlign::Left || plan.attributes.align == TableAlign::Right;
    const int width = plan.outerWidth;
    if (floating) {
        const int hspace = plan.attributes.hSpace;
        const bool atLeft = plan.attributes.align == TableAlign::Left;
        // The height is known only after the layout: lay out, then place.
        const OutputMark before = mark();
        const int height = layoutTable(plan, 0, 0, depth);
        const Rect box = placeFloat(context, left, right, y, width + hspace, height, atLeft);
        context.add(Float { Rect { box.x, box.y, box.width, box.height + 2 }, atLeft });
        shift(before, mark(), atLeft ? box.x : box.x + hspace, box.y);
        m_widest = std::max(m_widest, box.right());
        return y;
    }
    // Not floating: below floats that leave no room for it.
    if (r - l < width) {
        for (int guard = 0; guard < 100000 && r - l < width; ++guard) {
            const int next = context.nextFloatEnd(y);
            if (next == INT_MAX)
                break;
            y = next;
            l = left;
            r = right;
            context.span(y, 1, l, r);
        }
    }
    int x = l;
    if (align == TableAlign::Center)
        x = l + std::max(0, (r - l - width) / 2);
    else if (align == TableAlign::Right)
        x = std::max(l, r - width);
    const int height = layoutTable(plan, x, y, depth);
    return y + height;
}

// ---------------------------------------------------------------------------

bool Engine::run()
{
    const int left = std::max(0, m_options.marginWidth);
    const int right = std::max(left + 1, m_options.width - std::max(0, m_options.marginWidth));
    Context body;
    int y = std::max(0, m_options.marginHeight);
    y = layoutFlow(kBodyFlow, body, left, right, left, y, 0, nullptr);
    if (!m_error.empty())
        return false;
    y = std::max(y, body.floatsBottom());
    m_out.height = y + std::max(0, m_options.marginHeight);
    m_out.width = std::max(m_options.width, m_widest + std::max(0, m_options.marginWidth));
    m_out.anchorY.assign(m_doc.anchors.size(), 0);
    std::vector<char> set(m_doc.anchors.size(), 0);
    for (const auto& [anchor, at] : m_anchorLog)
        if (anchor < set.size() && !set[anchor]) {
            m_out.anchorY[anchor] = at;
            set[anchor] = 1;
        }
    return true;
}

void BuildBands(PageLayout& layout)
{
    layout.bands.clear();
    const int bandCount = std::max(1, layout.height / PageLayout::kBand + 1);
    layout.bands.resize(static_cast<std::size_t>(bandCount));
    for (std::size_t i = 0; i < layout.items.size(); ++i) {
        const PaintItem& item = layout.items[i];
        Rect rect = item.rect;
        if (item.kind == PaintItem::Kind::Line) {
            rect = Rect { std::min(item.rect.x, item.rect.right()), std::min(item.rect.y, item.rect.bottom()),
                std::abs(item.rect.width) + item.lineWidth, std::abs(item.rect.height) + item.lineWidth };
        }
        if (item.kind == PaintItem::Kind::ClipPop && rect.width == 0 && rect.height == 0)
            continue; // a slot left empty
        const int first = std::clamp(rect.y / PageLayout::kBand, 0, bandCount - 1);
        const int last = std::clamp((rect.bottom() - 1) / PageLayout::kBand, first, bandCount - 1);
        for (int band = first; band <= last; ++band)
            layout.bands[static_cast<std::size_t>(band)].push_back(static_cast<std::uint32_t>(i));
    }
}

} // namespace

Size DefaultControlSize(const FormControl& control, const Font& font, const FontMetrics& metrics)
{
    const int line = metrics.lineSpacing(font);
    const int character = std::max(1, metrics.textWidth(font, "x"));
    switch (control.kind) {
    case ControlKind::Hidden:
        return {};
    case ControlKind::Checkbox:
    case ControlKind::Radio:
        return Size { 13, 13 };
    case ControlKind::Submit:
    case ControlKind::Reset:
    case ControlKind::Button: {
        std::string caption = control.value;
        if (caption.empty())
            caption = control.kind == ControlKind::Reset ? "Reset" : "Submit";
        return Size { metrics.textWidth(font, caption) + 16, line + 8 };
    }
    case ControlKind::Image:
        return Size { 24, 24 };
    case ControlKind::File:
        return Size { std::clamp(control.size.value_or(20), 1, 200) * character + 80, line + 8 };
    case ControlKind::Select: {
        int widest = 0;
        for (const SelectOption& option : control.options)
            widest = std::max(widest, metrics.textWidth(font, option.text));
        const int rows = control.size.value_or(control.multiple ? 4 : 1);
        if (rows <= 1)
            return Size { std::min(widest, 1000) + 28, line + 8 };
        return Size { std::min(widest, 1000) + 28, std::clamp(rows, 1, 100) * line + 4 };
    }
    case ControlKind::TextArea:
        return Size { std::clamp(control.cols, 1, 500) * character + 20, std::clamp(control.rows, 1, 200) * line + 8 };
    case ControlKind::Text:
    case ControlKind::Password:
        return Size { std::clamp(control.size.value_or(20), 1, 500) * character + 8, line + 8 };
    }
    return {};
}

PageLayout LayoutDocument(const Document& document, const FontMetrics& metrics, const LayoutOptions& options,
    const ImageSizes* images, const ControlSizes* controls)
{
    PageLayout layout;
    layout.background = document.backgroundColour.value_or(options.defaultBackground);
    std::string error = document.error;
    if (error.empty()) {
        Engine engine(document, metrics, options, images, controls, layout);
        if (!engine.run())
            error = engine.error();
    }
    if (!error.empty()) {
        // The view shows the error text instead of the page: a page of its own.
        layout = PageLayout {};
        layout.error = error;
        layout.background = options.defaultBackground;
        Document page;
        page.fonts.push_back(Font {});
        page.fonts.back().colour = options.defaultText;
        Paragraph paragraph;
        paragraph.items.push_back(TextRun { error, 0, kNone });
        page.flows[kBodyFlow].blocks.push_back(std::move(paragraph));
        PageLayout shown;
        Engine engine(page, metrics, options, nullptr, nullptr, shown);
        engine.run();
        layout.width = shown.width;
        layout.height = shown.height;
        layout.items = std::move(shown.items);
        layout.text = std::move(shown.text);
        layout.lines = std::move(shown.lines);
        layout.fragments = std::move(shown.fragments);
        // Its text items refer to font 0 of the error page: the default font,
        // which is also font 0 of any built document.
    }
    BuildBands(layout);
    return layout;
}

} // namespace orbita::html
