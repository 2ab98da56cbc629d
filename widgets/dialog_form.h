#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>

class QLabel;
class QVBoxLayout;

namespace orbita {

// The look of every window's title panel: white bold text on dark blue.
void SetTitlePanelLook(QLabel& panel);

// The modifiers that take part in the windows' keys (Shift, Ctrl, Alt, Meta),
// without the keypad and group flags.
Qt::KeyboardModifiers ShortcutModifiers(Qt::KeyboardModifiers modifiers);

// The frame of every dialog window: frameless, with the title panel
// TytulOknaPanel at the top whose text is the window title, and a content
// area (body()) with a vertical layout for the window's own widgets.
//
// - Dragging the title panel moves the window (the desktop's own move when it
//   offers one, else the frame moves the window itself; the move starts once
//   the mouse has gone the drag distance, so that double clicks still reach
//   the panel under a window manager); a double click on it, or
//   Alt+Enter, toggles maximised for sizeable dialogs.
// - Sizeable dialogs (setSizeable) resize from their edges (5 pixels wide);
//   minimumSize() is the minimum tracking size.
// - Keys are previewed before the focused child sees them: Esc cancels
//   (modal result mrCancel), F1 calls helpRequested(), Ctrl+F findRequested(),
//   Ctrl+U appearanceRequested(), Ctrl+P printRequested().
// - OpenWindowServices runs before the dialog is first shown,
//   CloseWindowServices as it closes (done(), accept(), reject(), Esc), once
//   per closing; the background is painted by PaintBackground.
//
// Subclasses set objectName() to their component name ("HelpForm"), resize()
// to their designed outer size, and fill body().
class TDialogForm : public QDialog {
    Q_OBJECT

public:
    explicit TDialogForm(QWidget* parent = nullptr);
    ~TDialogForm() override;
    Q_DISABLE_COPY_MOVE(TDialogForm)

    // The title panel's text and the window title, kept equal.
    void setTitle(const QString& title);
    QString title() const;

    QLabel* titlePanel() const { return m_titlePanel; }
    QWidget* body() const { return m_body; }
    QVBoxLayout* bodyLayout() const { return m_bodyLayout; }

    void setSizeable(bool sizeable);
    bool isSizeable() const;
    // Maximised <-> normal; sizeable dialogs only.
    void toggleMaximized();

    void setVisible(bool visible) override;
    void done(int result) override;
    // Cancels: the modal result is mrCancel.
    void reject() override;

protected:
    virtual void helpRequested() { }
    virtual void findRequested() { }
    virtual void appearanceRequested() { }
    virtual void printRequested() { }

    bool eventFilter(QObject* watched, QEvent* event) override;
    // For a window's own key handler inside eventFilter: the key press when
    // `event` is one sent to a widget of this window (not of a popup or a
    // child dialog), else nullptr.
    const QKeyEvent* KeyPressInWindow(QObject* watched, QEvent* event) const;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void childEvent(QChildEvent* event) override;

private:
    enum class Drag { None, PendingMove, Move, Resize };

    void watch(QObject* object);
    bool previewKey(QWidget* target, QEvent* event);
    bool handleMouse(QWidget* source, QEvent* event);
    Qt::Edges edgesAt(QPoint globalPos) const;
    void beginDrag(Drag drag, Qt::Edges edges, QPoint globalPos);
    void followDrag(QPoint globalPos);

    QLabel* m_titlePanel = nullptr;
    QWidget* m_body = nullptr;
    QVBoxLayout* m_bodyLayout = nullptr;
    bool m_opened = false;
    bool m_closing = false;
    Drag m_drag = Drag::None;
    Qt::Edges m_dragEdges;
    QPoint m_dragStart;
    QRect m_dragGeometry;
};

} // namespace orbita
