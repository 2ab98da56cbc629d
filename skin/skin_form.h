#pragma once

#include "skin/skin_definition.h"
#include "skin/skin_state.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

namespace orbita {

// The skinned window: one picture cut to the outline of a mask picture, on
// which named rectangles (hot areas) react to the mouse, text areas show
// texts, and sliders can be dragged.
//
// Placing: the component is given its form (a top-level widget) as parent,
// fills it and makes it frameless; a parent that is not a window is refused
// with std::invalid_argument ("Umieść komponent na formie"). Without a parent
// the component is its own frameless window. Loading a skin sizes the form to
// the mask picture and sets the mask's outline as the form's mask.
//
// Pictures: mask, normal, pressed, hover, digits, letters (and two thumbs per
// slider), all drawn at the mask's origin. What the window shows is kept in
// a canvas that the skin's operations draw on; paintEvent only shows it.
//
// Notifications are Qt signals. `id` is the name of the hot area or slider
// under the pointer (empty when none); x and y are in the form's client
// coordinates; `shift` is the keyboard modifiers held.
//
// A left press on no hot area and no slider moves the whole window (the
// desktop's own move when the platform offers one, else the component moves
// the window while the button is held; the release ending such a move is not
// reported).
class TSkinForm final : public QWidget {
    Q_OBJECT

public:
    explicit TSkinForm(QWidget* form = nullptr);
    ~TSkinForm() override;
    Q_DISABLE_COPY_MOVE(TSkinForm)

    // Mask colour outside the window (white by default) and the per-channel
    // tolerance above it (black by default). Take effect at the next load.
    QColor KeyColor() const { return m_keyColor; }
    void SetKeyColor(const QColor& color) { m_keyColor = color; }
    QColor Tolerance() const { return m_tolerance; }
    void SetTolerance(const QColor& color) { m_tolerance = color; }

    // Loads a skin. With `builtin` clear, lines[0] is the path of a
    // definition file whose folder holds the pictures it names; with it set,
    // the lines are the built-in definition (HOTAREAINFO lines, then the
    // DISPLAYINFO lines) and the pictures already held stay. A load either
    // succeeds whole -- areas, texts, sliders, pictures, size and outline
    // replaced, the window repainted, OnSkinChanged raised -- or changes
    // nothing and gives the reason (Polish, naming the file). A GIF picture
    // is refused with a message and the picture held before stays.
    // Picture names, slider thumbs included, are relative to the definition's
    // folder and must stay inside it (IsSafeSkinFileName). Text-area fonts
    // take face, size (points at 96 dots per inch; 0 means 8), bold, italic
    // and colour; the definition's Charset has no meaning for Qt's Unicode
    // fonts and is kept only in the definition.
    struct LoadResult {
        bool ok = false;
        QString error;
        int refusedPictures = 0; // GIF pictures refused
    };
    LoadResult LoadSkin(const std::vector<std::string>& lines, bool builtin);

    // Loads the mask, hover, pressed and normal pictures from the program's
    // resources (":/res/<name>.png") or from files, then sizes the form, sets
    // its outline and repaints. Nothing changes when a picture cannot be read.
    bool LoadSkinBitmaps(bool fromResources, const QString& mask, const QString& hover,
        const QString& pressed, const QString& normal);

    // The built-in skin: the resource pictures SKIN_MASK, SKIN_MAIN (normal and
    // hover) and SKIN_DOWN, then the built-in definition.
    void LoadBuiltinSkin();

    // A skin package (.obs) named `skinFile` (Windows-1250, a plain file name)
    // in the folder KARNACJE of the per-user data folder or else of the
    // program folder: the definition ORBSKIN.INI
    // and every picture it names are unpacked into ORB_SKIN in the private
    // temporary folder, then loaded. Falls back to the built-in skin (and
    // gives false) when the package is missing, unreadable, names an unsafe
    // or missing member, or one of its pictures cannot be read.
    bool LoadSkinPackage(const std::string& skinFile);

    // Deletes the folder ORB_SKIN of the temporary folder with everything in
    // it, when it exists. The owner calls it as the skinned window closes;
    // the destructor does it too when this component unpacked a package.
    void RemoveSkinFolder();

    // Redraws everything: the normal picture, toggles held down, slider
    // thumbs and texts, then the look the pointer gives the area under it
    // (hover, or pressed while the button is held).
    void PaintSkin();

    int IndexOfHotArea(const QString& name) const;
    QString HotAreaName(int index) const;
    // Sets the held-down state of the named area (if any) and repaints.
    void SetHotAreaDown(const QString& name, bool down);
    // Sets the text of the first text area of that name (if any) and
    // repaints in every case.
    void SetAreaText(const QString& name, const QString& text);

    const TSkinState& State() const { return m_state; }
    // What the window shows.
    const QImage& Canvas() const { return m_canvas; }

Q_SIGNALS:
    void OnMouseDownNotify(
        const QString& id, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    // `id` is the first hot area containing the release point.
    void OnMouseUpNotify(
        const QString& id, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseMoveNotify(const QString& id, Qt::KeyboardModifiers shift, int x, int y);
    // A slider moved; position 0 to 100.
    void OnTrackBarNotify(const QString& id, int position);
    // Raised after every complete skin load.
    void OnSkinChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Pictures {
        QImage mask;
        QImage normal;
        QImage pressed;
        QImage hover;
        QImage digits;
        QImage letters;
        std::vector<QImage> thumbs; // per slider: at rest
        std::vector<QImage> activeThumbs; // per slider: while dragged
    };
    struct TextFont {
        QFont font;
        QColor color;
    };
    struct Prepared {
        SkinDefinition definition;
        Pictures pictures;
        int refused = 0;
    };
    enum class PictureLoad { Loaded, RefusedGif, Failed };

    static QWidget* checkedForm(QWidget* form);
    QWidget* form();
    std::optional<Prepared> prepare(const std::vector<std::string>& lines, bool builtin, QString& error);
    void commit(Prepared prepared);
    PictureLoad loadPicture(const QString& path, QImage& picture, QString& error);
    void applyPictures();
    void runSteps(const SkinPointerResult& result);
    void copyArea(int area, SkinLook look);
    void paintNormal(); // the normal picture, toggles held down, thumbs and texts
    void drawTexts(QPainter& painter);
    bool unpackPackage(const std::string& packagePath, const std::string& folder, QString& error);

    QColor m_keyColor = Qt::white;
    QColor m_tolerance = Qt::black;
    Pictures m_pictures;
    TSkinState m_state;
    std::vector<TextFont> m_fonts;
    std::vector<QString> m_texts; // the text areas' texts, as shown
    QImage m_canvas;
    bool m_unpacked = false;
    bool m_movingWindow = false; // a window move the component runs itself
    QPoint m_moveStart;
    QPoint m_moveOrigin;
};

} // namespace orbita
