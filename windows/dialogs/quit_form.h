#pragma once

#include "widgets/dialog_form.h"
#include "windows/window_opener.h"

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

namespace orbita {

// The quit prompt "Zakończ": asks whether to end the program. The caller owns
// the window, shows it modally and lets the program close only on mrYes:
//
//     TQuitForm prompt(owner);
//     if (Ui().ShowModal(prompt) == mrYes) ...
//
// "&Tak" answers mrYes and, when "&Zawsze pytaj przed zamknięciem" is
// cleared, writes ExitPrompt = 0 for the current account; "&Nie" answers mrNo
// and writes nothing. Keys: Enter presses TakPrzycisk, Esc NiePrzycisk.
class TQuitForm final : public TDialogForm {
    Q_OBJECT
public:
    explicit TQuitForm(QWidget* parent = nullptr);

    void reject() override;

    // Components.
    QFrame* ZakonczPanel = nullptr;
    QLabel* ZakonczEtykieta = nullptr;
    QCheckBox* PytajOpcja = nullptr;
    QPushButton* TakPrzycisk = nullptr;
    QPushButton* NiePrzycisk = nullptr;

protected:
    // F1 opens the help topic of the window under this one.
    void helpRequested() override { ShowHelpFor(this); }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TakPrzyciskClick();
    void NiePrzyciskClick();
};

} // namespace orbita
