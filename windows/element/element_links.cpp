#include "windows/element/element_links.h"

#include "platform/qt_text.h"
#include "platform/shell_services.h"

#include <QFileInfo>
#include <utility>

namespace orbita {
namespace {

ElementOpener& elementOpener()
{
    static ElementOpener opener;
    return opener;
}

HelpOpener& helpOpener()
{
    static HelpOpener opener;
    return opener;
}

} // namespace

void SetElementOpener(ElementOpener opener)
{
    elementOpener() = std::move(opener);
}

void SetHelpOpener(HelpOpener opener)
{
    helpOpener() = std::move(opener);
}

// The openers are called through copies, so that the window opened may set
// others meanwhile.
void OpenElementWindow(QWidget* owner, int element)
{
    const ElementOpener opener = elementOpener();
    if (opener)
        opener(owner, element);
}

void OpenHelpTopic(QWidget* owner, const QString& topic)
{
    const HelpOpener opener = helpOpener();
    if (opener)
        opener(owner, topic);
}

std::string ContentArchivePath()
{
    const QString base = QFileInfo(FromPath(ExecutablePath())).completeBaseName().toUpper();
    return ProgramFolder() + ToPath(base) + ".DAT";
}

} // namespace orbita
