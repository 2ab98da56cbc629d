#pragma once

// The document builder's own types, shared by its units (not for other code).
// Its element rules are grouped by concern:
//   tokens: which element rule each tag runs (document_builder.cpp)
//   text, paragraphs and blocks (document_builder_text.cpp)
//   the font stack and the document colours (document_builder_fonts.cpp)
//   lists (document_builder_lists.cpp)
//   tables (document_builder_tables.cpp)
//   links, anchors, pictures, image maps and forms (document_builder_objects.cpp)
// and the attribute values they read in document_builder_values.cpp.

#include "htmlview/document_builder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbita::html::builder_detail {

// HTML font sizes 1 to 7 in points.
inline constexpr std::array<int, 7> kSizePoints = { 8, 10, 12, 14, 18, 24, 36 };
// Heading levels 1 to 6 in points; an H without a level uses 12.
inline constexpr std::array<int, 6> kHeadingPoints = { 24, 18, 15, 12, 10, 8 };
inline constexpr int kPreFontPoints = 10;
inline constexpr std::size_t kMaxCoords = 1000;
inline constexpr int kMaxTextAreaSize = 1000;

// ---- attribute values (document_builder_values.cpp) ----

std::string Lower(std::string_view text);
// Without blanks and control bytes at either end.
std::string Trim(std::string_view text);
// The HTML size (1 to 7) nearest below a size in points, and back.
int SizeForPoints(int points);
int PointsForSize(int size);
// An optional sign and decimal digits, nothing else.
bool IsInteger(std::string_view text);
// LEFT, CENTER, RIGHT (any case); nothing for anything else.
std::optional<Align> ParseAlign(std::string_view text);
// TOP, MIDDLE (or CENTER), BOTTOM, BASELINE; nothing for anything else.
std::optional<VerticalAlign> ParseVerticalAlign(std::string_view text);
// BR CLEAR: LEFT, RIGHT, ALL (or BOTH); None for anything else.
Clear ParseClear(std::string_view text);
// IMG ALIGN (any case); Baseline for anything it does not know.
ImageAlign ParseImageAlign(std::string_view text);
// A width or height: a number, with "%" for per cent. Words give nothing.
std::optional<Length> ParseLength(const Attribute* attribute);
// A number (a "%" after it is ignored). Words give nothing.
std::optional<int> ParseNumber(const Attribute* attribute);
// COORDS: numbers separated by commas and blanks; a fraction is cut off.
std::vector<int> ParseCoords(std::string_view text);
// The attribute's text, empty when it is absent.
std::string TextOf(const AttributeList& attributes, AttributeId id);
bool Has(const AttributeList& attributes, AttributeId id);
// INPUT TYPE; Text for anything it does not know.
ControlKind InputKind(std::string_view type);
// The kind of list an element opens, nothing for other elements.
std::optional<ListKind> ListKindOf(ElementId element);
// Elements whose end tag pops the font their start tag pushed.
bool PushesFont(ElementId element);
// Tags that keep working inside PRE; every other tag is ignored there.
bool WorksInPre(const Token& token);

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
    bool inImpliedCell = false; // table: started in another table outside its cells
    Snapshot snapshot; // table: the state at its start
};

class DocumentBuilder {
public:
    explicit DocumentBuilder(const BuildOptions& options);
    Document build(std::string_view markup);

private:
    void handle(const Token& token);
    bool setStyleFlag(ElementId element, bool on);
    void handleStart(const Token& token, bool afterItem);
    void handleEnd(const Token& token);
    void finish();

    // ---- text, paragraphs and blocks (document_builder_text.cpp) ----

    void handleText(std::string_view text);
    void addText(std::string_view text);
    void addLineBreak(Clear clear);
    FlowId currentFlow();
    FlowId currentFlowIfAny() const;
    FlowId newFlow();
    Paragraph& openParagraph();
    void closeParagraph() { m_openFlow = kNone; }
    void closeBlock();
    void lineBreak(Clear clear);
    void addBlock(Block block);
    void addGap(GapKind kind, bool always = false);
    void addRule(const AttributeList& attributes);
    void endPre();

    // ---- the font stack and the document colours (document_builder_fonts.cpp) ----

    void pushFont(const FontState& font);
    void popFont();
    bool applyFontAttributes(FontState& font, const AttributeList& attributes, bool setsBase);
    FontId currentFont(bool inLink);
    void applyBody(const AttributeList& attributes);

    // ---- lists (document_builder_lists.cpp) ----

    int listDepth() const;
    bool nestingFull(ElementId element);
    bool droppedEnd(ElementId element);
    void startList(ElementId element, const AttributeList& attributes);
    void startItem(ElementId element);
    void endList(ElementId element);

    // ---- tables (document_builder_tables.cpp) ----

    std::optional<std::size_t> innermostTable() const;
    std::size_t markFloor() const;
    std::size_t alignFloor() const;
    Snapshot takeSnapshot() const;
    void restore(const Snapshot& snapshot);
    void startTable(const AttributeList& attributes);
    Context* tableForCellTag();
    void leaveCell(Context& table);
    void startRow(const AttributeList& attributes);
    void startCell(bool header, const AttributeList& attributes);
    void startCaption(const AttributeList& attributes);
    void endCell();
    void endCaption();
    void endRow();
    void endTable();
    void closeContextsDownTo(std::size_t index);

    // ---- links, anchors, pictures, image maps and forms (document_builder_objects.cpp) ----

    void startAnchor(const AttributeList& attributes);
    void addImage(const AttributeList& attributes);
    void addArea(const AttributeList& attributes);
    void startForm(const AttributeList& attributes);
    ControlId addControl(FormControl control);
    void addInput(const AttributeList& attributes);
    void startSelect(const AttributeList& attributes);
    void startOption(const AttributeList& attributes);
    void finishOption();
    void addTextArea(const AttributeList& attributes);

    // ---- state ----

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
    std::array<int, kElementNameCount> m_droppedOpen {};

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

} // namespace orbita::html::builder_detail
