#include "app/start_role.h"

#include "core/cp1250.h"

namespace orbita {

StartRole ChooseStartRole(std::string_view executableFileName, std::string_view firstArgument)
{
    std::string name = Cp1250UpperText(executableFileName);
    if (name.size() > 4 && name.ends_with(".EXE"))
        name.resize(name.size() - 4);
    if (name == "REMOVEME")
        return StartRole::SelfRemoval;
    const std::string argument = Cp1250UpperText(firstArgument);
    if (argument == "/UNINSTALL")
        return StartRole::Uninstall;
    if (argument == "/INSTALL")
        return StartRole::Install;
    return StartRole::Application;
}

RemovalScope ChooseRemovalScope(std::string_view firstArgument)
{
    if (firstArgument == "/SLIM")
        return RemovalScope::Slim;
    if (firstArgument == "/FULL")
        return RemovalScope::Full;
    return RemovalScope::CopyOnly;
}

} // namespace orbita
