#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <vector>

namespace orbita::artgen {

// One file that the generator makes: its name and the function that draws or
// synthesises its bytes. The bytes are the same on every run.
struct ArtFile {
    QString name; // file name in the target folder, as the program looks for it
    QByteArray (*make)(); // the complete file contents
};

// The sounds, the background texture and the program's icon orbita.png that
// belong in the program folder.
const std::vector<ArtFile>& ProgramFiles();

// The program's pictures, committed under res/ and compiled in as Qt
// resources: the built-in skin (SKIN_MASK, SKIN_MAIN, SKIN_DOWN), the button
// glyphs B_..., the menu pictures M_..., the launcher icons TOOL_..._32 and
// TOOL_..._16, the cursor HANDPOINT and the pictures of the splash, the about
// box and the tip window. Every name ends in ".png".
const std::vector<ArtFile>& ResourceFiles();

// The pictures and the definition of the skin package "Niebieski", committed
// under content/KARNACJE/Niebieski/ (its README.TXT is written by hand).
const std::vector<ArtFile>& BlueSkinFiles();

// The definition ORBSKIN.INI of the skin package "Niebieski": its pictures,
// the built-in hot areas and two texts drawn from the letters sheet.
QByteArray BlueSkinDefinition();

// PNG bytes of `image` without text chunks, so that they depend on the pixels
// only; empty for a null image or a failed encoding.
QByteArray PngBytes(const QImage& image);

// Writes every file of `files` into `folder` (created when missing, and so
// are the subfolders that file names hold). Returns
// an empty string on success, else a message naming the file that failed.
QString WriteArtFiles(const std::vector<ArtFile>& files, const QString& folder);

} // namespace orbita::artgen
