#include "data/archive_members.h"

#include "core/file_io.h"
#include "data/archive_directory.h"
#include "data/archive_extract.h"
#include "data/archive_file.h"
#include "data/text_lines.h"

#include <algorithm>
#include <new>

namespace orbita {

MemberRead ReadArchiveEntry(const std::string& archivePath, const ArchiveEntry& entry, std::uint64_t maxSize)
{
    MemberRead read;
    read.found = true;
    // Both passes read the archive through this one opening.
    const ArchiveFile archive(archivePath);
    const ExtractResult sizing = ExtractToMemory(archive, entry.headerOffset, nullptr, 0, &entry);
    read.status = sizing.status;
    if (sizing.status != ExtractStatus::Ok)
        return read;
    if (sizing.delivered > std::min(maxSize, kMaxMemberSize)) {
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

MemberRead ReadArchiveMember(
    const std::string& archivePath, std::string_view memberName, std::uint64_t maxSize)
{
    ArchiveEntry entry;
    if (!FindArchiveEntry(archivePath, memberName, entry))
        return {};
    return ReadArchiveEntry(archivePath, entry, maxSize);
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
    return WriteFileAtomically(targetPath, read.bytes, 0666) == FileProblem::None;
}

} // namespace orbita
