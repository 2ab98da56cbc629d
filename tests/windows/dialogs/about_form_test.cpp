#include "core/file_version.h"
#include "platform/scripted_ui_services.h"
#include "platform/shell_services.h"
#include "tests/support/recording_window_opener.h"
#include "tests/windows/dialogs/dialogs_test_support.h"
#include "windows/dialogs/about_form.h"
#include "windows/dialogs/about_texts.h"

#include <QDesktopServices>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace orbita {
namespace {

// Takes the addresses the about box hands to the shell.
class UrlRecorder final : public QObject {
    Q_OBJECT
public:
    QStringList urls;
    Q_INVOKABLE void open(const QUrl& url) { urls << url.toString(); }
};

class AboutForm : public test::DialogsTest {
protected:
    static void setRunCount(std::optional<int> count)
    {
        DeleteRegValue(Hive::CurrentUser, "Software\\Orbita", "RunCount");
        if (count)
            WriteRegInteger(Hive::CurrentUser, "Software\\Orbita", "RunCount", *count);
    }
    static bool aboutBoxExists()
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (qobject_cast<TAboutForm*>(widget))
                return true;
        return false;
    }
};

struct PageState {
    int page = -1;
    QString status;
    QString button;
    QImage glyph;
};

PageState stateOf(const TAboutForm& about)
{
    return { about.Notebook->currentIndex(), about.InformacjeEtykieta->text(), about.NapiszPrzycisk->text(),
        about.NapiszPrzycisk->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32) };
}

TEST_F(AboutForm, OpensOnThePageOfTheMode)
{
    struct Case {
        bool mode;
        std::optional<int> runCount;
        int page;
        QString status;
        QString button;
        const char* glyph;
    };
    const Case cases[] = {
        { false, std::nullopt, TAboutForm::InformacjePage, QStringLiteral("-1 uruchomienie programu"),
            QStringLiteral("Ko&ntakt"), "B_MAIL" },
        { false, 57, TAboutForm::InformacjePage, QStringLiteral("57 uruchomień programu"),
            QStringLiteral("Ko&ntakt"), "B_MAIL" },
        { true, 57, TAboutForm::KorespondencjaPage, QStringLiteral("Korespondencja z autorem"),
            QStringLiteral("I&nformacje"), "B_ABOUT" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status.toStdString());
        setRunCount(c.runCount);
        ScriptedUiServices ui;
        PageState seen;
        ui.answerModal([&](QDialog& dialog) {
            auto& about = static_cast<TAboutForm&>(dialog);
            seen = stateOf(about);
            QTest::mouseClick(about.CloseButton, Qt::LeftButton);
            return about.result();
        });
        EXPECT_EQ(TAboutForm::PokazInformacje(c.mode), mrOk);
        EXPECT_TRUE(ui.finished());
        ASSERT_EQ(ui.requests().size(), 1u);
        EXPECT_EQ(ui.requests()[0].caption, QStringLiteral("Informacje o programie"));
        EXPECT_EQ(seen.page, c.page);
        EXPECT_EQ(seen.status, c.status);
        EXPECT_EQ(seen.button, c.button);
        EXPECT_TRUE(test::PicturesMatch(seen.glyph, test::resourceImage(c.glyph)));
        EXPECT_FALSE(aboutBoxExists()) << "freed when closed";
    }
}

TEST_F(AboutForm, ContactModeThenInformation)
{
    setRunCount(12);
    ScriptedUiServices ui;
    std::vector<PageState> states;
    ui.answerModal([&](QDialog& dialog) {
        auto& about = static_cast<TAboutForm&>(dialog);
        states.push_back(stateOf(about));
        QTest::mouseClick(about.NapiszPrzycisk, Qt::LeftButton);
        states.push_back(stateOf(about));
        setRunCount(13); // read afresh at every switch
        about.NapiszPrzycisk->click();
        about.NapiszPrzycisk->click();
        states.push_back(stateOf(about));
        QTest::keyClick(about.CloseButton, Qt::Key_Escape);
        return about.result();
    });
    EXPECT_EQ(TAboutForm::PokazInformacje(true), mrCancel) << "Esc closes";
    ASSERT_EQ(states.size(), 3u);
    EXPECT_EQ(states[0].page, TAboutForm::KorespondencjaPage);
    EXPECT_EQ(states[1].page, TAboutForm::InformacjePage);
    EXPECT_EQ(states[1].status, QStringLiteral("12 uruchomień programu"));
    EXPECT_EQ(states[1].button, QStringLiteral("Ko&ntakt"));
    EXPECT_EQ(states[2].page, TAboutForm::InformacjePage);
    EXPECT_EQ(states[2].status, QStringLiteral("13 uruchomień programu"));
    EXPECT_FALSE(aboutBoxExists());
}

TEST_F(AboutForm, ComponentsAsDesigned)
{
    TAboutForm about;
    EXPECT_EQ(about.objectName(), QStringLiteral("AboutForm"));
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Informacje o programie"));
    EXPECT_EQ(about.Notebook->count(), 2);
    EXPECT_EQ(about.Notebook->widget(TAboutForm::InformacjePage)->objectName(), QStringLiteral("Informacje"));
    EXPECT_EQ(about.Notebook->widget(TAboutForm::KorespondencjaPage)->objectName(),
        QStringLiteral("Korespondencja"));
    EXPECT_EQ(about.MainImage->parentWidget(), about.Notebook->widget(TAboutForm::InformacjePage));
    EXPECT_EQ(about.AutorObraz->parentWidget(), about.Notebook->widget(TAboutForm::KorespondencjaPage));
    EXPECT_TRUE(test::PicturesMatch(test::shownImage(*about.MainImage), test::resourceImage("ABOUT")));
    EXPECT_TRUE(test::PicturesMatch(test::shownImage(*about.AutorObraz), test::resourceImage("AUTOR")));
    EXPECT_EQ(
        about.ProgramCaption->text().toStdString(), ProgramCaptionText(FileVersionText(ExecutablePath())));
    EXPECT_TRUE(about.ProgramCaption->text().startsWith(QStringLiteral("Orbita ")));
    EXPECT_EQ(about.KontaktEtykieta->text(),
        QStringLiteral(
            "Aby skontaktować się ze mną skorzystaj z formularza umieszczonego na stronie internetowej "
            "programu."));
    EXPECT_EQ(about.Label11->text(), QStringLiteral("napisz do mnie"));
    EXPECT_EQ(about.UrlCaption->text(), QStringLiteral("https://orbita.example.org/"));
    EXPECT_EQ(about.UrlCaption->toolTip(), QStringLiteral("Kliknij, aby odwiedzić stronę domową"));
    for (QLabel* link : { about.UrlCaption, about.Label11 })
        EXPECT_FALSE(link->cursor().pixmap().isNull()) << "the HANDPOINT cursor";

    struct Button {
        QPushButton* button;
        const char* name;
        QString caption;
        QString hint;
        const char* glyph;
    };
    const Button buttons[] = {
        { about.ThnxButton, "ThnxButton", QStringLiteral("&Podziękowania"),
            QStringLiteral("Specjalne podziękowania"), "B_THNX" },
        { about.CloseButton, "CloseButton", QStringLiteral("&Zamknij"), QStringLiteral("Zamyka okno [Esc]"),
            "B_CLOSE" },
    };
    for (const Button& b : buttons) {
        EXPECT_EQ(b.button->objectName(), QString::fromLatin1(b.name));
        EXPECT_EQ(b.button->text(), b.caption);
        EXPECT_EQ(b.button->toolTip(), b.hint);
        EXPECT_TRUE(test::PicturesMatch(
            b.button->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32),
            test::resourceImage(b.glyph)))
            << b.name;
    }
    EXPECT_EQ(about.BlinkTimer->interval(), 500);
    EXPECT_TRUE(about.BlinkTimer->isActive());

    ScriptedUiServices ui;
    ui.answerModal([](QDialog& dialog) {
        auto& shown = static_cast<TAboutForm&>(dialog);
        EXPECT_EQ(shown.size(), QSize(440, 300));
        // Every text of the information page is inside the window.
        for (QWidget* part : std::initializer_list<QWidget*> { shown.ProgramCaption, shown.PrawaEtykieta,
                 shown.WersjaEtykieta, shown.UrlCaption, shown.InformacjeEtykieta, shown.CloseButton }) {
            const QRect inWindow(part->mapTo(&shown, QPoint(0, 0)), part->size());
            EXPECT_TRUE(shown.rect().contains(inWindow)) << part->objectName().toStdString();
        }
        // The wrapped texts get the height their lines need.
        for (QLabel* text : { shown.ProgramCaption, shown.PrawaEtykieta, shown.WersjaEtykieta })
            EXPECT_GE(text->height(), text->heightForWidth(text->width()))
                << text->objectName().toStdString();
        shown.CloseButton->click();
        return shown.result();
    });
    EXPECT_EQ(ui.ShowModal(about), mrOk);
}

TEST_F(AboutForm, LinksOpenTheSiteAndItsContactPage)
{
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
    TAboutForm about;
    ScriptedUiServices ui;
    ui.answerModal([](QDialog& dialog) {
        auto& shown = static_cast<TAboutForm&>(dialog);
        QTest::mouseClick(shown.UrlCaption, Qt::LeftButton);
        shown.NapiszPrzycisk->click();
        QTest::mouseClick(shown.Label11, Qt::LeftButton);
        QTest::mouseClick(shown.Label11, Qt::RightButton); // only the left button opens
        shown.CloseButton->click();
        return shown.result();
    });
    ui.ShowModal(about);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    EXPECT_EQ(recorder.urls,
        (QStringList { QStringLiteral("https://orbita.example.org/"),
            QStringLiteral("https://orbita.example.org/kontakt/") }));
}

TEST_F(AboutForm, ThanksOpenTheirHelpTopicAndBlink)
{
    test::RecordingWindowOpener windows;
    QWidget owner;
    SetHelpTopic(owner, QStringLiteral("O_GLOWNE"));
    TAboutForm about(&owner);
    about.ThnxButton->click();
    // F1 has no page of the box's own: the topic of the window under it.
    about.show();
    QTest::keyClick(about.ThnxButton, Qt::Key_F1);
    about.reject();
    EXPECT_TRUE(windows.ownedBy(&about));
    EXPECT_EQ(
        windows.take(), (QStringList { QStringLiteral("help DZIEKI"), QStringLiteral("help O_GLOWNE") }));

    const bool boldAtFirst = about.ThnxButton->font().bold();
    for (int tick = 1; tick <= 3; ++tick) {
        ASSERT_TRUE(QMetaObject::invokeMethod(about.BlinkTimer, "timeout"));
        EXPECT_EQ(about.ThnxButton->font().bold(), tick % 2 ? !boldAtFirst : boldAtFirst) << tick;
        EXPECT_LE(about.ThnxButton->sizeHint().width(), about.ThnxButton->minimumWidth())
            << "the row stays put";
    }
}

} // namespace
} // namespace orbita

#include "about_form_test.moc"
