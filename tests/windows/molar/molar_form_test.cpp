// The molar-mass calculator window: the result and table of a formula, Enter
// computing from anywhere, an error's message and caret, the copied text, the
// note on mass numbers, an unreadable archive, help, accessible names and tab
// order, and its place and size.

#include "core/registry.h"
#include "platform/scripted_ui_services.h"
#include "tests/platform/platform_test_environment.h"
#include "tests/support/recording_window_opener.h"
#include "windows/molar/molar_form.h"
#include "windows/program_window_opener.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

namespace orbita {
namespace {

const std::string kArchive = std::string(ORBITA_PROGRAM_DIR) + "/ORBITA.DAT";

class MolarForm : public test::PlatformTest {
protected:
    void SetUp() override
    {
#ifndef ORBITA_CONTENT_BUILT
        GTEST_SKIP() << "the content archive is not built";
#endif
        PlatformTest::SetUp();
    }

    template <typename T> static T* part(QWidget& form, const char* name)
    {
        T* widget = form.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    static QComboBox* box(QWidget& form)
    {
        return part<QComboBox>(form, "WzorPole");
    }
    static QTableWidget* table(QWidget& form)
    {
        return part<QTableWidget>(form, "SkladTabela");
    }
    static QString result(QWidget& form)
    {
        return part<QLabel>(form, "WynikEtykieta")->text();
    }
    static QLabel* error(QWidget& form)
    {
        return part<QLabel>(form, "BladEtykieta");
    }
    static QToolButton* button(QWidget& form, const char* name)
    {
        return part<QToolButton>(form, name);
    }

    // Each row of the table as its cells' texts joined by "|".
    static QStringList rows(QWidget& form)
    {
        QStringList lines;
        QTableWidget* grid = table(form);
        for (int row = 0; row < grid->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < grid->columnCount(); ++column)
                cells << grid->item(row, column)->text();
            lines << cells.join(u'|');
        }
        return lines;
    }

    static void showActive(TMolarForm& form)
    {
        form.show();
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    static void compute(TMolarForm& form, const QString& formula)
    {
        box(form)->setEditText(formula);
        button(form, "ObliczPrzycisk")->click();
    }
};

TEST_F(MolarForm, HydrateGivesItsMassTableAndCopiedReport)
{
    TMolarForm form(nullptr, kArchive);
    EXPECT_EQ(form.objectName(), QStringLiteral("MolarForm"));
    EXPECT_EQ(form.title(), QStringLiteral("Kalkulator masy molowej"));
    EXPECT_EQ(table(form)->rowCount(), 0);
    EXPECT_FALSE(button(form, "KopiujPrzycisk")->isEnabled()) << "nothing to copy yet";
    EXPECT_TRUE(button(form, "ObliczPrzycisk")->isEnabled());
    QStringList headers;
    for (int column = 0; column < table(form)->columnCount(); ++column)
        headers << table(form)->horizontalHeaderItem(column)->text();
    EXPECT_EQ(headers,
        (QStringList { QStringLiteral("Pierwiastek"), QStringLiteral("Liczba atomów"),
            QStringLiteral("Masa atomowa [g/mol]"), QStringLiteral("Masa [g/mol]"),
            QStringLiteral("Udział masowy [%]") }));

    compute(form, QStringLiteral("CuSO4·5H2O"));
    EXPECT_EQ(result(form), QStringLiteral("M = 249,6770 g/mol"));
    EXPECT_FALSE(error(form)->isVisibleTo(&form));
    EXPECT_FALSE(part<QLabel>(form, "UwagaEtykieta")->isVisibleTo(&form));
    // The elements in the order they first appear; the water's oxygen joins
    // the sulphate's.
    EXPECT_EQ(rows(form),
        (QStringList { QStringLiteral("Cu|1|63,546|63,5460|25,45"), QStringLiteral("S|1|32,06|32,0600|12,84"),
            QStringLiteral("O|9|15,999|143,9910|57,67"), QStringLiteral("H|10|1,008|10,0800|4,04") }));

    button(form, "KopiujPrzycisk")->click();
    EXPECT_EQ(QApplication::clipboard()->text(),
        QStringLiteral("Masa molowa: 249,6770 g/mol\n"
                       "Pierwiastek\tLiczba atomów\tMasa atomowa [g/mol]\tMasa [g/mol]\tUdział masowy [%]\n"
                       "Cu\t1\t63,546\t63,5460\t25,45\n"
                       "S\t1\t32,06\t32,0600\t12,84\n"
                       "O\t9\t15,999\t143,9910\t57,67\n"
                       "H\t10\t1,008\t10,0800\t4,04\n"));

    // Every column caption is shown whole, also at the smallest size.
    form.show();
    for (const QSize size : { form.size(), form.minimumSize() }) {
        form.resize(size);
        QApplication::processEvents();
        QHeaderView* header = table(form)->horizontalHeader();
        for (int column = 0; column < table(form)->columnCount(); ++column)
            EXPECT_GE(header->sectionSize(column), header->sectionSizeHint(column))
                << headers[column].toStdString();
        EXPECT_LE(header->length(), table(form)->viewport()->width());
    }
    form.reject();

    // The formula joins the box's list once, newest first.
    compute(form, QStringLiteral("H2O"));
    compute(form, QStringLiteral("CuSO4·5H2O"));
    ASSERT_EQ(box(form)->count(), 2);
    EXPECT_EQ(box(form)->itemText(0), QStringLiteral("CuSO4·5H2O"));
    EXPECT_EQ(box(form)->itemText(1), QStringLiteral("H2O"));
    EXPECT_EQ(box(form)->currentText(), QStringLiteral("CuSO4·5H2O"));
}

TEST_F(MolarForm, EnterComputesFromTheBoxAndFromTheTable)
{
    ScriptedUiServices ui;
    TMolarForm form(nullptr, kArchive);
    showActive(form);
    ASSERT_TRUE(box(form)->hasFocus());
    QTest::keyClicks(box(form)->lineEdit(), QStringLiteral("Ca(OH)2"));
    QTest::keyClick(box(form)->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(result(form), QStringLiteral("M = 74,0920 g/mol"));
    EXPECT_EQ(box(form)->count(), 1) << "Enter computed; the combo box did not add the text by itself";
    EXPECT_TRUE(box(form)->hasFocus());

    box(form)->setEditText(QStringLiteral("K4[Fe(CN)6]"));
    table(form)->setFocus();
    QTest::keyClick(table(form), Qt::Key_Enter);
    EXPECT_EQ(result(form), QStringLiteral("M = 368,3450 g/mol"));
    EXPECT_EQ(table(form)->rowCount(), 4);
    EXPECT_TRUE(box(form)->hasFocus()) << "the caret goes back to the formula";

    QTest::keyClick(box(form)->lineEdit(), Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(ui.requests().empty()) << "no message box: errors stand under the box";
}

TEST_F(MolarForm, AnErrorShowsItsMessageAndPutsTheCaretAtItsPlace)
{
    struct Case {
        const char* formula;
        const char* message;
        int caret; // UTF-16 index before the faulty character
    };
    const Case cases[] = {
        { "CuSO4·5Xy", "Nieznany symbol pierwiastka „Xy” w pozycji 8", 7 },
        { "Ca(OH2", "Nawias „(” w pozycji 3 nie został zamknięty", 2 },
        { "K4[Fe(CN]6)", "Nawias „]” w pozycji 9 nie pasuje do nawiasu „(” w pozycji 6", 8 },
        { "H0", "Liczba w pozycji 2 musi być większa od zera", 1 },
        { "cuso4", "Symbol pierwiastka zaczyna się wielką literą: „c” w pozycji 1", 0 },
    };
    TMolarForm form(nullptr, kArchive);
    showActive(form);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.formula);
        compute(form, QStringLiteral("CuSO4·5H2O"));
        ASSERT_EQ(table(form)->rowCount(), 4);
        box(form)->lineEdit()->end(false);
        compute(form, QString::fromUtf8(c.formula));
        EXPECT_TRUE(error(form)->isVisibleTo(&form));
        EXPECT_EQ(error(form)->text(), QString::fromUtf8(c.message));
        EXPECT_EQ(box(form)->lineEdit()->cursorPosition(), c.caret);
        EXPECT_TRUE(box(form)->hasFocus());
        EXPECT_EQ(box(form)->currentText(), QString::fromUtf8(c.formula)) << "the text is kept to be mended";
        // The earlier result does not stay beside the message.
        EXPECT_EQ(table(form)->rowCount(), 0);
        EXPECT_EQ(result(form), QStringLiteral("M = – g/mol"));
        EXPECT_FALSE(button(form, "KopiujPrzycisk")->isEnabled());
    }
    // An empty formula has no place: the message, and the caret stays.
    compute(form, QString());
    EXPECT_TRUE(error(form)->isVisibleTo(&form));
    EXPECT_FALSE(error(form)->text().isEmpty());
    EXPECT_EQ(box(form)->count(), 1) << "only computed formulas are kept";

    // The next good formula takes the message away.
    compute(form, QStringLiteral("NaCl"));
    EXPECT_FALSE(error(form)->isVisibleTo(&form));
    EXPECT_EQ(table(form)->rowCount(), 2);
    form.reject();
}

TEST_F(MolarForm, MassNumbersAreUsedAndSaidSo)
{
    TMolarForm form(nullptr, kArchive);
    compute(form, QStringLiteral("TcO4^-"));
    EXPECT_EQ(result(form), QStringLiteral("M = 160,9960 g/mol"));
    ASSERT_EQ(table(form)->rowCount(), 2);
    EXPECT_EQ(table(form)->item(0, 2)->text(), QStringLiteral("[97]"));
    auto* note = part<QLabel>(form, "UwagaEtykieta");
    EXPECT_TRUE(note->isVisibleTo(&form));
    EXPECT_EQ(note->text(), QString::fromUtf8(kMassNumberNote.data(), kMassNumberNote.size()));
    button(form, "KopiujPrzycisk")->click();
    EXPECT_TRUE(QApplication::clipboard()->text().endsWith(
        QString::fromUtf8(kMassNumberNote.data(), kMassNumberNote.size()) + u'\n'));

    compute(form, QStringLiteral("H2O"));
    EXPECT_FALSE(note->isVisibleTo(&form)) << "the note belongs to the formula that needed it";
}

TEST_F(MolarForm, AnUnreadableArchiveIsReportedAndNothingComputes)
{
    const std::string missing = stdPath("no/ORBITA.DAT");
    TMolarForm form(nullptr, missing);
    showActive(form);
    EXPECT_TRUE(error(form)->isVisibleTo(&form));
    EXPECT_TRUE(error(form)->text().startsWith(QStringLiteral("Nie można odczytać mas atomowych")));
    EXPECT_TRUE(error(form)->text().contains(QString::fromStdString(missing))) << "the file is named";
    EXPECT_FALSE(button(form, "ObliczPrzycisk")->isEnabled());
    QTest::keyClicks(box(form)->lineEdit(), QStringLiteral("H2O"));
    QTest::keyClick(box(form)->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(table(form)->rowCount(), 0);
    EXPECT_EQ(result(form), QStringLiteral("M = – g/mol"));
    EXPECT_TRUE(error(form)->text().startsWith(QStringLiteral("Nie można odczytać"))) << "the reason stays";
    form.reject();
}

TEST_F(MolarForm, HelpOpensItsTopic)
{
    test::RecordingWindowOpener opener;
    TMolarForm form(nullptr, kArchive);
    showActive(form);
    QTest::keyClick(box(form)->lineEdit(), Qt::Key_F1);
    button(form, "PomocPrzycisk")->click();
    EXPECT_EQ(opener.calls, (QStringList { QStringLiteral("help O_MASA"), QStringLiteral("help O_MASA") }));
    button(form, "ZamknijPrzycisk")->click();
    EXPECT_FALSE(form.isVisible());
}

// Every control that takes the focus has a Polish name for screen readers,
// and Tab walks them in the order of the layout.
TEST_F(MolarForm, ControlsHaveNamesAndTabFollowsTheLayout)
{
    TMolarForm form(nullptr, kArchive);
    showActive(form);
    int named = 0;
    for (QWidget* widget : form.findChildren<QWidget*>()) {
        // The combo box's list is a popup of its own; its line edit is the box.
        if (!(widget->focusPolicy() & Qt::TabFocus) || widget->window() != &form
            || qobject_cast<QComboBox*>(widget->parentWidget()))
            continue;
        EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->objectName().toStdString();
        ++named;
    }
    EXPECT_EQ(named, 6);
    const QStringList expected = { QStringLiteral("WzorPole"), QStringLiteral("ObliczPrzycisk"),
        QStringLiteral("SkladTabela"), QStringLiteral("KopiujPrzycisk"), QStringLiteral("PomocPrzycisk"),
        QStringLiteral("ZamknijPrzycisk") };
    compute(form, QStringLiteral("H2O")); // Kopiuj enabled
    box(form)->setFocus();
    QStringList visited;
    for (int step = 0; step < expected.size(); ++step) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        // The combo box's line edit stands for the box.
        if (focused->parentWidget() == box(form))
            focused = box(form);
        visited << focused->objectName();
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    EXPECT_EQ(visited, expected);
    form.reject();
}

TEST_F(MolarForm, TheProgramsOpenerShowsIt)
{
    ScriptedUiServices ui;
    ui.answerModal([](QDialog&) { return mrCancel; });
    ProgramWindowOpener().OpenMolarMass(nullptr);
    ASSERT_TRUE(ui.finished());
    EXPECT_EQ(ui.requests().at(0).caption, QStringLiteral("Kalkulator masy molowej"));
    EXPECT_EQ(ui.requests().at(0).text, QStringLiteral("MolarForm"));
}

// Opened through the opening call, moved, resized and closed, it opens again
// where it was and as large.
TEST_F(MolarForm, KeepsItsPlaceAndItsSize)
{
    WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", "Administrator");
    WriteRegInteger(Hive::CurrentUser, "Software\\Orbita\\Administrator", "SaveWindowsPlacement", 1);
    const std::string placement = "Software\\Orbita\\Administrator\\Placement";
    QSize designed;
    QRect shown;
    {
        ScriptedUiServices ui;
        ui.answerModal([&](QDialog& dialog) {
            designed = dialog.size();
            dialog.move(dialog.pos() + QPoint(7, 9));
            dialog.resize(dialog.size() + QSize(40, 30));
            shown = dialog.geometry();
            QTest::keyClick(&dialog, Qt::Key_Escape);
            return dialog.result();
        });
        TMolarForm::ShowMolarMass();
        EXPECT_TRUE(ui.finished());
    }
    EXPECT_EQ(designed.height(), 380) << "the designed height less the caption";
    EXPECT_GE(designed.width(), 560);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, placement, "MolarFormLeft"), shown.x());
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, placement, "MolarFormTop"), shown.y());
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, placement, "MolarFormWidth"), designed.width() + 40);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, placement, "MolarFormHeight"), 410 + 26);

    ScriptedUiServices ui;
    ui.answerModal([&](QDialog& dialog) {
        EXPECT_EQ(dialog.geometry(), shown);
        EXPECT_NE(dialog.minimumSize(), dialog.maximumSize()) << "sizeable";
        return mrCancel;
    });
    TMolarForm::ShowMolarMass();
    EXPECT_TRUE(ui.finished());
}

} // namespace
} // namespace orbita
