// orbita-tool service publish / service serve: the folder an update service
// answers from, made from a program folder, and the nginx that serves it
// (update-service/serve.sh).

#include "core/file_io.h"
#include "core/file_version.h"
#include "core/move_into_place.h"
#include "data/archive_directory.h"
#include "data/archive_members.h"
#include "platform/shell_services.h"
#include "tools/orbita_tool/command.h"
#include "windows/update/update_lists.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sodium.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace orbita::tool {
namespace {

namespace fs = std::filesystem;

// The packages of one kind: where they lie, how they are named and which
// member makes them what they are.
struct PackageKind {
    const char* folder; // in the program folder and in the published folder
    const char* extension;
    const char* list; // the list file of the published folder
    const char* member; // a package without it would not open in the program
};

constexpr PackageKind kSkins { "KARNACJE", ".obs", "skory.txt", "ORBSKIN.INI" };
constexpr PackageKind kTests { "TESTY", ".obt", "testy.txt", "TEST.TXT" };

// The names the program accepts from a list and the service lets through:
// a package name (ASCII letters, digits, "_" and "-", 1 to 64 characters)
// and the extension.
bool IsPublishableName(const std::string& fileName, const PackageKind& kind)
{
    const std::string_view extension = kind.extension;
    return fileName.size() > extension.size() && fileName.ends_with(extension)
        && update::IsPackageName(std::string_view(fileName).substr(0, fileName.size() - extension.size()));
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
        [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return text;
}

// Files are written through a temporary file beside them and a rename, so
// that a running service never serves a half-written file.
bool WriteFileAtomically(const fs::path& target, const std::string& bytes)
{
    return orbita::WriteFileAtomically(target.string(), bytes, 0644) == FileProblem::None;
}

bool CopyFileAtomically(const fs::path& source, const fs::path& target)
{
    return CopyIntoPlace(source.string(), target.string(), true).Ok();
}

// Copies the usable packages of one kind into the published folder, removes
// published packages that the program folder no longer has, and writes the
// list. Every package left out is named on stderr with the reason. False
// when the published folder could not be written.
bool PublishPackages(const fs::path& program, const fs::path& published, const PackageKind& kind)
{
    const fs::path source = program / kind.folder;
    const fs::path target = published / kind.folder;
    std::error_code error;
    fs::create_directories(target, error);
    if (error) {
        std::fprintf(stderr, "orbita-tool: nie można utworzyć folderu %s: %s\n", target.c_str(),
            error.message().c_str());
        return false;
    }
    std::set<std::string> names; // sorted: the list is written in this order
    std::error_code missing; // a program folder without the folder has no such packages
    if (fs::is_directory(source, missing)) {
        for (fs::directory_iterator it(source, error), end; !error && it != end; it.increment(error)) {
            const std::string name = it->path().filename().string();
            std::error_code kindError;
            if (!Lower(name).ends_with(kind.extension) || !it->is_regular_file(kindError))
                continue;
            if (!IsPublishableName(name, kind)) {
                std::fprintf(stderr,
                    "orbita-tool: pominięto %s: nazwa pakietu może zawierać tylko litery A-Z i a-z bez "
                    "polskich "
                    "znaków, cyfry, \"_\" i \"-\" (do 64 znaków) i musi kończyć się na %s\n",
                    it->path().c_str(), kind.extension);
                continue;
            }
            const std::string path = it->path().string();
            const ArchiveListing listing = ListArchive(path);
            ArchiveEntry entry;
            if (listing.status != ListStatus::Ok) {
                std::fprintf(stderr, "orbita-tool: pominięto %s: %s\n", path.c_str(),
                    ListingProblemText(listing).c_str());
                continue;
            }
            if (!FindArchiveEntry(path, kind.member, entry)) {
                std::fprintf(stderr, "orbita-tool: pominięto %s: pakiet nie zawiera pliku %s\n", path.c_str(),
                    kind.member);
                continue;
            }
            if (!CopyFileAtomically(it->path(), target / name)) {
                std::fprintf(
                    stderr, "orbita-tool: nie można skopiować %s do %s\n", path.c_str(), target.c_str());
                return false;
            }
            names.insert(name);
        }
    }
    if (error) {
        std::fprintf(stderr, "orbita-tool: nie można odczytać folderu %s: %s\n", source.c_str(),
            error.message().c_str());
        return false;
    }
    // Packages published earlier and gone from the program folder.
    for (fs::directory_iterator it(target, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (IsPublishableName(name, kind) && !names.contains(name)) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
    std::string list;
    for (const std::string& name : names)
        list += name + "\n";
    if (!WriteFileAtomically(published / kind.list, list)) {
        std::fprintf(stderr, "orbita-tool: nie można zapisać %s\n", (published / kind.list).c_str());
        return false;
    }
    std::printf("%s: %zu\n", kind.list, names.size());
    return true;
}

// The SHA-256 of a file in lower-case hex; nothing when it cannot be read.
std::optional<std::string> Sha256OfFile(const fs::path& path)
{
    if (sodium_init() < 0)
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    crypto_hash_sha256_state state;
    crypto_hash_sha256_init(&state);
    std::vector<char> block(1 << 16);
    while (in) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        crypto_hash_sha256_update(&state, reinterpret_cast<const unsigned char*>(block.data()),
            static_cast<unsigned long long>(in.gcount()));
    }
    if (in.bad())
        return std::nullopt;
    unsigned char digest[crypto_hash_sha256_BYTES];
    crypto_hash_sha256_final(&state, digest);
    char hex[2 * crypto_hash_sha256_BYTES + 1];
    sodium_bin2hex(hex, sizeof hex, digest, sizeof digest);
    return std::string(hex);
}

// Publishes the setup file of a new version: a ZIP package of a program
// folder whose "orbita" carries the version. It is stored as
// orbita-<a.b.c>.zip and wersja.txt names it with its digest.
bool PublishSetup(const fs::path& setup, const std::string& address, const fs::path& published)
{
    const MemberRead executable = ReadArchiveMember(setup.string(), "orbita");
    if (!executable.Ok()) {
        std::fprintf(stderr,
            "orbita-tool: %s nie zawiera programu \"orbita\" (albo nie da się go odczytać)\n", setup.c_str());
        return false;
    }
    const std::string version = FindFileVersion(executable.bytes);
    if (version.empty()) {
        std::fprintf(stderr, "orbita-tool: program \"orbita\" w %s nie ma numeru wersji\n", setup.c_str());
        return false;
    }
    const std::string shortVersion = version.substr(0, version.rfind('.'));
    const std::string fileName = "orbita-" + shortVersion + ".zip";
    const std::optional<std::string> digest = Sha256OfFile(setup);
    if (!digest || !CopyFileAtomically(setup, published / fileName)) {
        std::fprintf(stderr, "orbita-tool: nie można skopiować %s do %s\n", setup.c_str(), published.c_str());
        return false;
    }
    const std::string block
        = "Orbita\n" + version + "\n" + address + "/" + fileName + "\nsha256=" + *digest + "\n";
    if (!WriteFileAtomically(published / "wersja.txt", block)) {
        std::fprintf(stderr, "orbita-tool: nie można zapisać %s\n", (published / "wersja.txt").c_str());
        return false;
    }
    std::printf("wersja.txt: %s, %s\n", version.c_str(), fileName.c_str());
    return true;
}

constexpr const char* kPublishUsage
    = "usage: orbita-tool service publish FOLDER [--from PROGRAMDIR] [--setup FILE.zip --address BASE]";

int Publish(const std::vector<std::string>& args)
{
    std::optional<std::string> folder, from, setup, address;
    bool usable = true;
    for (std::size_t i = 0; usable && i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--from" && hasValue && !from)
            from = args[++i];
        else if (args[i] == "--setup" && hasValue && !setup)
            setup = args[++i];
        else if (args[i] == "--address" && hasValue && !address)
            address = args[++i];
        else if (!folder && !args[i].starts_with("--"))
            folder = args[i];
        else
            usable = false;
    }
    if (!usable || !folder || setup.has_value() != address.has_value()) {
        std::fprintf(stderr, "%s\n", kPublishUsage);
        return 2;
    }
    if (address) {
        while (address->ends_with("/"))
            address->pop_back();
        if (!(address->starts_with("http://") || address->starts_with("https://"))
            || address->find_first_of(" \t\r\n") != std::string::npos) {
            std::fprintf(stderr, "orbita-tool: --address musi być adresem http:// lub https:// usługi\n");
            return 2;
        }
    }
    const fs::path program = from ? fs::path(*from) : fs::path(ProgramFolder());
    std::error_code error;
    if (!fs::is_directory(program, error)) {
        std::fprintf(stderr, "orbita-tool: folder programu %s nie istnieje\n", program.c_str());
        return 1;
    }
    const fs::path published(*folder);
    fs::create_directories(published, error);
    if (error) {
        std::fprintf(stderr, "orbita-tool: nie można utworzyć folderu %s: %s\n", published.c_str(),
            error.message().c_str());
        return 1;
    }
    if (!PublishPackages(program, published, kSkins) || !PublishPackages(program, published, kTests))
        return 1;
    if (setup)
        return PublishSetup(*setup, *address, published) ? 0 : 1;
    if (!fs::exists(published / "wersja.txt", error))
        std::printf("wersja.txt: brak (opublikuj plik instalacyjny opcją --setup)\n");
    return 0;
}

// The folder of update-service/serve.sh: $ORBITA_SERVICE_DIR, else
// update-service beside the tool, else the source tree the tool was built from.
fs::path ServiceFolder()
{
    if (const char* overridden = std::getenv("ORBITA_SERVICE_DIR"); overridden && *overridden)
        return overridden;
    std::error_code error;
    const fs::path beside = fs::path(ExecutablePath()).parent_path() / "update-service";
    if (fs::exists(beside / "serve.sh", error))
        return beside;
    return ORBITA_SERVICE_SOURCE_DIR;
}

int Serve(const std::vector<std::string>& args)
{
    if (args.size() != 3 || args[1] != "--port") {
        std::fputs("usage: orbita-tool service serve FOLDER --port N\n", stderr);
        return 2;
    }
    const std::string script = (ServiceFolder() / "serve.sh").string();
    std::fflush(stdout);
    ::execlp("bash", "bash", script.c_str(), args[0].c_str(), args[2].c_str(), static_cast<char*>(nullptr));
    std::perror("orbita-tool: cannot start bash");
    return 1;
}

const CommandRegistrar publishCommand({ "service publish",
    "service publish FOLDER [--from PROGRAMDIR] [--setup FILE.zip --address BASE]\n"
    "                                 make FOLDER the update service's folder: the packages of KARNACJE/\n"
    "                                 and TESTY/ of the program folder (--from, else $ORBITA_PROGRAM_DIR,\n"
    "                                 else the tool's folder) with their lists skory.txt and testy.txt;\n"
    "                                 with --setup also the setup file of a new version and wersja.txt,\n"
    "                                 naming it at BASE (the service address the classroom computers use)",
    Publish });
const CommandRegistrar serveCommand({ "service serve",
    "service serve FOLDER --port N    answer the program's queries from FOLDER with nginx on\n"
    "                                 127.0.0.1:N (update-service/serve.sh)",
    Serve });

} // namespace
} // namespace orbita::tool
