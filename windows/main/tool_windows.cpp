#include "windows/main/tool_windows.h"

#include "core/settings.h"
#include "platform/qt_text.h"
#include "platform/ui_services.h"
#include "platform/window_services.h"
#include "windows/dialogs/about_form.h"
#include "windows/dialogs/choice_form.h"
#include "windows/dialogs/help_topic.h"
#include "windows/dialogs/quit_form.h"
#include "windows/dialogs/tip_form.h"
#include "windows/element/element_form.h"
#include "windows/element/find_form.h"
#include "windows/main/main_commands.h"

#include <QAction>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <string>

namespace orbita {
namespace {

void reportToolFailure(QWidget* owner, const QString& target)
{
    Ui().ShowMessage(owner, QStringLiteral("Orbita"),
        QStringLiteral("Nie można uruchomić programu lub otworzyć pliku „%1”.").arg(target),
        MessageIcon::Error, MessageButtons::Ok);
}

} // namespace

void ToolWindows::OpenElement(QWidget* owner, int element)
{
    TElementForm::Insert(element, owner);
}
std::optional<int> ToolWindows::ChooseElement(QWidget* owner)
{
    return TChoiceForm::ChooseElement(owner);
}
void ToolWindows::ShowHelp(QWidget* owner, const QString& topic)
{
    OpenHelpTopic(owner, topic);
}
void ToolWindows::OpenFind(QWidget* owner)
{
    TFindForm::ShowFind(owner);
}
void ToolWindows::OpenUpdate(QWidget*)
{
}
void ToolWindows::OpenSettings(QWidget*)
{
}
void ToolWindows::OpenTables(QWidget*)
{
}
void ToolWindows::OpenTest(QWidget*)
{
}
void ToolWindows::OpenDictionary(QWidget*)
{
}
void ToolWindows::OpenUnits(QWidget*)
{
}
void ToolWindows::ShowAbout(QWidget* owner)
{
    TAboutForm::PokazInformacje(false, owner);
}
void ToolWindows::ShowTip(QWidget* owner)
{
    TTipForm tip(owner);
    Ui().ShowModal(tip);
}
bool ToolWindows::ConfirmQuit(QWidget* owner)
{
    TQuitForm prompt(owner);
    return Ui().ShowModal(prompt) == mrYes;
}

void ToolWindows::RunTool(QWidget* owner, const QString& target)
{
    const QString trimmed = target.trimmed();
    if (trimmed.isEmpty()) {
        reportToolFailure(owner, target);
        return;
    }
    const QUrl url(trimmed);
    if (url.isValid() && url.scheme().size() > 1) { // "C:" is not an address
        if (!QDesktopServices::openUrl(url))
            reportToolFailure(owner, target);
        return;
    }
    const QString path = QString(trimmed).replace(u'\\', u'/');
    const QFileInfo file(path);
    if (file.exists()) {
        const bool started = file.isFile() && file.isExecutable()
            ? QProcess::startDetached(file.absoluteFilePath(), {}, file.absolutePath())
            : QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
        if (!started)
            reportToolFailure(owner, target);
        return;
    }
    // A command line: the program found on PATH, with its arguments.
    QStringList arguments = QProcess::splitCommand(trimmed);
    const QString program
        = arguments.isEmpty() ? QString() : QStandardPaths::findExecutable(arguments.takeFirst());
    if (program.isEmpty() || !QProcess::startDetached(program, arguments))
        reportToolFailure(owner, target);
}

ToolWindows& ProgramToolWindows()
{
    static ToolWindows windows;
    return windows;
}

void RebuildToolsMenu(QMenu& menu, QWidget* owner, ToolWindows& windows)
{
    menu.clear();
    for (const std::string& name : ToolCaptions()) {
        QAction* item = menu.addAction(FromCp1250(name));
        QObject::connect(item, &QAction::triggered, &menu, [owner, name, &windows] {
            const std::string target = ReadToolCommand(name);
            windows.RunTool(owner, FromCp1250(target));
        });
    }
    if (menu.actions().isEmpty())
        menu.addAction(QStringLiteral("Brak"))->setEnabled(false);
    for (int position = 0; position < menu.actions().size(); ++position)
        SetMenuItemImage(QStringLiteral("M_PROGRAM"), menu, position);
}

} // namespace orbita

namespace orbita {

int VirtualKeyOf(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return vk::Return;
    case Qt::Key_Escape:
        return vk::Escape;
    default:
        if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
            return vk::F1 + (qtKey - Qt::Key_F1);
        if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
            return qtKey; // 'A'..'Z'
        return 0;
    }
}

std::string SendStartNotification()
{
    return StartNotificationAddress(kProgramSite);
}

} // namespace orbita
