#pragma once

#include "windows/settings/settings_logic.h"

#include <string>
#include <vector>

namespace orbita {

// The desktop integration of the settings window as freedesktop entries:
//   program group    <applications>/orbita/ with Orbita.desktop,
//                    Odinstalowanie.desktop (the program with /UNINSTALL) and
//                    Strona domowa.desktop (a link to the program's site)
//   desktop shortcut <desktop>/Orbita.desktop
//   menu shortcut    <applications>/Orbita.desktop
// (the folders of SpecialFolderPath). The launchers carry the menu
// categories kMenuCategories. Removing deletes exactly the files creating
// makes (and the group's folder once it is empty), nothing else.
class PlatformDesktopIntegration final : public DesktopIntegration {
public:
    // `executable`: the program the launchers start.
    explicit PlatformDesktopIntegration(std::string executable);

    bool Exists(IntegrationItem item) const override;
    std::vector<std::string> Create(IntegrationItem item) override;
    std::vector<std::string> Remove(IntegrationItem item) override;

    // The files an item is made of (full paths); empty when its folder
    // cannot be had.
    static std::vector<std::string> FilesOf(IntegrationItem item);
    static std::string GroupFolder();

private:
    std::string m_executable;
};

inline constexpr const char* kMenuCategories = "Education;Science;Chemistry;";

} // namespace orbita
