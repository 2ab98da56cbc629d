#include "platform/fonts.h"

#include "platform/shell_services.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QSaveFile>
#include <QXmlStreamReader>

namespace orbita {
namespace {

const char kFileName[] = "orbita-fonts.conf";

// The program's private temporary folder, or empty when none can be had.
QString privateTempFolder()
{
    try {
        return QFile::decodeName(QByteArray::fromStdString(TempFolder()));
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace

QByteArray FontConfiguration()
{
    QFile file(QStringLiteral(":/res/fonts/orbita-fonts.conf"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::vector<FontAlias> FontAliases()
{
    // <alias><family>face</family><prefer><family>…</family>…</prefer></alias>
    std::vector<FontAlias> aliases;
    QXmlStreamReader xml(FontConfiguration());
    bool inAlias = false;
    bool inPrefer = false;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            if (xml.name() == QLatin1String("alias")) {
                inAlias = true;
                aliases.push_back({});
            } else if (inAlias && xml.name() == QLatin1String("prefer")) {
                inPrefer = true;
            } else if (inAlias && xml.name() == QLatin1String("family")) {
                const QString family = xml.readElementText().trimmed();
                if (inPrefer)
                    aliases.back().preferred << family;
                else
                    aliases.back().face = family;
            }
            break;
        case QXmlStreamReader::EndElement:
            if (xml.name() == QLatin1String("alias"))
                inAlias = false;
            else if (xml.name() == QLatin1String("prefer"))
                inPrefer = false;
            break;
        default:
            break;
        }
    }
    if (xml.hasError())
        return {};
    std::erase_if(
        aliases, [](const FontAlias& alias) { return alias.face.isEmpty() || alias.preferred.isEmpty(); });
    return aliases;
}

QString WriteFontConfiguration(const QString& folder)
{
    const QByteArray contents = FontConfiguration();
    if (contents.isEmpty())
        return {};
    QString path = QDir(folder).filePath(QLatin1String(kFileName));
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == contents)
        return path;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() || !file.commit())
        return {};
    return path;
}

void PrepareFontConfiguration()
{
    if (qEnvironmentVariableIsSet("FONTCONFIG_FILE"))
        return;
    const QString folder = privateTempFolder();
    if (folder.isEmpty())
        return;
    const QString path = WriteFontConfiguration(folder);
    if (!path.isEmpty())
        qputenv("FONTCONFIG_FILE", QFile::encodeName(path));
}

void InstallFontSubstitutions()
{
    for (const FontAlias& alias : FontAliases())
        QFont::insertSubstitutions(alias.face, alias.preferred);
}

} // namespace orbita
