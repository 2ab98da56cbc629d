#pragma once

#include <span>
#include <string>
#include <string_view>

namespace orbita {

// What the periodic-table window does: the commands of its menus, skin
// buttons and keys. Qt-free, so the tables are tested directly.

enum class MainCommand {
    None,
    Minimize, // MinimizeMainMenu
    Close, // CloseMainMenu (with the quit prompt)
    Welcome, // WelcomeMainMenu: help at its start page
    Legend, // LegendMainMenu: help page LEGENDA
    Help, // HelpMainMenu: help page O_GLOWNE
    About, // AboutMainMenu
    Find, // FindMainMenu: element search
    Update, // UpdateMainMenu: update centre
    Settings, // SettingsMainMenu
    Jump, // JumpMainMenu: element by number
    Tables, // TablesUtilsMenu
    Test, // TestUtilsMenu
    Dictionary, // DictionUtilsMenu
    Units, // UnitsUtilsMenu
    MolarMass, // MolarUtilsMenu
    PropertyTable, // PropertiesUtilsMenu
    PopupMainMenu, // MainMenu at the click point
    PopupToolsMenu, // ToolsMenu at the click point, or the window's corner
    PopupUtilsMenu, // UtilsMenu at the click point, or the window's corner
    OpenElement, // the element window for an atomic number
};

// One skin button with a command.
struct CommandButton {
    std::string_view hotArea;
    MainCommand command;
};

// The command buttons in the order their names are compared.
std::span<const CommandButton> CommandButtons();

// The mouse buttons the skin reports.
enum class ClickButton { Left, Right, Middle };

// What a click reported by the skin asks for: a command, and for OpenElement
// the atomic number (1 to 118).
struct ClickAction {
    MainCommand command = MainCommand::None;
    int element = 0;

    bool operator==(const ClickAction&) const = default;
};

// The action of a mouse release on the hot area `hotArea` ("" for none):
// the right button opens the main menu wherever it is released; the left
// button runs the command button of that name, else opens the element of that
// cell; an empty or unknown name, and the middle button, do nothing.
ClickAction ActionOfClick(std::string_view hotArea, ClickButton button);

// True for the hot areas that show the hand pointer: the command buttons and
// the element cells.
bool IsPointerHotArea(std::string_view hotArea);

// Keys by their Windows virtual-key codes, which the window maps Qt's keys to.
namespace vk {
inline constexpr int Return = 0x0D;
inline constexpr int Escape = 0x1B;
inline constexpr int F1 = 0x70;
inline constexpr int F2 = 0x71;
inline constexpr int F3 = 0x72;
inline constexpr int F5 = 0x74;
inline constexpr int F8 = 0x77;
inline constexpr int F9 = 0x78;
inline constexpr int F10 = 0x79;
inline constexpr int F11 = 0x7A;
inline constexpr int F12 = 0x7B;
// Letters are their capital's code: 'A' is 0x41.
} // namespace vk

struct ShiftState {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// How a key binding looks at one modifier.
enum class Modifier { Any, Held, Released };

struct KeyBinding {
    int key; // virtual-key code
    Modifier shift;
    Modifier ctrl;
    MainCommand command;
};

// The window's own key table, first match wins: letters act whatever
// modifiers are held; only Esc and F1 look at Shift and Ctrl.
std::span<const KeyBinding> MainKeyTable();

// One item of a pop-up menu.
struct MenuItemDef {
    std::string_view name; // component name, e.g. "MinimizeMainMenu"
    std::string_view caption; // UTF-8, "&" marks the accelerator; "-" a separator
    std::string_view shortcut; // key text as the menu shows it, or empty
    int key; // the shortcut's virtual-key code, 0 for none
    bool shift; // the shortcut's modifiers, which must match exactly
    bool ctrl;
    std::string_view picture; // resource name, or empty
    MainCommand command;
};

// MainMenu and UtilsMenu, item by item (positions from 0).
std::span<const MenuItemDef> MainMenuItems();
std::span<const MenuItemDef> UtilsMenuItems();

// The command of a key press. The menu shortcuts come first and need their
// modifiers exactly ("SHIFT+ESC", "ESC", "ENTER", Ctrl+F1, Shift+F1, F1, F12,
// F3, F5, F11); then the key table. None when nothing matches.
MainCommand CommandOfKey(int key, ShiftState shift);

// "Orbita " and the first three numbers of a version text: "3.5.1.0" gives
// "Orbita 3.5.1" (for one-digit numbers the first, third and fifth
// characters), "3.10.2.7" gives "Orbita 3.10.2". A text that does not start
// with a number (the "—" of a missing version) gives "Orbita" alone.
std::string VersionCaption(std::string_view versionText);

// The one-time start notification: the update service's base address
// (UpdateServiceBase, for example "https://orbita.example.org/support_orb3")
// followed by the query that names the program and the operation.
std::string StartNotificationAddress(std::string_view serviceBase);

// The program's web site.
inline constexpr std::string_view kProgramSite = "https://orbita.example.org/";

} // namespace orbita
