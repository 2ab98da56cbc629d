#pragma once

#include "widgets/dialog_form.h"
#include "windows/settings/settings_logic.h"

#include <QString>
#include <QStringList>
#include <array>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTreeWidget;

namespace orbita {

// The settings window "Ustawienia": a tree of eight pages that edit the
// current account's profile (settings_logic.h holds the values, the changed
// marks and the confirmation). Fixed size, modal; OK writes only what the
// user changed, Cancel nothing but the selected page. Keys: Enter presses OK
// while it is enabled, Esc Cancel, F1 the help topic O_USTAWN.
class TSettingsForm final : public TDialogForm {
    Q_OBJECT

public:
    // `integration`: the desktop integration of the Integracja page (the
    // platform's when null).
    explicit TSettingsForm(QWidget* parent = nullptr, DesktopIntegration* integration = nullptr);
    ~TSettingsForm() override;
    Q_DISABLE_COPY_MOVE(TSettingsForm)

    // The opening call of the main and launcher windows.
    static void ShowSettings(QWidget* owner = nullptr);

    // Selects the tree node `index` (0..7) and shows its page.
    void SetupTab(int index);
    int SelectedTab() const;
    const SettingsModel& Model() const { return *m_model; }

    // The filters of the file dialogs, matching the extension in any letter case.
    static QString PictureFilter();
    static QString SoundFilter();
    static QString ProgramFilter();

    void done(int result) override;

    // Components.
    QLabel* UzytkownikEtykieta = nullptr;
    QTreeWidget* Drzewko = nullptr;
    QLabel* OpcjaEtykieta = nullptr;
    QStackedWidget* Notebook = nullptr;
    QPushButton* DefaultButton = nullptr;
    QPushButton* ConfirmButton = nullptr;
    QPushButton* HelpButton = nullptr;
    QPushButton* CancelButton = nullptr;
    // Program
    QRadioButton* StandardBox = nullptr;
    QRadioButton* CompactBox = nullptr;
    QLabel* StandardCaption = nullptr;
    QLabel* CompactCaption = nullptr;
    // Glowne
    QCheckBox* PlacementBox = nullptr;
    QCheckBox* PromptBox = nullptr;
    QCheckBox* HintBox = nullptr;
    QCheckBox* TipBox = nullptr;
    QPushButton* TipButton = nullptr;
    QCheckBox* BgBox = nullptr;
    QLineEdit* BgPathBox = nullptr;
    QPushButton* BrowseBgButton = nullptr;
    // Integracja
    QCheckBox* GroupBox = nullptr;
    QCheckBox* DesktopBox = nullptr;
    QCheckBox* MenuBox = nullptr;
    // Dzwieki
    QCheckBox* SoundsBox = nullptr;
    QLineEdit* IntroSndBox = nullptr;
    QLineEdit* OpenSndBox = nullptr;
    QLineEdit* CloseSndBox = nullptr;
    QPushButton* IntroBrowseButton = nullptr;
    QPushButton* OpenBrowseButton = nullptr;
    QPushButton* CloseBrowseButton = nullptr;
    QPushButton* IntroPlayButton = nullptr;
    QPushButton* OpenPlayButton = nullptr;
    QPushButton* ClosePlayButton = nullptr;
    // Karnacje
    QStackedWidget* KarnacjeTablica = nullptr;
    QCheckBox* SkinBox = nullptr;
    QListWidget* SkinList = nullptr;
    QPushButton* InformacjePrzycisk = nullptr;
    QLabel* BrakEtykieta = nullptr;
    // Narzedzia
    QTreeWidget* ToolsList = nullptr;
    QLineEdit* ToolName = nullptr;
    QLineEdit* ToolPath = nullptr;
    QPushButton* BrowseButton = nullptr;
    QPushButton* AddToolButton = nullptr;
    QPushButton* DeleteToolButton = nullptr;
    // Konta
    QStackedWidget* KontaTablica = nullptr;
    QLineEdit* PasswordBox = nullptr;
    QLineEdit* ConfirmBox = nullptr;
    QListWidget* UserList = nullptr;
    QLineEdit* NewAccount = nullptr;
    QPushButton* AddUserButton = nullptr;
    QPushButton* DeleteUserButton = nullptr;
    QLineEdit* RootPassword = nullptr;
    QLineEdit* ConfirmRoot = nullptr;
    // Kopia
    QRadioButton* CopyBox = nullptr;
    QRadioButton* RestoreBox = nullptr;
    QLabel* CopyCaption = nullptr;
    QLabel* RestoreCaption = nullptr;
    QPushButton* BackupButton = nullptr;

protected:
    void helpRequested() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* makeProgramPage();
    QWidget* makeGlownePage();
    QWidget* makeIntegracjaPage();
    QWidget* makeDzwiekiPage();
    QWidget* makeKarnacjePage();
    QWidget* makeNarzedziaPage();
    QWidget* makeKontaPage();
    QWidget* makeKopiaPage();
    void wire();

    // Shows the model's values in every control (no mark is set by this).
    // Which box shows which setting: the same table fills the boxes and
    // marks the changes made in them.
    template <typename Box> struct BoxOf {
        Box* box;
        SettingsField field;
    };
    std::array<BoxOf<QCheckBox>, 10> checkBoxes() const;
    std::array<BoxOf<QLineEdit>, 4> editBoxes() const;
    void showValues();
    void showTools();
    void showAccounts();
    void showBackupChoice();
    void updateButtons();

    void DrzewkoChange();
    void ConfirmButtonClick();
    void DefaultButtonClick();
    void TipButtonClick();
    void BrowseBgButtonClick();
    void browseSound(SettingsField field, QLineEdit* box);
    void playSound(QLineEdit* box);
    void SkinListClick();
    void InformacjePrzyciskClick();
    void BrowseButtonClick();
    void AddToolButtonClick();
    void DeleteToolButtonClick();
    void AddUserButtonClick();
    void DeleteUserButtonClick();
    void passwordEdited();
    void BackupButtonClick();

    // Puts a chosen file into `box` and marks it, or refuses a path the
    // store cannot hold.
    bool acceptChosenPath(const QString& path, SettingsField field, QLineEdit* box);
    void showMessage(const AccountMessage& message);

    std::unique_ptr<DesktopIntegration> m_ownIntegration;
    std::unique_ptr<SettingsModel> m_model;
    QStringList m_skinLines; // the selected skin's README.TXT
};

} // namespace orbita
