// Every window as a screen reader meets it: each control that Tab reaches has
// a name (its own, its caption or the label that names it), the controls
// without a caption of their own also say what they are for, and Tab walks
// the controls in the order the window lays them out.

#include "core/cp1250.h"
#include "core/registry.h"
#include "core/settings.h"
#include "htmlview/html_view_widget.h"
#include "platform/scripted_ui_services.h"
#include "tests/data/test_zip_writer.h"
#include "tests/platform/platform_test_environment.h"
#include "tests/support/recording_window_opener.h"
#include "widgets/accessible_text.h"
#include "widgets/find_dialog.h"
#include "windows/dialogs/about_form.h"
#include "windows/dialogs/choice_form.h"
#include "windows/dialogs/quit_form.h"
#include "windows/dialogs/splash_form.h"
#include "windows/dialogs/tip_form.h"
#include "windows/element/element_form.h"
#include "windows/element/find_form.h"
#include "windows/main/main_form.h"
#include "windows/main/menu_form.h"
#include "windows/main/simple_main_window.h"
#include "windows/molar/molar_form.h"
#include "windows/properties/property_table_form.h"
#include "windows/reference/dict_form.h"
#include "windows/reference/help_form.h"
#include "windows/reference/tables_form.h"
#include "windows/settings/font_form.h"
#include "windows/settings/login_form.h"
#include "windows/settings/settings_form.h"
#include "windows/setup/install_form.h"
#include "windows/setup/uninstall_form.h"
#include "windows/test/test_form.h"
#include "windows/units/units_form.h"
#include "windows/update/update_form.h"

#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>
#include <functional>
#include <memory>

namespace orbita {
namespace {

// A control the user reaches with Tab: shown, enabled, taking Tab focus
// itself (a widget that hands its focus to another is that other's part).
bool tabStop(const QWidget& widget)
{
    return widget.isVisible() && widget.isEnabled() && (widget.focusPolicy() & Qt::TabFocus) != 0
        && widget.focusProxy() == nullptr;
}

QString accessibleText(QWidget& widget, QAccessible::Text kind)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&widget);
    return face == nullptr ? QString() : face->text(kind).remove(u'&').trimmed();
}

// The name a screen reader says. A list box's accessible name on Linux is
// its current entry, so it counts only when set, or as the label that names
// the box.
QString spokenName(QWidget& widget)
{
    if (qobject_cast<QComboBox*>(&widget) == nullptr)
        return accessibleText(widget, QAccessible::Name);
    if (!widget.accessibleName().trimmed().isEmpty())
        return widget.accessibleName().trimmed();
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&widget);
    if (face != nullptr)
        for (const auto& [label, relation] : face->relations(QAccessible::Label)) {
            Q_UNUSED(relation);
            if (label != nullptr && !label->text(QAccessible::Name).remove(u'&').trimmed().isEmpty())
                return label->text(QAccessible::Name).remove(u'&').trimmed();
        }
    return {};
}

// Controls that show no caption of their own: a name alone does not say what
// to type or choose, so they carry a description too.
bool needsDescription(const QWidget& widget)
{
    if (qobject_cast<const QScrollBar*>(&widget) != nullptr)
        return false;
    return qobject_cast<const QLineEdit*>(&widget) != nullptr
        || qobject_cast<const QPlainTextEdit*>(&widget) != nullptr
        || qobject_cast<const QTextEdit*>(&widget) != nullptr
        || qobject_cast<const QComboBox*>(&widget) != nullptr
        || qobject_cast<const QAbstractItemView*>(&widget) != nullptr
        || qobject_cast<const QAbstractSlider*>(&widget) != nullptr
        || qobject_cast<const QAbstractSpinBox*>(&widget) != nullptr || widget.inherits("orbita::ThtmlLite")
        || widget.inherits("orbita::TSkinForm") || widget.inherits("orbita::TMainForm");
}

QString describe(const QWidget& widget)
{
    return QStringLiteral("%1 (%2)").arg(
        widget.objectName().isEmpty() ? QStringLiteral("<bez nazwy>") : widget.objectName(),
        QString::fromLatin1(widget.metaObject()->className()));
}

// The controls of `window` in the order Tab visits them.
QList<QWidget*> tabSequence(QWidget& window)
{
    QList<QWidget*> order;
    QWidget* at = &window;
    for (int guard = 0; guard < 10000; ++guard) {
        at = at->nextInFocusChain();
        if (at == &window || at == nullptr)
            break;
        if (at->window() == &window && tabStop(*at) && !order.contains(at))
            order << at;
    }
    return order;
}

// Tab order follows the layout when no control is reached after one it lies
// wholly above (in the same column), nor after one it lies wholly left of
// (in the same row). Controls of different columns or rows may come in
// either order, which leaves the window's designer room.
QStringList orderFaults(QWidget& window, const QList<QWidget*>& order)
{
    QStringList faults;
    QList<QRect> places;
    for (QWidget* widget : order)
        places << QRect(widget->mapTo(&window, QPoint(0, 0)), widget->size());
    for (int i = 0; i < order.size(); ++i)
        for (int j = i + 1; j < order.size(); ++j) {
            const QRect& first = places[i];
            const QRect& later = places[j];
            const bool sameColumn = later.left() < first.right() && first.left() < later.right();
            const bool sameRow = first.top() <= later.center().y() && later.center().y() <= first.bottom()
                && later.top() <= first.center().y() && first.center().y() <= later.bottom();
            if (sameColumn && later.bottom() < first.top())
                faults << QStringLiteral("%1 po %2, choć leży nad nim")
                              .arg(describe(*order[j]), describe(*order[i]));
            else if (sameRow && later.right() < first.left())
                faults << QStringLiteral("%1 po %2, choć leży na lewo od niego")
                              .arg(describe(*order[j]), describe(*order[i]));
        }
    return faults;
}

struct Check {
    bool order = true; // false where the window's designed order differs from its layout
};

// Everything a screen reader user would stumble on in the window as shown.
QStringList accessibilityFaults(QWidget& window, Check check = {})
{
    QApplication::processEvents();
    QStringList faults;
    QList<QWidget*> controls;
    for (QWidget* widget : window.findChildren<QWidget*>())
        if (widget->window() == &window && tabStop(*widget))
            controls << widget;
    // A window drawn whole by itself (the skinned table) is its own control.
    if (tabStop(window))
        controls << &window;
    for (QWidget* widget : controls) {
        if (spokenName(*widget).isEmpty())
            faults << QStringLiteral("bez nazwy: ") + describe(*widget);
        if (needsDescription(*widget) && accessibleText(*widget, QAccessible::Description).isEmpty())
            faults << QStringLiteral("bez opisu: ") + describe(*widget);
    }
    const QList<QWidget*> order = tabSequence(window);
    for (QWidget* widget : controls)
        if (!order.contains(widget) && widget != &window)
            faults << QStringLiteral("poza kolejnością Tab: ") + describe(*widget);
    if (check.order)
        faults << orderFaults(window, order);
    return faults;
}

#define EXPECT_ACCESSIBLE(label, ...)                                                                        \
    do {                                                                                                     \
        const QStringList faults = accessibilityFaults(__VA_ARGS__);                                         \
        EXPECT_TRUE(faults.isEmpty())                                                                        \
            << (label) << ":\n  " << faults.join(QStringLiteral("\n  ")).toStdString();                      \
    } while (false)

// Each page of a notebook in turn.
void forEachPage(QStackedWidget& pages, const std::function<void(const QString&)>& visit)
{
    for (int i = 0; i < pages.count(); ++i) {
        pages.setCurrentIndex(i);
        QApplication::processEvents();
        visit(pages.currentWidget()->objectName());
    }
}

class Accessibility : public test::PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", "Administrator");
        WriteRegInteger(Hive::CurrentUser, "Software\\Orbita\\Administrator", "StartupTip", 0);
        ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("program/TESTY")));
        m_env.set("ORBITA_PROGRAM_DIR", path("program"));
#ifdef ORBITA_CONTENT_BUILT
        const QDir built(QString::fromUtf8(ORBITA_PROGRAM_DIR));
        m_archive = built.filePath(QStringLiteral("ORBITA.DAT")).toStdString();
        // The content archive as this test program names it, and the shipped skins.
        const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toUpper()
            + QStringLiteral(".DAT");
        ASSERT_TRUE(QFile::link(QString::fromStdString(m_archive), QDir(path("program")).filePath(name)));
        ASSERT_TRUE(QFile::link(built.filePath(QStringLiteral("KARNACJE")), path("program/KARNACJE")));
#else
        GTEST_SKIP() << "content archive not built";
#endif
    }
    void TearDown() override
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->isVisible() && !qobject_cast<QMenu*>(widget)) {
                ADD_FAILURE() << "left open: " << widget->objectName().toStdString();
                widget->hide();
            }
    }

    static void show(QWidget& window)
    {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, 30000));
    }

    std::string m_archive;
    ScriptedUiServices ui;
    test::RecordingWindowOpener windows;
};

TEST_F(Accessibility, MainWindowsAndLauncher)
{
    {
        TMainForm form;
        show(form);
        EXPECT_ACCESSIBLE("okno główne", form);
        WriteRegInteger(Hive::CurrentUser, "Software\\Orbita\\Administrator", "ExitPrompt", 0);
        form.close();
    }
    {
        TMenuForm form;
        show(form);
        EXPECT_ACCESSIBLE("okno menu", form);
        WriteRegInteger(Hive::CurrentUser, "Software\\Orbita\\Administrator", "ExitPrompt", 0);
        form.close();
    }
    {
        SimpleMainWindow form(QStringLiteral("Prosty"), QStringLiteral("Orbita"), QStringLiteral("Tekst"),
            QStringLiteral("O_MENU"));
        show(form);
        EXPECT_ACCESSIBLE("okno uproszczone", form);
        form.close();
    }
}

TEST_F(Accessibility, ElementAndFindWindows)
{
    {
        TElementForm form(26);
        show(form);
        forEachPage(*form.Notebook, [&](const QString& page) {
            EXPECT_ACCESSIBLE(std::string("okno pierwiastka, ") + page.toStdString(), form);
        });
        // The find box that the element, dictionary and reference windows share.
        QDialog& find = *form.FindDialog;
        show(find);
        EXPECT_ACCESSIBLE("szukanie tekstu", find);
        find.hide();
        form.done(mrOk);
    }
    {
        TFindForm form(nullptr, m_archive);
        show(form);
        EXPECT_ACCESSIBLE("wyszukiwanie", form);
        form.done(mrOk);
    }
    {
        TChoiceForm form;
        show(form);
        EXPECT_ACCESSIBLE("wybór pierwiastka", form);
        form.done(mrCancel);
    }
}

TEST_F(Accessibility, ReferenceWindows)
{
    {
        TDictForm form;
        show(form);
        EXPECT_ACCESSIBLE("słownik", form);
        form.done(mrOk);
    }
    {
        TTablesForm form;
        show(form);
        EXPECT_ACCESSIBLE("tablice", form);
        form.done(mrOk);
    }
    {
        THelpForm form { QString() };
        show(form);
        EXPECT_ACCESSIBLE("pomoc", form);
        form.done(mrOk);
    }
}

TEST_F(Accessibility, TestWindowChoiceRunAndResults)
{
    std::string text = "Tytul=Dodawanie\r\nAutor=Jan Kowalski\r\nOpis=Opis testu\r\n"
                       "Pytanie1=Ile to 1+1?\r\nOpcja1=3\r\nOpcja2=2\r\nOdpowiedź=2\r\n";
    text += "Ocena1=0:Niedostatecznie\r\nOcena2=0:Dopuszczająco\r\nOcena3=0:Dostatecznie\r\n"
            "Ocena4=1:Dobrze\r\nOcena5=1:Bardzo dobrze\r\nOcena6=1:Celująco\r\n";
    test::TestZipWriter zip;
    zip.members.push_back(test::Deflated("test.txt", *Utf8ToCp1250(text)));
    test::WriteBytes(path("program/TESTY/Dodawanie.obt").toStdString(), zip.Build());

    TTestForm form(nullptr, [] { return std::int64_t { 1000 }; });
    show(form);
    form.TestList->setCurrentItem(form.TestList->topLevelItem(0));
    ASSERT_EQ(form.CurrentPage(), TTestForm::Page::Choice);
    EXPECT_ACCESSIBLE("test, wybór", form);
    form.StartButtonClick();
    ASSERT_EQ(form.CurrentPage(), TTestForm::Page::Test);
    EXPECT_ACCESSIBLE("test w toku", form);
    auto* radio = qobject_cast<QRadioButton*>(form.TestHtml->ControlWidget(1));
    ASSERT_NE(radio, nullptr);
    EXPECT_EQ(accessibleText(*radio, QAccessible::Name), QStringLiteral("2")); // the option written beside it
    radio->setChecked(true);
    form.NextButtonClick();
    QApplication::processEvents();
    ASSERT_EQ(form.CurrentPage(), TTestForm::Page::Results);
    EXPECT_ACCESSIBLE("wyniki testu", form);
    form.done(mrOk);
}

TEST_F(Accessibility, ToolWindows)
{
    {
        TUnitsForm form;
        show(form);
        EXPECT_ACCESSIBLE("jednostki", form);
        form.done(mrOk);
    }
    {
        TMolarForm form(nullptr, m_archive);
        show(form);
        EXPECT_ACCESSIBLE("masa molowa", form);
        form.done(mrOk);
    }
    {
        TPropertyTableForm form(nullptr, m_archive);
        show(form);
        EXPECT_ACCESSIBLE("tablica właściwości", form);
        form.findChild<QRadioButton*>(QStringLiteral("StanPrzycisk"))->click();
        EXPECT_ACCESSIBLE("tablica właściwości, stan skupienia", form);
        form.done(mrOk);
    }
    {
        TUpdateForm form;
        show(form);
        forEachPage(*form.Notebook, [&](const QString& page) {
            EXPECT_ACCESSIBLE(std::string("aktualizacja, ") + page.toStdString(), form);
        });
        form.done(mrCancel);
    }
}

TEST_F(Accessibility, SettingsEveryPageLoginAndFont)
{
    {
        TSettingsForm form;
        show(form);
        for (int i = 0; i < form.Notebook->count(); ++i) {
            form.SetupTab(i);
            QApplication::processEvents();
            EXPECT_ACCESSIBLE(
                std::string("ustawienia, ") + form.Notebook->currentWidget()->objectName().toStdString(),
                form);
        }
        form.done(mrCancel);
    }
    {
        // A user's own account page, with the password boxes.
        CreateAccount("Ania");
        WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", "Ania");
        TSettingsForm form;
        show(form);
        form.SetupTab(6);
        ASSERT_EQ(form.Notebook->currentWidget()->objectName(), QStringLiteral("Konta"));
        EXPECT_ACCESSIBLE("ustawienia, konto użytkownika", form);
        form.done(mrCancel);
        WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", "Administrator");
    }
    {
        TLoginForm form;
        show(form);
        // Designed so: the password, below the account, comes first, as the
        // last account used is already chosen when the window opens.
        EXPECT_ACCESSIBLE("logowanie", form, Check { .order = false });
        form.done(mrCancel);
    }
    {
        TFontForm form;
        show(form);
        EXPECT_ACCESSIBLE("wygląd", form);
        form.done(mrCancel);
    }
}

TEST_F(Accessibility, InstallerPagesAndUninstaller)
{
    ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("source")));
    QFile program(path("source/orbita"));
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    program.write("program ORBITA-FILEVERSION:3.5.1.0");
    program.close();
    {
        TInstallForm form(InstallerSource { stdPath("source") + "/", stdPath("source/orbita"), "3.5.1.0" },
            [](const QString&, const QStringList&) { return true; });
        show(form);
        forEachPage(*form.Pages, [&](const QString& page) {
            EXPECT_ACCESSIBLE(std::string("instalator, ") + page.toStdString(), form);
        });
        form.hide();
    }
    {
        TUninstallForm form;
        show(form);
        EXPECT_ACCESSIBLE("deinstalator", form);
        form.hide();
    }
}

TEST_F(Accessibility, SmallDialogs)
{
    {
        TAboutForm form;
        show(form);
        forEachPage(*form.Notebook, [&](const QString& page) {
            EXPECT_ACCESSIBLE(std::string("o programie, ") + page.toStdString(), form);
        });
        form.done(mrOk);
    }
    {
        TTipForm form(nullptr, [](int) { return 0; });
        show(form);
        EXPECT_ACCESSIBLE("porada dnia", form);
        form.done(mrOk);
    }
    {
        TQuitForm form;
        show(form);
        EXPECT_ACCESSIBLE("zamykanie", form);
        form.done(mrNo);
    }
    {
        auto* splash = new TSplashForm;
        show(*splash);
        EXPECT_ACCESSIBLE("ekran powitalny", *splash);
        splash->hide();
        delete splash;
    }
}

// The check itself: it finds an unnamed edit, a missing description and a
// button placed before the edit above it.
TEST(AccessibilityCheck, CatchesUnnamedControlsAndAWrongTabOrder)
{
    QWidget window;
    window.resize(300, 200);
    // Made before the edit above it, the button comes first in the Tab order.
    auto* button = new QPushButton(QStringLiteral("&Oblicz"), &window);
    button->setGeometry(10, 60, 100, 24);
    auto* edit = new QLineEdit(&window);
    edit->setObjectName(QStringLiteral("Pole"));
    edit->setGeometry(10, 10, 200, 24);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QStringList faults = accessibilityFaults(window);
    EXPECT_TRUE(faults.contains(QStringLiteral("bez nazwy: Pole (QLineEdit)")))
        << faults.join(u'\n').toStdString();
    EXPECT_TRUE(faults.contains(QStringLiteral("bez opisu: Pole (QLineEdit)")))
        << faults.join(u'\n').toStdString();
    EXPECT_TRUE(
        faults.contains(QStringLiteral("Pole (QLineEdit) po <bez nazwy> (QPushButton), choć leży nad nim")))
        << faults.join(u'\n').toStdString();

    edit->setAccessibleName(QStringLiteral("Wzór"));
    edit->setToolTip(QStringLiteral("Wpisz wzór"));
    delete button; // made again after the edit, it follows it
    button = new QPushButton(QStringLiteral("&Oblicz"), &window);
    button->setGeometry(10, 60, 100, 24);
    button->show();
    EXPECT_TRUE(accessibilityFaults(window).isEmpty())
        << accessibilityFaults(window).join(u'\n').toStdString();
    // Two buttons of one row, reached right to left.
    auto* next = new QPushButton(QStringLiteral("Dalej"), &window);
    next->setGeometry(120, 60, 60, 24);
    next->show();
    QWidget::setTabOrder(edit, next);
    const QStringList row = accessibilityFaults(window);
    EXPECT_EQ(row.size(), 1) << row.join(u'\n').toStdString();

    // A list box is not named by the entry it shows, only by its own name or its label.
    auto* list = new QComboBox(&window);
    list->setObjectName(QStringLiteral("Lista"));
    list->addItem(QStringLiteral("jeden"));
    list->setToolTip(QStringLiteral("Wybierz"));
    list->setGeometry(10, 110, 100, 24);
    list->show();
    EXPECT_TRUE(accessibilityFaults(window).contains(QStringLiteral("bez nazwy: Lista (QComboBox)")));
    auto* caption = new QLabel(QStringLiteral("&Liczba"), &window);
    caption->setGeometry(120, 110, 60, 24);
    caption->setBuddy(list);
    caption->show();
    EXPECT_FALSE(accessibilityFaults(window).contains(QStringLiteral("bez nazwy: Lista (QComboBox)")));
    window.hide();
}

// A chain set after the controls were made in another order also moves its
// first control to the start, where Tab begins when the window opens.
TEST(AccessibilityCheck, TabChainStartsTheWindowsOrder)
{
    QWidget window;
    auto* last = new QPushButton(QStringLiteral("Zamknij"), &window);
    auto* middle = new QPushButton(QStringLiteral("Pomoc"), &window);
    auto* first = new QLineEdit(&window);
    SetTabChain({ first, middle, last });
    EXPECT_EQ(window.focusPolicy(), Qt::NoFocus); // the window itself still takes no focus
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(tabSequence(window), (QList<QWidget*> { first, middle, last }));
    window.hide();
}

} // namespace
} // namespace orbita
