// Builder rules for text and blocks: folding blanks, paragraphs, line
// breaks, paragraph gaps, horizontal rules and PRE.

#include "htmlview/document_builder_state.h"

namespace orbita::html::builder_detail {

void DocumentBuilder::handleText(std::string_view text)
{
    if (m_inTitle) {
        m_doc.title += text;
        return;
    }
    if (m_select != kNone) {
        if (m_optionOpen)
            m_doc.controls[m_select].options.back().text += text;
        return;
    }
    if (m_inPre) {
        std::size_t start = 0;
        for (std::size_t i = 0; i <= text.size(); ++i) {
            if (i == text.size() || text[i] == '\r' || text[i] == '\n') {
                if (i > start)
                    addText(text.substr(start, i - start));
                if (i < text.size())
                    addLineBreak(Clear::None);
                start = i + 1;
            }
        }
        return;
    }
    // Blanks only matter between words: none at the start of a paragraph,
    // and one where several meet across runs.
    const bool allBlank = std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\n'; });
    const bool paragraphOpen = m_openFlow != kNone && m_openFlow == currentFlowIfAny();
    if (allBlank && (!paragraphOpen || m_lastBlank))
        return;
    openParagraph();
    std::string folded;
    folded.reserve(text.size());
    bool blank = m_lastBlank;
    for (char c : text) {
        const bool isBlank = c == ' ' || c == '\n';
        if (isBlank && blank)
            continue;
        folded += isBlank ? ' ' : c;
        blank = isBlank;
    }
    if (!folded.empty())
        addText(folded);
}

// Appends text to the open paragraph, joined to the previous run when the
// font and link are the same.
void DocumentBuilder::addText(std::string_view text)
{
    const FontId font = currentFont(m_link != kNone);
    Paragraph& paragraph = openParagraph();
    while (!text.empty()) {
        TextRun* last = paragraph.items.empty() ? nullptr : std::get_if<TextRun>(&paragraph.items.back());
        if (!last || last->font != font || last->link != m_link || last->text.size() >= kMaxJoinedRun) {
            paragraph.items.push_back(TextRun { {}, font, m_link });
            last = &std::get<TextRun>(paragraph.items.back());
        }
        const std::size_t take = std::min(text.size(), kMaxJoinedRun - last->text.size());
        last->text.append(text.substr(0, take));
        text.remove_prefix(take);
    }
    const TextRun& run = std::get<TextRun>(paragraph.items.back());
    m_lastBlank = !paragraph.preformatted && !run.text.empty() && run.text.back() == ' ';
    m_hasContent = true;
}

void DocumentBuilder::addLineBreak(Clear clear)
{
    openParagraph().items.emplace_back(std::in_place_type<LineBreak>, LineBreak { clear });
    m_lastBlank = true;
}

FlowId DocumentBuilder::currentFlow()
{
    if (m_contexts.empty())
        return kBodyFlow;
    Context& context = m_contexts.back();
    if (context.kind == Context::Kind::Table)
        return context.currentFlow != kNone ? context.currentFlow : context.enclosingFlow;
    if (context.currentFlow == kNone) {
        // Recovery: content before the first item goes to an item without
        // a marker.
        context.currentFlow = newFlow();
        List& list = m_doc.lists[context.id];
        list.items.push_back(
            ListItem { MarkerKind::None, context.depth, 0, '1', context.depth, context.currentFlow });
    }
    return context.currentFlow;
}

// The flow new content would go to, without opening a list item; kNone
// when that would need one.
FlowId DocumentBuilder::currentFlowIfAny() const
{
    if (m_contexts.empty())
        return kBodyFlow;
    const Context& context = m_contexts.back();
    if (context.kind == Context::Kind::Table)
        return context.currentFlow != kNone ? context.currentFlow : context.enclosingFlow;
    return context.currentFlow;
}

FlowId DocumentBuilder::newFlow()
{
    m_doc.flows.emplace_back();
    return static_cast<FlowId>(m_doc.flows.size() - 1);
}

Paragraph& DocumentBuilder::openParagraph()
{
    const FlowId flow = currentFlow();
    if (m_openFlow == flow)
        return std::get<Paragraph>(m_doc.flows[flow].blocks.back());
    Paragraph paragraph;
    paragraph.align = m_blockAlign;
    paragraph.preformatted = m_inPre;
    paragraph.font = currentFont(false);
    if (m_pendingBreak) {
        paragraph.openedByBreak = true;
        paragraph.clear = *m_pendingBreak;
        m_pendingBreak.reset();
    }
    m_doc.flows[flow].blocks.emplace_back(std::move(paragraph));
    m_openFlow = flow;
    m_lastBlank = true;
    return std::get<Paragraph>(m_doc.flows[flow].blocks.back());
}

// Closes the paragraph and forgets a BR that has not opened one yet: the
// block that follows starts on its own line anyway.
void DocumentBuilder::closeBlock()
{
    closeParagraph();
    m_pendingBreak.reset();
}

// BR: the next paragraph opens on a new line. A BR whose line has not been
// opened yet (BR BR) leaves an empty line.
void DocumentBuilder::lineBreak(Clear clear)
{
    if (m_pendingBreak && m_openFlow == kNone)
        openParagraph();
    closeParagraph();
    m_pendingBreak = clear;
}

void DocumentBuilder::addBlock(Block block)
{
    closeBlock();
    m_doc.flows[currentFlow()].blocks.push_back(std::move(block));
}

// A paragraph space is not added at the start of a cell or an item, nor
// right after another space.
void DocumentBuilder::addGap(GapKind kind, bool always)
{
    closeBlock();
    const FlowId flow = currentFlow();
    std::vector<Block>& blocks = m_doc.flows[flow].blocks;
    if (!always) {
        if (blocks.empty() && flow != kBodyFlow)
            return;
        if (!blocks.empty() && std::holds_alternative<Gap>(blocks.back()))
            return;
    }
    blocks.push_back(Gap { kind });
}

void DocumentBuilder::addRule(const AttributeList& attributes)
{
    Rule rule;
    rule.align = ParseAlign(TextOf(attributes, AttributeId::Align));
    rule.enclosingAlign = m_blockAlign;
    rule.width = ParseLength(GetAttribute(attributes, AttributeId::Width));
    rule.size = std::max(0, ParseNumber(GetAttribute(attributes, AttributeId::Size)).value_or(0));
    rule.noShade = Has(attributes, AttributeId::Noshade);
    rule.colour = ParseColour(TextOf(attributes, AttributeId::Color));
    rule.attributes = attributes;
    addBlock(std::move(rule));
    m_hasContent = true;
}

void DocumentBuilder::endPre()
{
    if (!m_inPre)
        return;
    closeBlock();
    while (m_fontMarks.size() > std::max(m_preMarkDepth, markFloor()))
        popFont();
    m_inPre = false;
}

} // namespace orbita::html::builder_detail
