#include "core/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace orbita {
namespace {

bool WriteAll(int fd, std::string_view data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

FileProblem FileProblemOfErrno(int error, bool writing)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return FileProblem::Missing;
    case EACCES:
    case EPERM:
    case EROFS:
        return FileProblem::NoAccess;
    case EISDIR:
        return FileProblem::Folder;
    case EEXIST:
        return writing ? FileProblem::Exists : FileProblem::ReadFailed;
    default:
        return writing ? FileProblem::WriteFailed : FileProblem::ReadFailed;
    }
}

std::string_view FileProblemText(FileProblem problem)
{
    switch (problem) {
    case FileProblem::None:
        return "bez błędu";
    case FileProblem::Missing:
        return "plik nie istnieje";
    case FileProblem::Folder:
        return "to jest folder, nie plik";
    case FileProblem::NotRegular:
        return "to nie jest zwykły plik";
    case FileProblem::NoAccess:
        return "brak dostępu do pliku";
    case FileProblem::TooLarge:
        return "plik jest za duży";
    case FileProblem::ReadFailed:
        return "błąd odczytu";
    case FileProblem::WriteFailed:
        return "błąd zapisu";
    case FileProblem::Exists:
        return "plik o tej nazwie już istnieje";
    }
    return "błąd odczytu";
}

int OpenRegularFile(const std::string& path, FileProblem& problem, struct stat* info)
{
    problem = FileProblem::None;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        problem = FileProblemOfErrno(errno, false);
        return -1;
    }
    struct stat st { };
    if (::fstat(fd, &st) != 0) {
        problem = FileProblem::ReadFailed;
    } else if (S_ISDIR(st.st_mode)) {
        problem = FileProblem::Folder;
    } else if (!S_ISREG(st.st_mode)) {
        problem = FileProblem::NotRegular;
    }
    if (problem != FileProblem::None) {
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (info)
        *info = st;
    return fd;
}

FileRead ReadRegularFile(const std::string& path, std::uint64_t maxBytes)
{
    FileRead result;
    struct stat st { };
    const int fd = OpenRegularFile(path, result.problem, &st);
    if (fd < 0)
        return result;
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        ::close(fd);
        result.problem = FileProblem::TooLarge;
        return result;
    }
    result.bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            result.problem = FileProblem::ReadFailed;
        if (n <= 0)
            break;
        // A file that grows while it is read still stops at the limit.
        if (result.bytes.size() + static_cast<std::size_t>(n) > maxBytes) {
            result.problem = FileProblem::TooLarge;
            break;
        }
        result.bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (!result.Ok())
        result.bytes.clear();
    return result;
}

std::optional<std::string> PathInsideFolder(const std::string& folder, std::string_view name)
{
    if (name.empty() || name.find('\0') != std::string_view::npos)
        return std::nullopt;
    auto realPath = [](const std::string& path) -> std::optional<std::string> {
        char* resolved = ::realpath(path.c_str(), nullptr);
        if (resolved == nullptr)
            return std::nullopt;
        std::string result(resolved);
        std::free(resolved);
        return result;
    };
    const std::optional<std::string> base = realPath(folder.empty() ? std::string(".") : folder);
    if (!base)
        return std::nullopt;
    const std::optional<std::string> resolved
        = realPath(name.front() == '/' ? std::string(name) : *base + "/" + std::string(name));
    if (!resolved)
        return std::nullopt;
    const std::string prefix = *base == "/" ? *base : *base + "/";
    if (resolved->size() <= prefix.size() || resolved->compare(0, prefix.size(), prefix) != 0)
        return std::nullopt;
    return resolved;
}

FileProblem WriteFileAtomically(const std::string& path, std::string_view data, mode_t mode)
{
    struct stat target { };
    const bool replacing = ::stat(path.c_str(), &target) == 0;
    if (replacing && S_ISDIR(target.st_mode))
        return FileProblem::Folder;
    if (replacing && !S_ISREG(target.st_mode))
        return FileProblem::NotRegular;
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    if (base.empty())
        return FileProblem::Folder;
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[17];
        std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random()));
        const std::string temporary = folder + "/." + base + "." + suffix + ".tmp";
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return FileProblemOfErrno(errno, true);
        }
        // A replaced file keeps its permissions.
        bool ok = !replacing || ::fchmod(fd, target.st_mode & 07777) == 0;
        ok = ok && WriteAll(fd, data) && ::fsync(fd) == 0;
        ok = ::close(fd) == 0 && ok;
        ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
        if (!ok) {
            ::unlink(temporary.c_str());
            return FileProblem::WriteFailed;
        }
        return FileProblem::None;
    }
    return FileProblem::WriteFailed;
}

std::string DataHomeFolder()
{
    std::string base;
    if (const char* dataHome = std::getenv("XDG_DATA_HOME"); dataHome && dataHome[0] == '/') {
        base = dataHome;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || home[0] != '/') {
            const struct passwd* account = ::getpwuid(::getuid());
            home = account ? account->pw_dir : nullptr;
        }
        if (!home || home[0] != '/')
            return {};
        base = std::string(home) + "/.local/share";
    }
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    return base;
}

} // namespace orbita
