#include "windows/program_window_opener.h"

#include "platform/ui_services.h"
#include "windows/dialogs/about_form.h"
#include "windows/dialogs/choice_form.h"
#include "windows/dialogs/quit_form.h"
#include "windows/dialogs/tip_form.h"
#include "windows/element/element_form.h"
#include "windows/element/find_form.h"
#include "windows/molar/molar_form.h"
#include "windows/properties/property_table_form.h"
#include "windows/reference/dict_form.h"
#include "windows/reference/help_form.h"
#include "windows/reference/tables_form.h"
#include "windows/settings/settings_form.h"
#include "windows/test/test_form.h"
#include "windows/units/units_form.h"
#include "windows/update/update_form.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace orbita {
namespace {

void reportToolFailure(QWidget* owner, const QString& target)
{
    Ui().ShowMessage(owner, QStringLiteral("Orbita"),
        QStringLiteral("Nie można uruchomić programu lub otworzyć pliku „%1”.").arg(target),
        MessageIcon::Error, MessageButtons::Ok);
}

} // namespace

void ProgramWindowOpener::ShowHelp(QWidget* owner, const QString& topic)
{
    THelpForm::ShowHelp(topic, owner);
}

void ProgramWindowOpener::OpenElement(QWidget* owner, int number)
{
    TElementForm::Insert(number, owner);
}

std::optional<int> ProgramWindowOpener::ChooseElement(QWidget* owner)
{
    return TChoiceForm::ChooseElement(owner);
}

void ProgramWindowOpener::OpenFind(QWidget* owner)
{
    TFindForm::ShowFind(owner);
}

void ProgramWindowOpener::OpenDictionary(QWidget* owner)
{
    TDictForm::ShowDictionary(owner);
}

void ProgramWindowOpener::OpenTables(QWidget* owner)
{
    TTablesForm::ShowTables(owner);
}

void ProgramWindowOpener::OpenTest(QWidget* owner)
{
    TTestForm::ShowTest(owner);
}

void ProgramWindowOpener::OpenUnits(QWidget* owner)
{
    TUnitsForm::ShowUnits(owner);
}

void ProgramWindowOpener::OpenMolarMass(QWidget* owner)
{
    TMolarForm::ShowMolarMass(owner);
}

void ProgramWindowOpener::OpenPropertyTable(QWidget* owner)
{
    TPropertyTableForm::ShowPropertyTable(owner);
}

void ProgramWindowOpener::OpenSettings(QWidget* owner)
{
    TSettingsForm::ShowSettings(owner);
}

void ProgramWindowOpener::OpenUpdate(QWidget* owner)
{
    TUpdateForm::ShowUpdate(owner);
}

void ProgramWindowOpener::ShowAbout(QWidget* owner, AboutPage page)
{
    TAboutForm::PokazInformacje(page == AboutPage::Contact, owner);
}

void ProgramWindowOpener::ShowTip(QWidget* owner, TipStartupBox box)
{
    TTipForm tip(owner);
    tip.PokazujOpcja->setHidden(box == TipStartupBox::Hidden);
    Ui().ShowModal(tip);
}

bool ProgramWindowOpener::ConfirmQuit(QWidget* owner)
{
    TQuitForm prompt(owner);
    return Ui().ShowModal(prompt) == mrYes;
}

void ProgramWindowOpener::RunTool(QWidget* owner, const QString& target)
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

} // namespace orbita
