#include "windows/settings/desktop_integration.h"

#include "platform/shell_services.h"
#include "windows/main/main_commands.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace orbita {
namespace {

namespace fs = std::filesystem;

constexpr const char* kLauncherDescription = "Uruchamia panel główny programu multimedialny układ okresowy "
                                             "pierwiastków wraz z dodatkowymi akcesoriami i pomocą";
constexpr const char* kUninstallDescription = "Usuwa bezpowrotnie program z komputera";

std::string folderOr(int csidl)
{
    try {
        return SpecialFolderPath(csidl);
    } catch (const std::runtime_error&) {
        return {};
    }
}

std::string cannotWrite(const std::string& path)
{
    return "Nie można zapisać skrótu „" + path + "”.";
}

} // namespace

PlatformDesktopIntegration::PlatformDesktopIntegration(std::string executable)
    : m_executable(std::move(executable))
{
}

std::string PlatformDesktopIntegration::GroupFolder()
{
    const std::string programs = folderOr(2);
    return programs.empty() ? std::string() : programs + "/orbita";
}

std::vector<std::string> PlatformDesktopIntegration::FilesOf(IntegrationItem item)
{
    switch (item) {
    case IntegrationItem::ProgramGroup: {
        const std::string group = GroupFolder();
        if (group.empty())
            return {};
        return { group + "/Orbita.desktop", group + "/Odinstalowanie.desktop",
            group + "/Strona domowa.desktop" };
    }
    case IntegrationItem::DesktopShortcut:
        if (const std::string desktop = folderOr(0); !desktop.empty())
            return { desktop + "/Orbita.desktop" };
        return {};
    case IntegrationItem::MenuShortcut:
        if (const std::string menu = folderOr(11); !menu.empty())
            return { menu + "/Orbita.desktop" };
        return {};
    }
    return {};
}

bool PlatformDesktopIntegration::Exists(IntegrationItem item) const
{
    std::error_code error;
    if (item == IntegrationItem::ProgramGroup) {
        const std::string group = GroupFolder();
        return !group.empty() && fs::is_directory(group, error);
    }
    const std::vector<std::string> files = FilesOf(item);
    return !files.empty() && fs::exists(files.front(), error);
}

std::vector<std::string> PlatformDesktopIntegration::Create(IntegrationItem item)
{
    const std::vector<std::string> files = FilesOf(item);
    if (files.empty())
        return { "Nie można ustalić folderu, w którym ma powstać skrót programu." };
    std::vector<std::string> failures;
    if (item == IntegrationItem::ProgramGroup) {
        std::error_code error;
        fs::create_directories(GroupFolder(), error);
        if (!CreateShortcut(m_executable, files[0], kLauncherDescription, 0, "", kMenuCategories))
            failures.push_back(cannotWrite(files[0]));
        if (!CreateShortcut(m_executable, files[1], kUninstallDescription, 2, "/UNINSTALL", kMenuCategories))
            failures.push_back(cannotWrite(files[1]));
        if (!CreateInternetShortcut(std::string(kProgramSite), files[2]))
            failures.push_back(cannotWrite(files[2]));
        return failures;
    }
    // A desktop folder that does not exist yet is made (the user asked for a
    // shortcut on it).
    std::error_code error;
    fs::create_directories(fs::path(files[0]).parent_path(), error);
    if (!CreateShortcut(m_executable, files[0], kLauncherDescription, 0, "", kMenuCategories))
        failures.push_back(cannotWrite(files[0]));
    return failures;
}

std::vector<std::string> PlatformDesktopIntegration::Remove(IntegrationItem item)
{
    std::vector<std::string> failures;
    for (const std::string& file : FilesOf(item)) {
        std::error_code error;
        fs::remove(file, error);
        if (error)
            failures.push_back("Nie można usunąć skrótu „" + file + "”.");
    }
    if (item == IntegrationItem::ProgramGroup && !GroupFolder().empty()) {
        // The folder goes only when nothing of someone else's is left in it.
        std::error_code error;
        if (fs::is_directory(GroupFolder(), error) && fs::is_empty(GroupFolder(), error))
            fs::remove(GroupFolder(), error);
    }
    return failures;
}

} // namespace orbita
