#pragma once

#include "data/archive_directory.h"
#include "data/archive_extract.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbita {

// The member operations that the windows call. Each one opens the archive
// anew, finds the member by name (first match in directory order, compared
// after Windows-1250 lower-casing), learns its size from the local header,
// allocates the memory once and decodes the member with its CRC check. Any
// failure (no archive, no member, encrypted, unsupported method, malformed
// data, CRC mismatch, another extraction in progress) gives no result; none
// of them throws.

// Members announcing more than this are refused before memory is allocated.
inline constexpr std::uint64_t kMaxMemberSize = 256u * 1024u * 1024u;

// One member read with its detailed outcome, for tools that report why a
// member failed. The member operations below give only success or failure.
struct MemberRead {
    bool found = false; // the archive lists a member of that name (or the entry was given)
    bool tooLarge = false; // announces more than the limit (kMaxMemberSize at most): refused unread
    ExtractStatus status = ExtractStatus::ReadFailed; // of the pass that failed, else Ok
    std::string bytes; // the member's bytes when status is Ok and nothing else failed

    bool Ok() const { return found && !tooLarge && status == ExtractStatus::Ok; }
};

// The two-pass read of the member `entry` describes: the sizing pass, then the
// filling pass into memory of exactly that size. A member announcing more
// than `maxSize` (or kMaxMemberSize) bytes is refused as too large.
MemberRead ReadArchiveEntry(
    const std::string& archivePath, const ArchiveEntry& entry, std::uint64_t maxSize = kMaxMemberSize);

// Finds the member by name and reads it as ReadArchiveEntry does.
MemberRead ReadArchiveMember(
    const std::string& archivePath, std::string_view memberName, std::uint64_t maxSize = kMaxMemberSize);

// The member's bytes; nothing when the member cannot be read.
std::optional<std::string> ReadArchiveStream(const std::string& archivePath, std::string_view memberName);

// The member split into Windows-1250 text lines (see SplitTextLines); nothing
// when the member cannot be read.
std::optional<std::vector<std::string>> ReadArchiveLines(
    std::string_view memberName, const std::string& archivePath);

// Creates or replaces `targetPath` with the member's bytes. The bytes go to a
// temporary file beside the target that replaces it only once the member
// decoded with status 0, so a failure leaves an existing target untouched.
// Gives true when the target was written.
bool ExtractArchiveFile(
    const std::string& archivePath, std::string_view memberName, const std::string& targetPath);

} // namespace orbita
