#pragma once

#include <QWidget>

namespace orbita {

// The splash screen shown while the main window starts: a frameless
// 600 × 180 picture with the program's name.
class TSplashForm final : public QWidget {
    Q_OBJECT
public:
    explicit TSplashForm(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace orbita
