#pragma once

#include "widgets/dialog_form.h"
#include "windows/update/update_lists.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QProgressBar;
class QStackedWidget;
class QToolButton;

namespace orbita {

class THTTPGet;

// "Centrum aktualizacji": checks the update service for a newer version and
// downloads its setup package, and downloads skin and test packages into
// KARNACJE/ and TESTY/ (the per-user data folder when the program folder
// cannot be written). Three pages: Wybor (the three actions), Postep (a
// transfer runs; the close button reads "&Przerwij" and cancels it, and the
// window cannot be closed) and Skladnik (the check list of packages).
//
// Every transfer goes through one THTTPGet (HttpGetFile) into a private
// temporary file (ORBLIST.TMP for answers, ORBFILE.TMP for downloads); a
// downloaded package is moved into place without replacing an existing file,
// and every failure is reported: the success message follows only when every
// selected package was stored. The setup package is started only when the
// service gave its SHA-256 digest and the file matches it.
//
// Keys: Esc clicks the close button; on the Skladnik page Ctrl+A, Ctrl+U and
// Ctrl+G run the list menu's commands; F1 opens help "O_CENTRM".
class TUpdateForm final : public TDialogForm {
    Q_OBJECT
public:
    explicit TUpdateForm(QWidget* parent = nullptr);
    ~TUpdateForm() override;

    // The opening call of the main and launcher windows: the window, shown
    // modally over `owner`; returns when it closes.
    static void ShowUpdate(QWidget* owner = nullptr);

    // The program's own version text, compared with the service's; the
    // executable's version marker unless a test sets another.
    std::string OwnVersion;

    void UpdateButtonClick();
    void SkinButtonClick();
    void TestButtonClick();
    void DownloadButtonClick();
    void CancelButtonClick();
    void CloseButtonClick();
    void HelpButtonClick();
    void SelectMenuClick();
    void UnselectMenuClick();
    void RestMenuClick();

    // Closing is refused while a transfer runs (the Postep page is shown).
    void done(int result) override;
    // Esc: clicks the close button (cancels a running transfer).
    void reject() override;

    THTTPGet* HttpGetFile = nullptr;
    QToolButton* HelpButton = nullptr;
    QToolButton* CloseButton = nullptr;
    QStackedWidget* Notebook = nullptr;
    QWidget* Wybor = nullptr;
    QWidget* Postep = nullptr;
    QWidget* Skladnik = nullptr;
    QToolButton* UpdateButton = nullptr;
    QToolButton* SkinButton = nullptr;
    QToolButton* TestButton = nullptr;
    QLabel* WaitCaption = nullptr;
    QLabel* ProgressCaption = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QLabel* PercentCaption = nullptr;
    QLabel* SizeCaption = nullptr;
    QLabel* TotalCaption = nullptr;
    QProgressBar* TotalProgress = nullptr;
    QLabel* GrayCaption = nullptr;
    QListWidget* ListBox = nullptr;
    QLabel* SkladnikiEtykieta = nullptr;
    QToolButton* DownloadButton = nullptr;
    QToolButton* CancelButton = nullptr;
    QMenu* ListMenu = nullptr;
    QAction* SelectMenu = nullptr;
    QAction* UnselectMenu = nullptr;
    QAction* RestMenu = nullptr;

protected:
    void helpRequested() override;
    // Ctrl+U, which the dialog frame offers for appearance: unticks the list.
    void appearanceRequested() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    enum class Purpose { Answer, Package, Setup };

    void fetchList(update::PackageKind kind);
    // One transfer of `address` into the temporary file of its purpose; with
    // WaitThread it returns when the transfer has ended. False when the
    // window went away meanwhile.
    bool fetch(Purpose purpose, const std::string& address, bool binaryData);
    void HttpGetFileProgress(std::int64_t total, std::int64_t received);
    void HttpGetFileDone(std::int64_t size);
    void HttpGetFileError();
    void showConnectionError();
    void showProgress(const QString& caption, bool sizes, bool totals);
    void setTransferring(bool transferring);
    void backToChoice();
    void fillList(const std::string& answer);
    void applyMarks(const std::vector<update::Mark>& marks);
    std::vector<update::Mark> marks() const;
    // Where packages of the current kind go: the program folder's, else the
    // per-user data folder's (created when missing).
    std::string packageFolder() const;
    bool packageOnDisk(const std::string& fileName) const;
    void offerSetup(const update::VersionInfo& info);
    void startSetup(const QString& package);
    std::string answerFile() const;
    std::string downloadFile() const;

    update::PackageKind m_kind = update::PackageKind::Skin;
    Purpose m_purpose = Purpose::Answer;
    std::string m_destination; // where a finished download goes; empty: it stays
    bool m_error = false; // a transfer (or the move after it) failed
    bool m_answered = false; // an answer arrived in ORBLIST.TMP
    bool m_transferring = false;
    bool m_setupStarted = false; // the installer runs: the window has closed
};

} // namespace orbita
