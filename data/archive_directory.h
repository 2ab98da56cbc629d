#pragma once

#include "core/file_io.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orbita {

// One central-directory entry as the reader keeps it. Mirrors the central
// directory record (signature "PK" 01 02, fixed part 46 bytes, little-endian).
struct ArchiveEntry {
    // Name, offset 46 (length at offset 28): Windows-1250 bytes, cut to 259
    // bytes, every "/" replaced by "\".
    std::string name;
    // Offset 42, 4 bytes: where the member's local header starts.
    std::uint32_t headerOffset = 0;
    // Offset 8, 2 bytes: general-purpose flags (bit 0 encrypted, bits 1-2
    // method options, bit 3 sizes and CRC in a data descriptor).
    std::uint16_t flags = 0;
    // Offset 10, 2 bytes: compression method.
    std::uint16_t method = 0;
    // Offset 12, 4 bytes: MS-DOS modification time (low word) and date.
    std::uint32_t dateTime = 0;
    // Offset 16, 4 bytes: CRC-32 of the plain bytes.
    std::uint32_t crc = 0;
    // Offset 20, 4 bytes: compressed size.
    std::uint32_t compressedSize = 0;
    // Offset 24, 4 bytes: uncompressed size.
    std::uint32_t size = 0;
    // Offset 38, 1 byte: low byte of the external attributes, kept only when
    // the host system (offset 5) is 0 (MS-DOS); 0 otherwise.
    std::uint8_t attribute = 0;
};

enum class ListStatus : int {
    Ok = 0, // entries follow
    NoEntries = 1, // the directory holds no readable entry
    Unreadable = -1, // cannot be opened or read, or no end record
    EndRecordTooEarly = -2, // the end record lies less than 46 bytes from the start
};

struct ArchiveListing {
    ListStatus status = ListStatus::Unreadable;
    std::vector<ArchiveEntry> entries; // in directory order
    // With status Unreadable: why the file could not be opened (None when it
    // was opened), and whether it was empty.
    FileProblem fileProblem = FileProblem::None;
    bool emptyFile = false;
};

// What went wrong with a listing that is not Ok, in Polish (UTF-8): the file
// is missing, a folder, not a regular file, not readable, empty, or not an
// archive; for Ok "".
std::string ListingProblemText(const ArchiveListing& listing);

// Opens the archive, finds the end-of-central-directory record by the
// backward block search and walks the whole central directory in stored
// order. Never throws on bad input; the walk ends at the first record that is
// not a complete central-directory record.
//
// The directories of the last few archives read are kept, keyed by the path
// and the file's device, inode, size, and modification and change times
// (nanoseconds): an archive replaced by a rename, rewritten in place or
// touched is read anew. Kept are only directories read whole and without a
// failed read (never an unreadable or empty one) from files that had not
// changed for two seconds, since a file system's clock may not move between
// two quick writes. Safe to call from any thread.
ArchiveListing ListArchive(const std::string& archivePath);

// The member lookup of every member operation: the first entry, in directory
// order, whose name equals `memberName` after both are lower-cased by the
// Windows-1250 rules. No trimming, no wildcards, no mapping of "/" in the
// request. False when the archive cannot be listed or has no such member.
bool FindArchiveEntry(const std::string& archivePath, std::string_view memberName, ArchiveEntry& found);

// Forgets every kept directory.
void ClearArchiveDirectoryCache();
// How many directories are kept (at most four).
std::size_t CachedArchiveDirectoryCount();

// The wall clock (nanoseconds since the epoch, as file times) that decides
// whether a file has settled. Tests replace it to reach a settled state
// without waiting; nullptr restores the system clock.
using DirectoryCacheClock = std::int64_t (*)();
void SetDirectoryCacheClock(DirectoryCacheClock clock);

} // namespace orbita
