// orbita-skin-preview: shows a skin alone, for looking at it on a real
// desktop. Without arguments the built-in skin; with a package name the
// package of that name in KARNACJE of the program folder. Hot-area and slider
// events are printed; a click on BUTTON_QUIT or BUTTON_QUICKQUIT ends it.

#include "skin/skin_form.h"

#include <QApplication>
#include <QDateTime>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    orbita::TSkinForm skin;
    QObject::connect(&skin, &orbita::TSkinForm::OnMouseUpNotify, &skin,
        [&app](const QString& id, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
            std::printf("up %s at %d,%d\n", qUtf8Printable(id), x, y);
            std::fflush(stdout);
            if (id == QStringLiteral("BUTTON_QUIT") || id == QStringLiteral("BUTTON_QUICKQUIT"))
                app.quit();
        });
    QObject::connect(&skin, &orbita::TSkinForm::OnTrackBarNotify, &skin, [](const QString& id, int position) {
        std::printf("slider %s %d\n", qUtf8Printable(id), position);
        std::fflush(stdout);
    });
    const bool package = argc > 1 && skin.LoadSkinPackage(argv[1]);
    if (argc <= 1)
        skin.LoadBuiltinSkin();
    std::printf("%s skin %dx%d\n", package ? "package" : "built-in", skin.width(), skin.height());
    std::fflush(stdout);
    const QString now = QDateTime::fromString(QStringLiteral("2026-12-07T04:30:55"), Qt::ISODate)
                            .toString(QStringLiteral("HH:mm:ss yyyy-MM-dd"));
    skin.SetAreaText(QStringLiteral("TIMETEXT"), now);
    skin.SetAreaText(QStringLiteral("LOGOTEXT"), QStringLiteral("Orbita 3.5.1"));
    skin.move(40, 40);
    skin.show();
    const int result = app.exec();
    skin.RemoveSkinFolder();
    return result;
}
