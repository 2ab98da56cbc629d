#include "core/file_version.h"
#include "core/registry.h"
#include "platform/shell_services.h"
#include "tests/platform/platform_test_environment.h"
#include "tests/support/recording_window_opener.h"
#include "windows/main/main_commands.h"
#include "windows/main/menu_form.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>

namespace orbita {
namespace {

const char* const kProfile = "Software\\Orbita\\Administrator";

class MenuForm : public test::PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", "Administrator");
        WriteRegInteger(Hive::CurrentUser, kProfile, "StartupTip", 0);
    }
    void TearDown() override
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->isVisible() && !qobject_cast<QMenu*>(widget))
                ADD_FAILURE() << "left open: " << widget->objectName().toStdString();
    }

    static void setProfile(const char* name, int value)
    {
        WriteRegInteger(Hive::CurrentUser, kProfile, name, value);
    }
    static int profile(const char* name) { return ReadRegInteger(Hive::CurrentUser, kProfile, name); }
    static void closeQuietly(TMenuForm& form)
    {
        setProfile("ExitPrompt", 0);
        form.close();
    }

    test::RecordingWindowOpener windows;
};

TEST_F(MenuForm, OpensWithTitleToolsAndDescriptions)
{
    TMenuForm form;
    EXPECT_EQ(form.windowTitle(), QString::fromStdString(VersionCaption(FileVersionText(ExecutablePath()))));
    EXPECT_TRUE(form.windowTitle().startsWith(QStringLiteral("Orbita")));
    EXPECT_EQ(form.titlePanel()->text(), form.windowTitle());
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(form.minimumSize(), QSize(450, 300));
    const QStringList captions = { QStringLiteral("Tablice chemiczne"), QStringLiteral("Test chemiczny"),
        QStringLiteral("Słownik chemiczny"), QStringLiteral("Informacje o pierwiastkach"),
        QStringLiteral("Wyszukiwanie pierwiastków"), QStringLiteral("Przelicznik jednostek"),
        QStringLiteral("Kalkulator masy molowej"), QStringLiteral("Tablica właściwości") };
    ASSERT_EQ(form.listView()->count(), 8);
    ASSERT_EQ(form.reportView()->topLevelItemCount(), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(form.listView()->item(i)->text(), captions[i]);
        EXPECT_FALSE(form.listView()->item(i)->icon().isNull());
        EXPECT_EQ(form.reportView()->topLevelItem(i)->text(0), captions[i]);
        EXPECT_FALSE(form.reportView()->topLevelItem(i)->text(1).isEmpty());
    }
    EXPECT_EQ(
        form.reportView()->topLevelItem(5)->text(1), QStringLiteral("Przelicza różne jednostki chemiczne"));
    EXPECT_EQ(form.reportView()->headerItem()->text(0), QStringLiteral("Nazwa"));
    EXPECT_EQ(form.reportView()->headerItem()->text(1), QStringLiteral("Opis"));
    const QStringList buttons = { QStringLiteral("DetailsButton"), QStringLiteral("HelpButton"),
        QStringLiteral("ToolsButton"), QStringLiteral("SettingsButton"), QStringLiteral("AboutButton"),
        QStringLiteral("UpdateButton"), QStringLiteral("CloseButton") };
    for (const QString& name : buttons) {
        auto* button = form.findChild<QToolButton*>(name);
        ASSERT_NE(button, nullptr) << name.toStdString();
        EXPECT_FALSE(button->icon().isNull()) << name.toStdString();
        EXPECT_FALSE(button->toolTip().isEmpty()) << name.toStdString();
    }
}

TEST_F(MenuForm, ViewStyleFollowsDetailsOrderAndIsStoredOnClose)
{
    const struct {
        std::optional<int> stored;
        ViewStyle opened;
        ViewStyle chosen; // picked from the menu before closing
    } rows[] = {
        { std::nullopt, ViewStyle::LargeIcons, ViewStyle::Report },
        { 0, ViewStyle::LargeIcons, ViewStyle::SmallIcons },
        { 1, ViewStyle::SmallIcons, ViewStyle::List },
        { 2, ViewStyle::List, ViewStyle::LargeIcons },
        { 3, ViewStyle::Report, ViewStyle::SmallIcons },
        { 7, ViewStyle::LargeIcons, ViewStyle::List },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.stored.value_or(-1));
        DeleteRegValue(Hive::CurrentUser, kProfile, "DetailsOrder");
        if (row.stored)
            setProfile("DetailsOrder", *row.stored);
        TMenuForm form;
        EXPECT_EQ(form.CurrentViewStyle(), row.opened);
        const QList<QAction*> items = form.detailsMenu()->actions();
        ASSERT_EQ(items.size(), 4);
        EXPECT_TRUE(items.at(static_cast<int>(row.opened))->isChecked());
        const bool report = row.opened == ViewStyle::Report;
        form.show();
        EXPECT_EQ(form.reportView()->isVisible(), report);
        EXPECT_EQ(form.listView()->isVisible(), !report);
        if (row.opened == ViewStyle::LargeIcons) {
            EXPECT_EQ(form.listView()->viewMode(), QListView::IconMode);
        }
        if (row.opened == ViewStyle::List) {
            EXPECT_EQ(form.listView()->flow(), QListView::TopToBottom);
        }

        items.at(static_cast<int>(row.chosen))->trigger();
        EXPECT_EQ(form.CurrentViewStyle(), row.chosen);
        EXPECT_TRUE(items.at(static_cast<int>(row.chosen))->isChecked());
        EXPECT_EQ(items.at(static_cast<int>(row.opened))->isChecked(), row.chosen == row.opened);
        closeQuietly(form);
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(profile("DetailsOrder"), static_cast<int>(row.chosen));
        DeleteRegValue(Hive::CurrentUser, kProfile, "ExitPrompt");
    }
}

TEST_F(MenuForm, QuitRule)
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
        { 5, true, true, true },
        { 0, false, false, true },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.exitPrompt.value_or(-1) << " answer " << row.answer);
        DeleteRegValue(Hive::CurrentUser, kProfile, "ExitPrompt");
        DeleteRegValue(Hive::CurrentUser, kProfile, "DetailsOrder");
        if (row.exitPrompt)
            setProfile("ExitPrompt", *row.exitPrompt);
        TMenuForm form;
        QSignalSpy closed(&form, &TMainFormBase::closed);
        form.show();
        QApplication::processEvents();
        windows.take();
        windows.quitAnswer = row.answer;
        QTest::keyClick(form.listView(), Qt::Key_Escape);
        EXPECT_EQ(windows.take(), row.asked ? QStringList { QStringLiteral("quit?") } : QStringList {});
        EXPECT_EQ(form.isVisible(), !row.closes);
        EXPECT_EQ(closed.count(), row.closes ? 1 : 0);
        EXPECT_EQ(profile("DetailsOrder"), row.closes ? 0 : -1);
        if (!row.closes)
            closeQuietly(form);
    }
}

TEST_F(MenuForm, KeysInTheList)
{
    TMenuForm form;
    form.show();
    QApplication::processEvents();
    windows.take();
    windows.chosenElement = 26;
    const struct {
        int selected;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QStringList calls;
    } rows[] = {
        { 0, Qt::Key_Return, Qt::NoModifier, { QStringLiteral("tables") } },
        { 1, Qt::Key_Enter, Qt::NoModifier, { QStringLiteral("test") } },
        { 2, Qt::Key_Return, Qt::NoModifier, { QStringLiteral("dictionary") } },
        { 3, Qt::Key_Return, Qt::NoModifier, { QStringLiteral("choose"), QStringLiteral("element 26") } },
        { 4, Qt::Key_Return, Qt::NoModifier, { QStringLiteral("find") } },
        { 5, Qt::Key_Return, Qt::NoModifier, { QStringLiteral("units") } },
        { 6, Qt::Key_Return, Qt::NoModifier, { QStringLiteral("molar mass") } },
        { 7, Qt::Key_Return, Qt::NoModifier, { QStringLiteral("property table") } },
        { -1, Qt::Key_Return, Qt::NoModifier, {} },
        { 0, Qt::Key_F1, Qt::NoModifier, { QStringLiteral("help O_MENU") } },
        { 0, Qt::Key_F5, Qt::NoModifier, { QStringLiteral("update") } },
        { 0, Qt::Key_F11, Qt::NoModifier, { QStringLiteral("settings") } },
        { 0, Qt::Key_F12, Qt::NoModifier, { QStringLiteral("about") } },
        { 0, Qt::Key_Escape, Qt::ShiftModifier, {} },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.selected << " key " << row.key);
        if (row.selected < 0)
            form.listView()->clearSelection();
        else
            form.listView()->setCurrentRow(row.selected);
        QTest::keyClick(form.listView(), row.key, row.modifiers);
        EXPECT_TRUE(windows.ownedBy(&form));
        EXPECT_EQ(windows.take(), row.calls);
    }
    EXPECT_TRUE(form.isVisible());
    // A cancelled element choice opens no element.
    windows.chosenElement.reset();
    form.listView()->setCurrentRow(3);
    QTest::keyClick(form.listView(), Qt::Key_Return);
    EXPECT_EQ(windows.take(), QStringList { QStringLiteral("choose") });
    // The report view opens the same tools.
    form.SetViewStyle(ViewStyle::Report);
    EXPECT_EQ(form.reportView()->currentItem(), form.reportView()->topLevelItem(3));
    form.reportView()->setCurrentItem(form.reportView()->topLevelItem(5));
    QTest::keyClick(form.reportView(), Qt::Key_Return);
    EXPECT_EQ(windows.take(), QStringList { QStringLiteral("units") });
    // F10 and F9 open the view and the tools menus.
    QTest::keyClick(form.reportView(), Qt::Key_F10);
    EXPECT_TRUE(form.detailsMenu()->isVisible());
    form.detailsMenu()->hide();
    QTest::keyClick(form.reportView(), Qt::Key_F9);
    EXPECT_TRUE(form.toolsMenu()->isVisible());
    form.toolsMenu()->hide();
    closeQuietly(form);
}

TEST_F(MenuForm, ToolbarButtons)
{
    windows.quitAnswer = false;
    TMenuForm form;
    form.show();
    QApplication::processEvents();
    windows.take();
    const struct {
        const char* button;
        QStringList calls;
        const char* menu;
    } rows[] = {
        { "DetailsButton", {}, "DetailsMenu" },
        { "HelpButton", { QStringLiteral("help O_MENU") }, nullptr },
        { "ToolsButton", {}, "ToolsMenu" },
        { "SettingsButton", { QStringLiteral("settings") }, nullptr },
        { "AboutButton", { QStringLiteral("about") }, nullptr },
        { "UpdateButton", { QStringLiteral("update") }, nullptr },
        { "CloseButton", { QStringLiteral("quit?") }, nullptr },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.button);
        auto* button = form.findChild<QToolButton*>(QString::fromLatin1(row.button));
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(windows.take(), row.calls);
        QMenu* shown = form.detailsMenu()->isVisible() ? form.detailsMenu()
            : form.toolsMenu()->isVisible()            ? form.toolsMenu()
                                                       : nullptr;
        if (row.menu) {
            ASSERT_NE(shown, nullptr);
            EXPECT_EQ(shown->objectName(), QString::fromLatin1(row.menu));
            // At the button's left edge, 25 pixels below its top.
            EXPECT_EQ(shown->pos(), button->mapToGlobal(QPoint(0, 25)));
            shown->hide();
        } else {
            EXPECT_EQ(shown, nullptr);
        }
    }
    EXPECT_TRUE(form.isVisible());
    // Keys reach the window also when the list does not hold the focus.
    form.setFocus();
    QTest::keyClick(&form, Qt::Key_F12);
    EXPECT_EQ(windows.take(), QStringList { QStringLiteral("about") });
    closeQuietly(form);
}

TEST_F(MenuForm, ToolsMenuShowsBrakOrTheUsersTools)
{
    {
        TMenuForm form;
        form.show();
        form.ToolsButtonClick();
        const QList<QAction*> items = form.toolsMenu()->actions();
        ASSERT_EQ(items.size(), 1);
        EXPECT_EQ(items.at(0)->text(), QStringLiteral("Brak"));
        EXPECT_FALSE(items.at(0)->isEnabled());
        EXPECT_FALSE(items.at(0)->icon().isNull());
        form.toolsMenu()->hide();
        closeQuietly(form);
    }
    DeleteRegValue(Hive::CurrentUser, kProfile, "ExitPrompt");
    const std::string tools = std::string(kProfile) + "\\Tools";
    WriteRegString(Hive::CurrentUser, tools, "&Notatnik", "/usr/bin/gedit");
    WriteRegString(Hive::CurrentUser, tools, "Strona", "https://example.org/");
    WriteRegString(Hive::CurrentUser, tools,
        "\xA3"
        "adowanie",
        "/bin/true"); // "Ładowanie" in Windows-1250
    TMenuForm form;
    form.show();
    form.ToolsButtonClick();
    const QList<QAction*> items = form.toolsMenu()->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items.at(0)->text(), QStringLiteral("&Notatnik"));
    EXPECT_EQ(items.at(1)->text(), QStringLiteral("Strona"));
    EXPECT_EQ(items.at(2)->text(), QStringLiteral("Ładowanie"));
    for (QAction* item : items) {
        EXPECT_TRUE(item->isEnabled());
        EXPECT_FALSE(item->icon().isNull());
    }
    form.toolsMenu()->hide();
    windows.take();
    // The value is read when the item is clicked.
    WriteRegString(Hive::CurrentUser, tools, "Strona", "https://example.org/nowa");
    items.at(1)->trigger();
    items.at(2)->trigger();
    EXPECT_EQ(windows.take(),
        (QStringList { QStringLiteral("tool https://example.org/nowa"), QStringLiteral("tool /bin/true") }));
    // Rebuilt at every opening.
    DeleteRegKey(Hive::CurrentUser, tools);
    form.ToolsButtonClick();
    ASSERT_EQ(form.toolsMenu()->actions().size(), 1);
    EXPECT_EQ(form.toolsMenu()->actions().at(0)->text(), QStringLiteral("Brak"));
    form.toolsMenu()->hide();
    closeQuietly(form);
}

TEST_F(MenuForm, ClockShowsTheInjectedTime)
{
    TMenuForm form;
    EXPECT_EQ(form.clockPanel()->text().size(), 19); // NowText at opening
    int ticks = 0;
    form.SetClock([&ticks] {
        return ++ticks == 1 ? std::string("04:30:55 2026-12-07") : std::string("04:30:56 2026-12-07");
    });
    EXPECT_EQ(form.clockPanel()->text(), QStringLiteral("04:30:55 2026-12-07"));
    form.show();
    // The panel follows the clock at the next tick of the one-second timer.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return form.clockPanel()->text() == QStringLiteral("04:30:56 2026-12-07"); }, 30000));
    closeQuietly(form);
}

TEST_F(MenuForm, PanelsFollowTheWindowSize)
{
    TMenuForm form;
    form.SetViewStyle(ViewStyle::Report);
    form.show();
    for (const QSize size : { QSize(600, 400), QSize(800, 560), QSize(450, 300) }) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        form.resize(size);
        QApplication::processEvents();
        EXPECT_EQ(form.titlePanel()->width(), size.width() - 23);
        EXPECT_EQ(form.mainPanel()->width(), size.width() - 23);
        EXPECT_EQ(form.mainPanel()->height(), size.height() - 95);
        EXPECT_EQ(form.clockPanel()->y(), form.mainPanel()->height() + 60);
        EXPECT_EQ(form.clockPanel()->x(), form.mainPanel()->width() - 175);
        const int names = form.reportView()->columnWidth(0);
        EXPECT_GE(names, 120);
        // The descriptions fill the list beside the names, never cut.
        const int descriptions = form.reportView()->columnWidth(1);
        EXPECT_GE(descriptions, form.reportView()->viewport()->width() - names);
        for (int i = 0; i < 8; ++i)
            EXPECT_GE(descriptions,
                form.reportView()->fontMetrics().horizontalAdvance(
                    form.reportView()->topLevelItem(i)->text(1)));
    }
    form.resize(300, 200);
    EXPECT_EQ(form.size(), QSize(450, 300));
    closeQuietly(form);
}

// At its opening size the report view shows every name and description
// whole, and the window stands centred on the screen like every other.
TEST_F(MenuForm, ReportViewShowsNamesAndDescriptionsWholeAndOpensCentred)
{
    TMenuForm form;
    form.SetViewStyle(ViewStyle::Report);
    form.show();
    QApplication::processEvents();
    QTreeWidget& report = *form.reportView();
    const QFontMetrics metrics(report.font());
    int descriptions = 0;
    for (int i = 0; i < report.topLevelItemCount(); ++i) {
        const QTreeWidgetItem& item = *report.topLevelItem(i);
        SCOPED_TRACE(item.text(0).toStdString());
        const QRect name = report.visualRect(report.model()->index(i, 0));
        const QRect description = report.visualRect(report.model()->index(i, 1));
        EXPECT_GE(name.width(), report.iconSize().width() + metrics.horizontalAdvance(item.text(0)));
        EXPECT_GE(description.width(), metrics.horizontalAdvance(item.text(1)));
        descriptions = std::max(descriptions, description.right());
    }
    EXPECT_LE(descriptions, report.viewport()->width()) << "no description runs past the list";
    EXPECT_FALSE(report.horizontalScrollBar()->isVisible());

    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((form.frameGeometry().center() - screen.center()).manhattanLength(), 2);

    // The same title panel as every dialog, and keys written as every window writes them.
    EXPECT_EQ(form.titlePanel()->palette().color(QPalette::Window), QColor(0x1F, 0x3A, 0x6E));
    for (QToolButton* button : form.findChildren<QToolButton*>())
        EXPECT_TRUE(
            QRegularExpression(QStringLiteral("\\[(F[0-9]+|Esc)\\]$")).match(button->toolTip()).hasMatch())
            << button->toolTip().toStdString();
    closeQuietly(form);
}

TEST_F(MenuForm, FirstShowOffersTheTipOnce)
{
    const struct {
        std::optional<int> startupTip;
        bool shown;
    } rows[] = { { std::nullopt, true }, { 1, true }, { 0, false } };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.startupTip.value_or(-1));
        DeleteRegValue(Hive::CurrentUser, kProfile, "StartupTip");
        if (row.startupTip)
            setProfile("StartupTip", *row.startupTip);
        TMenuForm form;
        form.show();
        QApplication::processEvents();
        form.hide();
        form.show();
        QApplication::processEvents();
        EXPECT_EQ(windows.take().count(QStringLiteral("tip")), row.shown ? 1 : 0);
        closeQuietly(form);
        DeleteRegValue(Hive::CurrentUser, kProfile, "ExitPrompt");
    }
}

TEST_F(MenuForm, HintsFollowShowHint)
{
    TMenuForm form;
    form.show();
    auto* button = form.findChild<QToolButton*>(QStringLiteral("HelpButton"));
    ASSERT_NE(button, nullptr);
    const struct {
        std::optional<int> showHint;
        bool allowed;
    } rows[] = { { std::nullopt, true }, { 1, true }, { 0, false } };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.showHint.value_or(-1));
        DeleteRegValue(Hive::CurrentUser, kProfile, "ShowHint");
        if (row.showHint)
            setProfile("ShowHint", *row.showHint);
        QToolTip::hideText();
        ASSERT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 30000));
        QHelpEvent hint(QEvent::ToolTip, QPoint(2, 2), button->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(button, &hint);
        EXPECT_EQ(QToolTip::isVisible(), row.allowed);
        EXPECT_EQ(QToolTip::text(), row.allowed ? button->toolTip() : QString());
    }
    QToolTip::hideText();
    closeQuietly(form);
}

} // namespace
} // namespace orbita
