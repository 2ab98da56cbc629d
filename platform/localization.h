#pragma once

class QCoreApplication;

namespace orbita {

// Polish texts for Qt's own dialogs and buttons ("Tak", "Nie", "Anuluj"):
// loads qtbase_pl.qm from Qt's translations folder and installs it in `app`,
// which owns the translator. Returns false, leaving the English texts, when
// the catalogue is missing or unreadable.
bool LoadPolishTranslations(QCoreApplication& app);

} // namespace orbita
