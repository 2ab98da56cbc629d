// The entry point of the layout and the painting list it gives: moving laid
// out output into place, and the bands that find the items of an area.

#include "htmlview/layout_engine.h"

#include <algorithm>
#include <cstdlib>

namespace orbita::html {
namespace layout_detail {

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

} // namespace layout_detail

namespace {

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

using layout_detail::Engine;

std::string CopiedText(const PageLayout& layout, std::size_t start, std::size_t end)
{
    end = std::min(end, layout.text.size());
    if (start >= end)
        return {};
    std::string copied;
    copied.reserve(end - start);
    std::size_t from = start; // copied up to here
    // Each line's '\n' follows its text; lines stand in text order.
    const auto first = std::lower_bound(layout.lines.begin(), layout.lines.end(), start,
        [](const TextLine& line, std::size_t offset) { return line.textStart + line.textLength < offset; });
    for (auto line = first; line != layout.lines.end(); ++line) {
        const std::size_t lineEnd = std::size_t(line->textStart) + line->textLength;
        if (lineEnd >= end)
            break;
        copied.append(layout.text, from, lineEnd - from);
        from = lineEnd + 1;
        const auto next = std::next(line);
        if (line->end == TextLine::End::Wrapped)
            copied += ' ';
        else if (line->end == TextLine::End::WordSplit)
            continue;
        else if (next != layout.lines.end() && line->row != 0 && next->row == line->row
            && next->cell != line->cell)
            copied += '\t';
        else
            copied += '\n';
    }
    copied.append(layout.text, from, end - from);
    return copied;
}

std::string TextBesideControl(const PageLayout& layout, const Rect& control)
{
    const TextFragment* nearest = nullptr;
    std::size_t lineEnd = 0;
    for (const TextLine& line : layout.lines)
        for (std::uint32_t i = 0; i < line.fragmentCount && line.firstFragment + i < layout.fragments.size();
             ++i) {
            const TextFragment& piece = layout.fragments[line.firstFragment + i];
            const bool sameHeight = piece.top < control.bottom() && control.y < piece.top + piece.height;
            if (!sameHeight || piece.x < control.right() || (nearest != nullptr && piece.x >= nearest->x))
                continue;
            nearest = &piece;
            lineEnd = std::size_t(line.textStart) + line.textLength;
        }
    if (nearest == nullptr || lineEnd > layout.text.size() || nearest->textStart > lineEnd)
        return {};
    std::string text = layout.text.substr(nearest->textStart, lineEnd - nearest->textStart);
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') + 1 - first);
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
