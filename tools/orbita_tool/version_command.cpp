#include "core/file_version.h"
#include "tools/orbita_tool/command.h"

#include <cstdio>

namespace orbita::tool {
namespace {

// Prints the file version compiled into an executable ("—" when a readable
// file has none); a missing or unreadable file is an error.
int printVersion(const std::vector<std::string>& args)
{
    if (args.size() != 1) {
        std::fputs("usage: orbita-tool version FILE\n", stderr);
        return 2;
    }
    const auto result = ReadFileVersion(args[0]);
    if (!result.readable) {
        std::fprintf(
            stderr, "orbita-tool: nie można odczytać %s: %s\n", args[0].c_str(), result.problem.c_str());
        return 1;
    }
    std::printf("%s\n", result.version.empty() ? "\u2014" : result.version.c_str());
    return 0;
}

const CommandRegistrar versionCommand(
    { "version", "version FILE                     the file version of an executable", printVersion });

} // namespace
} // namespace orbita::tool
