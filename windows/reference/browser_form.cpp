#include "windows/reference/browser_form.h"

#include "data/archive_members.h"
#include "htmlview/archive_page_widget.h"
#include "htmlview/html_view_widget.h"
#include "platform/qt_text.h"
#include "platform/shell_services.h"
#include "platform/ui_services.h"
#include "platform/window_services.h"
#include "widgets/accessible_text.h"
#include "widgets/find_dialog.h"
#include "widgets/glyph_button.h"
#include "windows/settings/appearance_colors.h"
#include "windows/settings/font_form.h"
#include "windows/window_opener.h"

#include <QAction>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QSplitter>
#include <QToolButton>

namespace orbita {

namespace {

constexpr int kDesignedMenuWidth = 135;
constexpr int kSplitterWidth = 10;
constexpr int kBorderWidth = 8;

void setBackground(QWidget& widget, const QColor& colour)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Button, colour);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

} // namespace

// ---- shared pieces ----

void SetUpDocumentView(ThtmlLite& view)
{
    ApplyAppearance(view, DefaultViewAppearance());
    view.SetNoSelect(true);
    view.SetHistoryMaxCount(0);
    view.SetMarginHeight(0);
    view.SetMarginWidth(5);
    view.SetBorderStyle(THTMLBorderStyle::htNone);
    view.setFrameShape(QFrame::NoFrame);
}

std::optional<QRect> FindInView(ThtmlLite& view, const QString& text, bool matchCase)
{
    if (!view.Find(ToCp1250(text), matchCase))
        return std::nullopt;
    const QRect match = view.SelectionRect();
    return QRect(view.viewport()->mapToGlobal(match.topLeft()), match.size());
}

QRect GlobalArea(const QWidget& widget)
{
    return QRect(widget.mapToGlobal(QPoint(0, 0)), widget.size());
}

void PaintWithBackground(const QColor& background, std::initializer_list<QWidget*> widgets)
{
    for (QWidget* widget : widgets)
        if (widget)
            setBackground(*widget, background);
}

void PaintSplitter(QSplitter& splitter, const QColor& background)
{
    setBackground(splitter, background);
    for (int i = 0; i < splitter.count(); ++i)
        if (QSplitterHandle* handle = splitter.handle(i))
            setBackground(*handle, background);
}

bool UserLoggedIn()
{
    return !CurrentUserName().empty();
}

int InitialPaneWidth(Splitter splitter, int designed)
{
    if (!ReadFlag(Setting::SaveWindowsPlacement))
        return designed;
    const std::int32_t stored = ReadSplitter(splitter);
    return stored >= 0 ? stored : designed;
}

void StorePaneWidth(Splitter splitter, int width)
{
    if (UserLoggedIn())
        WriteSplitter(splitter, width);
}

void StoreAppearance(Viewer viewer, const ViewAppearance& appearance)
{
    if (UserLoggedIn())
        WriteViewAppearance(viewer, appearance);
}

QFrame* MakeMainPanel(QWidget* parent, QSplitter*& splitter, QWidget* left, QWidget* right, int leftWidth,
    QFrame* (&borders)[4], const std::array<const char*, 4>& borderNames)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QStringLiteral("MainPanel"));
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    for (int i = 0; i < 4; ++i) {
        borders[i] = new QFrame(panel);
        borders[i]->setObjectName(QString::fromLatin1(borderNames[static_cast<std::size_t>(i)]));
        const bool vertical = i == 1 || i == 2;
        if (vertical)
            borders[i]->setFixedWidth(kBorderWidth);
        else
            borders[i]->setFixedHeight(kBorderWidth);
    }
    splitter = new QSplitter(Qt::Horizontal, panel);
    splitter->setObjectName(QStringLiteral("Splitter"));
    splitter->setHandleWidth(kSplitterWidth);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({ leftWidth, 10000 });
    grid->addWidget(borders[0], 0, 0, 1, 3);
    grid->addWidget(borders[1], 1, 0);
    grid->addWidget(splitter, 1, 1);
    grid->addWidget(borders[2], 1, 2);
    grid->addWidget(borders[3], 2, 0, 1, 3);
    return panel;
}

// ---- the two-pane browser ----

TBrowserForm::TBrowserForm(const Kind& kind, QWidget* parent)
    : TDialogForm(parent)
    , m_kind(kind)
    , m_archive(ContentArchivePath())
{
    setObjectName(QString::fromLatin1(kind.objectName));
    setTitle(QString::fromUtf8(kind.caption));
    setSizeable(true);
    setMinimumSize(400, 250);

    m_buttonRow = new QHBoxLayout;
    m_buttonRow->setSpacing(2);
    ListButton = MakeGlyphButton(body(), "ListButton", "B_LIST", QString(),
        QStringLiteral("Pokazuje lub chowa listę tematów [Ctrl+L]"));
    ListButton->setCheckable(true);
    ListButton->setChecked(true);
    ListButton->setAccessibleName(QStringLiteral("Lista tematów"));
    SettingsButton = MakeGlyphButton(body(), "SettingsButton", "B_SETTINGS", QStringLiteral("&Ustawienia"),
        QStringLiteral("Dostosowuje wygląd dokumentów (rozmiar czcionki, styl oraz kolor) [Ctrl+U]"));
    FindButton = MakeGlyphButton(body(), "FindButton", "B_FIND", QStringLiteral("Wy&szukaj"),
        QStringLiteral("Wyszukuje dowolny fragment tekstu w oknie zawartości lub tematów [Ctrl+F]"));
    CloseButton
        = MakeGlyphButton(body(), "CloseButton", "B_CLOSE", QString(), QStringLiteral("Zamyka okno [Esc]"));
    CloseButton->setAccessibleName(QStringLiteral("Zamknij"));
    m_buttonRow->addWidget(ListButton);
    bodyLayout()->addLayout(m_buttonRow);

    MenuHtml = new ThtmlLite;
    MenuHtml->setObjectName(QStringLiteral("MenuHtml"));
    SetAccessibleText(*MenuHtml, QStringLiteral("Tematy"),
        QStringLiteral("Lista tematów. Tab przechodzi do kolejnego odsyłacza, Enter otwiera temat."));
    ContentsHtml = new ThtmlLite;
    ContentsHtml->setObjectName(QStringLiteral("ContentsHtml"));
    SetAccessibleText(*ContentsHtml, QStringLiteral("Zawartość"),
        QStringLiteral("Treść wybranego tematu. Strzałki przewijają stronę, Tab przechodzi do odsyłaczy."));
    for (ThtmlLite* view : { MenuHtml, ContentsHtml }) {
        SetUpDocumentView(*view);
        view->OnHotSpotClick
            = [this](ThtmlLite*, const std::string& target, bool& handled) { HotSpotClick(target, handled); };
    }
    const std::string folder(
        kind.browser == Browser::Tables ? std::string(kTablesFolder) : std::string(kHelpFolder));
    auto pictures = [this, folder](ThtmlLite*, const std::string& src, std::optional<std::string>& stream) {
        stream = ReadArchiveStream(m_archive, folder + src);
    };
    ContentsHtml->OnImageRequest = pictures;
    if (kind.menuPictures)
        MenuHtml->OnImageRequest = pictures;
    MainPanel = MakeMainPanel(
        body(), Splitter, MenuHtml, ContentsHtml, kDesignedMenuWidth, BorderPanels, kind.borderNames);
    bodyLayout()->addWidget(MainPanel, 1);
    connect(Splitter, &QSplitter::splitterMoved, this, [this] {
        if (MenuHtml->isVisibleTo(this))
            m_menuWidth = Splitter->sizes().value(0, m_menuWidth);
    });

    FindMenu = new QMenu(this);
    FindMenu->setObjectName(QStringLiteral("FindMenu"));
    FindMenuMenu = FindMenu->addAction(QStringLiteral("Tekst w oknie &tematów"));
    FindMenuMenu->setObjectName(QStringLiteral("FindMenuMenu"));
    FindMenuMenu->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    FindContentsMenu = FindMenu->addAction(QStringLiteral("Tekst w oknie &zawartości"));
    FindContentsMenu->setObjectName(QStringLiteral("FindContentsMenu"));
    FindContentsMenu->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    SetMenuItemImage(QStringLiteral("M_SZUKAJ"), *FindMenu, 0);
    SetMenuItemImage(QStringLiteral("M_SZUKAJ"), *FindMenu, 1);
    FindMenuDialog = new TFindDialog(this);
    FindMenuDialog->setObjectName(QStringLiteral("FindMenuDialog"));
    FindMenuDialog->OnFindNext
        = [this](const QString& text, bool matchCase) { return FindInView(*MenuHtml, text, matchCase); };
    FindContentsDialog = new TFindDialog(this);
    FindContentsDialog->setObjectName(QStringLiteral("FindContentsDialog"));
    FindContentsDialog->OnFindNext
        = [this](const QString& text, bool matchCase) { return FindInView(*ContentsHtml, text, matchCase); };

    connect(ListButton, &QToolButton::clicked, this, &TBrowserForm::ListButtonClick);
    connect(SettingsButton, &QToolButton::clicked, this, &TBrowserForm::SettingsButtonClick);
    connect(FindButton, &QToolButton::clicked, this, &TBrowserForm::FindButtonClick);
    connect(CloseButton, &QToolButton::clicked, this, [this] { done(mrOk); });
    connect(FindMenu, &QMenu::aboutToShow, this, &TBrowserForm::FindMenuPopup);
    connect(FindMenuMenu, &QAction::triggered, this, &TBrowserForm::FindMenuMenuClick);
    connect(FindContentsMenu, &QAction::triggered, this, &TBrowserForm::FindContentsMenuClick);
}

TBrowserForm::~TBrowserForm() = default;

void TBrowserForm::ReadStoredLook()
{
    m_buttonRow->addStretch();
    m_buttonRow->addWidget(CloseButton);
    // Tab goes along the buttons as they stand in their row, then the panes.
    QList<QWidget*> chain;
    for (int i = 0; i < m_buttonRow->count(); ++i)
        if (QWidget* button = m_buttonRow->itemAt(i)->widget())
            chain << button;
    SetTabChain(chain << MenuHtml << ContentsHtml);
    m_menuWidth = InitialPaneWidth(m_kind.splitter, kDesignedMenuWidth);
    Splitter->setSizes({ m_menuWidth, 10000 });
    m_appearance = ReadViewAppearance(m_kind.viewer, DefaultViewAppearance());
    applyAppearance();
}

int TBrowserForm::MenuPaneWidth() const
{
    if (MenuHtml->isVisibleTo(this) && isVisible())
        return Splitter->sizes().value(0, m_menuWidth);
    return m_menuWidth;
}

bool TBrowserForm::MenuPaneShown() const
{
    return MenuHtml->isVisibleTo(this);
}

void TBrowserForm::LoadMember(ThtmlLite& view, const std::string& member)
{
    LoadArchivePage(m_archive, member, view);
}

void TBrowserForm::ShowContents(const std::string& member)
{
    LoadMember(*ContentsHtml, member);
    RefreshCaption();
    ContentsShown();
}

void TBrowserForm::RefreshCaption()
{
    if (const auto caption
        = TitledCaption(ToCp1250(QString::fromUtf8(m_kind.caption)), ContentsHtml->DocumentTitle()))
        setTitle(FromCp1250(*caption));
}

void ToggleSidePane(QWidget& pane, QSplitter& splitter, QToolButton& button, int& width, int currentWidth,
    QWidget& focusHidden, QWidget& focusShown)
{
    if (pane.isVisibleTo(pane.window())) {
        width = currentWidth;
        pane.hide();
        button.setChecked(false);
        focusHidden.setFocus();
    } else {
        pane.show();
        splitter.setSizes({ width, 10000 });
        button.setChecked(true);
        focusShown.setFocus();
    }
}

void TBrowserForm::ListButtonClick()
{
    ToggleSidePane(*MenuHtml, *Splitter, *ListButton, m_menuWidth, MenuPaneWidth(), *ContentsHtml, *MenuHtml);
}

void TBrowserForm::applyAppearance()
{
    ApplyAppearance(*MenuHtml, m_appearance);
    ApplyAppearance(*ContentsHtml, m_appearance);
    const QColor background = ToQColor(m_appearance.background);
    PaintWithBackground(
        background, { BorderPanels[0], BorderPanels[1], BorderPanels[2], BorderPanels[3], MainPanel });
    PaintSplitter(*Splitter, background);
}

void TBrowserForm::SettingsButtonClick()
{
    if (!TFontForm::EditWindowAppearance(this, m_appearance))
        return;
    applyAppearance();
    StoreAppearance(m_kind.viewer, m_appearance);
}

void TBrowserForm::appearanceRequested()
{
    if (!SettingsButton->isHidden())
        SettingsButtonClick();
}

// Without the topic list button (the help window while nobody is logged
// in) the search goes to the contents at once.
void TBrowserForm::FindButtonClick()
{
    if (ListButton->isHidden()) {
        FindContentsMenuClick();
        return;
    }
    FindMenu->popup(FindButton->mapToGlobal(QPoint(0, 25)));
}

void TBrowserForm::FindMenuPopup()
{
    FindMenuMenu->setEnabled(ListButton->isChecked());
}

void TBrowserForm::openFindDialog(TFindDialog& dialog, const QWidget& searched)
{
    dialog.Open(GlobalArea(searched));
}

void TBrowserForm::FindMenuMenuClick()
{
    if (MenuHtml->isVisibleTo(this))
        openFindDialog(*FindMenuDialog, *MenuHtml);
}

void TBrowserForm::FindContentsMenuClick()
{
    openFindDialog(*FindContentsDialog, *ContentsHtml);
}

void TBrowserForm::HotSpotClick(const std::string& target, bool& handled)
{
    LinkClicking();
    const LinkRoute route = RouteLink(m_kind.browser, target);
    handled = route.handled;
    switch (route.action) {
    case LinkRoute::Action::OpenExternally:
        Opener().RunTool(this, FromCp1250(target));
        break;
    case LinkRoute::Action::ContactPage:
        Opener().ShowAbout(this, WindowOpener::AboutPage::Contact);
        break;
    case LinkRoute::Action::LoadPage:
        ShowContents(route.member);
        PageLinkFollowed(route.member);
        break;
    case LinkRoute::Action::LeaveToView:
        break;
    }
}

bool TBrowserForm::HandleKey(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers != Qt::ControlModifier)
        return false;
    switch (key) {
    case Qt::Key_L:
        if (!ListButton->isHidden())
            ListButtonClick();
        return true;
    case Qt::Key_T:
        FindMenuMenuClick();
        return true;
    case Qt::Key_Z:
        FindContentsMenuClick();
        return true;
    default:
        return false;
    }
}

bool TBrowserForm::eventFilter(QObject* watched, QEvent* event)
{
    if (const QKeyEvent* key = KeyPressInWindow(watched, event);
        key && HandleKey(key->key(), ShortcutModifiers(key->modifiers()))) {
        event->accept();
        return true;
    }
    return TDialogForm::eventFilter(watched, event);
}

void TBrowserForm::done(int result)
{
    if (!m_closed) {
        m_closed = true;
        StorePaneWidth(m_kind.splitter, MenuPaneWidth());
        FindMenuDialog->hide();
        FindContentsDialog->hide();
    }
    TDialogForm::done(result);
}

} // namespace orbita
