// Measuring: the smallest and largest widths of paragraphs, lists and flows
// (tables measure in layout_tables.cpp), which the table column widths need.

#include "htmlview/layout_engine.h"
#include "htmlview/table_attributes.h"

namespace orbita::html::layout_detail {

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

} // namespace orbita::html::layout_detail
