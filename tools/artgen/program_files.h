#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace orbita::artgen {

// One file that the generator makes: its name and the function that draws or
// synthesises its bytes. The bytes are the same on every run.
struct ArtFile {
    QString name; // file name in the target folder, as the program looks for it
    QByteArray (*make)(); // the complete file contents
};

// The sounds and the background texture that belong in the program folder.
const std::vector<ArtFile>& ProgramFiles();

// Writes every file of `files` into `folder` (created when missing). Returns
// an empty string on success, else a message naming the file that failed.
QString WriteArtFiles(const std::vector<ArtFile>& files, const QString& folder);

} // namespace orbita::artgen
