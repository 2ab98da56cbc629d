// The document builder's token loop: each tag runs the rule of its element
// group (the groups live in the document_builder_*.cpp units).

#include "htmlview/document_builder_state.h"

namespace orbita::html::builder_detail {

DocumentBuilder::DocumentBuilder(const BuildOptions& options)
    : m_options(options)
{
    m_fonts.push_back(FontState {
        options.fontName, options.fontSize, SizeForPoints(options.fontSize), false, options.fontColour });
}

Document DocumentBuilder::build(std::string_view markup)
{
    MarkupReader reader(markup);
    Token token;
    while (reader.next(token))
        handle(token);
    finish();
    m_doc.error = reader.error();
    return std::move(m_doc);
}

void DocumentBuilder::handle(const Token& token)
{
    const RawExpectation raw = m_expectRaw;
    m_expectRaw = RawExpectation::None;
    if (token.kind == TokenKind::Text) {
        if (raw == RawExpectation::TextArea) {
            m_doc.controls[m_rawControl].text = token.text;
            return;
        }
        if (raw == RawExpectation::Script)
            return;
        handleText(token.text);
        return;
    }
    if (m_inTitle) {
        m_inTitle = false;
        m_doc.title = Trim(m_doc.title);
    }
    const bool afterItem = m_afterItemStart;
    m_afterItemStart = false;
    if (m_inPre && !WorksInPre(token))
        return; // recovery: inside PRE only its own tags work (WorksInPre)
    if (token.kind == TokenKind::StartTag)
        handleStart(token, afterItem);
    else
        handleEnd(token);
}

// The style elements switch one flag on at their start and off at their
// end; gives false for every other element.
bool DocumentBuilder::setStyleFlag(ElementId element, bool on)
{
    switch (element) {
    case ElementId::B:
    case ElementId::Strong:
        m_flags.bold = on;
        return true;
    case ElementId::I:
    case ElementId::Em:
    case ElementId::Cite:
    case ElementId::Var:
        m_flags.italic = on;
        return true;
    case ElementId::U:
        m_flags.underline = on;
        return true;
    case ElementId::S:
    case ElementId::Strike:
        m_flags.strikeout = on;
        return true;
    case ElementId::Sub:
        m_flags.position = on ? TextPosition::Subscript : TextPosition::Normal;
        return true;
    case ElementId::Sup:
        m_flags.position = on ? TextPosition::Superscript : TextPosition::Normal;
        return true;
    default:
        return false;
    }
}

void DocumentBuilder::handleStart(const Token& token, bool afterItem)
{
    const AttributeList& attributes = token.attributes;
    if (setStyleFlag(token.element, true))
        return;
    switch (token.element) {
    case ElementId::Tt:
    case ElementId::Code:
    case ElementId::Kbd:
    case ElementId::Samp: {
        FontState font = m_fonts.back();
        font.face = m_options.preFontName;
        font.points = kPreFontPoints;
        font.htmlSize = SizeForPoints(kPreFontPoints);
        pushFont(font);
        break;
    }
    case ElementId::Font: {
        FontState font = m_fonts.back();
        if (applyFontAttributes(font, attributes, false))
            pushFont(font);
        else
            m_fontMarks.push_back(false);
        break;
    }
    case ElementId::Basefont:
        // Recovery: BASEFONT and BODY count only before the first content.
        if (!m_hasContent)
            applyFontAttributes(m_fonts.back(), attributes, true);
        break;
    case ElementId::Big:
    case ElementId::Small: {
        FontState font = m_fonts.back();
        font.htmlSize = std::clamp(font.htmlSize + (token.element == ElementId::Big ? 1 : -1), 1, 7);
        font.points = PointsForSize(font.htmlSize);
        pushFont(font);
        break;
    }
    case ElementId::P:
        if (m_inPre) {
            addLineBreak(Clear::None);
            break;
        }
        closeParagraph();
        if (!afterItem)
            addGap(GapKind::Paragraph);
        m_blockAlign = ParseAlign(TextOf(attributes, AttributeId::Align)).value_or(m_containerAlign);
        break;
    case ElementId::Br:
        if (m_inPre) {
            addLineBreak(ParseClear(TextOf(attributes, AttributeId::Clear)));
            break;
        }
        lineBreak(ParseClear(TextOf(attributes, AttributeId::Clear)));
        break;
    case ElementId::H: {
        closeBlock();
        FontState font = m_fonts.back();
        font.points
            = token.headingLevel >= 1 ? kHeadingPoints[static_cast<std::size_t>(token.headingLevel - 1)] : 12;
        font.htmlSize = SizeForPoints(font.points);
        font.bold = true;
        pushFont(font);
        addGap(GapKind::Heading, true);
        m_blockAlign = ParseAlign(TextOf(attributes, AttributeId::Align)).value_or(m_containerAlign);
        break;
    }
    case ElementId::Address:
        closeBlock();
        m_flags.italic = true;
        break;
    case ElementId::Pre: {
        closeBlock();
        m_preMarkDepth = m_fontMarks.size();
        FontState font = m_fonts.back();
        font.face = m_options.preFontName;
        font.points = kPreFontPoints;
        font.htmlSize = SizeForPoints(kPreFontPoints);
        pushFont(font);
        m_inPre = true;
        break;
    }
    case ElementId::Center:
    case ElementId::Div: {
        closeBlock();
        m_alignStack.push_back(m_containerAlign);
        if (token.element == ElementId::Center)
            m_containerAlign = Align::Center;
        else
            m_containerAlign = ParseAlign(TextOf(attributes, AttributeId::Align)).value_or(m_containerAlign);
        m_blockAlign = m_containerAlign;
        break;
    }
    case ElementId::Hr:
        addRule(attributes);
        break;
    case ElementId::Ol:
    case ElementId::Ul:
    case ElementId::Dir:
    case ElementId::Menu:
    case ElementId::Dl:
    case ElementId::Blockquote:
        startList(token.element, attributes);
        break;
    case ElementId::Li:
    case ElementId::Dt:
    case ElementId::Dd:
        startItem(token.element);
        break;
    case ElementId::A:
        startAnchor(attributes);
        break;
    case ElementId::Img:
        addImage(attributes);
        break;
    case ElementId::Map:
        m_doc.maps.push_back(ImageMap { TextOf(attributes, AttributeId::Name), {} });
        m_map = static_cast<MapId>(m_doc.maps.size() - 1);
        break;
    case ElementId::Area:
        addArea(attributes);
        break;
    case ElementId::Table:
        startTable(attributes);
        break;
    case ElementId::Tr:
        startRow(attributes);
        break;
    case ElementId::Td:
    case ElementId::Th:
        startCell(token.element == ElementId::Th, attributes);
        break;
    case ElementId::Caption:
        startCaption(attributes);
        break;
    case ElementId::Form:
        startForm(attributes);
        break;
    case ElementId::Input:
        addInput(attributes);
        break;
    case ElementId::Select:
        startSelect(attributes);
        break;
    case ElementId::Option:
        startOption(attributes);
        break;
    case ElementId::Textarea:
        addTextArea(attributes);
        break;
    case ElementId::Script:
        m_expectRaw = RawExpectation::Script;
        break;
    case ElementId::Body:
        if (!m_hasContent)
            applyBody(attributes);
        break;
    case ElementId::Title:
        m_inTitle = true;
        m_doc.title.clear();
        break;
    case ElementId::Base:
        m_doc.baseHref = TextOf(attributes, AttributeId::Href);
        m_doc.baseTarget = TextOf(attributes, AttributeId::Target);
        break;
    default: // HTML, HEAD, frames, META, BGSOUND, BUTTON ...: no effect
        break;
    }
}

void DocumentBuilder::handleEnd(const Token& token)
{
    if (setStyleFlag(token.element, false))
        return;
    switch (token.element) {
    case ElementId::P:
        if (m_inPre) {
            addLineBreak(Clear::None);
            break;
        }
        closeParagraph();
        addGap(GapKind::Paragraph);
        m_blockAlign = m_containerAlign;
        break;
    case ElementId::H:
        closeBlock();
        addGap(GapKind::Heading, true);
        popFont();
        m_blockAlign = m_containerAlign;
        break;
    case ElementId::Address:
        closeBlock();
        m_flags.italic = false;
        break;
    case ElementId::Pre:
        endPre();
        break;
    case ElementId::Center:
    case ElementId::Div:
        closeBlock();
        if (m_alignStack.size() > alignFloor()) {
            m_containerAlign = m_alignStack.back();
            m_alignStack.pop_back();
        }
        m_blockAlign = m_containerAlign;
        break;
    case ElementId::Ol:
    case ElementId::Ul:
    case ElementId::Dir:
    case ElementId::Menu:
    case ElementId::Dl:
    case ElementId::Blockquote:
        endList(token.element);
        break;
    case ElementId::A:
        m_link = kNone;
        break;
    case ElementId::Map:
        m_map = kNone;
        break;
    case ElementId::Table:
        endTable();
        break;
    case ElementId::Tr:
        endRow();
        break;
    case ElementId::Td:
    case ElementId::Th:
        if (m_inPre)
            endPre(); // recovery: a cell end closes a PRE left open in the cell
        endCell();
        break;
    case ElementId::Caption:
        endCaption();
        break;
    case ElementId::Form:
        m_form = kNone;
        break;
    case ElementId::Select:
        finishOption();
        m_select = kNone;
        break;
    case ElementId::Option:
        finishOption();
        break;
    default:
        if (PushesFont(token.element))
            popFont();
        break;
    }
}

// Recovery: the end of the input closes whatever is still open (an option,
// PRE, lists and tables), so every table reaches its enclosing flow.
void DocumentBuilder::finish()
{
    if (m_inTitle)
        m_doc.title = Trim(m_doc.title);
    finishOption();
    endPre();
    closeContextsDownTo(0);
    closeBlock();
}

} // namespace orbita::html::builder_detail

namespace orbita::html {

Document BuildDocument(std::string_view markup, const BuildOptions& options)
{
    return builder_detail::DocumentBuilder(options).build(markup);
}

} // namespace orbita::html
