#include "tools/orbita_tool/command.h"

#include <algorithm>
#include <cstdio>

namespace orbita::tool {

std::vector<Command>& Commands()
{
    static std::vector<Command> commands;
    return commands;
}

CommandRegistrar::CommandRegistrar(Command command)
{
    Commands().push_back(std::move(command));
}

} // namespace orbita::tool

namespace {

void printHelp(std::FILE* out)
{
    std::fputs("orbita-tool - the companion tool of Orbita, built from the program's own libraries.\n\n"
               "Usage:\n",
        out);
    auto commands = orbita::tool::Commands();
    std::sort(commands.begin(), commands.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    for (const auto& command : commands)
        std::fprintf(out, "%s\n", command.usage.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printHelp(args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    // A command is named by one word ("version") or two ("archive list").
    for (const auto& command : orbita::tool::Commands()) {
        if (args.size() >= 2 && command.name == args[0] + " " + args[1])
            return command.run(std::vector<std::string>(args.begin() + 2, args.end()));
    }
    for (const auto& command : orbita::tool::Commands()) {
        if (command.name == args[0])
            return command.run(std::vector<std::string>(args.begin() + 1, args.end()));
    }
    std::fprintf(stderr, "orbita-tool: unknown command '%s'\n\n", args[0].c_str());
    printHelp(stderr);
    return 2;
}
