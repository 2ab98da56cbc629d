#include "windows/reference/help_form.h"

#include "htmlview/html_view_widget.h"
#include "platform/qt_text.h"
#include "platform/ui_services.h"
#include "widgets/find_dialog.h"
#include "widgets/glyph_button.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>

namespace orbita {
namespace {

const TBrowserForm::Kind kHelpKind { Browser::Help, Viewer::Help, Splitter::Help, "HelpForm", "Pomoc",
    { "TopMainPanel", "LeftMainPanel", "RightMainPanel", "BottomMainPanel" }, true };

} // namespace

void THelpForm::ShowHelp(const QString& topic, QWidget* owner)
{
    THelpForm form(topic, owner);
    Ui().ShowModal(form);
}

THelpForm::THelpForm(const QString& topic, QWidget* parent)
    : TBrowserForm(kHelpKind, parent)
{
    WsteczPrzycisk = MakeGlyphButton(
        body(), "WsteczPrzycisk", "B_BACK", QString(), QStringLiteral("Wstecz [Backspace]"));
    DalejPrzycisk = MakeGlyphButton(
        body(), "DalejPrzycisk", "B_GO", QString(), QStringLiteral("Dalej [Shift+Backspace]"));
    WsteczPrzycisk->setAccessibleName(QStringLiteral("Wstecz"));
    DalejPrzycisk->setAccessibleName(QStringLiteral("Dalej"));
    for (QToolButton* button : { WsteczPrzycisk, DalejPrzycisk, SettingsButton, FindButton })
        ButtonRow()->addWidget(button);
    SlideTimer = new QTimer(this);
    SlideTimer->setObjectName(QStringLiteral("SlideTimer"));
    SlideTimer->setInterval(150);
    connect(SlideTimer, &QTimer::timeout, this, &THelpForm::SlideTimerTimer);
    connect(WsteczPrzycisk, &QToolButton::clicked, this, &THelpForm::WsteczPrzyciskClick);
    connect(DalejPrzycisk, &QToolButton::clicked, this, &THelpForm::DalejPrzyciskClick);
    for (ThtmlLite* view : { MenuHtml, ContentsHtml }) {
        view->OnKeyDown = [this](ThtmlLite*, int& key, Qt::KeyboardModifiers modifiers) {
            if (key == Qt::Key_Space && !(modifiers & (Qt::ControlModifier | Qt::AltModifier))) {
                ToggleSlideShow();
                key = 0;
            }
        };
    }
    ContentsHtml->OnRightClick = [this](ThtmlLite*, const TRightClickParameters&) { ToggleSlideShow(); };

    // 1. glyphs, separator, appearance; 2. the topic list; 3. the page.
    ReadStoredLook();
    LoadMember(*MenuHtml, MenuMember(Browser::Help));
    const HelpOpening plan = PlanHelpOpening(ToCp1250(topic));
    LoadMember(*ContentsHtml, plan.contentsMember);
    m_history.Visit(plan.contentsMember);
    if (plan.startSlideShow)
        SlideTimer->start();
    // 4. Nobody logged in: only find and close.
    if (!UserLoggedIn()) {
        for (QToolButton* button : { SettingsButton, ListButton, WsteczPrzycisk, DalejPrzycisk })
            button->hide();
    }
    // 5. The caption; 6. a topic opens as a single pane.
    RefreshCaption();
    if (plan.singlePane) {
        ListButton->setChecked(false);
        MenuHtml->hide();
    }
    // 7. The placement by screen size unless placements are kept.
    if (!ReadFlag(Setting::SaveWindowsPlacement))
        placeByScreenSize();
    else
        resize(600, 460);
    ContentsHtml->setFocus();
}

THelpForm::~THelpForm() = default;

void THelpForm::placeByScreenSize()
{
    const QWidget* owner = parentWidget();
    QScreen* screen = owner ? owner->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen) {
        resize(600, 460);
        return;
    }
    const QRect available = screen->availableGeometry();
    const Bounds bounds = HelpWindowBounds(available.width(), available.height());
    setGeometry(available.x() + bounds.left, available.y() + bounds.top, bounds.width, bounds.height);
}

bool THelpForm::SlideShowRunning() const
{
    return SlideTimer->isActive();
}

void THelpForm::SlideTimerTimer()
{
    const int position = ContentsHtml->VScrollBarPosition();
    ContentsHtml->SetVScrollBarPosition(
        SlideStep(position, ContentsHtml->VScrollBarRange(), SharedSlideDirection()));
}

void THelpForm::ToggleSlideShow()
{
    if (SlideTimer->isActive())
        SlideTimer->stop();
    else
        SlideTimer->start();
}

void THelpForm::LinkClicking()
{
    SlideTimer->stop();
}

void THelpForm::PageLinkFollowed(const std::string& member)
{
    m_history.Visit(member);
}

void THelpForm::showHistoryEntry(const std::optional<std::string>& member)
{
    if (member)
        ShowContents(*member);
}

void THelpForm::WsteczPrzyciskClick()
{
    showHistoryEntry(m_history.Back());
}

void THelpForm::DalejPrzyciskClick()
{
    showHistoryEntry(m_history.Forward());
}

bool THelpForm::HandleKey(int key, Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_Backspace && (modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier)) {
        if (modifiers == Qt::ShiftModifier)
            DalejPrzyciskClick();
        else
            WsteczPrzyciskClick();
        return true;
    }
    return TBrowserForm::HandleKey(key, modifiers);
}

} // namespace orbita
