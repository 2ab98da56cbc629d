#include "htmlview/document.h"

#include "core/cp1250.h"

#include <array>

namespace orbita::html {
namespace {

std::string RomanNumeral(int number)
{
    struct Step {
        int value;
        const char* text;
    };
    static constexpr std::array<Step, 13> kSteps
        = { { { 1000, "m" }, { 900, "cm" }, { 500, "d" }, { 400, "cd" }, { 100, "c" }, { 90, "xc" },
            { 50, "l" }, { 40, "xl" }, { 10, "x" }, { 9, "ix" }, { 5, "v" }, { 4, "iv" }, { 1, "i" } } };
    std::string text;
    for (const Step& step : kSteps) {
        while (number >= step.value) {
            text += step.text;
            number -= step.value;
        }
    }
    return text;
}

// 1 is "a", 26 "z", 27 "aa" (letters as a bijective base-26 number).
std::string LetterNumeral(int number)
{
    std::string text;
    while (number > 0) {
        --number;
        text.insert(text.begin(), static_cast<char>('a' + number % 26));
        number /= 26;
    }
    return text;
}

} // namespace

std::string ListMarkerText(int number, char style)
{
    std::string text;
    switch (style) {
    case 'a':
    case 'A':
        if (number > 0)
            text = LetterNumeral(number);
        break;
    case 'i':
    case 'I':
        if (number > 0 && number < 4000)
            text = RomanNumeral(number);
        break;
    default:
        break;
    }
    if (text.empty())
        text = std::to_string(number);
    else if (style == 'A' || style == 'I')
        text = AsciiUpperText(text);
    return text + '.';
}

std::optional<AnchorId> Document::findAnchor(std::string_view name) const
{
    const std::string upper = Cp1250UpperText(name);
    for (std::size_t i = 0; i < anchors.size(); ++i) {
        if (anchors[i].name == upper)
            return static_cast<AnchorId>(i);
    }
    return std::nullopt;
}

std::optional<MapId> Document::findMap(std::string_view useMap) const
{
    if (!useMap.empty() && useMap.front() == '#')
        useMap.remove_prefix(1);
    for (std::size_t i = 0; i < maps.size(); ++i) {
        if (Cp1250EqualNoCase(maps[i].name, useMap))
            return static_cast<MapId>(i);
    }
    return std::nullopt;
}

} // namespace orbita::html
