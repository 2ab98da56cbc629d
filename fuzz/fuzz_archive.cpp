// Runs the package archive reader over fuzz input: the end-record search, the
// directory walk, the lookup and the decoding of every listed member with all
// methods, through the same two-pass read as the member operations and
// through partial reads without the directory entry. The input is written to
// a private file in /dev/shm, because the reader works on files.
// Traps on results the reader rules out: a decoded member whose size differs
// from the announced one, more bytes delivered than the buffer holds.

#include "data/archive_directory.h"
#include "data/archive_extract.h"
#include "data/archive_members.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

// Members announcing more are only read partially here: the two-pass read
// would allocate their whole announced size (up to 256 MiB) for every run.
constexpr std::uint32_t kFullReadLimit = 1u << 20;
constexpr std::size_t kMaxMembers = 64;

const std::string& InputPath()
{
    static const std::string path = "/dev/shm/orbita-fuzz-archive-" + std::to_string(::getpid()) + ".zip";
    return path;
}

// Removes the input file after every run: libFuzzer ends the process without
// running exit handlers.
struct RemoveInput {
    ~RemoveInput() { ::unlink(InputPath().c_str()); }
};

bool WriteInput(const std::uint8_t* data, std::size_t size)
{
    std::FILE* file = std::fopen(InputPath().c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const RemoveInput removeInput;
    if (!WriteInput(data, size))
        return 0;
    const std::string& path = InputPath();
    const orbita::ArchiveListing listing = orbita::ListArchive(path);
    if (listing.status != orbita::ListStatus::Ok && !listing.entries.empty())
        __builtin_trap();
    std::size_t visited = 0;
    for (const orbita::ArchiveEntry& entry : listing.entries) {
        if (++visited > kMaxMembers)
            break;
        if (entry.size <= kFullReadLimit) {
            const orbita::MemberRead read = orbita::ReadArchiveEntry(path, entry);
            if (read.Ok() && read.bytes.size() != entry.size)
                __builtin_trap();
        }
        // The core alone, the local header deciding, into a small buffer.
        std::uint8_t buffer[700];
        const orbita::ExtractResult partial
            = orbita::ExtractToMemory(path, entry.headerOffset, buffer, sizeof buffer);
        if (partial.status == orbita::ExtractStatus::Busy)
            __builtin_trap();
    }
    if (!listing.entries.empty()) {
        orbita::ArchiveEntry found;
        if (!orbita::FindArchiveEntry(path, listing.entries.back().name, found))
            __builtin_trap(); // a listed name is always found (perhaps as an earlier entry)
    }
    return 0;
}
