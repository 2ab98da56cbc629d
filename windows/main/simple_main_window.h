#pragma once

#include "windows/main/main_form_base.h"

class QLabel;
class QVBoxLayout;

namespace orbita {

// The plain frame of the main windows that stand in while their full
// versions are being built: a heading, a line of text, the help button
// PomocPrzycisk (also F1) that opens `helpTopic` through the window opener,
// and a close button (also Esc).
class SimpleMainWindow : public TMainFormBase {
    Q_OBJECT
public:
    SimpleMainWindow(const QString& objectName, const QString& title, const QString& text,
        const QString& helpTopic, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    QVBoxLayout* layout() const { return m_layout; }

private:
    QVBoxLayout* m_layout = nullptr;
};

} // namespace orbita
