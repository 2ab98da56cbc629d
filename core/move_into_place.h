#pragma once

#include "core/file_io.h"

#include <string>

namespace orbita {

// How a file was (or was not) put in its place.
struct MoveOutcome {
    FileProblem problem = FileProblem::None;
    // Source and target are one file (same device and inode): nothing was
    // copied, nothing removed, and the file is as it was.
    bool sameFile = false;
    // A Polish sentence naming the file when something failed (UTF-8). It is
    // also set, with `problem` None, when the file was stored but a moved
    // source could not be removed afterwards.
    std::string message;

    bool Ok() const { return problem == FileProblem::None; }
};

// Puts a copy of the regular file `source` at `target`: the bytes go into a
// temporary file in the target's folder, which is synced and then renamed
// onto `target`, so that a reader never sees half a file and a failure leaves
// no temporary file behind. Without `replace` an existing target is kept and
// the outcome is FileProblem::Exists (checked by the rename itself, so a file
// appearing meanwhile is not overwritten either). The stored file gets mode
// 0755 when the source is executable by its owner, else 0644. Replacing a
// running executable is safe: the rename gives it a new inode.
MoveOutcome CopyIntoPlace(const std::string& source, const std::string& target, bool replace);

// CopyIntoPlace, then the source is removed.
MoveOutcome MoveIntoPlace(const std::string& source, const std::string& target, bool replace);

} // namespace orbita
