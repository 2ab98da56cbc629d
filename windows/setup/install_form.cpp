#include "windows/setup/install_form.h"

namespace orbita {

TInstallForm::TInstallForm(QWidget* parent)
    : SimpleMainWindow(QStringLiteral("InstallForm"), QStringLiteral("Instalacja programu Orbita"),
        QStringLiteral("Instalator programu nie jest jeszcze dostępny w tej wersji. "
                       "Program można uruchomić bezpośrednio z folderu, w którym został zbudowany."),
        QStringLiteral("O_INST"), parent)
{
    resize(480, 320);
}

} // namespace orbita
