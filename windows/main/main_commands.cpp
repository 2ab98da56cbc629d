#include "windows/main/main_commands.h"

#include "skin/element_cells.h"

#include <algorithm>
#include <array>

namespace orbita {
namespace {

constexpr std::array kCommandButtons {
    CommandButton { "BUTTON_UPDATE", MainCommand::Update },
    CommandButton { "BUTTON_MINIMIZE", MainCommand::Minimize },
    CommandButton { "BUTTON_QUIT", MainCommand::Close },
    CommandButton { "BUTTON_QUICKQUIT", MainCommand::Close },
    CommandButton { "BUTTON_MENU", MainCommand::PopupMainMenu },
    CommandButton { "BUTTON_TOOLS", MainCommand::PopupToolsMenu },
    CommandButton { "BUTTON_UTILS", MainCommand::PopupUtilsMenu },
    CommandButton { "BUTTON_HELP", MainCommand::Help },
    CommandButton { "BUTTON_SEARCH", MainCommand::Find },
    CommandButton { "BUTTON_ABOUT", MainCommand::About },
    CommandButton { "BUTTON_SETUP", MainCommand::Settings },
};

constexpr auto A = Modifier::Any;
constexpr auto H = Modifier::Held;
constexpr auto R = Modifier::Released;

constexpr std::array kKeyTable {
    KeyBinding { vk::Return, A, A, MainCommand::Jump },
    KeyBinding { vk::Escape, H, A, MainCommand::Minimize },
    KeyBinding { vk::Escape, R, A, MainCommand::Close },
    KeyBinding { 'K', A, A, MainCommand::Close },
    KeyBinding { 'A', A, A, MainCommand::PopupUtilsMenu },
    KeyBinding { vk::F8, A, A, MainCommand::PopupUtilsMenu },
    KeyBinding { 'R', A, A, MainCommand::PopupToolsMenu },
    KeyBinding { vk::F9, A, A, MainCommand::PopupToolsMenu },
    KeyBinding { 'C', A, A, MainCommand::Help },
    KeyBinding { vk::F1, A, H, MainCommand::Welcome },
    KeyBinding { vk::F1, A, R, MainCommand::Help },
    KeyBinding { 'N', A, A, MainCommand::About },
    KeyBinding { vk::F12, A, A, MainCommand::About },
    KeyBinding { 'S', A, A, MainCommand::Find },
    KeyBinding { vk::F3, A, A, MainCommand::Find },
    KeyBinding { 'T', A, A, MainCommand::Update },
    KeyBinding { vk::F5, A, A, MainCommand::Update },
    KeyBinding { 'W', A, A, MainCommand::Settings },
    KeyBinding { vk::F11, A, A, MainCommand::Settings },
};

constexpr std::array kMainMenu {
    MenuItemDef { "MinimizeMainMenu", "Z&mniejsz do ikony", "Shift+Esc", vk::Escape, true, false,
        "M_MINIMALIZUJ", MainCommand::Minimize },
    MenuItemDef {
        "CloseMainMenu", "Za&kończ", "Esc", vk::Escape, false, false, "M_ZAMKNIJ", MainCommand::Close },
    MenuItemDef { "Separator1", "-", "", 0, false, false, "", MainCommand::None },
    MenuItemDef { "WelcomeMainMenu", "&Wprowadzenie", "Ctrl+F1", vk::F1, false, true, "M_WPROWADZENIE",
        MainCommand::Welcome },
    MenuItemDef {
        "LegendMainMenu", "&Legenda", "Shift+F1", vk::F1, true, false, "M_LEGENDA", MainCommand::Legend },
    MenuItemDef { "HelpMainMenu", "Pomo&c", "F1", vk::F1, false, false, "M_POMOC", MainCommand::Help },
    MenuItemDef { "AboutMainMenu", "I&nformacje o programie", "F12", vk::F12, false, false, "M_INFORMACJE",
        MainCommand::About },
    MenuItemDef { "Separator2", "-", "", 0, false, false, "", MainCommand::None },
    MenuItemDef { "FindMainMenu", "Wy&szukaj", "F3", vk::F3, false, false, "M_SZUKAJ", MainCommand::Find },
    MenuItemDef { "UpdateMainMenu", "Centrum &aktualizacji", "F5", vk::F5, false, false, "M_CENTRUM",
        MainCommand::Update },
    MenuItemDef { "SettingsMainMenu", "&Ustawienia", "F11", vk::F11, false, false, "M_USTAWIENIA",
        MainCommand::Settings },
    MenuItemDef { "JumpMainMenu", "&Pokaż pierwiastek", "Enter", vk::Return, false, false, "M_INFORMACJE",
        MainCommand::Jump },
};

constexpr std::array kUtilsMenu {
    MenuItemDef {
        "TablesUtilsMenu", "&Tablice chemiczne", "", 0, false, false, "M_TABLICE", MainCommand::Tables },
    MenuItemDef { "TestUtilsMenu", "T&est chemiczny", "", 0, false, false, "M_TEST", MainCommand::Test },
    MenuItemDef {
        "DictionUtilsMenu", "&Słownik chemiczny", "", 0, false, false, "M_SLOWNIK", MainCommand::Dictionary },
    MenuItemDef { "UnitsUtilsMenu", "&Przelicznik jednostek", "", 0, false, false, "M_PRZELICZNIK",
        MainCommand::Units },
    MenuItemDef {
        "MolarUtilsMenu", "&Kalkulator masy molowej", "", 0, false, false, "M_MASA", MainCommand::MolarMass },
    MenuItemDef { "PropertiesUtilsMenu", "Tablica &właściwości", "", 0, false, false, "M_WLASC",
        MainCommand::PropertyTable },
};

bool matches(Modifier rule, bool held)
{
    switch (rule) {
    case Modifier::Any:
        return true;
    case Modifier::Held:
        return held;
    case Modifier::Released:
        return !held;
    }
    return false;
}

} // namespace

std::span<const CommandButton> CommandButtons()
{
    return kCommandButtons;
}

ClickAction ActionOfClick(std::string_view hotArea, ClickButton button)
{
    if (button == ClickButton::Right)
        return { MainCommand::PopupMainMenu, 0 };
    if (button != ClickButton::Left || hotArea.empty())
        return {};
    for (const CommandButton& entry : kCommandButtons)
        if (entry.hotArea == hotArea)
            return { entry.command, 0 };
    if (const int number = ElementNumberOfHotArea(hotArea); number != 0)
        return { MainCommand::OpenElement, number };
    return {};
}

bool IsPointerHotArea(std::string_view hotArea)
{
    return ActionOfClick(hotArea, ClickButton::Left).command != MainCommand::None;
}

std::span<const KeyBinding> MainKeyTable()
{
    return kKeyTable;
}

std::span<const MenuItemDef> MainMenuItems()
{
    return kMainMenu;
}

std::span<const MenuItemDef> UtilsMenuItems()
{
    return kUtilsMenu;
}

MainCommand CommandOfKey(int key, ShiftState shift)
{
    for (const MenuItemDef& item : kMainMenu)
        if (item.key != 0 && item.key == key && item.shift == shift.shift && item.ctrl == shift.ctrl
            && !shift.alt)
            return item.command;
    for (const KeyBinding& binding : kKeyTable)
        if (binding.key == key && matches(binding.shift, shift.shift) && matches(binding.ctrl, shift.ctrl))
            return binding.command;
    return MainCommand::None;
}

std::string VersionCaption(std::string_view versionText)
{
    // The first three numbers of "major.minor.release.build"; for one-digit
    // numbers these are the first, third and fifth characters.
    std::string numbers;
    int parts = 0;
    std::size_t start = 0;
    while (parts < 3 && start < versionText.size()) {
        const std::size_t dot = std::min(versionText.find('.', start), versionText.size());
        const std::string_view part = versionText.substr(start, dot - start);
        if (part.empty()
            || !std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; }))
            break;
        if (parts != 0)
            numbers += '.';
        numbers += part;
        ++parts;
        start = dot + 1;
    }
    return parts == 0 ? std::string("Orbita") : "Orbita " + numbers;
}

std::string StartNotificationAddress(std::string_view serviceBase)
{
    return std::string(serviceBase) + "?akcja=orbita&operacja=uruchomienie";
}

} // namespace orbita
