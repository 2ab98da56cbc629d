#include "tools/artgen/program_files.h"

#include <QCoreApplication>
#include <QString>
#include <cstdio>

// orbita-artgen: draws and synthesises the program's pictures and sounds.
namespace {

void printHelp(std::FILE* out)
{
    std::fputs("orbita-artgen - makes Orbita's sounds and pictures.\n\n"
               "Usage:\n"
               "  orbita-artgen program-files DIR   write the sounds and the background texture into DIR\n"
               "  orbita-artgen list                 name the files that program-files writes\n",
        out);
}

} // namespace

int main(int argc, char** argv)
{
    // The application object decodes the arguments and sets up Qt's image I/O.
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() == 1 && (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h"))) {
        printHelp(stdout);
        return 0;
    }
    if (args.size() == 1 && args[0] == QLatin1String("list")) {
        for (const auto& file : orbita::artgen::ProgramFiles())
            std::printf("%s\n", qPrintable(file.name));
        return 0;
    }
    if (args.size() == 2 && args[0] == QLatin1String("program-files")) {
        const QString error = orbita::artgen::WriteArtFiles(orbita::artgen::ProgramFiles(), args[1]);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "orbita-artgen: %s\n", qPrintable(error));
            return 1;
        }
        return 0;
    }
    printHelp(stderr);
    return 2;
}
