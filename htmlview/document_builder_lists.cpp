// Builder rules for lists: OL, UL, DIR, MENU, DL, BLOCKQUOTE and their items,
// with the nesting limit.

#include "htmlview/document_builder_state.h"

namespace orbita::html::builder_detail {

int DocumentBuilder::listDepth() const
{
    int depth = 0;
    for (auto it = m_contexts.rbegin(); it != m_contexts.rend() && it->kind == Context::Kind::List; ++it)
        ++depth;
    return depth;
}

// Recovery: a list or table start tag that would open more than kMaxNesting
// lists and tables is dropped (its content joins the innermost open item or
// cell), and counted so that its end tag is dropped too (droppedEnd).
bool DocumentBuilder::nestingFull(ElementId element)
{
    if (m_contexts.size() < kMaxNesting)
        return false;
    ++m_droppedOpen[static_cast<std::size_t>(element)];
    return true;
}

// Recovery: gives true, once per dropped start tag, for the end tag that
// belongs to a start tag nestingFull dropped.
bool DocumentBuilder::droppedEnd(ElementId element)
{
    int& dropped = m_droppedOpen[static_cast<std::size_t>(element)];
    if (dropped == 0)
        return false;
    --dropped;
    return true;
}

void DocumentBuilder::startList(ElementId element, const AttributeList& attributes)
{
    closeBlock();
    if (nestingFull(element))
        return;
    const FlowId flow = currentFlow();
    List list;
    list.kind = *ListKindOf(element);
    list.depth = listDepth() + 1;
    list.plain = element == ElementId::Ul && Has(attributes, AttributeId::Plain);
    list.attributes = attributes;
    m_doc.lists.push_back(std::move(list));
    const ListId id = static_cast<ListId>(m_doc.lists.size() - 1);
    m_doc.flows[flow].blocks.push_back(ListRef { id });

    Context context;
    context.kind = Context::Kind::List;
    context.element = element;
    context.id = id;
    context.enclosingFlow = flow;
    context.depth = m_doc.lists[id].depth;
    if (element == ElementId::Ol) {
        const std::optional<int> start = ParseNumber(GetAttribute(attributes, AttributeId::Start));
        context.nextNumber = start && *start >= 0 ? *start : 1;
        const std::string type = TextOf(attributes, AttributeId::Type);
        if (!type.empty() && std::string_view("1aAiI").find(type.front()) != std::string_view::npos)
            context.numberStyle = type.front();
    }
    m_contexts.push_back(context);
    m_hasContent = true;
}

void DocumentBuilder::startItem(ElementId element)
{
    closeBlock();
    if (m_contexts.empty() || m_contexts.back().kind != Context::Kind::List)
        return; // recovery: outside a list an item is only a new block
    Context& context = m_contexts.back();
    ListItem item;
    item.depth = context.depth;
    item.bulletDepth = context.depth;
    if (element == ElementId::Dt) {
        item.marker = MarkerKind::Term;
        item.depth = context.depth - 1;
    } else if (element == ElementId::Dd) {
        item.marker = MarkerKind::Description;
    } else if (context.element == ElementId::Ol) {
        item.marker = MarkerKind::Number;
        item.number = context.nextNumber;
        item.numberStyle = context.numberStyle;
        if (context.nextNumber < std::numeric_limits<int>::max())
            ++context.nextNumber;
    } else {
        item.marker = m_doc.lists[context.id].plain ? MarkerKind::None : MarkerKind::Bullet;
    }
    item.content = newFlow();
    context.currentFlow = item.content;
    m_doc.lists[context.id].items.push_back(item);
    m_blockAlign = m_containerAlign;
    m_afterItemStart = true;
}

void DocumentBuilder::endList(ElementId element)
{
    if (droppedEnd(element))
        return;
    for (std::size_t i = m_contexts.size(); i-- > 0;) {
        if (m_contexts[i].kind == Context::Kind::Table)
            return; // recovery: a list end never closes a table
        if (m_contexts[i].element == element) {
            closeContextsDownTo(i);
            return;
        }
    }
}

} // namespace orbita::html::builder_detail
