#pragma once

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

    // Components.
    QLabel* SplashImage = nullptr;
    QLabel* PrawaEtykieta = nullptr;
};

} // namespace orbita
