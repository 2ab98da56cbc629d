// orbita-tool archive pack: builds a package archive (content archive, skin or
// test package) from a folder.

#include "core/cp1250.h"
#include "tools/orbita_tool/command.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include <zip.h>

namespace orbita::tool {
namespace {

namespace fs = std::filesystem;

// Every member carries this time stamp (2001-01-01 00:00:00, MS-DOS format), so
// packing the same folder twice gives the same bytes.
constexpr zip_uint16_t FixedDosDate = ((2001 - 1980) << 9) | (1 << 5) | 1;
constexpr zip_uint16_t FixedDosTime = 0;

// The program's archive reader reads neither ZIP64 records nor archives past
// 2 GB; larger input is refused before anything is written.
constexpr std::uintmax_t MaxArchiveSize = 0x7FFFFFFF;
constexpr std::size_t MaxMembers = 0xFFFF;

struct Member {
    std::string name; // in the archive: relative path with "/", Windows-1250 with --from-utf8
    fs::path source; // the file it comes from
    std::string data; // the bytes to store
};

void fail(const std::string& message)
{
    std::fprintf(stderr, "orbita-tool: %s\n", message.c_str());
}

bool isTextFile(const fs::path& path)
{
    static const std::set<std::string> textExtensions = { ".TXT", ".HTM", ".HTML", ".INI", ".CSV" };
    return textExtensions.count(AsciiUpperText(path.extension().string())) > 0;
}

// The line (counted from 1) that holds byte `offset`; CR LF, CR and LF end lines.
std::size_t lineOf(std::string_view text, std::size_t offset)
{
    std::size_t line = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')))
            ++line;
    }
    return line;
}

// Why the UTF-8 at `offset` did not convert: the code point it holds, or that
// it is no valid UTF-8 at all.
std::string describeFailure(std::string_view text, std::size_t offset)
{
    const auto lead = static_cast<unsigned char>(text[offset]);
    std::size_t length = 0;
    char32_t codePoint = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07u;
    }
    bool valid = length > 0 && offset + length <= text.size();
    for (std::size_t i = 1; valid && i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[offset + i]);
        valid = (c & 0xC0u) == 0x80u;
        codePoint = (codePoint << 6) | (c & 0x3Fu);
    }
    const char32_t minimum = length == 3 ? 0x800 : (length == 4 ? 0x10000 : 0x80);
    if (valid && codePoint >= minimum && codePoint <= 0x10FFFF
        && (codePoint < 0xD800 || codePoint > 0xDFFF)) {
        char buffer[80];
        std::snprintf(buffer, sizeof buffer, "character U+%04X has no Windows-1250 form",
            static_cast<unsigned>(codePoint));
        return buffer;
    }
    return "invalid UTF-8";
}

std::optional<std::string> readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return data;
}

// The members for every regular file under `folder`, sorted by name, or
// nothing after a message on stderr.
std::optional<std::vector<Member>> collectMembers(const fs::path& folder, bool fromUtf8)
{
    std::vector<Member> members;
    std::error_code error;
    fs::recursive_directory_iterator it(folder, error);
    std::uintmax_t total = 0;
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (!it->is_regular_file(error))
            continue;
        std::string name = it->path().lexically_relative(folder).generic_string();
        if (fromUtf8) {
            const auto converted = Utf8ToCp1250(name);
            if (!converted) {
                fail(it->path().string() + ": the file name cannot be written in Windows-1250");
                return std::nullopt;
            }
            name = *converted;
        }
        total += it->file_size(error);
        if (error)
            break;
        if (total > MaxArchiveSize) {
            fail(folder.string() + ": the files are too large for a package archive (at most 2 GB)");
            return std::nullopt;
        }
        members.push_back(Member { std::move(name), it->path(), {} });
    }
    if (error) {
        fail(folder.string() + ": cannot read the folder: " + error.message());
        return std::nullopt;
    }
    if (members.empty()) {
        fail(folder.string() + ": the folder holds no files; a package needs at least one");
        return std::nullopt;
    }
    if (members.size() > MaxMembers) {
        fail(folder.string() + ": too many files for a package archive (at most 65535)");
        return std::nullopt;
    }
    std::sort(
        members.begin(), members.end(), [](const Member& a, const Member& b) { return a.name < b.name; });

    // The program finds members without regard to case: two names that differ
    // only in case would leave one of the files unreachable.
    std::vector<std::pair<std::string, const Member*>> lowered;
    for (const Member& member : members)
        lowered.emplace_back(Cp1250LowerText(member.name), &member);
    std::sort(lowered.begin(), lowered.end());
    for (std::size_t i = 1; i < lowered.size(); ++i) {
        if (lowered[i].first == lowered[i - 1].first) {
            fail(lowered[i - 1].second->source.string() + " and " + lowered[i].second->source.string()
                + ": the names differ only in letter case, and the program could not tell them apart");
            return std::nullopt;
        }
    }
    return members;
}

// Reads the member's file; with `fromUtf8` a text file is converted to
// Windows-1250 (a leading UTF-8 byte-order mark is dropped). False after a
// message naming the file and the line.
bool loadMember(Member& member, bool fromUtf8)
{
    auto data = readFile(member.source);
    if (!data) {
        fail(member.source.string() + ": cannot read the file");
        return false;
    }
    if (!fromUtf8 || !isTextFile(member.source)) {
        member.data = std::move(*data);
        return true;
    }
    std::string_view text = *data;
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::size_t failedAt = 0;
    auto converted = Utf8ToCp1250(text, &failedAt);
    if (!converted) {
        fail(member.source.string() + ":" + std::to_string(lineOf(text, failedAt)) + ": "
            + describeFailure(text, failedAt) + "; the file must be UTF-8 text that Windows-1250 can hold");
        return false;
    }
    member.data = std::move(*converted);
    return true;
}

std::string zipError(zip_t* archive)
{
    return zip_strerror(archive);
}

// Writes the archive to `temporary`; false after a message.
bool writeArchive(const std::string& temporary, const std::vector<Member>& members)
{
    int code = 0;
    zip_t* archive = zip_open(temporary.c_str(), ZIP_CREATE | ZIP_EXCL, &code);
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        fail(temporary + ": cannot create the archive: " + zip_error_strerror(&error));
        zip_error_fini(&error);
        return false;
    }
    for (const Member& member : members) {
        // Names are stored as their bytes; libzip marks one that reads as
        // UTF-8 with the UTF-8 flag and leaves Windows-1250 names unmarked.
        zip_source_t* source = zip_source_buffer(archive, member.data.data(), member.data.size(), 0);
        const zip_int64_t index
            = source ? zip_file_add(archive, member.name.c_str(), source, ZIP_FL_ENC_GUESS) : -1;
        if (index < 0) {
            if (source)
                zip_source_free(source);
            fail(member.source.string() + ": cannot add the file: " + zipError(archive));
            zip_discard(archive);
            return false;
        }
        const auto entry = static_cast<zip_uint64_t>(index);
        if (zip_set_file_compression(archive, entry, ZIP_CM_DEFLATE, 9) != 0
            || zip_file_set_dostime(archive, entry, FixedDosTime, FixedDosDate, 0) != 0
            || zip_file_set_external_attributes(archive, entry, 0, ZIP_OPSYS_DOS, 0) != 0) {
            fail(member.source.string() + ": cannot set the member's properties: " + zipError(archive));
            zip_discard(archive);
            return false;
        }
    }
    if (zip_close(archive) != 0) {
        fail(temporary + ": cannot write the archive: " + zipError(archive));
        zip_discard(archive);
        return false;
    }
    return true;
}

int packFolder(const std::vector<std::string>& args)
{
    bool fromUtf8 = false;
    std::vector<std::string> paths;
    for (const std::string& arg : args) {
        if (arg == "--from-utf8")
            fromUtf8 = true;
        else
            paths.push_back(arg);
    }
    if (paths.size() != 2 || paths[0].empty() || paths[1].empty()) {
        std::fputs("usage: orbita-tool archive pack [--from-utf8] FOLDER FILE\n", stderr);
        return 2;
    }
    const fs::path folder(paths[0]);
    const fs::path target(paths[1]);
    std::error_code error;
    if (!fs::exists(folder, error)) {
        fail(folder.string() + ": no such folder");
        return 1;
    }
    if (!fs::is_directory(folder, error)) {
        fail(folder.string() + ": not a folder");
        return 1;
    }

    auto members = collectMembers(folder, fromUtf8);
    if (!members)
        return 1;
    for (Member& member : *members) {
        if (!loadMember(member, fromUtf8))
            return 1;
    }

    // The archive is built under a temporary name beside the target and takes
    // the target's name only when complete, so a failed run leaves no archive
    // and an older archive of that name stays as it was.
    std::random_device random;
    const std::string temporary
        = target.string() + ".part-" + std::to_string(::getpid()) + "-" + std::to_string(random() & 0xFFFFFF);
    if (!writeArchive(temporary, *members)) {
        ::unlink(temporary.c_str());
        return 1;
    }
    const auto size = fs::file_size(temporary, error);
    if (error || size > MaxArchiveSize) {
        fail(target.string()
            + (error ? ": cannot check the archive: " + error.message()
                     : ": the archive would be larger than 2 GB, which the program cannot read"));
        ::unlink(temporary.c_str());
        return 1;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::chmod(temporary.c_str(), 0666 & ~mask) != 0 || ::rename(temporary.c_str(), target.c_str()) != 0) {
        fail(target.string() + ": cannot write the archive: " + std::strerror(errno));
        ::unlink(temporary.c_str());
        return 1;
    }
    return 0;
}

const CommandRegistrar registrar(Command { "archive pack",
    "archive pack [--from-utf8] FOLDER FILE   build a package archive from every file under FOLDER "
    "(with --from-utf8, .TXT .HTM .HTML .INI .CSV texts and file names go from UTF-8 to Windows-1250)",
    packFolder });

} // namespace
} // namespace orbita::tool
