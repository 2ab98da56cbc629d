// orbita-tool commands that read package archives with the program's own
// reader: "archive list", "archive cat" and "archive test".

#include "core/cp1250.h"
#include "data/archive_directory.h"
#include "data/archive_members.h"
#include "tools/orbita_tool/command.h"

#include <cstdio>
#include <optional>
#include <string>

namespace orbita::tool {
namespace {

// A member name for the terminal: Windows-1250 converted to UTF-8, with
// control bytes (and the code page's unassigned bytes, which would become C1
// controls) shown as \xNN, so that no name can send escape sequences.
std::string PrintableName(const std::string& name)
{
    std::string safe;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || byte == 0x81 || byte == 0x83 || byte == 0x88 || byte == 0x90
            || byte == 0x98) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            safe += escaped;
        } else {
            safe.push_back(c);
        }
    }
    return Cp1250ToUtf8(safe);
}

int UsageError(const char* usage)
{
    std::fprintf(stderr, "usage: orbita-tool %s\n", usage);
    return 2;
}

// Lists the archive or reports why it cannot be listed; nothing on failure.
std::optional<ArchiveListing> ListOrReport(const std::string& path)
{
    ArchiveListing listing = ListArchive(path);
    if (listing.status != ListStatus::Ok) {
        std::fprintf(stderr, "orbita-tool: nie można odczytać archiwum %s: %s (status %d)\n", path.c_str(),
            ListingProblemText(listing).c_str(), static_cast<int>(listing.status));
        return std::nullopt;
    }
    return listing;
}

// Names the member that failed and says what its status means.
void ReportMember(const std::string& name, const MemberRead& read)
{
    if (read.tooLarge)
        std::fprintf(stderr, "orbita-tool: %s: plik w archiwum jest większy niż %llu bajtów\n", name.c_str(),
            static_cast<unsigned long long>(kMaxMemberSize));
    else
        std::fprintf(stderr, "orbita-tool: %s: %.*s (status %d)\n", name.c_str(),
            static_cast<int>(ExtractStatusText(read.status).size()), ExtractStatusText(read.status).data(),
            static_cast<int>(read.status));
}

int ListCommand(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return UsageError("archive list FILE");
    const auto listing = ListOrReport(args[0]);
    if (!listing)
        return 1;
    for (const ArchiveEntry& entry : listing->entries) {
        std::printf("%u %u %u %08x %s\n", static_cast<unsigned>(entry.method),
            static_cast<unsigned>(entry.compressedSize), static_cast<unsigned>(entry.size),
            static_cast<unsigned>(entry.crc), PrintableName(entry.name).c_str());
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int CatCommand(const std::vector<std::string>& args)
{
    if (args.size() != 2)
        return UsageError("archive cat FILE MEMBER");
    // Member names are Windows-1250 in the archive; the command line is UTF-8.
    const std::optional<std::string> name = Utf8ToCp1250(args[1]);
    if (!name) {
        std::fprintf(stderr, "orbita-tool: the name %s cannot be written in Windows-1250\n", args[1].c_str());
        return 1;
    }
    const MemberRead read = ReadArchiveMember(args[0], *name);
    if (!read.found) {
        // Either the archive itself cannot be read, or it has no such member.
        if (ListOrReport(args[0]))
            std::fprintf(
                stderr, "orbita-tool: archiwum %s nie zawiera pliku %s\n", args[0].c_str(), args[1].c_str());
        return 1;
    }
    if (!read.Ok()) {
        ReportMember(args[1], read);
        return 1;
    }
    const bool written = std::fwrite(read.bytes.data(), 1, read.bytes.size(), stdout) == read.bytes.size();
    return written && std::fflush(stdout) == 0 ? 0 : 1;
}

int TestCommand(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return UsageError("archive test FILE");
    const auto listing = ListOrReport(args[0]);
    if (!listing)
        return 1;
    bool allOk = true;
    for (const ArchiveEntry& entry : listing->entries) {
        const MemberRead read = ReadArchiveEntry(args[0], entry);
        const std::string name = PrintableName(entry.name);
        if (read.tooLarge)
            std::printf("too-large %s\n", name.c_str());
        else
            std::printf("status %d %s\n", static_cast<int>(read.status), name.c_str());
        if (!read.Ok()) {
            std::fflush(stdout);
            ReportMember(name, read);
        }
        allOk = allOk && read.Ok();
    }
    return std::fflush(stdout) == 0 && allOk ? 0 : 1;
}

const CommandRegistrar listCommand({ "archive list",
    "archive list FILE          one line per member in directory order: method, compressed size,\n"
    "                           size, CRC-32, name",
    ListCommand });
const CommandRegistrar catCommand({ "archive cat",
    "archive cat FILE MEMBER    the member's bytes on stdout (name compared without regard to case);\n"
    "                           on failure what went wrong and \"(status N)\" on stderr, exit 1",
    CatCommand });
const CommandRegistrar testCommand({ "archive test",
    "archive test FILE          decodes every member and prints \"status N NAME\"; what a failed\n"
    "                           member's status means goes to stderr; exit 0 when all are 0",
    TestCommand });

} // namespace
} // namespace orbita::tool
