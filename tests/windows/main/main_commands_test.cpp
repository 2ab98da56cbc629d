#include "skin/builtin_skin.h"
#include "skin/element_cells.h"
#include "windows/main/main_commands.h"
#include "windows/main/menu_commands.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace orbita {
namespace {

TEST(MainCommands, CommandButtonsRunTheirCommands)
{
    const struct {
        const char* hotArea;
        MainCommand command;
    } rows[] = {
        { "BUTTON_UPDATE", MainCommand::Update },
        { "BUTTON_MINIMIZE", MainCommand::Minimize },
        { "BUTTON_QUIT", MainCommand::Close },
        { "BUTTON_QUICKQUIT", MainCommand::Close },
        { "BUTTON_MENU", MainCommand::PopupMainMenu },
        { "BUTTON_TOOLS", MainCommand::PopupToolsMenu },
        { "BUTTON_UTILS", MainCommand::PopupUtilsMenu },
        { "BUTTON_HELP", MainCommand::Help },
        { "BUTTON_SEARCH", MainCommand::Find },
        { "BUTTON_ABOUT", MainCommand::About },
        { "BUTTON_SETUP", MainCommand::Settings },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.hotArea);
        EXPECT_EQ(ActionOfClick(row.hotArea, ClickButton::Left), (ClickAction { row.command, 0 }));
        EXPECT_TRUE(IsPointerHotArea(row.hotArea));
    }
    EXPECT_EQ(CommandButtons().size(), std::size(rows));
}

TEST(MainCommands, ElementCellsOpenTheirElements)
{
    const struct {
        const char* hotArea;
        int number;
    } rows[] = {
        { "BUTTON_H", 1 },
        { "BUTTON_HE", 2 },
        { "BUTTON_FE", 26 },
        { "BUTTON_J", 53 },
        { "BUTTON_LR", 103 },
        { "BUTTON_UNQ", 104 },
        { "BUTTON_UNP", 105 },
        { "BUTTON_UNH", 106 },
        { "BUTTON_UNS", 107 },
        { "BUTTON_UNO", 108 },
        { "BUTTON_UNE", 109 },
        { "BUTTON_UUN", 110 },
        { "BUTTON_UUU", 111 },
        { "BUTTON_UUB", 112 },
        { "BUTTON_UUT", 113 },
        { "BUTTON_UUQ", 114 },
        { "BUTTON_UUP", 115 },
        { "BUTTON_UUH", 116 },
        { "BUTTON_UUS", 117 },
        { "BUTTON_UUO", 118 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.hotArea);
        EXPECT_EQ(ActionOfClick(row.hotArea, ClickButton::Left),
            (ClickAction { MainCommand::OpenElement, row.number }));
    }
    // Iodine is "BUTTON_J", never "BUTTON_I"; unknown names and the empty name do nothing.
    for (const char* name : { "BUTTON_I", "", "BUTTON_", "button_h", "BUTTON_H ", "NOT_DEFINED" }) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ActionOfClick(name, ClickButton::Left), ClickAction {});
        EXPECT_FALSE(IsPointerHotArea(name));
    }
}

TEST(MainCommands, EveryBuiltinHotAreaHasExactlyOneAction)
{
    std::set<int> elements;
    int commands = 0;
    for (const SkinHotArea& area : BuiltinHotAreas()) {
        SCOPED_TRACE(std::string(area.name));
        const ClickAction action = ActionOfClick(area.name, ClickButton::Left);
        ASSERT_NE(action.command, MainCommand::None);
        if (action.command == MainCommand::OpenElement)
            EXPECT_TRUE(elements.insert(action.element).second) << "element opened twice";
        else
            ++commands;
        EXPECT_TRUE(IsPointerHotArea(area.name));
    }
    EXPECT_EQ(commands, 11);
    EXPECT_EQ(elements.size(), 118U);
    EXPECT_EQ(*elements.begin(), 1);
    EXPECT_EQ(*elements.rbegin(), 118);
}

TEST(MainCommands, RightButtonOpensTheMainMenuEverywhere)
{
    for (const char* name : { "BUTTON_FE", "BUTTON_QUIT", "", "BUTTON_J" }) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ActionOfClick(name, ClickButton::Right), (ClickAction { MainCommand::PopupMainMenu, 0 }));
        EXPECT_EQ(ActionOfClick(name, ClickButton::Middle), ClickAction {});
    }
}

TEST(MainCommands, KeyTable)
{
    const ShiftState none;
    const ShiftState shift { true, false, false };
    const ShiftState ctrl { false, true, false };
    const ShiftState alt { false, false, true };
    const ShiftState ctrlShift { true, true, false };
    const struct {
        int key;
        ShiftState state;
        MainCommand command;
    } rows[] = {
        { vk::Return, none, MainCommand::Jump },
        { vk::Escape, none, MainCommand::Close },
        { vk::Escape, shift, MainCommand::Minimize },
        { vk::Escape, ctrl, MainCommand::Close },
        { vk::Escape, ctrlShift, MainCommand::Minimize },
        { 'K', none, MainCommand::Close },
        { 'K', shift, MainCommand::Close },
        { 'K', ctrl, MainCommand::Close },
        { 'K', alt, MainCommand::Close },
        { 'A', none, MainCommand::PopupUtilsMenu },
        { vk::F8, none, MainCommand::PopupUtilsMenu },
        { 'R', ctrlShift, MainCommand::PopupToolsMenu },
        { vk::F9, none, MainCommand::PopupToolsMenu },
        { 'C', alt, MainCommand::Help },
        { vk::F1, none, MainCommand::Help },
        { vk::F1, ctrl, MainCommand::Welcome },
        { vk::F1, ctrlShift, MainCommand::Welcome },
        { vk::F1, shift, MainCommand::Legend }, // the menu's shortcut Shift+F1
        { 'N', none, MainCommand::About },
        { vk::F12, shift, MainCommand::About },
        { 'S', none, MainCommand::Find },
        { vk::F3, none, MainCommand::Find },
        { 'T', shift, MainCommand::Update },
        { vk::F5, none, MainCommand::Update },
        { 'W', none, MainCommand::Settings },
        { vk::F11, none, MainCommand::Settings },
        { 'B', none, MainCommand::None },
        { vk::F10, none, MainCommand::None },
        { vk::F2, none, MainCommand::None },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "key " << row.key << " shift " << row.state.shift << " ctrl "
                                        << row.state.ctrl << " alt " << row.state.alt);
        EXPECT_EQ(CommandOfKey(row.key, row.state), row.command);
    }
}

TEST(MainCommands, MenusHoldTheirItemsInOrder)
{
    const char* const mainNames[] = { "MinimizeMainMenu", "CloseMainMenu", "Separator1", "WelcomeMainMenu",
        "LegendMainMenu", "HelpMainMenu", "AboutMainMenu", "Separator2", "FindMainMenu", "UpdateMainMenu",
        "SettingsMainMenu", "JumpMainMenu" };
    ASSERT_EQ(MainMenuItems().size(), std::size(mainNames));
    for (std::size_t i = 0; i < std::size(mainNames); ++i)
        EXPECT_EQ(MainMenuItems()[i].name, mainNames[i]);
    // Every shortcut of the menu runs its own item's command.
    for (const MenuItemDef& item : MainMenuItems()) {
        if (item.key == 0)
            continue;
        SCOPED_TRACE(std::string(item.name));
        EXPECT_EQ(CommandOfKey(item.key, ShiftState { item.shift, item.ctrl, false }), item.command);
    }
    const char* const utilsNames[] = { "TablesUtilsMenu", "TestUtilsMenu", "DictionUtilsMenu",
        "UnitsUtilsMenu", "MolarUtilsMenu", "PropertiesUtilsMenu" };
    ASSERT_EQ(UtilsMenuItems().size(), std::size(utilsNames));
    for (std::size_t i = 0; i < std::size(utilsNames); ++i)
        EXPECT_EQ(UtilsMenuItems()[i].name, utilsNames[i]);
}

TEST(MainCommands, VersionCaption)
{
    const struct {
        const char* version;
        const char* caption;
    } rows[] = {
        { "3.5.1.0", "Orbita 3.5.1" },
        { "1.2.3.4", "Orbita 1.2.3" },
        { "3.10.2.7", "Orbita 3.10.2" },
        { "4.0", "Orbita 4.0" },
        { "\xE2\x80\x94", "Orbita" }, // no version in the executable
        { "", "Orbita" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.version);
        EXPECT_EQ(VersionCaption(row.version), row.caption);
    }
}

TEST(MainCommands, StartNotificationAddress)
{
    // The query follows the service's base address as it stands.
    EXPECT_EQ(StartNotificationAddress("https://a.example/support_orb3"),
        "https://a.example/support_orb3?akcja=orbita&operacja=uruchomienie");
    EXPECT_EQ(StartNotificationAddress("http://127.0.0.1:8080/orbita/"),
        "http://127.0.0.1:8080/orbita/?akcja=orbita&operacja=uruchomienie");
}

TEST(MenuCommands, ToolsAndViewStyles)
{
    ASSERT_EQ(LauncherTools().size(), 8U);
    const char* const icons[] = { "TOOL_TABLES", "TOOL_TEST", "TOOL_DICTIONARY", "TOOL_ELEMENT", "TOOL_FIND",
        "TOOL_UNITS", "TOOL_MOLAR", "TOOL_PROPERTIES" };
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_EQ(LauncherTools()[i].icon, icons[i]);
    const struct {
        int order;
        ViewStyle style;
    } rows[] = { { 0, ViewStyle::LargeIcons }, { 1, ViewStyle::SmallIcons }, { 2, ViewStyle::List },
        { 3, ViewStyle::Report }, { -1, ViewStyle::LargeIcons }, { 4, ViewStyle::LargeIcons },
        { 100, ViewStyle::LargeIcons } };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.order);
        EXPECT_EQ(ViewStyleOfOrder(row.order), row.style);
    }
    for (std::size_t i = 0; i < ViewStyles().size(); ++i)
        EXPECT_EQ(static_cast<std::size_t>(ViewStyles()[i].style), i);
}

TEST(MenuCommands, KeyTable)
{
    const struct {
        int key;
        bool shift;
        bool alt;
        LauncherCommand command;
    } rows[] = {
        { vk::Return, false, false, LauncherCommand::OpenTool },
        { vk::Return, true, false, LauncherCommand::OpenTool },
        { vk::Return, false, true, LauncherCommand::ToggleMaximized },
        { vk::Escape, false, false, LauncherCommand::Close },
        { vk::Escape, true, false, LauncherCommand::None },
        { vk::F1, false, false, LauncherCommand::Help },
        { vk::F5, false, false, LauncherCommand::Update },
        { vk::F9, false, false, LauncherCommand::ToolsMenu },
        { vk::F10, false, false, LauncherCommand::ViewMenu },
        { vk::F11, false, false, LauncherCommand::Settings },
        { vk::F12, false, false, LauncherCommand::About },
        { 'K', false, false, LauncherCommand::None },
        { vk::F3, false, false, LauncherCommand::None },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.key << " shift " << row.shift << " alt " << row.alt);
        EXPECT_EQ(LauncherCommandOfKey(row.key, row.shift, row.alt), row.command);
    }
}

} // namespace
} // namespace orbita
