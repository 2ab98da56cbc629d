#pragma once

#include "windows/main/main_form_base.h"

class QLabel;
class QVBoxLayout;

namespace orbita {

// The plain frame of the main windows that stand in while their full
// versions are being built: a heading, a line of text and a close button.
class SimpleMainWindow : public TMainFormBase {
    Q_OBJECT
public:
    SimpleMainWindow(
        const QString& objectName, const QString& title, const QString& text, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    QVBoxLayout* layout() const { return m_layout; }

private:
    QVBoxLayout* m_layout = nullptr;
};

} // namespace orbita
