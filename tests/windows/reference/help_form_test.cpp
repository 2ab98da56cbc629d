#include "tests/windows/reference/reference_test_support.h"
#include "widgets/find_dialog.h"
#include "windows/reference/help_form.h"
#include "windows/settings/appearance_colors.h"
#include "windows/settings/font_form.h"

#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QSplitter>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace orbita {
namespace {

// A picture of 2 x 2 pixels (BMP).
std::string tinyBitmap()
{
    std::string bmp = "BM";
    auto put32 = [&bmp](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bmp.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    auto put16 = [&bmp](std::uint16_t v) {
        bmp.push_back(static_cast<char>(v & 0xFF));
        bmp.push_back(static_cast<char>(v >> 8));
    };
    put32(14 + 40 + 16);
    put32(0);
    put32(14 + 40);
    put32(40);
    put32(2);
    put32(2);
    put16(1);
    put16(24);
    put32(0);
    put32(16);
    put32(0);
    put32(0);
    put32(0);
    put32(0);
    bmp += std::string(16, '\x40');
    return bmp;
}

class HelpForm : public test::ReferenceWindowTest {
protected:
    void SetUp() override
    {
        ReferenceWindowTest::SetUp();
        std::vector<test::TestMember> members;
        auto add = [&members](const std::string& name, const std::string& utf8) {
            members.push_back(test::Deflated(name, test::Cp(utf8)));
        };
        add("POMOC\\MENU.HTM",
            "<title>Tematy</title><p><a href=\"O_TEST.HTM\">Test</a><p><img src=\"MENU.BMP\">lista tematów");
        add("POMOC\\WITAMY.HTM", test::TallPage("Witamy", "powitanie"));
        add("POMOC\\O_TEST.HTM", test::TallPage("Test wiedzy", "opis testu <img src=\"OBRAZ.BMP\">"));
        add("POMOC\\LEGENDA.HTM", "<title>Legenda</title><p>kolory pól");
        add("POMOC\\BEZTYT.HTM", "<p>strona bez tytułu");
        add("POMOC\\DZIEKI.HTM", test::TallPage("Podziękowania", "dziękujemy"));
        members.push_back(test::Stored("POMOC\\OBRAZ.BMP", tinyBitmap()));
        members.push_back(test::Stored("POMOC\\MENU.BMP", tinyBitmap()));
        writeRawArchive(std::move(members));
    }

    static std::string contents(const THelpForm& form) { return test::ShownText(*form.ContentsHtml); }
    static void click(THelpForm& form, const std::string& target)
    {
        bool handled = false;
        form.HotSpotClick(test::Cp(target), handled);
        EXPECT_TRUE(handled) << "help reports every click handled: " << target;
    }
};

TEST_F(HelpForm, ATopicOpensAloneWithItsTitleInTheCaption)
{
    THelpForm form(QStringLiteral("O_TEST"));
    EXPECT_EQ(form.objectName(), QStringLiteral("HelpForm"));
    EXPECT_EQ(form.title(), QStringLiteral("Pomoc [Test wiedzy]"));
    EXPECT_NE(contents(form).find("opistestu"), std::string::npos);
    EXPECT_FALSE(form.MenuPaneShown());
    EXPECT_FALSE(form.ListButton->isChecked());
    EXPECT_FALSE(form.SlideShowRunning());
    EXPECT_EQ(form.History().Entries(), (std::vector<std::string> { "POMOC\\O_TEST.HTM" }));
    EXPECT_NE(test::ShownText(*form.MenuHtml).find("listatematów"), std::string::npos)
        << "the topic list is loaded though hidden";
    // Pictures of both panes come from POMOC\.
    EXPECT_NE(form.ContentsHtml->CachedImage("OBRAZ.BMP"), nullptr);
    EXPECT_NE(form.MenuHtml->CachedImage("MENU.BMP"), nullptr);
    // The list toggles back.
    form.ListButtonClick();
    EXPECT_TRUE(form.MenuPaneShown());
    EXPECT_TRUE(form.ListButton->isChecked());
    EXPECT_EQ(form.MenuPaneWidth(), 135);
}

TEST_F(HelpForm, WithoutATopicTheWelcomePageScrollsWithTheListBeside)
{
    THelpForm form { QString() };
    form.resize(500, 300);
    form.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(form.title(), QStringLiteral("Pomoc [Witamy]"));
    EXPECT_TRUE(form.MenuPaneShown());
    EXPECT_TRUE(form.ListButton->isChecked());
    EXPECT_TRUE(form.SlideShowRunning());
    EXPECT_EQ(form.SlideTimer->interval(), 150);
    ASSERT_GT(form.ContentsHtml->VScrollBarRange(), 10);
    SharedSlideDirection() = SlideDirection::Down;
    form.SlideTimerTimer();
    form.SlideTimerTimer();
    EXPECT_EQ(form.ContentsHtml->VScrollBarPosition(), 2);
    // At the end the show turns up, for every help window of the process.
    form.ContentsHtml->SetVScrollBarPosition(form.ContentsHtml->VScrollBarRange() - 1);
    form.SlideTimerTimer();
    EXPECT_EQ(SharedSlideDirection(), SlideDirection::Up);
    form.SlideTimerTimer();
    EXPECT_EQ(form.ContentsHtml->VScrollBarPosition(), form.ContentsHtml->VScrollBarRange() - 1);
    SharedSlideDirection() = SlideDirection::Down;
    // Space in either view and a right click in the contents toggle the show.
    press(form.ContentsHtml, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    EXPECT_FALSE(form.SlideShowRunning());
    press(form.MenuHtml, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    EXPECT_TRUE(form.SlideShowRunning());
    form.ContentsHtml->OnRightClick(form.ContentsHtml, {});
    EXPECT_FALSE(form.SlideShowRunning());
    form.ToggleSlideShow();
    // Any link click stops it.
    click(form, "LEGENDA.HTM");
    EXPECT_FALSE(form.SlideShowRunning());
    form.done(mrOk);
}

TEST_F(HelpForm, ThanksPageAlsoScrolls)
{
    THelpForm form(QStringLiteral("DZIEKI"));
    EXPECT_TRUE(form.SlideShowRunning());
    EXPECT_FALSE(form.MenuPaneShown());
}

TEST_F(HelpForm, HistoryBackForwardAndANewLinkDroppingForwardPages)
{
    THelpForm form(QStringLiteral("O_TEST"));
    click(form, "LEGENDA.HTM");
    EXPECT_EQ(form.title(), QStringLiteral("Pomoc [Legenda]"));
    click(form, "WITAMY.HTM");
    EXPECT_EQ(form.title(), QStringLiteral("Pomoc [Witamy]"));
    form.WsteczPrzyciskClick();
    form.WsteczPrzyciskClick();
    EXPECT_EQ(form.title(), QStringLiteral("Pomoc [Test wiedzy]"));
    EXPECT_NE(contents(form).find("opistestu"), std::string::npos);
    form.WsteczPrzyciskClick(); // at the first entry: nothing
    EXPECT_EQ(form.History().Index(), 0);
    form.DalejPrzyciskClick();
    EXPECT_EQ(form.title(), QStringLiteral("Pomoc [Legenda]"));
    // Back to the first page, then a new link: the two forward pages are gone.
    form.WsteczPrzyciskClick();
    click(form, "DZIEKI.HTM");
    EXPECT_EQ(
        form.History().Entries(), (std::vector<std::string> { "POMOC\\O_TEST.HTM", "POMOC\\DZIEKI.HTM" }));
    form.DalejPrzyciskClick();
    EXPECT_EQ(form.title(), QStringLiteral("Pomoc [Podziękowania]"));
    // Backspace goes back, Shift+Backspace forward.
    press(form.ContentsHtml, Qt::Key_Backspace);
    EXPECT_EQ(form.title(), QStringLiteral("Pomoc [Test wiedzy]"));
    press(form.ContentsHtml, Qt::Key_Backspace, Qt::ShiftModifier);
    EXPECT_EQ(form.title(), QStringLiteral("Pomoc [Podziękowania]"));
}

TEST_F(HelpForm, AMissingPageOrAnUntitledOneKeepsTheCaption)
{
    THelpForm form(QStringLiteral("LEGENDA"));
    click(form, "BRAK.HTM");
    EXPECT_NE(contents(form).find("kolorypól"), std::string::npos) << "the page stays";
    EXPECT_EQ(form.title(), QStringLiteral("Pomoc [Legenda]"));
    EXPECT_EQ(form.History().Entries().back(), "POMOC\\BRAK.HTM") << "the failed link is still an entry";
    click(form, "BEZTYT.HTM");
    EXPECT_NE(contents(form).find("stronabeztytułu"), std::string::npos);
    EXPECT_EQ(form.title(), QStringLiteral("Pomoc [Legenda]"));
    EXPECT_TRUE(ui.finished()) << "no message for a missing page";
}

TEST_F(HelpForm, ExternalAddressesGoToTheDesktopAsWritten)
{
    THelpForm form(QStringLiteral("LEGENDA"));
    const std::vector<std::string> before = form.History().Entries();
    for (const char* target : { "http://orbita.example.org/Pomoc.html",
             "HTTPS://Orbita.example.org/CzytajMnie", "mailto:Autor@example.org" }) {
        click(form, target);
        EXPECT_EQ(windows.take(), QStringList { QStringLiteral("tool ") + QString::fromLatin1(target) });
    }
    EXPECT_EQ(form.History().Entries(), before);
    EXPECT_EQ(form.title(), QStringLiteral("Pomoc [Legenda]"));
    EXPECT_NE(contents(form).find("kolorypól"), std::string::npos);
}

TEST_F(HelpForm, WithNobodyLoggedInOnlyFindAndCloseAndNothingStored)
{
    logOut();
    const std::vector<std::string> before = storedValues();
    THelpForm form(QStringLiteral("O_TEST"));
    for (QToolButton* hidden :
        { form.SettingsButton, form.ListButton, form.WsteczPrzycisk, form.DalejPrzycisk })
        EXPECT_TRUE(hidden->isHidden()) << hidden->objectName().toStdString();
    EXPECT_FALSE(form.FindButton->isHidden());
    EXPECT_FALSE(form.CloseButton->isHidden());
    form.show();
    // The find button searches the contents at once.
    form.FindButton->click();
    EXPECT_TRUE(form.FindContentsDialog->isVisible());
    EXPECT_FALSE(form.FindMenu->isVisible());
    // Ctrl+U (appearance) and Ctrl+L (topic list) do nothing.
    press(form.ContentsHtml, Qt::Key_U, Qt::ControlModifier);
    press(form.ContentsHtml, Qt::Key_L, Qt::ControlModifier);
    EXPECT_FALSE(form.MenuPaneShown());
    form.done(mrOk);
    EXPECT_FALSE(form.FindContentsDialog->isVisible());
    EXPECT_EQ(storedValues(), before);
    EXPECT_TRUE(ui.finished());
}

TEST_F(HelpForm, SeparatorIsReadWhenPlacementsAreKeptAndWrittenWithAUser)
{
    WriteRegInteger(Hive::CurrentUser, test::kPlacementKey, "HelpFormSeparator", 210);
    {
        THelpForm form { QString() };
        EXPECT_EQ(form.MenuPaneWidth(), 135) << "placements are not kept";
        form.done(mrOk);
    }
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, test::kPlacementKey, "HelpFormSeparator"), 135);
    keepPlacements();
    WriteRegInteger(Hive::CurrentUser, test::kPlacementKey, "HelpFormSeparator", 210);
    THelpForm form { QString() };
    form.resize(700, 400);
    form.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(form.MenuPaneWidth(), 210);
    form.Splitter->setSizes({ 180, 400 });
    Q_EMIT form.Splitter->splitterMoved(180, 1);
    form.done(mrOk);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, test::kPlacementKey, "HelpFormSeparator"), 180);
}

TEST_F(HelpForm, PlacedByTheScreenSizeUnlessPlacementsAreKept)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const Bounds bounds = HelpWindowBounds(screen.width(), screen.height());
    THelpForm form(QStringLiteral("LEGENDA"));
    EXPECT_EQ(form.geometry(),
        QRect(screen.x() + bounds.left, screen.y() + bounds.top, bounds.width, bounds.height));
    EXPECT_EQ(form.minimumSize(), QSize(400, 250));
}

TEST_F(HelpForm, AppearanceAppliesToBothViewsAndIsStoredOnOk)
{
    ViewAppearance chosen = DefaultViewAppearance();
    chosen.background = RgbColor(0, 0, 168);
    chosen.fontColor = RgbColor(84, 252, 252);
    chosen.linkColor = RgbColor(252, 252, 84);
    chosen.fontSize = 12;
    chosen.fontName = "Verdana";
    ui.answerModal([](QDialog&) { return mrCancel; });
    ui.answerModal([&chosen](QDialog& dialog) {
        static_cast<TFontForm&>(dialog).SetAppearance(chosen);
        return mrOk;
    });
    THelpForm form(QStringLiteral("LEGENDA"));
    form.SettingsButtonClick();
    EXPECT_FALSE(IsViewerValueStored(Viewer::Help, ViewerValue::BackgroundColor)) << "cancelled";
    press(form.ContentsHtml, Qt::Key_U, Qt::ControlModifier);
    ASSERT_TRUE(ui.finished());
    for (const ThtmlLite* view : { form.MenuHtml, form.ContentsHtml }) {
        EXPECT_EQ(view->DefBackground(), RgbColor(0, 0, 168));
        EXPECT_EQ(view->DefFontSize(), 12);
        EXPECT_EQ(view->DefFontName(), QStringLiteral("Verdana"));
        EXPECT_EQ(view->DefPreFontName(), QStringLiteral("Verdana"));
    }
    EXPECT_EQ(form.BorderPanels[0]->palette().color(QPalette::Window), QColor(0, 0, 168));
    EXPECT_EQ(form.MainPanel->palette().color(QPalette::Window), QColor(0, 0, 168));
    // The dialog's own place is stored beside the values.
    std::vector<std::string> names = RegValueNames(Hive::CurrentUser, test::kPlacementKey);
    std::erase_if(names, [](const std::string& name) { return name.rfind("Help", 0) != 0; });
    EXPECT_EQ(names,
        (std::vector<std::string> {
            "HelpBackgroundColor", "HelpFontColor", "HelpLinkColor", "HelpFontSize", "HelpFontName" }));
    // The next window opens with it.
    THelpForm next(QStringLiteral("LEGENDA"));
    EXPECT_EQ(next.ContentsHtml->DefBackground(), RgbColor(0, 0, 168));
    EXPECT_EQ(next.Appearance().fontName, "Verdana");
}

TEST_F(HelpForm, FindInEitherPane)
{
    THelpForm form { QString() };
    form.show();
    QCoreApplication::processEvents();
    form.FindButton->click();
    EXPECT_TRUE(form.FindMenu->isVisible());
    EXPECT_TRUE(form.FindMenuMenu->isEnabled()) << "the topic list is shown";
    form.FindMenu->hide();
    form.ListButtonClick();
    form.FindMenuPopup();
    EXPECT_FALSE(form.FindMenuMenu->isEnabled()) << "the topic list is hidden";
    form.ListButtonClick();

    press(form.ContentsHtml, Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(form.FindContentsDialog->isVisible());
    form.FindContentsDialog->TextEdit->setText(QStringLiteral("AKAPIT 7"));
    form.FindContentsDialog->FindNext(); // no match case: found
    EXPECT_EQ(ui.requests().size(), 0u);
    EXPECT_EQ(form.ContentsHtml->SelectedText(), "akapit 7");
    form.FindContentsDialog->MatchCaseBox->setChecked(true);
    form.FindContentsDialog->FindNext();
    ASSERT_EQ(ui.requests().size(), 1u);
    EXPECT_EQ(ui.requests()[0].caption, QStringLiteral("Rezultat wyszukiwania"));
    EXPECT_EQ(ui.requests()[0].text, QStringLiteral("Przeszukiwanie dokumentu zostało zakończone"));
    EXPECT_EQ(ui.requests()[0].icon, MessageIcon::Information);

    press(form.MenuHtml, Qt::Key_T, Qt::ControlModifier);
    ASSERT_TRUE(form.FindMenuDialog->isVisible());
    form.FindMenuDialog->TextEdit->setText(QStringLiteral("tematów"));
    form.FindMenuDialog->FindNext();
    EXPECT_EQ(form.MenuHtml->SelectedText(), test::Cp("tematów"));
    form.done(mrOk);
}

TEST_F(HelpForm, ShowHelpOpensTheWindowModallyAtTheTopic)
{
    QString shownTitle;
    ui.answerModal([&shownTitle](QDialog& dialog) {
        shownTitle = dialog.windowTitle();
        return mrOk;
    });
    ProgramWindowOpener program;
    program.ShowHelp(nullptr, QStringLiteral("LEGENDA"));
    EXPECT_TRUE(ui.finished());
    ASSERT_EQ(ui.requests().size(), 1u);
    EXPECT_EQ(ui.requests()[0].text, QStringLiteral("HelpForm"));
    EXPECT_EQ(shownTitle, QStringLiteral("Pomoc [Legenda]"));
}

} // namespace
} // namespace orbita
