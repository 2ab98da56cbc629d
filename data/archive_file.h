#pragma once

#include "core/file_io.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace orbita {

// What tells one state of an archive file from another without reading it:
// a file replaced by a rename has another inode, a file rewritten in place
// another modification or change time (nanoseconds), and usually another size.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0; // st_mtim
    std::int64_t changedNs = 0; // st_ctim: moves on every write, even one that restores st_mtim

    bool operator==(const FileIdentity&) const = default;
};

// The identity of the regular file at `path` (symbolic links followed); false
// when it cannot be examined or is not a regular file.
bool StatFileIdentity(const std::string& path, FileIdentity& identity);

// A package archive opened read-only for one operation. Closed when the object
// goes away. Reads are positioned (no shared file offset), so a reader never
// depends on where an earlier read stopped.
class ArchiveFile final {
public:
    explicit ArchiveFile(const std::string& path);
    ~ArchiveFile();
    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    // Why the file could not be opened (None once it is open).
    FileProblem Problem() const { return m_problem; }
    // Size of the file when it was opened; 0 when it is not open.
    std::uint64_t Size() const { return m_size; }
    // Identity of the opened file, taken when it was opened.
    const FileIdentity& Identity() const { return m_identity; }

    // Reads up to `size` bytes at `offset`. Gives the number of bytes read,
    // which is smaller than `size` only at the end of the file or on a read
    // error.
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) const;

    // Reads exactly `size` bytes at `offset`; false when fewer are available.
    bool ReadExactAt(std::uint64_t offset, void* buffer, std::size_t size) const;

    void Close();

private:
    int m_fd = -1;
    FileProblem m_problem = FileProblem::None;
    std::uint64_t m_size = 0;
    FileIdentity m_identity;
};

// Little-endian fields of the on-disk records.
inline std::uint16_t ReadLe16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t ReadLe32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8)
        | (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

} // namespace orbita
