#pragma once

#include "widgets/dialog_form.h"
#include "windows/dialogs/tip_order.h"

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QTimer;

namespace orbita {

// The tip-of-the-day window "Porada dnia": a saying or a hint about the
// program under the heading "Czy wiesz, że...", the next one on
// "&Następna", and the box "Wyświetlaj podczas &uruchamiania" that keeps it
// coming at start. The caller owns the window and shows it modally:
//
//     TTipForm tip(owner);
//     Ui().ShowModal(tip);            // mrOk when closed
//
// A caller that must not touch StartupTip (the settings window) hides
// PokazujOpcja before showing it. Closing with PokazujOpcja shown and cleared
// writes StartupTip = 0 for the current account; nothing else is written.
// Keys: Enter presses NastepnaPrzycisk, Esc ZamknijPrzycisk, F1 PomocPrzycisk.
class TTipForm final : public TDialogForm {
    Q_OBJECT
public:
    explicit TTipForm(QWidget* parent = nullptr, RandomIndex random = &ClockRandomIndex);

    void done(int result) override;
    void reject() override;

    // Components.
    QFrame* GlownyPanel = nullptr;
    QLabel* ChmuryObraz = nullptr;
    QLabel* PomyslObraz = nullptr;
    QLabel* PoradaEtykieta = nullptr;
    QLabel* PoradyEtykieta = nullptr;
    QCheckBox* PokazujOpcja = nullptr;
    QPushButton* ZamknijPrzycisk = nullptr;
    QPushButton* NastepnaPrzycisk = nullptr;
    QPushButton* PomocPrzycisk = nullptr;
    QTimer* Zegarek = nullptr;

    // Whether the light bulb shows "TIP_ON" now.
    bool BulbOn() const { return m_bulbOn; }

protected:
    void helpRequested() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowNextTip();
    void NastepnaPrzyciskClick();
    void ZamknijPrzyciskClick();
    void PomocPrzyciskClick();
    void ZegarekTimer();

    TipOrder m_order;
    bool m_bulbOn = true;
};

} // namespace orbita
