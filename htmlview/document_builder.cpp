#include "htmlview/document_builder.h"

#include "core/cp1250.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>
#include <map>

namespace orbita::html {
namespace {

// HTML font sizes 1 to 7 in points.
constexpr std::array<int, 7> kSizePoints = { 8, 10, 12, 14, 18, 24, 36 };
// Heading levels 1 to 6 in points; an H without a level uses 12.
constexpr std::array<int, 6> kHeadingPoints = { 24, 18, 15, 12, 10, 8 };
constexpr int kPreFontPoints = 10;
constexpr std::size_t kMaxCoords = 1000;
constexpr int kMaxTextAreaSize = 1000;

std::string Lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string Trim(std::string_view text)
{
    std::size_t begin = 0;
    while (begin < text.size() && static_cast<unsigned char>(text[begin]) <= ' ')
        ++begin;
    std::size_t end = text.size();
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ')
        --end;
    return std::string(text.substr(begin, end - begin));
}

// The HTML size (1 to 7) nearest below a size in points.
int SizeForPoints(int points)
{
    int size = 1;
    for (int i = 0; i < 7; ++i) {
        if (kSizePoints[static_cast<std::size_t>(i)] <= points)
            size = i + 1;
    }
    return size;
}

int PointsForSize(int size)
{
    return kSizePoints[static_cast<std::size_t>(std::clamp(size, 1, 7) - 1)];
}

bool IsInteger(std::string_view text)
{
    if (!text.empty() && (text.front() == '+' || text.front() == '-'))
        text.remove_prefix(1);
    return !text.empty()
        && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<Align> ParseAlign(std::string_view text)
{
    const std::string value = Lower(text);
    if (value == "left")
        return Align::Left;
    if (value == "center")
        return Align::Center;
    if (value == "right")
        return Align::Right;
    return std::nullopt;
}

std::optional<VerticalAlign> ParseVerticalAlign(std::string_view text)
{
    const std::string value = Lower(text);
    if (value == "top")
        return VerticalAlign::Top;
    if (value == "middle" || value == "center")
        return VerticalAlign::Middle;
    if (value == "bottom")
        return VerticalAlign::Bottom;
    if (value == "baseline")
        return VerticalAlign::Baseline;
    return std::nullopt;
}

Clear ParseClear(std::string_view text)
{
    const std::string value = Lower(text);
    if (value == "left")
        return Clear::Left;
    if (value == "right")
        return Clear::Right;
    if (value == "all" || value == "both")
        return Clear::All;
    return Clear::None;
}

// A width or height: a number, with "%" for per cent. Words give nothing.
std::optional<Length> ParseLength(const Attribute* attribute)
{
    if (!attribute || attribute->form == ValueForm::None || attribute->form == ValueForm::Word)
        return std::nullopt;
    std::string_view text = attribute->text;
    const bool percent = !text.empty() && text.back() == '%';
    if (percent)
        text.remove_suffix(1);
    if (!IsInteger(text))
        return std::nullopt;
    return Length { attribute->number, percent };
}

std::optional<int> ParseNumber(const Attribute* attribute)
{
    if (!attribute || attribute->form == ValueForm::None || attribute->form == ValueForm::Word)
        return std::nullopt;
    std::string_view text = attribute->text;
    if (!text.empty() && text.back() == '%')
        text.remove_suffix(1);
    if (!IsInteger(text))
        return std::nullopt;
    return attribute->number;
}

// COORDS: numbers separated by commas and blanks; a fraction is cut off.
std::vector<int> ParseCoords(std::string_view text)
{
    std::vector<int> coords;
    std::size_t i = 0;
    while (i < text.size() && coords.size() < kMaxCoords) {
        const char c = text[i];
        if (c == '-' || (c >= '0' && c <= '9')) {
            const bool negative = c == '-';
            if (negative)
                ++i;
            long long value = 0;
            bool any = false;
            while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
                value = std::min<long long>(value * 10 + (text[i] - '0'), 1000000);
                any = true;
                ++i;
            }
            if (i < text.size() && text[i] == '.') {
                ++i;
                while (i < text.size() && text[i] >= '0' && text[i] <= '9')
                    ++i;
            }
            if (any)
                coords.push_back(static_cast<int>(negative ? -value : value));
        } else {
            ++i;
        }
    }
    return coords;
}

std::string TextOf(const AttributeList& attributes, AttributeId id)
{
    const Attribute* attribute = GetAttribute(attributes, id);
    return attribute ? attribute->text : std::string();
}

bool Has(const AttributeList& attributes, AttributeId id)
{
    return GetAttribute(attributes, id) != nullptr;
}

ControlKind InputKind(std::string_view type)
{
    const std::string value = Lower(type);
    if (value == "password")
        return ControlKind::Password;
    if (value == "checkbox")
        return ControlKind::Checkbox;
    if (value == "radio")
        return ControlKind::Radio;
    if (value == "submit")
        return ControlKind::Submit;
    if (value == "reset")
        return ControlKind::Reset;
    if (value == "hidden")
        return ControlKind::Hidden;
    if (value == "image")
        return ControlKind::Image;
    if (value == "file")
        return ControlKind::File;
    if (value == "button")
        return ControlKind::Button;
    return ControlKind::Text;
}

std::optional<ListKind> ListKindOf(ElementId element)
{
    switch (element) {
    case ElementId::Ol:
        return ListKind::Ordered;
    case ElementId::Ul:
        return ListKind::Unordered;
    case ElementId::Dir:
        return ListKind::Dir;
    case ElementId::Menu:
        return ListKind::Menu;
    case ElementId::Dl:
        return ListKind::Definition;
    case ElementId::Blockquote:
        return ListKind::Blockquote;
    default:
        return std::nullopt;
    }
}

bool PushesFont(ElementId element)
{
    switch (element) {
    case ElementId::Tt:
    case ElementId::Code:
    case ElementId::Kbd:
    case ElementId::Samp:
    case ElementId::Font:
    case ElementId::Big:
    case ElementId::Small:
        return true;
    default:
        return false;
    }
}

// Tags that keep working inside PRE; every other tag is ignored there.
bool WorksInPre(const Token& token)
{
    switch (token.element) {
    case ElementId::B:
    case ElementId::Strong:
    case ElementId::I:
    case ElementId::Em:
    case ElementId::Cite:
    case ElementId::Var:
    case ElementId::U:
    case ElementId::S:
    case ElementId::Strike:
    case ElementId::Img:
    case ElementId::A:
    case ElementId::Font:
    case ElementId::Basefont:
    case ElementId::Input:
    case ElementId::Select:
    case ElementId::Option:
    case ElementId::Textarea:
    case ElementId::Map:
    case ElementId::Area:
    case ElementId::Script:
    case ElementId::P:
    case ElementId::Br:
        return true;
    case ElementId::Pre:
    case ElementId::Td:
    case ElementId::Th:
        return token.kind == TokenKind::EndTag;
    default:
        return false;
    }
}

// One entry of the font stack.
struct FontState {
    std::string face;
    int points = 12;
    int htmlSize = 3; // for BIG, SMALL
    bool bold = false;
    Rgb colour = 0;
};

struct StyleFlags {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    TextPosition position = TextPosition::Normal;
};

// What a table or list restores: the state when it began.
struct Snapshot {
    std::size_t fontDepth = 0;
    std::size_t fontMarks = 0;
    StyleFlags flags;
    Align containerAlign = Align::Left;
    std::size_t alignDepth = 0;
    Align blockAlign = Align::Left;
};

// An open list or table.
struct Context {
    enum class Kind : std::uint8_t { List, Table } kind = Kind::List;
    ElementId element = ElementId::Ul;
    std::uint32_t id = 0; // ListId or TableId
    FlowId enclosingFlow = 0; // where the table's block goes, and its stray text
    FlowId currentFlow = kNone; // list: the open item; table: the open cell or caption
    int nextNumber = 1; // OL
    char numberStyle = '1'; // OL
    int depth = 1; // list depth
    bool rowOpen = false; // table
    Snapshot snapshot; // table: the state at its start
};

class DocumentBuilder {
public:
    explicit DocumentBuilder(const BuildOptions& options)
        : m_options(options)
    {
        m_fonts.push_back(FontState {
            options.fontName, options.fontSize, SizeForPoints(options.fontSize), false, options.fontColour });
    }

    Document build(std::string_view markup)
    {
        MarkupReader reader(markup);
        Token token;
        while (reader.next(token))
            handle(token);
        finish();
        m_doc.error = reader.error();
        return std::move(m_doc);
    }

private:
    // ---- tokens ----

    void handle(const Token& token)
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
            return;
        if (token.kind == TokenKind::StartTag)
            handleStart(token, afterItem);
        else
            handleEnd(token);
    }

    // The style elements switch one flag on at their start and off at their
    // end; gives false for every other element.
    bool setStyleFlag(ElementId element, bool on)
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

    void handleStart(const Token& token, bool afterItem)
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
            font.points = token.headingLevel >= 1
                ? kHeadingPoints[static_cast<std::size_t>(token.headingLevel - 1)]
                : 12;
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
                m_containerAlign
                    = ParseAlign(TextOf(attributes, AttributeId::Align)).value_or(m_containerAlign);
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

    void handleEnd(const Token& token)
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
                endPre();
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

    // ---- text ----

    void handleText(std::string_view text)
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
        const bool allBlank
            = std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\n'; });
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
    void addText(std::string_view text)
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

    void addLineBreak(Clear clear)
    {
        openParagraph().items.push_back(LineBreak { clear });
        m_lastBlank = true;
    }

    // ---- blocks ----

    FlowId currentFlow()
    {
        if (m_contexts.empty())
            return kBodyFlow;
        Context& context = m_contexts.back();
        if (context.kind == Context::Kind::Table)
            return context.currentFlow != kNone ? context.currentFlow : context.enclosingFlow;
        if (context.currentFlow == kNone) {
            // Content before the first item: an item without a marker.
            context.currentFlow = newFlow();
            List& list = m_doc.lists[context.id];
            list.items.push_back(
                ListItem { MarkerKind::None, context.depth, 0, '1', context.depth, context.currentFlow });
        }
        return context.currentFlow;
    }

    // The flow new content would go to, without opening a list item; kNone
    // when that would need one.
    FlowId currentFlowIfAny() const
    {
        if (m_contexts.empty())
            return kBodyFlow;
        const Context& context = m_contexts.back();
        if (context.kind == Context::Kind::Table)
            return context.currentFlow != kNone ? context.currentFlow : context.enclosingFlow;
        return context.currentFlow;
    }

    FlowId newFlow()
    {
        m_doc.flows.emplace_back();
        return static_cast<FlowId>(m_doc.flows.size() - 1);
    }

    Paragraph& openParagraph()
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

    void closeParagraph() { m_openFlow = kNone; }

    // Closes the paragraph and forgets a BR that has not opened one yet: the
    // block that follows starts on its own line anyway.
    void closeBlock()
    {
        closeParagraph();
        m_pendingBreak.reset();
    }

    // BR: the next paragraph opens on a new line. A BR whose line has not been
    // opened yet (BR BR) leaves an empty line.
    void lineBreak(Clear clear)
    {
        if (m_pendingBreak && m_openFlow == kNone)
            openParagraph();
        closeParagraph();
        m_pendingBreak = clear;
    }

    void addBlock(Block block)
    {
        closeBlock();
        m_doc.flows[currentFlow()].blocks.push_back(std::move(block));
    }

    // A paragraph space is not added at the start of a cell or an item, nor
    // right after another space.
    void addGap(GapKind kind, bool always = false)
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

    void addRule(const AttributeList& attributes)
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

    void endPre()
    {
        if (!m_inPre)
            return;
        closeBlock();
        while (m_fontMarks.size() > std::max(m_preMarkDepth, markFloor()))
            popFont();
        m_inPre = false;
    }

    // ---- fonts ----

    void pushFont(const FontState& font)
    {
        const bool room = m_fonts.size() < kMaxFontStack;
        if (room)
            m_fonts.push_back(font);
        m_fontMarks.push_back(room);
    }

    // The end tag of a font element: pops the font its start tag pushed, if any.
    void popFont()
    {
        if (m_fontMarks.size() <= markFloor())
            return;
        const bool pushed = m_fontMarks.back();
        m_fontMarks.pop_back();
        if (pushed && m_fonts.size() > 1)
            m_fonts.pop_back();
    }

    // FONT and BASEFONT: SIZE (1 to 7, or relative to the base size), COLOR,
    // FACE (first of a list). Gives whether any of them was usable.
    bool applyFontAttributes(FontState& font, const AttributeList& attributes, bool setsBase)
    {
        bool used = false;
        if (const Attribute* size = GetAttribute(attributes, AttributeId::Size);
            size && size->form != ValueForm::None && IsInteger(size->text)) {
            const bool relative = size->text.front() == '+' || size->text.front() == '-';
            const int html = std::clamp(relative ? m_baseSize + size->number : size->number, 1, 7);
            font.htmlSize = html;
            font.points = PointsForSize(html);
            if (setsBase)
                m_baseSize = html;
            used = true;
        }
        if (const std::optional<Rgb> colour = ParseColour(TextOf(attributes, AttributeId::Color))) {
            font.colour = *colour;
            used = true;
        }
        const std::string faces = TextOf(attributes, AttributeId::Face);
        const std::string face = Trim(std::string_view(faces).substr(0, faces.find(',')));
        if (!face.empty()) {
            font.face = face;
            used = true;
        }
        return used;
    }

    // The resolved font of new content. Link text is underlined in the link colour.
    FontId currentFont(bool inLink)
    {
        const FontState& state = m_fonts.back();
        Font font;
        font.face = state.face;
        font.points = state.points;
        font.bold = state.bold || m_flags.bold;
        font.italic = m_flags.italic;
        font.underline = m_flags.underline || inLink;
        font.strikeout = m_flags.strikeout;
        font.colour = inLink ? m_doc.linkColour.value_or(m_options.hotSpotColour) : state.colour;
        font.position = m_flags.position;
        if (m_lastFontId != kNone && m_doc.fonts[m_lastFontId] == font)
            return m_lastFontId;
        std::string key = font.face;
        key += '\0';
        key += std::to_string(font.points) + ',' + std::to_string(font.colour) + ','
            + std::to_string(int(font.bold) | int(font.italic) << 1 | int(font.underline) << 2
                | int(font.strikeout) << 3 | int(font.position) << 4);
        const auto [found, added]
            = m_fontIds.try_emplace(std::move(key), static_cast<FontId>(m_doc.fonts.size()));
        if (added)
            m_doc.fonts.push_back(std::move(font));
        m_lastFontId = found->second;
        return m_lastFontId;
    }

    // ---- lists ----

    int listDepth() const
    {
        int depth = 0;
        for (auto it = m_contexts.rbegin(); it != m_contexts.rend() && it->kind == Context::Kind::List; ++it)
            ++depth;
        return depth;
    }

    bool nestingFull(ElementId element)
    {
        if (m_contexts.size() < kMaxNesting)
            return false;
        ++m_droppedOpen[static_cast<std::size_t>(element)];
        return true;
    }

    bool droppedEnd(ElementId element)
    {
        int& dropped = m_droppedOpen[static_cast<std::size_t>(element)];
        if (dropped == 0)
            return false;
        --dropped;
        return true;
    }

    void startList(ElementId element, const AttributeList& attributes)
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

    void startItem(ElementId element)
    {
        closeBlock();
        if (m_contexts.empty() || m_contexts.back().kind != Context::Kind::List)
            return; // outside a list an item is only a new block
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

    void endList(ElementId element)
    {
        if (droppedEnd(element))
            return;
        for (std::size_t i = m_contexts.size(); i-- > 0;) {
            if (m_contexts[i].kind == Context::Kind::Table)
                return; // a list end never closes a table
            if (m_contexts[i].element == element) {
                closeContextsDownTo(i);
                return;
            }
        }
    }

    // ---- tables ----

    std::optional<std::size_t> innermostTable() const
    {
        for (std::size_t i = m_contexts.size(); i-- > 0;) {
            if (m_contexts[i].kind == Context::Kind::Table)
                return i;
        }
        return std::nullopt;
    }

    std::size_t markFloor() const
    {
        const std::optional<std::size_t> table = innermostTable();
        return table ? m_contexts[*table].snapshot.fontMarks : 0;
    }

    std::size_t alignFloor() const
    {
        const std::optional<std::size_t> table = innermostTable();
        return table ? m_contexts[*table].snapshot.alignDepth : 0;
    }

    Snapshot takeSnapshot() const
    {
        return Snapshot { m_fonts.size(), m_fontMarks.size(), m_flags, m_containerAlign, m_alignStack.size(),
            m_blockAlign };
    }

    // Pops the fonts pushed since the snapshot and restores its styles and alignment.
    void restore(const Snapshot& snapshot)
    {
        m_fonts.resize(std::min(m_fonts.size(), snapshot.fontDepth));
        m_fontMarks.resize(std::min(m_fontMarks.size(), snapshot.fontMarks));
        m_flags = snapshot.flags;
        m_alignStack.resize(std::min(m_alignStack.size(), snapshot.alignDepth));
        m_containerAlign = snapshot.containerAlign;
        m_blockAlign = snapshot.blockAlign;
    }

    void startTable(const AttributeList& attributes)
    {
        closeBlock();
        if (nestingFull(ElementId::Table))
            return;
        Table table;
        table.enclosingAlign = m_blockAlign;
        table.attributes = attributes;
        m_doc.tables.push_back(std::move(table));

        Context context;
        context.kind = Context::Kind::Table;
        context.element = ElementId::Table;
        context.id = static_cast<TableId>(m_doc.tables.size() - 1);
        context.enclosingFlow = currentFlow();
        context.snapshot = takeSnapshot();
        m_contexts.push_back(context);
        m_hasContent = true;
    }

    // The innermost table with the lists opened inside it closed; null when
    // there is no table.
    Context* tableForCellTag()
    {
        const std::optional<std::size_t> table = innermostTable();
        if (!table)
            return nullptr;
        if (*table + 1 < m_contexts.size())
            closeContextsDownTo(*table + 1);
        return &m_contexts.back();
    }

    void leaveCell(Context& table)
    {
        closeBlock();
        table.currentFlow = kNone;
        restore(table.snapshot);
    }

    void startRow(const AttributeList& attributes)
    {
        Context* table = tableForCellTag();
        if (!table)
            return;
        leaveCell(*table);
        TableRow row;
        row.align = ParseAlign(TextOf(attributes, AttributeId::Align));
        row.valign = ParseVerticalAlign(TextOf(attributes, AttributeId::Valign));
        row.attributes = attributes;
        m_doc.tables[table->id].rows.push_back(std::move(row));
        table->rowOpen = true;
    }

    void startCell(bool header, const AttributeList& attributes)
    {
        Context* table = tableForCellTag();
        if (!table)
            return;
        leaveCell(*table);
        std::vector<TableRow>& rows = m_doc.tables[table->id].rows;
        if (!table->rowOpen || rows.empty()) {
            rows.emplace_back();
            table->rowOpen = true;
        }
        TableRow& row = rows.back();
        TableCell cell;
        cell.header = header;
        cell.align = ParseAlign(TextOf(attributes, AttributeId::Align))
                         .value_or(row.align.value_or(header ? Align::Center : Align::Left));
        cell.valign = ParseVerticalAlign(TextOf(attributes, AttributeId::Valign));
        if (!cell.valign)
            cell.valign = row.valign;
        cell.colspan = std::clamp(
            ParseNumber(GetAttribute(attributes, AttributeId::Colspan)).value_or(1), 1, kMaxSpan);
        cell.rowspan = std::clamp(
            ParseNumber(GetAttribute(attributes, AttributeId::Rowspan)).value_or(1), 1, kMaxSpan);
        cell.attributes = attributes;
        cell.content = newFlow();
        table->currentFlow = cell.content;
        row.cells.push_back(std::move(cell));

        m_flags.bold = m_flags.bold || header;
        m_alignStack.push_back(m_containerAlign);
        m_containerAlign = row.cells.back().align;
        m_blockAlign = m_containerAlign;
    }

    void startCaption(const AttributeList& attributes)
    {
        Context* table = tableForCellTag();
        if (!table)
            return;
        leaveCell(*table);
        const FlowId flow = newFlow();
        m_doc.tables[table->id].caption
            = TableCaption { flow, Lower(TextOf(attributes, AttributeId::Align)) == "bottom" };
        table->currentFlow = flow;
        m_alignStack.push_back(m_containerAlign);
        m_containerAlign = Align::Center;
        m_blockAlign = Align::Center;
    }

    void endCell()
    {
        if (Context* table = tableForCellTag())
            leaveCell(*table);
    }

    void endCaption()
    {
        const std::optional<std::size_t> index = innermostTable();
        if (!index)
            return;
        const Table& table = m_doc.tables[m_contexts[*index].id];
        if (table.caption && m_contexts[*index].currentFlow == table.caption->content)
            endCell();
    }

    void endRow()
    {
        if (Context* table = tableForCellTag()) {
            leaveCell(*table);
            table->rowOpen = false;
        }
    }

    void endTable()
    {
        if (droppedEnd(ElementId::Table))
            return;
        if (const std::optional<std::size_t> table = innermostTable())
            closeContextsDownTo(*table);
    }

    // Closes the open lists and tables from the innermost down to `index`.
    void closeContextsDownTo(std::size_t index)
    {
        while (m_contexts.size() > index) {
            Context& context = m_contexts.back();
            closeBlock();
            if (context.kind == Context::Kind::Table) {
                if (m_inPre)
                    endPre();
                restore(context.snapshot);
                const FlowId flow = context.enclosingFlow;
                const TableId id = context.id;
                m_contexts.pop_back();
                m_doc.flows[flow].blocks.push_back(TableRef { id });
            } else {
                m_contexts.pop_back();
            }
        }
    }

    // ---- links, pictures, maps ----

    void startAnchor(const AttributeList& attributes)
    {
        m_link = kNone;
        if (const Attribute* href = GetAttribute(attributes, AttributeId::Href)) {
            m_doc.links.push_back(Link { href->text, TextOf(attributes, AttributeId::Target) });
            m_link = static_cast<LinkId>(m_doc.links.size() - 1);
        }
        if (const Attribute* name = GetAttribute(attributes, AttributeId::Name)) {
            const FlowId flow = currentFlow();
            m_doc.anchors.push_back(Anchor { Cp1250UpperText(name->text), flow });
            openParagraph().items.push_back(AnchorMark { static_cast<AnchorId>(m_doc.anchors.size() - 1) });
        }
    }

    void addImage(const AttributeList& attributes)
    {
        Image image;
        image.src = TextOf(attributes, AttributeId::Src);
        image.alt = TextOf(attributes, AttributeId::Alt);
        if (const Attribute* align = GetAttribute(attributes, AttributeId::Align))
            image.align = Lower(align->text);
        image.width = ParseLength(GetAttribute(attributes, AttributeId::Width));
        image.height = ParseLength(GetAttribute(attributes, AttributeId::Height));
        image.border = ParseNumber(GetAttribute(attributes, AttributeId::Border));
        image.hspace = ParseNumber(GetAttribute(attributes, AttributeId::Hspace));
        image.isMap = Has(attributes, AttributeId::Ismap);
        image.useMap = TextOf(attributes, AttributeId::Usemap);
        image.link = m_link;
        image.font = currentFont(m_link != kNone);
        image.attributes = attributes;
        m_doc.images.push_back(std::move(image));
        openParagraph().items.push_back(ImageRef { static_cast<ImageId>(m_doc.images.size() - 1) });
        m_lastBlank = false;
        m_hasContent = true;
    }

    void addArea(const AttributeList& attributes)
    {
        if (m_map == kNone)
            return;
        MapArea area;
        area.shape = Lower(TextOf(attributes, AttributeId::Shape));
        area.coords = ParseCoords(TextOf(attributes, AttributeId::Coords));
        area.href = TextOf(attributes, AttributeId::Href);
        area.target = TextOf(attributes, AttributeId::Target);
        area.alt = TextOf(attributes, AttributeId::Alt);
        area.noHref = Has(attributes, AttributeId::Nohref);
        area.attributes = attributes;
        m_doc.maps[m_map].areas.push_back(std::move(area));
    }

    // ---- forms ----

    void startForm(const AttributeList& attributes)
    {
        Form form;
        form.action = TextOf(attributes, AttributeId::Action);
        form.method = TextOf(attributes, AttributeId::Method);
        form.target = TextOf(attributes, AttributeId::Target);
        form.encType = TextOf(attributes, AttributeId::Enctype);
        form.attributes = attributes;
        m_doc.forms.push_back(std::move(form));
        m_form = static_cast<FormId>(m_doc.forms.size() - 1);
    }

    // Adds a control to the current form and, unless hidden, to the paragraph.
    ControlId addControl(FormControl control)
    {
        control.form = m_form;
        const bool visible = control.kind != ControlKind::Hidden;
        m_doc.controls.push_back(std::move(control));
        const ControlId id = static_cast<ControlId>(m_doc.controls.size() - 1);
        if (m_form != kNone)
            m_doc.forms[m_form].controls.push_back(id);
        if (visible) {
            openParagraph().items.push_back(ControlRef { id });
            m_lastBlank = false;
            m_hasContent = true;
        }
        return id;
    }

    void addInput(const AttributeList& attributes)
    {
        FormControl control;
        control.kind = InputKind(TextOf(attributes, AttributeId::Type));
        control.name = TextOf(attributes, AttributeId::Name);
        control.value = TextOf(attributes, AttributeId::Value);
        control.checked = Has(attributes, AttributeId::Checked);
        control.size = ParseNumber(GetAttribute(attributes, AttributeId::Size));
        control.maxLength = ParseNumber(GetAttribute(attributes, AttributeId::Maxlength));
        control.src = TextOf(attributes, AttributeId::Src);
        control.font = currentFont(false);
        control.attributes = attributes;
        addControl(std::move(control));
    }

    void startSelect(const AttributeList& attributes)
    {
        finishOption();
        FormControl control;
        control.kind = ControlKind::Select;
        control.name = TextOf(attributes, AttributeId::Name);
        control.size = ParseNumber(GetAttribute(attributes, AttributeId::Size));
        control.multiple = Has(attributes, AttributeId::Multiple);
        control.font = currentFont(false);
        control.attributes = attributes;
        m_select = addControl(std::move(control));
    }

    void startOption(const AttributeList& attributes)
    {
        if (m_select == kNone)
            return;
        finishOption();
        SelectOption option;
        const Attribute* value = GetAttribute(attributes, AttributeId::Value);
        m_optionHasValue = value != nullptr;
        if (value)
            option.value = value->text;
        option.selected = Has(attributes, AttributeId::Selected);
        m_doc.controls[m_select].options.push_back(std::move(option));
        m_optionOpen = true;
    }

    void finishOption()
    {
        if (!m_optionOpen || m_select == kNone)
            return;
        SelectOption& option = m_doc.controls[m_select].options.back();
        option.text = Trim(option.text);
        if (!m_optionHasValue)
            option.value = option.text;
        m_optionOpen = false;
    }

    void addTextArea(const AttributeList& attributes)
    {
        FormControl control;
        control.kind = ControlKind::TextArea;
        control.name = TextOf(attributes, AttributeId::Name);
        const std::optional<int> cols = ParseNumber(GetAttribute(attributes, AttributeId::Cols));
        const std::optional<int> rows = ParseNumber(GetAttribute(attributes, AttributeId::Rows));
        if (cols && *cols >= 1)
            control.cols = std::min(*cols, kMaxTextAreaSize);
        if (rows && *rows >= 1)
            control.rows = std::min(*rows, kMaxTextAreaSize);
        const std::string wrap = Lower(TextOf(attributes, AttributeId::Wrap));
        control.wrap = wrap == "soft" || wrap == "hard";
        FontState font = m_fonts.back();
        m_fonts.push_back(FontState {
            m_options.preFontName, kPreFontPoints, SizeForPoints(kPreFontPoints), font.bold, font.colour });
        control.font = currentFont(false);
        m_fonts.pop_back();
        control.attributes = attributes;
        m_rawControl = addControl(std::move(control));
        m_expectRaw = RawExpectation::TextArea;
    }

    // ---- document ----

    void applyBody(const AttributeList& attributes)
    {
        if (const std::optional<Rgb> text = ParseColour(TextOf(attributes, AttributeId::Text))) {
            m_doc.textColour = *text;
            m_fonts.back().colour = *text;
        }
        if (const std::optional<Rgb> link = ParseColour(TextOf(attributes, AttributeId::Link)))
            m_doc.linkColour = *link;
        if (const std::optional<Rgb> background = ParseColour(TextOf(attributes, AttributeId::Bgcolor)))
            m_doc.backgroundColour = *background;
        if (const Attribute* picture = GetAttribute(attributes, AttributeId::Background))
            m_doc.backgroundImage = picture->text;
    }

    void finish()
    {
        if (m_inTitle)
            m_doc.title = Trim(m_doc.title);
        finishOption();
        endPre();
        closeContextsDownTo(0);
        closeBlock();
    }

    enum class RawExpectation : std::uint8_t { None, TextArea, Script };

    const BuildOptions& m_options;
    Document m_doc;

    std::vector<FontState> m_fonts; // 1 .. kMaxFontStack entries; the bottom is the default font
    std::vector<bool> m_fontMarks; // per font start tag still open: whether it pushed a font
    int m_baseSize = 3;
    StyleFlags m_flags;
    FontId m_lastFontId = kNone;
    std::map<std::string, FontId> m_fontIds; // a key of each font in m_doc.fonts

    Align m_containerAlign = Align::Left; // CENTER, DIV, cell
    std::vector<Align> m_alignStack;
    Align m_blockAlign = Align::Left; // of the next paragraph (P ALIGN, heading ALIGN)

    std::vector<Context> m_contexts;
    std::array<int, kElementCount> m_droppedOpen {};

    FlowId m_openFlow = kNone; // the flow whose last block is the open paragraph
    bool m_lastBlank = true; // the open paragraph ends in a blank (or is empty)
    std::optional<Clear> m_pendingBreak;
    bool m_afterItemStart = false;

    bool m_inPre = false;
    std::size_t m_preMarkDepth = 0;
    bool m_inTitle = false;
    bool m_hasContent = false;

    LinkId m_link = kNone;
    MapId m_map = kNone;
    FormId m_form = kNone;
    ControlId m_select = kNone;
    bool m_optionOpen = false;
    bool m_optionHasValue = false;
    RawExpectation m_expectRaw = RawExpectation::None;
    ControlId m_rawControl = kNone;
};

} // namespace

Document BuildDocument(std::string_view markup, const BuildOptions& options)
{
    return DocumentBuilder(options).build(markup);
}

} // namespace orbita::html
