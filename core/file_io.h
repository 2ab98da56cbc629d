#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

struct stat;

namespace orbita {

// Why a file could not be read or written.
enum class FileProblem {
    None,
    Missing, // nothing of that name, or a folder on the way is missing
    Folder, // a folder, not a file
    NotRegular, // a FIFO, a device or a socket: never opened for reading
    NoAccess, // the user may not read (or write) it
    TooLarge, // larger than the caller's limit
    ReadFailed, // the system reported a read error
    WriteFailed, // the file or its temporary copy could not be written
    Exists, // a file of that name is there and may not be replaced
};

// The problem an errno value of a failed open, read or write stands for.
FileProblem FileProblemOfErrno(int error, bool writing);

// A short Polish description ("plik nie istnieje", "to jest folder, nie
// plik", ...), UTF-8, to follow a colon after the file's name.
std::string_view FileProblemText(FileProblem problem);

// Opens `path` for reading when it is a regular file (symbolic links
// followed). A FIFO or device is refused without waiting for a writer: the
// file is opened non-blocking and examined before anything is read. Gives
// the descriptor (blocking again, close-on-exec) or -1 with `problem` set;
// `info` receives the file's status when given.
int OpenRegularFile(const std::string& path, FileProblem& problem, struct stat* info = nullptr);

// A whole regular file of at most `maxBytes` bytes.
struct FileRead {
    FileProblem problem = FileProblem::None;
    std::string bytes;

    bool Ok() const { return problem == FileProblem::None; }
};
FileRead ReadRegularFile(const std::string& path, std::uint64_t maxBytes);

// The real path (symbolic links resolved) of `name` taken relative to
// `folder`, when it exists and lies inside `folder`: nothing for a name that
// climbs out with "..", an absolute path elsewhere, or a symbolic link that
// leads out of the folder. Whether it is a regular file is not checked here.
std::optional<std::string> PathInsideFolder(const std::string& folder, std::string_view name);

// Writes `data` into a temporary file beside `path` (".NAME.<random>.tmp")
// that replaces `path` only once it is written completely and synced, so that
// a failure leaves an existing file as it was and no temporary file behind. A
// target that exists and is not a regular file (a device, a FIFO, a folder) is
// refused untouched. A new file gets `mode` less the umask; a replaced one
// keeps its permissions.
FileProblem WriteFileAtomically(const std::string& path, std::string_view data, mode_t mode = 0600);

// $XDG_DATA_HOME when it is absolute, else $HOME/.local/share (the home
// folder of the user's account when $HOME is not absolute), without a
// trailing "/"; empty when there is no home folder at all.
std::string DataHomeFolder();

} // namespace orbita
