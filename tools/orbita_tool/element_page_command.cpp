// orbita-tool element-page: the generated page of one element, as the element
// window builds it, from the content archive of the program folder.

#include "data/archive_members.h"
#include "platform/shell_services.h"
#include "tools/orbita_tool/command.h"
#include "windows/element/element_page.h"

#include <cstdio>
#include <optional>
#include <string>
#include <sys/stat.h>

namespace orbita::tool {
namespace {

// The element number of a command-line argument: decimal digits only, 1 to 118.
std::optional<int> ElementArgument(const std::string& text)
{
    if (text.empty() || text.size() > 3)
        return std::nullopt;
    int number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        number = number * 10 + (c - '0');
    }
    if (number < kFirstElement || number > kLastElement)
        return std::nullopt;
    return number;
}

int ElementPageCommand(const std::vector<std::string>& args)
{
    // N and, in either order, the option --export.
    std::optional<std::string> number;
    bool exportPage = false;
    bool usable = !args.empty() && args.size() <= 2;
    for (const std::string& arg : args) {
        if (arg == "--export" && !exportPage)
            exportPage = true;
        else if (!number)
            number = arg;
        else
            usable = false;
    }
    if (!usable || !number) {
        std::fputs("usage: orbita-tool element-page N [--export]\n", stderr);
        return 2;
    }
    const std::optional<int> element = ElementArgument(*number);
    if (!element) {
        std::fprintf(stderr, "orbita-tool: no element %s: the elements are numbered %d to %d\n", number->c_str(),
            kFirstElement, kLastElement);
        return 1;
    }
    const std::string archive = ProgramFolder() + "ORBITA.DAT";
    struct stat info {};
    if (::stat(archive.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fprintf(stderr, "orbita-tool: the content archive %s does not exist\n", archive.c_str());
        return 1;
    }
    const std::optional<std::vector<std::string>> lines = ReadArchiveLines(kElementDatabaseMember, archive);
    if (!lines) {
        std::fprintf(stderr, "orbita-tool: cannot read UKLAD\\DANE.TXT from %s\n", archive.c_str());
        return 1;
    }
    const ElementPage page = BuildElementPageFromLines(*lines, *element, true, {});
    // The export page as the element window saves it: followed by CR LF.
    const std::string bytes = exportPage ? page.exportPage + "\r\n" : page.displayPage;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
    return written && std::fflush(stdout) == 0 ? 0 : 1;
}

const CommandRegistrar elementPageCommand({"element-page",
    "element-page N [--export]        the generated page of element N (1 to 118) from ORBITA.DAT in the\n"
    "                                 program folder ($ORBITA_PROGRAM_DIR, else the tool's folder), as\n"
    "                                 Windows-1250 bytes: the page the element window shows, or with\n"
    "                                 --export the page it saves (followed by CR LF)",
    ElementPageCommand});

} // namespace
} // namespace orbita::tool
