#include "windows/main/menu_form.h"

namespace orbita {

TMenuForm::TMenuForm(QWidget* parent)
    : SimpleMainWindow(QStringLiteral("MenuForm"), QStringLiteral("Orbita"),
        QStringLiteral("Tryb uproszczony: lista narzędzi programu pojawi się tutaj."), parent)
{
    resize(420, 360);
}

} // namespace orbita
