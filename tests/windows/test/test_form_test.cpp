#include "core/message_pump.h"
#include "core/registry.h"
#include "tests/support/pdf_pages.h"
#include "tests/windows/reference/reference_test_support.h"
#include "windows/settings/font_form.h"
#include "windows/test/test_form.h"

#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <cstdint>
#include <memory>

namespace orbita {
namespace {

// A test of `count` questions, option 2 correct in each, with the grade
// lines: 0–1 correct give 1, 2 give 5, 3 give 6 (for three questions).
std::string TestText(const std::string& title, int count, const std::string& description = "Opis testu")
{
    std::string text = "Tytul=" + title + "\r\nAutor=Jan Kowalski\r\nOpis=" + description + "\r\n";
    for (int n = 1; n <= count; ++n) {
        const std::string q = std::to_string(n);
        text += "Pytanie" + q + "=Ile to " + q + "+" + q + "?\r\nOpcja1=" + std::to_string(2 * n + 1)
            + "\r\nOpcja2=" + std::to_string(2 * n) + "\r\nOdpowiedź=2\r\n";
    }
    text += "Ocena1=0:Niedostatecznie\r\nOcena2=1:Dopuszczająco\r\nOcena3=2:Dostatecznie\r\n"
            "Ocena4=2:Dobrze\r\nOcena5=2:Bardzo dobrze\r\nOcena6=3:Celująco\r\n";
    return text;
}

class TestForm : public test::ReferenceWindowTest {
protected:
    void SetUp() override
    {
        ReferenceWindowTest::SetUp();
        ASSERT_TRUE(QDir(path("program")).mkpath(QStringLiteral("TESTY")));
    }
    void TearDown() override
    {
        if (form) {
            if (form->Running()) {
                ui.answerMessage(mrYes);
                form->StopButtonClick();
            }
            form->done(mrOk);
            form.reset();
        }
        EXPECT_TRUE(ui.finished());
        ReferenceWindowTest::TearDown();
    }

    // A package in the program's TESTY folder: TEST.TXT from UTF-8 text, stored in Windows-1250.
    void writePackage(const QString& file, const std::string& text, const QString& folder = {},
        std::vector<test::TestMember> pictures = {})
    {
        test::TestZipWriter zip;
        zip.members.push_back(test::Deflated("test.txt", test::Cp(text)));
        for (test::TestMember& picture : pictures)
            zip.members.push_back(std::move(picture));
        test::WriteBytes(
            ToStd((folder.isEmpty() ? path("program/TESTY") : folder) + u'/' + file), zip.Build());
    }
    static std::string ToStd(const QString& text) { return text.toStdString(); }

    void open()
    {
        form = std::make_unique<TTestForm>(nullptr, [this] { return now; });
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get(), 30000));
    }
    void select(int row) { form->TestList->setCurrentItem(form->TestList->topLevelItem(row)); }
    // Chooses option k of the question on screen (0: none) and presses Enter.
    void answer(int k)
    {
        if (k > 0) {
            auto* radio = qobject_cast<QRadioButton*>(form->TestHtml->ControlWidget(k - 1));
            ASSERT_NE(radio, nullptr);
            radio->setChecked(true);
        }
        press(form->TestHtml, Qt::Key_Return);
        QApplication::processEvents();
    }
    QStringList column(int c) const
    {
        QStringList texts;
        for (int i = 0; i < form->TestList->topLevelItemCount(); ++i)
            texts << form->TestList->topLevelItem(i)->text(c);
        return texts;
    }
    std::string question() const { return test::ShownText(*form->TestHtml); }
    std::string results() const { return test::ShownText(*form->WynikiHtml); }

    std::int64_t now = 5000;
    std::unique_ptr<TTestForm> form;
};

TEST_F(TestForm, CatalogueListsEveryPackageAndADamagedOneWithoutData)
{
    writePackage(QStringLiteral("Atom.obt"), TestText("Budowa atomu", 3, "Protony i elektrony; x=y"));
    writePackage(QStringLiteral("WIELKIE.OBT"), TestText("Wielkie litery", 2));
    writePackage(QStringLiteral(".ukryty.obt"), TestText("Ukryty", 1));
    test::WriteBytes(stdPath("program/TESTY/zepsuty.obt"), "<html>404 Not Found</html>");
    test::TestZipWriter foreign;
    foreign.members.push_back(test::Deflated("inny.txt", "x"));
    test::WriteBytes(stdPath("program/TESTY/obcy.obt"), foreign.Build());
    test::WriteBytes(stdPath("program/TESTY/notatka.txt"), "Tytul=nie test");
    // The per-user folder: its package wins over the program's of the same name.
    ASSERT_TRUE(QDir(path("data")).mkpath(QStringLiteral("orbita/TESTY")));
    writePackage(QStringLiteral("atom.OBT"), TestText("Atom nowszy", 4), path("data/orbita/TESTY"));
    writePackage(QStringLiteral("Wlasny.obt"), TestText("Własny", 1), path("data/orbita/TESTY"));

    open();
    EXPECT_EQ(form->objectName(), QStringLiteral("TestForm"));
    EXPECT_EQ(form->title(), QStringLiteral("Test chemiczny"));
    EXPECT_EQ(form->minimumSize(), QSize(510, 300));
    EXPECT_EQ(form->CurrentPage(), TTestForm::Page::Choice);
    EXPECT_EQ(form->TrybEtykieta->text(), QStringLiteral("Sprawdź swoją wiedzę"));
    EXPECT_EQ(form->PostepEtykieta->text(), QStringLiteral("Wybierz test"));
    EXPECT_EQ(column(0).join(u'|'),
        QStringLiteral(".ukryty.obt|atom.OBT|obcy.obt|WIELKIE.OBT|Wlasny.obt|zepsuty.obt"));
    EXPECT_EQ(column(1).join(u'|'), QStringLiteral("Ukryty|Atom nowszy||Wielkie litery|Własny|"));
    EXPECT_EQ(column(2).at(1), QStringLiteral("Jan Kowalski"));
    EXPECT_EQ(column(3).join(u'|'), QStringLiteral("1|4|0|2|1|0"));
    EXPECT_EQ(form->ListedPackages().at(1), path("data/orbita/TESTY/atom.OBT"));

    QStringList captions;
    QList<int> widths;
    for (int c = 0; c < 5; ++c) {
        captions << form->TestList->headerItem()->text(c);
        widths << form->TestList->columnWidth(c);
    }
    EXPECT_EQ(captions.join(u'|'), QStringLiteral("Nazwa pliku|Tytuł|Autor|Ilość pytań|Opis"));
    EXPECT_EQ(widths, (QList<int> { 150, 150, 150, 100, 150 }));
    EXPECT_FALSE(form->TestList->header()->sectionsClickable());

    // Selecting shows the description; nothing selected clears it. (The
    // per-user folder now holds "Atom.obt" and "atom.OBT": the first in name
    // order is listed, on any file system.)
    writePackage(QStringLiteral("Atom.obt"), TestText("Budowa atomu", 3, "Protony i elektrony; x=y"),
        path("data/orbita/TESTY"));
    form->RefreshButtonClick();
    select(1);
    EXPECT_EQ(form->TitleMemo->toPlainText(), QStringLiteral("Protony i elektrony; x=y"));
    form->TestList->clearSelection();
    EXPECT_EQ(form->TitleMemo->toPlainText(), QString());

    // A damaged package cannot be started: it has no questions.
    select(5);
    ui.answerMessage(mrOk);
    form->StartButtonClick();
    ASSERT_EQ(ui.requests().size(), 1u);
    EXPECT_EQ(ui.requests()[0].caption, QStringLiteral("Pusty test"));
    EXPECT_EQ(ui.requests()[0].text, QStringLiteral("Wybrany test nie zawiera żadnych pytań"));
    EXPECT_EQ(form->CurrentPage(), TTestForm::Page::Choice);
}

// The refresh lets window messages run between packages: a second refresh
// or a start asked meanwhile is ignored, and closing the window ends it.
TEST_F(TestForm, RefreshIgnoresRequestsWhileItRunsAndStopsWhenTheWindowCloses)
{
    for (int i = 0; i < 4; ++i)
        writePackage(QStringLiteral("T%1.obt").arg(i), TestText("Test", 1));
    open();
    ASSERT_EQ(form->TestList->topLevelItemCount(), 4);
    select(0);
    SetMessagePump([] { QCoreApplication::processEvents(); });
    int posted = 0;
    QTimer::singleShot(0, form.get(), [&] {
        ++posted;
        form->RefreshButtonClick();
        form->StartButtonClick();
    });
    form->RefreshButtonClick();
    EXPECT_EQ(posted, 1);
    EXPECT_EQ(form->TestList->topLevelItemCount(), 4) << "the refresh ran once";
    EXPECT_EQ(form->CurrentPage(), TTestForm::Page::Choice) << "nothing started";

    QTimer::singleShot(0, form.get(), [&] { form->done(mrOk); });
    form->RefreshButtonClick();
    SetMessagePump(nullptr);
    EXPECT_LT(form->TestList->topLevelItemCount(), 4) << "closing ended the refresh";
    EXPECT_FALSE(form->isVisible());
}

TEST_F(TestForm, NoPackagesShowTheBrakPageAndStartAsksForASelection)
{
    open();
    EXPECT_EQ(form->CurrentPage(), TTestForm::Page::None);
    EXPECT_EQ(form->PostepEtykieta->text(), QStringLiteral("Brak testów"));
    EXPECT_EQ(form->BrakLabel->text(),
        QStringLiteral("Niestety nie ściągnąłeś jeszcze żadnych testów,\n"
                       "aby ściągnąć zestawy użyj Centrum aktualizacji."));

    writePackage(QStringLiteral("Atom.obt"), TestText("Budowa atomu", 3));
    press(form->TestList, Qt::Key_F5);
    EXPECT_EQ(form->CurrentPage(), TTestForm::Page::Choice);
    form->TestList->clearSelection(); // the list selects its row when it takes the focus
    ui.answerMessage(mrOk);
    form->StartButtonClick();
    ASSERT_EQ(ui.requests().size(), 1u);
    EXPECT_EQ(ui.requests()[0].caption, QStringLiteral("Nie wybrano testu"));
    EXPECT_EQ(ui.requests()[0].text, QStringLiteral("Przed rozpoczęciem musisz wybrać test z listy"));
    EXPECT_EQ(ui.requests()[0].icon, MessageIcon::Information);
    EXPECT_EQ(form->CurrentPage(), TTestForm::Page::Choice);
}

TEST_F(TestForm, AllCorrectAnswersThroughTheFormSubmitGiveTheTopGrade)
{
    writePackage(QStringLiteral("Atom.obt"), TestText("Budowa atomu", 3));
    open();
    select(0);
    press(form->TestList, Qt::Key_Return);
    ASSERT_EQ(form->CurrentPage(), TTestForm::Page::Test);
    EXPECT_EQ(form->title(), QStringLiteral("Test chemiczny [Budowa atomu]"));
    EXPECT_FALSE(form->StartButton->isEnabled());
    EXPECT_FALSE(form->CloseButton->isEnabled());
    EXPECT_FALSE(form->RefreshButton->isEnabled());
    EXPECT_EQ(form->TrybEtykieta->text(), QStringLiteral("Upłynęło 00:00:00"));
    EXPECT_EQ(form->PostepEtykieta->text(), QStringLiteral("Pozostały 2 pytania"));
    EXPECT_NE(question().find("1:Ileto1+1?"), std::string::npos) << question();
    EXPECT_EQ(form->TestHtml->FormControlCount(), 2);

    now += 61000; // the clock is read, not counted in ticks
    form->TimerTick();
    EXPECT_EQ(form->TrybEtykieta->text(), QStringLiteral("Upłynęło 00:01:01"));
    answer(2);
    EXPECT_EQ(form->PostepEtykieta->text(), QStringLiteral("Pozostało 1 pytanie"));
    EXPECT_NE(question().find("2:Ileto2+2?"), std::string::npos) << question();
    answer(2);
    now += 64000;
    answer(2);

    ASSERT_EQ(form->CurrentPage(), TTestForm::Page::Results);
    EXPECT_EQ(form->TrybEtykieta->text(), QStringLiteral("Twoje wyniki"));
    EXPECT_EQ(form->PostepEtykieta->text(), QStringLiteral("Test został zakończony"));
    EXPECT_EQ(form->StartButton->text(), QStringLiteral("&Nowy"));
    EXPECT_TRUE(form->CloseButton->isEnabled());
    EXPECT_FALSE(form->Timer->isActive());
    const std::string shown = results();
    EXPECT_NE(shown.find("Poprawnychodpowiedzi:3"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Błędnychodpowiedzi:0"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Czaswykonywaniatestu:00:02:05"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Średniczasodpowiedzi:41sekund"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Ocena:6"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Celująco"), std::string::npos) << shown;

    // Enter on the results goes back to the choice.
    press(form->WynikiHtml, Qt::Key_Return);
    EXPECT_EQ(form->CurrentPage(), TTestForm::Page::Choice);
    EXPECT_EQ(form->TrybEtykieta->text(), QStringLiteral("Sprawdź się w kolejnym teście"));
    EXPECT_EQ(form->StartButton->text(), QStringLiteral("&Rozpocznij"));
    EXPECT_EQ(form->title(), QStringLiteral("Test chemiczny"));
}

TEST_F(TestForm, WrongAnswersWithShowBoxShowTheCorrectOptionAndNothingChosenKeepsTheQuestion)
{
    writePackage(QStringLiteral("Atom.obt"), TestText("Budowa atomu", 3));
    open();
    select(0);
    form->ShowBox->setChecked(true);
    form->StartButtonClick();

    ui.answerMessage(mrOk);
    answer(0);
    ASSERT_EQ(ui.requests().size(), 1u);
    EXPECT_EQ(ui.requests()[0].caption, QStringLiteral("Nic nie zaznaczono"));
    EXPECT_EQ(ui.requests()[0].text, QStringLiteral("Nie zaznaczyłeś żadnej opcji"));
    EXPECT_NE(question().find("1:Ileto1+1?"), std::string::npos) << "the question stays";

    answer(1); // wrong: the correct-answer page, without controls
    EXPECT_EQ(form->TestHtml->FormControlCount(), 0);
    EXPECT_NE(question().find("Pytanie:Ileto1+1?Odpowiedź:2"), std::string::npos) << question();
    press(form->TestHtml, Qt::Key_Return); // Next goes on to question 2
    EXPECT_NE(question().find("2:Ileto2+2?"), std::string::npos) << question();
    answer(2);
    answer(1); // a wrong last answer goes straight to the results
    ASSERT_EQ(form->CurrentPage(), TTestForm::Page::Results);
    const std::string shown = results();
    EXPECT_NE(shown.find("Poprawnychodpowiedzi:1"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Błędnychodpowiedzi:2"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Ocena:1"), std::string::npos) << shown;

    // Without ShowBox a wrong answer goes on at once.
    form->StartButtonClick(); // back to the choice
    form->ShowBox->setChecked(false);
    form->StartButtonClick();
    answer(1);
    EXPECT_NE(question().find("2:Ileto2+2?"), std::string::npos) << question();
}

// Two Enter presses before the first submit arrives: one answer, counted
// against its own question; the next question waits for its own answer.
TEST_F(TestForm, ADoubleEnterAnswersOnlyOnce)
{
    writePackage(QStringLiteral("Atom.obt"), TestText("Budowa atomu", 3));
    open();
    select(0);
    form->StartButtonClick();
    auto* radio = qobject_cast<QRadioButton*>(form->TestHtml->ControlWidget(1));
    ASSERT_NE(radio, nullptr);
    radio->setChecked(true);
    press(form->TestHtml, Qt::Key_Return);
    press(form->TestHtml, Qt::Key_Return);
    QApplication::processEvents();
    QApplication::processEvents();
    ASSERT_NE(form->Run(), nullptr);
    EXPECT_EQ(form->Run()->CurrentQuestion(), 2);
    EXPECT_EQ(form->Run()->CorrectAnswers(), 1);
    EXPECT_NE(question().find("2:Ileto2+2?"), std::string::npos) << question();
    EXPECT_TRUE(ui.requests().empty()) << "no 'nothing chosen' box for the second Enter";
}

TEST_F(TestForm, StopAndCloseDuringARunAskAndNeverCloseTheWindow)
{
    writePackage(QStringLiteral("Atom.obt"), TestText("Budowa atomu", 3));
    open();
    select(0);
    form->StartButtonClick();

    ui.answerMessage(mrNo); // Esc asks; No keeps the run
    press(form->TestHtml, Qt::Key_Escape);
    ASSERT_EQ(ui.requests().size(), 1u);
    EXPECT_EQ(ui.requests()[0].caption, QStringLiteral("Przerwij test"));
    EXPECT_EQ(ui.requests()[0].text, QStringLiteral("Czy chcesz przerwać aktualnie wykonywany test ?"));
    EXPECT_EQ(ui.requests()[0].icon, MessageIcon::Question);
    EXPECT_EQ(ui.requests()[0].buttons, MessageButtons::YesNoDefaultNo);
    EXPECT_TRUE(form->Running());
    EXPECT_TRUE(form->isVisible());

    ui.answerMessage(mrNo); // the desktop's close asks too
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->Running());
    EXPECT_TRUE(form->isVisible());

    ui.answerMessage(mrYes); // and on Yes stops, but the window stays open
    form->done(mrOk);
    EXPECT_EQ(ui.requests().size(), 3u);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->CurrentPage(), TTestForm::Page::Choice);
    EXPECT_EQ(form->TrybEtykieta->text(), QStringLiteral("Test został przerwany"));
    EXPECT_EQ(form->PostepEtykieta->text(), QStringLiteral("Wybierz kolejny test"));
    EXPECT_TRUE(form->StartButton->isEnabled());
    EXPECT_TRUE(form->RefreshButton->isEnabled());
    EXPECT_TRUE(form->CloseButton->isEnabled());
    EXPECT_FALSE(form->Timer->isActive());
    EXPECT_EQ(form->title(), QStringLiteral("Test chemiczny"));

    ui.answerMessage(mrYes); // the Stop button
    form->StartButtonClick();
    form->StopButtonClick();
    EXPECT_EQ(form->CurrentPage(), TTestForm::Page::Choice);

    // Off the run, Esc closes.
    press(form->TestList, Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(TestForm, LinksLeaveOnlyForTheWebAndMailAndPicturesComeFromThePackage)
{
    QImage image(12, 7, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bmp;
    QBuffer buffer(&bmp);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    ASSERT_TRUE(image.save(&buffer, "BMP"));
    std::string text = TestText("Budowa atomu", 1);
    text.replace(text.find("Ile to"), 6, "<img src=\"Atom.bmp\"> Ile to");
    writePackage(QStringLiteral("Atom.obt"), text, {}, { test::Stored("Atom.bmp", bmp.toStdString()) });
    open();
    select(0);
    form->StartButtonClick();
    const QImage* shown = form->TestHtml->CachedImage("Atom.bmp");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->size(), QSize(12, 7));
    ui.answerMessage(mrYes);
    form->StopButtonClick();

    const struct {
        const char* target;
        bool handled;
        QStringList run;
    } cases[] = {
        { "https://example.org/a", true, { QStringLiteral("tool https://example.org/a") } },
        { "mailto:nauczyciel@example.org", true, { QStringLiteral("tool mailto:nauczyciel@example.org") } },
        { "file:///etc/passwd", true, {} },
        { "/usr/bin/xterm", true, {} },
        { "skrypt.desktop", true, {} },
        { "#koniec", false, {} },
    };
    for (const auto& c : cases) {
        bool handled = !c.handled;
        form->HtmlHotSpotClick(c.target, handled);
        EXPECT_EQ(handled, c.handled) << c.target;
        EXPECT_EQ(windows.take(), c.run) << c.target;
    }
}

// The stored Test* values and the appearance dialog change the run's view
// only; the results keep Tahoma 8, black on white. F1 opens O_TEST.
TEST_F(TestForm, AppearanceIsTheRunViewsOnlyAndF1OpensItsHelp)
{
    WriteRegInteger(Hive::CurrentUser, test::kPlacementKey, "TestBackgroundColor",
        static_cast<std::int32_t>(RgbColor(0, 0, 128)));
    WriteRegInteger(Hive::CurrentUser, test::kPlacementKey, "TestFontSize", 14);
    writePackage(QStringLiteral("Atom.obt"), TestText("Budowa atomu", 1));
    open();
    EXPECT_EQ(form->TestHtml->DefBackground(), RgbColor(0, 0, 128));
    EXPECT_EQ(form->TestHtml->DefFontSize(), 14);
    EXPECT_EQ(form->TestHtml->MarginWidth(), 0);
    EXPECT_EQ(form->TestHtml->MarginHeight(), 0);
    EXPECT_EQ(form->WynikiHtml->DefBackground(), RgbColor(255, 255, 255));
    EXPECT_EQ(form->WynikiHtml->DefFontName(), QStringLiteral("Tahoma"));
    EXPECT_EQ(form->WynikiHtml->DefFontSize(), 8);

    // The border panels take the run view's background only during a run.
    select(0);
    form->StartButtonClick();
    EXPECT_EQ(form->GornyPanel->palette().color(QPalette::Window), QColor(0, 0, 128));
    ui.answerModal([](QDialog& dialog) {
        ViewAppearance look = DefaultViewAppearance();
        look.background = RgbColor(0, 128, 0);
        look.fontName = "Tahoma";
        static_cast<TFontForm&>(dialog).SetAppearance(look);
        return mrOk;
    });
    press(form->TestHtml, Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(form->TestHtml->DefBackground(), RgbColor(0, 128, 0));
    EXPECT_EQ(form->LewyPanel->palette().color(QPalette::Window), QColor(0, 128, 0));
    EXPECT_EQ(form->PrzyciskiPanel->palette().color(QPalette::Window), QColor(0, 128, 0));
    EXPECT_EQ(ReadRegString(Hive::CurrentUser, test::kPlacementKey, "TestFontName"), "Tahoma");
    EXPECT_EQ(form->WynikiHtml->DefBackground(), RgbColor(255, 255, 255));
    answer(2);
    ASSERT_EQ(form->CurrentPage(), TTestForm::Page::Results);
    EXPECT_EQ(form->GornyPanel->palette().color(QPalette::Window), QColor(255, 255, 255));

    press(form->WynikiHtml, Qt::Key_F1);
    EXPECT_EQ(windows.take(), QStringList { QStringLiteral("help O_TEST") });
}

TEST_F(TestForm, ColumnWidthsAreKeptOnlyWithSaveWindowsPlacement)
{
    writePackage(QStringLiteral("Atom.obt"), TestText("Budowa atomu", 1));
    open();
    form->TestList->setColumnWidth(1, 222);
    form->done(mrOk);
    open();
    EXPECT_EQ(form->TestList->columnWidth(1), 150);
    keepPlacements();
    form->TestList->setColumnWidth(1, 222);
    form->done(mrOk);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, test::kPlacementKey, "TestListTitleWidth"), 222);
    open();
    EXPECT_EQ(form->TestList->columnWidth(1), 222);
}

TEST_F(TestForm, KeyboardPicksWithArrowsStartsWithEnterAndTheColumnsFit)
{
    writePackage(QStringLiteral("Atom.obt"), TestText("Budowa atomu", 1));
    writePackage(QStringLiteral("Kwasy.obt"), TestText("Kwasy", 1));
    writePackage(QStringLiteral("Sole.obt"), TestText("Sole", 1));
    open();
    form->activateWindow();
    form->TestList->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(form->TestList->hasFocus());
    // The focus selects the current row: arrows move the choice, Enter starts it.
    ASSERT_EQ(form->TestList->selectedItems().size(), 1);
    EXPECT_EQ(form->TestList->selectedItems().front()->text(0), QStringLiteral("Atom.obt"));
    EXPECT_EQ(form->TitleMemo->toPlainText(), QStringLiteral("Opis testu"));
    QTest::keyClick(form->TestList, Qt::Key_Down);
    ASSERT_EQ(form->TestList->selectedItems().size(), 1);
    EXPECT_EQ(form->TestList->selectedItems().front()->text(0), QStringLiteral("Kwasy.obt"));
    QTest::keyClick(form->TestList, Qt::Key_Return);
    ASSERT_EQ(form->CurrentPage(), TTestForm::Page::Test);
    EXPECT_EQ(form->title(), QStringLiteral("Test chemiczny [Kwasy]"));
    answer(2);
    ASSERT_EQ(form->CurrentPage(), TTestForm::Page::Results);
    QTest::keyClick(form->WynikiHtml, Qt::Key_Return);
    ASSERT_EQ(form->CurrentPage(), TTestForm::Page::Choice);

    // A selection cleared by the user comes back when the list regains the focus.
    form->TestList->setCurrentItem(form->TestList->topLevelItem(2));
    form->TestList->clearSelection();
    form->ShowBox->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(form->TestList->selectedItems().isEmpty());
    form->TestList->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(form->TestList->selectedItems().size(), 1);
    EXPECT_EQ(form->TestList->selectedItems().front()->text(0), QStringLiteral("Sole.obt"));

    // The opening size shows all five columns without a horizontal scroll bar.
    EXPECT_EQ(form->minimumSize(), QSize(510, 300));
    EXPECT_EQ(form->TestList->header()->length(), 700);
    EXPECT_LE(form->TestList->header()->length(), form->TestList->viewport()->width());
    EXPECT_FALSE(form->TestList->horizontalScrollBar()->isVisible());
}

// Only the results page prints; Ctrl+P there gives a sheet with the grade.
TEST_F(TestForm, TheResultsPagePrintsAndNoOtherPageDoes)
{
    writePackage(QStringLiteral("Atom.obt"), TestText("Budowa atomu", 3));
    open();
    EXPECT_FALSE(form->PrintButton->isEnabled()) << "the catalogue";
    press(form->TestList, Qt::Key_P, Qt::ControlModifier);
    select(0);
    press(form->TestList, Qt::Key_Return);
    ASSERT_EQ(form->CurrentPage(), TTestForm::Page::Test);
    EXPECT_FALSE(form->PrintButton->isEnabled()) << "a question";
    press(form->TestHtml, Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(ui.requests().empty());
    answer(2);
    answer(2);
    answer(2);
    ASSERT_EQ(form->CurrentPage(), TTestForm::Page::Results);
    ASSERT_TRUE(form->PrintButton->isEnabled());
    const QString pdf = path("wyniki.pdf");
    ui.answerPrint(pdf);
    press(form->WynikiHtml, Qt::Key_P, Qt::ControlModifier);
    ASSERT_EQ(ui.requests().size(), 1u);
    EXPECT_EQ(ui.requests().back().kind, ScriptedUiServices::Kind::Print);
    EXPECT_TRUE(ui.requests().back().caption.endsWith(QStringLiteral("– wyniki")));
    EXPECT_EQ(test::PdfPageCount(pdf), 1);
    const std::optional<QImage> sheet = test::RenderPdfPage(pdf, 1);
    if (!sheet)
        GTEST_SKIP() << "pdftoppm is not installed";
    EXPECT_GT(test::DarkPixels(*sheet, QRect(0, 0, sheet->width(), sheet->height() / 4)), 100);
    EXPECT_EQ(
        test::DarkPixels(*sheet, QRect(0, sheet->height() / 2, sheet->width(), sheet->height() / 2 - 40)), 0)
        << "a short page leaves the lower half blank";
}

TEST_F(TestForm, TheResultsTakeTheFocusAndCopyAsText)
{
    writePackage(QStringLiteral("Atom.obt"), TestText("Budowa atomu", 3));
    open();
    form->activateWindow();
    select(0);
    press(form->TestList, Qt::Key_Return);
    answer(2);
    answer(1);
    answer(2);
    ASSERT_EQ(form->CurrentPage(), TTestForm::Page::Results);
    QApplication::processEvents();
    EXPECT_TRUE(form->WynikiHtml->hasFocus());
    QApplication::clipboard()->clear();
    QTest::keyClick(form->WynikiHtml, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(form->WynikiHtml, Qt::Key_C, Qt::ControlModifier);
    const QString copied = QApplication::clipboard()->text();
    EXPECT_TRUE(copied.contains(QStringLiteral("Poprawnych odpowiedzi:\t2\n"))) << copied.toStdString();
    EXPECT_TRUE(copied.contains(QStringLiteral("Ocena:\t5\n"))) << copied.toStdString();
    EXPECT_TRUE(copied.contains(QStringLiteral("Bardzo dobrze"))) << copied.toStdString();
}

// Keys go where a keyboard sends them: to the focused widget. The answer is
// given from the focused option and the page that replaces the question
// (deleting that option) keeps the keys, whatever deferred work runs between.
TEST_F(TestForm, TheFocusStaysInTheRunWhenTheFocusedOptionIsReplaced)
{
    writePackage(QStringLiteral("Atom.obt"), TestText("Budowa atomu", 3));
    open();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get(), 30000));
    select(0);
    form->ShowBox->setChecked(true);
    form->StartButtonClick();
    const auto settle = [] {
        for (int i = 0; i < 3; ++i) {
            QApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    };
    const auto key = [](int code) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr) << "no widget takes the keys";
        QTest::keyClick(focused, static_cast<Qt::Key>(code));
    };
    settle();
    ASSERT_EQ(QApplication::focusWidget(), form->TestHtml);
    // Tab into the options, Space ticks the first (a wrong one), Enter answers.
    key(Qt::Key_Tab);
    ASSERT_TRUE(qobject_cast<QRadioButton*>(QApplication::focusWidget()) != nullptr);
    key(Qt::Key_Space);
    key(Qt::Key_Return);
    settle();
    EXPECT_NE(question().find("Pytanie:Ileto1+1?Odpowiedź:2"), std::string::npos) << question();
    EXPECT_EQ(QApplication::focusWidget(), form->TestHtml);
    key(Qt::Key_Return); // the correct-answer page goes on to question 2
    settle();
    EXPECT_NE(question().find("2:Ileto2+2?"), std::string::npos) << question();
    EXPECT_EQ(QApplication::focusWidget(), form->TestHtml);
    // The second option, picked with Down, answers question 2 right.
    key(Qt::Key_Tab);
    key(Qt::Key_Space);
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    settle();
    EXPECT_NE(question().find("3:Ileto3+3?"), std::string::npos) << question();
    EXPECT_EQ(QApplication::focusWidget(), form->TestHtml);
    ASSERT_NE(form->Run(), nullptr);
    EXPECT_EQ(form->Run()->CorrectAnswers(), 1);
}

} // namespace
} // namespace orbita
