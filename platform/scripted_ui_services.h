#pragma once

#include "platform/ui_services.h"

#include <deque>
#include <functional>
#include <variant>
#include <vector>

namespace orbita {

// UI services for tests: every request is answered from a script written in
// advance and recorded for assertions. A request that the script does not
// expect (empty script, or the next answer is of another kind) is recorded
// as unexpected and answered with mrCancel, an empty name or no colour; the
// script is left as it was.
//
//     ScriptedUiServices ui;          // installs itself, restores on destruction
//     ui.answerMessage(mrYes);
//     window.DeleteButtonClick();
//     EXPECT_TRUE(ui.finished());
//     EXPECT_EQ(ui.requests().at(0).caption, u"Usuwanie konta");
class ScriptedUiServices final : public UiServices {
public:
    enum class Kind { Message, OpenFile, SaveFile, Color, Folder, Modal, Print, Start, Quit };

    struct Request {
        Kind kind = Kind::Message;
        QString caption; // message caption, dialog title, the modal window's title, the print job's title, or
                         // the started program
        QString text; // message text, folder or suggested name, the modal window's objectName, the PDF
                      // printed to, or the start folder
        QStringList arguments; // of a started program
        QString filter; // file dialogs
        MessageIcon icon = MessageIcon::None;
        MessageButtons buttons = MessageButtons::Ok;
        QColor initialColor;
        QPageLayout::Orientation orientation = QPageLayout::Portrait; // of a print job
        bool unexpected = false;
    };

    // Drives a modal window (it is shown, not run in a nested loop) and gives
    // the modal result. When the window is still visible afterwards it is
    // closed with that result through QDialog::done.
    using ModalDriver = std::function<int(QDialog&)>;

    explicit ScriptedUiServices(bool install = true);
    ~ScriptedUiServices() override;
    Q_DISABLE_COPY_MOVE(ScriptedUiServices)

    void answerMessage(int result);
    void answerOpenFile(const QString& fileName);
    void answerSaveFile(const QString& fileName);
    void answerColor(std::optional<QColor> color);
    void answerFolder(const QString& folder);
    void answerModal(ModalDriver driver);
    // The next Print renders its job into a PDF file at `pdfPath` (A4, the
    // job's orientation) and gives true; an empty path cancels it (false).
    void answerPrint(const QString& pdfPath);
    // Whether the next StartDetached "starts" its program (nothing is ever run).
    void answerStart(bool started);

    const std::vector<Request>& requests() const { return m_requests; }
    int unexpectedCount() const;
    // True when every scripted answer was used and nothing unexpected was asked.
    bool finished() const { return m_script.empty() && unexpectedCount() == 0; }

    int ShowMessage(QWidget* owner, const QString& caption, const QString& text, MessageIcon icon,
        MessageButtons buttons) override;
    QString OpenFileName(
        QWidget* owner, const QString& title, const QString& folder, const QString& filter) override;
    QString SaveFileName(
        QWidget* owner, const QString& title, const QString& suggested, const QString& filter) override;
    std::optional<QColor> ChooseColor(QWidget* owner, const QColor& initial) override;
    QString ChooseFolder(QWidget* owner, const QString& title) override;
    int ShowModal(QDialog& dialog) override;
    bool Print(QWidget* owner, const PrintJob& job) override;
    bool StartDetached(const QString& program, const QStringList& arguments, const QString& folder) override;
    // Recorded (needs no answer); the application is not asked to end.
    void QuitApplication() override;

private:
    struct Answer {
        Kind kind;
        std::variant<int, QString, std::optional<QColor>, ModalDriver, bool> value;
    };

    // The next answer when it is of `kind` (removed from the script), else
    // nothing; records the request either way.
    std::optional<Answer> take(Request request);

    std::deque<Answer> m_script;
    std::vector<Request> m_requests;
    bool m_installed = false;
};

} // namespace orbita
