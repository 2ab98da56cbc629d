#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orbita {

// The rules of the element search window (no Qt). Texts are Windows-1250
// bytes unless said otherwise; the database lines are those of UKLAD\DANE.TXT
// (see element_page.h).

// The most search texts the history keeps.
inline constexpr std::size_t kMaxFindHistory = 200;

// How many lines after a property's header belong to it: one unit line and
// one line per element.
inline constexpr std::size_t kPropertyLineSpan = 119;

// The property labels: every line that contains "[" anywhere gives one, the
// line without its first and last character. Sorted as the lists show them
// (PolishLess), duplicates kept.
std::vector<std::string> PropertyLabels(const std::vector<std::string>& lines);

// Alphabetical order of Polish words without regard to case: a ą b c ć d e ę
// f g h i j k l ł m n ń o ó p q r s ś t u v w x y z ź ż; other characters
// before the letters, by their code. Texts equal in that order compare by
// their bytes, so the order is total.
bool PolishLess(std::string_view a, std::string_view b);

// What one search found.
struct FindResult {
    std::vector<int> elements; // the result numbers, in file order
    std::vector<std::string> values; // each element's value of the display property (may hold markup)
    std::string unit; // the display property's unit (may hold markup)
    bool hasUnit = false;
};

// Searches the property labelled `searchLabel` for `text` and reads the
// results' values of the property labelled `displayLabel`.
//
// A property is found by its first line equal to "[" + label + "]"; its
// candidate lines are the kPropertyLineSpan lines after it, fewer when the
// file ends sooner or a line opening the next property comes first (so that a
// property short of lines never takes values of the next one), and of those
// only the lines keyed by an element number take part. Only the ASCII letters are compared without regard to
// case (so "ż" does not find "Ż"). `wholeValue`: the text after the line's first "=" equals the search text;
// otherwise the search text occurs anywhere in the line, its key and "=" included. A missing property finds
// nothing.
FindResult FindElements(const std::vector<std::string>& lines, std::string_view searchLabel,
    std::string_view displayLabel, std::string_view text, bool wholeValue);

// The entry of the result list for a value: "Brak wartości do wyświetlenia"
// for an empty value; otherwise the value as plain text (see PlainValueText).
// UTF-8.
std::string ResultEntryText(std::string_view value);

// A database value as plain text for a list, in UTF-8: tags are dropped, the
// digits, signs and brackets of <sup> and <sub> become the Unicode
// superscripts and subscripts, and the character references (&#91; &#93;,
// any &#N; and &#xN;) and the entities &amp; &lt; &gt; &quot; &apos; &nbsp;
// are decoded. Anything that does not read as markup stays as it is.
std::string PlainValueText(std::string_view value);

// The summary above the results, as HTML (Windows-1250).
std::string FindSummary(const FindResult& result);

// Appends `text` to the history unless an item equals it without regard to
// case (Windows-1250 rules); the oldest item (the first) makes room when
// kMaxFindHistory items are already held. True when the history changed.
bool AddToFindHistory(std::vector<std::string>& history, std::string_view text);

// The history of the current account, Software\Orbita\<User>\FindKeywords:
// the values "0", "1", ... up to the first missing or empty one; when more
// than kMaxFindHistory are stored, the newest kMaxFindHistory (the last ones).
std::vector<std::string> ReadFindHistory();

// Writes every item as value i (counting from 0) and deletes the value that
// follows the last one, so that the stored run ends where the list ends.
void WriteFindHistory(const std::vector<std::string>& history);

} // namespace orbita
