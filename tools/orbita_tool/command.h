#pragma once

#include <functional>
#include <string>
#include <vector>

namespace orbita::tool {

// One command of orbita-tool, named by one word ("version") or two
// ("archive list", "settings export").
// `run` gets the arguments after the command name and gives the exit code.
struct Command {
    std::string name;
    std::string usage; // lines shown by --help, each starting with the command name
    std::function<int(const std::vector<std::string>& args)> run;
};

// Each command file registers its commands with a file-scope CommandRegistrar.
std::vector<Command>& Commands();

struct CommandRegistrar {
    explicit CommandRegistrar(Command command);
};

} // namespace orbita::tool
