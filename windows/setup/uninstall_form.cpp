#include "windows/setup/uninstall_form.h"

namespace orbita {

TUninstallForm::TUninstallForm(QWidget* parent)
    : SimpleMainWindow(QStringLiteral("UninstallForm"), QStringLiteral("Odinstalowanie programu Orbita"),
        QStringLiteral("Deinstalator programu nie jest jeszcze dostępny w tej wersji."),
        QStringLiteral("O_USUN"), parent)
{
    resize(480, 320);
}

} // namespace orbita
