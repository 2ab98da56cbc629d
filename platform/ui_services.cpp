#include "platform/ui_services.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QMessageBox>
#include <QProcess>
#include <QShortcut>
#include <QStandardPaths>

namespace orbita {
namespace {

UiServices* g_services = nullptr;
QString g_lastFolder; // of the last file chosen in a file dialog during this run

// Qt's file list writes sizes and dates in the system's language: this puts
// them in Polish, whatever the system's.
class PolishFileList final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || files == nullptr || !index.isValid())
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        const QLocale polish(QLocale::Polish, QLocale::Poland);
        switch (index.column()) {
        case 1:
            return files->isDir(source) ? QIdentityProxyModel::data(index, role)
                                        : QVariant(polish.formattedDataSize(files->size(source)));
        case 3:
            return polish.toString(files->lastModified(source), QLocale::ShortFormat);
        default:
            return QIdentityProxyModel::data(index, role);
        }
    }
};

// Runs Qt's own file dialog (not the desktop's, whose language is the
// desktop's) with Polish sizes and dates; empty when cancelled.
QString runFileDialog(QWidget* owner, const QString& title, const QString& start, const QString& filter,
    QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(owner, title, start, filter);
    dialog.setObjectName(QStringLiteral("FileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setLocale(QLocale(QLocale::Polish, QLocale::Poland));
    dialog.setProxyModel(new PolishFileList(&dialog));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString file = dialog.selectedFiles().constFirst();
    RememberFileDialogChoice(file);
    return file;
}

QMessageBox::Icon qtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::None:
        return QMessageBox::NoIcon;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

} // namespace

UiServices& Ui()
{
    static QtUiServices qtServices;
    return g_services ? *g_services : qtServices;
}

void SetUiServices(UiServices* services)
{
    g_services = services;
}

int QtUiServices::ShowMessage(
    QWidget* owner, const QString& caption, const QString& text, MessageIcon icon, MessageButtons buttons)
{
    QMessageBox box(qtIcon(icon), caption, text, QMessageBox::NoButton, owner);
    // Ctrl+C copies the caption and the text, so that a message can be pasted
    // into a question to the teacher (Qt does this only on some systems).
    auto* copy = new QShortcut(QKeySequence::Copy, &box);
    QObject::connect(copy, &QShortcut::activated, &box, [&box] {
        const QString line = QStringLiteral("---------------------------\n");
        QGuiApplication::clipboard()->setText(
            line + box.windowTitle() + u'\n' + line + box.text() + u'\n' + line);
    });
    // Polish texts regardless of which Qt translation is loaded.
    const auto add = [&box](QMessageBox::StandardButton button, const QString& label) {
        box.addButton(button);
        box.button(button)->setText(label);
    };
    switch (buttons) {
    case MessageButtons::Ok:
        add(QMessageBox::Ok, QStringLiteral("OK"));
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case MessageButtons::OkCancel:
        add(QMessageBox::Ok, QStringLiteral("OK"));
        add(QMessageBox::Cancel, QStringLiteral("Anuluj"));
        break;
    case MessageButtons::YesNo:
        add(QMessageBox::Yes, QStringLiteral("&Tak"));
        add(QMessageBox::No, QStringLiteral("&Nie"));
        break;
    case MessageButtons::YesNoDefaultNo:
        add(QMessageBox::Yes, QStringLiteral("&Tak"));
        add(QMessageBox::No, QStringLiteral("&Nie"));
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        break;
    case MessageButtons::YesNoCancel:
        add(QMessageBox::Yes, QStringLiteral("&Tak"));
        add(QMessageBox::No, QStringLiteral("&Nie"));
        add(QMessageBox::Cancel, QStringLiteral("Anuluj"));
        break;
    }
    box.exec();
    auto* clicked = box.clickedButton();
    switch (clicked ? box.standardButton(clicked) : QMessageBox::NoButton) {
    case QMessageBox::Ok:
        return mrOk;
    case QMessageBox::Yes:
        return mrYes;
    case QMessageBox::No:
        return mrNo;
    default:
        return mrCancel;
    }
}

QString FileDialogFolder()
{
    if (!g_lastFolder.isEmpty() && QFileInfo(g_lastFolder).isDir())
        return g_lastFolder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return documents;
    return QDir::homePath();
}

void RememberFileDialogChoice(const QString& file)
{
    if (!file.isEmpty())
        g_lastFolder = QFileInfo(file).absolutePath();
}

QString SaveDialogStart(const QString& suggested, const QString& folder)
{
    if (!suggested.isEmpty() && QDir::isAbsolutePath(suggested))
        return suggested;
    return suggested.isEmpty() ? folder : QDir(folder).filePath(suggested);
}

QString QtUiServices::OpenFileName(
    QWidget* owner, const QString& title, const QString& folder, const QString& filter)
{
    return runFileDialog(
        owner, title, folder.isEmpty() ? FileDialogFolder() : folder, filter, QFileDialog::AcceptOpen);
}

QString QtUiServices::SaveFileName(
    QWidget* owner, const QString& title, const QString& suggested, const QString& filter)
{
    return runFileDialog(
        owner, title, SaveDialogStart(suggested, FileDialogFolder()), filter, QFileDialog::AcceptSave);
}

std::optional<QColor> QtUiServices::ChooseColor(QWidget* owner, const QColor& initial)
{
    const QColor color = QColorDialog::getColor(initial, owner);
    if (!color.isValid())
        return std::nullopt;
    return color;
}

QString QtUiServices::ChooseFolder(QWidget* owner, const QString& title)
{
    return QFileDialog::getExistingDirectory(owner, title, QString(), QFileDialog::ShowDirsOnly);
}

int QtUiServices::ShowModal(QDialog& dialog)
{
    return dialog.exec();
}

bool QtUiServices::StartDetached(const QString& program, const QStringList& arguments, const QString& folder)
{
    return QProcess::startDetached(program, arguments, folder);
}

void QtUiServices::QuitApplication()
{
    QCoreApplication::quit();
}

} // namespace orbita
