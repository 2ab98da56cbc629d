#pragma once

#include <string_view>

namespace orbita {

// What one run of the executable does, decided before any window exists.
enum class StartRole {
    SelfRemoval, // the copy named REMOVEME: remove the installation and itself
    Uninstall, // "/UNINSTALL": the uninstaller window
    Install, // "/INSTALL": the installer window
    Application, // anything else: the program (or the refusal of a second instance)
};

// The file-name test comes first: the upper-cased base name of the
// executable (a trailing ".EXE" ignored) equal to "REMOVEME" selects the
// self-removal stage whatever the arguments. Otherwise only the first
// argument counts, compared after upper-casing.
StartRole ChooseStartRole(std::string_view executableFileName, std::string_view firstArgument);

// The switches of the self-removal stage match exactly, with case.
enum class RemovalScope { CopyOnly, Slim, Full };
RemovalScope ChooseRemovalScope(std::string_view firstArgument);

} // namespace orbita
