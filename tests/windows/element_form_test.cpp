#include "core/registry.h"
#include "core/scramble.h"
#include "data/archive_members.h"
#include "htmlview/html_view_widget.h"
#include "platform/qt_text.h"
#include "platform/scripted_ui_services.h"
#include "tests/platform/platform_test_environment.h"
#include "tests/support/pdf_pages.h"
#include "tests/support/recording_window_opener.h"
#include "widgets/find_dialog.h"
#include "windows/dialogs/about_form.h"
#include "windows/element/element_form.h"
#include "windows/element/element_page.h"
#include "windows/settings/appearance_colors.h"
#include "windows/settings/font_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStackedWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <algorithm>
#include <vector>

namespace orbita {
namespace {

const char* const kProfile = "Software\\Orbita\\Administrator";
const char* const kNotes = "Software\\Orbita\\Administrator\\Notes";
const char* const kPlacement = "Software\\Orbita\\Administrator\\Placement";

// A page builder that records its calls and answers with a page naming the
// element, so that the window's mode logic is seen apart from the generator.
struct RecordedBuild {
    int element;
    bool full;
    bool busyDuringBuild;
    bool nextHintOff;
    bool operator==(const RecordedBuild&) const = default;
};

class ElementForm : public test::PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", "Administrator");
        ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("program")));
        m_env.set("ORBITA_PROGRAM_DIR", path("program"));
        if (!linkContentArchive())
            GTEST_SKIP() << "content archive not built";
        TElementForm::SetPageBuilder([this](TElementForm& form, int element, bool full) {
            builds.push_back({ element, full, form.Busy(), form.NextButton->toolTip().isEmpty() });
            TElementForm::BuildPage(form, element, full);
        });
    }
    void TearDown() override
    {
        TElementForm::SetPageBuilder({});
        for (QWidget* widget : QApplication::topLevelWidgets())
            EXPECT_FALSE(widget->isVisible()) << widget->objectName().toStdString();
    }

    // The content archive as this test program names it: its own base name, upper-cased, with ".DAT".
    bool linkContentArchive()
    {
#ifdef ORBITA_CONTENT_BUILT
        const QString source
            = QDir(QString::fromUtf8(ORBITA_PROGRAM_DIR)).filePath(QStringLiteral("ORBITA.DAT"));
        const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toUpper()
            + QStringLiteral(".DAT");
        m_archive = QDir(path("program")).filePath(name).toStdString();
        return QFile::link(source, QString::fromStdString(m_archive));
#else
        return false;
#endif
    }

    static void setTabOrder(int mode)
    {
        WriteRegInteger(Hive::CurrentUser, kProfile, "TabOrder", mode);
    }
    static std::string note(int element)
    {
        return ReadRegString(Hive::CurrentUser, kNotes, std::to_string(element));
    }
    static bool noteExists(int element)
    {
        return ReadRegValue(Hive::CurrentUser, kNotes, std::to_string(element)).has_value();
    }
    // The Placement values of the window's appearance (the dialog's own place is stored beside them).
    static std::vector<std::string> appearanceValues()
    {
        std::vector<std::string> names = RegValueNames(Hive::CurrentUser, kPlacement);
        std::erase_if(names, [](const std::string& name) { return name.rfind("Element", 0) != 0; });
        return names;
    }
    static QByteArray readFile(const QString& name)
    {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::vector<RecordedBuild> builds;
    test::RecordingWindowOpener windows;
    std::string m_archive;
};

// Types the text into the widget key by key; QTest's own typing knows only ASCII.
void typeText(QWidget* widget, const QString& text)
{
    for (const QChar ch : text) {
        QKeyEvent press(
            QEvent::KeyPress, ch == QLatin1Char('\t') ? int(Qt::Key_Tab) : 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &press);
    }
}

// The text a view shows, in reading order, without the blanks and line
// breaks that depend on the view's width.
std::string shownText(const ThtmlLite& view)
{
    std::string words;
    for (char c : view.Layout().text)
        if (c != '\n' && c != ' ')
            words += c;
    return words;
}

// The words of a page as a view of its own shows them.
std::string pageText(const std::string& markup)
{
    ThtmlLite view;
    view.resize(500, 300);
    view.LoadFromText(markup);
    return shownText(view);
}

struct StepState {
    bool first, previous, next, last;
};

StepState stepState(const TElementForm& form)
{
    return { form.FirstButton->isEnabled(), form.PreviousButton->isEnabled(), form.NextButton->isEnabled(),
        form.LastButton->isEnabled() };
}

void expectState(const TElementForm& form, StepState expected, int line)
{
    const StepState state = stepState(form);
    EXPECT_EQ(state.first, expected.first) << "line " << line;
    EXPECT_EQ(state.previous, expected.previous) << "line " << line;
    EXPECT_EQ(state.next, expected.next) << "line " << line;
    EXPECT_EQ(state.last, expected.last) << "line " << line;
}

TEST_F(ElementForm, ComponentsCarryTheirCaptionsAndHints)
{
    ScriptedUiServices ui;
    TElementForm form(26);
    const struct {
        QToolButton* button;
        const char* caption;
        const char* hint;
    } cases[] = {
        { form.DetailsButton, "Szcz&egóły", "Wyświetla dokładne informacje na temat pierwiastka [F5]" },
        { form.DescriptionButton, "Cha&rakterystyka", "Wyświetla charakterystykę pierwiastka [F6]" },
        { form.NoteButton, "&Notes", "Wyświetla notes [F7]" },
        { form.FirstButton, "", "Przechodzi do pierwszego pierwiastka w układzie [Home]" },
        { form.PreviousButton, "Poprze&dni", "Przechodzi do poprzedniego pierwiastka [Strzałka w lewo]" },
        { form.NextButton, "N&astępny", "Przechodzi do następnego pierwiastka [Strzałka w prawo]" },
        { form.LastButton, "", "Przechodzi do ostatniego pierwiastka w układzie [End]" },
        { form.SaveButton, "&Zapisz",
            "Zapisuje informacje o pierwiastku (aktualną zakładkę) do pliku [Ctrl+Z]" },
        { form.CopyButton, "&Kopiuj",
            "Kopiuje informacje o pierwiastku (aktualną zakładkę) do schowka (wszystkie dane zapisywane są w "
            "formacie tekstowym) [Shift+C]" },
        { form.HelpButton, "Pomo&c", "Wyświetla pomoc [F1]" },
        { form.SettingsButton, "&Ustawienia", "Dostosowuje wygląd dokumentu [Ctrl+U]" },
        { form.FindButton, "Wy&szukaj", "Wyszukuje dowolny tekst (na aktualnej zakładce) [Ctrl+F]" },
        { form.CloseButton, "", "Zamyka okno [Esc]" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.button->text(), QString::fromUtf8(c.caption)) << c.caption;
        EXPECT_EQ(c.button->toolTip(), QString::fromUtf8(c.hint)) << c.caption;
        EXPECT_FALSE(c.button->icon().isNull()) << c.caption;
    }
    EXPECT_EQ(form.size(), QSize(520, 319));
    EXPECT_EQ(form.minimumSize(), QSize(510, 250));
    form.reject();
}

TEST_F(ElementForm, InsertShowsTheWindowModallyOnTheElement)
{
    ScriptedUiServices ui;
    int shownOn = 0;
    QString title;
    ui.answerModal([&](QDialog& dialog) {
        shownOn = TElementForm::CurrentElement();
        title = dialog.windowTitle();
        EXPECT_TRUE(dialog.isVisible());
        return mrCancel;
    });
    TElementForm::Insert(26);
    EXPECT_TRUE(ui.finished());
    EXPECT_EQ(shownOn, 26);
    EXPECT_EQ(title, QStringLiteral("Informacje o pierwiastku [Żelazo]"));
    EXPECT_EQ(TElementForm::CurrentElement(), 26); // stays set after closing
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kProfile, "TabOrder"), 1);
}

TEST_F(ElementForm, DetailsPageOfIronListsThePropertiesInFileOrder)
{
    ScriptedUiServices ui;
    TElementForm form(26);
    form.resize(900, 600);
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Informacje o pierwiastku [Żelazo]"));
    EXPECT_EQ(form.titlePanel()->text(), QStringLiteral("Informacje o pierwiastku [Żelazo]"));
    EXPECT_EQ(form.PierwiastekEtykieta->text(), QStringLiteral("Żelazo"));
    EXPECT_EQ(form.MainHtml->DocumentTitle(), ToCp1250(QStringLiteral("Żelazo")));
    EXPECT_TRUE(form.MainHtml->ErrorText().empty()) << form.MainHtml->ErrorText();

    // Every property label of the database stands in the shown page, in the
    // order of the file; every unit of a value that iron has follows its label.
    const std::optional<std::vector<std::string>> lines = ReadArchiveLines("UKLAD\\DANE.TXT", m_archive);
    ASSERT_TRUE(lines.has_value());
    const std::string shown = form.MainHtml->Layout().text;
    const std::string& page = form.DisplayPage();
    std::size_t shownAt = 0;
    std::size_t pageAt = 0;
    int labels = 0;
    int units = 0;
    std::string pendingUnit;
    for (const std::string& line : *lines) {
        if (!line.empty() && line[0] == '[') {
            const std::string label = line.substr(1, line.size() - 2) + ":";
            const std::size_t found = shown.find(label, shownAt);
            ASSERT_NE(found, std::string::npos) << label;
            shownAt = found + label.size();
            pageAt = page.find(label, pageAt);
            ASSERT_NE(pageAt, std::string::npos) << label;
            ++labels;
        } else if (QString::fromLatin1(line.c_str()).toUpper().contains(QStringLiteral("SUFFIX="))) {
            pendingUnit = "&nbsp;[" + line.substr(line.find('=') + 1) + "]";
        } else if (line.rfind("26=", 0) == 0) {
            if (line.size() > 3 && !pendingUnit.empty()) {
                const std::size_t found = page.find(pendingUnit, pageAt);
                ASSERT_NE(found, std::string::npos) << pendingUnit;
                pageAt = found;
                ++units;
            }
            pendingUnit.clear();
        }
    }
    EXPECT_GT(labels, 10);
    EXPECT_GT(units, 3);
    // The display page ends in the contact sentence that the export page leaves out.
    EXPECT_NE(page.find("ORB_KORESPONDENCJA"), std::string::npos);
    EXPECT_EQ(form.ExportPage().find("ORB_KORESPONDENCJA"), std::string::npos);

    // Copy puts the shown text on the clipboard and leaves selection off.
    form.CopyButtonClick();
    EXPECT_TRUE(QApplication::clipboard()->text().contains(QStringLiteral("Żelazo")));
    EXPECT_TRUE(form.MainHtml->NoSelect());

    // Find in the page: a hit says nothing, the end is reported.
    form.FindDialog->TextEdit->setText(QStringLiteral("żelazo"));
    form.FindDialog->FindNext();
    EXPECT_TRUE(ui.requests().empty());
    form.FindDialog->TextEdit->setText(QStringLiteral("nie ma tego w tekście"));
    ui.answerMessage(mrOk);
    form.FindDialog->FindNext();
    EXPECT_TRUE(ui.finished());
    ASSERT_EQ(ui.requests().size(), 1u);
    EXPECT_EQ(ui.requests()[0].caption, QStringLiteral("Rezultat wyszukiwania"));

    // Right steps to cobalt, Left back to iron.
    form.MainHtml->setFocus();
    QTest::keyClick(form.MainHtml, Qt::Key_Right);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Informacje o pierwiastku [Kobalt]"));
    EXPECT_EQ(form.MainHtml->DocumentTitle(), "Kobalt");
    QTest::keyClick(form.MainHtml, Qt::Key_Left);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Informacje o pierwiastku [Żelazo]"));
    QTest::keyClick(form.MainHtml, Qt::Key_Home);
    EXPECT_EQ(form.PierwiastekEtykieta->text(), QStringLiteral("Wodór"));
    QTest::keyClick(form.MainHtml, Qt::Key_End);
    EXPECT_EQ(form.PierwiastekEtykieta->text(), QStringLiteral("Oganeson"));
    form.reject();
}

TEST_F(ElementForm, StepButtonsFollowTheElement)
{
    ScriptedUiServices ui;
    const struct {
        int element;
        StepState state;
    } opening[] = {
        { 1, { false, false, true, true } },
        { 2, { true, true, true, true } },
        { 26, { true, true, true, true } },
        { 117, { true, true, true, true } },
        { 118, { true, true, false, false } },
    };
    for (const auto& c : opening) {
        TElementForm form(c.element);
        expectState(form, c.state, c.element);
        form.reject();
    }

    TElementForm form(26);
    form.show();
    form.MainHtml->setFocus();
    builds.clear();
    const struct {
        Qt::Key key;
        int element;
        StepState state;
    } steps[] = {
        { Qt::Key_Right, 27, { true, true, true, true } },
        { Qt::Key_Left, 26, { true, true, true, true } },
        { Qt::Key_Home, 1, { false, false, true, true } },
        { Qt::Key_Left, 1, { false, false, true, true } }, // disabled: nothing happens
        { Qt::Key_Right, 2, { true, true, true, true } },
        { Qt::Key_Left, 1, { false, false, true, true } },
        { Qt::Key_End, 118, { true, true, false, false } },
        { Qt::Key_Right, 118, { true, true, false, false } },
        { Qt::Key_Left, 117, { true, true, true, true } },
        { Qt::Key_Right, 118, { true, true, false, false } },
    };
    int line = 0;
    for (const auto& s : steps) {
        ++line;
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : form.MainHtml, s.key);
        EXPECT_EQ(TElementForm::CurrentElement(), s.element) << "step " << line;
        expectState(form, s.state, line);
    }
    // Every step that moved built the details page of its element, busy while building.
    const std::vector<RecordedBuild> expected = { { 27, true, true, true }, { 26, true, true, true },
        { 1, true, true, true }, { 2, true, true, true }, { 1, true, true, true }, { 118, true, true, true },
        { 117, true, true, true }, { 118, true, true, true } };
    EXPECT_EQ(builds, expected);
    EXPECT_FALSE(form.Busy());
    EXPECT_FALSE(form.NextButton->toolTip().isEmpty());
    form.reject();
}

TEST_F(ElementForm, ArrowKeysWaitWhileAPageIsBuilt)
{
    ScriptedUiServices ui;
    TElementForm form(26);
    form.show();
    int nested = 0;
    TElementForm::SetPageBuilder([&](TElementForm& f, int, bool) {
        // A key that arrives while the page is read (the archive pumps messages) is ignored.
        ++nested;
        if (nested == 1)
            QTest::keyClick(f.MainHtml, Qt::Key_Right);
    });
    form.MainHtml->setFocus();
    QTest::keyClick(form.MainHtml, Qt::Key_Right);
    EXPECT_EQ(TElementForm::CurrentElement(), 27);
    EXPECT_EQ(nested, 1);
    form.reject();
}

TEST_F(ElementForm, ModeKeysAndTabOrderRoundTrip)
{
    ScriptedUiServices ui;
    const struct {
        Qt::Key key;
        int tabOrder;
        int page;
    } cases[] = {
        { Qt::Key_F5, 1, 0 },
        { Qt::Key_F6, 2, 0 },
        { Qt::Key_F7, 3, 1 },
    };
    for (const auto& c : cases) {
        {
            TElementForm form(26);
            form.show();
            QTest::keyClick(form.MainHtml, c.key);
            EXPECT_EQ(static_cast<int>(form.CurrentMode()), c.tabOrder);
            EXPECT_EQ(form.Notebook->currentIndex(), c.page);
            form.reject();
        }
        EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kProfile, "TabOrder"), c.tabOrder);
        TElementForm reopened;
        EXPECT_EQ(static_cast<int>(reopened.CurrentMode()), c.tabOrder);
        EXPECT_EQ(reopened.Notebook->currentIndex(), c.page);
        EXPECT_EQ(reopened.DetailsButton->isChecked(), c.tabOrder == 1);
        EXPECT_EQ(reopened.DescriptionButton->isChecked(), c.tabOrder == 2);
        EXPECT_EQ(reopened.NoteButton->isChecked(), c.tabOrder == 3);
        reopened.reject();
    }
    // An unknown value leaves every mode button up; closing then writes nothing.
    setTabOrder(7);
    builds.clear();
    {
        TElementForm form;
        EXPECT_EQ(form.CurrentMode(), TElementForm::Mode::None);
        EXPECT_TRUE(builds.empty());
        form.reject();
    }
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kProfile, "TabOrder"), 7);
}

TEST_F(ElementForm, NotesAreStoredScrambledPerElement)
{
    ScriptedUiServices ui;
    setTabOrder(3);
    {
        TElementForm form(26);
        form.show();
        EXPECT_EQ(form.CurrentMode(), TElementForm::Mode::Notes);
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Informacje o pierwiastku [Żelazo]"));
        form.NoteMemo->setFocus();
        typeText(form.NoteMemo, QStringLiteral("Żelazo rdzewieje"));
        QTest::keyClick(form.NoteMemo, Qt::Key_Return);
        typeText(form.NoteMemo, QStringLiteral("Fe\tłatwo"));
        // Left and Right move the caret in notes mode, not the element.
        QTest::keyClick(form.NoteMemo, Qt::Key_Left);
        QTest::keyClick(form.NoteMemo, Qt::Key_Home);
        EXPECT_EQ(TElementForm::CurrentElement(), 26);
        EXPECT_TRUE(form.NoteModified());
        form.reject();
    }
    const std::string expected = ScrambleText(kNoteScrambleKey,
        ToCp1250(QStringLiteral("Żelazo rdzewieje")) + '\xF4' + ToCp1250(QStringLiteral("Fe\tłatwo")));
    EXPECT_EQ(note(26), expected);
    EXPECT_EQ(RegValueNames(Hive::CurrentUser, kNotes), std::vector<std::string> { "26" });

    {
        TElementForm form;
        EXPECT_EQ(form.NoteMemo->toPlainText(), QStringLiteral("Żelazo rdzewieje\nFe\tłatwo"));
        EXPECT_FALSE(form.NoteModified());
        // Stepping stores the modified note and loads the next one (empty).
        form.NoteMemo->appendPlainText(QStringLiteral("ô w środku"));
        form.NextButtonClick();
        EXPECT_EQ(form.NoteMemo->toPlainText(), QString());
        form.PreviousButtonClick();
        // "ô" is the separator byte: the line comes back as two lines.
        EXPECT_EQ(form.NoteMemo->toPlainText(), QStringLiteral("Żelazo rdzewieje\nFe\tłatwo\n\n w środku"));
        form.RemoveNoteMemoClick();
        form.NextButtonClick();
        EXPECT_FALSE(noteExists(26));
        form.reject();
    }
    EXPECT_FALSE(noteExists(27));
}

TEST_F(ElementForm, EmptiedNoteIsDeletedWhenTheWindowCloses)
{
    ScriptedUiServices ui;
    WriteRegString(Hive::CurrentUser, kNotes, "26", ScrambleText(kNoteScrambleKey, "abc"));
    setTabOrder(3);
    TElementForm form(26);
    EXPECT_EQ(form.NoteMemo->toPlainText(), QStringLiteral("abc"));
    form.NoteMemo->clear();
    form.reject();
    EXPECT_FALSE(noteExists(26));
}

TEST_F(ElementForm, SecondClickOnNotesKeepsTypedText)
{
    ScriptedUiServices ui;
    setTabOrder(3);
    TElementForm form(5);
    form.NoteMemo->setPlainText(QStringLiteral("bor"));
    form.NoteButtonClick();
    EXPECT_EQ(form.NoteMemo->toPlainText(), QStringLiteral("bor"));
    EXPECT_EQ(UnscrambleText(kNoteScrambleKey, note(5)), "bor");
    form.reject();
}

TEST_F(ElementForm, DescriptionModeShowsTheArchiveMember)
{
    ScriptedUiServices ui;
    setTabOrder(2);
    TElementForm form(26);
    const std::optional<std::string> member = ReadArchiveStream(m_archive, "UKLAD\\26.HTM");
    ASSERT_TRUE(member.has_value());
    EXPECT_EQ(shownText(*form.MainHtml), pageText(*member));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Informacje o pierwiastku [Żelazo]"));
    form.NextButtonClick();
    EXPECT_EQ(shownText(*form.MainHtml), pageText(*ReadArchiveStream(m_archive, "UKLAD\\27.HTM")));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Informacje o pierwiastku [Kobalt]"));
    // Captions come from the page builder without a full build.
    ASSERT_EQ(builds.size(), 2u);
    EXPECT_FALSE(builds[0].full);
    EXPECT_FALSE(builds[1].full);
    form.reject();
}

// The page of iron printed to PDF (through Ctrl+P as well as the button):
// text at the top of the first sheet and the caption naming the mode; a note
// prints when it holds text.
TEST_F(ElementForm, PrintsTheShownPageOrTheNote)
{
    ScriptedUiServices ui;
    TElementForm form(26);
    form.DetailsButtonClick();
    ASSERT_TRUE(form.PrintButton->isEnabled());
    EXPECT_EQ(form.PrintButton->accessibleName(), QStringLiteral("Drukuj"));
    const QString details = path("zelazo.pdf");
    ui.answerPrint(details);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_P, Qt::ControlModifier);
    QApplication::sendEvent(form.MainHtml, &key);
    ASSERT_TRUE(ui.finished());
    ASSERT_EQ(ui.requests().size(), 1u);
    EXPECT_EQ(ui.requests().back().kind, ScriptedUiServices::Kind::Print);
    EXPECT_EQ(ui.requests().back().caption, QStringLiteral("Żelazo – szczegóły"));
    EXPECT_GE(test::PdfPageCount(details), 1);
    const std::optional<QImage> sheet = test::RenderPdfPage(details, 1);
    if (!sheet)
        GTEST_SKIP() << "pdftoppm is not installed";
    EXPECT_GT(sheet->width(), 0);
    EXPECT_LT(sheet->width(), sheet->height()) << "portrait";
    EXPECT_GT(test::DarkPixels(*sheet, QRect(0, 0, sheet->width(), sheet->height() / 4)), 200)
        << "the caption and the first lines of the page";

    form.DescriptionButtonClick();
    ASSERT_TRUE(form.PrintButton->isEnabled());
    const QString description = path("opis.pdf");
    ui.answerPrint(description);
    form.PrintButton->click();
    EXPECT_EQ(ui.requests().back().caption, QStringLiteral("Żelazo – charakterystyka"));
    EXPECT_GE(test::PdfPageCount(description), 1);

    form.NoteButtonClick();
    form.NoteMemo->clear();
    EXPECT_FALSE(form.PrintButton->isEnabled()) << "an empty note";
    QApplication::sendEvent(form.NoteMemo, &key);
    form.PrintButtonClick();
    EXPECT_EQ(ui.requests().size(), 2u) << "nothing is printed from an empty note";

    // A long note goes on several sheets, cut between its lines.
    QStringList lines;
    for (int i = 1; i <= 150; ++i)
        lines << QStringLiteral("Linijka notatki numer %1").arg(i);
    form.NoteMemo->setPlainText(lines.join(u'\n'));
    ASSERT_TRUE(form.PrintButton->isEnabled());
    const QString notes = path("notatki.pdf");
    ui.answerPrint(notes);
    QApplication::sendEvent(form.NoteMemo, &key);
    EXPECT_EQ(ui.requests().back().caption, QStringLiteral("Żelazo – notatki"));
    EXPECT_GE(test::PdfPageCount(notes), 2);
    EXPECT_LE(test::PdfPageCount(notes), 5);
    EXPECT_TRUE(ui.finished());
    form.NoteMemo->clear(); // nothing stored
}

TEST_F(ElementForm, SaveWritesWhatEachModeShows)
{
    ScriptedUiServices ui;
    TElementForm form(26);
    const QString notesFile = path("out/notatka");
    const QString detailsFile = path("out/szczegoly.htm");
    const QString descriptionFile = path("out/opis.html");
    ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("out")));

    // details: the export page followed by CR LF
    ui.answerSaveFile(detailsFile);
    form.SaveButtonClick();
    const std::string exportPage = BuildElementPage(m_archive, 26, true, "").exportPage;
    ASSERT_FALSE(exportPage.empty());
    EXPECT_EQ(form.ExportPage(), exportPage);
    EXPECT_EQ(exportPage.find("ORB_KORESPONDENCJA"), std::string::npos);
    EXPECT_EQ(readFile(detailsFile).toStdString(), exportPage + "\r\n");
    EXPECT_EQ(ui.requests().back().text, QStringLiteral("Żelazo"));
    EXPECT_EQ(ui.requests().back().filter,
        QStringLiteral("Dokument sieci Web (*.htm *.html);;Wszystkie pliki (*)"));

    // notes: UTF-8 with CR LF, ".txt" added to a name without extension
    form.NoteButtonClick();
    form.NoteMemo->setPlainText(QStringLiteral("Żelazo\nstal"));
    ui.answerSaveFile(notesFile);
    form.SaveButtonClick();
    EXPECT_EQ(readFile(notesFile + QStringLiteral(".txt")), QStringLiteral("Żelazo\r\nstal\r\n").toUtf8());
    EXPECT_EQ(ui.requests().back().filter, QStringLiteral("Dokument tekstowy (*.txt);;Wszystkie pliki (*)"));

    // a cancelled dialog writes nothing
    ui.answerSaveFile(QString());
    form.SaveButtonClick();
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Files).size(), 2);

    form.DescriptionButtonClick();
    ui.answerSaveFile(descriptionFile);
    form.SaveButtonClick();
    EXPECT_EQ(readFile(descriptionFile).toStdString(), *ReadArchiveStream(m_archive, "UKLAD\\26.HTM"));
    EXPECT_TRUE(ui.finished());
    form.reject();
}

TEST_F(ElementForm, FailedSaveIsReportedAndLeavesNoFile)
{
    ScriptedUiServices ui;
    TElementForm form(26);
    const QString target = path("missing-folder/zelazo.htm");
    ui.answerSaveFile(target);
    ui.answerMessage(mrOk);
    form.SaveButtonClick();
    EXPECT_TRUE(ui.finished());
    ASSERT_GE(ui.requests().size(), 2u);
    EXPECT_EQ(ui.requests()[1].icon, MessageIcon::Error);
    EXPECT_TRUE(ui.requests()[1].text.contains(target)) << ui.requests()[1].text.toStdString();
    EXPECT_FALSE(QFile::exists(target));
    form.reject();
}

TEST_F(ElementForm, FindInNotesSelectsMatchesAndReportsTheEnd)
{
    ScriptedUiServices ui;
    setTabOrder(3);
    TElementForm form(26);
    form.show();
    form.NoteMemo->setPlainText(QStringLiteral("Fe fe FE"));
    form.FindDialog->TextEdit->setText(QStringLiteral("fe"));
    const struct {
        bool matchCase;
        int selectionStart; // -1: no further match
    } cases[] = { { false, 0 }, { false, 3 }, { false, 6 }, { false, -1 }, { true, 3 }, { true, -1 } };
    std::size_t messages = 0;
    for (const auto& c : cases) {
        form.FindDialog->MatchCaseBox->setChecked(c.matchCase);
        if (c.selectionStart < 0)
            ui.answerMessage(mrOk);
        if (c.matchCase && c.selectionStart == 3)
            form.NoteMemo->moveCursor(QTextCursor::Start);
        form.FindDialog->FindNext();
        if (c.selectionStart >= 0) {
            EXPECT_EQ(form.NoteMemo->textCursor().selectionStart(), c.selectionStart);
            EXPECT_EQ(form.NoteMemo->textCursor().selectedText().toLower(), QStringLiteral("fe"));
        } else {
            ++messages;
        }
    }
    EXPECT_TRUE(ui.finished());
    std::size_t seen = 0;
    for (const auto& request : ui.requests()) {
        EXPECT_EQ(request.caption, QStringLiteral("Rezultat wyszukiwania"));
        EXPECT_EQ(request.text, QStringLiteral("Przeszukiwanie dokumentu zostało zakończone"));
        EXPECT_EQ(request.icon, MessageIcon::Information);
        ++seen;
    }
    EXPECT_EQ(seen, messages);
    form.reject();
}

TEST_F(ElementForm, ContactLinkOpensTheAboutBoxAndHelpItsTopic)
{
    ScriptedUiServices ui;
    TElementForm form(26);
    const struct {
        const char* target;
        bool handled;
        QStringList calls;
    } cases[] = { { "ORB_KORESPONDENCJA", true, { QStringLiteral("about contact") } },
        { "orb_korespondencja", false, {} }, { "#top", false, {} } };
    for (const auto& c : cases) {
        bool handled = false;
        form.MainHtmlHotSpotClick(c.target, handled);
        EXPECT_EQ(handled, c.handled) << c.target;
        EXPECT_TRUE(windows.ownedBy(&form));
        EXPECT_EQ(windows.take(), c.calls) << c.target;
    }
    form.show();
    // F1 from the page and from the notes, and the help button.
    QTest::keyClick(form.MainHtml, Qt::Key_F1);
    form.NoteButtonClick();
    QTest::keyClick(form.NoteMemo, Qt::Key_F1);
    form.HelpButton->click();
    EXPECT_TRUE(windows.ownedBy(&form));
    EXPECT_EQ(windows.take(), QStringList(3, QStringLiteral("help O_PIERWS")));
    form.reject();
}

TEST_F(ElementForm, HelpInTheAppearanceDialogIsTheElementTopic)
{
    ScriptedUiServices ui;
    TElementForm form(26);
    QWidget* dialog = nullptr;
    ui.answerModal([&](QDialog& shown) {
        dialog = &shown;
        EXPECT_NE(dynamic_cast<TFontForm*>(&shown), nullptr);
        QTest::keyClick(&shown, Qt::Key_F1);
        return mrCancel;
    });
    form.show();
    QTest::keyClick(form.MainHtml, Qt::Key_U, Qt::ControlModifier);
    EXPECT_TRUE(ui.finished());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(windows.owners, QList<QWidget*> { dialog });
    EXPECT_EQ(windows.take(), QStringList { QStringLiteral("help O_PIERWS") });
    form.reject();
}

TEST_F(ElementForm, ContactLinkShowsTheAboutBoxOnItsContactPage)
{
    windows.realDialogs = true;
    ScriptedUiServices ui;
    int page = -1;
    ui.answerModal([&](QDialog& dialog) {
        page = dynamic_cast<TAboutForm&>(dialog).Notebook->currentIndex();
        return mrOk;
    });
    TElementForm form(26);
    bool handled = false;
    form.MainHtmlHotSpotClick("ORB_KORESPONDENCJA", handled);
    EXPECT_TRUE(handled);
    EXPECT_TRUE(ui.finished());
    EXPECT_EQ(page, TAboutForm::KorespondencjaPage);
    form.reject();
}

TEST_F(ElementForm, MemoMenuFollowsSelectionAndClipboard)
{
    ScriptedUiServices ui;
    setTabOrder(3);
    TElementForm form(26);
    form.NoteMemo->setPlainText(QStringLiteral("abc"));
    const struct {
        bool select;
        bool clipboardText;
    } cases[] = { { false, false }, { true, false }, { false, true }, { true, true } };
    for (const auto& c : cases) {
        QApplication::clipboard()->clear();
        if (c.clipboardText)
            QApplication::clipboard()->setText(QStringLiteral("x"));
        if (c.select)
            form.SelectAllNoteMemoClick();
        else
            form.NoteMemo->moveCursor(QTextCursor::End);
        form.MemoMenuPopup();
        EXPECT_EQ(form.CutNoteMemo->isEnabled(), c.select);
        EXPECT_EQ(form.CopyNoteMemo->isEnabled(), c.select);
        EXPECT_EQ(form.DelNoteMemo->isEnabled(), c.select);
        EXPECT_EQ(form.PasteNoteMemo->isEnabled(), c.clipboardText);
    }
    const QString captions[] = { QStringLiteral("&Wytnij"), QStringLiteral("&Kopiuj"),
        QStringLiteral("Wkl&ej"), QStringLiteral("&Usuń"), QString(), QStringLiteral("&Zaznacz wszystko"),
        QString(), QStringLiteral("Usuń &notatkę") };
    const QList<QAction*> actions = form.MemoMenu->actions();
    ASSERT_EQ(actions.size(), 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(actions[i]->text(), captions[i]) << i;
    EXPECT_EQ(form.RemoveNoteMemo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Delete));
    form.reject();
}

TEST_F(ElementForm, AppearanceIsReadOnOpenAndStoredOnlyOnOk)
{
    ScriptedUiServices ui;
    {
        TElementForm form(26);
        EXPECT_EQ(AppearanceOf(*form.MainHtml), ResolvedForView(DefaultViewAppearance()));
        // Cancel after choosing a scheme: nothing changes, nothing is stored.
        ui.answerModal([](QDialog& dialog) {
            auto& fontForm = dynamic_cast<TFontForm&>(dialog);
            fontForm.ThemeBox->setCurrentRow(3);
            return mrCancel;
        });
        form.SettingsButtonClick();
        EXPECT_EQ(AppearanceOf(*form.MainHtml), ResolvedForView(DefaultViewAppearance()));
        EXPECT_TRUE(appearanceValues().empty());

        ViewAppearance seen;
        ui.answerModal([&](QDialog& dialog) {
            auto& fontForm = dynamic_cast<TFontForm&>(dialog);
            seen = fontForm.Appearance();
            fontForm.ThemeBox->setCurrentRow(3); // "Fiołki"
            return mrOk;
        });
        builds.clear();
        form.SettingsButtonClick();
        EXPECT_EQ(seen, DefaultViewAppearance()); // the dialog opened on the window's values
        ViewAppearance applied = kAppearanceSchemes[3].appearance;
        applied.preFontName = "Verdana"; // the font name serves the fixed-pitch text too
        EXPECT_EQ(form.Appearance(), applied);
        EXPECT_EQ(AppearanceOf(*form.MainHtml), applied);
        EXPECT_EQ(form.NoteMemo->palette().color(QPalette::Base), QColor(128, 0, 255));
        EXPECT_EQ(form.NoteMemo->font().pointSize(), 10);
        ASSERT_EQ(builds.size(), 1u); // the details page is built again
        EXPECT_TRUE(builds[0].full);
        EXPECT_TRUE(ui.finished());
        form.reject();
    }
    const std::vector<std::string> names = { "ElementBackgroundColor", "ElementFontColor", "ElementLinkColor",
        "ElementFontSize", "ElementFontName" };
    EXPECT_EQ(appearanceValues(), names);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kPlacement, "ElementBackgroundColor"), 0xFF0080);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kPlacement, "ElementFontColor"), 0xFFFF00);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kPlacement, "ElementLinkColor"), 0xFFFFFF);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kPlacement, "ElementFontSize"), 10);
    EXPECT_EQ(ReadRegString(Hive::CurrentUser, kPlacement, "ElementFontName"), "Verdana");

    TElementForm reopened;
    ViewAppearance expected = kAppearanceSchemes[3].appearance;
    expected.preFontName = "Verdana"; // only the five values are stored
    EXPECT_EQ(AppearanceOf(*reopened.MainHtml), expected);
    EXPECT_EQ(reopened.Appearance(), expected);
    reopened.reject();
}

// Keys as the keyboard gives them: to the focused widget of the active window.
void activate(QWidget& form)
{
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, key, modifiers);
}

QRect globalRect(const QWidget* widget, const QRect& local)
{
    return QRect(widget->mapToGlobal(local.topLeft()), local.size());
}

TEST_F(ElementForm, TabFollowsTheScreenAndReachesTheModeButtons)
{
    ScriptedUiServices ui;
    TElementForm form(26);
    activate(form);
    ASSERT_EQ(QApplication::focusWidget(), form.MainHtml);
    const QStringList expected = { QStringLiteral("DetailsButton"), QStringLiteral("DescriptionButton"),
        QStringLiteral("NoteButton"), QStringLiteral("HelpButton"), QStringLiteral("CloseButton"),
        QStringLiteral("FirstButton"), QStringLiteral("PreviousButton"), QStringLiteral("NextButton"),
        QStringLiteral("LastButton"), QStringLiteral("SaveButton"), QStringLiteral("CopyButton"),
        QStringLiteral("PrintButton"), QStringLiteral("FindButton"), QStringLiteral("SettingsButton"),
        QStringLiteral("MainHtml") };
    QStringList chain;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        press(Qt::Key_Tab);
        chain << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(chain, expected);
    press(Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), form.SettingsButton);

    // A mode button reached by Tab acts on Space.
    form.DescriptionButton->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Space);
    EXPECT_EQ(form.CurrentMode(), TElementForm::Mode::Description);
    form.reject();
}

TEST_F(ElementForm, CtrlDelRemovesTheNoteAsTheMenuShows)
{
    ScriptedUiServices ui;
    setTabOrder(3);
    WriteRegString(Hive::CurrentUser, kNotes, "26", ScrambleText("NotaSlad", "Ruda"));
    {
        TElementForm form(26);
        activate(form);
        ASSERT_EQ(QApplication::focusWidget(), form.NoteMemo);
        form.NoteMemo->setPlainText(QStringLiteral("Ruda żelaza\nmagnetyt"));
        form.NoteMemo->moveCursor(QTextCursor::Start);
        EXPECT_EQ(form.RemoveNoteMemo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Delete));
        press(Qt::Key_Delete, Qt::ControlModifier);
        EXPECT_EQ(form.NoteMemo->toPlainText(), QString());
        EXPECT_TRUE(form.NoteModified());
        form.reject();
    }
    EXPECT_FALSE(noteExists(26));

    // Elsewhere than in the notes the key removes nothing.
    WriteRegString(Hive::CurrentUser, kNotes, "26", ScrambleText("NotaSlad", "Ruda"));
    setTabOrder(1);
    TElementForm form(26);
    activate(form);
    press(Qt::Key_Delete, Qt::ControlModifier);
    form.reject();
    EXPECT_TRUE(noteExists(26));
}

TEST_F(ElementForm, FindDialogStaysClearOfThePageAndOfEachMatch)
{
    ScriptedUiServices ui;
    setTabOrder(3);
    TElementForm form(26);
    activate(form);
    const QRect screen = form.screen()->availableGeometry();
    form.FindButtonClick();
    const QRect page = globalRect(form.Notebook, form.Notebook->rect());
    EXPECT_FALSE(form.FindDialog->frameGeometry().intersects(page));
    EXPECT_TRUE(screen.contains(form.FindDialog->frameGeometry()));

    // A window that fills the screen leaves no room beside the page: the
    // dialog moves off each match it would cover.
    form.setGeometry(screen);
    QApplication::processEvents();
    QStringList lines;
    for (int i = 0; i < 30; ++i)
        lines << (i == 0 || i == 20 ? QStringLiteral("magnetyt i hematyt") : QStringLiteral("ruda"));
    form.NoteMemo->setPlainText(lines.join(QLatin1Char('\n')));
    form.FindDialog->TextEdit->setText(QStringLiteral("hematyt"));
    for (int match = 0; match < 2; ++match) {
        SCOPED_TRACE(match);
        // The dialog stands over the line of the next match.
        const QTextCursor line(form.NoteMemo->document()->findBlockByNumber(match == 0 ? 0 : 20));
        form.FindDialog->move(
            form.NoteMemo->viewport()->mapToGlobal(form.NoteMemo->cursorRect(line).topLeft() - QPoint(0, 4)));
        form.FindDialog->FindNext();
        const QTextCursor hit = form.NoteMemo->textCursor();
        ASSERT_EQ(hit.selectedText(), QStringLiteral("hematyt"));
        QTextCursor start = hit;
        start.setPosition(hit.selectionStart());
        const QRect shown = globalRect(
            form.NoteMemo->viewport(), form.NoteMemo->cursorRect(start) | form.NoteMemo->cursorRect(hit));
        EXPECT_FALSE(form.FindDialog->frameGeometry().intersects(shown));
        EXPECT_TRUE(screen.contains(form.FindDialog->frameGeometry()));
    }

    // In the page: the match the view selected.
    form.DetailsButtonClick();
    form.FindDialog->TextEdit->setText(QStringLiteral("Fe"));
    form.FindDialog->move(form.MainHtml->viewport()->mapToGlobal(QPoint(0, 0)));
    form.FindDialog->FindNext();
    const QRect match = form.MainHtml->SelectionRect();
    ASSERT_FALSE(match.isEmpty());
    EXPECT_FALSE(form.FindDialog->frameGeometry().intersects(globalRect(form.MainHtml->viewport(), match)));
    form.reject();
}

TEST_F(ElementForm, CopyKeepsTheDetailsRowsOnOneLine)
{
    ScriptedUiServices ui;
    setTabOrder(1);
    TElementForm form(26);
    form.show();
    QApplication::clipboard()->clear();
    form.CopyButtonClick();
    const QStringList copied = QApplication::clipboard()->text().split(QLatin1Char('\n'));
    // Each property row: its label, a tab, its value; no label stands alone.
    int rows = 0;
    for (const QString& line : copied) {
        if (line.startsWith(QStringLiteral("Symbol:")) || line.startsWith(QStringLiteral("Nazwa polska:"))) {
            EXPECT_TRUE(line.contains(QLatin1Char('\t'))) << line.toStdString();
            ++rows;
        }
    }
    EXPECT_EQ(rows, 2) << QApplication::clipboard()->text().toStdString();
    EXPECT_TRUE(copied.contains(QStringLiteral("Symbol:\tFe")))
        << QApplication::clipboard()->text().toStdString();
    form.reject();
}

} // namespace
} // namespace orbita
