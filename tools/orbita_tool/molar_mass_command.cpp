// orbita-tool molar-mass: the calculator's result for scripts, with the masses
// of the element database in the program folder's content archive.

#include "platform/shell_services.h"
#include "tools/orbita_tool/command.h"
#include "windows/molar/molar_mass_logic.h"

#include <cstdio>

namespace orbita::tool {
namespace {

int MolarMassCommand(const std::vector<std::string>& args)
{
    if (args.size() != 1) {
        std::fputs("usage: orbita-tool molar-mass FORMULA\n", stderr);
        return 2;
    }
    const std::string archive = ProgramFolder() + "ORBITA.DAT";
    const std::optional<ElementMassTable> table = ReadElementMassesFromArchive(archive);
    if (!table) {
        std::fprintf(stderr, "orbita-tool: cannot read UKLAD\\DANE.TXT from %s\n", archive.c_str());
        return 1;
    }
    const MolarMassResult result = ComputeMolarMass(args[0], *table);
    if (!result.mass) {
        std::fprintf(stderr, "orbita-tool: %s\n", result.error->message.c_str());
        return 1;
    }
    const std::string report = MolarMassReport(*result.mass);
    const bool written = std::fwrite(report.data(), 1, report.size(), stdout) == report.size();
    return written && std::fflush(stdout) == 0 ? 0 : 1;
}

const CommandRegistrar molarMassCommand({ "molar-mass",
    "molar-mass FORMULA               the molar mass of FORMULA (\"CuSO4·5H2O\", \"K4[Fe(CN)6]\", "
    "\"SO4^2-\")\n"
    "                                 and each element's share, UTF-8, from the masses of ORBITA.DAT in\n"
    "                                 the program folder; an unreadable formula is told on stderr (exit 1)",
    MolarMassCommand });

} // namespace
} // namespace orbita::tool
