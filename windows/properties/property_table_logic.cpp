#include "windows/properties/property_table_logic.h"

#include "core/cp1250.h"
#include "data/archive_members.h"
#include "windows/element/element_page.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace orbita {
namespace {

constexpr std::array<TablePropertyInfo, kTablePropertyCount> kProperties = { {
    { TableProperty::Electronegativity, "Elektroujemność (Pauling)", false },
    { TableProperty::Density, "Gęstość", true },
    { TableProperty::GasDensity, "Gęstość gazu (0 °C, 1013 hPa)", true },
    { TableProperty::MeltingPoint, "Temperatura topnienia", false },
    { TableProperty::BoilingPoint, "Temperatura wrzenia", false },
    { TableProperty::IonisationEnergy, "Pierwsza energia jonizacji", false },
    { TableProperty::CovalentRadius, "Promień kowalencyjny", false },
    { TableProperty::AtomicMass, "Masa atomowa", false },
    { TableProperty::DiscoveryYear, "Rok odkrycia", false },
} };

// The HTML character references the database uses, decoded.
std::string DecodeEntities(std::string_view text)
{
    static const std::map<std::string_view, std::string_view> named
        = { { "&amp;", "&" }, { "&lt;", "<" }, { "&gt;", ">" }, { "&nbsp;", " " }, { "&quot;", "\"" } };
    std::string result;
    for (std::size_t at = 0; at < text.size();) {
        if (text[at] == '&') {
            const std::size_t end = text.find(';', at);
            if (end != std::string_view::npos && end - at <= 8) {
                const std::string_view entity = text.substr(at, end - at + 1);
                if (const auto found = named.find(entity); found != named.end()) {
                    result += found->second;
                    at = end + 1;
                    continue;
                }
                if (entity.size() > 3 && entity[1] == '#') {
                    const std::string digits(entity.substr(2, entity.size() - 3));
                    char* stop = nullptr;
                    const long code = std::strtol(digits.c_str(), &stop, 10);
                    if (stop == digits.c_str() + digits.size() && code > 0 && code < 128) {
                        result += static_cast<char>(code);
                        at = end + 1;
                        continue;
                    }
                }
            }
        }
        result += text[at++];
    }
    return result;
}

bool Skip(std::string_view& text, std::string_view prefix)
{
    if (!text.starts_with(prefix))
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

void SkipBlanks(std::string_view& text)
{
    while (Skip(text, " ") || Skip(text, "\t") || Skip(text, "\xC2\xA0")) { }
}

// A Polish decimal at the start of `text` ("-38,83", "1 538" is not one):
// the number and the text after it.
std::optional<double> ReadDecimal(std::string_view& text)
{
    std::string_view rest = text;
    std::string number;
    if (Skip(rest, "-") || Skip(rest, "\xE2\x88\x92")) // hyphen or minus sign
        number += '-';
    std::size_t digits = 0;
    while (!rest.empty() && rest.front() >= '0' && rest.front() <= '9') {
        number += rest.front();
        rest.remove_prefix(1);
        ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    if (rest.size() > 1 && (rest.front() == ',' || rest.front() == '.') && rest[1] >= '0' && rest[1] <= '9') {
        number += '.';
        rest.remove_prefix(1);
        while (!rest.empty() && rest.front() >= '0' && rest.front() <= '9') {
            number += rest.front();
            rest.remove_prefix(1);
        }
    }
    text = rest;
    return std::strtod(number.c_str(), nullptr);
}

std::string WithComma(std::string text)
{
    for (char& c : text)
        if (c == '.')
            c = ',';
    return text;
}

// Round steps for `span` split into about `count` parts: 1, 2 or 5 times a
// power of ten.
double NiceStep(double span, int count)
{
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : { 1.0, 2.0, 5.0 })
        if (raw <= factor * power)
            return factor * power;
    return 10 * power;
}

} // namespace

const std::array<TablePropertyInfo, kTablePropertyCount>& TableProperties()
{
    return kProperties;
}

const TablePropertyInfo& PropertyInfo(TableProperty property)
{
    return kProperties[static_cast<std::size_t>(property)];
}

std::optional<double> LeadingNumber(std::string_view text)
{
    SkipBlanks(text);
    // "about": the number is as good as the database's.
    if (Skip(text, "ok.") || Skip(text, "~") || Skip(text, "\xE2\x89\x88")) // ≈
        SkipBlanks(text);
    if (Skip(text, "[")) {
        std::optional<double> massNumber = ReadDecimal(text);
        return massNumber && text.starts_with(']') ? massNumber : std::nullopt;
    }
    std::optional<double> first = ReadDecimal(text);
    if (!first)
        return std::nullopt;
    SkipBlanks(text);
    // A range: "1000–1200", "1000-1200" or "1000 do 1200".
    if (Skip(text, "\xE2\x80\x93") || Skip(text, "-") || Skip(text, "do ")) {
        SkipBlanks(text);
        if (const std::optional<double> second = ReadDecimal(text))
            return (*first + *second) / 2;
        return std::nullopt; // "1000-" says no number honestly
    }
    // A number must end at a blank, a note in brackets or the end: "12abc" is
    // no number.
    if (!text.empty() && text.front() != '(' && text.front() != ' ')
        if (std::isalnum(static_cast<unsigned char>(text.front())))
            return std::nullopt;
    return first;
}

std::string PlainUnit(std::string_view markup)
{
    static constexpr std::array<std::string_view, 10> superscripts
        = { "⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹" };
    static constexpr std::array<std::string_view, 10> subscripts
        = { "₀", "₁", "₂", "₃", "₄", "₅", "₆", "₇", "₈", "₉" };
    const std::string text = std::string(markup);
    std::string result;
    const std::array<std::string_view, 10>* digits = nullptr;
    for (std::size_t at = 0; at < text.size();) {
        if (text[at] == '<') {
            const std::size_t end = text.find('>', at);
            if (end == std::string::npos)
                break;
            std::string tag = text.substr(at + 1, end - at - 1);
            for (char& c : tag)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            digits = tag == "sup" ? &superscripts : tag == "sub" ? &subscripts : nullptr;
            at = end + 1;
            continue;
        }
        if (digits && text[at] >= '0' && text[at] <= '9')
            result += (*digits)[static_cast<std::size_t>(text[at] - '0')];
        else
            result += text[at];
        ++at;
    }
    return DecodeEntities(result);
}

PropertyTable ReadPropertyTable(const std::vector<std::string>& databaseLines)
{
    PropertyTable table;
    enum class Other { None, Name, Symbol, Group, Period };
    // The property being read (its index), or -1 for any other.
    int property = -1;
    Other other = Other::None;
    bool first = true;
    for (const std::string& raw : databaseLines) {
        if (raw.starts_with('[')) {
            const std::string label = Cp1250ToUtf8(raw);
            property = -1;
            other = first ? Other::Name : Other::None;
            first = false;
            for (const TablePropertyInfo& info : kProperties)
                if (label == "[" + std::string(info.label) + "]")
                    property = static_cast<int>(info.property);
            if (label == "[Symbol]")
                other = Other::Symbol;
            else if (label == "[Grupa]")
                other = Other::Group;
            else if (label == "[Okres]")
                other = Other::Period;
            continue;
        }
        const std::string line = Cp1250ToUtf8(raw);
        if (property >= 0 && !ElementLineKey(line)) {
            std::string key = line.substr(0, std::min(line.size(), std::size_t { 7 }));
            for (char& c : key)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (key == "SUFFIX=")
                table.units[static_cast<std::size_t>(property)] = PlainUnit(line.substr(7));
            continue;
        }
        const std::optional<int> element = ElementLineKey(line);
        const std::optional<std::string_view> value = LineValueText(line);
        if (!element || !value)
            continue;
        TableElement& entry = table.elements[static_cast<std::size_t>(*element)];
        const std::string text = DecodeEntities(*value);
        if (property >= 0) {
            PropertyValue& target = entry.values[static_cast<std::size_t>(property)];
            target.text = text;
            target.number = LeadingNumber(text);
        } else if (other == Other::Name) {
            entry.name = text;
        } else if (other == Other::Symbol) {
            entry.symbol = text;
        } else if (other == Other::Group || other == Other::Period) {
            std::string_view rest = text;
            const std::optional<double> number = ReadDecimal(rest);
            const int whole = number && rest.empty() ? static_cast<int>(*number) : 0;
            (other == Other::Group ? entry.group : entry.period) = whole;
        }
    }
    // The places: groups and periods; the elements of a period outside the
    // groups fill a row of their own below the table, in order of number.
    std::array<int, 8> outside {};
    for (std::size_t number = 1; number < table.elements.size(); ++number) {
        TableElement& entry = table.elements[number];
        if (entry.period < 1 || entry.period > 7)
            continue;
        if (entry.group >= 1 && entry.group <= kTableColumns) {
            entry.column = entry.group;
            entry.row = entry.period;
        } else if (entry.period >= 6) {
            const int index = outside[static_cast<std::size_t>(entry.period)]++;
            if (index < 14) {
                entry.column = 4 + index;
                entry.row = entry.period + 3;
            }
        }
    }
    return table;
}

std::optional<PropertyTable> ReadPropertyTableFromArchive(const std::string& archive)
{
    const std::optional<std::vector<std::string>> lines = ReadArchiveLines(kElementDatabaseMember, archive);
    if (!lines)
        return std::nullopt;
    return ReadPropertyTable(*lines);
}

int ElementAt(const PropertyTable& table, int column, int row)
{
    for (std::size_t number = 1; number < table.elements.size(); ++number)
        if (table.elements[number].column == column && table.elements[number].row == row)
            return static_cast<int>(number);
    return 0;
}

std::string FormatDecimal(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string result(text);
    if (result.find('.') != std::string::npos) {
        while (result.ends_with('0'))
            result.pop_back();
        if (result.ends_with('.'))
            result.pop_back();
    }
    if (result == "-0")
        result = "0";
    return WithComma(result);
}

Rgb Viridis(double t)
{
    // A degree-6 polynomial fit of matplotlib's viridis colour map, published
    // by Matt Zucker on Shadertoy ("Colormap polynomial fits", CC0); it stays
    // within about 1/255 of the 256-entry table.
    static constexpr double c[7][3] = {
        { 0.2777273272234177, 0.005407344544966578, 0.3340998053353061 },
        { 0.1050930431085774, 1.404613529898575, 1.384590162594685 },
        { -0.3308618287255563, 0.214847559468213, 0.09509516302823659 },
        { -4.634230498983486, -5.799100973351585, -19.33244095627987 },
        { 6.228269936347081, 14.17993336680509, 56.69055260068105 },
        { 4.776384997670288, -13.74514537774601, -65.35303263337234 },
        { -5.435455855934631, 4.645852612178535, 26.3124352495832 },
    };
    t = std::isnan(t) ? 0 : std::clamp(t, 0.0, 1.0);
    std::array<std::uint8_t, 3> channels {};
    for (std::size_t k = 0; k < 3; ++k) {
        double value = c[6][k];
        for (int power = 5; power >= 0; --power)
            value = value * t + c[power][k];
        channels[k] = static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255));
    }
    return { channels[0], channels[1], channels[2] };
}

Rgb TextColourOn(Rgb background)
{
    constexpr Rgb black { 0, 0, 0 };
    constexpr Rgb white { 255, 255, 255 };
    return ContrastRatio(black, background) >= ContrastRatio(white, background) ? black : white;
}

double ColourScale::Position(double value) const
{
    double from = low;
    double to = high;
    if (logarithmic && low > 0 && high > 0 && value > 0) {
        from = std::log10(low);
        to = std::log10(high);
        value = std::log10(value);
    }
    if (!(to > from))
        return 0.5;
    return std::clamp((value - from) / (to - from), 0.0, 1.0);
}

std::vector<double> ColourScale::Ticks() const
{
    std::vector<double> ticks;
    if (!(high > low))
        return { low, high };
    if (logarithmic && low > 0) {
        for (int power = static_cast<int>(std::floor(std::log10(low)));
             power <= static_cast<int>(std::ceil(std::log10(high))); ++power)
            for (const double factor : { 1.0, 2.0, 5.0 }) {
                const double tick = factor * std::pow(10.0, power);
                if (tick >= low * (1 - 1e-9) && tick <= high * (1 + 1e-9))
                    ticks.push_back(tick);
            }
        // Over many orders only the powers of ten.
        if (ticks.size() > 8)
            std::erase_if(ticks, [](double tick) {
                const double exponent = std::log10(tick);
                return std::abs(exponent - std::round(exponent)) > 1e-9;
            });
    } else {
        const double step = NiceStep(high - low, 5);
        for (double tick = std::ceil(low / step - 1e-9) * step; tick <= high + step * 1e-9; tick += step)
            ticks.push_back(std::abs(tick) < step * 1e-9 ? 0 : tick);
    }
    if (ticks.size() < 2)
        return { low, high };
    return ticks;
}

std::optional<ColourScale> ScaleFor(const PropertyTable& table, TableProperty property)
{
    std::optional<ColourScale> scale;
    for (std::size_t number = 1; number < table.elements.size(); ++number) {
        const std::optional<double>& value = table.elements[number].Value(property).number;
        if (!value)
            continue;
        if (!scale)
            scale = ColourScale { *value, *value, false };
        scale->low = std::min(scale->low, *value);
        scale->high = std::max(scale->high, *value);
    }
    if (scale)
        scale->logarithmic = PropertyInfo(property).logarithmic && scale->low > 0;
    return scale;
}

MatterState StateAt(const TableElement& element, double celsius)
{
    const PropertyValue& melting = element.Value(TableProperty::MeltingPoint);
    const PropertyValue& boiling = element.Value(TableProperty::BoilingPoint);
    const bool sublimes = boiling.number && boiling.text.find("sublimacja") != std::string::npos;
    if (sublimes)
        return celsius < *boiling.number ? MatterState::Solid : MatterState::Gas;
    // A note with a pressure: melting only when pressed, never at normal
    // pressure.
    const bool meltsOnlyPressed = melting.number && melting.text.find("Pa)") != std::string::npos;
    if (boiling.number && celsius >= *boiling.number)
        return MatterState::Gas;
    if (meltsOnlyPressed)
        return boiling.number ? MatterState::Liquid : MatterState::Unknown;
    if (melting.number && celsius < *melting.number)
        return MatterState::Solid;
    if (melting.number && boiling.number)
        return MatterState::Liquid;
    return MatterState::Unknown;
}

std::string_view StateName(MatterState state)
{
    switch (state) {
    case MatterState::Solid:
        return "ciało stałe";
    case MatterState::Liquid:
        return "ciecz";
    case MatterState::Gas:
        return "gaz";
    case MatterState::Unknown:
        break;
    }
    return "brak danych";
}

Rgb StateColour(MatterState state)
{
    // Three colours of the viridis scale far apart (dark violet, teal and
    // yellow): told apart by lightness alone, so also without colour vision.
    switch (state) {
    case MatterState::Solid:
        return Viridis(0.0);
    case MatterState::Liquid:
        return Viridis(0.5);
    case MatterState::Gas:
        return Viridis(1.0);
    case MatterState::Unknown:
        break;
    }
    return kMissingColour;
}

std::string PropertyHoverText(const PropertyTable& table, int element, TableProperty property)
{
    if (element < 1 || element >= static_cast<int>(table.elements.size()))
        return {};
    const TableElement& entry = table.elements[static_cast<std::size_t>(element)];
    const PropertyValue& value = entry.Value(property);
    std::string text = entry.name + " (" + entry.symbol + ", " + std::to_string(element)
        + "): " + std::string(PropertyInfo(property).label) + " ";
    if (value.text.empty())
        return text + "– brak danych";
    text += value.text;
    if (!table.Unit(property).empty())
        text += " " + table.Unit(property);
    if (!value.number)
        text += " (bez wartości liczbowej)";
    return text;
}

std::string StateHoverText(const PropertyTable& table, int element, double celsius)
{
    if (element < 1 || element >= static_cast<int>(table.elements.size()))
        return {};
    const TableElement& entry = table.elements[static_cast<std::size_t>(element)];
    std::string text = entry.name + " (" + entry.symbol + ", " + std::to_string(element) + ") w "
        + FormatDecimal(celsius, 1) + " °C: " + std::string(StateName(StateAt(entry, celsius)));
    for (const TableProperty property : { TableProperty::MeltingPoint, TableProperty::BoilingPoint }) {
        const PropertyValue& value = entry.Value(property);
        text += property == TableProperty::MeltingPoint ? "; topnienie " : ", wrzenie ";
        text += value.text.empty() ? "brak danych" : value.text + " " + table.Unit(property);
    }
    return text;
}

} // namespace orbita
