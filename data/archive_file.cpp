#include "data/archive_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orbita {

ArchiveFile::ArchiveFile(const std::string& path)
{
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return;
    struct stat info { };
    // Only regular files are archives: a folder or a pipe is refused here
    // rather than failing later in a confusing way.
    if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        Close();
        return;
    }
    m_size = static_cast<std::uint64_t>(info.st_size);
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
