// Attribute values as the builder reads them: alignments, lengths, numbers,
// COORDS, input types, and the tables of which elements do what.

#include "core/text_helpers.h"
#include "htmlview/document_builder_state.h"

#include <algorithm>
#include <cctype>

namespace orbita::html::builder_detail {

std::string Lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string Trim(std::string_view text)
{
    return std::string(TrimBlanks(text));
}

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

ImageAlign ParseImageAlign(std::string_view text)
{
    const std::string value = Lower(text);
    if (value == "middle" || value == "absmiddle")
        return ImageAlign::Middle;
    if (value == "top" || value == "texttop")
        return ImageAlign::Top;
    if (value == "left")
        return ImageAlign::Left;
    if (value == "right")
        return ImageAlign::Right;
    return ImageAlign::Baseline;
}

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

} // namespace orbita::html::builder_detail
