#include "windows/test/test_form.h"

#include "core/message_pump.h"
#include "core/settings.h"
#include "data/archive_members.h"
#include "htmlview/html_view_widget.h"
#include "platform/qt_text.h"
#include "platform/shell_services.h"
#include "platform/ui_services.h"
#include "widgets/accessible_text.h"
#include "widgets/glyph_button.h"
#include "windows/reference/browser_form.h"
#include "windows/settings/appearance_colors.h"
#include "windows/settings/font_form.h"
#include "windows/window_opener.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStackedWidget>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <map>

namespace orbita {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kDescriptionRole = Qt::UserRole + 1;

struct ColumnInfo {
    TestListColumn column;
    const char* caption; // UTF-8
    int width;
};
constexpr std::array<ColumnInfo, 5> kColumns { {
    { TestListColumn::Name, "Nazwa pliku", 150 },
    { TestListColumn::Title, "Tytuł", 150 },
    { TestListColumn::Author, "Autor", 150 },
    { TestListColumn::Count, "Ilość pytań", 100 },
    { TestListColumn::Description, "Opis", 150 },
} };

const QColor kWhite(255, 255, 255);

std::int64_t SteadyMilliseconds()
{
    static QElapsedTimer timer = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return timer.elapsed();
}

QFrame* MakePanel(QWidget* parent, const char* name)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setAutoFillBackground(true);
    return panel;
}

void PaintPanel(QWidget& widget, const QColor& colour)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

// The results view keeps its own look whatever the run's view shows.
void SetUpResultsView(ThtmlLite& view)
{
    view.SetDefBackground(RgbColor(255, 255, 255));
    view.SetDefFontColor(RgbColor(0, 0, 0));
    view.SetDefFontName(QStringLiteral("Tahoma"));
    view.SetDefPreFontName(QStringLiteral("Tahoma"));
    view.SetDefFontSize(8);
    view.SetBorderStyle(THTMLBorderStyle::htNone);
}

} // namespace

QStringList TestPackageFolders()
{
    return { QString::fromStdString(ProgramFolder()) + QStringLiteral("TESTY/"),
        QString::fromStdString(UserDataFolder()) + QStringLiteral("TESTY/") };
}

QStringList ListTestPackages(const QStringList& folders)
{
    // By the upper-cased name: a later folder replaces an earlier one's file.
    // Within one folder, of names that differ only in case the first in name
    // order is listed, whatever order the file system keeps.
    std::map<QString, QString> byName;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        if (!dir.exists())
            continue;
        const QFileInfoList files = dir.entryInfoList({ QStringLiteral("*.obt") },
            QDir::Files | QDir::Hidden | QDir::System | QDir::Readable, QDir::Name);
        std::map<QString, QString> inFolder;
        for (const QFileInfo& file : files)
            inFolder.emplace(file.fileName().toUpper(), file.absoluteFilePath());
        for (auto& [name, path] : inFolder)
            byName[name] = std::move(path);
    }
    QStringList paths;
    paths.reserve(static_cast<qsizetype>(byName.size()));
    for (const auto& entry : byName)
        paths << entry.second;
    return paths;
}

void TTestForm::ShowTest(QWidget* owner)
{
    TTestForm form(owner);
    Ui().ShowModal(form);
}

TTestForm::TTestForm(QWidget* parent, Clock clock)
    : TDialogForm(parent)
    , m_clock(clock ? std::move(clock) : Clock(&SteadyMilliseconds))
{
    setObjectName(QStringLiteral("TestForm"));
    SetHelpTopic(*this, QStringLiteral("O_TEST"));
    setTitle(FromCp1250(kTestCaption));
    setSizeable(true);
    resize(640, 420);
    setMinimumSize(510, 300);

    // The notebook inside its white border panels.
    PodgladPanel = MakePanel(body(), "PodgladPanel");
    PodgladPanel->setFrameShape(QFrame::StyledPanel);
    GornyPanel = MakePanel(PodgladPanel, "GornyPanel");
    DolnyPanel = MakePanel(PodgladPanel, "DolnyPanel");
    LewyPanel = MakePanel(PodgladPanel, "LewyPanel");
    PrawyPanel = MakePanel(PodgladPanel, "PrawyPanel");
    GornyPanel->setFixedHeight(24);
    DolnyPanel->setFixedHeight(24);
    LewyPanel->setFixedWidth(14);
    PrawyPanel->setFixedWidth(14);
    Notebook = new QStackedWidget(PodgladPanel);
    Notebook->setObjectName(QStringLiteral("Notebook"));
    auto* grid = new QGridLayout(PodgladPanel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(GornyPanel, 0, 0, 1, 3);
    grid->addWidget(LewyPanel, 1, 0);
    grid->addWidget(Notebook, 1, 1);
    grid->addWidget(PrawyPanel, 1, 2);
    grid->addWidget(DolnyPanel, 2, 0, 1, 3);

    // "Wybor": the list, the description and the check box.
    auto* choicePage = new QWidget;
    choicePage->setObjectName(QStringLiteral("Wybor"));
    ChoiceTopPanel = MakePanel(choicePage, "ChoiceTopPanel");
    TestList = new QTreeWidget(ChoiceTopPanel);
    TestList->setObjectName(QStringLiteral("TestList"));
    SetAccessibleText(*TestList, QStringLiteral("Testy"),
        QStringLiteral("Dostępne testy. Strzałki wybierają test, Enter go rozpoczyna."));
    TestList->setColumnCount(static_cast<int>(kColumns.size()));
    QStringList captions;
    for (const ColumnInfo& column : kColumns)
        captions << QString::fromUtf8(column.caption);
    TestList->setHeaderLabels(captions);
    TestList->setRootIsDecorated(false);
    TestList->setItemsExpandable(false);
    TestList->setUniformRowHeights(true);
    TestList->setSelectionMode(QAbstractItemView::SingleSelection);
    TestList->setSelectionBehavior(QAbstractItemView::SelectRows);
    TestList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TestList->setSortingEnabled(false);
    TestList->header()->setSectionsClickable(false);
    TestList->header()->setStretchLastSection(false);
    auto* topLayout = new QVBoxLayout(ChoiceTopPanel);
    topLayout->setContentsMargins(8, 8, 8, 8);
    topLayout->addWidget(TestList);
    ChoiceBottomPanel = MakePanel(choicePage, "ChoiceBottomPanel");
    TitleMemo = new QPlainTextEdit(ChoiceBottomPanel);
    TitleMemo->setObjectName(QStringLiteral("TitleMemo"));
    SetAccessibleText(*TitleMemo, QStringLiteral("Opis testu"), QStringLiteral("Opis wybranego testu."));
    TitleMemo->setReadOnly(true);
    TitleMemo->setMaximumHeight(60);
    ShowBox = new QCheckBox(QStringLiteral("Wyświetlaj prawidłowe o&dpowiedzi"), ChoiceBottomPanel);
    ShowBox->setObjectName(QStringLiteral("ShowBox"));
    auto* bottomLayout = new QVBoxLayout(ChoiceBottomPanel);
    bottomLayout->setContentsMargins(8, 0, 8, 4);
    bottomLayout->addWidget(TitleMemo);
    bottomLayout->addWidget(ShowBox);
    auto* choiceLayout = new QVBoxLayout(choicePage);
    choiceLayout->setContentsMargins(0, 0, 0, 0);
    choiceLayout->setSpacing(0);
    choiceLayout->addWidget(ChoiceTopPanel, 1);
    choiceLayout->addWidget(ChoiceBottomPanel);
    PaintPanel(*ChoiceTopPanel, kWhite);
    PaintPanel(*ChoiceBottomPanel, kWhite);

    // "Test": the question and the buttons under it.
    auto* testPage = new QWidget;
    testPage->setObjectName(QStringLiteral("Test"));
    TestHtml = new ThtmlLite(testPage);
    TestHtml->setObjectName(QStringLiteral("TestHtml"));
    SetAccessibleText(*TestHtml, QStringLiteral("Pytanie"),
        QStringLiteral(
            "Treść pytania i odpowiedzi do wyboru. Tab przechodzi do odpowiedzi, Enter zatwierdza."));
    TestHtml->SetBorderStyle(THTMLBorderStyle::htNone);
    TestHtml->SetMarginWidth(0);
    TestHtml->SetMarginHeight(0);
    PrzyciskiPanel = MakePanel(testPage, "PrzyciskiPanel");
    NextButton = MakeGlyphButton(PrzyciskiPanel, "NextButton", "B_NEXT", QStringLiteral("&Następne"),
        QStringLiteral("Przechodzi do następnego pytania [Enter]"));
    StopButton = MakeGlyphButton(PrzyciskiPanel, "StopButton", "B_CANCEL", QStringLiteral("&Stop"),
        QStringLiteral("Przerywa test [Esc]"));
    auto* runButtons = new QHBoxLayout(PrzyciskiPanel);
    runButtons->setContentsMargins(0, 4, 0, 0);
    runButtons->addStretch();
    runButtons->addWidget(NextButton);
    runButtons->addWidget(StopButton);
    auto* testLayout = new QVBoxLayout(testPage);
    testLayout->setContentsMargins(0, 0, 0, 0);
    testLayout->setSpacing(0);
    testLayout->addWidget(TestHtml, 1);
    testLayout->addWidget(PrzyciskiPanel);

    // "Wynik" and "Brak".
    WynikiHtml = new ThtmlLite;
    WynikiHtml->setObjectName(QStringLiteral("WynikiHtml"));
    SetAccessibleText(*WynikiHtml, QStringLiteral("Wyniki"),
        QStringLiteral("Wynik testu z oceną. Strzałki przewijają tekst."));
    SetUpResultsView(*WynikiHtml);
    auto* nonePage = new QWidget;
    nonePage->setObjectName(QStringLiteral("Brak"));
    BrakLabel = new QLabel(QStringLiteral("Niestety nie ściągnąłeś jeszcze żadnych testów,\n"
                                          "aby ściągnąć zestawy użyj Centrum aktualizacji."),
        nonePage);
    BrakLabel->setObjectName(QStringLiteral("BrakLabel"));
    BrakLabel->setAlignment(Qt::AlignCenter);
    auto* noneLayout = new QVBoxLayout(nonePage);
    noneLayout->addWidget(BrakLabel);
    PaintPanel(*nonePage, kWhite);
    Notebook->addWidget(choicePage);
    Notebook->addWidget(testPage);
    Notebook->addWidget(WynikiHtml);
    Notebook->addWidget(nonePage);

    // The status line under the notebook.
    TrybEtykieta = new QLabel(QStringLiteral("Sprawdź swoją wiedzę"), body());
    TrybEtykieta->setObjectName(QStringLiteral("TrybEtykieta"));
    PostepEtykieta = new QLabel(QStringLiteral("Wybierz test"), body());
    PostepEtykieta->setObjectName(QStringLiteral("PostepEtykieta"));
    PostepEtykieta->setMinimumWidth(170);
    auto* status = new QHBoxLayout;
    status->addWidget(TrybEtykieta, 1);
    status->addWidget(PostepEtykieta);

    // The button column.
    StartButton = MakeGlyphButton(body(), "StartButton", "B_START", QStringLiteral("&Rozpocznij"),
        QStringLiteral("Rozpoczyna wybrany test [Enter]"));
    RefreshButton = MakeGlyphButton(body(), "RefreshButton", "B_DETAILS", QStringLiteral("&Odśwież"),
        QStringLiteral("Odczytuje ponownie listę testów [F5]"));
    HelpButton = MakeGlyphButton(
        body(), "HelpButton", "B_HELP", QStringLiteral("Pomo&c"), QStringLiteral("Wyświetla pomoc [F1]"));
    SettingsButton = MakeGlyphButton(body(), "SettingsButton", "B_SETTINGS", QStringLiteral("U&stawienia"),
        QStringLiteral("Dostosowuje wygląd pytań (rozmiar czcionki, styl oraz kolor) [Ctrl+U]"));
    PrintButton = MakeGlyphButton(body(), "PrintButton", "B_PRINT", QStringLiteral("&Drukuj…"),
        QStringLiteral("Drukuje wyniki testu albo zapisuje je w pliku PDF [Ctrl+P]"));
    PrintButton->setAccessibleName(QStringLiteral("Drukuj wyniki"));
    PrintButton->setAccessibleDescription(
        QStringLiteral("Drukuje wyniki testu albo zapisuje je w pliku PDF (Ctrl+P)"));
    PrintButton->setEnabled(false);
    CloseButton = MakeGlyphButton(
        body(), "CloseButton", "B_CLOSE", QStringLiteral("Zamknij"), QStringLiteral("Zamyka okno [Esc]"));
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(2);
    for (QToolButton* button :
        { StartButton, RefreshButton, HelpButton, SettingsButton, PrintButton, CloseButton }) {
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        buttons->addWidget(button);
    }
    buttons->addStretch();

    auto* left = new QVBoxLayout;
    left->addWidget(PodgladPanel, 1);
    left->addLayout(status);
    auto* row = new QHBoxLayout;
    row->addLayout(left, 1);
    row->addLayout(buttons);
    bodyLayout()->addLayout(row, 1);

    Timer = new QTimer(this);
    Timer->setInterval(1000);

    connect(StartButton, &QToolButton::clicked, this, &TTestForm::StartButtonClick);
    connect(RefreshButton, &QToolButton::clicked, this, &TTestForm::RefreshButtonClick);
    connect(HelpButton, &QToolButton::clicked, this, &TTestForm::HelpButtonClick);
    connect(SettingsButton, &QToolButton::clicked, this, &TTestForm::SettingsButtonClick);
    connect(PrintButton, &QToolButton::clicked, this, &TTestForm::PrintButtonClick);
    connect(CloseButton, &QToolButton::clicked, this, [this] { done(mrOk); });
    connect(NextButton, &QToolButton::clicked, this, &TTestForm::NextButtonClick);
    connect(StopButton, &QToolButton::clicked, this, &TTestForm::StopButtonClick);
    connect(TestList, &QTreeWidget::itemSelectionChanged, this, &TTestForm::TestListSelectionChange);
    connect(TestList, &QTreeWidget::itemDoubleClicked, this, [this] { StartButtonClick(); });
    connect(Timer, &QTimer::timeout, this, &TTestForm::TimerTick);
    for (ThtmlLite* view : { TestHtml, WynikiHtml }) {
        view->OnFormSubmit
            = [this](ThtmlLite* sender, const std::string&, const std::string&, const std::string&,
                  const std::string&,
                  const std::vector<std::string>& results) { HtmlFormSubmit(sender, results); };
        view->OnHotSpotClick = [this](ThtmlLite*, const std::string& target, bool& handled) {
            HtmlHotSpotClick(target, handled);
        };
        view->OnImageRequest
            = [this](ThtmlLite*, const std::string& src, std::optional<std::string>& stream) {
                  if (!m_package.isEmpty())
                      stream = ReadArchiveStream(ToPath(m_package), src);
              };
    }

    // Opening: the column widths, the run's appearance, the catalogue.
    if (ReadFlag(Setting::SaveWindowsPlacement))
        for (std::size_t i = 0; i < kColumns.size(); ++i) {
            const std::int32_t width = ReadTestListColumnWidth(kColumns[i].column);
            TestList->setColumnWidth(static_cast<int>(i), width >= 0 ? width : kColumns[i].width);
        }
    else
        for (std::size_t i = 0; i < kColumns.size(); ++i)
            TestList->setColumnWidth(static_cast<int>(i), kColumns[i].width);
    m_appearance = ReadViewAppearance(Viewer::Test, DefaultViewAppearance());
    applyAppearance();
    showPage(Page::None);
    RefreshButtonClick();
}

TTestForm::~TTestForm() = default;

TTestForm::Page TTestForm::CurrentPage() const
{
    return static_cast<Page>(Notebook->currentIndex());
}

bool TTestForm::Running() const
{
    return CurrentPage() == Page::Test;
}

QStringList TTestForm::ListedPackages() const
{
    QStringList paths;
    for (int i = 0; i < TestList->topLevelItemCount(); ++i)
        paths << TestList->topLevelItem(i)->data(0, kPathRole).toString();
    return paths;
}

// The opening width shows every column of the list without a horizontal
// scroll bar, a vertical one included (the height and the minimum size stay).
// Measured once the window is laid out, when it first shows.
void TTestForm::showEvent(QShowEvent* event)
{
    TDialogForm::showEvent(event);
    if (m_fitted)
        return;
    m_fitted = true;
    // The notebook is laid out whichever page shows; the list fills the choice
    // page inside its panel's margins.
    const int bar = TestList->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, TestList);
    const QMargins margins = ChoiceTopPanel->layout()->contentsMargins();
    const int list = TestList->header()->length() + bar + 2 * TestList->frameWidth();
    const int missing = list + margins.left() + margins.right() - Notebook->width();
    if (missing > 0)
        resize(width() + missing, height());
}

void TTestForm::showPage(Page page)
{
    Notebook->setCurrentIndex(static_cast<int>(page));
    PrintButton->setEnabled(page == Page::Results && WynikiHtml->HasPrintablePage());
}

void TTestForm::PrintButtonClick()
{
    if (CurrentPage() != Page::Results || !WynikiHtml->HasPrintablePage())
        return;
    const QString caption = QStringLiteral("%1 – wyniki").arg(title());
    Ui().Print(this, { caption, QPageLayout::Portrait, [this, caption](QPrinter& printer) {
                          WynikiHtml->Print(printer, caption);
                      } });
}

void TTestForm::colourBorders(const QColor& colour)
{
    for (QFrame* panel : { GornyPanel, DolnyPanel, LewyPanel, PrawyPanel })
        PaintPanel(*panel, colour);
}

// Refreshing pumps messages between packages: a second request meanwhile is
// ignored, and closing the window ends the loop.
void TTestForm::RefreshButtonClick()
{
    if (m_refreshing || Running() || m_closed)
        return;
    m_refreshing = true;
    const QPointer<TTestForm> alive(this);
    TestList->clear();
    TitleMemo->clear();
    const QStringList packages = ListTestPackages(TestPackageFolders());
    for (const QString& path : packages) {
        const TestDescription description = DescribeTest(ReadTestLines(ToPath(path)));
        auto* item = new QTreeWidgetItem(TestList);
        item->setText(0, QFileInfo(path).fileName());
        item->setText(1, FromCp1250(description.title));
        item->setText(2, FromCp1250(description.author));
        item->setText(3, QString::number(description.questionCount));
        item->setText(4, FromCp1250(description.description));
        item->setData(0, kPathRole, path);
        item->setData(0, kDescriptionRole, FromCp1250(description.description));
        PumpMessages();
        if (alive.isNull())
            return;
        if (m_closed || QCoreApplication::closingDown())
            break;
    }
    m_refreshing = false;
    if (TestList->topLevelItemCount() > 0) {
        showPage(Page::Choice);
        PostepEtykieta->setText(QStringLiteral("Wybierz test"));
        TestList->setFocus();
    } else {
        showPage(Page::None);
        PostepEtykieta->setText(QStringLiteral("Brak testów"));
    }
}

std::optional<QString> TTestForm::selectedPackage() const
{
    const QList<QTreeWidgetItem*> selected = TestList->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return selected.front()->data(0, kPathRole).toString();
}

void TTestForm::TestListSelectionChange()
{
    const QList<QTreeWidgetItem*> selected = TestList->selectedItems();
    TitleMemo->setPlainText(
        selected.isEmpty() ? QString() : selected.front()->data(0, kDescriptionRole).toString());
}

void TTestForm::backToChoice(const QString& mode, const QString& progress)
{
    Timer->stop();
    showPage(Page::Choice);
    colourBorders(kWhite);
    TrybEtykieta->setText(mode);
    PostepEtykieta->setText(progress);
    StartButton->setEnabled(true);
    RefreshButton->setEnabled(true);
    CloseButton->setEnabled(true);
    StartButton->setText(QStringLiteral("&Rozpocznij"));
    setTitle(FromCp1250(kTestCaption));
    TestList->setFocus();
}

void TTestForm::StartButtonClick()
{
    if (m_refreshing || m_closed || Running())
        return;
    if (CurrentPage() == Page::Results) {
        backToChoice(QStringLiteral("Sprawdź się w kolejnym teście"), QStringLiteral("Wybierz test"));
        return;
    }
    const std::optional<QString> package = selectedPackage();
    if (!package) {
        Ui().ShowMessage(this, FromCp1250(kNoTestSelectedTitle), FromCp1250(kNoTestSelectedText),
            MessageIcon::Information, MessageButtons::Ok);
        return;
    }
    std::optional<std::vector<std::string>> lines = ReadTestLines(ToPath(*package));
    auto run = std::make_unique<TestRun>(lines ? std::move(*lines) : std::vector<std::string>());
    if (!run->CanStart()) {
        // No endless run through pages without questions.
        Ui().ShowMessage(this, FromCp1250(kEmptyTestTitle), FromCp1250(kEmptyTestText),
            MessageIcon::Information, MessageButtons::Ok);
        return;
    }
    m_run = std::move(run);
    m_package = *package;
    setTitle(FromCp1250(RunningTestCaption(m_run->Title())));
    TestHtml->Clear();
    showPage(Page::Test);
    colourBorders(ToQColor(m_appearance.background));
    StartButton->setEnabled(false);
    CloseButton->setEnabled(false);
    RefreshButton->setEnabled(false);
    m_startMs = m_clock();
    TrybEtykieta->setText(FromCp1250(ElapsedStatus(0)));
    Timer->start();
    applyStep(m_run->Start());
}

void TTestForm::applyStep(const TestRun::Step& step)
{
    switch (step.kind) {
    case TestRun::Step::Kind::QuestionPage:
        TestHtml->LoadFromText(step.html);
        PostepEtykieta->setText(FromCp1250(step.remaining));
        TestHtml->setFocus();
        break;
    case TestRun::Step::Kind::CorrectAnswerPage:
        TestHtml->LoadFromText(step.html);
        TestHtml->setFocus();
        break;
    case TestRun::Step::Kind::Results:
        showResults();
        break;
    case TestRun::Step::Kind::NothingSelected:
        Ui().ShowMessage(this, FromCp1250(kNothingSelectedTitle), FromCp1250(kNothingSelectedText),
            MessageIcon::Information, MessageButtons::Ok);
        break;
    case TestRun::Step::Kind::Ignored:
        break;
    }
}

// The page has radio buttons: they are submitted (the answer arrives through
// the form-submit event); a page without controls goes on to the next page.
void TTestForm::NextButtonClick()
{
    if (!Running() || !m_run)
        return;
    if (TestHtml->FormControlCount() > 0)
        TestHtml->SubmitFirstForm();
    else
        applyStep(m_run->Next());
}

void TTestForm::HtmlFormSubmit(ThtmlLite* sender, const std::vector<std::string>& results)
{
    if (sender != TestHtml || !Running() || !m_run)
        return;
    applyStep(m_run->Answer(results, ShowBox->isChecked()));
}

std::int64_t TTestForm::elapsedSeconds() const
{
    return ElapsedSeconds(m_startMs, m_clock());
}

void TTestForm::TimerTick()
{
    if (Running())
        TrybEtykieta->setText(FromCp1250(ElapsedStatus(elapsedSeconds())));
}

void TTestForm::showResults()
{
    const std::int64_t seconds = elapsedSeconds();
    Timer->stop();
    showPage(Page::Results);
    colourBorders(kWhite);
    TrybEtykieta->setText(QStringLiteral("Twoje wyniki"));
    PostepEtykieta->setText(QStringLiteral("Test został zakończony"));
    StartButton->setEnabled(true);
    CloseButton->setEnabled(true);
    StartButton->setText(QStringLiteral("&Nowy"));
    WynikiHtml->LoadFromText(m_run->ResultsPage(seconds));
    PrintButton->setEnabled(WynikiHtml->HasPrintablePage());
    // The results take the keys: Ctrl+A and Ctrl+C copy them, Enter starts anew.
    WynikiHtml->setFocus();
}

void TTestForm::StopButtonClick()
{
    if (!Running())
        return;
    const int answer = Ui().ShowMessage(this, FromCp1250(kStopQuestionTitle), FromCp1250(kStopQuestionText),
        MessageIcon::Question, MessageButtons::YesNoDefaultNo);
    if (answer != mrYes || !Running())
        return;
    backToChoice(QStringLiteral("Test został przerwany"), QStringLiteral("Wybierz kolejny test"));
}

void TTestForm::applyAppearance()
{
    ApplyAppearance(*TestHtml, m_appearance);
    TestHtml->SetDefPreFontName(FromCp1250(m_appearance.fontName));
    const QColor background = ToQColor(m_appearance.background);
    for (QWidget* panel : { static_cast<QWidget*>(ChoiceTopPanel), static_cast<QWidget*>(ChoiceBottomPanel),
             static_cast<QWidget*>(PrzyciskiPanel) })
        PaintPanel(*panel, background);
    if (Running())
        colourBorders(background);
}

void TTestForm::SettingsButtonClick()
{
    if (!TFontForm::EditWindowAppearance(this, m_appearance))
        return;
    applyAppearance();
    StoreAppearance(Viewer::Test, m_appearance);
}

void TTestForm::HelpButtonClick()
{
    ShowHelpFor(this);
}

// A package comes from the network: only web and mail addresses leave the program.
void TTestForm::HtmlHotSpotClick(const std::string& target, bool& handled)
{
    switch (RouteTestLink(target)) {
    case TestLinkAction::OpenExternally:
        handled = true;
        Opener().RunTool(this, FromCp1250(target));
        break;
    case TestLinkAction::LeaveToView:
        handled = false;
        break;
    case TestLinkAction::Ignore:
        handled = true;
        break;
    }
}

bool TTestForm::handleKey(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers != Qt::NoModifier)
        return false;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        switch (CurrentPage()) {
        case Page::Test:
            NextButtonClick();
            return true;
        case Page::Choice:
            if (selectedPackage())
                StartButtonClick();
            return true;
        case Page::Results:
            StartButtonClick();
            return true;
        case Page::None:
            return false;
        }
        return false;
    case Qt::Key_F5:
        if (CurrentPage() != Page::Choice && CurrentPage() != Page::None)
            return false;
        RefreshButtonClick();
        return true;
    default:
        return false;
    }
}

bool TTestForm::eventFilter(QObject* watched, QEvent* event)
{
    // The list's current row is selected when the list takes the focus, so
    // that arrows move the choice and Enter starts it.
    if (event->type() == QEvent::FocusIn && watched == TestList && TestList->selectedItems().isEmpty()
        && TestList->topLevelItemCount() > 0) {
        QTreeWidgetItem* current = TestList->currentItem();
        TestList->setCurrentItem(current ? current : TestList->topLevelItem(0)); // selects it
    }
    if (const QKeyEvent* key = KeyPressInWindow(watched, event);
        key && handleKey(key->key(), ShortcutModifiers(key->modifiers()))) {
        event->accept();
        return true;
    }
    return TDialogForm::eventFilter(watched, event);
}

void TTestForm::done(int result)
{
    if (Running()) {
        StopButtonClick(); // the window stays open either way
        return;
    }
    if (!m_closed) {
        m_closed = true;
        Timer->stop();
        if (ReadFlag(Setting::SaveWindowsPlacement))
            for (std::size_t i = 0; i < kColumns.size(); ++i)
                WriteTestListColumnWidth(kColumns[i].column, TestList->columnWidth(static_cast<int>(i)));
    }
    TDialogForm::done(result);
}

} // namespace orbita
