#include "platform/fonts.h"
#include "platform/localization.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    // Fontconfig reads its configuration at the first font use, so the
    // program's own configuration is chosen before the application exists.
    orbita::PrepareFontConfiguration();
    QApplication app(argc, argv);
    orbita::InstallFontSubstitutions();
    orbita::LoadPolishTranslations(app);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Orbita"));
    window.show();
    return app.exec();
}
