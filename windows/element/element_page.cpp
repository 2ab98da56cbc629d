#include "windows/element/element_page.h"

#include "core/cp1250.h"
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
constexpr std::string_view kNoData = "<font color=\"red\">[Brak danych]</font>";
constexpr std::string_view kUnitOpen = "<font color=\"green\">&nbsp;[";
constexpr std::string_view kUnitClose = "]</font>";

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

ElementPage BuildElementPageFromLines(
    const std::vector<std::string>& lines, int element, bool full, std::string_view shownName)
{
    ElementPage page;
    std::string rows;
    std::string pendingUnit;
    bool rowOpen = false; // a label cell waits for its value cell

    const auto closeRowWithoutValue = [&] {
        if (!rowOpen)
            return;
        rows += kValueCellOpen;
        rows += kNoData;
        rows += kValueCellClose;
        rowOpen = false;
    };

    for (const std::string& line : lines) {
        if (!line.empty() && line.front() == '[') {
            closeRowWithoutValue();
            pendingUnit.clear();
            rows += kLabelCellOpen;
            if (line.size() >= 2)
                rows.append(line, 1, line.size() - 2);
            rows += kLabelCellClose;
            rowOpen = true;
        }
        if (HasUnitMark(line)) {
            pendingUnit = kUnitOpen;
            pendingUnit += *LineValueText(line);
            pendingUnit += kUnitClose;
        }
        if (rowOpen && ElementLineKey(line) == element) {
            const std::string_view value = *LineValueText(line);
            rows += kValueCellOpen;
            if (value.empty()) {
                rows += kNoData;
            } else {
                rows += value;
                rows += pendingUnit;
            }
            rows += kValueCellClose;
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
    closeRowWithoutValue();

    const std::string head = HeadText(page.name ? std::string_view(*page.name) : shownName);
    page.displayPage = head + rows + ContactEnd();
    page.exportPage = head + rows + "</table></body></html>";
    return page;
}

ElementPage BuildElementPage(const std::string& archivePath, int element, bool full, std::string_view shownName)
{
    const std::optional<std::vector<std::string>> lines = ReadArchiveLines(kElementDatabaseMember, archivePath);
    return BuildElementPageFromLines(lines ? *lines : std::vector<std::string>{}, element, full, shownName);
}

std::string ElementDescriptionMember(int element)
{
    return "UKLAD\\" + std::to_string(element) + ".HTM";
}

} // namespace orbita
