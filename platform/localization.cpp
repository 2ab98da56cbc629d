#include "platform/localization.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace orbita {

bool LoadPolishTranslations(QCoreApplication& app)
{
    auto* translator = new QTranslator(&app);
    translator->setObjectName(QStringLiteral("orbita-qtbase-pl"));
    if (!translator->load(QStringLiteral("qtbase_pl"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

} // namespace orbita
