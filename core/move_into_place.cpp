#include "core/move_into_place.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace orbita {
namespace {

MoveOutcome Failed(FileProblem problem, const char* what, const std::string& path)
{
    MoveOutcome outcome;
    outcome.problem = problem;
    outcome.message = std::string(what) + " „" + path + "”: " + std::string(FileProblemText(problem)) + ".";
    return outcome;
}

MoveOutcome CannotWrite(FileProblem problem, const std::string& target)
{
    return Failed(problem, "Nie można zapisać pliku", target);
}

enum class CopyResult { Done, ReadError, WriteError };

// Every byte of `from` into `to`; errno tells why it stopped early.
CopyResult CopyBytes(int from, int to)
{
    static constexpr std::size_t kBlock = 1 << 16;
    char buffer[kBlock];
    for (;;) {
        const ssize_t got = ::read(from, buffer, kBlock);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return CopyResult::ReadError;
        if (got == 0)
            return CopyResult::Done;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(to, buffer + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0) {
                if (put == 0)
                    errno = EIO;
                return CopyResult::WriteError;
            }
            done += put;
        }
    }
}

// Renames `temporary` onto `target`, refusing an existing target unless
// `replace`. Where the file system cannot rename without replacing, a hard
// link does the same: it fails on an existing name.
int PutInPlace(const std::string& temporary, const std::string& target, bool replace)
{
    if (replace)
        return ::rename(temporary.c_str(), target.c_str());
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    if (::link(temporary.c_str(), target.c_str()) != 0)
        return -1;
    ::unlink(temporary.c_str());
    return 0;
}

void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

MoveOutcome CopyIntoPlace(const std::string& source, const std::string& target, bool replace)
{
    FileProblem readProblem = FileProblem::None;
    struct stat from { };
    const int in = OpenRegularFile(source, readProblem, &from);
    if (in < 0)
        return Failed(readProblem, "Nie można odczytać pliku", source);

    struct stat existing { };
    if (::stat(target.c_str(), &existing) == 0) {
        if (existing.st_dev == from.st_dev && existing.st_ino == from.st_ino) {
            ::close(in);
            MoveOutcome same;
            same.sameFile = true;
            return same;
        }
        const FileProblem refused = S_ISDIR(existing.st_mode) ? FileProblem::Folder
            : !replace                                        ? FileProblem::Exists
            : !S_ISREG(existing.st_mode)                      ? FileProblem::NotRegular
                                                              : FileProblem::None;
        if (refused != FileProblem::None) {
            ::close(in);
            return CannotWrite(refused, target);
        }
    }

    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash == 0 ? 1 : slash);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (base.empty()) {
        ::close(in);
        return CannotWrite(FileProblem::Folder, target);
    }
    const mode_t mode = (from.st_mode & S_IXUSR) ? 0755 : 0644;

    std::random_device seed;
    std::mt19937_64 random(seed());
    std::string temporary;
    int out = -1;
    for (int attempt = 0; attempt < 100 && out < 0; ++attempt) {
        char suffix[17];
        std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random()));
        temporary = folder + "/." + base + "." + suffix + ".tmp";
        out = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (out < 0 && errno != EEXIST)
            break;
    }
    if (out < 0) {
        const FileProblem problem
            = errno == EEXIST ? FileProblem::WriteFailed : FileProblemOfErrno(errno, true);
        ::close(in);
        return CannotWrite(problem, target);
    }

    const CopyResult copied = CopyBytes(in, out);
    int error = errno;
    ::close(in);
    bool ok = copied == CopyResult::Done;
    if (ok && (::fchmod(out, mode) != 0 || ::fsync(out) != 0)) {
        ok = false;
        error = errno;
    }
    if (::close(out) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && PutInPlace(temporary, target, replace) == 0) {
        SyncFolder(folder);
        return {};
    }
    if (ok)
        error = errno;
    ::unlink(temporary.c_str());
    if (copied == CopyResult::ReadError)
        return Failed(FileProblem::ReadFailed, "Nie można odczytać pliku", source);
    return CannotWrite(FileProblemOfErrno(error, true), target);
}

MoveOutcome MoveIntoPlace(const std::string& source, const std::string& target, bool replace)
{
    MoveOutcome outcome = CopyIntoPlace(source, target, replace);
    if (outcome.Ok() && !outcome.sameFile && ::unlink(source.c_str()) != 0)
        outcome.message = "Plik „" + target + "” zapisano, ale nie można usunąć pliku „" + source + "”.";
    return outcome;
}

} // namespace orbita
