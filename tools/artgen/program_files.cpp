#include "tools/artgen/program_files.h"

#include "skin/builtin_skin.h"
#include "tools/artgen/pictures.h"
#include "tools/artgen/program_icon.h"
#include "tools/artgen/skin_pictures.h"
#include "tools/artgen/sounds.h"
#include "tools/artgen/textures.h"
#include "tools/artgen/wav_synth.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
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

QByteArray png(const QImage& image)
{
    return PngBytes(image);
}

template <Symbol S> QByteArray glyphPng()
{
    return png(ButtonGlyph(S));
}

template <Symbol S> QByteArray menuPng()
{
    return png(MenuPicture(S));
}

template <LauncherTool T, int Size> QByteArray toolPng()
{
    return png(LauncherIcon(T, Size));
}

QByteArray skinMaskPng()
{
    return png(SkinMask());
}

QByteArray skinMainPng()
{
    return png(SkinPicture(ClassicPalette(), SkinLook::Normal));
}

QByteArray skinDownPng()
{
    return png(SkinPressedPicture(ClassicPalette()));
}

QByteArray handPointPng()
{
    return png(HandPointCursor());
}

QByteArray splashPng()
{
    return png(SplashPicture());
}

QByteArray aboutPng()
{
    return png(AboutPicture());
}

QByteArray authorPng()
{
    return png(AuthorPicture());
}

QByteArray cloudsPng()
{
    return png(CloudsPicture());
}

QByteArray tipOnPng()
{
    return png(BulbPicture(true));
}

QByteArray tipOffPng()
{
    return png(BulbPicture(false));
}

QByteArray blueMaskPng()
{
    return skinMaskPng();
}

QByteArray blueMainPng()
{
    return png(SkinPicture(BluePalette(), SkinLook::Normal));
}

QByteArray bluePressedPng()
{
    return png(SkinPicture(BluePalette(), SkinLook::Pressed));
}

QByteArray blueHoverPng()
{
    return png(SkinPicture(BluePalette(), SkinLook::Hover));
}

QByteArray blueDigitsPng()
{
    return png(DigitsStrip(BluePalette()));
}

QByteArray blueLettersPng()
{
    return png(LettersSheet(BluePalette()));
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

QByteArray PngBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (image.isNull() || !writer.write(image))
        return {};
    return bytes;
}

const std::vector<ArtFile>& ProgramFiles()
{
    static const std::vector<ArtFile> files = {
        { QStringLiteral("INTRO.WAV"), &introWav },
        { QStringLiteral("OTWORZ.WAV"), &openWav },
        { QStringLiteral("ZAMKNIJ.WAV"), &closeWav },
        { QStringLiteral("INSTALUJ.WAV"), &installWav },
        { QStringLiteral("FAKTURA.BMP"), &textureBmp },
        { QStringLiteral("orbita.png"), &ProgramIconPng },
    };
    return files;
}

const std::vector<ArtFile>& ResourceFiles()
{
    static const std::vector<ArtFile> files = {
        { QStringLiteral("SKIN_MASK.png"), &skinMaskPng },
        { QStringLiteral("SKIN_MAIN.png"), &skinMainPng },
        { QStringLiteral("SKIN_DOWN.png"), &skinDownPng },
        { QStringLiteral("B_ABOUT.png"), &glyphPng<Symbol::Info> },
        { QStringLiteral("B_BACK.png"), &glyphPng<Symbol::ArrowLeft> },
        { QStringLiteral("B_CALC.png"), &glyphPng<Symbol::Calculator> },
        { QStringLiteral("B_CANCEL.png"), &glyphPng<Symbol::Cross> },
        { QStringLiteral("B_CLOSE.png"), &glyphPng<Symbol::Exit> },
        { QStringLiteral("B_CONFIRM.png"), &glyphPng<Symbol::Check> },
        { QStringLiteral("B_COPY.png"), &glyphPng<Symbol::Copy> },
        { QStringLiteral("B_DEFAULT.png"), &glyphPng<Symbol::Reset> },
        { QStringLiteral("B_DESCRIPTION.png"), &glyphPng<Symbol::Document> },
        { QStringLiteral("B_DETAILS.png"), &glyphPng<Symbol::Details> },
        { QStringLiteral("B_FIND.png"), &glyphPng<Symbol::Magnifier> },
        { QStringLiteral("B_FIRST.png"), &glyphPng<Symbol::First> },
        { QStringLiteral("B_GO.png"), &glyphPng<Symbol::ArrowRight> },
        { QStringLiteral("B_HELP.png"), &glyphPng<Symbol::Question> },
        { QStringLiteral("B_LAST.png"), &glyphPng<Symbol::Last> },
        { QStringLiteral("B_LIST.png"), &glyphPng<Symbol::List> },
        { QStringLiteral("B_MAIL.png"), &glyphPng<Symbol::Mail> },
        { QStringLiteral("B_MOREDETAILS.png"), &glyphPng<Symbol::MoreDocument> },
        { QStringLiteral("B_NEXT.png"), &glyphPng<Symbol::Next> },
        { QStringLiteral("B_NOTES.png"), &glyphPng<Symbol::Notes> },
        { QStringLiteral("B_PREVIOUS.png"), &glyphPng<Symbol::Previous> },
        { QStringLiteral("B_PRINT.png"), &glyphPng<Symbol::Print> },
        { QStringLiteral("B_SAVE.png"), &glyphPng<Symbol::Save> },
        { QStringLiteral("B_SETTINGS.png"), &glyphPng<Symbol::Gear> },
        { QStringLiteral("B_START.png"), &glyphPng<Symbol::Play> },
        { QStringLiteral("B_THNX.png"), &glyphPng<Symbol::Heart> },
        { QStringLiteral("B_TOOLS.png"), &glyphPng<Symbol::Toolbox> },
        { QStringLiteral("B_UPDATE.png"), &glyphPng<Symbol::Globe> },
        { QStringLiteral("M_CENTRUM.png"), &menuPng<Symbol::Globe> },
        { QStringLiteral("M_DUZE.png"), &menuPng<Symbol::LargeIcons> },
        { QStringLiteral("M_INFORMACJE.png"), &menuPng<Symbol::Info> },
        { QStringLiteral("M_LEGENDA.png"), &menuPng<Symbol::Legend> },
        { QStringLiteral("M_LISTA.png"), &menuPng<Symbol::List> },
        { QStringLiteral("M_MASA.png"), &menuPng<Symbol::MolarMass> },
        { QStringLiteral("M_MALE.png"), &menuPng<Symbol::SmallIcons> },
        { QStringLiteral("M_MINIMALIZUJ.png"), &menuPng<Symbol::Minimise> },
        { QStringLiteral("M_WLASC.png"), &menuPng<Symbol::PropertyTable> },
        { QStringLiteral("M_POMOC.png"), &menuPng<Symbol::Question> },
        { QStringLiteral("M_PROGRAM.png"), &menuPng<Symbol::Program> },
        { QStringLiteral("M_PRZELICZNIK.png"), &menuPng<Symbol::Scales> },
        { QStringLiteral("M_SLOWNIK.png"), &menuPng<Symbol::Book> },
        { QStringLiteral("M_SZCZEGOLY.png"), &menuPng<Symbol::Report> },
        { QStringLiteral("M_SZUKAJ.png"), &menuPng<Symbol::Magnifier> },
        { QStringLiteral("M_TABLICE.png"), &menuPng<Symbol::Table> },
        { QStringLiteral("M_TEST.png"), &menuPng<Symbol::Test> },
        { QStringLiteral("M_USTAWIENIA.png"), &menuPng<Symbol::Gear> },
        { QStringLiteral("M_WPROWADZENIE.png"), &menuPng<Symbol::Star> },
        { QStringLiteral("M_ZAMKNIJ.png"), &menuPng<Symbol::Exit> },
        { QStringLiteral("TOOL_TABLES_32.png"), &toolPng<LauncherTool::Tables, 32> },
        { QStringLiteral("TOOL_TABLES_16.png"), &toolPng<LauncherTool::Tables, 16> },
        { QStringLiteral("TOOL_TEST_32.png"), &toolPng<LauncherTool::Test, 32> },
        { QStringLiteral("TOOL_TEST_16.png"), &toolPng<LauncherTool::Test, 16> },
        { QStringLiteral("TOOL_DICTIONARY_32.png"), &toolPng<LauncherTool::Dictionary, 32> },
        { QStringLiteral("TOOL_DICTIONARY_16.png"), &toolPng<LauncherTool::Dictionary, 16> },
        { QStringLiteral("TOOL_ELEMENT_32.png"), &toolPng<LauncherTool::Element, 32> },
        { QStringLiteral("TOOL_ELEMENT_16.png"), &toolPng<LauncherTool::Element, 16> },
        { QStringLiteral("TOOL_FIND_32.png"), &toolPng<LauncherTool::Find, 32> },
        { QStringLiteral("TOOL_FIND_16.png"), &toolPng<LauncherTool::Find, 16> },
        { QStringLiteral("TOOL_UNITS_32.png"), &toolPng<LauncherTool::Units, 32> },
        { QStringLiteral("TOOL_UNITS_16.png"), &toolPng<LauncherTool::Units, 16> },
        { QStringLiteral("TOOL_MOLAR_32.png"), &toolPng<LauncherTool::MolarMass, 32> },
        { QStringLiteral("TOOL_MOLAR_16.png"), &toolPng<LauncherTool::MolarMass, 16> },
        { QStringLiteral("TOOL_PROPERTIES_32.png"), &toolPng<LauncherTool::PropertyTable, 32> },
        { QStringLiteral("TOOL_PROPERTIES_16.png"), &toolPng<LauncherTool::PropertyTable, 16> },
        { QStringLiteral("TOOL_2_32.png"), &toolPng<LauncherTool::Installer, 32> },
        { QStringLiteral("TOOL_2_16.png"), &toolPng<LauncherTool::Installer, 16> },
        { QStringLiteral("TOOL_3_32.png"), &toolPng<LauncherTool::Uninstaller, 32> },
        { QStringLiteral("TOOL_3_16.png"), &toolPng<LauncherTool::Uninstaller, 16> },
        { QStringLiteral("HANDPOINT.png"), &handPointPng },
        { QStringLiteral("SPLASH.png"), &splashPng },
        { QStringLiteral("ABOUT.png"), &aboutPng },
        { QStringLiteral("AUTOR.png"), &authorPng },
        { QStringLiteral("CLOUDS.png"), &cloudsPng },
        { QStringLiteral("TIP_ON.png"), &tipOnPng },
        { QStringLiteral("TIP_OFF.png"), &tipOffPng },
    };
    return files;
}

QByteArray BlueSkinDefinition()
{
    QByteArray text = "[BITMAPINFO]\r\n"
                      "MaskBitmap=MASKA.PNG\r\n"
                      "MouseUpBitmap=GLOWNY.PNG\r\n"
                      "MouseDownBitmap=WCISNIETY.PNG\r\n"
                      "MouseOnBitmap=NAJAZD.PNG\r\n"
                      "NumbersBitmap=CYFRY.PNG\r\n"
                      "TextBitmap=LITERY.PNG\r\n"
                      "\r\n[HOTAREAINFO]\r\n";
    const std::vector<std::string> lines = BuiltinSkinLines();
    for (std::size_t i = 0; i < kBuiltinHotAreaLineCount; ++i)
        text += QByteArray::fromStdString(lines[i]) + "\r\n";
    // The clock's colons and dashes are not in the digits strip, so both
    // texts are drawn from the letters sheet.
    text += "\r\n[DISPLAYINFO]\r\n"
            "Charset=238\r\n"
            "Count=2\r\n"
            "1=TIMETEXT, Tahoma, TRUE, FALSE, 8, $000000, 323, 12, Text\r\n"
            "2=LOGOTEXT, Tahoma, TRUE, FALSE, 8, $000000, 63, 12, Text\r\n";
    return text;
}

const std::vector<ArtFile>& BlueSkinFiles()
{
    static const std::vector<ArtFile> files = {
        { QStringLiteral("ORBSKIN.INI"), &BlueSkinDefinition },
        { QStringLiteral("MASKA.PNG"), &blueMaskPng },
        { QStringLiteral("GLOWNY.PNG"), &blueMainPng },
        { QStringLiteral("WCISNIETY.PNG"), &bluePressedPng },
        { QStringLiteral("NAJAZD.PNG"), &blueHoverPng },
        { QStringLiteral("CYFRY.PNG"), &blueDigitsPng },
        { QStringLiteral("LITERY.PNG"), &blueLettersPng },
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
        // Theme icons lie in subfolders of the target folder.
        if (!QDir().mkpath(QFileInfo(path).path()))
            return QStringLiteral("cannot create the folder of %1").arg(path);
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
