#include "core/file_version.h"
#include "tools/orbita_tool/command.h"

#include <cstdio>

namespace orbita::tool {
namespace {

// Prints the file version compiled into an executable ("—" when it has none).
int printVersion(const std::vector<std::string>& args)
{
    if (args.size() != 1) {
        std::fputs("usage: orbita-tool version FILE\n", stderr);
        return 2;
    }
    std::printf("%s\n", FileVersionText(args[0]).c_str());
    return 0;
}

const CommandRegistrar versionCommand(
    { "version", "version FILE                     the file version of an executable", printVersion });

} // namespace
} // namespace orbita::tool
