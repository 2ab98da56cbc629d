#pragma once

#include "core/colour_contrast.h"
#include "core/element_numbers.h"
#include "windows/settings/view_appearance.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbita {

// The element database and the generated element page (no Qt). Texts are
// Windows-1250 bytes.
//
// The database, the content archive's member UKLAD\DANE.TXT, is one record
// per line:
//   "[label]"      opens a property (the first property is the element's name);
//   "...SUFFIX=u"  (any case) gives the unit of the property it stands in;
//   "26=value"     the value of that property for element 26 (empty: none);
//   anything else is ignored.

inline constexpr std::string_view kElementDatabaseMember = "UKLAD\\DANE.TXT";

// The program's web-site address, named in the meta lines of every page.
inline constexpr std::string_view kProgramSiteAddress = "https://orbita.example.org";

// The link target of the contact sentence at the end of the display page.
inline constexpr std::string_view kContactLinkTarget = "ORB_KORESPONDENCJA";

// The element number a database line is keyed by: the text before the line's
// first "=" when it is the decimal number of an element (1 to 118, written
// without sign, blanks or leading zeros); nothing otherwise.
std::optional<int> ElementLineKey(std::string_view line);

// The text after the line's first "=", or nothing when there is no "=".
std::optional<std::string_view> LineValueText(std::string_view line);

// "Informacje o pierwiastku [" + name + "]": the element window's caption.
std::string ElementCaption(std::string_view name);

// What one build of the element page gives the element window.
struct ElementPage {
    // The element's name: its value of the first property that has a line
    // for it (possibly empty). Nothing when the database gave no such line
    // (it could not be read): the window then keeps its name label and
    // caption as they are.
    std::optional<std::string> name;
    // Both empty unless the page was built (full).
    std::string displayPage; // handed to the HTML view; ends in the contact sentence
    std::string exportPage; // the same table without the contact sentence; what is saved
};

// The colours of the units (green) and of "[Brak danych]" (red) on a page shown
// on `background`: the preferred green and red where they are readable there,
// else lighter or darker shades that reach the WCAG contrast of 4.5 (a system
// colour counts as the white window colour).
struct ElementPageColours {
    Rgb unit;
    Rgb missing;
};
ElementPageColours ElementPageColoursOn(AppearanceColor background);

// Builds the page of `element` from the database lines.
//
// With `full` false only the name is looked up; no page is built. With `full`
// true every property gives one table row, "label:" beside the element's value
// followed by the property's unit in green square brackets, or the red
// "[Brak danych]" when the value is empty, in the colours of
// ElementPageColoursOn(background) on the display page and of a white
// background on the export page. The page's title is the name found,
// else `shownName` (the text the window's name label holds now), so that a
// database that cannot be read gives a page with only its head and end.
//
// A property that lacks the element's line still gets a whole row (with the
// red "[Brak danych]"), a unit never leaves the property it is written in, and
// a second line of the same element in one property is ignored, so a damaged
// file still gives a well-formed table; the shipped database has none of these.
ElementPage BuildElementPageFromLines(const std::vector<std::string>& lines, int element, bool full,
    std::string_view shownName, AppearanceColor background = RgbColor(255, 255, 255));

// As above, reading the lines of UKLAD\DANE.TXT from the content archive at
// `archivePath` afresh on every call (nothing is cached). A database that
// cannot be read gives no name and, with `full`, the empty page.
ElementPage BuildElementPage(const std::string& archivePath, int element, bool full,
    std::string_view shownName, AppearanceColor background = RgbColor(255, 255, 255));

// The archive member of an element's description: "UKLAD\26.HTM" for 26.
std::string ElementDescriptionMember(int element);

} // namespace orbita
