#include "platform/window_services.h"

#include "core/settings.h"
#include "platform/qt_text.h"
#include "platform/sound.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QToolTip>
#include <QVariant>
#include <QWidget>
#include <algorithm>

namespace orbita {
namespace {

const char* const kSizeableProperty = "orbitaSizeable";
const QColor kBackgroundColor(0xE4, 0xE4, 0xE4);

// A file path kept in the store (Windows-1250, "\" allowed) for the file system.
QString storedPath(const std::string& value)
{
    return FromCp1250(value).replace(u'\\', u'/');
}

void playIfOn(const std::string& account, Setting sound)
{
    if (!ReadFlag(Setting::Sounds, account))
        return;
    const QString file = storedPath(ReadString(sound, account));
    if (!file.isEmpty() && QFileInfo(file).isFile())
        PlaySoundFile(ToPath(file));
}

QPixmap resourcePixmap(const QString& resourceName)
{
    if (resourceName.isEmpty())
        return {};
    return QPixmap(QStringLiteral(":/res/") + resourceName + QStringLiteral(".png"));
}

class HintPauseFilter final : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::ToolTip || g_pause < 0)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->toolTip().isEmpty())
            return false;
        const auto* help = static_cast<QHelpEvent*>(event);
        QToolTip::showText(help->globalPos(), widget->toolTip(), widget, QRect(), g_pause);
        return true;
    }

    static int g_pause;
};

int HintPauseFilter::g_pause = -1;

} // namespace

void SetSizeable(QWidget& window, bool sizeable)
{
    window.setProperty(kSizeableProperty, sizeable);
}

bool IsSizeable(const QWidget& window)
{
    return window.property(kSizeableProperty).toBool();
}

void SetHintHidePause(int milliseconds)
{
    static QPointer<HintPauseFilter> filter;
    HintPauseFilter::g_pause = milliseconds;
    if (!filter && qApp) {
        filter = new HintPauseFilter(qApp);
        qApp->installEventFilter(filter);
    }
}

int HintHidePause()
{
    return HintPauseFilter::g_pause;
}

void OpenWindowServices(QWidget& window)
{
    const std::string user = CurrentUserName();
    if (!user.empty())
        playIfOn(user, Setting::WindowOpenSound);

    SetHintHidePause(600000);

    // The caption goes first: changing the window flags re-creates the window,
    // which must not undo the placement.
    if (!window.windowFlags().testFlag(Qt::FramelessWindowHint)) {
        const bool visible = window.isVisible();
        window.setWindowFlag(Qt::FramelessWindowHint, true);
        if (visible)
            window.show();
    }

    bool placed = window.testAttribute(Qt::WA_Moved);
    if (!user.empty() && !window.objectName().isEmpty() && ReadFlag(Setting::SaveWindowsPlacement, user)) {
        const std::string name = ToCp1250(window.objectName());
        const int left = ReadPlacement(name, PlacementEdge::Left);
        if (left != -1) {
            placed = true;
            const int top = ReadPlacement(name, PlacementEdge::Top);
            window.move(left, top == -1 ? window.y() : top);
            if (IsSizeable(window)) {
                const int width = ReadPlacement(name, PlacementEdge::Width);
                const int height = ReadPlacement(name, PlacementEdge::Height);
                if (width > 0 && height > 0)
                    window.resize(width, height);
            }
        }
    }

    if (window.testAttribute(Qt::WA_Resized))
        window.resize(window.width(), window.height() - kCaptionHeight);
    if (!placed)
        CentreOnScreen(window);
}

QPoint CentredPosition(const QSize& size, const QRect& area)
{
    return { area.left() + std::max(0, (area.width() - size.width()) / 2),
        area.top() + std::max(0, (area.height() - size.height()) / 2) };
}

void CentreOnScreen(QWidget& window)
{
    if (QLayout* layout = window.layout())
        layout->activate();
    if (!window.testAttribute(Qt::WA_Resized))
        window.adjustSize();
    const QWidget* parent = window.parentWidget();
    const QScreen* screen = parent != nullptr ? parent->window()->screen() : window.screen();
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen != nullptr)
        window.move(CentredPosition(window.frameGeometry().size(), screen->availableGeometry()));
}

void CloseWindowServices(QWidget& window)
{
    const std::string user = CurrentUserName();
    if (user.empty())
        return;
    playIfOn(user, Setting::WindowCloseSound);
    if (window.objectName().isEmpty())
        return; // a window without a name has no place in the store

    QRect bounds(window.pos(), window.size());
    if (window.isMaximized() || window.isFullScreen()) {
        const QRect normal = window.normalGeometry();
        if (normal.isValid())
            bounds = normal;
    }
    const std::string name = ToCp1250(window.objectName());
    WritePlacement(name, PlacementEdge::Left, bounds.x());
    WritePlacement(name, PlacementEdge::Top, bounds.y());
    if (IsSizeable(window)) {
        WritePlacement(name, PlacementEdge::Width, bounds.width());
        WritePlacement(name, PlacementEdge::Height, bounds.height() + kCaptionHeight);
    }
}

void PaintBackground(QWidget& window, QPainter& painter)
{
    const QRect area = window.rect();
    painter.fillRect(area, kBackgroundColor);
    std::string user = CurrentUserName();
    if (user.empty())
        user = kAdministratorAccount;
    if (!ReadFlag(Setting::UseBackground, user))
        return;
    const QString file = storedPath(ReadString(Setting::BackgroundPath, user));
    if (file.isEmpty() || !QFileInfo(file).isFile())
        return;
    // Read through QImage: QPixmap would answer from its cache and miss a
    // file replaced within the same second.
    const QImage texture(file);
    if (texture.isNull() || texture.width() <= 0 || texture.height() <= 0)
        return;
    painter.drawTiledPixmap(area, QPixmap::fromImage(texture));
}

void SetMenuItemImage(const QString& resourceName, QMenu& menu, int position)
{
    const QList<QAction*> actions = menu.actions();
    if (position < 0 || position >= actions.size())
        return;
    const QPixmap picture = resourcePixmap(resourceName);
    if (!picture.isNull())
        actions.at(position)->setIcon(QIcon(picture));
}

void AddResourceIcon(const QString& resourceName, QList<QIcon>& imageList, int size)
{
    const int side = size > 0 ? size : 16;
    QPixmap picture = resourcePixmap(resourceName);
    if (picture.isNull()) {
        picture = QPixmap(side, side);
        picture.fill(Qt::transparent);
    } else if (picture.size() != QSize(side, side)) {
        picture = picture.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    imageList.append(QIcon(picture));
}

QIcon ToolIcon(const QString& baseName)
{
    QIcon icon;
    for (const char* size : { "_32", "_16" }) {
        const QPixmap picture = resourcePixmap(baseName + QLatin1String(size));
        if (!picture.isNull())
            icon.addPixmap(picture);
    }
    return icon;
}

void DrawResourceBitmap(QLabel& image, const QString& resourceName)
{
    const QPixmap picture = resourcePixmap(resourceName);
    if (picture.isNull())
        return;
    image.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image.setPixmap(picture);
}

} // namespace orbita
