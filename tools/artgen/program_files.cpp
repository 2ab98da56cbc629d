#include "tools/artgen/program_files.h"

#include "tools/artgen/sounds.h"
#include "tools/artgen/textures.h"
#include "tools/artgen/wav_synth.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QSaveFile>

namespace orbita::artgen {
namespace {

QByteArray wav(const SoundDesign& design)
{
    const std::vector<std::uint8_t> bytes = EncodeWav(Synthesise(design));
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

// Uncompressed BMP, 24 bits per pixel for true-colour images, at 96 dpi.
QByteArray bmp(QImage image)
{
    constexpr int kDotsPerMetre = 3780;
    image.setDotsPerMeterX(kDotsPerMetre);
    image.setDotsPerMeterY(kDotsPerMetre);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(image))
        return {};
    return bytes;
}

QByteArray introWav()
{
    return wav(IntroSound());
}

QByteArray openWav()
{
    return wav(OpenSound());
}

QByteArray closeWav()
{
    return wav(CloseSound());
}

QByteArray installWav()
{
    return wav(InstallSound());
}

QByteArray textureBmp()
{
    return bmp(BackgroundTexture());
}

} // namespace

const std::vector<ArtFile>& ProgramFiles()
{
    static const std::vector<ArtFile> files = {
        { QStringLiteral("INTRO.WAV"), &introWav },
        { QStringLiteral("OTWORZ.WAV"), &openWav },
        { QStringLiteral("ZAMKNIJ.WAV"), &closeWav },
        { QStringLiteral("INSTALUJ.WAV"), &installWav },
        { QStringLiteral("FAKTURA.BMP"), &textureBmp },
    };
    return files;
}

QString WriteArtFiles(const std::vector<ArtFile>& files, const QString& folder)
{
    if (!QDir().mkpath(folder))
        return QStringLiteral("cannot create the folder %1").arg(folder);
    const QDir dir(folder);
    for (const ArtFile& file : files) {
        const QString path = dir.filePath(file.name);
        const QByteArray bytes = file.make();
        if (bytes.isEmpty())
            return QStringLiteral("%1: nothing was produced").arg(path);
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
            return QStringLiteral("%1: %2").arg(path, out.errorString());
    }
    return {};
}

} // namespace orbita::artgen
