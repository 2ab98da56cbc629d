#pragma once

#include "windows/main/main_form_base.h"
#include "windows/setup/install_form.h"

#include <string>

class QLabel;
class QPushButton;
class QRadioButton;

namespace orbita {

// The uninstaller: the choice between removing only the program's own files
// and removing everything, a confirmation, and the hand-over to a copy of
// the executable named REMOVEME in the private temporary folder, started
// with /SLIM or /FULL (a running program cannot be relied on to remove
// itself cleanly). A copy that cannot be made or started is reported and the
// window stays open; otherwise the window closes, which ends the process.
class TUninstallForm final : public TMainFormBase {
    Q_OBJECT
public:
    explicit TUninstallForm(QWidget* parent = nullptr);
    // `executable`: the program to copy; `temporaryFolder`: where the copy
    // goes (with a trailing "/").
    TUninstallForm(std::string executable, std::string temporaryFolder, ProgramStarter starter,
        QWidget* parent = nullptr);

    QLabel* OpisEtykieta = nullptr;
    QRadioButton* CzesciowaOpcja = nullptr;
    QLabel* CzesciowaEtykieta = nullptr;
    QRadioButton* PelnaOpcja = nullptr;
    QLabel* PelnaEtykieta = nullptr;
    QLabel* AdresEtykieta = nullptr;
    QPushButton* OdinstalujPrzycisk = nullptr;
    QPushButton* PomocPrzycisk = nullptr;
    QPushButton* AnulujPrzycisk = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void uninstall();

    std::string m_executable;
    std::string m_temporaryFolder;
    ProgramStarter m_starter;
};

} // namespace orbita
