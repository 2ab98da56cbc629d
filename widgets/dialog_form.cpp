#include "widgets/dialog_form.h"

#include "platform/ui_services.h"
#include "platform/window_services.h"

#include <QApplication>
#include <QChildEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <QWindow>

namespace orbita {
namespace {

constexpr int kEdgeMargin = 5;

Qt::CursorShape cursorFor(Qt::Edges edges)
{
    if (edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge))
        return Qt::SizeFDiagCursor;
    if (edges == (Qt::RightEdge | Qt::TopEdge) || edges == (Qt::LeftEdge | Qt::BottomEdge))
        return Qt::SizeBDiagCursor;
    if (edges & (Qt::LeftEdge | Qt::RightEdge))
        return Qt::SizeHorCursor;
    return Qt::SizeVerCursor;
}

} // namespace

void SetTitlePanelLook(QLabel& panel)
{
    panel.setAutoFillBackground(true);
    QPalette palette = panel.palette();
    palette.setColor(QPalette::Window, QColor(0x1F, 0x3A, 0x6E));
    palette.setColor(QPalette::WindowText, Qt::white);
    panel.setPalette(palette);
    // Bold 13-pixel Tahoma, like a window caption (the face maps to an
    // installed one through the program's font aliases).
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(13);
    font.setBold(true);
    panel.setFont(font);
}

TDialogForm::TDialogForm(QWidget* parent)
    : QDialog(parent)
{
    m_titlePanel = new QLabel(this);
    m_titlePanel->setObjectName(QStringLiteral("TytulOknaPanel"));
    SetTitlePanelLook(*m_titlePanel);
    m_titlePanel->setMargin(4);
    m_titlePanel->setIndent(4);
    m_titlePanel->setMinimumHeight(22);
    m_titlePanel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    m_body = new QWidget(this);
    m_body->setObjectName(QStringLiteral("body"));
    m_bodyLayout = new QVBoxLayout(m_body);
    m_bodyLayout->setContentsMargins(8, 8, 8, 8);

    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->setSpacing(0);
    frame->addWidget(m_titlePanel);
    frame->addWidget(m_body, 1);

    setWindowFlag(Qt::FramelessWindowHint, true);
    installEventFilter(this);
    watch(m_titlePanel);
    watch(m_body);
}

TDialogForm::~TDialogForm() = default;

void TDialogForm::setTitle(const QString& title)
{
    setWindowTitle(title);
}

QString TDialogForm::title() const
{
    return m_titlePanel->text();
}

void TDialogForm::setSizeable(bool sizeable)
{
    SetSizeable(*this, sizeable);
    setMouseTracking(sizeable);
    m_titlePanel->setMouseTracking(sizeable);
    m_body->setMouseTracking(sizeable);
}

bool TDialogForm::isSizeable() const
{
    return IsSizeable(*this);
}

void TDialogForm::toggleMaximized()
{
    if (!isSizeable())
        return;
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void TDialogForm::setVisible(bool visible)
{
    if (visible && !m_opened) {
        m_opened = true;
        OpenWindowServices(*this);
    }
    QDialog::setVisible(visible);
}

void TDialogForm::done(int result)
{
    // Once per closing: a dialog that is already hidden (or closing) is not
    // saved again.
    if (isVisible() && !m_closing) {
        m_closing = true;
        CloseWindowServices(*this);
    }
    QDialog::done(result);
    m_closing = false;
}

void TDialogForm::reject()
{
    done(mrCancel);
}

void TDialogForm::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintBackground(*this, painter);
}

void TDialogForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowTitleChange)
        m_titlePanel->setText(windowTitle());
    QDialog::changeEvent(event);
}

void TDialogForm::childEvent(QChildEvent* event)
{
    if (event->added())
        watch(event->child());
    QDialog::childEvent(event);
}

// Filters every widget inside the dialog (for the key preview) and the ones
// that make up the frame (for moving and resizing).
void TDialogForm::watch(QObject* object)
{
    if (!object->isWidgetType())
        return;
    object->installEventFilter(this);
    for (QObject* child : object->children())
        watch(child);
}

bool TDialogForm::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ChildAdded:
        if (watched != this)
            watch(static_cast<QChildEvent*>(event)->child());
        return false;
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
        return previewKey(static_cast<QWidget*>(watched), event);
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        if (watched == this || watched == m_titlePanel || watched == m_body)
            return handleMouse(static_cast<QWidget*>(watched), event);
        return false;
    default:
        return false;
    }
}

const QKeyEvent* TDialogForm::KeyPressInWindow(QObject* watched, QEvent* event) const
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()
        || static_cast<QWidget*>(watched)->window() != this)
        return nullptr;
    return static_cast<const QKeyEvent*>(event);
}

Qt::KeyboardModifiers ShortcutModifiers(Qt::KeyboardModifiers modifiers)
{
    return modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
}

bool TDialogForm::previewKey(QWidget* target, QEvent* event)
{
    if (target->window() != this)
        return false; // a window of its own inside this one (a popup, a child dialog)
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = ShortcutModifiers(key->modifiers());
    void (TDialogForm::*action)() = nullptr;
    if (key->key() == Qt::Key_Escape && modifiers == Qt::NoModifier)
        action = &TDialogForm::reject;
    else if (key->key() == Qt::Key_F1 && modifiers == Qt::NoModifier)
        action = &TDialogForm::helpRequested;
    else if (key->key() == Qt::Key_F && modifiers == Qt::ControlModifier)
        action = &TDialogForm::findRequested;
    else if (key->key() == Qt::Key_U && modifiers == Qt::ControlModifier)
        action = &TDialogForm::appearanceRequested;
    else if (key->key() == Qt::Key_P && modifiers == Qt::ControlModifier)
        action = &TDialogForm::printRequested;
    else if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && modifiers == Qt::AltModifier)
        action = &TDialogForm::toggleMaximized;
    if (!action)
        return false;
    event->accept();
    if (event->type() == QEvent::KeyPress)
        (this->*action)();
    return true;
}

Qt::Edges TDialogForm::edgesAt(QPoint globalPos) const
{
    Qt::Edges edges;
    if (!isSizeable() || isMaximized() || isFullScreen())
        return edges;
    const QPoint local = mapFromGlobal(globalPos);
    if (!rect().contains(local))
        return edges;
    if (local.x() < kEdgeMargin)
        edges |= Qt::LeftEdge;
    if (local.x() >= width() - kEdgeMargin)
        edges |= Qt::RightEdge;
    if (local.y() < kEdgeMargin)
        edges |= Qt::TopEdge;
    if (local.y() >= height() - kEdgeMargin)
        edges |= Qt::BottomEdge;
    return edges;
}

bool TDialogForm::handleMouse(QWidget* source, QEvent* event)
{
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint global = mouse->globalPosition().toPoint();
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const Qt::Edges edges = edgesAt(global);
        if (mouse->button() == Qt::LeftButton && edges) {
            beginDrag(Drag::Resize, edges, global);
            return true;
        }
        if (source == m_titlePanel && !isMaximized()) {
            m_drag = Drag::PendingMove;
            m_dragStart = global;
            return true;
        }
        return false;
    }
    case QEvent::MouseButtonDblClick:
        if (source == m_titlePanel && mouse->button() == Qt::LeftButton) {
            m_drag = Drag::None;
            toggleMaximized();
            return true;
        }
        return false;
    case QEvent::MouseMove:
        if (m_drag == Drag::PendingMove) {
            if ((global - m_dragStart).manhattanLength() >= QApplication::startDragDistance()) {
                beginDrag(Drag::Move, {}, m_dragStart);
                if (m_drag == Drag::Move)
                    followDrag(global);
            }
            return true;
        }
        if (m_drag != Drag::None) {
            followDrag(global);
            return true;
        }
        if (isSizeable()) {
            const Qt::Edges edges = edgesAt(global);
            if (edges)
                source->setCursor(cursorFor(edges));
            else
                source->unsetCursor();
        }
        return false;
    case QEvent::MouseButtonRelease:
        if (m_drag != Drag::None) {
            m_drag = Drag::None;
            return true;
        }
        return false;
    default:
        return false;
    }
}

// The desktop moves or resizes the window when it can; otherwise (no window
// manager, or a platform without it) the frame follows the mouse itself.
void TDialogForm::beginDrag(Drag drag, Qt::Edges edges, QPoint globalPos)
{
    m_drag = Drag::None;
    if (QWindow* window = windowHandle()) {
        const bool started
            = drag == Drag::Move ? window->startSystemMove() : window->startSystemResize(edges);
        if (started)
            return;
    }
    m_drag = drag;
    m_dragEdges = edges;
    m_dragStart = globalPos;
    m_dragGeometry = QRect(pos(), size());
}

void TDialogForm::followDrag(QPoint globalPos)
{
    const QPoint delta = globalPos - m_dragStart;
    if (m_drag == Drag::Move) {
        move(m_dragGeometry.topLeft() + delta);
        return;
    }
    const QSize minimum = minimumSize().expandedTo(minimumSizeHint());
    const QSize maximum = maximumSize();
    QRect bounds = m_dragGeometry;
    if (m_dragEdges & Qt::RightEdge)
        bounds.setWidth(std::clamp(m_dragGeometry.width() + delta.x(), minimum.width(), maximum.width()));
    if (m_dragEdges & Qt::BottomEdge)
        bounds.setHeight(std::clamp(m_dragGeometry.height() + delta.y(), minimum.height(), maximum.height()));
    if (m_dragEdges & Qt::LeftEdge) {
        const int width = std::clamp(m_dragGeometry.width() - delta.x(), minimum.width(), maximum.width());
        bounds.setLeft(m_dragGeometry.right() + 1 - width);
    }
    if (m_dragEdges & Qt::TopEdge) {
        const int height
            = std::clamp(m_dragGeometry.height() - delta.y(), minimum.height(), maximum.height());
        bounds.setTop(m_dragGeometry.bottom() + 1 - height);
    }
    move(bounds.topLeft());
    resize(bounds.size());
}

} // namespace orbita
