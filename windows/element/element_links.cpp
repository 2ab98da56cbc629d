#include "windows/element/element_links.h"

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

} // namespace orbita
