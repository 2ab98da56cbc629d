#include "windows/main/main_form.h"

#include "core/element_numbers.h"
#include "core/file_version.h"
#include "core/settings.h"
#include "core/text_helpers.h"
#include "platform/qt_text.h"
#include "platform/shell_services.h"
#include "platform/sound.h"
#include "platform/window_services.h"
#include "skin/skin_form.h"
#include "skin/skin_package.h"
#include "widgets/accessible_text.h"
#include "windows/main/first_paint_report.h"
#include "windows/main/hint_gate.h"
#include "windows/main/tool_windows.h"
#include "windows/window_opener.h"

#include <QAction>
#include <QCloseEvent>
#include <QCursor>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QPixmap>
#include <QTimer>

namespace orbita {
namespace {

const QCursor& handCursor()
{
    static const QCursor cursor(QPixmap(QStringLiteral(":/res/HANDPOINT.png")), 9, 1);
    return cursor;
}

} // namespace

TMainForm::TMainForm(QWidget* splash, QWidget* parent)
    : TMainFormBase(parent)
    , m_clock([] { return NowText(); })
    , m_splash(splash)
{
    setObjectName(QStringLiteral("MainForm"));
    SetHelpTopic(*this, QStringLiteral("O_GLOWNE"));
    setWindowTitle(QStringLiteral("Orbita"));
    setFocusPolicy(Qt::StrongFocus);
    // The table is drawn by the skin: a screen reader is told its keys.
    SetAccessibleText(*this, QStringLiteral("Układ okresowy pierwiastków"),
        QStringLiteral("Enter wybiera pierwiastek po liczbie atomowej, F8 otwiera menu narzędzi, F9 menu "
                       "własnych narzędzi, F3 wyszukiwanie, F11 ustawienia, F1 pomoc, Esc kończy program."));
    m_skinForm = new TSkinForm(this);
    m_skinForm->setObjectName(QStringLiteral("SkinForm"));
    m_skinForm->SetKeyColor(Qt::white);
    m_skinForm->SetTolerance(Qt::black);

    m_mainMenu = buildMenu("MainMenu", MainMenuItems());
    m_utilsMenu = buildMenu("UtilsMenu", UtilsMenuItems());
    m_toolsMenu = new QMenu(this);
    m_toolsMenu->setObjectName(QStringLiteral("ToolsMenu"));

    m_currentTimer = new QTimer(this);
    m_currentTimer->setObjectName(QStringLiteral("CurrentTimer"));
    m_currentTimer->setInterval(1000);
    m_splashTimer = new QTimer(this);
    m_splashTimer->setObjectName(QStringLiteral("SplashTimer"));
    m_splashTimer->setInterval(1000);
    m_splashTimer->setSingleShot(true);
    m_uruchomieniaTimer = new QTimer(this);
    m_uruchomieniaTimer->setObjectName(QStringLiteral("UruchomieniaTimer"));
    m_uruchomieniaTimer->setInterval(1000);
    m_uruchomieniaTimer->setSingleShot(true);
    m_httpGetFile = NewHttpGetFile(this);

    // The hints of the whole application: shown while ShowHint allows.
    new HintGate(this);
    SetHintHidePause(5000);

    connectComponents();
    ReportFirstPaint(*m_skinForm);
    FormCreate();
    m_currentTimer->start();
    m_splashTimer->start();
    m_uruchomieniaTimer->start();
}

TMainForm::~TMainForm() = default;

QMenu* TMainForm::buildMenu(const char* name, std::span<const MenuItemDef> items)
{
    auto* menu = new QMenu(this);
    menu->setObjectName(QString::fromLatin1(name));
    for (const MenuItemDef& item : items) {
        if (item.caption == "-") {
            menu->addSeparator()->setObjectName(FromUtf8(item.name));
            continue;
        }
        QAction* action = menu->addAction(FromUtf8(item.caption));
        action->setObjectName(FromUtf8(item.name));
        const MainCommand command = item.command;
        connect(action, &QAction::triggered, this, [this, command] { RunCommand(command, QCursor::pos()); });
    }
    return menu;
}

void TMainForm::connectComponents()
{
    connect(m_skinForm, &TSkinForm::OnMouseUpNotify, this, &TMainForm::SkinFormMouseUpNotify);
    connect(m_skinForm, &TSkinForm::OnMouseMoveNotify, this, &TMainForm::SkinFormMouseMoveNotify);
    connect(m_currentTimer, &QTimer::timeout, this, &TMainForm::CurrentTimerTimer);
    connect(m_splashTimer, &QTimer::timeout, this, &TMainForm::SplashTimerTimer);
    connect(m_uruchomieniaTimer, &QTimer::timeout, this, &TMainForm::UruchomieniaTimerTimer);
}

void TMainForm::FormCreate()
{
    if (ReadFlag(Setting::Sounds)) {
        const QString intro = FromCp1250(ReadString(Setting::IntroSound)).replace(u'\\', u'/');
        if (!intro.isEmpty() && QFileInfo(intro).isFile())
            PlaySoundFile(ToPath(intro));
    }
    m_usesPackage = LoadConfiguredSkin(*m_skinForm);
    CurrentTimerTimer();
    m_skinForm->SetAreaText(
        QStringLiteral("LOGOTEXT"), FromUtf8(VersionCaption(FileVersionText(ExecutablePath()))));
    for (int position = 0; position < static_cast<int>(UtilsMenuItems().size()); ++position)
        SetMenuItemImage(
            FromUtf8(UtilsMenuItems()[static_cast<std::size_t>(position)].picture), *m_utilsMenu, position);
    CentreOnScreen(*this);
}

void TMainForm::FormShow()
{
    const QList<QAction*> actions = m_mainMenu->actions();
    for (int position = 0; position < actions.size(); ++position) {
        const MenuItemDef& item = MainMenuItems()[static_cast<std::size_t>(position)];
        if (!item.shortcut.empty())
            actions.at(position)->setShortcut(QKeySequence(FromUtf8(item.shortcut)));
        if (!item.picture.empty())
            SetMenuItemImage(FromUtf8(item.picture), *m_mainMenu, position);
    }
}

void TMainForm::showEvent(QShowEvent* event)
{
    TMainFormBase::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    FormShow();
    activateWindow();
    setFocus();
}

void TMainForm::SetClock(std::function<std::string()> clock)
{
    m_clock = std::move(clock);
    CurrentTimerTimer();
}

void TMainForm::CurrentTimerTimer()
{
    m_skinForm->SetAreaText(QStringLiteral("TIMETEXT"), FromUtf8(m_clock()));
}

void TMainForm::SplashTimerTimer()
{
    m_splashTimer->stop();
    if (m_splash) {
        m_splash->close();
        delete m_splash.data();
    }
    if (ReadFlag(Setting::StartupTip))
        Opener().ShowTip(this, WindowOpener::TipStartupBox::Shown);
}

void TMainForm::UruchomieniaTimerTimer()
{
    m_uruchomieniaTimer->stop();
    SendStartNotification(*m_httpGetFile);
}

void TMainForm::SkinFormMouseUpNotify(
    const QString& id, Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y)
{
    m_skinForm->repaint();
    const QPoint at = m_skinForm->mapToGlobal(QPoint(x, y));
    const ClickButton which = button == Qt::LeftButton ? ClickButton::Left
        : button == Qt::RightButton                    ? ClickButton::Right
                                                       : ClickButton::Middle;
    const ClickAction action = ActionOfClick(ToCp1250(id), which);
    RunCommand(action.command, at, action.element);
}

void TMainForm::SkinFormMouseMoveNotify(const QString& id, Qt::KeyboardModifiers, int, int)
{
    if (IsPointerHotArea(ToCp1250(id)))
        m_skinForm->setCursor(handCursor());
    else
        m_skinForm->unsetCursor();
}

void TMainForm::popUp(QMenu& menu, QPoint at)
{
    menu.popup(at);
}

void TMainForm::RebuildToolsMenu()
{
    orbita::RebuildToolsMenu(*m_toolsMenu, this);
}

void TMainForm::RunCommand(MainCommand command, QPoint popupAt, int element)
{
    switch (command) {
    case MainCommand::None:
        break;
    case MainCommand::Minimize:
        showMinimized();
        break;
    case MainCommand::Close:
        close();
        break;
    case MainCommand::Welcome:
        Opener().ShowHelp(this, QString());
        break;
    case MainCommand::Legend:
        Opener().ShowHelp(this, QStringLiteral("LEGENDA"));
        break;
    case MainCommand::Help:
        ShowHelpFor(this);
        break;
    case MainCommand::About:
        Opener().ShowAbout(this, WindowOpener::AboutPage::Information);
        break;
    case MainCommand::Find:
        Opener().OpenFind(this);
        break;
    case MainCommand::Update:
        Opener().OpenUpdate(this);
        break;
    case MainCommand::Settings:
        Opener().OpenSettings(this);
        break;
    case MainCommand::Jump:
        if (const std::optional<int> number = Opener().ChooseElement(this))
            Opener().OpenElement(this, *number);
        break;
    case MainCommand::Tables:
        Opener().OpenTables(this);
        break;
    case MainCommand::Test:
        Opener().OpenTest(this);
        break;
    case MainCommand::Dictionary:
        Opener().OpenDictionary(this);
        break;
    case MainCommand::Units:
        Opener().OpenUnits(this);
        break;
    case MainCommand::MolarMass:
        Opener().OpenMolarMass(this);
        break;
    case MainCommand::PropertyTable:
        Opener().OpenPropertyTable(this);
        break;
    case MainCommand::PopupMainMenu:
        popUp(*m_mainMenu, popupAt);
        break;
    case MainCommand::PopupToolsMenu:
        RebuildToolsMenu();
        popUp(*m_toolsMenu, popupAt);
        break;
    case MainCommand::PopupUtilsMenu:
        popUp(*m_utilsMenu, popupAt);
        break;
    case MainCommand::OpenElement:
        if (IsElementNumber(element))
            Opener().OpenElement(this, element);
        break;
    }
}

void TMainForm::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const ShiftState shift { modifiers.testFlag(Qt::ShiftModifier), modifiers.testFlag(Qt::ControlModifier),
        modifiers.testFlag(Qt::AltModifier) };
    const MainCommand command = CommandOfKey(VirtualKeyOf(event->key()), shift);
    if (command == MainCommand::None) {
        TMainFormBase::keyPressEvent(event);
        return;
    }
    // Menus opened by keys appear at the window's top-left corner.
    RunCommand(command, mapToGlobal(QPoint(0, 0)));
}

void TMainForm::closeEvent(QCloseEvent* event)
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
    m_currentTimer->stop();
    m_skinForm->RemoveSkinFolder();
    TMainFormBase::closeEvent(event);
}

} // namespace orbita
