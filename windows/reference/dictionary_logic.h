#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbita {

// The chemical dictionary without its window: the entries of SLOWNIK\DANE.TXT,
// their order, the pages the window shows and the keyword search. All text is
// Windows-1250.

inline constexpr std::string_view kDictionaryMember = "SLOWNIK\\DANE.TXT";
// The byte between a term and its definition ("á" in Windows-1250).
inline constexpr char kDictionarySeparator = '\xE1';

struct DictionaryEntry {
    std::string term; // the text before the first separator
    std::string definition; // an HTML fragment: the rest of the line
};

// One entry per line: the term, the separator, the definition. A line
// without the separator is an empty term whose definition is the whole line.
// Blank lines (nothing but blanks) are skipped. The entries are sorted by
// term in Polish alphabetical order without regard to case (PolishLess, the
// order of the element search's lists); the order of the lines does not
// matter.
std::vector<DictionaryEntry> ParseDictionary(const std::vector<std::string>& lines);

// The page of one term: the term bold and underlined above its definition.
std::string TermPage(const DictionaryEntry& entry);
// The page shown while no term is chosen, with the number of terms.
std::string WelcomePage(std::size_t count);
// "Słownik chemiczny [N terminów]".
std::string DictionaryCaption(std::size_t count);
inline constexpr std::string_view kDictionaryTitle = "S\xB3ownik chemiczny";

// The keyword search, run on every change of the keyword box.
struct KeywordResult {
    enum class Action { Nothing, Select };
    Action action = Action::Nothing;
    std::size_t index = 0; // Select: the entry to select and show
};
// An empty keyword selects the first entry (nothing in an empty dictionary).
// Otherwise the entries from `topIndex` (the first one visible in the list)
// to the end are walked; the first whose term begins with the keyword, both
// upper-cased in their ASCII letters only, is the hit (letters with
// diacritics match only in the same case). A hit that is already `selected`
// and no hit both do nothing.
KeywordResult SearchKeyword(const std::vector<DictionaryEntry>& entries, std::size_t topIndex,
    std::optional<std::size_t> selected, std::string_view keyword);

// The left pane's inner geometry for a pane of `width` x `height`: the keyword
// box and the group take the pane width less 2, the group the height less 35,
// the list the group's width less 18 and height less 20 (never below 0).
struct ListPaneGeometry {
    int keywordWidth = 0;
    int groupWidth = 0;
    int groupHeight = 0;
    int listWidth = 0;
    int listHeight = 0;
    bool operator==(const ListPaneGeometry&) const = default;
};
ListPaneGeometry LayOutListPane(int width, int height);

} // namespace orbita
