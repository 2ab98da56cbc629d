#include "tools/artgen/art_fonts.h"
#include "tools/artgen/program_files.h"
#include "tools/artgen/program_icon.h"

#include <QGuiApplication>
#include <QString>
#include <cstdio>

// orbita-artgen: draws and synthesises the program's pictures and sounds.
namespace {

void printHelp(std::FILE* out)
{
    std::fputs("orbita-artgen - makes Orbita's sounds and pictures.\n\n"
               "Usage:\n"
               "  orbita-artgen program-files DIR   write the sounds, the background texture and the\n"
               "                                     program's icon orbita.png into DIR\n"
               "  orbita-artgen resources DIR        write the program's pictures (res/) into DIR\n"
               "  orbita-artgen blue-skin DIR        write the skin package Niebieski into DIR\n"
               "  orbita-artgen theme-icons DIR      write the program's icon for an icon theme folder\n"
               "                                     (48x48/apps/orbita.png ... scalable/apps/orbita.svg)\n"
               "  orbita-artgen list [SET]           name the files of program-files (default),\n"
               "                                     resources, blue-skin or theme-icons\n",
        out);
}

} // namespace

int main(int argc, char** argv)
{
    // The application object decodes the arguments and sets up Qt's image I/O
    // and fonts; no window is ever shown, so no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    const auto setNamed = [](const QString& name) -> const std::vector<orbita::artgen::ArtFile>* {
        if (name == QLatin1String("program-files"))
            return &orbita::artgen::ProgramFiles();
        if (name == QLatin1String("resources"))
            return &orbita::artgen::ResourceFiles();
        if (name == QLatin1String("blue-skin"))
            return &orbita::artgen::BlueSkinFiles();
        if (name == QLatin1String("theme-icons"))
            return &orbita::artgen::ThemeIconFiles();
        return nullptr;
    };
    if (args.size() == 1 && (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h"))) {
        printHelp(stdout);
        return 0;
    }
    if ((args.size() == 1 || args.size() == 2) && args[0] == QLatin1String("list")) {
        const auto* files = setNamed(args.size() == 2 ? args[1] : QStringLiteral("program-files"));
        if (files) {
            for (const auto& file : *files)
                std::printf("%s\n", qPrintable(file.name));
            return 0;
        }
    }
    if (args.size() == 2 && setNamed(args[0])) {
        if (!orbita::artgen::FontsAvailable() && args[0] != QLatin1String("program-files")
            && args[0] != QLatin1String("theme-icons")) {
            std::fprintf(stderr,
                "orbita-artgen: the DejaVu fonts (fonts-dejavu-core, fonts-dejavu-extra) are missing\n");
            return 1;
        }
        const QString error = orbita::artgen::WriteArtFiles(*setNamed(args[0]), args[1]);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "orbita-artgen: %s\n", qPrintable(error));
            return 1;
        }
        return 0;
    }
    printHelp(stderr);
    return 2;
}
