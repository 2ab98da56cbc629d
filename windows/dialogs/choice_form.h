#pragma once

#include "widgets/dialog_form.h"
#include "windows/window_opener.h"

#include <optional>

class QComboBox;
class QLabel;
class QPushButton;

namespace orbita {

// "Wybór pierwiastka": asks for an atomic number so that the element window
// can be opened without the periodic table. Ends with mrOk (OkPrzycisk,
// Enter) or mrCancel (AnulujPrzycisk, Esc). Opening selects the number
// stored as LastChoice in the profile key ("1" when none is stored, nothing
// when the stored number is not an element); closing, either way, stores the
// selected number there.
class TChoiceForm final : public TDialogForm {
    Q_OBJECT
public:
    explicit TChoiceForm(QWidget* parent = nullptr);

    // The element selected in LiczbyPole, or nothing.
    std::optional<int> SelectedElement() const;

    // The opening call: shows the dialog modally over `owner`; gives the
    // selected element when it ended with mrOk and one is selected.
    static std::optional<int> ChooseElement(QWidget* owner = nullptr);

    // The menu command "&Pokaż pierwiastek": ChooseElement, then the element
    // window on the chosen element (through the window opener).
    static void ShowChosenElement(QWidget* owner = nullptr);

    void done(int result) override;

protected:
    // F1 opens the help topic of the window under this one.
    void helpRequested() override { ShowHelpFor(this); }
    // Enter anywhere in the dialog acts as OkPrzycisk.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormClose();

    QLabel* LiczbaEtykieta = nullptr;
    QComboBox* LiczbyPole = nullptr;
    QPushButton* OkPrzycisk = nullptr;
    QPushButton* AnulujPrzycisk = nullptr;
};

} // namespace orbita
