#include "windows/update/setup_unpack.h"

#include "core/cp1250.h"
#include "core/file_io.h"
#include "data/archive_directory.h"
#include "data/archive_extract.h"
#include "data/archive_members.h"
#include "windows/update/update_lists.h"

#include <cerrno>
#include <sys/stat.h>
#include <vector>

namespace orbita::update {
namespace {

constexpr std::string_view kProgramName = "orbita";

std::string quoted(const std::string& name)
{
    return "„" + Cp1250ToUtf8(name) + "”";
}

// Creates `relative` and its missing parents under `folder` (mode 0755).
bool makeFolders(const std::string& folder, const std::string& relative)
{
    std::size_t from = 0;
    while (from <= relative.size()) {
        std::size_t end = relative.find('/', from);
        if (end == std::string::npos)
            end = relative.size();
        const std::string path = folder + "/" + relative.substr(0, end);
        if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
        struct stat info { };
        if (::lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
            return false;
        from = end + 1;
    }
    return true;
}

} // namespace

std::string UnpackSetupPackage(const std::string& archivePath, const std::string& folder)
{
    const ArchiveListing listing = ListArchive(archivePath);
    if (listing.status != ListStatus::Ok)
        return "Pakietu instalacyjnego nie można odczytać: " + ListingProblemText(listing) + ".";

    struct Planned {
        const ArchiveEntry* entry;
        MemberPath path;
    };
    std::vector<Planned> plan;
    std::uint64_t total = 0;
    bool hasProgram = false;
    for (const ArchiveEntry& entry : listing.entries) {
        std::optional<MemberPath> path = SafeMemberPath(entry.name);
        if (!path)
            return "Pakiet instalacyjny zawiera niedozwoloną nazwę pliku " + quoted(entry.name)
                + ". Nic nie zostało rozpakowane.";
        total += entry.size;
        if (total > kMaxSetupBytes)
            return "Pakiet instalacyjny jest zbyt duży. Nic nie zostało rozpakowane.";
        hasProgram = hasProgram || (!path->folder && path->path == kProgramName);
        plan.push_back({ &entry, std::move(*path) });
    }
    if (!hasProgram)
        return "Pakiet instalacyjny nie zawiera programu „orbita”. Nic nie zostało rozpakowane.";

    for (const Planned& item : plan) {
        const std::string& relative = item.path.path;
        const std::size_t slash = relative.rfind('/');
        const std::string parent = item.path.folder ? relative
            : slash == std::string::npos            ? std::string()
                                                    : relative.substr(0, slash);
        if (!parent.empty() && !makeFolders(folder, parent))
            return "Nie można utworzyć folderu " + quoted(parent) + " z pakietu instalacyjnego.";
        if (item.path.folder)
            continue;
        const MemberRead read = ReadArchiveEntry(archivePath, *item.entry);
        if (!read.Ok())
            return "Nie można rozpakować pliku " + quoted(item.entry->name) + " z pakietu instalacyjnego: "
                + (read.tooLarge ? std::string("plik jest zbyt duży")
                                 : std::string(ExtractStatusText(read.status)))
                + ".";
        const mode_t mode = relative == kProgramName ? 0755 : 0644;
        const std::string target = folder + "/" + relative;
        if (const FileProblem problem = WriteFileAtomically(target, read.bytes, mode);
            problem != FileProblem::None)
            return "Nie można zapisać pliku " + quoted(item.entry->name) + ": "
                + std::string(FileProblemText(problem)) + ".";
        if (mode == 0755 && ::chmod(target.c_str(), mode) != 0)
            return "Nie można oznaczyć pliku " + quoted(item.entry->name) + " jako programu.";
    }
    return {};
}

} // namespace orbita::update
