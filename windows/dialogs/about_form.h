#pragma once

#include "widgets/dialog_form.h"
#include "windows/window_opener.h"

class QLabel;
class QPushButton;
class QStackedWidget;
class QTimer;

namespace orbita {

// The about box "Informacje o programie": the program's name and version with
// the number of program starts (page "Informacje"), and a contact page
// leading to the program's web site (page "Korespondencja"). NapiszPrzycisk
// switches between them.
class TAboutForm final : public TDialogForm {
    Q_OBJECT
public:
    // The notebook's pages.
    enum Page { InformacjePage = 0, KorespondencjaPage = 1 };

    // Creates the box, shows the information page (mode false) or the contact
    // page (mode true) and shows the box modally; the box is freed when it
    // closes. Gives the modal result (mrOk from "&Zamknij", mrCancel on Esc).
    static int PokazInformacje(bool mode, QWidget* owner = nullptr);

    explicit TAboutForm(QWidget* parent = nullptr);

    // Components.
    QStackedWidget* Notebook = nullptr;
    QLabel* MainImage = nullptr;
    QLabel* ProgramCaption = nullptr;
    QLabel* PrawaEtykieta = nullptr;
    QLabel* WersjaEtykieta = nullptr;
    QLabel* UrlCaption = nullptr;
    QLabel* AutorObraz = nullptr;
    QLabel* KontaktEtykieta = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* InformacjeEtykieta = nullptr;
    QPushButton* NapiszPrzycisk = nullptr;
    QPushButton* ThnxButton = nullptr;
    QPushButton* CloseButton = nullptr;
    QTimer* BlinkTimer = nullptr;

    // Shows the other page (also run once by PokazInformacje).
    void NapiszPrzyciskClick();

protected:
    // F1 opens the help topic of the window under this one.
    void helpRequested() override { ShowHelpFor(this); }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ThnxButtonClick();
    void CloseButtonClick();
    void BlinkTimerTimer();
};

} // namespace orbita
