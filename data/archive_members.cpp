#include "data/archive_members.h"

#include "data/archive_directory.h"
#include "data/archive_extract.h"
#include "data/archive_file.h"
#include "data/text_lines.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <new>
#include <random>
#include <unistd.h>

namespace orbita {
namespace {

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string BaseOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

// Writes `bytes` to a new file beside `targetPath` and renames it over the
// target. The temporary file is removed on any failure.
bool ReplaceFile(const std::string& targetPath, const std::string& bytes)
{
    const std::string folder = FolderOf(targetPath);
    const std::string base = BaseOf(targetPath);
    if (base.empty())
        return false;
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[17];
        std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random()));
        const std::string temporary = folder + "/." + base + "." + suffix + ".tmp";
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
        const bool closed = ::close(fd) == 0;
        if (written && closed && ::rename(temporary.c_str(), targetPath.c_str()) == 0)
            return true;
        ::unlink(temporary.c_str());
        return false;
    }
    return false;
}

} // namespace

MemberRead ReadArchiveEntry(const std::string& archivePath, const ArchiveEntry& entry)
{
    MemberRead read;
    read.found = true;
    // Both passes read the archive through this one opening.
    const ArchiveFile archive(archivePath);
    const ExtractResult sizing = ExtractToMemory(archive, entry.headerOffset, nullptr, 0, &entry);
    read.status = sizing.status;
    if (sizing.status != ExtractStatus::Ok)
        return read;
    if (sizing.delivered > kMaxMemberSize) {
        read.tooLarge = true;
        return read;
    }
    try {
        read.bytes.assign(static_cast<std::size_t>(sizing.delivered), '\0');
        // An empty member is decoded too (into a spare byte), so that its
        // data and CRC are checked like any other member's.
        std::uint8_t spare = 0;
        std::uint8_t* target
            = read.bytes.empty() ? &spare : reinterpret_cast<std::uint8_t*>(read.bytes.data());
        const ExtractResult filled = ExtractToMemory(
            archive, entry.headerOffset, target, read.bytes.empty() ? 1 : read.bytes.size(), &entry);
        read.status = filled.status;
        // Both passes read the same header, so the sizes agree unless the
        // file changed in between.
        if (filled.status == ExtractStatus::Ok && filled.delivered != sizing.delivered)
            read.status = ExtractStatus::ReadFailed;
    } catch (const std::bad_alloc&) {
        read.status = ExtractStatus::ReadFailed;
    }
    if (read.status != ExtractStatus::Ok)
        read.bytes.clear();
    return read;
}

MemberRead ReadArchiveMember(const std::string& archivePath, std::string_view memberName)
{
    ArchiveEntry entry;
    if (!FindArchiveEntry(archivePath, memberName, entry))
        return {};
    return ReadArchiveEntry(archivePath, entry);
}

std::optional<std::string> ReadArchiveStream(const std::string& archivePath, std::string_view memberName)
{
    MemberRead read = ReadArchiveMember(archivePath, memberName);
    if (!read.Ok())
        return std::nullopt;
    return std::move(read.bytes);
}

std::optional<std::vector<std::string>> ReadArchiveLines(
    std::string_view memberName, const std::string& archivePath)
{
    const MemberRead read = ReadArchiveMember(archivePath, memberName);
    if (!read.Ok())
        return std::nullopt;
    try {
        return SplitTextLines(read.bytes);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool ExtractArchiveFile(
    const std::string& archivePath, std::string_view memberName, const std::string& targetPath)
{
    const MemberRead read = ReadArchiveMember(archivePath, memberName);
    if (!read.Ok())
        return false;
    return ReplaceFile(targetPath, read.bytes);
}

} // namespace orbita
