#include "htmlview/markup_names.h"

#include "core/text_helpers.h"

#include <array>
#include <cctype>

namespace orbita::html {
namespace {

constexpr std::array<std::string_view, kElementNameCount> kElementNames = {
    "HTML",
    "TITLE",
    "BODY",
    "HEAD",
    "B",
    "I",
    "H",
    "EM",
    "STRONG",
    "U",
    "CITE",
    "VAR",
    "TT",
    "CODE",
    "KBD",
    "SAMP",
    "OL",
    "UL",
    "DIR",
    "MENU",
    "DL",
    "A",
    "ADDRESS",
    "BLOCKQUOTE",
    "PRE",
    "CENTER",
    "TABLE",
    "TD",
    "TH",
    "CAPTION",
    "FORM",
    "TEXTAREA",
    "SELECT",
    "OPTION",
    "FONT",
    "SUB",
    "SUP",
    "BIG",
    "SMALL",
    "P",
    "MAP",
    "FRAMESET",
    "NOFRAMES",
    "SCRIPT",
    "DIV",
    "S",
    "STRIKE",
    "TR",
    "LI",
    "BR",
    "HR",
    "DD",
    "DT",
    "IMG",
    "BASE",
    "BUTTON",
    "INPUT",
    "SELECTED",
    "BASEFONT",
    "AREA",
    "FRAME",
    "BGSOUND",
    "WRAP",
    "META",
};

constexpr std::array<std::string_view, kAttributeCount> kAttributeNames = {
    "HREF",
    "NAME",
    "SRC",
    "ALT",
    "ALIGN",
    "TEXT",
    "BGCOLOR",
    "LINK",
    "BACKGROUND",
    "COLSPAN",
    "ROWSPAN",
    "BORDER",
    "CELLPADDING",
    "CELLSPACING",
    "VALIGN",
    "WIDTH",
    "START",
    "VALUE",
    "TYPE",
    "CHECKBOX",
    "RADIO",
    "METHOD",
    "ACTION",
    "CHECKED",
    "SIZE",
    "MAXLENGTH",
    "COLS",
    "ROWS",
    "MULTIPLE",
    "SELECTED",
    "FACE",
    "COLOR",
    "TRANSP",
    "CLEAR",
    "ISMAP",
    "BORDERCOLOR",
    "USEMAP",
    "SHAPE",
    "COORDS",
    "NOHREF",
    "HEIGHT",
    "PLAIN",
    "TARGET",
    "NORESIZE",
    "SCROLLING",
    "HSPACE",
    "LANGUAGE",
    "FRAMEBORDER",
    "MARGINWIDTH",
    "MARGINHEIGHT",
    "LOOP",
    "ONCLICK",
    "WRAP",
    "NOSHADE",
    "HTTP-EQUIV",
    "CONTENT",
    "ENCTYPE",
};

// Entity names of the Latin-1 set, codes A0 to FF in order.
constexpr std::array<std::string_view, 96> kLatin1Entities = {
    "nbsp",
    "iexcl",
    "cent",
    "pound",
    "curren",
    "yen",
    "brvbar",
    "sect",
    "uml",
    "copy",
    "ordf",
    "laquo",
    "not",
    "shy",
    "reg",
    "macr",
    "deg",
    "plusmn",
    "sup2",
    "sup3",
    "acute",
    "micro",
    "para",
    "middot",
    "cedil",
    "sup1",
    "ordm",
    "raquo",
    "frac14",
    "frac12",
    "frac34",
    "iquest",
    "Agrave",
    "Aacute",
    "Acirc",
    "Atilde",
    "Auml",
    "Aring",
    "AElig",
    "Ccedil",
    "Egrave",
    "Eacute",
    "Ecirc",
    "Euml",
    "Igrave",
    "Iacute",
    "Icirc",
    "Iuml",
    "ETH",
    "Ntilde",
    "Ograve",
    "Oacute",
    "Ocirc",
    "Otilde",
    "Ouml",
    "times",
    "Oslash",
    "Ugrave",
    "Uacute",
    "Ucirc",
    "Uuml",
    "Yacute",
    "THORN",
    "szlig",
    "agrave",
    "aacute",
    "acirc",
    "atilde",
    "auml",
    "aring",
    "aelig",
    "ccedil",
    "egrave",
    "eacute",
    "ecirc",
    "euml",
    "igrave",
    "iacute",
    "icirc",
    "iuml",
    "eth",
    "ntilde",
    "ograve",
    "oacute",
    "ocirc",
    "otilde",
    "ouml",
    "divide",
    "oslash",
    "ugrave",
    "uacute",
    "ucirc",
    "uuml",
    "yacute",
    "thorn",
    "yuml",
};

struct NamedColour {
    std::string_view name;
    Rgb rgb;
};
constexpr std::array<NamedColour, 16> kColours = { {
    { "BLACK", 0x000000 },
    { "MAROON", 0x800000 },
    { "GREEN", 0x008000 },
    { "OLIVE", 0x808000 },
    { "NAVY", 0x000080 },
    { "PURPLE", 0x800080 },
    { "TEAL", 0x008080 },
    { "GRAY", 0x808080 },
    { "SILVER", 0xC0C0C0 },
    { "RED", 0xFF0000 },
    { "LIME", 0x00FF00 },
    { "YELLOW", 0xFFFF00 },
    { "BLUE", 0x0000FF },
    { "FUCHSIA", 0xFF00FF },
    { "AQUA", 0x00FFFF },
    { "WHITE", 0xFFFFFF },
} };

bool EqualsUpper(std::string_view text, std::string_view upper)
{
    if (text.size() != upper.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) != static_cast<unsigned char>(upper[i]))
            return false;
    }
    return true;
}

} // namespace

std::optional<ElementId> FindElement(std::string_view upperName, bool endTag)
{
    const int count = endTag ? kElementsWithEndTag : kElementNameCount;
    for (int i = 0; i < count; ++i) {
        if (kElementNames[static_cast<std::size_t>(i)] == upperName)
            return static_cast<ElementId>(i);
    }
    return std::nullopt;
}

std::optional<AttributeId> FindAttribute(std::string_view upperName)
{
    for (int i = 0; i < kAttributeCount; ++i) {
        if (kAttributeNames[static_cast<std::size_t>(i)] == upperName)
            return static_cast<AttributeId>(i);
    }
    return std::nullopt;
}

std::string_view ElementName(ElementId id)
{
    return kElementNames[static_cast<std::size_t>(id)];
}

std::string_view AttributeName(AttributeId id)
{
    return kAttributeNames[static_cast<std::size_t>(id)];
}

std::optional<unsigned char> FindEntity(std::string_view name)
{
    if (name == "amp")
        return '&';
    if (name == "lt")
        return '<';
    if (name == "gt")
        return '>';
    if (name == "quot")
        return '"';
    for (std::size_t i = 0; i < kLatin1Entities.size(); ++i) {
        if (kLatin1Entities[i] == name)
            return static_cast<unsigned char>(0xA0 + i);
    }
    return std::nullopt;
}

std::optional<Rgb> ParseColour(std::string_view value)
{
    value = TrimBlanks(value);
    for (const NamedColour& colour : kColours) {
        if (EqualsUpper(value, colour.name))
            return colour.rgb;
    }
    if (!value.empty() && value.front() == '#')
        value.remove_prefix(1);
    if (value.size() > 6)
        return std::nullopt; // more than RRGGBB
    return ParseHex(value);
}

} // namespace orbita::html
