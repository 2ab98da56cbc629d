#include "windows/element/element_links.h"

#include <utility>

namespace orbita {
namespace {

ElementOpener& elementOpener()
{
    static ElementOpener opener;
    return opener;
}

} // namespace

void SetElementOpener(ElementOpener opener)
{
    elementOpener() = std::move(opener);
}

// The opener is called through a copy, so that the window opened may set
// another meanwhile.
void OpenElementWindow(QWidget* owner, int element)
{
    const ElementOpener opener = elementOpener();
    if (opener)
        opener(owner, element);
}

} // namespace orbita
