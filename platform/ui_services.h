#pragma once

#include <QColor>
#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QDialog;
class QPrinter;
class QWidget;

namespace orbita {

enum class MessageIcon { None, Information, Warning, Error, Question };
// YesNoDefaultNo: Yes and No with No as the default button, for questions
// that a stray Enter must not answer with Yes.
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, YesNoDefaultNo };

// Modal results keep the numbers of the original system.
constexpr int mrOk = 1;
constexpr int mrCancel = 2;
constexpr int mrYes = 6;
constexpr int mrNo = 7;

// Something a window prints: `render` paints every page of it on the printer
// it is given (already set to `orientation`, its document name `title`),
// starting on the first page and calling newPage() between pages.
struct PrintJob {
    QString title;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    std::function<void(QPrinter&)> render;
};

// The seam through which every window shows message boxes, file, colour and
// folder dialogs, prints and shows a window modally. The program uses the Qt
// implementation; tests install a ScriptedUiServices.
class UiServices {
public:
    virtual ~UiServices() = default;

    // A message box with `caption` as its window title; gives mrOk, mrCancel,
    // mrYes or mrNo.
    virtual int ShowMessage(
        QWidget* owner, const QString& caption, const QString& text, MessageIcon icon, MessageButtons buttons)
        = 0;
    // File dialogs; `filter` in Qt's syntax ("Notatki (*.txt);;Wszystkie pliki (*)").
    // Empty when cancelled.
    virtual QString OpenFileName(
        QWidget* owner, const QString& title, const QString& folder, const QString& filter)
        = 0;
    virtual QString SaveFileName(
        QWidget* owner, const QString& title, const QString& suggested, const QString& filter)
        = 0;
    // Nothing when cancelled.
    virtual std::optional<QColor> ChooseColor(QWidget* owner, const QColor& initial) = 0;
    // A file-system folder, or empty when cancelled.
    virtual QString ChooseFolder(QWidget* owner, const QString& title) = 0;
    // Shows the dialog modally and gives its modal result.
    virtual int ShowModal(QDialog& dialog) = 0;
    // Prints `job` (a preview first, from which it goes to a printer or a
    // PDF file); whether anything was printed or saved.
    virtual bool Print(QWidget* owner, const PrintJob& job) = 0;
    // Starts `program` with `arguments` in `folder`, detached from this
    // process (the installer of a new version); whether it started.
    virtual bool StartDetached(const QString& program, const QStringList& arguments, const QString& folder)
        = 0;
    // Asks the application to end once control is back in its event loop.
    virtual void QuitApplication() = 0;
};

// The services in use: the Qt implementation unless a test has set others.
UiServices& Ui();
// `services` stays owned by the caller; nullptr restores the Qt implementation.
void SetUiServices(UiServices* services);

// Where the program's file dialogs start: the folder last chosen in one of
// them during this run when it still exists, else the user's documents
// folder, else the home folder (never the program folder).
QString FileDialogFolder();
// Remembers the folder of a file chosen in a file dialog.
void RememberFileDialogChoice(const QString& file);
// The file a save dialog offers: a bare or relative suggestion is put in
// `folder`, an absolute one is kept.
QString SaveDialogStart(const QString& suggested, const QString& folder);

// The Qt implementation. Its file dialogs are Qt's own, in Polish throughout:
// the texts come from Qt's Polish catalogue (when installed) and the sizes
// and dates of the files are written the Polish way.
class QtUiServices final : public UiServices {
public:
    int ShowMessage(QWidget* owner, const QString& caption, const QString& text, MessageIcon icon,
        MessageButtons buttons) override;
    QString OpenFileName(
        QWidget* owner, const QString& title, const QString& folder, const QString& filter) override;
    QString SaveFileName(
        QWidget* owner, const QString& title, const QString& suggested, const QString& filter) override;
    std::optional<QColor> ChooseColor(QWidget* owner, const QColor& initial) override;
    QString ChooseFolder(QWidget* owner, const QString& title) override;
    int ShowModal(QDialog& dialog) override;
    // Qt's print preview, with the printer's own print button and a "save as
    // PDF" button of its own that asks for the file through SaveFileName (a
    // PDF can be made where no printer is installed).
    bool Print(QWidget* owner, const PrintJob& job) override;
    bool StartDetached(const QString& program, const QStringList& arguments, const QString& folder) override;
    void QuitApplication() override;
};

} // namespace orbita
