#include "windows/main/menu_form.h"

#include "core/file_version.h"
#include "core/settings.h"
#include "core/text_helpers.h"
#include "platform/qt_text.h"
#include "platform/shell_services.h"
#include "platform/window_services.h"
#include "widgets/accessible_text.h"
#include "widgets/dialog_form.h"
#include "windows/main/hint_gate.h"
#include "windows/main/main_commands.h"
#include "windows/main/tool_windows.h"
#include "windows/window_opener.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

namespace orbita {
namespace {

// Geometry: the margins around the panels. With them the title panel and the
// main panel are 23 pixels narrower than the window, the main panel 95 pixels
// lower, and the clock panel's top lies 60 pixels below the main panel's
// height, its left 175 pixels left of the main panel's width.
constexpr int kLeftMargin = 11;
constexpr int kRightMargin = 12;
constexpr int kTopMargin = 4;
constexpr int kTitleHeight = 25;
constexpr int kToolbarHeight = 24;
constexpr int kGap = 2;
constexpr int kClockGap = 3;
constexpr int kClockHeight = 21;
constexpr int kClockWidth = 186;
constexpr int kBottomMargin = 14;
constexpr int kEdge = 5; // width of the resizing edges
constexpr int kNameColumnWidth = 120; // the least width of the name column
constexpr int kPanelMargin = 4; // the white border around the list
constexpr int kReportSlack = 8; // room for the list's own frame and rounding

} // namespace

TMenuForm::TMenuForm(QWidget* parent)
    : TMainFormBase(parent)
    , m_clock([] { return NowText(); })
{
    setObjectName(QStringLiteral("MenuForm"));
    SetHelpTopic(*this, QStringLiteral("O_MENU"));
    SetSizeable(*this, true);
    buildWindow();
    connectComponents();

    // Opening.
    setWindowTitle(FromUtf8(VersionCaption(FileVersionText(ExecutablePath()))));
    m_titlePanel->setText(windowTitle());
    CurrentTimerTimer();
    // Wide enough for the report view's two columns.
    const int reportWidth = m_reportView->columnWidth(0) + descriptionWidth();
    resize(std::max(600, reportWidth + kLeftMargin + kRightMargin + 2 * kPanelMargin + kReportSlack),
        400 + kCaptionHeight);
    OpenWindowServices(*this);
    new HintGate(this);
    SetViewStyle(ViewStyleOfOrder(ReadInteger(Setting::DetailsOrder)));
    m_currentTimer->start();
    m_uruchomieniaTimer->start();
}

TMenuForm::~TMenuForm() = default;

void TMenuForm::buildWindow()
{
    setMinimumSize(450, 300);
    setMouseTracking(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kLeftMargin, kTopMargin, kRightMargin, kBottomMargin);
    layout->setSpacing(0);

    m_titlePanel = new QLabel(this);
    m_titlePanel->setObjectName(QStringLiteral("TytulOknaPanel"));
    m_titlePanel->setFixedHeight(kTitleHeight);
    m_titlePanel->setIndent(6);
    SetTitlePanelLook(*m_titlePanel);
    m_titlePanel->installEventFilter(this);
    layout->addWidget(m_titlePanel);
    layout->addSpacing(kGap);

    auto* toolbar = new QWidget(this);
    toolbar->setObjectName(QStringLiteral("ToolBar"));
    toolbar->setFixedHeight(kToolbarHeight);
    auto* buttons = new QHBoxLayout(toolbar);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(2);
    layout->addWidget(toolbar);
    layout->addSpacing(kGap);
    m_detailsButton
        = addToolButton("DetailsButton", "B_DETAILS", QString(), QStringLiteral("Widok listy [F10]"));
    m_helpButton
        = addToolButton("HelpButton", "B_HELP", QStringLiteral("Pomo&c"), QStringLiteral("Pomoc [F1]"));
    m_toolsButton = addToolButton("ToolsButton", "B_TOOLS", QString(), QStringLiteral("Narzędzia [F9]"));
    m_settingsButton = addToolButton("SettingsButton", "B_SETTINGS", QStringLiteral("&Ustawienia"),
        QStringLiteral("Ustawienia programu [F11]"));
    m_aboutButton
        = addToolButton("AboutButton", "B_ABOUT", QString(), QStringLiteral("Informacje o programie [F12]"));
    m_updateButton = addToolButton(
        "UpdateButton", "B_UPDATE", QStringLiteral("I&nternet"), QStringLiteral("Centrum aktualizacji [F5]"));
    m_closeButton = addToolButton("CloseButton", "B_CLOSE", QString(), QStringLiteral("Zakończ [Esc]"));
    for (QToolButton* button : { m_detailsButton, m_helpButton, m_toolsButton, m_settingsButton,
             m_aboutButton, m_updateButton, m_closeButton })
        buttons->addWidget(button);
    buttons->addStretch();

    // The main panel: a white frame (the four border panels) around the list.
    m_mainPanel = new QWidget(this);
    m_mainPanel->setObjectName(QStringLiteral("MainPanel"));
    m_mainPanel->setAutoFillBackground(true);
    QPalette white = m_mainPanel->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::Base, Qt::white);
    m_mainPanel->setPalette(white);
    auto* panelLayout = new QVBoxLayout(m_mainPanel);
    panelLayout->setContentsMargins(kPanelMargin, kPanelMargin, kPanelMargin, kPanelMargin);
    m_views = new QStackedWidget(m_mainPanel);
    panelLayout->addWidget(m_views);
    layout->addWidget(m_mainPanel, 1);

    m_listView = new QListWidget(m_views);
    m_listView->setObjectName(QStringLiteral("ListView"));
    m_listView->setFrameShape(QFrame::NoFrame);
    m_listView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listView->setMovement(QListView::Static);
    m_listView->setResizeMode(QListView::Adjust);
    m_listView->setContextMenuPolicy(Qt::CustomContextMenu);
    const QString toolsDescription = QStringLiteral(
        "Narzędzia programu. Strzałki wybierają narzędzie, Enter je otwiera, F1 wyświetla pomoc.");
    SetAccessibleText(*m_listView, QStringLiteral("Narzędzia"), toolsDescription);
    m_reportView = new QTreeWidget(m_views);
    m_reportView->setObjectName(QStringLiteral("ReportView"));
    m_reportView->setFrameShape(QFrame::NoFrame);
    m_reportView->setRootIsDecorated(false);
    m_reportView->setItemsExpandable(false);
    m_reportView->setAllColumnsShowFocus(true);
    m_reportView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_reportView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_reportView->setContextMenuPolicy(Qt::CustomContextMenu);
    SetAccessibleText(*m_reportView, QStringLiteral("Narzędzia"), toolsDescription);
    m_reportView->setHeaderLabels({ QStringLiteral("Nazwa"), QStringLiteral("Opis") });
    m_reportView->header()->setSectionsClickable(false); // column clicks are ignored
    m_reportView->header()->setStretchLastSection(false);
    m_reportView->setIconSize(QSize(16, 16));
    m_views->addWidget(m_listView);
    m_views->addWidget(m_reportView);

    for (const LauncherToolDef& tool : LauncherTools()) {
        const QString caption = FromUtf8(tool.caption);
        const QIcon icon = ToolIcon(FromUtf8(tool.icon));
        new QListWidgetItem(icon, caption, m_listView);
        auto* row = new QTreeWidgetItem(m_reportView, { caption, FromUtf8(tool.description) });
        row->setIcon(0, icon);
    }
    // The names and the descriptions are shown whole: the name column is as
    // wide as its longest name, the description column at least as wide as
    // its longest description.
    m_reportView->resizeColumnToContents(0);
    m_reportView->setColumnWidth(0, std::max(kNameColumnWidth, m_reportView->columnWidth(0)));
    m_reportView->resizeColumnToContents(1);

    auto* clockRow = new QHBoxLayout;
    clockRow->setContentsMargins(0, 0, 0, 0);
    clockRow->addStretch();
    m_czasPanel = new QLabel(this);
    m_czasPanel->setObjectName(QStringLiteral("CzasPanel"));
    m_czasPanel->setFixedSize(kClockWidth, kClockHeight);
    m_czasPanel->setAlignment(Qt::AlignCenter);
    m_czasPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    clockRow->addWidget(m_czasPanel);
    layout->addSpacing(kClockGap);
    layout->addLayout(clockRow);

    m_detailsMenu = new QMenu(this);
    m_detailsMenu->setObjectName(QStringLiteral("DetailsMenu"));
    m_detailsGroup = new QActionGroup(this);
    m_detailsGroup->setExclusive(true);
    for (const ViewStyleDef& style : ViewStyles()) {
        QAction* item = m_detailsMenu->addAction(FromUtf8(style.caption));
        item->setObjectName(FromUtf8(style.name));
        item->setCheckable(true);
        item->setData(static_cast<int>(style.style));
        m_detailsGroup->addAction(item);
    }
    for (int position = 0; position < m_detailsMenu->actions().size(); ++position)
        SetMenuItemImage(
            FromUtf8(ViewStyles()[static_cast<std::size_t>(position)].picture), *m_detailsMenu, position);
    m_detailsMenu->actions().constFirst()->setChecked(true);

    m_toolsMenu = new QMenu(this);
    m_toolsMenu->setObjectName(QStringLiteral("ToolsMenu"));

    m_currentTimer = new QTimer(this);
    m_currentTimer->setObjectName(QStringLiteral("CurrentTimer"));
    m_currentTimer->setInterval(1000);
    m_uruchomieniaTimer = new QTimer(this);
    m_uruchomieniaTimer->setObjectName(QStringLiteral("UruchomieniaTimer"));
    m_uruchomieniaTimer->setInterval(1000);
    m_uruchomieniaTimer->setSingleShot(true);
    m_httpGetFile = NewHttpGetFile(this);

    m_listView->installEventFilter(this);
    m_reportView->installEventFilter(this);
}

QToolButton* TMenuForm::addToolButton(
    const char* name, const char* glyph, const QString& caption, const QString& hint)
{
    auto* button = new QToolButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setIcon(QIcon(QStringLiteral(":/res/") + QString::fromLatin1(glyph) + QStringLiteral(".png")));
    button->setIconSize(QSize(16, 16));
    button->setFixedHeight(kToolbarHeight);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(hint);
    if (caption.isEmpty()) {
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    } else {
        button->setText(caption);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    }
    return button;
}

void TMenuForm::connectComponents()
{
    connect(m_currentTimer, &QTimer::timeout, this, &TMenuForm::CurrentTimerTimer);
    connect(m_uruchomieniaTimer, &QTimer::timeout, this, &TMenuForm::UruchomieniaTimerTimer);
    connect(m_detailsButton, &QToolButton::clicked, this, &TMenuForm::DetailsButtonClick);
    connect(m_helpButton, &QToolButton::clicked, this, &TMenuForm::HelpButtonClick);
    connect(m_toolsButton, &QToolButton::clicked, this, &TMenuForm::ToolsButtonClick);
    connect(m_settingsButton, &QToolButton::clicked, this, &TMenuForm::SettingsButtonClick);
    connect(m_aboutButton, &QToolButton::clicked, this, &TMenuForm::AboutButtonClick);
    connect(m_updateButton, &QToolButton::clicked, this, &TMenuForm::UpdateButtonClick);
    connect(m_closeButton, &QToolButton::clicked, this, &QWidget::close);
    connect(m_detailsGroup, &QActionGroup::triggered, this,
        [this](QAction* item) { SetViewStyle(static_cast<ViewStyle>(item->data().toInt())); });
    connect(m_listView, &QListWidget::itemDoubleClicked, this, &TMenuForm::OpenSelectedTool);
    connect(m_reportView, &QTreeWidget::itemDoubleClicked, this, &TMenuForm::OpenSelectedTool);
    connect(m_listView, &QWidget::customContextMenuRequested, this,
        [this](QPoint at) { m_detailsMenu->popup(m_listView->viewport()->mapToGlobal(at)); });
    connect(m_reportView, &QWidget::customContextMenuRequested, this,
        [this](QPoint at) { m_detailsMenu->popup(m_reportView->viewport()->mapToGlobal(at)); });
    // One selection for both views.
    connect(m_listView, &QListWidget::currentRowChanged, this, [this](int row) {
        if (m_viewStyle != ViewStyle::Report)
            selectTool(row);
    });
    connect(m_reportView, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (m_viewStyle == ViewStyle::Report)
            selectTool(item ? m_reportView->indexOfTopLevelItem(item) : -1);
    });
}

void TMenuForm::SetClock(std::function<std::string()> clock)
{
    m_clock = std::move(clock);
    CurrentTimerTimer();
}

void TMenuForm::SetViewStyle(ViewStyle style)
{
    const int selected = selectedTool();
    m_viewStyle = style;
    switch (style) {
    case ViewStyle::LargeIcons:
        m_listView->setViewMode(QListView::IconMode);
        m_listView->setFlow(QListView::LeftToRight);
        m_listView->setIconSize(QSize(32, 32));
        m_listView->setGridSize(QSize(110, 72));
        m_listView->setWordWrap(true);
        break;
    case ViewStyle::SmallIcons:
        // Columns as wide as the longest caption needs.
        m_listView->setViewMode(QListView::ListMode);
        m_listView->setFlow(QListView::LeftToRight);
        m_listView->setIconSize(QSize(16, 16));
        m_listView->setGridSize(QSize(240, 22));
        m_listView->setWordWrap(false);
        break;
    case ViewStyle::List:
        m_listView->setViewMode(QListView::ListMode);
        m_listView->setFlow(QListView::TopToBottom);
        m_listView->setIconSize(QSize(16, 16));
        m_listView->setGridSize(QSize(240, 22));
        m_listView->setWordWrap(false);
        break;
    case ViewStyle::Report:
        break;
    }
    if (style != ViewStyle::Report) {
        m_listView->setWrapping(true);
        m_listView->setResizeMode(QListView::Adjust);
        m_listView->setMovement(QListView::Static);
    }
    m_views->setCurrentWidget(style == ViewStyle::Report ? static_cast<QWidget*>(m_reportView) : m_listView);
    for (QAction* item : m_detailsMenu->actions())
        if (item->data().toInt() == static_cast<int>(style))
            item->setChecked(true);
    selectTool(selected);
}

int TMenuForm::descriptionWidth() const
{
    const QAbstractItemView& view = *m_reportView; // the hint is public there
    return std::max(view.sizeHintForColumn(1), m_reportView->header()->sectionSizeHint(1));
}

int TMenuForm::selectedTool() const
{
    if (m_viewStyle == ViewStyle::Report) {
        QTreeWidgetItem* item = m_reportView->currentItem();
        return item && item->isSelected() ? m_reportView->indexOfTopLevelItem(item) : -1;
    }
    QListWidgetItem* item = m_listView->currentItem();
    return item && item->isSelected() ? m_listView->row(item) : -1;
}

void TMenuForm::selectTool(int index)
{
    const QSignalBlocker listBlock(m_listView);
    const QSignalBlocker reportBlock(m_reportView);
    if (index < 0) {
        m_listView->clearSelection();
        m_reportView->clearSelection();
        return;
    }
    m_listView->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    m_reportView->setCurrentItem(m_reportView->topLevelItem(index));
}

void TMenuForm::CurrentTimerTimer()
{
    m_czasPanel->setText(FromUtf8(m_clock()));
}

void TMenuForm::UruchomieniaTimerTimer()
{
    m_uruchomieniaTimer->stop();
    SendStartNotification(*m_httpGetFile);
}

void TMenuForm::FormActivate()
{
    if (m_activated)
        return;
    m_activated = true;
    if (ReadFlag(Setting::StartupTip))
        Opener().ShowTip(this, WindowOpener::TipStartupBox::Shown);
}

void TMenuForm::OpenSelectedTool()
{
    const int index = selectedTool();
    if (index < 0 || index >= static_cast<int>(LauncherTools().size()))
        return;
    openTool(LauncherTools()[static_cast<std::size_t>(index)].tool);
}

void TMenuForm::openTool(LauncherTool tool)
{
    switch (tool) {
    case LauncherTool::Tables:
        Opener().OpenTables(this);
        break;
    case LauncherTool::Test:
        Opener().OpenTest(this);
        break;
    case LauncherTool::Dictionary:
        Opener().OpenDictionary(this);
        break;
    case LauncherTool::Element:
        if (const std::optional<int> number = Opener().ChooseElement(this))
            Opener().OpenElement(this, *number);
        break;
    case LauncherTool::Find:
        Opener().OpenFind(this);
        break;
    case LauncherTool::Units:
        Opener().OpenUnits(this);
        break;
    case LauncherTool::MolarMass:
        Opener().OpenMolarMass(this);
        break;
    case LauncherTool::PropertyTable:
        Opener().OpenPropertyTable(this);
        break;
    }
}

void TMenuForm::popUpBelow(QMenu& menu, QToolButton& button)
{
    menu.popup(button.mapToGlobal(QPoint(0, 25)));
}

void TMenuForm::DetailsButtonClick()
{
    popUpBelow(*m_detailsMenu, *m_detailsButton);
}

void TMenuForm::ToolsButtonClick()
{
    RebuildToolsMenu(*m_toolsMenu, this);
    popUpBelow(*m_toolsMenu, *m_toolsButton);
}

void TMenuForm::HelpButtonClick()
{
    ShowHelpFor(this);
}

void TMenuForm::SettingsButtonClick()
{
    Opener().OpenSettings(this);
    update();
}

void TMenuForm::AboutButtonClick()
{
    Opener().ShowAbout(this, WindowOpener::AboutPage::Information);
}

void TMenuForm::UpdateButtonClick()
{
    Opener().OpenUpdate(this);
}

void TMenuForm::ToggleMaximized()
{
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

bool TMenuForm::runKey(int key, bool shift, bool alt)
{
    switch (LauncherCommandOfKey(key, shift, alt)) {
    case LauncherCommand::None:
        return false;
    case LauncherCommand::OpenTool:
        OpenSelectedTool();
        break;
    case LauncherCommand::Close:
        close();
        break;
    case LauncherCommand::Help:
        HelpButtonClick();
        break;
    case LauncherCommand::Update:
        UpdateButtonClick();
        break;
    case LauncherCommand::ToolsMenu:
        ToolsButtonClick();
        break;
    case LauncherCommand::ViewMenu:
        DetailsButtonClick();
        break;
    case LauncherCommand::Settings:
        SettingsButtonClick();
        break;
    case LauncherCommand::About:
        AboutButtonClick();
        break;
    case LauncherCommand::ToggleMaximized:
        ToggleMaximized();
        break;
    }
    return true;
}

bool TMenuForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_titlePanel) {
        if (event->type() == QEvent::MouseButtonDblClick) {
            ToggleMaximized();
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress && windowHandle()) {
            windowHandle()->startSystemMove();
            return true;
        }
        return false;
    }
    if (watched == m_reportView && event->type() == QEvent::Resize) {
        // The description column fills the list's width beside the name
        // column, never narrower than its longest description.
        // The viewport follows the list only after this event: its new width
        // is the list's less the frame.
        const int listWidth
            = static_cast<QResizeEvent*>(event)->size().width() - 2 * m_reportView->frameWidth();
        m_reportView->setColumnWidth(
            1, std::max(descriptionWidth(), listWidth - m_reportView->columnWidth(0)));
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        return runKey(VirtualKeyOf(key->key()), key->modifiers().testFlag(Qt::ShiftModifier),
            key->modifiers().testFlag(Qt::AltModifier));
    }
    return TMainFormBase::eventFilter(watched, event);
}

void TMenuForm::keyPressEvent(QKeyEvent* event)
{
    if (!runKey(VirtualKeyOf(event->key()), event->modifiers().testFlag(Qt::ShiftModifier),
            event->modifiers().testFlag(Qt::AltModifier)))
        TMainFormBase::keyPressEvent(event);
}

void TMenuForm::showEvent(QShowEvent* event)
{
    TMainFormBase::showEvent(event);
    if (!m_activated)
        QTimer::singleShot(0, this, &TMenuForm::FormActivate);
}

void TMenuForm::closeEvent(QCloseEvent* event)
{
    if (m_closing) {
        event->ignore();
        return;
    }
    if (ReadFlag(Setting::ExitPrompt)) {
        m_closing = true;
        const bool yes = Opener().ConfirmQuit(this);
        m_closing = false;
        if (!yes) {
            event->ignore();
            return;
        }
    }
    WriteInteger(Setting::DetailsOrder, static_cast<std::int32_t>(m_viewStyle));
    m_currentTimer->stop();
    CloseWindowServices(*this);
    TMainFormBase::closeEvent(event);
}

void TMenuForm::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintBackground(*this, painter);
}

Qt::Edges TMenuForm::edgesAt(QPoint position) const
{
    Qt::Edges edges;
    if (isMaximized())
        return edges;
    if (position.x() < kEdge)
        edges |= Qt::LeftEdge;
    if (position.x() >= width() - kEdge)
        edges |= Qt::RightEdge;
    if (position.y() < kEdge)
        edges |= Qt::TopEdge;
    if (position.y() >= height() - kEdge)
        edges |= Qt::BottomEdge;
    return edges;
}

void TMenuForm::mousePressEvent(QMouseEvent* event)
{
    const Qt::Edges edges = edgesAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && edges && windowHandle()) {
        windowHandle()->startSystemResize(edges);
        return;
    }
    TMainFormBase::mousePressEvent(event);
}

void TMenuForm::mouseMoveEvent(QMouseEvent* event)
{
    const Qt::Edges edges = edgesAt(event->position().toPoint());
    if ((edges & (Qt::LeftEdge | Qt::TopEdge)) == (Qt::LeftEdge | Qt::TopEdge)
        || (edges & (Qt::RightEdge | Qt::BottomEdge)) == (Qt::RightEdge | Qt::BottomEdge))
        setCursor(Qt::SizeFDiagCursor);
    else if (edges & (Qt::LeftEdge | Qt::RightEdge) && edges & (Qt::TopEdge | Qt::BottomEdge))
        setCursor(Qt::SizeBDiagCursor);
    else if (edges & (Qt::LeftEdge | Qt::RightEdge))
        setCursor(Qt::SizeHorCursor);
    else if (edges & (Qt::TopEdge | Qt::BottomEdge))
        setCursor(Qt::SizeVerCursor);
    else
        unsetCursor();
    TMainFormBase::mouseMoveEvent(event);
}

} // namespace orbita
