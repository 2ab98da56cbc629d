// orbita-tool settings export / settings import: the settings backup in the
// registry editor's .reg syntax, for the store in $ORBITA_CONFIG_DIR.

#include "core/reg_file.h"
#include "core/settings.h"
#include "tools/orbita_tool/command.h"

#include <cstdio>
#include <string>

namespace orbita::tool {
namespace {

int usage(const char* text)
{
    std::fprintf(stderr, "Użycie: %s\n", text);
    return 2;
}

int exportSettings(const std::vector<std::string>& args)
{
    if (args.empty() || args.size() > 2)
        return usage("orbita-tool settings export PLIK.reg [KLUCZ]");
    const std::string keyName = args.size() == 2 ? args[1] : RootKeyFullName();
    Hive hive = Hive::CurrentUser;
    std::string key;
    if (!ParseFullKeyPath(keyName, hive, key)) {
        std::fprintf(stderr, "Nieprawidłowa nazwa klucza: %s\n", keyName.c_str());
        return 1;
    }
    const auto result = ExportRegFile(args[0], hive, key);
    if (!result.ok) {
        std::fprintf(stderr, "%s\n", result.error.c_str());
        return 1;
    }
    return 0;
}

// True when the user answers t/T/y/Y on the terminal.
bool confirm(const std::string& path)
{
    std::fprintf(stdout, "%s [t/n] ", RestoreQuestion(path).c_str());
    std::fflush(stdout);
    char answer[64] = {};
    if (!std::fgets(answer, sizeof answer, stdin))
        return false;
    const char first = answer[0];
    return first == 't' || first == 'T' || first == 'y' || first == 'Y';
}

int importSettings(const std::vector<std::string>& args)
{
    std::string path;
    bool yes = false;
    for (const auto& arg : args) {
        if (arg == "--yes")
            yes = true;
        else if (path.empty())
            path = arg;
        else
            return usage("orbita-tool settings import PLIK.reg [--yes]");
    }
    if (path.empty())
        return usage("orbita-tool settings import PLIK.reg [--yes]");
    if (!yes && !confirm(path)) {
        std::fprintf(stderr, "Przywracanie ustawień anulowane\n");
        return 1;
    }
    const auto result = ImportRegFile(path);
    if (!result.ok) {
        std::fprintf(stderr, "%s\n", result.error.c_str());
        return 1;
    }
    return 0;
}

const CommandRegistrar exportCommand({ "settings export",
    "settings export FILE.reg [KEY]   export KEY (default: the program's whole settings key) with its "
    "sub-keys",
    exportSettings });

const CommandRegistrar importCommand({ "settings import",
    "settings import FILE.reg [--yes] restore settings from FILE.reg (asks first unless --yes)",
    importSettings });

} // namespace
} // namespace orbita::tool
