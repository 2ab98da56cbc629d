#include "htmlview/archive_page_widget.h"

#include "core/cp1250.h"
#include "data/archive_members.h"
#include "htmlview/html_view_widget.h"

#include <sstream>

namespace orbita {

void LoadArchivePage(const std::string& archivePath, std::string_view memberName, ThtmlLite& view)
{
    if (memberName.empty() || memberName.front() == '#')
        return;
    std::string name = Cp1250LowerText(memberName);
    if (const std::size_t anchor = name.find('#'); anchor != std::string::npos)
        name.resize(anchor);
    std::optional<std::string> bytes = ReadArchiveStream(archivePath, name);
    if (!bytes)
        return;
    std::istringstream stream(std::move(*bytes));
    view.LoadFromStream(stream);
}

} // namespace orbita
