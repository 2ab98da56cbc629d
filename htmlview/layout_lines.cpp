// Line filling: a paragraph laid out line by line. Each line is filled with
// words (fillLine), measured (measureLine) and emitted (emitLine); floating
// pictures met on the way are placed beside the text.

#include "htmlview/layout_engine.h"

namespace orbita::html::layout_detail {

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

// One line being filled, then measured and emitted.
struct Engine::Line {
    // One placed piece of a line: an atom, or part of a Text atom.
    struct Piece {
        std::size_t atom = 0;
        std::uint32_t start = 0; // within the atom's text
        std::uint32_t length = 0;
        int x = 0; // relative to the line start
        int width = 0;
        int height = 0; // pictures
    };
    std::vector<Piece> pieces;
    int left = 0; // left edge of the span the floats leave free
    int available = 0; // width of that span
    Clear clear = Clear::None; // CLEAR of the line end that closed the line
    TextLine::End end = TextLine::End::Hard; // how fillLine closed it
    // Set by measureLine: extents above and below the baseline, extra spacing.
    int ascent = 0;
    int descent = 0;
    int leading = 0;
};

// The state of one paragraph while its lines are laid out.
struct Engine::ParagraphRun {
    const Paragraph& paragraph;
    Context& context;
    int left = 0; // the flow's edges
    int right = 0;
    int y = 0; // top of the next line
    int lineHeight = 0; // the paragraph font's line spacing: a new line is fitted for it
    std::vector<Atom> atoms;
    std::size_t next = 0; // the first atom not yet placed
    std::vector<std::size_t> pendingFloats; // floating pictures met on the line, placed below it
    std::vector<AnchorId> pendingAnchors; // anchors met since the last line was emitted
};

int Engine::layoutParagraph(
    const Paragraph& paragraph, Context& context, int left, int right, int y, int* firstBaseline)
{
    ParagraphRun run { paragraph, context, left, right, context.clearY(y, paragraph.clear),
        m_metrics.lineSpacing(font(paragraph.font)), {}, 0, {}, {} };
    buildAtoms(paragraph, run.atoms);
    const bool visible = std::any_of(run.atoms.begin(), run.atoms.end(),
        [](const Atom& atom) { return atom.kind != Atom::Kind::Anchor && atom.kind != Atom::Kind::Space; });
    if (!visible) {
        // Nothing to draw: its anchors stand at its top, and an empty line
        // opened by BR keeps its height.
        for (const Atom& atom : run.atoms)
            if (atom.kind == Atom::Kind::Anchor)
                m_anchorLog.emplace_back(atom.id, run.y);
        return paragraph.openedByBreak ? layoutEmptyLine(run, firstBaseline) : run.y;
    }
    while (run.next < run.atoms.size()) {
        Line line;
        if (fillLine(run, line) == LineFill::Retry)
            continue;
        measureLine(run, line);
        emitLine(run, line, firstBaseline);
    }
    for (std::size_t index : run.pendingFloats)
        placeFloatingImage(run, index);
    for (AnchorId anchor : run.pendingAnchors)
        m_anchorLog.emplace_back(anchor, run.y);
    return run.y;
}

int Engine::layoutEmptyLine(const ParagraphRun& run, int* firstBaseline)
{
    int left = run.left;
    int right = run.right;
    run.context.span(run.y, run.lineHeight, left, right);
    TextLine empty;
    empty.rect = Rect { left, run.y, 0, run.lineHeight };
    empty.firstFragment = static_cast<std::uint32_t>(m_out.fragments.size());
    empty.textStart = static_cast<std::uint32_t>(m_out.text.size());
    m_out.text.push_back('\n');
    m_out.lines.push_back(empty);
    if (firstBaseline && *firstBaseline == INT_MIN)
        *firstBaseline = run.y + m_metrics.ascent(font(run.paragraph.font));
    return run.y + run.lineHeight;
}

// Places atoms from `run.next` on the line until the next word does not fit,
// a line end, or the end of the paragraph: Ready. Gives Retry, with nothing
// placed, when the line's span changed first (a floating picture placed at
// its start, or the line moved below a float to find room for a word).
Engine::LineFill Engine::fillLine(ParagraphRun& run, Line& line)
{
    std::vector<Atom>& atoms = run.atoms;
    std::size_t& i = run.next;
    run.context.prune(run.y);
    line.left = run.left;
    int lineRight = run.right;
    run.context.span(run.y, run.lineHeight, line.left, lineRight);
    line.available = std::max(0, lineRight - line.left);
    const bool narrowed = line.left != run.left || lineRight != run.right;
    int width = 0; // up to the end of the last word placed
    int pendingSpace = 0; // width of a blank before the next word
    std::size_t spaceAtom = SIZE_MAX;

    // Blanks at the start of a line are dropped (outside PRE).
    while (i < atoms.size() && atoms[i].kind == Atom::Kind::Space)
        ++i;

    while (i < atoms.size()) {
        Atom& atom = atoms[i];
        switch (atom.kind) {
        case Atom::Kind::Anchor:
            run.pendingAnchors.push_back(atom.id);
            ++i;
            continue;
        case Atom::Kind::Break:
            line.clear = atom.clear;
            ++i;
            return LineFill::Ready;
        case Atom::Kind::Space:
            pendingSpace = atom.width;
            spaceAtom = i;
            ++i;
            continue;
        case Atom::Kind::FloatImage:
            ++i;
            if (!line.pieces.empty()) {
                run.pendingFloats.push_back(i - 1);
                continue;
            }
            placeFloatingImage(run, i - 1);
            return LineFill::Retry;
        default:
            break;
        }

        // The word starting at i: Text atoms up to the next blank, or one
        // picture or control.
        std::size_t end = i + 1;
        int wordWidth = atom.width;
        int imageHeight = 0;
        if (atom.kind == Atom::Kind::Text) {
            while (end < atoms.size() && atoms[end].kind == Atom::Kind::Text) {
                wordWidth = ClampCoordinate(static_cast<long long>(wordWidth) + atoms[end].width);
                ++end;
            }
        } else if (atom.kind == Atom::Kind::Image) {
            const Size size = imageSize(m_doc.images[atom.id], run.right - run.left);
            atom.width = size.width + 2 * atom.hspace;
            imageHeight = size.height;
            wordWidth = atom.width;
        }
        const int needed = (line.pieces.empty() ? 0 : pendingSpace) + wordWidth;
        if (!line.pieces.empty() && width + needed > line.available) {
            line.end = TextLine::End::Wrapped;
            return LineFill::Ready; // the word goes to the next line
        }
        if (line.pieces.empty() && wordWidth > line.available && !run.paragraph.preformatted) {
            if (narrowed) {
                // Narrowed by floats: try below the next float end.
                const int next = run.context.nextFloatEnd(run.y);
                if (next != INT_MAX && next > run.y) {
                    run.y = next;
                    return LineFill::Retry;
                }
            }
            if (atom.kind == Atom::Kind::Text) {
                breakWordByCharacter(run, end, line);
                line.end = i < end ? TextLine::End::WordSplit : TextLine::End::Wrapped;
                return LineFill::Ready;
            }
        }
        // The word fits (or is alone on its line): place it.
        int x = line.pieces.empty() ? 0 : width + pendingSpace;
        if (!line.pieces.empty() && spaceAtom != SIZE_MAX) {
            // The blank belongs to the line's text.
            line.pieces.push_back(
                Line::Piece { spaceAtom, atoms[spaceAtom].start, 1, width, pendingSpace, 0 });
        }
        for (std::size_t k = i; k < end; ++k) {
            line.pieces.push_back(
                Line::Piece { k, atoms[k].start, atoms[k].length, x, atoms[k].width, imageHeight });
            x += atoms[k].width;
        }
        width = x;
        pendingSpace = 0;
        spaceAtom = SIZE_MAX;
        i = end;
    }
    return LineFill::Ready;
}

// Fills the empty line with the start of the word of atoms `run.next` up to
// `end`: as many whole characters as fit, at least one. The rest of the word
// stays in its atoms for the next line.
void Engine::breakWordByCharacter(ParagraphRun& run, std::size_t end, Line& line)
{
    std::size_t& i = run.next;
    const int available = line.available;
    int x = 0;
    while (i < end) {
        Atom& part = run.atoms[i];
        if (x + part.width <= available) {
            line.pieces.push_back(Line::Piece { i, part.start, part.length, x, part.width, 0 });
            x += part.width;
            ++i;
            continue;
        }
        // As many characters of this atom as fit, at least one when the line
        // is still empty.
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
        if (lo == 0 && line.pieces.empty())
            lo = 1;
        if (lo > 0) {
            const int w = m_metrics.textWidth(f, text.substr(0, lo));
            line.pieces.push_back(Line::Piece { i, part.start, static_cast<std::uint32_t>(lo), x, w, 0 });
            x += w;
            part.start += static_cast<std::uint32_t>(lo);
            part.length -= static_cast<std::uint32_t>(lo);
            part.width = m_metrics.textWidth(f, part.text());
            if (part.length == 0)
                ++i;
        }
        break;
    }
}

// The line's extents above and below its baseline and its extra spacing.
void Engine::measureLine(const ParagraphRun& run, Line& line) const
{
    bool hasText = false;
    for (const Line::Piece& piece : line.pieces) {
        const Atom& atom = run.atoms[piece.atom];
        if (atom.kind == Atom::Kind::Image) {
            const int above = imageAscent(m_doc.images[atom.id].align, piece.height, atom.font);
            line.ascent = std::max(line.ascent, above);
            line.descent = std::max(line.descent, piece.height - above);
            continue;
        }
        if (atom.kind == Atom::Kind::Text || atom.kind == Atom::Kind::Space)
            hasText = true;
        line.ascent = std::max(line.ascent, atom.ascent - atom.baselineShift);
        line.descent = std::max(line.descent, atom.descent + atom.baselineShift);
        line.leading = std::max(line.leading, atom.leading);
    }
    if (!hasText) {
        // A line of pictures alone still has the paragraph font's depth below
        // the baseline, like the text beside them would.
        const Font& paragraphFont = font(run.paragraph.font);
        line.descent = std::max(line.descent, m_metrics.descent(paragraphFont));
        if (line.pieces.empty()) {
            line.ascent = m_metrics.ascent(paragraphFont);
            line.leading = std::max(line.leading, run.lineHeight - line.ascent - line.descent);
        }
    }
}

// Puts the measured line on the page: its alignment, items, text and text
// model; then moves `run.y` below it and places the floats met on it.
void Engine::emitLine(ParagraphRun& run, Line& line, int* firstBaseline)
{
    // Blanks at the end of the line are not part of it.
    while (!line.pieces.empty() && run.atoms[line.pieces.back().atom].kind == Atom::Kind::Space)
        line.pieces.pop_back();
    const int lineWidth = line.pieces.empty() ? 0 : line.pieces.back().x + line.pieces.back().width;
    int offset = 0;
    if (run.paragraph.align == Align::Center)
        offset = std::max(0, (line.available - lineWidth) / 2);
    else if (run.paragraph.align == Align::Right)
        offset = std::max(0, line.available - lineWidth);
    const int originX = line.left + offset;
    const int height = std::max(line.ascent + line.descent + line.leading, 1);
    const int baseline = run.y + line.leading / 2 + line.ascent;
    if (firstBaseline && *firstBaseline == INT_MIN)
        *firstBaseline = baseline;
    for (AnchorId anchor : run.pendingAnchors)
        m_anchorLog.emplace_back(anchor, run.y);
    run.pendingAnchors.clear();

    TextLine textLine;
    textLine.rect = Rect { originX, run.y, lineWidth, height };
    textLine.firstFragment = static_cast<std::uint32_t>(m_out.fragments.size());
    textLine.textStart = static_cast<std::uint32_t>(m_out.text.size());
    std::size_t p = 0;
    while (p < line.pieces.size()) {
        const Line::Piece& piece = line.pieces[p];
        const Atom& atom = run.atoms[piece.atom];
        const int x = originX + piece.x;
        if (atom.kind == Atom::Kind::Image) {
            emitImage(atom, x, baseline, piece.width - 2 * atom.hspace, piece.height);
            ++p;
        } else if (atom.kind == Atom::Kind::Control) {
            const Rect rect { x, baseline + atom.descent - (atom.ascent + atom.descent), piece.width,
                atom.ascent + atom.descent };
            m_out.controls.push_back(ControlPlacement { atom.id, rect });
            ++p;
        } else {
            p = emitTextRun(run, line, p, originX, baseline);
        }
    }
    textLine.fragmentCount = static_cast<std::uint32_t>(m_out.fragments.size()) - textLine.firstFragment;
    textLine.textLength = static_cast<std::uint32_t>(m_out.text.size()) - textLine.textStart;
    textLine.end = run.next < run.atoms.size() ? line.end : TextLine::End::Hard;
    m_out.text.push_back('\n');
    m_out.lines.push_back(textLine);
    m_widest = std::max(m_widest, originX + lineWidth);
    run.y = ClampCoordinate(static_cast<long long>(run.y) + height);
    for (std::size_t index : run.pendingFloats)
        placeFloatingImage(run, index);
    run.pendingFloats.clear();
    if (line.clear != Clear::None)
        run.y = run.context.clearY(run.y, line.clear);
}

// A picture in line with the text, `width` x `height` without its HSPACE.
void Engine::emitImage(const Atom& atom, int x, int baseline, int width, int height)
{
    const Image& image = m_doc.images[atom.id];
    const Rect rect { x + atom.hspace, baseline - imageAscent(image.align, height, atom.font), width,
        height };
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
}

// Text pieces of one font and link next to each other, from `first` on, form
// one fragment (for selection and copying). Each piece is drawn at its own
// place: the places come from widths rounded word by word, so a run drawn as
// one string would end a few pixels away from where the next run (another
// font) is placed, and could cover the blank before it. Gives the index of
// the first piece after the run.
std::size_t Engine::emitTextRun(
    const ParagraphRun& run, const Line& line, std::size_t first, int originX, int baseline)
{
    const Line::Piece& piece = line.pieces[first];
    const Atom& atom = run.atoms[piece.atom];
    const int x = originX + piece.x;
    TextFragment fragment;
    fragment.textStart = static_cast<std::uint32_t>(m_out.text.size());
    fragment.x = x;
    fragment.font = atom.font;
    fragment.link = atom.link;
    const Font& f = font(atom.font);
    std::vector<PaintItem> pieceItems;
    int runWidth = 0;
    std::size_t q = first;
    while (q < line.pieces.size()) {
        const Line::Piece& part = line.pieces[q];
        const Atom& next = run.atoms[part.atom];
        if ((next.kind != Atom::Kind::Text && next.kind != Atom::Kind::Space) || next.font != atom.font
            || next.link != atom.link)
            break;
        const auto partStart = static_cast<std::uint32_t>(m_out.text.size());
        m_out.text.append(std::string_view(*next.source).substr(part.start, part.length));
        runWidth = part.x + part.width - piece.x;
        ++q;
        // Blanks are drawn only where a line goes through them.
        if (next.kind == Atom::Kind::Text || f.underline || f.strikeout) {
            PaintItem item;
            item.kind = PaintItem::Kind::Text;
            item.rect = Rect { originX + part.x, 0, part.width, 0 };
            item.font = atom.font;
            item.textStart = partStart;
            item.textLength = part.length;
            pieceItems.push_back(item);
        }
    }
    fragment.textLength = static_cast<std::uint32_t>(m_out.text.size()) - fragment.textStart;
    fragment.baseline = baseline + atom.baselineShift;
    fragment.top = fragment.baseline - m_metrics.ascent(f);
    fragment.height = m_metrics.ascent(f) + m_metrics.descent(f);
    m_out.fragments.push_back(fragment);
    for (PaintItem& item : pieceItems) {
        item.rect.y = fragment.top;
        item.rect.height = fragment.height;
        item.baseline = fragment.baseline;
        m_out.items.push_back(item);
    }
    if (atom.link != kNone)
        m_out.linkAreas.push_back(
            LinkArea { atom.link, Rect { x, fragment.top, runWidth, fragment.height } });
    return q;
}

// A floating picture at the first place at or below `run.y` where it fits
// beside the floats already there.
void Engine::placeFloatingImage(ParagraphRun& run, std::size_t index)
{
    const Atom& atom = run.atoms[index];
    const Image& image = m_doc.images[atom.id];
    const Size size = imageSize(image, run.right - run.left);
    const Rect box = placeFloat(
        run.context, run.left, run.right, run.y, size.width + 2 * atom.hspace, size.height, atom.floatLeft);
    run.context.add(Float { box, atom.floatLeft });
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
}

} // namespace orbita::html::layout_detail
