#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace orbita {

// Windows face names used by the windows and the content pages, and the
// installed faces that stand in for them. Two lines of defence make the
// mapping hold: a fontconfig configuration selected before the first font is
// used, and Qt font substitutions installed once the application exists.

// One face name and the installed families preferred for it, in order.
struct FontAlias {
    QString face; // the Windows face name, e.g. "Tahoma"
    QStringList preferred; // installed families, e.g. "DejaVu Sans"
};

// The program's fontconfig configuration (res/fonts/orbita-fonts.conf, compiled
// into the program): the aliases below, followed by the system configuration.
QByteArray FontConfiguration();

// The aliases that FontConfiguration() declares, in the order it declares them.
std::vector<FontAlias> FontAliases();

// Writes FontConfiguration() as "orbita-fonts.conf" into `folder`, replacing a
// file with other contents. Returns the file's path, or an empty string when
// the folder or the file cannot be written.
QString WriteFontConfiguration(const QString& folder);

// Called before the QApplication is created: unless FONTCONFIG_FILE is set
// already, writes the configuration into the program's private temporary
// folder and points FONTCONFIG_FILE at it. When the folder cannot be used the
// variable stays unset and InstallFontSubstitutions alone does the mapping.
void PrepareFontConfiguration();

// Called once the QApplication exists: registers every alias as a Qt font
// substitution, so that Qt asks for the installed face itself.
void InstallFontSubstitutions();

} // namespace orbita
