#pragma once

#include "htmlview/markup_names.h"
#include "htmlview/markup_reader.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace orbita::html {

// The document model: what the builder makes of a page and what the layout
// and the painter read. It holds no layout decisions (no pixel positions,
// widths or line breaks), only the structure and the resolved styles.
//
// Shape. Nested content is not held by nested objects but in flat tables of
// the Document, referenced by index: a Flow is a sequence of Blocks; a block
// that contains other flows (a list, a table) refers to its List or Table by
// id, and those refer to the Flows of their items, cells and caption. Flow 0
// is the page body. So the model is a tree whose nodes live in vectors: it is
// copied, moved and destroyed without recursion however deep the page nests,
// and code that walks it keeps its own stack of ids.
//
// Text is Windows-1250 bytes. Colours are 0xRRGGBB.
//
// What the layout needs to know:
// - Blocks of a flow stack vertically. A Paragraph's `align` is final (it
//   already holds CENTER, DIV, P ALIGN, the cell's or the row's alignment).
// - Text is folded outside PRE: one blank between words, none at the start
//   of a paragraph; a blank may still fall at a line start after wrapping.
//   Adjacent runs without a blank between them belong to one word.
// - Gap blocks are vertical space; two may follow each other (a heading
//   space, then another heading's).
// - A Font is fully resolved: points convert to pixels at 96/72.
// - An AnchorMark marks where a link "#name" scrolls to; it takes no room.
// - Hidden form controls are in Document::controls (they are submitted) but
//   not in any paragraph.
// - Table, row and cell attributes are as read; document_tables.h turns
//   them into the grid and the table attributes with their limits.

using FontId = std::uint32_t;
using FlowId = std::uint32_t;
using ListId = std::uint32_t;
using TableId = std::uint32_t;
using LinkId = std::uint32_t;
using ImageId = std::uint32_t;
using ControlId = std::uint32_t;
using FormId = std::uint32_t;
using AnchorId = std::uint32_t;
using MapId = std::uint32_t;

inline constexpr std::uint32_t kNone = 0xFFFFFFFFu; // "no link", "no form"
inline constexpr FlowId kBodyFlow = 0;

enum class Align : std::uint8_t { Left, Center, Right };
enum class VerticalAlign : std::uint8_t { Top, Middle, Bottom, Baseline };
enum class TextPosition : std::uint8_t { Normal, Subscript, Superscript };
enum class Clear : std::uint8_t { None, Left, Right, All };

// A resolved font: everything needed to measure and draw a text run. Link
// text is underlined and has the document's link colour.
struct Font {
    std::string face; // e.g. "Times New Roman"
    int points = 12; // size in points (pages are laid out at 96 dots per inch)
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    Rgb colour = 0;
    TextPosition position = TextPosition::Normal;

    bool operator==(const Font&) const = default;
};

// A width or height written as pixels or as per cent ("50%").
struct Length {
    int value = 0;
    bool percent = false;
    bool operator==(const Length&) const = default;
};

// ---- inline items (the content of a paragraph) ----

struct TextRun {
    std::string text; // never holds CR or LF; blanks already folded outside PRE
    FontId font = 0;
    LinkId link = kNone;
};

// A line end inside preformatted text (a line end, BR or P within PRE).
struct LineBreak {
    Clear clear = Clear::None;
};

struct ImageRef {
    ImageId image = 0;
};

struct ControlRef {
    ControlId control = 0;
};

// The place that a link "#name" scrolls to.
struct AnchorMark {
    AnchorId anchor = 0;
};

using Inline = std::variant<TextRun, LineBreak, ImageRef, ControlRef, AnchorMark>;

// ---- blocks (the content of a flow) ----

// A paragraph-like block: a run of inline content broken into lines by the
// layout. BR closes a paragraph and opens a new one (`openedByBreak`), which
// keeps its line even when empty; an empty paragraph not opened by BR (for
// instance one holding only an anchor) takes no height.
struct Paragraph {
    Align align = Align::Left;
    Clear clear = Clear::None; // from the BR that opened it
    bool openedByBreak = false;
    bool preformatted = false; // PRE: blanks kept, lines end only at LineBreak
    FontId font = 0; // the font when it opened (height of an empty line)
    std::vector<Inline> items;
};

enum class GapKind : std::uint8_t { Paragraph, Heading };

// Vertical space: a paragraph space (P) or a heading space (H1..H6).
struct Gap {
    GapKind kind = GapKind::Paragraph;
};

// A horizontal line (HR) with its attributes.
struct Rule {
    std::optional<Align> align; // ALIGN; none: the enclosing alignment (`enclosingAlign`)
    Align enclosingAlign = Align::Left;
    std::optional<Length> width; // WIDTH
    int size = 0; // SIZE when above 0, else 0 (the layout's default)
    bool noShade = false; // NOSHADE
    std::optional<Rgb> colour; // COLOR
    AttributeList attributes; // all of them, as read
};

struct ListRef {
    ListId list = 0;
};

struct TableRef {
    TableId table = 0;
};

using Block = std::variant<Paragraph, Gap, Rule, ListRef, TableRef>;

struct Flow {
    std::vector<Block> blocks;
};

// ---- lists ----

enum class ListKind : std::uint8_t { Ordered, Unordered, Dir, Menu, Definition, Blockquote };

enum class MarkerKind : std::uint8_t {
    None, // content before the first item, BLOCKQUOTE, UL PLAIN
    Bullet, // `bulletDepth` chooses the bullet's look
    Number, // `number` in `numberStyle`
    Term, // DT: one level less deep than the list
    Description, // DD
};

struct ListItem {
    MarkerKind marker = MarkerKind::None;
    int depth = 1; // indentation level of the item (DT: list depth - 1)
    int number = 0; // Number
    char numberStyle = '1'; // Number: '1', 'a', 'A', 'i' or 'I'
    int bulletDepth = 1; // Bullet: the list's depth
    FlowId content = 0;
};

struct List {
    ListKind kind = ListKind::Unordered;
    int depth = 1; // 1 for a list not inside another (counted within a table cell)
    bool plain = false; // UL PLAIN
    AttributeList attributes;
    std::vector<ListItem> items;
};

// The marker text of a numbered item: "3.", "c.", "C.", "iii.", "III.". Numbers
// that a style cannot show (0 and below for letters and numerals, above 3999
// for numerals) are written in digits.
std::string ListMarkerText(int number, char style);

// ---- tables ----

// Table, row and cell carry every attribute as read; their defaults and
// limits (padding, spacing, widths, spans and the grid) are applied by the
// table grid and width code. The builder resolves only what depends on the
// build state: alignment and header cells.
struct TableCell {
    bool header = false; // TH
    Align align = Align::Left; // own ALIGN, else the row's, else Left (TD) / Center (TH)
    std::optional<VerticalAlign> valign; // own VALIGN, else the row's
    int colspan = 1; // COLSPAN when above 1 (at most kMaxSpan)
    int rowspan = 1; // ROWSPAN when above 1 (at most kMaxSpan)
    AttributeList attributes;
    FlowId content = 0;
};

struct TableRow {
    std::optional<Align> align;
    std::optional<VerticalAlign> valign;
    AttributeList attributes;
    std::vector<TableCell> cells;
};

struct TableCaption {
    FlowId content = 0;
    bool bottom = false; // ALIGN=bottom: below the table
};

struct Table {
    Align enclosingAlign = Align::Left; // alignment in effect where the table began
    AttributeList attributes;
    std::optional<TableCaption> caption;
    std::vector<TableRow> rows;
};

inline constexpr int kMaxSpan = 1000;

// ---- links, anchors, pictures, image maps ----

struct Link {
    std::string href; // as written
    std::string target; // TARGET, empty when none
};

struct Anchor {
    std::string name; // upper-cased (Windows-1250 rules)
    FlowId flow = 0; // where its AnchorMark stands
};

// IMG ALIGN: where a picture stands against the text of its line, or beside it.
enum class ImageAlign : std::uint8_t {
    Baseline, // its bottom on the baseline (BOTTOM, BASELINE, ABSBOTTOM, none or unknown)
    Middle, // MIDDLE, ABSMIDDLE
    Top, // TOP, TEXTTOP
    Left, // floats at the left edge, the text beside it
    Right, // floats at the right edge
};

struct Image {
    std::string src;
    std::string alt;
    ImageAlign align = ImageAlign::Baseline; // ALIGN
    std::optional<Length> width;
    std::optional<Length> height;
    std::optional<int> border;
    std::optional<int> hspace;
    bool isMap = false; // ISMAP
    std::string useMap; // USEMAP as written ("#name")
    LinkId link = kNone; // the link the picture stands in
    FontId font = 0; // the font at the picture (its baseline, its border colour)
    AttributeList attributes;
};

struct MapArea {
    std::string shape; // lower-cased: "rect", "circle", "poly" ... (empty: rect)
    std::vector<int> coords; // COORDS numbers in order; fractions are cut ("9.5" is 9)
    std::string href;
    std::string target;
    std::string alt;
    bool noHref = false;
    AttributeList attributes;
};

struct ImageMap {
    std::string name;
    std::vector<MapArea> areas;
};

// ---- forms ----

struct Form {
    std::string action;
    std::string method;
    std::string target;
    std::string encType;
    AttributeList attributes;
    std::vector<ControlId> controls;
};

enum class ControlKind : std::uint8_t {
    Text,
    Password,
    Checkbox,
    Radio,
    Submit,
    Reset,
    Hidden,
    Image,
    File,
    Button,
    Select,
    TextArea,
};

struct SelectOption {
    std::string text; // blanks folded and trimmed
    std::string value; // VALUE, else the text
    bool selected = false;
};

struct FormControl {
    ControlKind kind = ControlKind::Text;
    FormId form = kNone; // kNone: outside any form
    std::string name;
    std::string value;
    bool checked = false; // Checkbox, Radio: CHECKED
    std::optional<int> size; // INPUT, SELECT: SIZE
    std::optional<int> maxLength;
    std::string src; // Image: SRC
    std::vector<SelectOption> options; // Select
    bool multiple = false; // Select: MULTIPLE
    std::string text; // TextArea: its content as written (line ends as CR)
    int cols = 30; // TextArea: COLS when 1 or more
    int rows = 5; // TextArea: ROWS when 1 or more
    bool wrap = false; // TextArea: WRAP soft or hard (wrapping, vertical bar only)
    FontId font = 0; // the font of the control's text
    AttributeList attributes;
};

// ---- the document ----

struct Document {
    std::vector<Flow> flows { Flow {} }; // flows[kBodyFlow] is the body
    std::vector<List> lists;
    std::vector<Table> tables;
    std::vector<Font> fonts;
    std::vector<Link> links;
    std::vector<Anchor> anchors;
    std::vector<Image> images;
    std::vector<ImageMap> maps;
    std::vector<Form> forms;
    std::vector<FormControl> controls;

    std::string title;
    std::string baseHref;
    std::string baseTarget;
    std::optional<Rgb> textColour; // BODY TEXT
    std::optional<Rgb> linkColour; // BODY LINK
    std::optional<Rgb> backgroundColour; // BODY BGCOLOR
    std::string backgroundImage; // BODY BACKGROUND

    // The parse error of the markup, empty when none. The document then holds
    // what was read before it.
    std::string error;

    // The anchor for a name (without "#"), matched without regard to case.
    std::optional<AnchorId> findAnchor(std::string_view name) const;
    // The image map for a USEMAP value ("#name" or "name"), without regard to case.
    std::optional<MapId> findMap(std::string_view useMap) const;
};

} // namespace orbita::html
