#include "windows/reference/dictionary_logic.h"

#include "core/cp1250.h"
#include "core/text_helpers.h"
#include "windows/element/find_logic.h"

#include <algorithm>

namespace orbita {

std::vector<DictionaryEntry> ParseDictionary(const std::vector<std::string>& lines)
{
    std::vector<DictionaryEntry> entries;
    entries.reserve(lines.size());
    for (const std::string& line : lines) {
        if (TrimBlanks(line).empty())
            continue;
        const std::size_t separator = line.find(kDictionarySeparator);
        if (separator == std::string::npos)
            entries.push_back({ std::string(), line });
        else
            entries.push_back({ line.substr(0, separator), line.substr(separator + 1) });
    }
    std::stable_sort(entries.begin(), entries.end(),
        [](const DictionaryEntry& a, const DictionaryEntry& b) { return PolishLess(a.term, b.term); });
    return entries;
}

std::string TermPage(const DictionaryEntry& entry)
{
    return "<html><body><b><u>" + entry.term + "</u></b><br><br>" + entry.definition + "</body></html>";
}

std::string WelcomePage(std::size_t count)
{
    // Windows-1250: "Słownik", "współtworzenia", "obejrzeć", "terminów".
    return "<center><br><br><br>S\xB3ownik chemiczny dostarcza informacji na temat " + std::to_string(count)
        + " termin\xF3w wykorzystywanych w chemii i nie tylko. Wybierz termin z listy po lewej stronie, aby "
          "w tym oknie obejrze\xE6 jego znaczenie.<br><br>Zapraszam do wsp\xF3\xB3tworzenia programu poprzez "
          "wysy\xB3\x61nie ciekawych informacji do <a href=\"ORB_KORESPONDENCJA\">autora "
          "programu</a>.</center>";
}

std::string DictionaryCaption(std::size_t count)
{
    return std::string(kDictionaryTitle) + " [" + std::to_string(count) + " termin\xF3w]";
}

KeywordResult SearchKeyword(const std::vector<DictionaryEntry>& entries, std::size_t topIndex,
    std::optional<std::size_t> selected, std::string_view keyword)
{
    using Action = KeywordResult::Action;
    if (entries.empty())
        return {};
    std::size_t hit = 0;
    if (!keyword.empty()) {
        const std::string wanted = AsciiUpperText(keyword);
        auto matches = [&wanted](const DictionaryEntry& entry) {
            return entry.term.size() >= wanted.size()
                && AsciiUpperText(std::string_view(entry.term).substr(0, wanted.size())) == wanted;
        };
        const auto found
            = std::find_if(entries.begin() + static_cast<std::ptrdiff_t>(std::min(topIndex, entries.size())),
                entries.end(), matches);
        if (found == entries.end())
            return {};
        hit = static_cast<std::size_t>(found - entries.begin());
    }
    if (selected == hit)
        return {};
    return { Action::Select, hit };
}

ListPaneGeometry LayOutListPane(int width, int height)
{
    ListPaneGeometry geometry;
    geometry.keywordWidth = std::max(0, width - 2);
    geometry.groupWidth = geometry.keywordWidth;
    geometry.groupHeight = std::max(0, height - 35);
    geometry.listWidth = std::max(0, geometry.groupWidth - 18);
    geometry.listHeight = std::max(0, geometry.groupHeight - 20);
    return geometry;
}

} // namespace orbita
