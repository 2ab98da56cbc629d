// Blocks: a flow's blocks one below the other with the gaps between them,
// lists with their markers, and horizontal rules.

#include "htmlview/layout_engine.h"

namespace orbita::html::layout_detail {

int Engine::layoutRule(const Rule& rule, Context& context, int left, int right, int y)
{
    y += kRuleMargin;
    int l = left;
    int r = right;
    context.span(y, 2, l, r);
    const int available = std::max(0, r - l);
    int width = available;
    if (rule.width) {
        width = rule.width->percent ? static_cast<int>(
                    static_cast<long long>(available) * std::clamp(rule.width->value, 0, 100) / 100)
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

int Engine::layoutList(
    const List& list, Context& context, int left, int right, int baseX, int y, int depth, int* firstBaseline)
{
    for (const ListItem& item : list.items) {
        // Items indent by their level from the left edge of the flow that
        // holds the outermost list; terms stand one level out.
        const int indent = std::clamp(item.depth, 0, kMaxLayoutDepth) * kListIndent;
        const int contentLeft = std::max(left, std::min(baseX + indent, right - 1));
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
                marker.rect = Rect { contentLeft - 10 - size, baseline - m_metrics.ascent(f) / 2 - size / 2,
                    size, size };
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
        if (const auto* listRef = std::get_if<ListRef>(&block); listRef && listRef->list < m_doc.lists.size()
            && m_doc.lists[listRef->list].depth <= 1 && !atStart)
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

} // namespace orbita::html::layout_detail
