#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace orbita {

// What the launcher window holds and does: its eight tools, its four view
// styles and its keys. Qt-free, so the tables are tested directly.

enum class LauncherTool { Tables, Test, Dictionary, Element, Find, Units, MolarMass, PropertyTable };

struct LauncherToolDef {
    LauncherTool tool;
    std::string_view caption; // UTF-8
    std::string_view icon; // resource base name; the pictures are <icon>_32 and <icon>_16
    std::string_view description; // UTF-8, the "Opis" column
};

// The eight list items in order (image indexes 0 to 7).
std::span<const LauncherToolDef> LauncherTools();

// View styles, numbered as DetailsOrder stores them.
enum class ViewStyle { LargeIcons = 0, SmallIcons = 1, List = 2, Report = 3 };

struct ViewStyleDef {
    ViewStyle style;
    std::string_view name; // component name of the menu item
    std::string_view caption; // UTF-8, "&" marks the accelerator
    std::string_view picture; // resource name
};

// The DetailsMenu items in order.
std::span<const ViewStyleDef> ViewStyles();

// The style that a stored DetailsOrder selects: 1, 2 and 3 their styles; any
// other value (a missing one reads -1) large icons.
ViewStyle ViewStyleOfOrder(std::int32_t order);

// The launcher's commands.
enum class LauncherCommand {
    None,
    OpenTool,
    Close,
    Help,
    Update,
    ToolsMenu,
    ViewMenu,
    Settings,
    About,
    ToggleMaximized
};

// The command of a key in the list (virtual-key codes as in main_commands.h):
// Enter opens the selected tool, Alt+Enter toggles maximised, Esc without
// Shift closes, F1 help, F5 update centre, F9 tools menu, F10 view menu, F11
// settings, F12 about.
LauncherCommand LauncherCommandOfKey(int key, bool shift, bool alt);

} // namespace orbita
