#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orbita::html {

// The vocabulary of the page engine: the element names, attribute names,
// entity names and colour names that the markup reader knows.

// Element names in table order. The first 48 (Html .. Tr) also have end tags;
// the last 16 (Li .. Meta) are read as start tags only. `H` carries its
// heading level (1 to 6, or 0 for an H without a valid digit) in the token.
enum class ElementId : std::uint8_t {
    Html,
    Title,
    Body,
    Head,
    B,
    I,
    H,
    Em,
    Strong,
    U,
    Cite,
    Var,
    Tt,
    Code,
    Kbd,
    Samp,
    Ol,
    Ul,
    Dir,
    Menu,
    Dl,
    A,
    Address,
    Blockquote,
    Pre,
    Center,
    Table,
    Td,
    Th,
    Caption,
    Form,
    Textarea,
    Select,
    Option,
    Font,
    Sub,
    Sup,
    Big,
    Small,
    P,
    Map,
    Frameset,
    Noframes,
    Script,
    Div,
    S,
    Strike,
    Tr,
    Li,
    Br,
    Hr,
    Dd,
    Dt,
    Img,
    Base,
    Button,
    Input,
    Selected,
    Basefont,
    Area,
    Frame,
    Bgsound,
    Wrap,
    Meta,
};
inline constexpr int kElementNameCount = 64;
inline constexpr int kElementsWithEndTag = 48;

// Attribute names in table order; the table lists VALUE twice and the first
// entry wins, so there are 57 distinct names.
enum class AttributeId : std::uint8_t {
    Href,
    Name,
    Src,
    Alt,
    Align,
    Text,
    Bgcolor,
    Link,
    Background,
    Colspan,
    Rowspan,
    Border,
    Cellpadding,
    Cellspacing,
    Valign,
    Width,
    Start,
    Value,
    Type,
    Checkbox,
    Radio,
    Method,
    Action,
    Checked,
    Size,
    Maxlength,
    Cols,
    Rows,
    Multiple,
    Selected,
    Face,
    Color,
    Transp,
    Clear,
    Ismap,
    Bordercolor,
    Usemap,
    Shape,
    Coords,
    Nohref,
    Height,
    Plain,
    Target,
    Noresize,
    Scrolling,
    Hspace,
    Language,
    Frameborder,
    Marginwidth,
    Marginheight,
    Loop,
    Onclick,
    Wrap,
    Noshade,
    HttpEquiv,
    Content,
    Enctype,
};
inline constexpr int kAttributeCount = 57;

// Looks an upper-cased element name up. With `endTag` only the 48 names that
// have end tags count. Gives nothing for an unknown name.
std::optional<ElementId> FindElement(std::string_view upperName, bool endTag);

// Looks an upper-cased attribute name (letters and "-") up.
std::optional<AttributeId> FindAttribute(std::string_view upperName);

// The upper-case name of an element or attribute, for messages and tests.
std::string_view ElementName(ElementId id);
std::string_view AttributeName(AttributeId id);

// The character code of a named entity (case-sensitive): amp, lt, gt, quot
// and the 96 Latin-1 names from nbsp (A0) to yuml (FF), each giving its
// Latin-1 code.
std::optional<unsigned char> FindEntity(std::string_view name);

// The page text (Windows-1250) of a Latin-1 character code from A0 to FF: the
// same character where the code page has it ("&eacute;" gives E9, "&times;"
// D7), otherwise its nearest spelling without the mark ("&egrave;" gives "e",
// "&oslash;" "o", "&frac12;" "1/2"), never a different letter that happens
// to sit at that byte.
std::string_view Latin1PageText(unsigned char code);

// A colour as 0xRRGGBB.
using Rgb = std::uint32_t;

// An attribute's colour value, the one parser that the page, fonts, rules
// and table cells share: blanks and control bytes around it are trimmed; then
// one of the 16 colour names (any case), or an optional "#" followed by one
// to six hexadecimal digits read as the number RRGGBB ("#F00" is 0x000F00).
// Gives nothing for anything else (more than six digits too), so the
// attribute has no effect.
std::optional<Rgb> ParseColour(std::string_view value);

} // namespace orbita::html
