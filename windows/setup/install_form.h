#pragma once

#include "windows/main/main_form_base.h"
#include "windows/setup/install_logic.h"

#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace orbita {

class ThtmlLite;

// Starts a program detached (the installed program, the removal copy); true
// when it was started. The program passes QProcess::startDetached; tests
// record the call and start nothing.
using ProgramStarter = std::function<bool(const QString& program, const QStringList& arguments)>;
ProgramStarter DetachedProgramStarter();

// Where the installer copies from and what it copies with; the program uses
// the folder of the running executable and the desktop's own folders.
struct InstallerSource {
    std::string programFolder; // with a trailing "/"
    std::string executable;
    std::string version; // FileVersionText of the executable
};
InstallerSource RunningProgramSource();

// The installer: a wizard of nine pages (welcome, licence, folder, shortcuts,
// mode, access, ready, progress, done) with the list of steps on the left;
// the main window of the /INSTALL role. The copy runs on the progress page
// without user interaction; a close request while it runs is refused, and
// leaving before the end asks first. The last page says the program was
// installed only when everything was written; otherwise it lists what was
// not. Closing it with UruchomOpcja ticked starts the installed program.
class TInstallForm final : public TMainFormBase {
    Q_OBJECT
public:
    explicit TInstallForm(QWidget* parent = nullptr);
    TInstallForm(InstallerSource source, ProgramStarter starter, QWidget* parent = nullptr);
    ~TInstallForm() override;

    InstallStep Step() const { return m_step; }
    bool Installed() const { return m_installed; }

    // The step labels of the left panel, in step order.
    std::vector<QLabel*> StepLabels;
    QLabel* MailCaption = nullptr;
    QStackedWidget* Pages = nullptr;
    ThtmlLite* ThnxHtml = nullptr;
    QLabel* AdresEtykieta = nullptr;
    ThtmlLite* LicenceHtml = nullptr;
    QCheckBox* UmowaOpcja = nullptr;
    QLineEdit* FolderEdycja = nullptr;
    QLabel* FolderWarnCaption = nullptr;
    QPushButton* FolderPrzycisk = nullptr;
    QPushButton* DomyslnyPrzycisk = nullptr;
    QCheckBox* DesktopBox = nullptr;
    QCheckBox* MenuStartBox = nullptr;
    QRadioButton* StandardBox = nullptr;
    QRadioButton* CompactBox = nullptr;
    QRadioButton* UserBox = nullptr;
    QRadioButton* RootBox = nullptr;
    QWidget* PasswordPanel = nullptr;
    QLineEdit* PasswordBox = nullptr;
    QLineEdit* ConfirmBox = nullptr;
    QProgressBar* PasekPostepu = nullptr;
    QLabel* RunCaption = nullptr;
    ThtmlLite* ZakonczenieHtml = nullptr;
    QLabel* NowosciOdsylacz = nullptr;
    QCheckBox* UruchomOpcja = nullptr;
    QPushButton* PomocPrzycisk = nullptr;
    QPushButton* WsteczPrzycisk = nullptr;
    QPushButton* DalejPrzycisk = nullptr;
    QPushButton* AnulujPrzycisk = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    QWidget* buildPage(const char* name);
    void goForward();
    void goBack();
    void enterStep(InstallStep step);
    void markStep();
    void chooseDefaultFolder();
    void browseFolder();
    void install();
    bool administratorHasPassword() const;
    bool keyPressed(int key, Qt::KeyboardModifiers modifiers);

    InstallerSource m_source;
    ProgramStarter m_starter;
    InstallStep m_step = InstallStep::Welcome;
    bool m_installing = false;
    bool m_installed = false;
    bool m_usable = false;
    std::string m_targetFolder;
};

} // namespace orbita
