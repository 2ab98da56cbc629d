#include "platform/scripted_ui_services.h"
#include "tests/support/recording_window_opener.h"
#include "tests/windows/dialogs/dialogs_test_support.h"
#include "windows/dialogs/tip_form.h"
#include "windows/dialogs/tip_texts.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QFrame>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <climits>
#include <set>

namespace orbita {
namespace {

using test::kAdministratorKey;

class TipForm : public test::DialogsTest {
protected:
    static int startupTip() { return ReadRegInteger(Hive::CurrentUser, kAdministratorKey, "StartupTip"); }
    static bool startupTipStored()
    {
        return ReadRegValue(Hive::CurrentUser, kAdministratorKey, "StartupTip").has_value();
    }
    static RandomIndex firstIndex()
    {
        return [](int) { return 0; };
    }
};

TEST_F(TipForm, ComponentsAsDesigned)
{
    TTipForm form(nullptr, firstIndex());
    EXPECT_EQ(form.objectName(), QStringLiteral("TipForm"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Porada dnia"));
    EXPECT_EQ(form.titlePanel()->text(), QStringLiteral("Porada dnia"));
    EXPECT_EQ(form.PoradaEtykieta->text(), QStringLiteral("Czy wiesz, że..."));
    EXPECT_EQ(form.PokazujOpcja->text(), QStringLiteral("Wyświetlaj podczas &uruchamiania"));

    struct Button {
        QPushButton* button;
        const char* name;
        QString caption;
        QString hint;
    };
    const Button buttons[] = {
        { form.ZamknijPrzycisk, "ZamknijPrzycisk", QStringLiteral("&Zamknij"),
            QStringLiteral("Zamyka okno [Esc]") },
        { form.NastepnaPrzycisk, "NastepnaPrzycisk", QStringLiteral("&Następna"),
            QStringLiteral("Pokazuje następną poradę [Enter]") },
        { form.PomocPrzycisk, "PomocPrzycisk", QStringLiteral("Pomo&c"),
            QStringLiteral("Wyświetla pomoc [F1]") },
    };
    for (const Button& b : buttons) {
        EXPECT_EQ(b.button->objectName(), QString::fromLatin1(b.name));
        EXPECT_EQ(b.button->text(), b.caption) << b.name;
        EXPECT_EQ(b.button->toolTip(), b.hint) << b.name;
        EXPECT_FALSE(b.button->icon().isNull()) << b.name << " has its glyph";
        EXPECT_TRUE(b.button->isEnabled()) << b.name;
    }

    EXPECT_EQ(form.ChmuryObraz->size(), QSize(50, 200));
    EXPECT_EQ(form.ChmuryObraz->pos(), QPoint(1, 1)) << "at the panel's left edge";
    EXPECT_EQ(form.ChmuryObraz->parentWidget(), form.GlownyPanel);
    EXPECT_TRUE(test::PicturesMatch(test::shownImage(*form.ChmuryObraz), test::resourceImage("CLOUDS")));
    EXPECT_EQ(form.PomyslObraz->size(), QSize(26, 34));
    EXPECT_TRUE(test::PicturesMatch(test::shownImage(*form.PomyslObraz), test::resourceImage("TIP_ON")));
    EXPECT_EQ(form.PoradyEtykieta->size(), QSize(249, 81));
    EXPECT_TRUE(form.PoradyEtykieta->wordWrap());
    EXPECT_EQ(form.Zegarek->interval(), 1000);
    EXPECT_TRUE(form.Zegarek->isActive());

    ScriptedUiServices ui;
    ui.answerModal([](QDialog& dialog) {
        auto& tip = static_cast<TTipForm&>(dialog);
        EXPECT_EQ(tip.size(), QSize(396, 254)) << "client area";
        EXPECT_EQ(tip.titlePanel()->size(), QSize(380, 25));
        EXPECT_EQ(tip.titlePanel()->pos(), QPoint(8, 8));
        EXPECT_TRUE(tip.windowFlags().testFlag(Qt::FramelessWindowHint));
        tip.ZamknijPrzycisk->click();
        return tip.result();
    });
    EXPECT_EQ(ui.ShowModal(form), mrOk);
    EXPECT_TRUE(ui.finished());
}

TEST_F(TipForm, StartupBoxFollowsTheStoredValue)
{
    struct Case {
        std::optional<int> stored;
        bool checked;
    };
    const Case cases[] = { { std::nullopt, true }, { 1, true }, { -5, true }, { 0, false } };
    for (const Case& c : cases) {
        DeleteRegValue(Hive::CurrentUser, kAdministratorKey, "StartupTip");
        if (c.stored)
            WriteRegInteger(Hive::CurrentUser, kAdministratorKey, "StartupTip", *c.stored);
        TTipForm form(nullptr, firstIndex());
        EXPECT_EQ(form.PokazujOpcja->isChecked(), c.checked) << (c.stored ? *c.stored : 999);
    }
}

TEST_F(TipForm, ClosingWritesZeroOnlyForAShownClearedBox)
{
    enum class Close { Button, Esc };
    struct Case {
        const char* name;
        std::optional<int> stored;
        bool hideBox; // as the settings window does
        bool checkedAtClose;
        Close close;
        std::optional<int> after; // nothing: no value stored
    };
    const Case cases[] = {
        { "cleared, closed", std::nullopt, false, false, Close::Button, 0 },
        { "cleared, Esc", 1, false, false, Close::Esc, 0 },
        { "kept checked", std::nullopt, false, true, Close::Button, std::nullopt },
        { "kept checked, stored 1", 1, false, true, Close::Esc, 1 },
        { "checked again: never writes", 0, false, true, Close::Button, 0 },
        { "hidden box, cleared", std::nullopt, true, false, Close::Button, std::nullopt },
        { "hidden box, stored 1", 1, true, false, Close::Esc, 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteRegValue(Hive::CurrentUser, kAdministratorKey, "StartupTip");
        if (c.stored)
            WriteRegInteger(Hive::CurrentUser, kAdministratorKey, "StartupTip", *c.stored);
        TTipForm form(nullptr, firstIndex());
        if (c.hideBox)
            form.PokazujOpcja->hide();
        ScriptedUiServices ui;
        ui.answerModal([&](QDialog& dialog) {
            auto& tip = static_cast<TTipForm&>(dialog);
            tip.PokazujOpcja->setChecked(c.checkedAtClose);
            if (c.close == Close::Button)
                QTest::mouseClick(tip.ZamknijPrzycisk, Qt::LeftButton);
            else
                QTest::keyClick(tip.NastepnaPrzycisk, Qt::Key_Escape);
            EXPECT_FALSE(tip.isVisible());
            return tip.result();
        });
        EXPECT_EQ(ui.ShowModal(form), mrOk);
        if (c.after) {
            EXPECT_EQ(startupTip(), *c.after);
        } else {
            EXPECT_FALSE(startupTipStored());
        }
    }
}

TEST_F(TipForm, EveryTextOnceThenANewCycle)
{
    int picks = 0;
    TTipForm form(nullptr, [&](int) {
        ++picks;
        return 0;
    });
    ScriptedUiServices ui;
    ui.answerModal([&](QDialog& dialog) {
        auto& tip = static_cast<TTipForm&>(dialog);
        std::set<QString> shown;
        EXPECT_EQ(tip.PoradyEtykieta->text(), QStringLiteral("...") + QString::fromUtf8(TipTexts()[0]));
        shown.insert(tip.PoradyEtykieta->text());
        for (int i = 0; i < 94; ++i) {
            // Enter presses "&Następna" wherever the focus is.
            QTest::keyClick(
                i % 2 ? static_cast<QWidget*>(tip.PokazujOpcja) : tip.ZamknijPrzycisk, Qt::Key_Return);
            shown.insert(tip.PoradyEtykieta->text());
        }
        EXPECT_EQ(shown.size(), 95u);
        for (std::string_view text : TipTexts())
            EXPECT_TRUE(shown.count(QStringLiteral("...") + QString::fromUtf8(text.data(), text.size())))
                << text;
        // The 96th tip starts again from the table.
        tip.NastepnaPrzycisk->click();
        EXPECT_EQ(tip.PoradyEtykieta->text(), QStringLiteral("...") + QString::fromUtf8(TipTexts()[0]));
        EXPECT_TRUE(tip.isVisible()) << "Enter does not close the window";
        tip.ZamknijPrzycisk->click();
        return tip.result();
    });
    EXPECT_EQ(ui.ShowModal(form), mrOk);
    EXPECT_EQ(picks, 96);
}

TEST_F(TipForm, EveryTextFitsTheTipLabel)
{
    TTipForm form(nullptr, firstIndex());
    const QFontMetrics metrics(form.PoradyEtykieta->font());
    for (std::string_view text : TipTexts()) {
        const QString shown = QStringLiteral("...") + QString::fromUtf8(text.data(), text.size());
        const QRect needed = metrics.boundingRect(QRect(0, 0, 249, INT_MAX), Qt::TextWordWrap, shown);
        EXPECT_LE(needed.height(), 81) << text;
        EXPECT_LE(needed.width(), 249) << text;
    }
}

TEST_F(TipForm, HelpOpensTheTipTopic)
{
    test::RecordingWindowOpener windows;
    TTipForm form(nullptr, firstIndex());
    ScriptedUiServices ui;
    ui.answerModal([&](QDialog& dialog) {
        auto& tip = static_cast<TTipForm&>(dialog);
        tip.PomocPrzycisk->click();
        QTest::keyClick(tip.NastepnaPrzycisk, Qt::Key_F1);
        EXPECT_TRUE(tip.isVisible());
        tip.ZamknijPrzycisk->click();
        return tip.result();
    });
    ui.ShowModal(form);
    EXPECT_TRUE(windows.ownedBy(&form));
    EXPECT_EQ(windows.take(), QStringList(2, QStringLiteral("help O_PORADA")));
}

TEST_F(TipForm, BulbBlinksEverySecond)
{
    TTipForm form(nullptr, firstIndex());
    EXPECT_TRUE(form.BulbOn());
    const char* const expected[] = { "TIP_OFF", "TIP_ON", "TIP_OFF" };
    for (const char* picture : expected) {
        ASSERT_TRUE(QMetaObject::invokeMethod(form.Zegarek, "timeout"));
        EXPECT_TRUE(test::PicturesMatch(test::shownImage(*form.PomyslObraz), test::resourceImage(picture)))
            << picture;
        EXPECT_EQ(form.BulbOn(), QString::fromLatin1(picture) == QStringLiteral("TIP_ON"));
    }
}

} // namespace
} // namespace orbita
