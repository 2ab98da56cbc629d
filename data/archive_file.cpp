#include "data/archive_file.h"

#include "core/file_io.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace orbita {
namespace {

FileIdentity IdentityOf(const struct stat& info)
{
    FileIdentity identity;
    identity.device = static_cast<std::uint64_t>(info.st_dev);
    identity.inode = static_cast<std::uint64_t>(info.st_ino);
    identity.size = static_cast<std::uint64_t>(info.st_size);
    identity.modifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    identity.changedNs = static_cast<std::int64_t>(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    return identity;
}

} // namespace

bool StatFileIdentity(const std::string& path, FileIdentity& identity)
{
    struct stat info { };
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    identity = IdentityOf(info);
    return true;
}

ArchiveFile::ArchiveFile(const std::string& path)
{
    // Only regular files are archives: a folder or a pipe is refused here,
    // without waiting for a pipe's writer, rather than failing later in a
    // confusing way.
    struct stat info { };
    m_fd = OpenRegularFile(path, m_problem, &info);
    if (m_fd < 0)
        return;
    m_size = static_cast<std::uint64_t>(info.st_size);
    m_identity = IdentityOf(info);
}

ArchiveFile::~ArchiveFile()
{
    Close();
}

void ArchiveFile::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_size = 0;
}

std::size_t ArchiveFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) const
{
    if (m_fd < 0)
        return 0;
    std::size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < size) {
        const ssize_t got = ::pread(m_fd, out + done, size - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

bool ArchiveFile::ReadExactAt(std::uint64_t offset, void* buffer, std::size_t size) const
{
    return ReadAt(offset, buffer, size) == size;
}

} // namespace orbita
