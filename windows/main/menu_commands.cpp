#include "windows/main/menu_commands.h"

#include "windows/main/main_commands.h"

#include <array>

namespace orbita {
namespace {

constexpr std::array kTools {
    LauncherToolDef { LauncherTool::Tables, "Tablice chemiczne", "TOOL_TABLES",
        "Wyświetla dodatkowe dokumenty takie jak tablice, wzory oraz układy" },
    LauncherToolDef { LauncherTool::Test, "Test chemiczny", "TOOL_TEST",
        "Umożliwia przeprowadzenie testu za pomocą jednego z wybranych zestawów" },
    LauncherToolDef { LauncherTool::Dictionary, "Słownik chemiczny", "TOOL_DICTIONARY",
        "Wyszukuje i wyświetla niezrozumiałe terminy chemiczne" },
    LauncherToolDef { LauncherTool::Element, "Informacje o pierwiastkach", "TOOL_ELEMENT",
        "Umożliwia wyświetlenie dostępnych informacji o pierwiastku" },
    LauncherToolDef { LauncherTool::Find, "Wyszukiwanie pierwiastków", "TOOL_FIND",
        "Przeszukuje bazę danych programu w poszukiwaniu pożądanego pierwiastka" },
    LauncherToolDef {
        LauncherTool::Units, "Przelicznik jednostek", "TOOL_UNITS", "Przelicza różne jednostki chemiczne" },
    LauncherToolDef { LauncherTool::MolarMass, "Kalkulator masy molowej", "TOOL_MOLAR",
        "Oblicza masę molową związku i udział masowy pierwiastków" },
    LauncherToolDef { LauncherTool::PropertyTable, "Tablica właściwości", "TOOL_PROPERTIES",
        "Koloruje układ okresowy według właściwości lub stanu skupienia w danej temperaturze" },
};

constexpr std::array kViewStyles {
    ViewStyleDef { ViewStyle::LargeIcons, "LargeIconsMenu", "Duże ik&ony", "M_DUZE" },
    ViewStyleDef { ViewStyle::SmallIcons, "SmallIconsMenu", "&Małe ikony", "M_MALE" },
    ViewStyleDef { ViewStyle::List, "ListMenu", "&Lista", "M_LISTA" },
    ViewStyleDef { ViewStyle::Report, "ReportMenu", "&Szczegóły", "M_SZCZEGOLY" },
};

} // namespace

std::span<const LauncherToolDef> LauncherTools()
{
    return kTools;
}

std::span<const ViewStyleDef> ViewStyles()
{
    return kViewStyles;
}

ViewStyle ViewStyleOfOrder(std::int32_t order)
{
    switch (order) {
    case 1:
        return ViewStyle::SmallIcons;
    case 2:
        return ViewStyle::List;
    case 3:
        return ViewStyle::Report;
    default:
        return ViewStyle::LargeIcons;
    }
}

LauncherCommand LauncherCommandOfKey(int key, bool shift, bool alt)
{
    switch (key) {
    case vk::Return:
        return alt ? LauncherCommand::ToggleMaximized : LauncherCommand::OpenTool;
    case vk::Escape:
        return shift ? LauncherCommand::None : LauncherCommand::Close;
    case vk::F1:
        return LauncherCommand::Help;
    case vk::F5:
        return LauncherCommand::Update;
    case vk::F9:
        return LauncherCommand::ToolsMenu;
    case vk::F10:
        return LauncherCommand::ViewMenu;
    case vk::F11:
        return LauncherCommand::Settings;
    case vk::F12:
        return LauncherCommand::About;
    default:
        return LauncherCommand::None;
    }
}

} // namespace orbita
