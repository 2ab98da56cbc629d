// Atoms: a paragraph cut into words, blanks, pictures, controls, line ends
// and anchors, each measured in its font; the sizes of pictures and controls.

#include "htmlview/layout_engine.h"

namespace orbita::html::layout_detail {
namespace {

// Bytes that separate words outside PRE.
bool IsBlank(char c)
{
    return c == ' ';
}

} // namespace

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
            return static_cast<int>(
                static_cast<long long>(availableWidth) * std::clamp(length.value, 0, 100) / 100);
        return std::clamp(length.value, 0, kMaxPictureSide);
    };
    Size size;
    if (known) {
        size = Size { std::clamp(known->width, 0, kMaxPictureSide),
            std::clamp(known->height, 0, kMaxPictureSide) };
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
    // Scaling by one side may carry the other beyond the cap.
    size = Size { std::clamp(size.width, 0, kMaxPictureSide), std::clamp(size.height, 0, kMaxPictureSide) };
    const int border = std::clamp(image.border.value_or(0), 0, 100);
    return Size { size.width + 2 * border, size.height + 2 * border };
}

int Engine::imageAscent(ImageAlign align, int height, FontId fontId) const
{
    const int textAscent = m_metrics.ascent(font(fontId));
    switch (align) {
    case ImageAlign::Middle: // its middle a third of the text's ascent above the baseline
        return height / 2 + textAscent / 3;
    case ImageAlign::Top: // its top at the top of the text
        return textAscent;
    default: // its bottom on the baseline
        return height;
    }
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
                if (atom.kind == Atom::Kind::Space && !atoms.empty()
                    && atoms.back().kind == Atom::Kind::Space)
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
            if (image.align == ImageAlign::Left || image.align == ImageAlign::Right) {
                atom.kind = Atom::Kind::FloatImage;
                atom.floatLeft = image.align == ImageAlign::Left;
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

} // namespace orbita::html::layout_detail

namespace orbita::html {

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
        return Size { std::clamp(control.cols, 1, 500) * character + 20,
            std::clamp(control.rows, 1, 200) * line + 8 };
    case ControlKind::Text:
    case ControlKind::Password:
        return Size { std::clamp(control.size.value_or(20), 1, 500) * character + 8, line + 8 };
    }
    return {};
}

} // namespace orbita::html
