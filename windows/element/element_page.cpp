#include "windows/element/element_page.h"

#include "core/colour_contrast.h"
#include "core/cp1250.h"
#include "core/text_helpers.h"
#include "data/archive_members.h"

namespace orbita {
namespace {

// Page fragments with Polish letters, written here in UTF-8 and held as
// Windows-1250.
const std::string& CopyrightPrefix()
{
    static const std::string text
        = Utf8ToCp1250Lossy("<meta name=\"copyright\" content=\"Wygenerowany za pomocą programu Orbita [");
    return text;
}

const std::string& ContactEnd()
{
    static const std::string text = Utf8ToCp1250Lossy(
        "</table><br><br>Jeśli jesteś w posiadaniu innych informacji na temat pierwiastków i chciałbyś się "
        "nimi podzielić, <a href=\"ORB_KORESPONDENCJA\">skontaktuj się z autorem</a>.</body></html>");
    return text;
}

constexpr std::string_view kLabelCellOpen = "<tr><td width=\"50%\" valign=\"top\">";
constexpr std::string_view kLabelCellClose = ":</td>";
constexpr std::string_view kValueCellOpen = "<td valign=\"top\" width=\"50%\">";
constexpr std::string_view kValueCellClose = "</td></tr>";
constexpr std::string_view kNoDataText = "\">[Brak danych]</font>";
constexpr std::string_view kUnitText = "\">&nbsp;[";
constexpr std::string_view kUnitClose = "]</font>";
constexpr std::string_view kFontColour = "<font color=\"";

// The colours the page prefers: green units, red missing values.
constexpr Rgb kUnitGreen { 0, 128, 0 };
constexpr Rgb kMissingRed { 255, 0, 0 };

std::string ColourText(Rgb colour)
{
    std::string text = "#";
    AppendHexByte(text, colour.red);
    AppendHexByte(text, colour.green);
    AppendHexByte(text, colour.blue);
    return text;
}

Rgb RgbOf(AppearanceColor colour)
{
    if (colour & 0x80000000u) // a system colour: the window colour, white
        return Rgb { 255, 255, 255 };
    return Rgb { static_cast<std::uint8_t>(colour & 0xFFu), static_cast<std::uint8_t>((colour >> 8) & 0xFFu),
        static_cast<std::uint8_t>((colour >> 16) & 0xFFu) };
}

// What one property row shows: its label, and its value with the unit, or
// nothing for "[Brak danych]".
struct PropertyRow {
    std::string label;
    std::optional<std::string> value;
    std::string unit;
};

std::string RowsText(const std::vector<PropertyRow>& rows, const ElementPageColours& colours)
{
    const std::string noData
        = std::string(kFontColour) + ColourText(colours.missing) + std::string(kNoDataText);
    const std::string unitOpen = std::string(kFontColour) + ColourText(colours.unit) + std::string(kUnitText);
    std::string text;
    for (const PropertyRow& row : rows) {
        text += kLabelCellOpen;
        text += row.label;
        text += kLabelCellClose;
        text += kValueCellOpen;
        if (!row.value) {
            text += noData;
        } else {
            text += *row.value;
            if (!row.unit.empty()) {
                text += unitOpen;
                text += row.unit;
                text += kUnitClose;
            }
        }
        text += kValueCellClose;
    }
    return text;
}

std::string HeadText(std::string_view title)
{
    std::string head = "<html><head><title>";
    head += title;
    head += "</title><meta http-equiv=\"content-type\" content=\"text/html; charset=windows-1250\">"
            "<meta name=\"generator\" content=\"Orbita [";
    head += kProgramSiteAddress;
    head += "]\">";
    head += CopyrightPrefix();
    head += kProgramSiteAddress;
    head += "]\"></head><body><table width=\"100%\" align=\"center\" cellpadding=\"0\" cellspacing=\"0\" "
            "border=\"0\">";
    return head;
}

bool HasUnitMark(std::string_view line)
{
    return AsciiUpperText(line).find("SUFFIX=") != std::string::npos;
}

} // namespace

std::optional<int> ElementLineKey(std::string_view line)
{
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || equals == 0 || equals > 3 || line[0] == '0')
        return std::nullopt;
    int number = 0;
    for (std::size_t i = 0; i < equals; ++i) {
        if (line[i] < '0' || line[i] > '9')
            return std::nullopt;
        number = number * 10 + (line[i] - '0');
    }
    if (number < kFirstElement || number > kLastElement)
        return std::nullopt;
    return number;
}

std::optional<std::string_view> LineValueText(std::string_view line)
{
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return line.substr(equals + 1);
}

std::string ElementCaption(std::string_view name)
{
    std::string caption = "Informacje o pierwiastku [";
    caption += name;
    caption += ']';
    return caption;
}

ElementPageColours ElementPageColoursOn(AppearanceColor background)
{
    const Rgb ground = RgbOf(background);
    return ElementPageColours { ReadableOn(kUnitGreen, ground), ReadableOn(kMissingRed, ground) };
}

ElementPage BuildElementPageFromLines(const std::vector<std::string>& lines, int element, bool full,
    std::string_view shownName, AppearanceColor background)
{
    ElementPage page;
    std::vector<PropertyRow> rows;
    std::string pendingUnit;
    bool rowOpen = false; // a label waits for its value

    for (const std::string& line : lines) {
        if (!line.empty() && line.front() == '[') {
            rowOpen = true;
            pendingUnit.clear();
            rows.push_back(PropertyRow {
                line.size() >= 2 ? line.substr(1, line.size() - 2) : std::string(), std::nullopt, {} });
        }
        if (HasUnitMark(line))
            pendingUnit = *LineValueText(line);
        if (rowOpen && ElementLineKey(line) == element) {
            const std::string_view value = *LineValueText(line);
            if (!value.empty()) {
                rows.back().value = std::string(value);
                rows.back().unit = pendingUnit;
            }
            rowOpen = false;
            pendingUnit.clear();
            if (!page.name) {
                page.name = std::string(value);
                if (!full)
                    return page;
            }
        }
    }
    if (!full)
        return page;

    const std::string head = HeadText(page.name ? std::string_view(*page.name) : shownName);
    page.displayPage = head + RowsText(rows, ElementPageColoursOn(background)) + ContactEnd();
    // A saved page is read on white, whatever the window's scheme.
    page.exportPage
        = head + RowsText(rows, ElementPageColoursOn(RgbColor(255, 255, 255))) + "</table></body></html>";
    return page;
}

ElementPage BuildElementPage(const std::string& archivePath, int element, bool full,
    std::string_view shownName, AppearanceColor background)
{
    const std::optional<std::vector<std::string>> lines
        = ReadArchiveLines(kElementDatabaseMember, archivePath);
    return BuildElementPageFromLines(
        lines ? *lines : std::vector<std::string> {}, element, full, shownName, background);
}

std::string ElementDescriptionMember(int element)
{
    return "UKLAD\\" + std::to_string(element) + ".HTM";
}

} // namespace orbita
