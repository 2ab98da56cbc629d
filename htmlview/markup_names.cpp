#include "htmlview/markup_names.h"

#include "core/cp1250.h"
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

std::string_view Latin1PageText(unsigned char code)
{
    // Latin-1 characters that Windows-1250 lacks, with their stand-ins.
    struct StandIn {
        unsigned char code;
        std::string_view text;
    };
    static constexpr std::array kStandIns {
        StandIn { 0xA1, "!" },
        StandIn { 0xA2, "c" },
        StandIn { 0xA3, "L" },
        StandIn { 0xA5, "Y" },
        StandIn { 0xAA, "a" },
        StandIn { 0xAF, "-" },
        StandIn { 0xB2, "2" },
        StandIn { 0xB3, "3" },
        StandIn { 0xB9, "1" },
        StandIn { 0xBA, "o" },
        StandIn { 0xBC, "1/4" },
        StandIn { 0xBD, "1/2" },
        StandIn { 0xBE, "3/4" },
        StandIn { 0xBF, "?" },
        StandIn { 0xC0, "A" },
        StandIn { 0xC3, "A" },
        StandIn { 0xC5, "A" },
        StandIn { 0xC6, "AE" },
        StandIn { 0xC8, "E" },
        StandIn { 0xCA, "E" },
        StandIn { 0xCC, "I" },
        StandIn { 0xCF, "I" },
        StandIn { 0xD0, "\xD0" },
        StandIn { 0xD1, "N" },
        StandIn { 0xD2, "O" },
        StandIn { 0xD5, "O" },
        StandIn { 0xD8, "O" },
        StandIn { 0xD9, "U" },
        StandIn { 0xDB, "U" },
        StandIn { 0xDE, "Th" },
        StandIn { 0xE0, "a" },
        StandIn { 0xE3, "a" },
        StandIn { 0xE5, "a" },
        StandIn { 0xE6, "ae" },
        StandIn { 0xE8, "e" },
        StandIn { 0xEA, "e" },
        StandIn { 0xEC, "i" },
        StandIn { 0xEF, "i" },
        StandIn { 0xF0, "d" },
        StandIn { 0xF1, "n" },
        StandIn { 0xF2, "o" },
        StandIn { 0xF5, "o" },
        StandIn { 0xF8, "o" },
        StandIn { 0xF9, "u" },
        StandIn { 0xFB, "u" },
        StandIn { 0xFE, "th" },
        StandIn { 0xFF, "y" },
    };
    // Every other code from A0 to FF has a Windows-1250 byte.
    static const std::array<std::string, 96> kTexts = [] {
        std::array<std::string, 96> texts;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const int byte = UnicodeToCp1250(static_cast<char32_t>(0xA0 + i));
            if (byte >= 0)
                texts[i] = std::string(1, static_cast<char>(byte));
        }
        for (const StandIn& standIn : kStandIns)
            texts[standIn.code - 0xA0] = std::string(standIn.text);
        return texts;
    }();
    if (code < 0xA0)
        return {};
    return kTexts[code - 0xA0];
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
