#include "windows/element/element_form.h"

#include "core/settings.h"
#include "data/archive_members.h"
#include "htmlview/archive_page_widget.h"
#include "htmlview/html_view_widget.h"
#include "platform/printing.h"
#include "platform/qt_text.h"
#include "platform/shell_services.h"
#include "platform/ui_services.h"
#include "widgets/accessible_text.h"
#include "widgets/find_dialog.h"
#include "widgets/glyph_button.h"
#include "windows/element/element_page.h"
#include "windows/reference/browser_form.h"
#include "windows/settings/appearance_colors.h"
#include "windows/settings/font_form.h"
#include "windows/window_opener.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QStackedWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace orbita {
namespace {

constexpr const char* kHelpTopic = "O_PIERWS";
constexpr int kInfoPage = 0; // "Informacje"
constexpr int kNotePage = 1; // "Notatnik"

int g_currentElement = TElementForm::kFirstElement;
TElementForm::PageBuilder g_pageBuilder;

// The content archive beside the executable: its upper-cased base name with ".DAT".
std::string contentArchive()
{
    const QString base = QFileInfo(FromPath(ExecutablePath())).completeBaseName().toUpper();
    return ProgramFolder() + ToPath(base) + ".DAT";
}

// Makes `element` the current element before the window is created on it.
QWidget* selectElement(int element, QWidget* parent)
{
    g_currentElement = std::clamp(element, int(TElementForm::kFirstElement), int(TElementForm::kLastElement));
    return parent;
}

QString withDefaultSuffix(const QString& fileName, const QString& suffix)
{
    return QFileInfo(fileName).suffix().isEmpty() ? fileName + suffix : fileName;
}

} // namespace

// ---- the element window ----

void TElementForm::Insert(int element, QWidget* owner)
{
    TElementForm form(element, owner);
    Ui().ShowModal(form);
}

int TElementForm::CurrentElement()
{
    return g_currentElement;
}

void TElementForm::BuildPage(TElementForm& form, int element, bool full)
{
    const ElementPage page = BuildElementPage(contentArchive(), element, full,
        ToCp1250(form.PierwiastekEtykieta->text()), ResolvedForView(form.m_appearance).background);
    if (page.name)
        form.SetElementName(FromCp1250(*page.name));
    if (full)
        form.SetPages(page.displayPage, page.exportPage);
}

void TElementForm::SetPageBuilder(PageBuilder builder)
{
    g_pageBuilder = std::move(builder);
}

TElementForm::TElementForm(QWidget* parent)
    : TDialogForm(parent)
{
    setObjectName(QStringLiteral("ElementForm"));
    SetHelpTopic(*this, QString::fromLatin1(kHelpTopic));
    setTitle(QStringLiteral("Informacje o pierwiastku"));
    setupComponents();
    setupConnections();
    setSizeable(true);
    resize(520, 319);
    setMinimumSize(510, 250);

    // FormCreate: the step buttons, the mode of the last close, the appearance.
    updateStepButtons();
    const std::int32_t tabOrder = ReadInteger(Setting::TabOrder);
    if (tabOrder == 1) {
        Notebook->setCurrentIndex(kInfoPage);
        DetailsButton->setChecked(true);
    } else if (tabOrder == 2) {
        Notebook->setCurrentIndex(kInfoPage);
        DescriptionButton->setChecked(true);
    } else if (tabOrder == 3) {
        Notebook->setCurrentIndex(kNotePage);
        NoteButton->setChecked(true);
    }
    m_appearance = ReadViewAppearance(Viewer::Element, DefaultViewAppearance());
    applyAppearance();
    refresh();
    // The keys go to the shown page or the note from the start.
    if (CurrentMode() == Mode::Notes)
        NoteMemo->setFocus();
    else
        MainHtml->setFocus();
}

TElementForm::TElementForm(int element, QWidget* parent)
    : TElementForm(selectElement(element, parent))
{
}

TElementForm::~TElementForm() = default;

QToolButton* TElementForm::makeButton(
    const char* name, const char* picture, const QString& caption, const QString& hint)
{
    return MakeGlyphButton(body(), name, picture, caption, hint);
}

void TElementForm::setupComponents()
{
    DetailsButton = makeButton("DetailsButton", "B_MOREDETAILS", QStringLiteral("Szcz&egóły"),
        QStringLiteral("Wyświetla dokładne informacje na temat pierwiastka [F5]"));
    DescriptionButton = makeButton("DescriptionButton", "B_DESCRIPTION", QStringLiteral("Cha&rakterystyka"),
        QStringLiteral("Wyświetla charakterystykę pierwiastka [F6]"));
    NoteButton = makeButton(
        "NoteButton", "B_NOTES", QStringLiteral("&Notes"), QStringLiteral("Wyświetla notes [F7]"));
    // One mode button is down at a time. Not an exclusive button group: Tab
    // would then stop only on the button that is down.
    for (QToolButton* button : { DetailsButton, DescriptionButton, NoteButton }) {
        button->setCheckable(true);
        connect(button, &QToolButton::toggled, this, [this, button](bool down) {
            if (!down)
                return;
            for (QToolButton* other : { DetailsButton, DescriptionButton, NoteButton })
                if (other != button)
                    other->setChecked(false);
        });
    }
    FirstButton = makeButton("FirstButton", "B_FIRST", QString(),
        QStringLiteral("Przechodzi do pierwszego pierwiastka w układzie [Home]"));
    PreviousButton = makeButton("PreviousButton", "B_PREVIOUS", QStringLiteral("Poprze&dni"),
        QStringLiteral("Przechodzi do poprzedniego pierwiastka [Strzałka w lewo]"));
    NextButton = makeButton("NextButton", "B_NEXT", QStringLiteral("N&astępny"),
        QStringLiteral("Przechodzi do następnego pierwiastka [Strzałka w prawo]"));
    LastButton = makeButton("LastButton", "B_LAST", QString(),
        QStringLiteral("Przechodzi do ostatniego pierwiastka w układzie [End]"));
    SaveButton = makeButton("SaveButton", "B_SAVE", QStringLiteral("&Zapisz"),
        QStringLiteral("Zapisuje informacje o pierwiastku (aktualną zakładkę) do pliku [Ctrl+Z]"));
    CopyButton = makeButton("CopyButton", "B_COPY", QStringLiteral("&Kopiuj"),
        QStringLiteral(
            "Kopiuje informacje o pierwiastku (aktualną zakładkę) do schowka (wszystkie dane zapisywane "
            "są w formacie tekstowym) [Shift+C]"));
    PrintButton = makeButton("PrintButton", "B_PRINT", QStringLiteral("Druku&j…"),
        QStringLiteral("Drukuje aktualną zakładkę albo zapisuje ją w pliku PDF [Ctrl+P]"));
    PrintButton->setAccessibleName(QStringLiteral("Drukuj"));
    PrintButton->setAccessibleDescription(
        QStringLiteral("Drukuje aktualną zakładkę albo zapisuje ją w pliku PDF (Ctrl+P)"));
    HelpButton = makeButton(
        "HelpButton", "B_HELP", QStringLiteral("Pomo&c"), QStringLiteral("Wyświetla pomoc [F1]"));
    SettingsButton = makeButton("SettingsButton", "B_SETTINGS", QStringLiteral("&Ustawienia"),
        QStringLiteral("Dostosowuje wygląd dokumentu [Ctrl+U]"));
    FindButton = makeButton("FindButton", "B_FIND", QStringLiteral("Wy&szukaj"),
        QStringLiteral("Wyszukuje dowolny tekst (na aktualnej zakładce) [Ctrl+F]"));
    CloseButton = makeButton("CloseButton", "B_CLOSE", QString(), QStringLiteral("Zamyka okno [Esc]"));
    FirstButton->setAccessibleName(QStringLiteral("Pierwszy pierwiastek"));
    LastButton->setAccessibleName(QStringLiteral("Ostatni pierwiastek"));
    CloseButton->setAccessibleName(QStringLiteral("Zamknij"));

    // Three rows, so that every caption shows whole at the designed width:
    // the modes with help and close; the name with the steps; the actions.
    auto* topRow = new QHBoxLayout;
    topRow->setSpacing(2);
    for (QToolButton* button : { DetailsButton, DescriptionButton, NoteButton })
        topRow->addWidget(button);
    topRow->addStretch();
    topRow->addWidget(HelpButton);
    topRow->addWidget(CloseButton);
    bodyLayout()->addLayout(topRow);

    auto* secondRow = new QHBoxLayout;
    secondRow->setSpacing(2);
    PierwiastekEtykieta = new QLabel(body());
    PierwiastekEtykieta->setObjectName(QStringLiteral("PierwiastekEtykieta"));
    QFont bold = PierwiastekEtykieta->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    PierwiastekEtykieta->setFont(bold);
    secondRow->addWidget(PierwiastekEtykieta, 1);
    for (QToolButton* button : { FirstButton, PreviousButton, NextButton, LastButton })
        secondRow->addWidget(button);
    bodyLayout()->addLayout(secondRow);

    auto* thirdRow = new QHBoxLayout;
    thirdRow->setSpacing(2);
    for (QToolButton* button : { SaveButton, CopyButton, PrintButton, FindButton, SettingsButton })
        thirdRow->addWidget(button);
    thirdRow->addStretch();
    bodyLayout()->addLayout(thirdRow);

    MainPanel = new QFrame(body());
    MainPanel->setObjectName(QStringLiteral("MainPanel"));
    MainPanel->setAutoFillBackground(true);
    auto* grid = new QGridLayout(MainPanel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    const char* const borderNames[4]
        = { "ListTopPanel", "ListLeftPanel", "ListRightPanel", "ListBottomPanel" };
    for (int i = 0; i < 4; ++i) {
        m_borderPanels[i] = new QFrame(MainPanel);
        m_borderPanels[i]->setObjectName(QString::fromLatin1(borderNames[i]));
        m_borderPanels[i]->setAutoFillBackground(true);
        m_borderPanels[i]->setFixedSize(
            i == 1 || i == 2 ? QSize(4, QWIDGETSIZE_MAX) : QSize(QWIDGETSIZE_MAX, 4));
        if (i == 1 || i == 2)
            m_borderPanels[i]->setMinimumHeight(0);
        else
            m_borderPanels[i]->setMinimumWidth(0);
    }
    Notebook = new QStackedWidget(MainPanel);
    Notebook->setObjectName(QStringLiteral("Notebook"));
    MainHtml = new ThtmlLite(Notebook);
    MainHtml->setObjectName(QStringLiteral("MainHtml"));
    MainHtml->SetMarginWidth(0);
    MainHtml->SetMarginHeight(0);
    MainHtml->SetHistoryMaxCount(0);
    MainHtml->SetNoSelect(true);
    // Pictures are not shown: every request is answered with nothing.
    MainHtml->OnImageRequest = [](ThtmlLite*, const std::string&, std::optional<std::string>&) {};
    SetAccessibleText(*MainHtml, QStringLiteral("Informacje"),
        QStringLiteral("Dane lub opis pierwiastka. Strzałki w lewo i w prawo przechodzą do sąsiednich "
                       "pierwiastków, F5, F6 i F7 zmieniają zakładkę."));
    NoteMemo = new QPlainTextEdit(Notebook);
    NoteMemo->setObjectName(QStringLiteral("NoteMemo"));
    SetAccessibleText(
        *NoteMemo, QStringLiteral("Notatnik"), QStringLiteral("Twoje notatki o tym pierwiastku."));
    NoteMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    NoteMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    NoteMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    NoteMemo->setTabChangesFocus(false);
    NoteMemo->setContextMenuPolicy(Qt::CustomContextMenu);
    Notebook->addWidget(MainHtml);
    Notebook->addWidget(NoteMemo);
    grid->addWidget(m_borderPanels[0], 0, 0, 1, 3);
    grid->addWidget(m_borderPanels[1], 1, 0);
    grid->addWidget(Notebook, 1, 1);
    grid->addWidget(m_borderPanels[2], 1, 2);
    grid->addWidget(m_borderPanels[3], 2, 0, 1, 3);
    bodyLayout()->addWidget(MainPanel, 1);

    MemoMenu = new QMenu(this);
    MemoMenu->setObjectName(QStringLiteral("MemoMenu"));
    auto addItem = [this](const char* name, const QString& caption, const QKeySequence& shortcut) {
        QAction* action = MemoMenu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WidgetShortcut);
        return action;
    };
    CutNoteMemo = addItem("CutNoteMemo", QStringLiteral("&Wytnij"), QKeySequence(Qt::CTRL | Qt::Key_X));
    CopyNoteMemo = addItem("CopyNoteMemo", QStringLiteral("&Kopiuj"), QKeySequence(Qt::CTRL | Qt::Key_C));
    PasteNoteMemo = addItem("PasteNoteMemo", QStringLiteral("Wkl&ej"), QKeySequence(Qt::CTRL | Qt::Key_V));
    DelNoteMemo = addItem("DelNoteMemo", QStringLiteral("&Usuń"), QKeySequence(Qt::Key_Delete));
    MemoMenu->addSeparator();
    SelectAllNoteMemo = addItem(
        "SelectAllNoteMemo", QStringLiteral("&Zaznacz wszystko"), QKeySequence(Qt::CTRL | Qt::Key_A));
    MemoMenu->addSeparator();
    RemoveNoteMemo
        = addItem("RemoveNoteMemo", QStringLiteral("Usuń &notatkę"), QKeySequence(Qt::CTRL | Qt::Key_Delete));

    FindDialog = new TFindDialog(this);

    // Tab goes as the window reads: the mode buttons, help and close; the
    // steps; the actions; then the page (or the note).
    QWidget* const tabChain[] = { DetailsButton, DescriptionButton, NoteButton, HelpButton, CloseButton,
        FirstButton, PreviousButton, NextButton, LastButton, SaveButton, CopyButton, PrintButton, FindButton,
        SettingsButton, MainHtml, NoteMemo };
    for (std::size_t i = 1; i < std::size(tabChain); ++i)
        setTabOrder(tabChain[i - 1], tabChain[i]);
}

void TElementForm::setupConnections()
{
    MainHtml->OnHotSpotClick = [this](ThtmlLite*, const std::string& target, bool& handled) {
        MainHtmlHotSpotClick(target, handled);
    };
    connect(DetailsButton, &QToolButton::clicked, this, &TElementForm::DetailsButtonClick);
    connect(DescriptionButton, &QToolButton::clicked, this, &TElementForm::DescriptionButtonClick);
    connect(NoteButton, &QToolButton::clicked, this, &TElementForm::NoteButtonClick);
    connect(FirstButton, &QToolButton::clicked, this, &TElementForm::FirstButtonClick);
    connect(PreviousButton, &QToolButton::clicked, this, &TElementForm::PreviousButtonClick);
    connect(NextButton, &QToolButton::clicked, this, &TElementForm::NextButtonClick);
    connect(LastButton, &QToolButton::clicked, this, &TElementForm::LastButtonClick);
    connect(SaveButton, &QToolButton::clicked, this, &TElementForm::SaveButtonClick);
    connect(CopyButton, &QToolButton::clicked, this, &TElementForm::CopyButtonClick);
    connect(PrintButton, &QToolButton::clicked, this, &TElementForm::PrintButtonClick);
    connect(HelpButton, &QToolButton::clicked, this, &TElementForm::HelpButtonClick);
    connect(SettingsButton, &QToolButton::clicked, this, &TElementForm::SettingsButtonClick);
    connect(FindButton, &QToolButton::clicked, this, &TElementForm::FindButtonClick);
    connect(CloseButton, &QToolButton::clicked, this, &TElementForm::reject);
    FindDialog->OnFindNext
        = [this](const QString& text, bool matchCase) { return FindDialogFind(text, matchCase); };
    connect(NoteMemo, &QPlainTextEdit::textChanged, this, &TElementForm::NoteMemoChange);
    connect(NoteMemo, &QPlainTextEdit::customContextMenuRequested, this, [this](const QPoint& position) {
        MemoMenuPopup();
        MemoMenu->popup(NoteMemo->viewport()->mapToGlobal(position));
    });
    connect(CutNoteMemo, &QAction::triggered, this, &TElementForm::CutNoteMemoClick);
    connect(CopyNoteMemo, &QAction::triggered, this, &TElementForm::CopyNoteMemoClick);
    connect(PasteNoteMemo, &QAction::triggered, this, &TElementForm::PasteNoteMemoClick);
    connect(DelNoteMemo, &QAction::triggered, this, &TElementForm::DelNoteMemoClick);
    connect(SelectAllNoteMemo, &QAction::triggered, this, &TElementForm::SelectAllNoteMemoClick);
    connect(RemoveNoteMemo, &QAction::triggered, this, &TElementForm::RemoveNoteMemoClick);
}

TElementForm::Mode TElementForm::CurrentMode() const
{
    if (DetailsButton->isChecked())
        return Mode::Details;
    if (DescriptionButton->isChecked())
        return Mode::Description;
    if (NoteButton->isChecked())
        return Mode::Notes;
    return Mode::None;
}

bool TElementForm::Busy() const
{
    return m_busy;
}

void TElementForm::setBusy(bool busy)
{
    m_busy = busy;
    PreviousButton->setToolTip(
        busy ? QString() : QStringLiteral("Przechodzi do poprzedniego pierwiastka [Strzałka w lewo]"));
    NextButton->setToolTip(
        busy ? QString() : QStringLiteral("Przechodzi do następnego pierwiastka [Strzałka w prawo]"));
}

void TElementForm::SetElementName(const QString& name)
{
    PierwiastekEtykieta->setText(name);
    setTitle(QStringLiteral("Informacje o pierwiastku [") + name + QStringLiteral("]"));
}

void TElementForm::SetPages(std::string display, std::string exportPage)
{
    m_displayPage = std::move(display);
    m_exportPage = std::move(exportPage);
    MainHtml->LoadFromText(m_displayPage);
}

void TElementForm::buildPage(bool full)
{
    setBusy(true);
    if (g_pageBuilder)
        g_pageBuilder(*this, g_currentElement, full);
    else
        BuildPage(*this, g_currentElement, full);
    setBusy(false);
}

void TElementForm::loadDescription()
{
    setBusy(true);
    LoadArchivePage(contentArchive(), ElementDescriptionMember(g_currentElement), *MainHtml);
    setBusy(false);
}

void TElementForm::refresh()
{
    switch (CurrentMode()) {
    case Mode::Notes:
        loadNote();
        buildPage(false);
        break;
    case Mode::Description:
        buildPage(false);
        loadDescription();
        break;
    case Mode::Details:
        buildPage(true);
        break;
    case Mode::None:
        break;
    }
    updatePrintButton();
}

void TElementForm::updatePrintButton()
{
    switch (CurrentMode()) {
    case Mode::Details:
    case Mode::Description:
        PrintButton->setEnabled(MainHtml->HasPrintablePage());
        break;
    case Mode::Notes:
        PrintButton->setEnabled(!NoteMemo->toPlainText().trimmed().isEmpty());
        break;
    case Mode::None:
        PrintButton->setEnabled(false);
        break;
    }
}

void TElementForm::updateStepButtons()
{
    const bool atFirst = g_currentElement <= kFirstElement;
    const bool atLast = g_currentElement >= kLastElement;
    FirstButton->setEnabled(!atFirst);
    PreviousButton->setEnabled(!atFirst);
    NextButton->setEnabled(!atLast);
    LastButton->setEnabled(!atLast);
}

void TElementForm::stepTo(int element)
{
    storeNoteIfModified();
    g_currentElement = std::clamp(element, int(kFirstElement), int(kLastElement));
    updateStepButtons();
    refresh();
}

void TElementForm::FirstButtonClick()
{
    stepTo(kFirstElement);
}

void TElementForm::PreviousButtonClick()
{
    if (g_currentElement > kFirstElement)
        stepTo(g_currentElement - 1);
}

void TElementForm::NextButtonClick()
{
    if (g_currentElement < kLastElement)
        stepTo(g_currentElement + 1);
}

void TElementForm::LastButtonClick()
{
    stepTo(kLastElement);
}

void TElementForm::DetailsButtonClick()
{
    DetailsButton->setChecked(true);
    if (Notebook->currentIndex() == kNotePage)
        Notebook->setCurrentIndex(kInfoPage);
    storeNoteIfModified();
    buildPage(true);
    MainHtml->setFocus();
    updatePrintButton();
}

void TElementForm::DescriptionButtonClick()
{
    DescriptionButton->setChecked(true);
    if (Notebook->currentIndex() == kNotePage)
        Notebook->setCurrentIndex(kInfoPage);
    storeNoteIfModified();
    loadDescription();
    MainHtml->setFocus();
    updatePrintButton();
}

void TElementForm::NoteButtonClick()
{
    // Pending edits are stored before the note is read again, so that a
    // second click on the notes button never throws typed text away.
    storeNoteIfModified();
    NoteButton->setChecked(true);
    if (Notebook->currentIndex() == kInfoPage)
        Notebook->setCurrentIndex(kNotePage);
    MainHtml->Clear();
    loadNote();
    NoteMemo->setFocus();
    updatePrintButton();
}

void TElementForm::loadNote()
{
    const std::string text = ReadNote(g_currentElement);
    m_loadingNote = true;
    if (text.empty()) {
        NoteMemo->clear();
    } else {
        QStringList lines;
        std::size_t start = 0;
        for (;;) {
            const std::size_t separator = text.find(kNoteLineSeparator, start);
            lines.append(FromCp1250(std::string_view(text).substr(start, separator - start)));
            if (separator == std::string::npos)
                break;
            start = separator + 1;
        }
        NoteMemo->setPlainText(lines.join(QLatin1Char('\n')));
    }
    m_loadingNote = false;
    m_noteModified = false;
}

void TElementForm::storeNote()
{
    std::string joined;
    const QStringList lines = NoteMemo->toPlainText().split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            joined += kNoteLineSeparator;
        joined += ToCp1250(lines[i]);
    }
    WriteNote(g_currentElement, joined);
    m_noteModified = false;
}

void TElementForm::storeNoteIfModified()
{
    if (m_noteModified)
        storeNote();
}

void TElementForm::NoteMemoChange()
{
    if (!m_loadingNote)
        m_noteModified = true;
    updatePrintButton();
}

bool TElementForm::writeFile(const QString& fileName, const QByteArray& bytes)
{
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    Ui().ShowMessage(this, QStringLiteral("Zapisywanie"),
        QStringLiteral("Nie udało się zapisać pliku \"%1\": %2").arg(fileName, file.errorString()),
        MessageIcon::Error, MessageButtons::Ok);
    return false;
}

void TElementForm::SaveButtonClick()
{
    const Mode mode = CurrentMode();
    if (mode == Mode::None)
        return;
    const bool notes = mode == Mode::Notes;
    const QString filter = notes ? QStringLiteral("Dokument tekstowy (*.txt);;Wszystkie pliki (*)")
                                 : QStringLiteral("Dokument sieci Web (*.htm *.html);;Wszystkie pliki (*)");
    QString fileName
        = Ui().SaveFileName(this, QStringLiteral("Zapisz jako"), PierwiastekEtykieta->text(), filter);
    if (fileName.isEmpty())
        return;
    fileName = withDefaultSuffix(fileName, notes ? QStringLiteral(".txt") : QStringLiteral(".htm"));
    switch (mode) {
    case Mode::Notes: {
        QString text = NoteMemo->toPlainText();
        text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        if (!text.isEmpty())
            text += QStringLiteral("\r\n");
        writeFile(fileName, text.toUtf8());
        break;
    }
    case Mode::Details:
        writeFile(fileName, QByteArray::fromStdString(m_exportPage + "\r\n"));
        break;
    case Mode::Description:
        if (!ExtractArchiveFile(
                contentArchive(), ElementDescriptionMember(g_currentElement), ToPath(fileName)))
            Ui().ShowMessage(this, QStringLiteral("Zapisywanie"),
                QStringLiteral(
                    "Nie udało się zapisać pliku \"%1\": opisu pierwiastka nie można odczytać z archiwum "
                    "programu albo pliku nie można utworzyć.")
                    .arg(fileName),
                MessageIcon::Error, MessageButtons::Ok);
        break;
    case Mode::None:
        break;
    }
}

void TElementForm::CopyButtonClick()
{
    if (CurrentMode() == Mode::Notes) {
        NoteMemo->selectAll();
        NoteMemo->copy();
        return;
    }
    MainHtml->SetNoSelect(false);
    MainHtml->SelectAll();
    MainHtml->CopyToClipboard();
    MainHtml->SetNoSelect(true);
}

void TElementForm::PrintButtonClick()
{
    updatePrintButton();
    if (!PrintButton->isEnabled())
        return;
    const Mode mode = CurrentMode();
    const QString caption = QStringLiteral("%1 – %2").arg(PierwiastekEtykieta->text(),
        mode == Mode::Details           ? QStringLiteral("szczegóły")
            : mode == Mode::Description ? QStringLiteral("charakterystyka")
                                        : QStringLiteral("notatki"));
    Ui().Print(this, { caption, QPageLayout::Portrait, [this, caption, mode](QPrinter& printer) {
                          if (mode == Mode::Notes)
                              PrintPlainText(printer, caption, NoteMemo->toPlainText(), NoteMemo->font());
                          else
                              MainHtml->Print(printer, caption);
                      } });
}

void TElementForm::HelpButtonClick()
{
    ShowHelpFor(this);
}

void TElementForm::SettingsButtonClick()
{
    if (!TFontForm::EditWindowAppearance(this, m_appearance))
        return;
    applyAppearance();
    if (CurrentMode() == Mode::Notes)
        NoteButtonClick();
    else if (CurrentMode() == Mode::Details)
        DetailsButtonClick();
    WriteViewAppearance(Viewer::Element, m_appearance);
}

void TElementForm::applyAppearance()
{
    ApplyAppearance(*MainHtml, m_appearance);
    const QColor background = ToQColor(m_appearance.background);
    const QColor text = ToQColor(m_appearance.fontColor);
    for (QWidget* widget : { static_cast<QWidget*>(MainPanel), static_cast<QWidget*>(m_borderPanels[0]),
             static_cast<QWidget*>(m_borderPanels[1]), static_cast<QWidget*>(m_borderPanels[2]),
             static_cast<QWidget*>(m_borderPanels[3]) }) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Window, background);
        widget->setPalette(palette);
    }
    QPalette memo = NoteMemo->palette();
    memo.setColor(QPalette::Base, background);
    memo.setColor(QPalette::Text, text);
    memo.setColor(QPalette::HighlightedText, text);
    NoteMemo->setPalette(memo);
    QFont font(FromCp1250(m_appearance.fontName));
    font.setPointSize(m_appearance.fontSize > 0 ? m_appearance.fontSize : 9);
    NoteMemo->setFont(font);
}

void TElementForm::FindButtonClick()
{
    FindDialog->Open(GlobalArea(*Notebook));
}

std::optional<QRect> TElementForm::FindDialogFind(const QString& needle, bool matchCase)
{
    if (CurrentMode() != Mode::Notes)
        return FindInView(*MainHtml, needle, matchCase);
    QTextDocument::FindFlags flags;
    if (matchCase)
        flags |= QTextDocument::FindCaseSensitively;
    QTextCursor from = NoteMemo->textCursor();
    from.setPosition(from.hasSelection() ? from.selectionEnd() : 0);
    const QTextCursor hit = NoteMemo->document()->find(needle, from, flags);
    if (hit.isNull())
        return std::nullopt;
    NoteMemo->setFocus();
    NoteMemo->setTextCursor(hit);
    QTextCursor start = hit;
    start.setPosition(hit.selectionStart());
    const QRect match = NoteMemo->cursorRect(start) | NoteMemo->cursorRect(hit);
    return QRect(NoteMemo->viewport()->mapToGlobal(match.topLeft()), match.size());
}

void TElementForm::MainHtmlHotSpotClick(const std::string& target, bool& handled)
{
    if (target != kContactLink)
        return;
    handled = true;
    Opener().ShowAbout(this, WindowOpener::AboutPage::Contact);
}

void TElementForm::MemoMenuPopup()
{
    const bool selected = NoteMemo->textCursor().hasSelection();
    CutNoteMemo->setEnabled(selected);
    CopyNoteMemo->setEnabled(selected);
    DelNoteMemo->setEnabled(selected);
    const QMimeData* clipboard = QApplication::clipboard()->mimeData();
    PasteNoteMemo->setEnabled(clipboard && clipboard->hasText());
}

void TElementForm::CutNoteMemoClick()
{
    NoteMemo->cut();
}

void TElementForm::CopyNoteMemoClick()
{
    NoteMemo->copy();
}

void TElementForm::PasteNoteMemoClick()
{
    NoteMemo->paste();
}

void TElementForm::DelNoteMemoClick()
{
    NoteMemo->textCursor().removeSelectedText();
}

void TElementForm::SelectAllNoteMemoClick()
{
    NoteMemo->selectAll();
}

void TElementForm::RemoveNoteMemoClick()
{
    NoteMemo->clear();
    m_noteModified = true;
}

bool TElementForm::handleKey(int key, Qt::KeyboardModifiers modifiers)
{
    const bool notes = CurrentMode() == Mode::Notes;
    const Qt::KeyboardModifiers mods = ShortcutModifiers(modifiers);
    if (mods == Qt::NoModifier) {
        switch (key) {
        case Qt::Key_Home:
            if (notes)
                return false;
            if (FirstButton->isEnabled())
                FirstButtonClick();
            return true;
        case Qt::Key_End:
            if (notes)
                return false;
            if (LastButton->isEnabled())
                LastButtonClick();
            return true;
        case Qt::Key_Left:
            if (notes)
                return false;
            if (PreviousButton->isEnabled() && !m_busy)
                PreviousButtonClick();
            return true;
        case Qt::Key_Right:
            if (notes)
                return false;
            if (NextButton->isEnabled() && !m_busy)
                NextButtonClick();
            return true;
        case Qt::Key_F5:
            DetailsButtonClick();
            return true;
        case Qt::Key_F6:
            DescriptionButtonClick();
            return true;
        case Qt::Key_F7:
            NoteButtonClick();
            return true;
        default:
            return false;
        }
    }
    if (mods == Qt::ShiftModifier && key == Qt::Key_C && !notes) {
        CopyButtonClick();
        return true;
    }
    if (mods == Qt::ControlModifier && key == Qt::Key_Z) {
        SaveButtonClick();
        return true;
    }
    // The note menu's "Usuń notatkę" (its shortcut as the menu shows it; the
    // editor's own Ctrl+Del would delete a word).
    if (mods == Qt::ControlModifier && key == Qt::Key_Delete && notes) {
        RemoveNoteMemoClick();
        return true;
    }
    return false;
}

bool TElementForm::eventFilter(QObject* watched, QEvent* event)
{
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)
        && watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (event->type() == QEvent::ShortcutOverride) {
            // Claim the keys the window handles, so that no shortcut of a
            // child takes them first; the key press then follows.
            return TDialogForm::eventFilter(watched, event);
        }
        if (handleKey(key->key(), key->modifiers())) {
            event->accept();
            return true;
        }
    }
    return TDialogForm::eventFilter(watched, event);
}

void TElementForm::done(int result)
{
    if (!m_closed) {
        m_closed = true;
        storeNoteIfModified();
        const Mode mode = CurrentMode();
        if (mode != Mode::None)
            WriteInteger(Setting::TabOrder, static_cast<std::int32_t>(mode));
        FindDialog->hide();
    }
    TDialogForm::done(result);
}

} // namespace orbita
