#include "windows/reference/dict_form.h"

#include "core/settings.h"
#include "data/archive_members.h"
#include "htmlview/html_view_widget.h"
#include "platform/qt_text.h"
#include "platform/shell_services.h"
#include "platform/ui_services.h"
#include "widgets/accessible_text.h"
#include "widgets/find_dialog.h"
#include "widgets/glyph_button.h"
#include "windows/reference/browser_form.h"
#include "windows/reference/browser_logic.h"
#include "windows/settings/appearance_colors.h"
#include "windows/settings/font_form.h"
#include "windows/window_opener.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSplitter>
#include <QToolButton>
#include <algorithm>

namespace orbita {
namespace {

constexpr int kDesignedListWidth = 135;

void setTextColours(QWidget& widget, const QColor& background, const QColor& text)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Text, text);
    widget.setPalette(palette);
}

} // namespace

void TDictForm::ShowDictionary(QWidget* owner)
{
    TDictForm form(owner);
    Ui().ShowModal(form);
}

TDictForm::TDictForm(QWidget* parent)
    : TDialogForm(parent)
{
    setObjectName(QStringLiteral("DictForm"));
    SetHelpTopic(*this, QStringLiteral("O_SLOWNK"));
    setSizeable(true);
    resize(520, 319);
    setMinimumSize(400, 250);

    ListButton = MakeGlyphButton(body(), "ListButton", "B_LIST", QString(),
        QStringLiteral("Pokazuje lub chowa listę tematów oraz wyszukiwania [Ctrl+L]"));
    ListButton->setCheckable(true);
    ListButton->setChecked(true);
    ListButton->setAccessibleName(QStringLiteral("Lista terminów"));
    HelpButton = MakeGlyphButton(
        body(), "HelpButton", "B_HELP", QStringLiteral("Pomo&c"), QStringLiteral("Wyświetla pomoc [F1]"));
    SettingsButton = MakeGlyphButton(body(), "SettingsButton", "B_SETTINGS", QStringLiteral("&Ustawienia"),
        QStringLiteral("Dostosowuje wygląd dokumentów (rozmiar czcionki, styl oraz kolor) [Ctrl+U]"));
    FindButton = MakeGlyphButton(body(), "FindButton", "B_FIND", QStringLiteral("Wy&szukaj"),
        QStringLiteral("Wyszukuje dowolny fragment tekstu w oknie zawartości [Ctrl+F]"));
    CloseButton
        = MakeGlyphButton(body(), "CloseButton", "B_CLOSE", QString(), QStringLiteral("Zamyka okno [Esc]"));
    CloseButton->setAccessibleName(QStringLiteral("Zamknij"));
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    for (QToolButton* button : { ListButton, HelpButton, SettingsButton, FindButton })
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(CloseButton);
    bodyLayout()->addLayout(buttons);

    ListPanel = new QWidget;
    ListPanel->setObjectName(QStringLiteral("ListPanel"));
    ListPanel->setMinimumWidth(40);
    KeywordBox = new QLineEdit(ListPanel);
    KeywordBox->setObjectName(QStringLiteral("KeywordBox"));
    SetAccessibleText(*KeywordBox, QStringLiteral("Szukany termin"),
        QStringLiteral("Wpisz początek terminu, a lista przejdzie do pierwszego pasującego."));
    ListGroup = new QFrame(ListPanel);
    ListGroup->setObjectName(QStringLiteral("ListGroup"));
    ListGroup->setFrameShape(QFrame::StyledPanel);
    List = new QListWidget(ListGroup);
    List->setObjectName(QStringLiteral("List"));
    SetAccessibleText(*List, QStringLiteral("Terminy"),
        QStringLiteral("Terminy słownika. Strzałki wybierają termin, jego znaczenie pojawia się obok."));
    List->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    List->setUniformItemSizes(true);
    MainHtml = new ThtmlLite;
    MainHtml->setObjectName(QStringLiteral("MainHtml"));
    SetAccessibleText(*MainHtml, QStringLiteral("Znaczenie"),
        QStringLiteral(
            "Znaczenie wybranego terminu. Strzałki przewijają tekst, Tab przechodzi do odsyłaczy."));
    SetUpDocumentView(*MainHtml);
    MainHtml->OnHotSpotClick = [this](ThtmlLite*, const std::string& target, bool& handled) {
        MainHtmlHotSpotClick(target, handled);
    };
    m_listWidth = InitialPaneWidth(orbita::Splitter::Dict, kDesignedListWidth);
    MainPanel = MakeMainPanel(body(), Splitter, ListPanel, MainHtml, m_listWidth, BorderPanels,
        { "TopListPanel", "LeftListPanel", "RightListPanel", "BottomListPanel" });
    bodyLayout()->addWidget(MainPanel, 1);
    FindDialog = new TFindDialog(this);
    FindDialog->OnFindNext
        = [this](const QString& text, bool matchCase) { return FindInView(*MainHtml, text, matchCase); };

    ListPanel->installEventFilter(this);
    connect(Splitter, &QSplitter::splitterMoved, this, [this] {
        if (ListPanel->isVisibleTo(this))
            m_listWidth = Splitter->sizes().value(0, m_listWidth);
    });
    connect(ListButton, &QToolButton::clicked, this, &TDictForm::ListButtonClick);
    connect(HelpButton, &QToolButton::clicked, this, &TDictForm::HelpButtonClick);
    connect(SettingsButton, &QToolButton::clicked, this, &TDictForm::SettingsButtonClick);
    connect(FindButton, &QToolButton::clicked, this, &TDictForm::FindButtonClick);
    connect(CloseButton, &QToolButton::clicked, this, [this] { done(mrOk); });
    connect(List, &QListWidget::itemSelectionChanged, this, &TDictForm::ListClick);
    connect(List, &QListWidget::itemClicked, this, &TDictForm::ListClick);
    connect(KeywordBox, &QLineEdit::textChanged, this, &TDictForm::KeywordBoxChange);

    // FormCreate: appearance, the entries, the stored keyword, the welcome page.
    m_appearance = ReadViewAppearance(Viewer::Dict, DefaultViewAppearance());
    applyAppearance();
    const std::optional<std::vector<std::string>> lines
        = ReadArchiveLines(kDictionaryMember, ContentArchivePath());
    m_entries = ParseDictionary(lines ? *lines : std::vector<std::string>());
    QStringList terms;
    terms.reserve(static_cast<qsizetype>(m_entries.size()));
    for (const DictionaryEntry& entry : m_entries)
        terms << FromCp1250(entry.term);
    List->addItems(terms);
    KeywordBox->setText(FromCp1250(ReadString(Setting::DictionaryKeyword)));
    if (!selectedRow())
        MainHtml->LoadFromText(WelcomePage(m_entries.size()));
    setTitle(FromCp1250(DictionaryCaption(m_entries.size())));
    ListPanelResize();
    KeywordBox->setFocus();
}

TDictForm::~TDictForm() = default;

int TDictForm::ListPaneWidth() const
{
    if (ListPanel->isVisibleTo(this) && isVisible())
        return Splitter->sizes().value(0, m_listWidth);
    return m_listWidth;
}

bool TDictForm::ListPaneShown() const
{
    return ListPanel->isVisibleTo(this);
}

void TDictForm::showEntry(std::size_t index)
{
    if (index < m_entries.size())
        MainHtml->LoadFromText(TermPage(m_entries[index]));
}

// A click on an empty part of the list, or in an empty list, selects
// nothing: nothing is shown.
void TDictForm::ListClick()
{
    if (const std::optional<std::size_t> row = selectedRow())
        showEntry(*row);
}

std::optional<std::size_t> TDictForm::selectedRow() const
{
    const QModelIndexList selected = List->selectionModel()->selectedIndexes();
    if (selected.isEmpty() || selected.front().row() < 0)
        return std::nullopt;
    return static_cast<std::size_t>(selected.front().row());
}

std::size_t TDictForm::topVisibleIndex() const
{
    const QModelIndex top = List->indexAt(QPoint(1, 1));
    if (top.isValid())
        return static_cast<std::size_t>(top.row());
    return static_cast<std::size_t>(std::max(0, List->verticalScrollBar()->value()));
}

void TDictForm::KeywordBoxChange()
{
    const KeywordResult result
        = SearchKeyword(m_entries, topVisibleIndex(), selectedRow(), ToCp1250(KeywordBox->text()));
    if (result.action == KeywordResult::Action::Select)
        List->setCurrentRow(static_cast<int>(result.index)); // selects it: ListClick shows it
}

void TDictForm::ListPanelResize()
{
    const ListPaneGeometry geometry = LayOutListPane(ListPanel->width(), ListPanel->height());
    const int boxHeight = KeywordBox->sizeHint().height();
    KeywordBox->setGeometry(1, 3, geometry.keywordWidth, boxHeight);
    ListGroup->setGeometry(1, 30, geometry.groupWidth, geometry.groupHeight);
    List->setGeometry(9, 14, geometry.listWidth, geometry.listHeight);
}

void TDictForm::ListButtonClick()
{
    ToggleSidePane(*ListPanel, *Splitter, *ListButton, m_listWidth, ListPaneWidth(), *MainHtml, *KeywordBox);
}

void TDictForm::applyAppearance()
{
    ApplyAppearance(*MainHtml, m_appearance);
    const QColor background = ToQColor(m_appearance.background);
    const QColor text = ToQColor(m_appearance.fontColor);
    PaintWithBackground(background,
        { ListPanel, BorderPanels[0], BorderPanels[1], BorderPanels[2], BorderPanels[3], MainPanel });
    PaintSplitter(*Splitter, background);
    setTextColours(*List, background, text);
    setTextColours(*KeywordBox, background, text);
}

void TDictForm::SettingsButtonClick()
{
    if (!TFontForm::EditWindowAppearance(this, m_appearance))
        return;
    applyAppearance();
    StoreAppearance(Viewer::Dict, m_appearance);
}

void TDictForm::FindButtonClick()
{
    FindDialog->Open(GlobalArea(*MainHtml));
}

void TDictForm::HelpButtonClick()
{
    ShowHelpFor(this);
}

void TDictForm::MainHtmlHotSpotClick(const std::string& target, bool& handled)
{
    const LinkRoute route = RouteLink(Browser::Dictionary, target);
    handled = route.handled;
    if (route.action == LinkRoute::Action::ContactPage)
        Opener().ShowAbout(this, WindowOpener::AboutPage::Contact);
    else if (route.action == LinkRoute::Action::OpenExternally)
        Opener().RunTool(this, FromCp1250(target));
}

bool TDictForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ListPanel && event->type() == QEvent::Resize)
        ListPanelResize();
    if (const QKeyEvent* key = KeyPressInWindow(watched, event)) {
        if (key->key() == Qt::Key_L && ShortcutModifiers(key->modifiers()) == Qt::ControlModifier) {
            ListButtonClick();
            event->accept();
            return true;
        }
    }
    return TDialogForm::eventFilter(watched, event);
}

void TDictForm::done(int result)
{
    if (!m_closed) {
        m_closed = true;
        StorePaneWidth(orbita::Splitter::Dict, ListPaneWidth());
        if (UserLoggedIn())
            WriteString(Setting::DictionaryKeyword, ToCp1250(KeywordBox->text()));
        FindDialog->hide();
    }
    TDialogForm::done(result);
}

} // namespace orbita
