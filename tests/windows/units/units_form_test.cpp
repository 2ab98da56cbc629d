// The unit converter window: its lists and pages, the entry rule for typed
// and pasted text, converting from the focused box (also after a click on
// "Przelicz" and with Enter), the messages, help and closing.

#include "core/registry.h"
#include "platform/scripted_ui_services.h"
#include "tests/platform/platform_test_environment.h"
#include "tests/support/recording_window_opener.h"
#include "windows/program_window_opener.h"
#include "windows/units/units_form.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>

namespace orbita {
namespace {

class UnitsForm : public test::PlatformTest {
protected:
    template <typename T> static T* part(QWidget& form, const char* name)
    {
        T* widget = form.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    static QLineEdit* box(QWidget& form, const char* name) { return part<QLineEdit>(form, name); }

    // The window shown and active, the box of `name` focused.
    static void showWithFocus(TUnitsForm& form, const char* name)
    {
        form.show();
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        box(form, name)->setFocus();
        ASSERT_TRUE(box(form, name)->hasFocus());
    }
};

TEST_F(UnitsForm, OpensOnLengthAtTenDigitsWithEveryPage)
{
    TUnitsForm form;
    EXPECT_EQ(form.objectName(), QStringLiteral("UnitsForm"));
    EXPECT_EQ(form.title(), QStringLiteral("Przelicznik jednostek"));
    auto* quantities = part<QComboBox>(form, "JednostkaLista");
    QStringList items;
    for (int i = 0; i < quantities->count(); ++i)
        items << quantities->itemText(i);
    EXPECT_EQ(items,
        (QStringList { QStringLiteral("Ciśnienie"), QStringLiteral("Długość"), QStringLiteral("Objętość"),
            QStringLiteral("Temperatura"), QStringLiteral("Waga") }));
    EXPECT_EQ(quantities->currentText(), QStringLiteral("Długość"));
    auto* precision = part<QComboBox>(form, "PrecyzjaLista");
    EXPECT_EQ(precision->currentText(), QStringLiteral("10"));
    EXPECT_EQ(precision->count(), 3);
    auto* pages = part<QStackedWidget>(form, "Strony");
    EXPECT_EQ(pages->currentWidget()->objectName(), QStringLiteral("Dlugosc"));
    EXPECT_EQ(part<QLabel>(form, "PrzeliczEtykieta")->text(), QStringLiteral("Długość"));
    EXPECT_EQ(box(form, "WeightQBox")->toolTip(),
        QStringLiteral("Jednostka masy stosowana w obrocie płodami rolnymi (1q = 100 kg). Obecnie nieużywana "
                       "(nielegalna)"));
    EXPECT_EQ(part<QLabel>(form, "TempRLabel")->text(), QStringLiteral("Reaumur [R]"));

    // Switching the quantity switches page and caption; the boxes keep their text.
    box(form, "LengthMBox")->setText(QStringLiteral("7"));
    quantities->setCurrentIndex(quantities->findText(QStringLiteral("Temperatura")));
    EXPECT_EQ(pages->currentWidget()->objectName(), QStringLiteral("Temperatura"));
    EXPECT_EQ(part<QLabel>(form, "PrzeliczEtykieta")->text(), QStringLiteral("Temperatura"));
    quantities->setCurrentIndex(quantities->findText(QStringLiteral("Długość")));
    EXPECT_EQ(box(form, "LengthMBox")->text(), QStringLiteral("7"));
}

TEST_F(UnitsForm, KeysPassTheEntryRuleAndTheWindowKeysStillWork)
{
    ScriptedUiServices ui;
    TUnitsForm form;
    showWithFocus(form, "LengthMBox");
    QLineEdit* metres = box(form, "LengthMBox");
    QTest::keyClicks(metres, QStringLiteral("1a2.5e x-"));
    EXPECT_EQ(metres->text(), QStringLiteral("12,5-"));
    QTest::keyClick(metres, Qt::Key_Backspace);
    QTest::keyClick(metres, Qt::Key_Home);
    QTest::keyClick(metres, Qt::Key_Minus);
    EXPECT_EQ(metres->text(), QStringLiteral("-12,5"));
    QTest::keyClick(metres, Qt::Key_A, Qt::ControlModifier); // select all still works
    EXPECT_EQ(metres->selectedText(), QStringLiteral("-12,5"));
    QTest::keyClick(metres, Qt::Key_Return);
    EXPECT_EQ(box(form, "LengthCMBox")->text(), QStringLiteral("-1250"));
    EXPECT_EQ(box(form, "LengthKMBox")->text(), QStringLiteral("-0,0125"));
    QTest::keyClick(metres, Qt::Key_Tab);
    EXPECT_FALSE(metres->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(ui.finished());
}

TEST_F(UnitsForm, PastedTextPassesTheSameRule)
{
    ScriptedUiServices ui;
    TUnitsForm form;
    showWithFocus(form, "LengthMBox");
    QLineEdit* metres = box(form, "LengthMBox");
    QApplication::clipboard()->setText(QStringLiteral("3.75"));
    metres->paste();
    EXPECT_EQ(metres->text(), QStringLiteral("3,75"));
    QApplication::clipboard()->setText(QStringLiteral("1e5"));
    QTest::keyClick(metres, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(metres->text(), QStringLiteral("3,75")) << "refused whole, not made 15";
    form.reject();
}

TEST_F(UnitsForm, PrzeliczConvertsAfterAClickTookTheFocus)
{
    ScriptedUiServices ui;
    TUnitsForm form;
    auto* quantities = part<QComboBox>(form, "JednostkaLista");
    quantities->setCurrentIndex(quantities->findText(QStringLiteral("Temperatura")));
    showWithFocus(form, "TempCBox");
    QTest::keyClicks(box(form, "TempCBox"), QStringLiteral("100"));
    // Choosing 20 digits puts the focus into the precision list.
    auto* precision = part<QComboBox>(form, "PrecyzjaLista");
    precision->setFocus(Qt::MouseFocusReason);
    precision->setCurrentIndex(precision->findText(QStringLiteral("20")));
    ASSERT_FALSE(box(form, "TempCBox")->hasFocus());
    QTest::mouseClick(part<QToolButton>(form, "PrzeliczPrzycisk"), Qt::LeftButton);
    EXPECT_EQ(box(form, "TempKBox")->text(), QStringLiteral("373,15"));
    EXPECT_EQ(box(form, "TempRBox")->text(), QStringLiteral("80"));
    EXPECT_EQ(box(form, "TempFBox")->text(), QStringLiteral("212"));
    EXPECT_EQ(box(form, "TempCBox")->text(), QStringLiteral("100"));
    EXPECT_TRUE(box(form, "TempCBox")->hasFocus());

    // A box of a page no longer shown is not converted from.
    box(form, "TempKBox")->clear();
    quantities->setFocus(Qt::MouseFocusReason);
    quantities->setCurrentIndex(quantities->findText(QStringLiteral("Waga")));
    part<QToolButton>(form, "PrzeliczPrzycisk")->click();
    EXPECT_TRUE(box(form, "TempKBox")->text().isEmpty());
    EXPECT_TRUE(ui.requests().empty());
    form.reject();
}

TEST_F(UnitsForm, InvalidTextGivesItsMessageAndTheFocusBack)
{
    struct Case {
        const char* text;
        const char* caption;
        const char* message;
    };
    const Case cases[] = {
        { "", "Brak wartości liczbowej", "Wprowadź dowolną wartość liczbową" },
        { "5-", "Błąd formuły", "Wprowadzono nieprawidłową wartość liczbową" },
        { "-", "Błąd formuły", "Brak wartości liczbowej" },
        { "1,2,3", "Błąd formuły", "Wprowadzono nieprawidłową wartość liczbową" },
        { "-,", "Błąd formuły", "Wprowadzono nieprawidłową wartość liczbową" },
    };
    TUnitsForm form;
    showWithFocus(form, "LengthKMBox");
    QLineEdit* km = box(form, "LengthKMBox");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ScriptedUiServices ui;
        ui.answerMessage(mrOk);
        box(form, "LengthMBox")->setText(QStringLiteral("keep"));
        km->setText(QString::fromUtf8(c.text));
        part<QComboBox>(form, "PrecyzjaLista")->setFocus();
        part<QToolButton>(form, "PrzeliczPrzycisk")->click();
        ASSERT_TRUE(ui.finished());
        EXPECT_EQ(ui.requests().at(0).caption, QString::fromUtf8(c.caption));
        EXPECT_EQ(ui.requests().at(0).text, QString::fromUtf8(c.message));
        EXPECT_EQ(ui.requests().at(0).icon, MessageIcon::Information);
        EXPECT_EQ(box(form, "LengthMBox")->text(), QStringLiteral("keep")) << "nothing converted";
        EXPECT_TRUE(km->hasFocus());
    }
    ScriptedUiServices ui;
    km->setText(QStringLiteral("-5"));
    part<QToolButton>(form, "PrzeliczPrzycisk")->click();
    EXPECT_EQ(box(form, "LengthMBox")->text(), QStringLiteral("-5000"));
    EXPECT_TRUE(ui.requests().empty());
    form.reject();
}

TEST_F(UnitsForm, HelpOpensItsTopic)
{
    test::RecordingWindowOpener opener;
    TUnitsForm form;
    showWithFocus(form, "LengthMBox");
    QTest::keyClick(box(form, "LengthMBox"), Qt::Key_F1);
    part<QToolButton>(form, "PomocPrzycisk")->click();
    EXPECT_EQ(opener.calls, (QStringList { QStringLiteral("help O_LICZ"), QStringLiteral("help O_LICZ") }));
    part<QToolButton>(form, "ZamknijPrzycisk")->click();
    EXPECT_FALSE(form.isVisible());
}

TEST_F(UnitsForm, TheProgramsOpenerShowsIt)
{
    ScriptedUiServices ui;
    ui.answerModal([](QDialog&) { return mrCancel; });
    ProgramWindowOpener().OpenUnits(nullptr);
    ASSERT_TRUE(ui.finished());
    EXPECT_EQ(ui.requests().at(0).caption, QStringLiteral("Przelicznik jednostek"));
    EXPECT_EQ(ui.requests().at(0).text, QStringLiteral("UnitsForm"));
}

// Opened through the opening call, moved and closed, it opens again where it
// was; its size is fixed and not stored.
TEST_F(UnitsForm, KeepsItsPlaceAndItsSize)
{
    WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", "Administrator");
    WriteRegInteger(Hive::CurrentUser, "Software\\Orbita\\Administrator", "SaveWindowsPlacement", 1);
    const std::string placement = "Software\\Orbita\\Administrator\\Placement";
    QPoint shownAt;
    QSize shownSize;
    {
        ScriptedUiServices ui;
        ui.answerModal([&](QDialog& dialog) {
            dialog.move(dialog.pos() + QPoint(7, 9));
            shownAt = dialog.pos();
            shownSize = dialog.size();
            QTest::keyClick(&dialog, Qt::Key_Escape);
            return dialog.result();
        });
        TUnitsForm::ShowUnits();
        EXPECT_TRUE(ui.finished());
    }
    EXPECT_EQ(shownSize, QSize(380, 290)) << "the designed size less the caption";
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, placement, "UnitsFormLeft"), shownAt.x());
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, placement, "UnitsFormTop"), shownAt.y());
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, placement, "UnitsFormWidth"), -1);

    ScriptedUiServices ui;
    ui.answerModal([&](QDialog& dialog) {
        EXPECT_EQ(dialog.pos(), shownAt);
        EXPECT_EQ(dialog.size(), shownSize);
        EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize()) << "fixed size";
        return mrCancel;
    });
    TUnitsForm::ShowUnits();
    EXPECT_TRUE(ui.finished());
}

} // namespace
} // namespace orbita
