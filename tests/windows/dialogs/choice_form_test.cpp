// The element choice dialog: its list, LastChoice on opening and closing, the
// modal results of its buttons and keys, and the opening call.

#include "core/registry.h"
#include "platform/scripted_ui_services.h"
#include "tests/platform/platform_test_environment.h"
#include "tests/support/recording_window_opener.h"
#include "windows/dialogs/choice_form.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orbita {
namespace {

const char* const kProfile = "Software\\Orbita\\Ewa";

class ChoiceForm : public test::PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", "Ewa");
    }
    void TearDown() override
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            EXPECT_FALSE(widget->isVisible()) << widget->objectName().toStdString();
    }

    static QComboBox* numbers(QDialog& dialog)
    {
        return dialog.findChild<QComboBox*>(QStringLiteral("LiczbyPole"));
    }
    static int lastChoice() { return ReadRegInteger(Hive::CurrentUser, kProfile, "LastChoice"); }

    test::RecordingWindowOpener windows;
};

TEST_F(ChoiceForm, ComponentsAndFirstUse)
{
    TChoiceForm form;
    EXPECT_EQ(form.objectName(), QStringLiteral("ChoiceForm"));
    EXPECT_EQ(form.title(), QStringLiteral("Wybór pierwiastka"));
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("LiczbaEtykieta"))->text(),
        QStringLiteral("Wyświetl informacje na temat pierwiastka o liczbie atomowej:"));
    EXPECT_EQ(form.findChild<QPushButton*>(QStringLiteral("OkPrzycisk"))->text(), QStringLiteral("&OK"));
    EXPECT_EQ(
        form.findChild<QPushButton*>(QStringLiteral("AnulujPrzycisk"))->text(), QStringLiteral("&Anuluj"));
    QComboBox* list = numbers(form);
    ASSERT_EQ(list->count(), 118);
    for (int i = 0; i < 118; ++i)
        ASSERT_EQ(list->itemText(i), QString::number(i + 1));
    EXPECT_FALSE(list->isEditable());
    EXPECT_EQ(list->currentText(), QStringLiteral("1"));
    EXPECT_EQ(form.SelectedElement(), 1);
}

TEST_F(ChoiceForm, OpeningSelectsTheStoredChoice)
{
    struct Case {
        int stored; // -1: nothing stored
        std::optional<int> selected;
    };
    for (const Case& c : { Case { -1, 1 }, Case { 26, 26 }, Case { 118, 118 }, Case { 1, 1 },
             Case { 0, std::nullopt }, Case { 119, std::nullopt }, Case { -5, std::nullopt } }) {
        SCOPED_TRACE(c.stored);
        if (c.stored == -1)
            DeleteRegValue(Hive::CurrentUser, kProfile, "LastChoice");
        else
            WriteRegInteger(Hive::CurrentUser, kProfile, "LastChoice", c.stored);
        TChoiceForm form;
        EXPECT_EQ(form.SelectedElement(), c.selected);
        EXPECT_EQ(numbers(form)->currentIndex(), c.selected ? *c.selected - 1 : -1);
    }
}

TEST_F(ChoiceForm, ChoosingTwentySixIsRememberedAndOpened)
{
    ScriptedUiServices ui;
    ui.answerModal([](QDialog& dialog) {
        numbers(dialog)->setCurrentIndex(25);
        dialog.findChild<QPushButton*>(QStringLiteral("OkPrzycisk"))->click();
        return dialog.result();
    });
    TChoiceForm::ShowChosenElement(nullptr);
    EXPECT_TRUE(ui.finished());
    EXPECT_EQ(ui.requests().at(0).caption, QStringLiteral("Wybór pierwiastka"));
    EXPECT_EQ(windows.calls, QStringList { QStringLiteral("element 26") });
    EXPECT_EQ(lastChoice(), 26);

    ui.answerModal([](QDialog& dialog) {
        EXPECT_EQ(numbers(dialog)->currentText(), QStringLiteral("26"));
        dialog.findChild<QPushButton*>(QStringLiteral("OkPrzycisk"))->click();
        return dialog.result();
    });
    EXPECT_EQ(TChoiceForm::ChooseElement(nullptr), 26);
    EXPECT_TRUE(ui.finished());
}

TEST_F(ChoiceForm, CancellingStoresTheSelectionAndOpensNothing)
{
    struct Case {
        const char* what;
        std::function<void(QDialog&)> end;
    };
    const std::vector<Case> cases = {
        { "Anuluj",
            [](QDialog& d) { d.findChild<QPushButton*>(QStringLiteral("AnulujPrzycisk"))->click(); } },
        { "Esc", [](QDialog& d) { QTest::keyClick(numbers(d), Qt::Key_Escape); } },
        { "closed by the desktop", [](QDialog& d) { d.close(); } },
    };
    int element = 40;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedUiServices ui;
        ui.answerModal([&](QDialog& dialog) {
            numbers(dialog)->setCurrentIndex(element - 1);
            c.end(dialog);
            EXPECT_FALSE(dialog.isVisible());
            return dialog.result();
        });
        TChoiceForm::ShowChosenElement(nullptr);
        EXPECT_TRUE(ui.finished());
        EXPECT_EQ(lastChoice(), element);
        ++element;
    }
    EXPECT_TRUE(windows.calls.isEmpty());
}

TEST_F(ChoiceForm, EnterActsAsOkWhereverTheFocusIs)
{
    struct Case {
        const char* focus;
        Qt::Key key;
    };
    for (const Case& c : { Case { "LiczbyPole", Qt::Key_Return }, Case { "LiczbyPole", Qt::Key_Enter },
             Case { "AnulujPrzycisk", Qt::Key_Return }, Case { "OkPrzycisk", Qt::Key_Enter } }) {
        SCOPED_TRACE(std::string(c.focus) + (c.key == Qt::Key_Enter ? " Enter" : " Return"));
        ScriptedUiServices ui;
        ui.answerModal([&c](QDialog& dialog) {
            numbers(dialog)->setCurrentIndex(7);
            QWidget* focus = dialog.findChild<QWidget*>(QString::fromLatin1(c.focus));
            QTest::keyClick(focus, c.key);
            EXPECT_FALSE(dialog.isVisible());
            return dialog.result();
        });
        EXPECT_EQ(TChoiceForm::ChooseElement(nullptr), 8);
        EXPECT_TRUE(ui.finished());
    }
}

TEST_F(ChoiceForm, NothingSelectedOpensNothingAndStoresNothing)
{
    WriteRegInteger(Hive::CurrentUser, kProfile, "LastChoice", 500);
    ScriptedUiServices ui;
    ui.answerModal([](QDialog& dialog) {
        EXPECT_EQ(numbers(dialog)->currentIndex(), -1);
        dialog.findChild<QPushButton*>(QStringLiteral("OkPrzycisk"))->click();
        return dialog.result();
    });
    TChoiceForm::ShowChosenElement(nullptr);
    EXPECT_TRUE(ui.finished());
    EXPECT_TRUE(windows.calls.isEmpty());
    EXPECT_EQ(lastChoice(), 500);
}

// The dialog has no help page of its own: F1 opens the topic of the window
// that asked for the element, the start page when there is none.
TEST_F(ChoiceForm, HelpIsTheTopicOfTheWindowUnderIt)
{
    QWidget launcher;
    SetHelpTopic(launcher, QStringLiteral("O_MENU"));
    for (QWidget* owner : { &launcher, static_cast<QWidget*>(nullptr) }) {
        ScriptedUiServices ui;
        QWidget* shown = nullptr;
        ui.answerModal([&](QDialog& dialog) {
            shown = &dialog;
            QTest::keyClick(numbers(dialog), Qt::Key_F1);
            EXPECT_TRUE(dialog.isVisible());
            dialog.reject();
            return dialog.result();
        });
        EXPECT_EQ(TChoiceForm::ChooseElement(owner), std::nullopt);
        EXPECT_TRUE(ui.finished());
        EXPECT_EQ(windows.owners, QList<QWidget*> { shown });
        EXPECT_EQ(
            windows.take(), QStringList { owner ? QStringLiteral("help O_MENU") : QStringLiteral("help ") });
    }
}

} // namespace
} // namespace orbita
