#pragma once

#include <QString>

class QToolButton;
class QWidget;

namespace orbita {

// A flat tool button of a window's button row: the picture of the program's
// resource `picture` (":/res/<picture>.png"), the caption beside it (none:
// the picture alone), the hint as its tooltip, the component name as its
// object name. Its width fits the whole caption; it takes the focus only by
// Tab, so the window's keys keep going to the page.
QToolButton* MakeGlyphButton(
    QWidget* parent, const char* name, const char* picture, const QString& caption, const QString& hint);

} // namespace orbita
