#include "core/file_version.h"
#include "core/registry.h"
#include "platform/qt_text.h"
#include "platform/scripted_ui_services.h"
#include "platform/shell_services.h"
#include "platform/sound.h"
#include "skin/builtin_skin.h"
#include "skin/element_cells.h"
#include "skin/skin_form.h"
#include "tests/platform/platform_test_environment.h"
#include "tests/support/recording_window_opener.h"
#include "windows/main/main_commands.h"
#include "windows/main/main_form.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <optional>

namespace orbita {
namespace {

const char* const kProfile = "Software\\Orbita\\Administrator";

QPoint centre(const SkinRect& rect)
{
    return QPoint(rect.left + rect.width / 2, rect.top + rect.height / 2);
}

SkinRect builtinArea(std::string_view name)
{
    for (const SkinHotArea& area : BuiltinHotAreas())
        if (area.name == name)
            return area.rect;
    ADD_FAILURE() << "no hot area " << name;
    return {};
}

// A point inside the built-in window's outline that no hot area holds.
QPoint emptyPoint()
{
    const QImage mask(QStringLiteral(":/res/SKIN_MASK.png"));
    for (int y = 60; y < mask.height(); ++y)
        for (int x = 20; x < mask.width(); ++x) {
            if (mask.pixelColor(x, y) == QColor(Qt::white))
                continue;
            bool inArea = false;
            for (const SkinHotArea& area : BuiltinHotAreas())
                inArea = inArea || area.rect.contains(x, y);
            if (!inArea)
                return QPoint(x, y);
        }
    ADD_FAILURE() << "no empty point in the outline";
    return {};
}

// The texts that the window shows, drawn by a skin of its own: the built-in
// skin with the given clock and version texts.
QImage expectedCanvas(const QString& time, const QString& logo)
{
    QWidget form;
    auto* skin = new TSkinForm(&form);
    skin->LoadBuiltinSkin();
    skin->SetAreaText(QStringLiteral("TIMETEXT"), time);
    skin->SetAreaText(QStringLiteral("LOGOTEXT"), logo);
    return skin->Canvas();
}

class MainForm : public test::PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", "Administrator");
        WriteRegInteger(Hive::CurrentUser, kProfile, "StartupTip", 0);
        ASSERT_TRUE(QDir().mkpath(path("program/KARNACJE")));
        m_env.set("ORBITA_PROGRAM_DIR", path("program"));
    }
    void TearDown() override
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->isVisible())
                ADD_FAILURE() << "left open: " << widget->objectName().toStdString();
    }

    static void setProfile(const char* name, int value)
    {
        WriteRegInteger(Hive::CurrentUser, kProfile, name, value);
    }
    static void closeQuietly(TMainForm& form)
    {
        for (QMenu* menu : { form.mainMenu(), form.utilsMenu(), form.toolsMenu() })
            menu->hide();
        setProfile("ExitPrompt", 0);
        form.close();
        DeleteRegValue(Hive::CurrentUser, kProfile, "ExitPrompt");
    }
    static QString logoText()
    {
        return QString::fromStdString(VersionCaption(FileVersionText(ExecutablePath())));
    }
    // A pop-up menu opens with its top-left corner at the point, moved left
    // only as far as the screen's edge asks.
    static void expectOpensAt(const QMenu& menu, QPoint at)
    {
        EXPECT_EQ(menu.y(), at.y());
        EXPECT_LE(menu.x(), at.x());
        EXPECT_TRUE(menu.x() == at.x() || menu.geometry().right() == menu.screen()->geometry().right())
            << menu.x() << " for " << at.x();
    }
    static void click(TMainForm& form, QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(form.skinForm(), button, Qt::NoModifier, at);
    }
    static QMenu* visibleMenu(const TMainForm& form)
    {
        for (QMenu* menu : { form.mainMenu(), form.utilsMenu(), form.toolsMenu() })
            if (menu->isVisible())
                return menu;
        return nullptr;
    }

    test::RecordingWindowOpener windows;
};

TEST_F(MainForm, BuiltinSkinShapesTheWindow)
{
    TMainForm form;
    form.show();
    EXPECT_EQ(form.size(), QSize(kBuiltinSkinWidth, kBuiltinSkinHeight));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Orbita"));
    EXPECT_EQ(form.objectName(), QStringLiteral("MainForm"));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(form.UsesSkinPackage());
    // The outline is the mask's: white pixels are outside, the others inside.
    const QImage mask(QStringLiteral(":/res/SKIN_MASK.png"));
    ASSERT_EQ(mask.size(), form.size());
    const QRegion outline = form.mask();
    int outside = 0;
    for (int y = 0; y < mask.height(); y += 3)
        for (int x = 0; x < mask.width(); x += 3) {
            const bool white = mask.pixelColor(x, y) == QColor(Qt::white);
            outside += white ? 1 : 0;
            ASSERT_EQ(outline.contains(QPoint(x, y)), !white) << x << "," << y;
        }
    EXPECT_GT(outside, 0);
    // The clock and the version are drawn in their text areas.
    form.SetClock([] { return std::string("23:59:59 2026-12-31"); });
    EXPECT_EQ(form.skinForm()->Canvas(), expectedCanvas(QStringLiteral("23:59:59 2026-12-31"), logoText()));
    EXPECT_NE(form.skinForm()->Canvas(), expectedCanvas(QStringLiteral("23:59:59 2026-12-31"), QString()));
    closeQuietly(form);
}

TEST_F(MainForm, ClockShowsTheInjectedTimeAndTicks)
{
    TMainForm form;
    int ticks = 0;
    form.SetClock([&ticks] {
        return ++ticks == 1 ? std::string("04:30:55 2026-12-07") : std::string("04:30:56 2026-12-07");
    });
    const QImage first = expectedCanvas(QStringLiteral("04:30:55 2026-12-07"), logoText());
    const QImage second = expectedCanvas(QStringLiteral("04:30:56 2026-12-07"), logoText());
    ASSERT_NE(first, second);
    EXPECT_EQ(form.skinForm()->Canvas(), first);
    // The one-second timer shows the next text, and only the TIMETEXT area changes.
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.skinForm()->Canvas() == second; }, 30000));
    EXPECT_EQ(ticks, 2);
    const QRect timeArea(323, 12, 90, 19);
    for (int y = 0; y < first.height(); ++y)
        for (int x = 0; x < first.width(); ++x)
            if (first.pixel(x, y) != second.pixel(x, y)) {
                ASSERT_TRUE(timeArea.contains(x, y)) << x << "," << y;
            }
    closeQuietly(form);
}

TEST_F(MainForm, EveryElementCellOpensItsElement)
{
    TMainForm form;
    form.show();
    ASSERT_EQ(ElementCells().size(), 118U);
    for (const ElementCell& cell : ElementCells()) {
        SCOPED_TRACE(std::string(cell.hotArea));
        for (const QPoint at : { centre(cell.rect), QPoint(cell.rect.left + 2, cell.rect.top + 2),
                 QPoint(cell.rect.right() - 2, cell.rect.bottom() - 2) }) {
            click(form, at);
            EXPECT_EQ(windows.take(), QStringList { QStringLiteral("element %1").arg(cell.number) });
        }
    }
    EXPECT_EQ(visibleMenu(form), nullptr);
    closeQuietly(form);
}

TEST_F(MainForm, CommandButtonsRunTheirCommands)
{
    windows.quitAnswer = false;
    const struct {
        const char* hotArea;
        QStringList calls;
        const char* menu;
    } rows[] = {
        { "BUTTON_UPDATE", { QStringLiteral("update") }, nullptr },
        { "BUTTON_QUIT", { QStringLiteral("quit?") }, nullptr },
        { "BUTTON_QUICKQUIT", { QStringLiteral("quit?") }, nullptr },
        { "BUTTON_MENU", {}, "MainMenu" },
        { "BUTTON_TOOLS", {}, "ToolsMenu" },
        { "BUTTON_UTILS", {}, "UtilsMenu" },
        { "BUTTON_HELP", { QStringLiteral("help O_GLOWNE") }, nullptr },
        { "BUTTON_SEARCH", { QStringLiteral("find") }, nullptr },
        { "BUTTON_ABOUT", { QStringLiteral("about") }, nullptr },
        { "BUTTON_SETUP", { QStringLiteral("settings") }, nullptr },
    };
    TMainForm form;
    form.show();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.hotArea);
        const QPoint at = centre(builtinArea(row.hotArea));
        click(form, at);
        EXPECT_EQ(windows.take(), row.calls);
        QMenu* menu = visibleMenu(form);
        if (row.menu) {
            ASSERT_NE(menu, nullptr);
            EXPECT_EQ(menu->objectName(), QString::fromLatin1(row.menu));
            expectOpensAt(*menu, form.skinForm()->mapToGlobal(at));
            menu->hide();
        } else {
            EXPECT_EQ(menu, nullptr);
        }
        EXPECT_TRUE(form.isVisible());
    }
    click(form, centre(builtinArea("BUTTON_MINIMIZE")));
    EXPECT_TRUE(form.windowState().testFlag(Qt::WindowMinimized));
    EXPECT_TRUE(windows.take().isEmpty());
    form.showNormal();
    closeQuietly(form);
}

TEST_F(MainForm, RightClickOpensTheMainMenuWhateverIsUnderIt)
{
    TMainForm form;
    form.show();
    for (const char* name : { "BUTTON_FE", "BUTTON_J", "BUTTON_QUIT", "BUTTON_HELP" }) {
        SCOPED_TRACE(name);
        const QPoint at = centre(builtinArea(name));
        click(form, at, Qt::RightButton);
        EXPECT_TRUE(windows.take().isEmpty());
        ASSERT_EQ(visibleMenu(form), form.mainMenu());
        expectOpensAt(*form.mainMenu(), form.skinForm()->mapToGlobal(at));
        form.mainMenu()->hide();
    }
    closeQuietly(form);
}

TEST_F(MainForm, ReleaseOnAnotherCellOpensThatOne)
{
    TMainForm form;
    form.show();
    QTest::mousePress(form.skinForm(), Qt::LeftButton, Qt::NoModifier, centre(builtinArea("BUTTON_H")));
    QTest::mouseRelease(form.skinForm(), Qt::LeftButton, Qt::NoModifier, centre(builtinArea("BUTTON_HE")));
    EXPECT_EQ(windows.take(), QStringList { QStringLiteral("element 2") });
    closeQuietly(form);
}

TEST_F(MainForm, MainMenuItemsRunTheirCommands)
{
    windows.quitAnswer = false;
    windows.chosenElement = 79;
    TMainForm form;
    form.show();
    const struct {
        const char* item;
        QStringList calls;
        QString shortcut;
        bool picture;
    } rows[] = {
        { "CloseMainMenu", { QStringLiteral("quit?") }, QStringLiteral("Esc"), true },
        { "WelcomeMainMenu", { QStringLiteral("help ") }, QStringLiteral("Ctrl+F1"), true },
        { "LegendMainMenu", { QStringLiteral("help LEGENDA") }, QStringLiteral("Shift+F1"), true },
        { "HelpMainMenu", { QStringLiteral("help O_GLOWNE") }, QStringLiteral("F1"), true },
        { "AboutMainMenu", { QStringLiteral("about") }, QStringLiteral("F12"), true },
        { "FindMainMenu", { QStringLiteral("find") }, QStringLiteral("F3"), true },
        { "UpdateMainMenu", { QStringLiteral("update") }, QStringLiteral("F5"), true },
        { "SettingsMainMenu", { QStringLiteral("settings") }, QStringLiteral("F11"), true },
        { "JumpMainMenu", { QStringLiteral("choose"), QStringLiteral("element 79") }, QStringLiteral("Enter"),
            true },
        { "TablesUtilsMenu", { QStringLiteral("tables") }, QString(), true },
        { "TestUtilsMenu", { QStringLiteral("test") }, QString(), true },
        { "DictionUtilsMenu", { QStringLiteral("dictionary") }, QString(), true },
        { "UnitsUtilsMenu", { QStringLiteral("units") }, QString(), true },
        { "MolarUtilsMenu", { QStringLiteral("molar mass") }, QString(), true },
        { "PropertiesUtilsMenu", { QStringLiteral("property table") }, QString(), true },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.item);
        auto* item = form.findChild<QAction*>(QString::fromLatin1(row.item));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->shortcut().toString(), row.shortcut);
        EXPECT_EQ(!item->icon().isNull(), row.picture);
        item->trigger();
        EXPECT_EQ(windows.take(), row.calls);
    }
    EXPECT_EQ(form.mainMenu()->actions().size(), 12);
    EXPECT_EQ(form.utilsMenu()->actions().size(), 6);
    // A cancelled element choice opens nothing.
    windows.chosenElement.reset();
    form.findChild<QAction*>(QStringLiteral("JumpMainMenu"))->trigger();
    EXPECT_EQ(windows.take(), QStringList { QStringLiteral("choose") });
    closeQuietly(form);
}

TEST_F(MainForm, Keys)
{
    windows.quitAnswer = false;
    windows.chosenElement = 8;
    TMainForm form;
    form.show();
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QStringList calls;
        const char* menu;
    } rows[] = {
        { Qt::Key_Return, Qt::NoModifier, { QStringLiteral("choose"), QStringLiteral("element 8") },
            nullptr },
        { Qt::Key_Escape, Qt::NoModifier, { QStringLiteral("quit?") }, nullptr },
        { Qt::Key_K, Qt::NoModifier, { QStringLiteral("quit?") }, nullptr },
        { Qt::Key_K, Qt::ControlModifier | Qt::AltModifier, { QStringLiteral("quit?") }, nullptr },
        { Qt::Key_A, Qt::NoModifier, {}, "UtilsMenu" },
        { Qt::Key_F8, Qt::NoModifier, {}, "UtilsMenu" },
        { Qt::Key_R, Qt::ShiftModifier, {}, "ToolsMenu" },
        { Qt::Key_F9, Qt::NoModifier, {}, "ToolsMenu" },
        { Qt::Key_C, Qt::NoModifier, { QStringLiteral("help O_GLOWNE") }, nullptr },
        { Qt::Key_F1, Qt::NoModifier, { QStringLiteral("help O_GLOWNE") }, nullptr },
        { Qt::Key_F1, Qt::ControlModifier, { QStringLiteral("help ") }, nullptr },
        { Qt::Key_F1, Qt::ShiftModifier, { QStringLiteral("help LEGENDA") }, nullptr },
        { Qt::Key_N, Qt::NoModifier, { QStringLiteral("about") }, nullptr },
        { Qt::Key_F12, Qt::NoModifier, { QStringLiteral("about") }, nullptr },
        { Qt::Key_S, Qt::AltModifier, { QStringLiteral("find") }, nullptr },
        { Qt::Key_F3, Qt::NoModifier, { QStringLiteral("find") }, nullptr },
        { Qt::Key_T, Qt::NoModifier, { QStringLiteral("update") }, nullptr },
        { Qt::Key_F5, Qt::NoModifier, { QStringLiteral("update") }, nullptr },
        { Qt::Key_W, Qt::ShiftModifier, { QStringLiteral("settings") }, nullptr },
        { Qt::Key_F11, Qt::NoModifier, { QStringLiteral("settings") }, nullptr },
        { Qt::Key_B, Qt::NoModifier, {}, nullptr },
        { Qt::Key_F2, Qt::NoModifier, {}, nullptr },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "key " << row.key << " modifiers " << row.modifiers.toInt());
        QTest::keyClick(&form, row.key, row.modifiers);
        EXPECT_TRUE(windows.ownedBy(&form));
        EXPECT_EQ(windows.take(), row.calls);
        QMenu* menu = visibleMenu(form);
        if (row.menu) {
            ASSERT_NE(menu, nullptr);
            EXPECT_EQ(menu->objectName(), QString::fromLatin1(row.menu));
            expectOpensAt(*menu, form.mapToGlobal(QPoint(0, 0)));
            menu->hide();
        } else {
            EXPECT_EQ(menu, nullptr);
        }
    }
    EXPECT_TRUE(form.isVisible());
    QTest::keyClick(&form, Qt::Key_Escape, Qt::ShiftModifier);
    EXPECT_TRUE(form.windowState().testFlag(Qt::WindowMinimized));
    form.showNormal();
    closeQuietly(form);
}

TEST_F(MainForm, QuitRule)
{
    const struct {
        std::optional<int> exitPrompt;
        bool answer;
        bool asked;
        bool closes;
    } rows[] = {
        { std::nullopt, false, true, false },
        { std::nullopt, true, true, true },
        { 1, false, true, false },
        { 1, true, true, true },
        { -5, true, true, true },
        { 0, false, false, true },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.exitPrompt.value_or(-1) << " answer " << row.answer);
        DeleteRegValue(Hive::CurrentUser, kProfile, "ExitPrompt");
        if (row.exitPrompt)
            setProfile("ExitPrompt", *row.exitPrompt);
        TMainForm form;
        QSignalSpy closed(&form, &TMainFormBase::closed);
        form.show();
        windows.quitAnswer = row.answer;
        QTest::keyClick(&form, Qt::Key_Escape);
        EXPECT_EQ(windows.take(), row.asked ? QStringList { QStringLiteral("quit?") } : QStringList {});
        EXPECT_EQ(form.isVisible(), !row.closes);
        EXPECT_EQ(closed.count(), row.closes ? 1 : 0);
        if (!row.closes)
            closeQuietly(form);
    }
}

TEST_F(MainForm, QuitPromptIsTheQuitWindow)
{
    // The program's quit window, answered through the UI services: only yes closes.
    windows.realDialogs = true;
    const struct {
        int answer;
        bool closes;
    } rows[] = { { mrNo, false }, { mrCancel, false }, { mrYes, true } };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.answer);
        ScriptedUiServices ui;
        ui.answerModal([&row](QDialog& dialog) {
            EXPECT_EQ(dialog.objectName(), QStringLiteral("QuitForm"));
            return row.answer;
        });
        TMainForm form;
        form.show();
        QTest::keyClick(&form, Qt::Key_Escape);
        EXPECT_TRUE(ui.finished());
        ASSERT_EQ(ui.requests().size(), 1U);
        EXPECT_EQ(ui.requests().at(0).caption, QStringLiteral("Zakończ"));
        EXPECT_EQ(form.isVisible(), !row.closes);
        if (!row.closes)
            closeQuietly(form);
    }
}

TEST_F(MainForm, ToolsMenuShowsBrakOrTheUsersTools)
{
    TMainForm form;
    form.show();
    QTest::keyClick(&form, Qt::Key_R);
    ASSERT_EQ(form.toolsMenu()->actions().size(), 1);
    QAction* none = form.toolsMenu()->actions().at(0);
    EXPECT_EQ(none->text(), QStringLiteral("Brak"));
    EXPECT_FALSE(none->isEnabled());
    EXPECT_FALSE(none->icon().isNull());
    form.toolsMenu()->hide();

    const std::string tools = std::string(kProfile) + "\\Tools";
    WriteRegString(Hive::CurrentUser, tools, "&Kalkulator", "/usr/bin/galculator");
    WriteRegString(Hive::CurrentUser, tools, "Strona", "https://example.org/");
    click(form, centre(builtinArea("BUTTON_TOOLS")));
    const QList<QAction*> items = form.toolsMenu()->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items.at(0)->text(), QStringLiteral("&Kalkulator"));
    EXPECT_EQ(items.at(1)->text(), QStringLiteral("Strona"));
    EXPECT_TRUE(items.at(0)->isEnabled());
    EXPECT_FALSE(items.at(1)->icon().isNull());
    form.toolsMenu()->hide();
    items.at(0)->trigger();
    EXPECT_EQ(windows.take(), QStringList { QStringLiteral("tool /usr/bin/galculator") });
    closeQuietly(form);
}

TEST_F(MainForm, SplashTimerClosesTheSplashThenOffersTheTip)
{
    const struct {
        std::optional<int> startupTip;
        bool tip;
    } rows[] = { { std::nullopt, true }, { 1, true }, { 0, false } };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.startupTip.value_or(-1));
        DeleteRegValue(Hive::CurrentUser, kProfile, "StartupTip");
        if (row.startupTip)
            setProfile("StartupTip", *row.startupTip);
        QPointer<QWidget> splash = new QWidget;
        splash->setObjectName(QStringLiteral("SplashForm"));
        splash->show();
        TMainForm form(splash);
        const auto* timer = form.findChild<QTimer*>(QStringLiteral("SplashTimer"));
        ASSERT_NE(timer, nullptr);
        EXPECT_EQ(timer->interval(), 1000);
        // When the splash goes, its second is over and nothing else has opened yet.
        bool timerWasRunning = true;
        QStringList openedBefore { QStringLiteral("(the splash stayed)") };
        QObject::connect(splash, &QObject::destroyed, &form, [&] {
            timerWasRunning = timer->isActive();
            openedBefore = windows.calls;
        });
        form.show();
        EXPECT_TRUE(QTest::qWaitFor([&] { return splash.isNull(); }, 30000));
        EXPECT_FALSE(timerWasRunning) << "the splash closed before its second";
        EXPECT_TRUE(openedBefore.isEmpty()) << openedBefore.join(QLatin1Char(',')).toStdString();
        EXPECT_EQ(windows.take(), row.tip ? QStringList { QStringLiteral("tip") } : QStringList {});
        closeQuietly(form);
    }
}

TEST_F(MainForm, HandPointerOverHotAreasOnly)
{
    TMainForm form;
    form.show();
    const struct {
        QPoint at;
        bool hand;
    } rows[] = {
        { centre(builtinArea("BUTTON_FE")), true },
        { emptyPoint(), false },
        { centre(builtinArea("BUTTON_SETUP")), true },
        { centre(builtinArea("BUTTON_UUO")), true },
        { emptyPoint() + QPoint(0, 1), false },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.at.x() << "," << row.at.y());
        QTest::mouseMove(form.skinForm(), row.at);
        EXPECT_EQ(form.skinForm()->cursor().shape() == Qt::BitmapCursor, row.hand);
    }
    closeQuietly(form);
}

TEST_F(MainForm, IntroSoundPlaysWhenSoundsIsOne)
{
    const QString intro = path("program/INTRO.WAV");
    {
        QFile file(intro);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("RIFF");
    }
    std::vector<std::string> played;
    SetSoundListener([&played](const std::string& file, bool) { played.push_back(file); });
    const struct {
        std::optional<int> sounds;
        QString file;
        bool plays;
    } rows[] = {
        { 1, intro, true },
        { 1, path("program/BRAK.WAV"), false },
        { std::nullopt, intro, false },
        { 0, intro, false },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file.toStdString());
        played.clear();
        DeleteRegValue(Hive::CurrentUser, kProfile, "Sounds");
        if (row.sounds)
            setProfile("Sounds", *row.sounds);
        WriteRegString(Hive::CurrentUser, kProfile, "IntroSound", ToCp1250(row.file));
        TMainForm form;
        EXPECT_EQ(
            played, row.plays ? std::vector<std::string> { ToPath(intro) } : std::vector<std::string> {});
    }
    SetSoundListener({});
}

TEST_F(MainForm, SkinPackageIsUsedWhenChosenAndRemovedOnClose)
{
#ifdef ORBITA_CONTENT_BUILT
    ASSERT_TRUE(QFile::copy(QStringLiteral(ORBITA_PROGRAM_DIR "/KARNACJE/Niebieski.obs"),
        path("program/KARNACJE/Niebieski.obs")));
    const QString unpacked = FromPath(TempFolder()) + QStringLiteral("ORB_SKIN");
    const struct {
        std::optional<int> useSkin;
        const char* file;
        bool package;
    } rows[] = {
        { 1, "Niebieski.obs", true },
        { 1, "Brak.obs", false },
        { std::nullopt, "Niebieski.obs", false },
        { 0, "Niebieski.obs", false },
    };
    const QImage builtin = [this] {
        TMainForm form;
        form.SetClock([] { return std::string("12:00:00 2026-12-07"); });
        return form.skinForm()->Canvas();
    }();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        DeleteRegValue(Hive::CurrentUser, kProfile, "UseSkin");
        if (row.useSkin)
            setProfile("UseSkin", *row.useSkin);
        WriteRegString(Hive::CurrentUser, kProfile, "SkinFile", row.file);
        TMainForm form;
        form.SetClock([] { return std::string("12:00:00 2026-12-07"); });
        form.show();
        EXPECT_EQ(form.UsesSkinPackage(), row.package);
        EXPECT_EQ(QFileInfo::exists(unpacked), row.package);
        EXPECT_EQ(form.size(), QSize(630, 423));
        EXPECT_EQ(form.skinForm()->Canvas() != builtin, row.package);
        // The commands work the same on the package's hot areas.
        click(form, centre(builtinArea("BUTTON_FE")));
        EXPECT_EQ(windows.take(), QStringList { QStringLiteral("element 26") });
        closeQuietly(form);
        EXPECT_FALSE(QFileInfo::exists(unpacked));
    }
#else
    GTEST_SKIP() << "the content (skin packages) is not built";
#endif
}

} // namespace
} // namespace orbita
