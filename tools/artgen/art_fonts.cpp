#include "tools/artgen/art_fonts.h"

#include <QFontDatabase>
#include <QStringList>
#include <array>

namespace orbita::artgen {
namespace {

struct LoadedFaces {
    std::array<QString, 4> families; // the most specific family name of each file
    bool complete = true;
};

const LoadedFaces& faces()
{
    static const LoadedFaces loaded = [] {
        const char* const files[] = {
            "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
            "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
            "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf",
            "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf",
        };
        LoadedFaces result;
        for (std::size_t i = 0; i < result.families.size(); ++i) {
            const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(files[i]));
            const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
            if (families.isEmpty())
                result.complete = false;
            else
                result.families[i] = families.last();
        }
        return result;
    }();
    return loaded;
}

} // namespace

QFont ArtFont(ArtFace face, int pixelSize)
{
    QFont font(faces().families[static_cast<std::size_t>(face)]);
    font.setPixelSize(pixelSize);
    font.setBold(face != ArtFace::Sans);
    if (face == ArtFace::CondensedBold)
        font.setStretch(QFont::SemiCondensed); // DejaVu's condensed faces are semi-condensed
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

bool FontsAvailable()
{
    return faces().complete;
}

} // namespace orbita::artgen
