#pragma once

#include <QString>

class QCheckBox;
class QFrame;
class QPushButton;
class QWidget;

namespace orbita {

// The flat look of the small dialogs' buttons, check boxes and white panels.

// A flat button named `name` with its caption, the glyph picture
// ":/res/<glyph>.png" and its hint.
QPushButton* NewFlatButton(
    QWidget* parent, const QString& name, const QString& caption, const QString& glyph, const QString& hint);

QCheckBox* NewFlatCheckBox(QWidget* parent, const QString& name, const QString& caption);

// A white panel with a thin flat border.
QFrame* NewWhitePanel(QWidget* parent, const QString& name);

// Loads the glyph ":/res/<glyph>.png" into the button (nothing when missing).
void SetButtonGlyph(QPushButton& button, const QString& glyph);

} // namespace orbita
