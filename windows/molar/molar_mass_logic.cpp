#include "windows/molar/molar_mass_logic.h"

#include "core/cp1250.h"
#include "data/archive_members.h"
#include "windows/element/element_page.h"

#include <cstdio>

namespace orbita {
namespace {

// The most atoms of one element a formula may describe, and the largest
// count written after a symbol or bracket.
constexpr std::uint64_t kMaxAtoms = 1'000'000'000'000'000ULL;
constexpr std::uint64_t kMaxCount = 1'000'000;

std::string Quoted(std::string_view text)
{
    return "„" + std::string(text) + "”";
}

std::string AtPosition(std::size_t position)
{
    return " w pozycji " + std::to_string(position);
}

// One character of the formula with its place (from 1).
struct Character {
    char32_t code = 0;
    std::size_t position = 0;
    std::string text; // its UTF-8 bytes
};

// UTF-8 into characters; nothing when the bytes are not UTF-8 (the position
// of the first bad byte's character is given back).
std::optional<std::vector<Character>> DecodeUtf8(std::string_view bytes, std::size_t& badPosition)
{
    std::vector<Character> characters;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = lead < 0x80 ? 1
            : (lead >> 5) == 0x6         ? 2
            : (lead >> 4) == 0xE         ? 3
            : (lead >> 3) == 0x1E        ? 4
                                         : 0;
        char32_t code = length == 1 ? lead
            : length == 2           ? (lead & 0x1F)
            : length == 3           ? (lead & 0x0F)
                                    : (lead & 0x07);
        bool ok = length != 0 && i + length <= bytes.size();
        for (std::size_t k = 1; ok && k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            ok = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past Unicode are refused.
        ok = ok && !(length == 2 && code < 0x80) && !(length == 3 && code < 0x800)
            && !(length == 4 && code < 0x10000) && !(code >= 0xD800 && code <= 0xDFFF) && code <= 0x10FFFF;
        if (!ok) {
            badPosition = characters.size() + 1;
            return std::nullopt;
        }
        characters.push_back({ code, characters.size() + 1, std::string(bytes.substr(i, length)) });
        i += length;
    }
    return characters;
}

std::optional<int> DigitOf(char32_t c)
{
    if (c >= U'0' && c <= U'9')
        return static_cast<int>(c - U'0');
    if (c >= U'₀' && c <= U'₉')
        return static_cast<int>(c - U'₀');
    return std::nullopt;
}

std::optional<int> SuperscriptDigitOf(char32_t c)
{
    switch (c) {
    case U'⁰':
        return 0;
    case U'¹':
        return 1;
    case U'²':
        return 2;
    case U'³':
        return 3;
    default:
        if (c >= U'⁴' && c <= U'⁹')
            return static_cast<int>(c - U'⁴') + 4;
        return std::nullopt;
    }
}

bool IsJoiner(char32_t c)
{
    return c == U'·' || c == U'∙' || c == U'⋅' || c == U'*' || c == U'.' || c == U'•';
}

bool IsBlank(char32_t c)
{
    return c == U' ' || c == U'\t' || c == U'\u00A0';
}

// +1 or -1 for a charge sign, 0 for anything else.
int SignOf(char32_t c)
{
    if (c == U'+' || c == U'⁺')
        return 1;
    if (c == U'-' || c == U'−' || c == U'⁻')
        return -1;
    return 0;
}

char32_t ClosingOf(char32_t open)
{
    return open == U'(' ? U')' : open == U'[' ? U']' : U'}';
}

// Atoms counted inside one pair of brackets (or the whole formula part).
struct Group {
    std::vector<FormulaAtoms::Entry> entries;
    char32_t open = 0;
    std::size_t openPosition = 0;
    std::string openText;
};

class FormulaReader {
public:
    FormulaReader(std::vector<Character> characters, const ElementMassTable& table)
        : m_c(std::move(characters))
        , m_table(table)
    {
    }

    FormulaReading Read()
    {
        FormulaReading reading;
        if (std::optional<FormulaError> error = parse())
            reading.error = std::move(error);
        else
            reading.atoms = std::move(m_atoms);
        return reading;
    }

private:
    static FormulaError Error(std::size_t position, std::string message)
    {
        return { position, std::move(message) };
    }

    bool atEnd() const { return m_i >= m_c.size(); }
    const Character& current() const { return m_c[m_i]; }

    void skipBlanks()
    {
        while (!atEnd() && IsBlank(current().code))
            ++m_i;
    }

    // Digits (plain or subscript) at the reading place: their value, or an
    // error; nothing read gives 1.
    std::optional<FormulaError> readCount(std::uint64_t& count, bool& present)
    {
        count = 0;
        present = false;
        const std::size_t start = m_i < m_c.size() ? m_c[m_i].position : 0;
        while (!atEnd()) {
            const std::optional<int> digit = DigitOf(current().code);
            if (!digit)
                break;
            present = true;
            count = count * 10 + static_cast<std::uint64_t>(*digit);
            if (count > kMaxCount)
                return Error(start, "Za duża liczba" + AtPosition(start) + " (najwyżej 1 000 000)");
            ++m_i;
        }
        if (present && count == 0)
            return Error(start, "Liczba" + AtPosition(start) + " musi być większa od zera");
        if (!present)
            count = 1;
        return std::nullopt;
    }

    static std::optional<FormulaError> Add(
        Group& group, int element, std::uint64_t count, std::size_t position)
    {
        for (FormulaAtoms::Entry& entry : group.entries) {
            if (entry.element == element) {
                if (entry.count > kMaxAtoms - count)
                    return Error(position, "Wzór opisuje zbyt wiele atomów" + AtPosition(position));
                entry.count += count;
                return std::nullopt;
            }
        }
        group.entries.push_back({ element, count });
        return std::nullopt;
    }

    static std::optional<FormulaError> AddAll(
        Group& into, const Group& from, std::uint64_t times, std::size_t position)
    {
        for (const FormulaAtoms::Entry& entry : from.entries) {
            if (entry.count > kMaxAtoms / times)
                return Error(position, "Wzór opisuje zbyt wiele atomów" + AtPosition(position));
            if (std::optional<FormulaError> error = Add(into, entry.element, entry.count * times, position))
                return error;
        }
        return std::nullopt;
    }

    int findSymbol(const std::string& symbol) const
    {
        for (int z = 1; z < static_cast<int>(m_table.size()); ++z)
            if (m_table[static_cast<std::size_t>(z)].symbol == symbol)
                return z;
        return 0;
    }

    // The charge at the end: "^2-", "^-", "2-" only after "^", "+", "-",
    // "²⁻", "⁺". Anything after it but blanks is an error.
    std::optional<FormulaError> readCharge()
    {
        const std::size_t start = current().position;
        const bool caret = current().code == U'^';
        if (caret)
            ++m_i;
        int magnitude = 0;
        bool digits = false;
        int sign = 0;
        auto readDigits = [&](bool superscriptOnly) {
            while (!atEnd()) {
                std::optional<int> digit = SuperscriptDigitOf(current().code);
                if (!digit && !superscriptOnly)
                    digit = DigitOf(current().code);
                if (!digit || magnitude > 99)
                    break;
                magnitude = magnitude * 10 + *digit;
                digits = true;
                ++m_i;
            }
        };
        readDigits(!caret);
        if (!atEnd() && SignOf(current().code) != 0) {
            sign = SignOf(current().code);
            ++m_i;
        }
        if (caret && sign != 0 && !digits)
            readDigits(false); // "^+2"
        if (sign == 0 || (digits && magnitude == 0) || magnitude > 99)
            return Error(
                start, "Nieprawidłowy ładunek" + AtPosition(start) + " (zapisz go na końcu, np. „SO4^2-”)");
        skipBlanks();
        if (!atEnd())
            return Error(start, "Ładunek" + AtPosition(start) + " może stać tylko na końcu wzoru");
        m_atoms.charge = sign * (digits ? magnitude : 1);
        return std::nullopt;
    }

    std::optional<FormulaError> finishPart(std::size_t joinerPosition)
    {
        Group& part = m_stack.front();
        if (part.entries.empty()) {
            if (m_coefficientPosition != 0)
                return Error(m_coefficientPosition,
                    "Po liczbie" + AtPosition(m_coefficientPosition) + " brakuje wzoru składnika");
            if (joinerPosition != 0)
                return Error(joinerPosition,
                    "Przed znakiem łączenia" + AtPosition(joinerPosition) + " brakuje składnika");
            return std::nullopt;
        }
        std::optional<FormulaError> error = AddAll(m_total, part, m_coefficient, m_coefficientPosition);
        part.entries.clear();
        m_coefficient = 1;
        m_coefficientPosition = 0;
        return error;
    }

    std::optional<FormulaError> parse()
    {
        if (m_c.size() > kMaxFormulaCharacters)
            return Error(kMaxFormulaCharacters + 1,
                "Wzór jest za długi (najwyżej " + std::to_string(kMaxFormulaCharacters) + " znaków)");
        m_stack.push_back({});
        bool partStart = true;
        std::size_t lastJoiner = 0;
        for (skipBlanks(); !atEnd(); skipBlanks()) {
            m_onlyBlanks = false;
            const Character& c = current();
            const std::size_t position = c.position;
            if (c.code >= U'A' && c.code <= U'Z') {
                std::string symbol(1, static_cast<char>(c.code));
                ++m_i;
                if (!atEnd() && current().code >= U'a' && current().code <= U'z') {
                    symbol += static_cast<char>(current().code);
                    ++m_i;
                }
                const int element = findSymbol(symbol);
                if (element == 0)
                    return Error(
                        position, "Nieznany symbol pierwiastka " + Quoted(symbol) + AtPosition(position));
                std::uint64_t count = 1;
                bool present = false;
                if (std::optional<FormulaError> error = readCount(count, present))
                    return error;
                if (std::optional<FormulaError> error = Add(m_stack.back(), element, count, position))
                    return error;
                partStart = false;
            } else if (c.code == U'(' || c.code == U'[' || c.code == U'{') {
                if (m_stack.size() > kMaxBracketDepth)
                    return Error(position, "Za dużo zagnieżdżonych nawiasów" + AtPosition(position));
                m_stack.push_back({ {}, c.code, position, c.text });
                ++m_i;
                partStart = false;
            } else if (c.code == U')' || c.code == U']' || c.code == U'}') {
                if (m_stack.size() == 1)
                    return Error(
                        position, "Nawias " + Quoted(c.text) + AtPosition(position) + " nie ma pary");
                Group& group = m_stack.back();
                if (ClosingOf(group.open) != c.code)
                    return Error(position,
                        "Nawias " + Quoted(c.text) + AtPosition(position) + " nie pasuje do nawiasu "
                            + Quoted(group.openText) + AtPosition(group.openPosition));
                if (group.entries.empty())
                    return Error(group.openPosition, "Puste nawiasy" + AtPosition(group.openPosition));
                ++m_i;
                std::uint64_t count = 1;
                bool present = false;
                if (std::optional<FormulaError> error = readCount(count, present))
                    return error;
                Group inner = std::move(group);
                m_stack.pop_back();
                if (std::optional<FormulaError> error = AddAll(m_stack.back(), inner, count, position))
                    return error;
            } else if (DigitOf(c.code)) {
                if (!partStart)
                    return Error(
                        position, "Liczba" + AtPosition(position) + " musi stać po symbolu lub nawiasie");
                bool present = false;
                if (std::optional<FormulaError> error = readCount(m_coefficient, present))
                    return error;
                m_coefficientPosition = position;
                partStart = false;
            } else if (IsJoiner(c.code)) {
                if (m_stack.size() > 1)
                    return Error(position,
                        "Znak łączenia " + Quoted(c.text) + AtPosition(position)
                            + " nie może stać w nawiasie");
                if (std::optional<FormulaError> error = finishPart(position))
                    return error;
                if (m_total.entries.empty())
                    return Error(
                        position, "Przed znakiem łączenia" + AtPosition(position) + " brakuje składnika");
                lastJoiner = position;
                ++m_i;
                partStart = true;
            } else if (c.code == U'^' || SignOf(c.code) != 0 || SuperscriptDigitOf(c.code)) {
                if (std::optional<FormulaError> error = readCharge())
                    return error;
            } else if (c.code >= U'a' && c.code <= U'z') {
                return Error(position,
                    "Symbol pierwiastka zaczyna się wielką literą: " + Quoted(c.text) + AtPosition(position));
            } else {
                return Error(position, "Nieoczekiwany znak " + Quoted(c.text) + AtPosition(position));
            }
        }
        if (m_stack.size() > 1) {
            const Group& open = m_stack.back();
            return Error(open.openPosition,
                "Nawias " + Quoted(open.openText) + AtPosition(open.openPosition) + " nie został zamknięty");
        }
        const bool lastPartEmpty = m_stack.front().entries.empty();
        if (std::optional<FormulaError> error = finishPart(0))
            return error;
        if (lastPartEmpty && lastJoiner != 0)
            return Error(lastJoiner, "Po znaku łączenia" + AtPosition(lastJoiner) + " brakuje składnika");
        if (m_total.entries.empty())
            return Error(0, m_onlyBlanks ? "Wzór jest pusty" : "Wzór nie zawiera żadnego pierwiastka");
        m_atoms.entries = std::move(m_total.entries);
        return std::nullopt;
    }

    std::vector<Character> m_c;
    const ElementMassTable& m_table;
    std::size_t m_i = 0;
    bool m_onlyBlanks = true;
    std::vector<Group> m_stack;
    Group m_total;
    std::uint64_t m_coefficient = 1;
    std::size_t m_coefficientPosition = 0;
    FormulaAtoms m_atoms;
};

// "1,008", "238,029", "[97]" or "&#91;97&#93;".
std::optional<double> ReadMass(std::string_view text, bool& massNumber)
{
    std::string value(text);
    massNumber = false;
    for (const auto& [open, close] :
        { std::pair<std::string, std::string> { "&#91;", "&#93;" }, { "[", "]" } }) {
        if (value.size() > open.size() + close.size() && value.starts_with(open) && value.ends_with(close)) {
            value = value.substr(open.size(), value.size() - open.size() - close.size());
            massNumber = true;
            break;
        }
    }
    for (char& c : value)
        if (c == ',')
            c = '.';
    if (value.empty() || value.find_first_not_of("0123456789.") != std::string::npos)
        return std::nullopt;
    char* end = nullptr;
    const double mass = std::strtod(value.c_str(), &end);
    if (end != value.c_str() + value.size() || !(mass > 0))
        return std::nullopt;
    return mass;
}

std::string WithComma(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    std::string result(text);
    for (char& c : result)
        if (c == '.')
            c = ',';
    return result;
}

} // namespace

ElementMassTable ReadElementMasses(const std::vector<std::string>& databaseLines)
{
    ElementMassTable table;
    enum class Property { Other, Symbol, Mass } property = Property::Other;
    for (const std::string& line : databaseLines) {
        if (line.starts_with('[')) {
            const std::string label = Cp1250ToUtf8(line);
            property = label.starts_with("[Symbol]")  ? Property::Symbol
                : label.starts_with("[Masa atomowa]") ? Property::Mass
                                                      : Property::Other;
            continue;
        }
        if (property == Property::Other)
            continue;
        const std::optional<int> element = ElementLineKey(line);
        const std::optional<std::string_view> value = LineValueText(line);
        if (!element || !value)
            continue;
        ElementMass& entry = table[static_cast<std::size_t>(*element)];
        if (property == Property::Symbol) {
            entry.symbol = std::string(*value);
        } else {
            bool massNumber = false;
            entry.mass = ReadMass(*value, massNumber);
            entry.massNumber = entry.mass && massNumber;
        }
    }
    return table;
}

std::optional<ElementMassTable> ReadElementMassesFromArchive(const std::string& archive)
{
    const std::optional<std::vector<std::string>> lines = ReadArchiveLines(kElementDatabaseMember, archive);
    if (!lines)
        return std::nullopt;
    return ReadElementMasses(*lines);
}

FormulaReading ReadFormula(std::string_view formula, const ElementMassTable& table)
{
    std::size_t badPosition = 0;
    std::optional<std::vector<Character>> characters = DecodeUtf8(formula, badPosition);
    if (!characters)
        return { std::nullopt, FormulaError { badPosition, "Nieprawidłowy znak" + AtPosition(badPosition) } };
    return FormulaReader(std::move(*characters), table).Read();
}

MolarMassResult ComputeMolarMass(std::string_view formula, const ElementMassTable& table)
{
    FormulaReading reading = ReadFormula(formula, table);
    if (!reading.atoms)
        return { std::nullopt, std::move(reading.error) };
    MolarMass result;
    result.charge = reading.atoms->charge;
    long double total = 0;
    for (const FormulaAtoms::Entry& entry : reading.atoms->entries) {
        const ElementMass& element = table[static_cast<std::size_t>(entry.element)];
        if (!element.mass)
            return { std::nullopt,
                FormulaError {
                    0, "Baza danych nie podaje masy atomowej pierwiastka " + Quoted(element.symbol) } };
        MolarMassRow row;
        row.element = entry.element;
        row.symbol = element.symbol;
        row.count = entry.count;
        row.atomicMass = *element.mass;
        row.mass = static_cast<double>(static_cast<long double>(entry.count) * *element.mass);
        row.massNumber = element.massNumber;
        result.usesMassNumbers = result.usesMassNumbers || element.massNumber;
        total += static_cast<long double>(entry.count) * *element.mass;
        result.rows.push_back(std::move(row));
    }
    result.total = static_cast<double>(total);
    for (MolarMassRow& row : result.rows)
        row.percent = static_cast<double>(static_cast<long double>(row.mass) * 100 / total);
    return { std::move(result), std::nullopt };
}

std::string FormatMass(double value)
{
    return WithComma("%.4f", value);
}

std::string FormatPercent(double value)
{
    return WithComma("%.2f", value);
}

std::string FormatAtomicMass(double value, bool massNumber)
{
    const std::string text = WithComma("%.10g", value);
    return massNumber ? "[" + text + "]" : text;
}

std::string MolarMassReport(const MolarMass& mass)
{
    std::string report = "Masa molowa: " + FormatMass(mass.total) + " g/mol\n"
        + "Pierwiastek\tLiczba atomów\tMasa atomowa [g/mol]\tMasa [g/mol]\tUdział masowy [%]\n";
    for (const MolarMassRow& row : mass.rows)
        report += row.symbol + "\t" + std::to_string(row.count) + "\t"
            + FormatAtomicMass(row.atomicMass, row.massNumber) + "\t" + FormatMass(row.mass) + "\t"
            + FormatPercent(row.percent) + "\n";
    if (mass.usesMassNumbers)
        report += std::string(kMassNumberNote) + "\n";
    return report;
}

} // namespace orbita
