#include "windows/element/find_logic.h"

#include "core/cp1250.h"
#include "core/settings.h"
#include "core/text_helpers.h"
#include "windows/element/element_page.h"

#include <algorithm>
#include <array>
#include <optional>

namespace orbita {
namespace {

// The position of the first line equal to "[" + label + "]".
std::optional<std::size_t> HeaderLine(const std::vector<std::string>& lines, std::string_view label)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.size() == label.size() + 2 && line.front() == '[' && line.back() == ']'
            && std::string_view(line).substr(1, label.size()) == label)
            return i;
    }
    return std::nullopt;
}

// The end of the lines that belong to the property whose header stands at
// `header`: kPropertyLineSpan lines, fewer when the file or the property ends
// sooner (at the next line that opens a property).
std::size_t SpanEnd(const std::vector<std::string>& lines, std::size_t header)
{
    const std::size_t end = std::min(lines.size(), header + 1 + kPropertyLineSpan);
    for (std::size_t i = header + 1; i < end; ++i)
        if (!lines[i].empty() && lines[i].front() == '[')
            return i;
    return end;
}

bool IsUnitLine(std::string_view line)
{
    return AsciiUpperText(line).find("SUFFIX=") != std::string::npos;
}

// The rank of one Windows-1250 byte in Polish alphabetical order.
int PolishRank(unsigned char byte)
{
    static const std::string alphabet = Utf8ToCp1250Lossy("aąbcćdeęfghijklłmnńoópqrsśtuvwxyzźż");
    const unsigned char lower = Cp1250Lower(byte);
    const std::size_t at = alphabet.find(static_cast<char>(lower));
    if (at != std::string::npos)
        return 1000 + static_cast<int>(at);
    // Other letters with diacritics after the plain ones, the rest by code.
    return Cp1250Upper(byte) != Cp1250Lower(byte) ? 2000 + lower : byte;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// The superscript or subscript form of a character, or the character itself.
char32_t Raised(char32_t c)
{
    static constexpr std::array<char32_t, 10> digits
        = { 0x2070, 0x00B9, 0x00B2, 0x00B3, 0x2074, 0x2075, 0x2076, 0x2077, 0x2078, 0x2079 };
    if (c >= U'0' && c <= U'9')
        return digits[c - U'0'];
    switch (c) {
    case U'+':
        return 0x207A;
    case U'-':
        return 0x207B;
    case U'(':
        return 0x207D;
    case U')':
        return 0x207E;
    default:
        return c;
    }
}

char32_t Lowered(char32_t c)
{
    if (c >= U'0' && c <= U'9')
        return 0x2080 + (c - U'0');
    switch (c) {
    case U'+':
        return 0x208A;
    case U'-':
        return 0x208B;
    case U'(':
        return 0x208D;
    case U')':
        return 0x208E;
    default:
        return c;
    }
}

// A character reference or entity name (the text between "&" and ";").
std::optional<char32_t> DecodeEntity(std::string_view name)
{
    if (name.size() >= 2 && name[0] == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 7)
            return std::nullopt;
        std::uint32_t code = 0;
        for (const char d : digits) {
            const int v = hex ? HexDigitValue(d) : (d >= '0' && d <= '9' ? d - '0' : -1);
            if (v < 0)
                return std::nullopt;
            code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(v);
        }
        if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return std::nullopt;
        return static_cast<char32_t>(code);
    }
    struct Named {
        std::string_view name;
        char32_t c;
    };
    static constexpr std::array<Named, 6> named = { { { "amp", U'&' }, { "lt", U'<' }, { "gt", U'>' },
        { "quot", U'"' }, { "apos", U'\'' }, { "nbsp", 0xA0 } } };
    for (const Named& n : named)
        if (n.name == name)
            return n.c;
    return std::nullopt;
}

// A tag's name in lower case with its leading "/" ("sup", "/sub"), or nothing
// when the text between "<" and ">" does not read as a tag.
std::optional<std::string> TagName(std::string_view inside)
{
    std::string name;
    std::size_t i = 0;
    if (i < inside.size() && inside[i] == '/')
        name.push_back(inside[i++]);
    const std::size_t start = i;
    while (i < inside.size()
        && ((inside[i] >= 'a' && inside[i] <= 'z') || (inside[i] >= 'A' && inside[i] <= 'Z')
            || (i > start && inside[i] >= '0' && inside[i] <= '9')))
        name.push_back(static_cast<char>(inside[i++] | 0x20));
    if (i == start)
        return std::nullopt;
    if (i < inside.size() && inside[i] != ' ' && inside[i] != '/' && inside[i] != '\t')
        return std::nullopt;
    return name;
}

} // namespace

bool PolishLess(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int ra = PolishRank(static_cast<unsigned char>(a[i]));
        const int rb = PolishRank(static_cast<unsigned char>(b[i]));
        if (ra != rb)
            return ra < rb;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

std::vector<std::string> PropertyLabels(const std::vector<std::string>& lines)
{
    std::vector<std::string> labels;
    for (const std::string& line : lines) {
        if (line.find('[') == std::string::npos)
            continue;
        labels.push_back(line.size() >= 2 ? line.substr(1, line.size() - 2) : std::string());
    }
    std::stable_sort(labels.begin(), labels.end(),
        [](const std::string& a, const std::string& b) { return PolishLess(a, b); });
    return labels;
}

FindResult FindElements(const std::vector<std::string>& lines, std::string_view searchLabel,
    std::string_view displayLabel, std::string_view text, bool wholeValue)
{
    FindResult result;
    const std::optional<std::size_t> display = HeaderLine(lines, displayLabel);
    const std::optional<std::size_t> search = HeaderLine(lines, searchLabel);
    if (!display || !search)
        return result;

    const std::size_t displayEnd = SpanEnd(lines, *display);
    for (std::size_t i = *display + 1; i < displayEnd; ++i) {
        if (IsUnitLine(lines[i])) {
            result.unit = std::string(*LineValueText(lines[i]));
            result.hasUnit = !result.unit.empty();
            break;
        }
    }

    const std::string wanted = AsciiUpperText(text);
    const std::size_t searchEnd = SpanEnd(lines, *search);
    for (std::size_t i = *search + 1; i < searchEnd; ++i) {
        const std::string& line = lines[i];
        const std::optional<int> element = ElementLineKey(line);
        if (!element)
            continue;
        const bool matches = wholeValue ? AsciiUpperText(*LineValueText(line)) == wanted
                                        : AsciiUpperText(line).find(wanted) != std::string::npos;
        if (!matches)
            continue;
        std::string value;
        for (std::size_t j = *display + 1; j < displayEnd; ++j) {
            if (ElementLineKey(lines[j]) == element) {
                value = std::string(*LineValueText(lines[j]));
                break;
            }
        }
        result.elements.push_back(*element);
        result.values.push_back(std::move(value));
    }
    return result;
}

std::string PlainValueText(std::string_view value)
{
    std::string out;
    int raised = 0;
    int lowered = 0;
    std::size_t i = 0;
    while (i < value.size()) {
        const char c = value[i];
        if (c == '<') {
            const std::size_t close = value.find('>', i + 1);
            if (close != std::string_view::npos) {
                if (const std::optional<std::string> tag = TagName(value.substr(i + 1, close - i - 1))) {
                    if (*tag == "sup")
                        ++raised;
                    else if (*tag == "/sup")
                        raised = std::max(0, raised - 1);
                    else if (*tag == "sub")
                        ++lowered;
                    else if (*tag == "/sub")
                        lowered = std::max(0, lowered - 1);
                    i = close + 1;
                    continue;
                }
            }
        }
        char32_t character = Cp1250ToUnicode(static_cast<unsigned char>(c));
        std::size_t next = i + 1;
        if (c == '&') {
            const std::size_t semicolon = value.find(';', i + 1);
            if (semicolon != std::string_view::npos && semicolon - i <= 10) {
                if (const std::optional<char32_t> decoded
                    = DecodeEntity(value.substr(i + 1, semicolon - i - 1))) {
                    character = *decoded;
                    next = semicolon + 1;
                }
            }
        }
        if (raised > 0)
            character = Raised(character);
        else if (lowered > 0)
            character = Lowered(character);
        AppendUtf8(out, character);
        i = next;
    }
    return out;
}

std::string ResultEntryText(std::string_view value)
{
    if (value.empty())
        return "Brak wartości do wyświetlenia";
    return PlainValueText(value);
}

std::string FindSummary(const FindResult& result)
{
    if (result.elements.empty())
        return Utf8ToCp1250Lossy("Nie znaleziono żadnych pasujących elementów.");
    const auto count = static_cast<long long>(result.elements.size());
    const std::string found
        = PolishCount(count, "pasujący element", "pasujące elementy", "pasujących elementów");
    const std::string unitPart = result.hasUnit
        ? std::string(PolishPlural(count, "wyrażony", "wyrażone", "wyrażonych")) + " w jednostce ["
        : std::string(PolishPlural(count, "jego wartość nie posiada jednostki",
            "ich wartości nie posiadają jednostek", "ich wartości nie posiadają jednostek"));
    if (!result.hasUnit)
        return Utf8ToCp1250Lossy("Znaleziono " + found + ", " + unitPart + ":");
    return Utf8ToCp1250Lossy("Znaleziono " + found + ", " + unitPart) + result.unit + "]:";
}

bool AddToFindHistory(std::vector<std::string>& history, std::string_view text)
{
    for (const std::string& item : history)
        if (Cp1250EqualNoCase(item, text))
            return false;
    if (history.size() >= kMaxFindHistory)
        history.erase(history.begin(),
            history.begin() + static_cast<std::ptrdiff_t>(history.size() - kMaxFindHistory + 1));
    history.emplace_back(text);
    return true;
}

std::vector<std::string> ReadFindHistory()
{
    std::vector<std::string> history = ReadFindKeywords();
    if (history.size() > kMaxFindHistory)
        history.erase(history.begin(), history.end() - static_cast<std::ptrdiff_t>(kMaxFindHistory));
    return history;
}

void WriteFindHistory(const std::vector<std::string>& history)
{
    WriteFindKeywords(history);
}

} // namespace orbita
