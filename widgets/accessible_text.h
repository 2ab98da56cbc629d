#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace orbita {

// What a screen reader says of a control: its name and, for a control
// without a caption of its own, what it is for and which keys it takes.
// The hint shown under the mouse is left as it is.
void SetAccessibleText(QWidget& widget, const QString& name, const QString& description = {});

// Tab visits the controls of a window in the order given, starting with the
// first (the one focused when the window opens). Controls that are hidden or
// disabled are passed over by Tab as usual.
void SetTabChain(const QList<QWidget*>& chain);

} // namespace orbita
