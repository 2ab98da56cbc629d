#include "platform/scripted_ui_services.h"
#include "tests/support/recording_window_opener.h"
#include "tests/windows/dialogs/dialogs_test_support.h"
#include "windows/dialogs/quit_form.h"

#include <QCheckBox>
#include <QFrame>
#include <QPushButton>
#include <QTest>

namespace orbita {
namespace {

using test::kAdministratorKey;

class QuitForm : public test::DialogsTest {
protected:
    static std::optional<RegValue> exitPrompt()
    {
        return ReadRegValue(Hive::CurrentUser, kAdministratorKey, "ExitPrompt");
    }
};

TEST_F(QuitForm, ComponentsAsDesigned)
{
    TQuitForm form;
    EXPECT_EQ(form.objectName(), QStringLiteral("QuitForm"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Zakończ"));
    EXPECT_EQ(form.ZakonczEtykieta->text(),
        QStringLiteral("Czy jesteś pewny, że chcesz już zakończyć pracę z programem?"));
    EXPECT_EQ(form.ZakonczEtykieta->parentWidget(), form.ZakonczPanel);
    EXPECT_EQ(form.PytajOpcja->text(), QStringLiteral("&Zawsze pytaj przed zamknięciem"));
    EXPECT_TRUE(form.PytajOpcja->isChecked());
    struct Button {
        QPushButton* button;
        const char* name;
        QString caption;
        QString hint;
    };
    const Button buttons[] = {
        { form.TakPrzycisk, "TakPrzycisk", QStringLiteral("&Tak"),
            QStringLiteral("Kończy pracę z programem [Enter]") },
        { form.NiePrzycisk, "NiePrzycisk", QStringLiteral("&Nie"),
            QStringLiteral("Wraca do programu [Esc]") },
    };
    for (const Button& b : buttons) {
        EXPECT_EQ(b.button->objectName(), QString::fromLatin1(b.name));
        EXPECT_EQ(b.button->text(), b.caption);
        EXPECT_EQ(b.button->toolTip(), b.hint);
        EXPECT_FALSE(b.button->icon().isNull()) << b.name << " has its glyph";
        EXPECT_TRUE(b.button->isEnabled());
    }
    ScriptedUiServices ui;
    ui.answerModal([](QDialog& dialog) {
        auto& quit = static_cast<TQuitForm&>(dialog);
        EXPECT_EQ(quit.size(), QSize(346, 156)) << "client area";
        EXPECT_EQ(quit.titlePanel()->size(), QSize(329, 25));
        // Nothing is cut off at the bottom.
        EXPECT_LE(quit.TakPrzycisk->mapTo(&quit, QPoint(0, quit.TakPrzycisk->height())).y(), 156);
        EXPECT_GE(quit.PytajOpcja->width(), quit.PytajOpcja->sizeHint().width()) << "the whole caption shows";
        EXPECT_GE(quit.ZakonczEtykieta->height(),
            quit.ZakonczEtykieta->heightForWidth(quit.ZakonczEtykieta->width()));
        quit.NiePrzycisk->click();
        return quit.result();
    });
    EXPECT_EQ(ui.ShowModal(form), mrNo);
}

// The prompt has no help page of its own: F1 opens the main window's topic.
TEST_F(QuitForm, HelpIsTheTopicOfTheWindowUnderIt)
{
    test::RecordingWindowOpener windows;
    QWidget table;
    SetHelpTopic(table, QStringLiteral("O_GLOWNE"));
    TQuitForm form(&table);
    form.show();
    QTest::keyClick(form.TakPrzycisk, Qt::Key_F1);
    EXPECT_TRUE(form.isVisible());
    form.reject();
    EXPECT_TRUE(windows.ownedBy(&form));
    EXPECT_EQ(windows.take(), QStringList { QStringLiteral("help O_GLOWNE") });
}

TEST_F(QuitForm, AnswersAndTheStoredPrompt)
{
    enum class Answer { Yes, No, Enter, Esc };
    struct Case {
        const char* name;
        std::optional<int> stored;
        bool keepAsking;
        Answer answer;
        int result;
        std::optional<int> after; // nothing: no value stored
    };
    const Case cases[] = {
        { "yes, keep asking", std::nullopt, true, Answer::Yes, mrYes, std::nullopt },
        { "yes, stop asking", std::nullopt, false, Answer::Yes, mrYes, 0 },
        { "yes, stop asking, was 1", 1, false, Answer::Yes, mrYes, 0 },
        { "no, stop asking", std::nullopt, false, Answer::No, mrNo, std::nullopt },
        { "no, stop asking, was 1", 1, false, Answer::No, mrNo, 1 },
        { "Esc answers no", std::nullopt, false, Answer::Esc, mrNo, std::nullopt },
        { "Enter answers yes", std::nullopt, false, Answer::Enter, mrYes, 0 },
        { "Enter, keep asking", 1, true, Answer::Enter, mrYes, 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteRegValue(Hive::CurrentUser, kAdministratorKey, "ExitPrompt");
        if (c.stored)
            WriteRegInteger(Hive::CurrentUser, kAdministratorKey, "ExitPrompt", *c.stored);
        TQuitForm form;
        ScriptedUiServices ui;
        ui.answerModal([&](QDialog& dialog) {
            auto& quit = static_cast<TQuitForm&>(dialog);
            quit.PytajOpcja->setChecked(c.keepAsking);
            switch (c.answer) {
            case Answer::Yes:
                QTest::mouseClick(quit.TakPrzycisk, Qt::LeftButton);
                break;
            case Answer::No:
                QTest::mouseClick(quit.NiePrzycisk, Qt::LeftButton);
                break;
            case Answer::Enter:
                QTest::keyClick(quit.PytajOpcja, Qt::Key_Return);
                break;
            case Answer::Esc:
                QTest::keyClick(quit.TakPrzycisk, Qt::Key_Escape);
                break;
            }
            EXPECT_FALSE(quit.isVisible());
            return quit.result();
        });
        EXPECT_EQ(ui.ShowModal(form), c.result);
        const std::optional<RegValue> value = exitPrompt();
        ASSERT_EQ(value.has_value(), c.after.has_value());
        if (c.after) {
            EXPECT_EQ(value->integer, *c.after);
        }
    }
}

} // namespace
} // namespace orbita
