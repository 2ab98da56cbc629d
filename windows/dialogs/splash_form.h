#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;

namespace orbita {

// The splash screen shown while the main window is being built: a frameless,
// always-on-top 600 × 180 window centred on the screen with the "SPLASH"
// picture and a short notice against unauthorised copying. The entry creates
// it with new, shows and paints it at once; the main window's splash timer
// closes it, and a closed splash frees itself.
class TSplashForm final : public QWidget {
    Q_OBJECT
public:
    explicit TSplashForm(QWidget* parent = nullptr);

    // Keeps the splash above `window` (the main window shown after it) until
    // the splash closes: it is raised again after the window is shown,
    // raised or activated. The stay-on-top wish alone is not enough: without
    // a window manager nothing honours it and the newer window covers the
    // splash.
    void StayAbove(QWidget& window);

    // Components.
    QLabel* SplashImage = nullptr;
    QLabel* PrawaEtykieta = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_below;
};

} // namespace orbita
