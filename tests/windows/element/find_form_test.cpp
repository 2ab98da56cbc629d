// The element search window on the built content archive: its lists, the
// search through its controls, the history in the store across openings,
// opening a result and its keys.

#include "core/cp1250.h"
#include "core/registry.h"
#include "data/text_lines.h"
#include "platform/scripted_ui_services.h"
#include "tests/platform/platform_test_environment.h"
#include "tests/support/recording_window_opener.h"
#include "windows/element/element_page.h"
#include "windows/element/find_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace orbita {
namespace {

const char* const kHistoryKey = "Software\\Orbita\\Ewa\\FindKeywords";
const std::string kArchive = std::string(ORBITA_PROGRAM_DIR) + "/ORBITA.DAT";

// Each element's Polish name (UTF-8) from the database's source.
std::vector<QString> PolishNames()
{
    std::ifstream in(ORBITA_SOURCE_DIR "/content/ORBITA/UKLAD/DANE.TXT", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<QString> names(kLastElement + 1);
    int property = 0;
    for (const std::string& line : SplitTextLines(text.str())) {
        if (line.starts_with('['))
            ++property;
        else if (property == 1 && ElementLineKey(line))
            names.at(*ElementLineKey(line)) = QString::fromStdString(std::string(*LineValueText(line)));
    }
    return names;
}

class FindForm : public test::PlatformTest {
protected:
    void SetUp() override
    {
#ifndef ORBITA_CONTENT_BUILT
        GTEST_SKIP() << "the content archive is not built";
#endif
        PlatformTest::SetUp();
        WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", "Ewa");
    }
    void TearDown() override
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            EXPECT_FALSE(widget->isVisible()) << widget->objectName().toStdString();
    }

    template <typename T> static T* part(QWidget& form, const char* name)
    {
        T* widget = form.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    static QComboBox* text(QWidget& f)
    {
        return part<QComboBox>(f, "SzukajPole");
    }
    static QListWidget* results(QWidget& f)
    {
        return part<QListWidget>(f, "RezultatyLista");
    }
    static QString summary(QWidget& f)
    {
        return part<QLabel>(f, "OpisHtml")->text();
    }
    static QStringList entries(QWidget& f)
    {
        QStringList list;
        for (int i = 0; i < results(f)->count(); ++i)
            list << results(f)->item(i)->text();
        return list;
    }
    static void search(QWidget& f, const QString& what, bool whole = false)
    {
        text(f)->setEditText(what);
        part<QCheckBox>(f, "CaleOpcja")->setChecked(whole);
        part<QPushButton>(f, "SzukajPrzycisk")->click();
    }

    test::RecordingWindowOpener windows;
};

TEST_F(FindForm, OpensWithSortedPropertyListsOnThePolishName)
{
    TFindForm form(nullptr, kArchive);
    EXPECT_EQ(form.objectName(), QStringLiteral("FindForm"));
    EXPECT_EQ(form.title(), QStringLiteral("Wyszukiwanie pierwiastków"));
    const std::vector<std::pair<const char*, QString>> captions = {
        { "KryteriaOpisPanel", QStringLiteral("Kryteria") },
        { "SzukajEtykieta", QStringLiteral("Z&najdź") },
        { "PrzeszukajEtykieta", QStringLiteral("Szukaj &w") },
        { "WyswietlEtykieta", QStringLiteral("Wyświetl jak&o") },
        { "RezultatyOpisPanel", QStringLiteral("Rezultaty") },
    };
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(part<QLabel>(form, name)->text(), caption) << name;
    EXPECT_EQ(part<QCheckBox>(form, "CaleOpcja")->text(), QStringLiteral("&Tylko całe wyrazy"));
    EXPECT_EQ(part<QPushButton>(form, "SzukajPrzycisk")->text(), QStringLiteral("&Szukaj"));
    EXPECT_EQ(part<QPushButton>(form, "PomocPrzycisk")->text(), QStringLiteral("Pomo&c"));
    EXPECT_EQ(part<QPushButton>(form, "ZamknijPrzycisk")->text(), QStringLiteral("&Zamknij"));

    for (const char* name : { "PrzeszukajPole", "WyswietlPole" }) {
        SCOPED_TRACE(name);
        QComboBox* list = part<QComboBox>(form, name);
        EXPECT_FALSE(list->isEditable());
        ASSERT_EQ(list->count(), 22);
        EXPECT_EQ(list->currentText(), QStringLiteral("Nazwa polska"));
        EXPECT_EQ(list->itemText(0), QStringLiteral("Blok"));
        EXPECT_EQ(list->findText(QStringLiteral("Nazwa łacińska")) + 1,
            list->findText(QStringLiteral("Nazwa polska")));
        EXPECT_LT(list->findText(QStringLiteral("Gęstość")), list->findText(QStringLiteral("Grupa")));
    }
    EXPECT_TRUE(text(form)->isEditable());
    EXPECT_TRUE(text(form)->currentText().isEmpty());
    EXPECT_FALSE(part<QPushButton>(form, "SzukajPrzycisk")->isEnabled());
    EXPECT_FALSE(results(form)->isEnabled());
    EXPECT_EQ(part<QLabel>(form, "OpisHtml")->font().family(), QStringLiteral("Tahoma"));
}

TEST_F(FindForm, PartOfTheNameFindsEveryNameHoldingIt)
{
    const std::vector<QString> names = PolishNames();
    QStringList withNe;
    for (int z = kFirstElement; z <= kLastElement; ++z)
        if (names.at(z).contains(QStringLiteral("ne"), Qt::CaseInsensitive))
            withNe << names.at(z);
    ASSERT_GE(withNe.size(), 5);

    TFindForm form(nullptr, kArchive);
    search(form, QStringLiteral("ne"));
    EXPECT_EQ(entries(form), withNe);
    EXPECT_TRUE(results(form)->isEnabled());
    EXPECT_EQ(summary(form),
        QStringLiteral("Znaleziono %1 pasujących elementów, ich wartości nie posiadają jednostek:")
            .arg(withNe.size()));
    EXPECT_TRUE(part<QPushButton>(form, "SzukajPrzycisk")->isEnabled());

    search(form, QStringLiteral("NE"));
    EXPECT_EQ(entries(form), withNe);
    search(form, QStringLiteral("xq"));
    EXPECT_TRUE(entries(form).isEmpty());
    EXPECT_FALSE(results(form)->isEnabled());
    EXPECT_EQ(summary(form), QStringLiteral("Nie znaleziono żadnych pasujących elementów."));
    form.reject();
}

TEST_F(FindForm, WholeValueFindsExactlyOneAndOpensIt)
{
    TFindForm form(nullptr, kArchive);
    form.show();
    search(form, QStringLiteral("KoBaLt"), true);
    EXPECT_EQ(entries(form), QStringList { QStringLiteral("Kobalt") });
    search(form, QStringLiteral("Kob"), true);
    EXPECT_TRUE(entries(form).isEmpty());
    search(form, QStringLiteral("żelazo"), true);
    EXPECT_TRUE(entries(form).isEmpty());
    search(form, QStringLiteral("ŻELAZO"), true);
    EXPECT_EQ(entries(form), QStringList { QStringLiteral("Żelazo") });

    // Nothing selected: Enter and a double click open nothing.
    results(form)->clearSelection();
    results(form)->setCurrentRow(-1);
    QTest::keyClick(results(form), Qt::Key_Return);
    EXPECT_TRUE(windows.calls.isEmpty());

    search(form, QStringLiteral("KoBaLt"), true);
    results(form)->setCurrentRow(0);
    QTest::keyClick(results(form), Qt::Key_Return);
    EXPECT_EQ(windows.calls, QStringList { QStringLiteral("element 27") });
    EXPECT_EQ(windows.owners, QList<QWidget*> { &form });

    search(form, QStringLiteral("ne"));
    results(form)->setCurrentRow(1);
    QApplication::processEvents(); // lays the list out
    const QRect second = results(form)->visualItemRect(results(form)->item(1));
    const QPoint at = results(form)->viewport()->mapTo(&form, second.center());
    QTest::mouseDClick(form.windowHandle(), Qt::LeftButton, {}, at);
    ASSERT_EQ(windows.calls.size(), 2);
    const QStringList opened = windows.calls.at(1).split(QLatin1Char(' '));
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened.at(0), QStringLiteral("element"));
    const std::vector<QString> names = PolishNames();
    EXPECT_EQ(names.at(opened.at(1).toUInt()), entries(form).at(1));
    form.reject();
}

TEST_F(FindForm, DisplayValuesUnitsAndMarkup)
{
    TFindForm form(nullptr, kArchive);
    part<QComboBox>(form, "WyswietlPole")->setCurrentText(QStringLiteral("Masa atomowa"));
    search(form, QStringLiteral("Hel"), true);
    ASSERT_EQ(entries(form).size(), 1);
    EXPECT_TRUE(entries(form).at(0).startsWith(QStringLiteral("4,00"))) << entries(form).at(0).toStdString();
    EXPECT_EQ(summary(form), QStringLiteral("Znaleziono 1 pasujący element, wyrażony w jednostce [u]:"));

    part<QComboBox>(form, "WyswietlPole")->setCurrentText(QStringLiteral("Konfiguracja elektronowa"));
    search(form, QStringLiteral("Żelazo"), true);
    ASSERT_EQ(entries(form).size(), 1);
    EXPECT_EQ(entries(form).at(0), QStringLiteral("[Ar] 3d⁶ 4s²"));

    // Search in one property, show another: the symbol Fe shows iron's name.
    part<QComboBox>(form, "PrzeszukajPole")->setCurrentText(QStringLiteral("Symbol"));
    part<QComboBox>(form, "WyswietlPole")->setCurrentText(QStringLiteral("Nazwa polska"));
    search(form, QStringLiteral("fe"), true);
    EXPECT_EQ(entries(form), QStringList { QStringLiteral("Żelazo") });
    form.reject();
}

TEST_F(FindForm, HistorySurvivesClosingAndIsCappedAt200)
{
    {
        TFindForm form(nullptr, kArchive);
        form.show();
        for (int i = 0; i < 205; ++i)
            search(form, QStringLiteral("t%1").arg(i));
        search(form, QStringLiteral("T204")); // already held, in another case
        EXPECT_EQ(text(form)->count(), 200);
        EXPECT_EQ(text(form)->itemText(0), QStringLiteral("t5"));
        EXPECT_EQ(text(form)->currentText(), QStringLiteral("T204"));
        form.reject();
    }
    EXPECT_EQ(ReadRegString(Hive::CurrentUser, kHistoryKey, "0"), "t5");
    EXPECT_EQ(ReadRegString(Hive::CurrentUser, kHistoryKey, "199"), "t204");
    EXPECT_EQ(ReadRegString(Hive::CurrentUser, kHistoryKey, "200"), "");

    TFindForm again(nullptr, kArchive);
    ASSERT_EQ(text(again)->count(), 200);
    for (int i = 0; i < 200; ++i)
        ASSERT_EQ(text(again)->itemText(i), QStringLiteral("t%1").arg(i + 5));
    EXPECT_EQ(text(again)->currentText(), QStringLiteral("t204"));
    EXPECT_TRUE(part<QPushButton>(again, "SzukajPrzycisk")->isEnabled());
}

// Keys reach the window as they do from the keyboard: to the widget that
// has the focus in the active window (the combo box, whose line edit is only
// its focus proxy).
void typeInto(QWidget& form, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    ASSERT_EQ(focus->window(), &form);
    QTest::keyClick(focus, key, modifiers);
}

void activate(QWidget& form)
{
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
}

TEST_F(FindForm, EnterSearchesOnlyWithText)
{
    WriteRegString(Hive::CurrentUser, kHistoryKey, "0", "ne");
    WriteRegString(Hive::CurrentUser, kHistoryKey, "1", Utf8ToCp1250Lossy("żel"));
    TFindForm form(nullptr, kArchive);
    activate(form);
    EXPECT_EQ(text(form)->count(), 2);
    EXPECT_EQ(text(form)->currentText(), QStringLiteral("żel"));
    EXPECT_EQ(QApplication::focusWidget(), text(form));

    text(form)->clearEditText();
    EXPECT_FALSE(part<QPushButton>(form, "SzukajPrzycisk")->isEnabled());
    typeInto(form, Qt::Key_Return);
    EXPECT_TRUE(summary(form).isEmpty());
    EXPECT_TRUE(form.isVisible());

    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("bor"));
    EXPECT_EQ(text(form)->currentText(), QStringLiteral("bor"));
    EXPECT_TRUE(part<QPushButton>(form, "SzukajPrzycisk")->isEnabled());
    typeInto(form, Qt::Key_Return);
    EXPECT_EQ(entries(form), (QStringList { QStringLiteral("Bor"), QStringLiteral("Seaborg") }));
    EXPECT_EQ(text(form)->count(), 3);
    EXPECT_TRUE(form.isVisible());

    // The keypad's Enter searches as well.
    text(form)->setEditText(QStringLiteral("Wodór"));
    typeInto(form, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(entries(form), QStringList { QStringLiteral("Wodór") });

    typeInto(form, Qt::Key_F1);
    part<QPushButton>(form, "PomocPrzycisk")->click();
    EXPECT_TRUE(windows.ownedBy(&form));
    EXPECT_EQ(windows.take(), QStringList(2, QStringLiteral("help O_SZUKAJ")));

    typeInto(form, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(ReadRegString(Hive::CurrentUser, kHistoryKey, "2"), "bor");
}

TEST_F(FindForm, DownFromTheTextGoesToTheFirstResultAndEnterOpensIt)
{
    TFindForm form(nullptr, kArchive);
    activate(form);
    part<QComboBox>(form, "PrzeszukajPole")->setCurrentText(QStringLiteral("Grupa"));
    text(form)->setEditText(QStringLiteral("1"));
    part<QCheckBox>(form, "CaleOpcja")->setChecked(true);
    typeInto(form, Qt::Key_Return);
    ASSERT_GE(entries(form).size(), 3);
    ASSERT_EQ(entries(form).at(0), QStringLiteral("Wodór"));
    ASSERT_EQ(entries(form).at(1), QStringLiteral("Lit"));

    typeInto(form, Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), results(form));
    EXPECT_EQ(results(form)->currentRow(), 0);
    typeInto(form, Qt::Key_Return);
    EXPECT_EQ(windows.take(), QStringList { QStringLiteral("element 1") });

    // Down in the list goes on from the first, so the second is lit.
    typeInto(form, Qt::Key_Down);
    typeInto(form, Qt::Key_Return);
    EXPECT_EQ(windows.take(), QStringList { QStringLiteral("element 3") });

    // Tab back round to the list starts again on the first result of a new search.
    text(form)->setFocus();
    typeInto(form, Qt::Key_Return);
    results(form)->setFocus(Qt::TabFocusReason);
    typeInto(form, Qt::Key_Return);
    EXPECT_EQ(windows.take(), QStringList { QStringLiteral("element 1") });

    // Without results Down stays in the text (the history's own key).
    text(form)->setFocus();
    text(form)->setEditText(QStringLiteral("xq"));
    typeInto(form, Qt::Key_Return);
    typeInto(form, Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), text(form));
    form.reject();
}

TEST_F(FindForm, WithoutDatabaseNothingIsFound)
{
    TFindForm form(nullptr, path("no/ORBITA.DAT").toStdString());
    EXPECT_EQ(part<QComboBox>(form, "PrzeszukajPole")->count(), 0);
    EXPECT_EQ(part<QComboBox>(form, "WyswietlPole")->count(), 0);
    search(form, QStringLiteral("ne"));
    EXPECT_TRUE(entries(form).isEmpty());
    EXPECT_EQ(summary(form), QStringLiteral("Nie znaleziono żadnych pasujących elementów."));
}

TEST_F(FindForm, OpeningCallShowsTheWindowModally)
{
    ScriptedUiServices ui;
    ui.answerModal([](QDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), QStringLiteral("FindForm"));
        return mrCancel;
    });
    TFindForm::ShowFind(nullptr);
    EXPECT_TRUE(ui.finished());
    EXPECT_EQ(ui.requests().at(0).caption, QStringLiteral("Wyszukiwanie pierwiastków"));
}

} // namespace
} // namespace orbita
