#include "platform/fonts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>

namespace orbita {
namespace {

struct Expected {
    const char* face;
    const char* family;
};

// The Windows faces named by the windows and the content, and the installed
// families (fonts-liberation2, fonts-dejavu-core) that must stand in for them.
const Expected kFaces[] = {
    { "Arial", "Liberation Sans" },
    { "Times New Roman", "Liberation Serif" },
    { "Courier New", "Liberation Mono" },
    { "Tahoma", "DejaVu Sans" },
    { "Verdana", "DejaVu Sans" },
    { "MS Sans Serif", "DejaVu Sans" },
    { "System", "DejaVu Sans" },
    { "Lucida Console", "DejaVu Sans Mono" },
};

// Sets or unsets an environment variable for the lifetime of the guard.
class EnvironmentGuard final {
public:
    EnvironmentGuard(const char* name, std::optional<QByteArray> value)
        : m_name(name)
    {
        if (qEnvironmentVariableIsSet(name))
            m_saved = qgetenv(name);
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    ~EnvironmentGuard()
    {
        if (m_saved)
            qputenv(m_name, *m_saved);
        else
            qunsetenv(m_name);
    }
    Q_DISABLE_COPY_MOVE(EnvironmentGuard)

private:
    const char* m_name;
    std::optional<QByteArray> m_saved;
};

// The family that fontconfig's own matcher picks for `face`, with the
// environment of this process (FONTCONFIG_FILE included).
QString fcMatch(const QString& face)
{
    QProcess process;
    process.start(QStringLiteral("fc-match"), { QStringLiteral("-f"), QStringLiteral("%{family[0]}"), face });
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QStringLiteral("<fc-match failed>");
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

bool haveFcMatch()
{
    return !QStandardPaths::findExecutable(QStringLiteral("fc-match")).isEmpty();
}

TEST(Fonts, CompiledInConfigurationIsTheShippedFile)
{
    QFile shipped(QStringLiteral(ORBITA_SOURCE_DIR "/res/fonts/orbita-fonts.conf"));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    const QByteArray contents = FontConfiguration();
    EXPECT_FALSE(contents.isEmpty());
    EXPECT_EQ(contents, shipped.readAll());
    EXPECT_TRUE(contents.contains("<include ignore_missing=\"no\">/etc/fonts/fonts.conf</include>"));
}

TEST(Fonts, ConfigurationPrefersAnInstalledFamilyForEveryWindowsFace)
{
    const std::vector<FontAlias> aliases = FontAliases();
    for (const auto& expected : kFaces) {
        const auto alias = std::find_if(aliases.begin(), aliases.end(),
            [&](const FontAlias& a) { return a.face == QLatin1String(expected.face); });
        ASSERT_NE(alias, aliases.end()) << expected.face;
        ASSERT_FALSE(alias->preferred.isEmpty()) << expected.face;
        EXPECT_EQ(alias->preferred.first(), QLatin1String(expected.family)) << expected.face;
    }
    EXPECT_EQ(aliases.size(), std::size(kFaces));
}

TEST(Fonts, FontconfigMapsEveryWindowsFaceThroughTheWrittenFile)
{
    if (!haveFcMatch())
        GTEST_SKIP() << "fc-match is not installed";
    QTemporaryDir folder;
    const QString path = WriteFontConfiguration(folder.path());
    ASSERT_EQ(path, QDir(folder.path()).filePath(QStringLiteral("orbita-fonts.conf")));
    const EnvironmentGuard file("FONTCONFIG_FILE", QFile::encodeName(path));
    for (const auto& expected : kFaces)
        EXPECT_EQ(fcMatch(QLatin1String(expected.face)), QLatin1String(expected.family)) << expected.face;
    // The system configuration still applies to every other name.
    EXPECT_EQ(fcMatch(QStringLiteral("DejaVu Serif")), QStringLiteral("DejaVu Serif"));
}

TEST(Fonts, WritingReplacesOtherContentsAndFailsOnAMissingFolder)
{
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("orbita-fonts.conf"));
    {
        QFile stale(path);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.write("<fontconfig/>");
    }
    EXPECT_EQ(WriteFontConfiguration(folder.path()), path);
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), FontConfiguration());
    EXPECT_TRUE(
        WriteFontConfiguration(QDir(folder.path()).filePath(QStringLiteral("missing/folder"))).isEmpty());
}

TEST(Fonts, PreparingLeavesAChosenFontconfigFileAlone)
{
    QTemporaryDir runtime;
    const EnvironmentGuard runtimeDir("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    const EnvironmentGuard file("FONTCONFIG_FILE", QByteArray("/etc/fonts/fonts.conf"));
    PrepareFontConfiguration();
    EXPECT_EQ(qgetenv("FONTCONFIG_FILE"), QByteArray("/etc/fonts/fonts.conf"));
    EXPECT_FALSE(QFileInfo::exists(runtime.path() + QStringLiteral("/orbita/orbita-fonts.conf")));
}

TEST(Fonts, PreparingWritesAPrivateCopyAndPointsFontconfigAtIt)
{
    QTemporaryDir runtime;
    const EnvironmentGuard runtimeDir("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    const EnvironmentGuard file("FONTCONFIG_FILE", std::nullopt);
    PrepareFontConfiguration();
    const QString expected = runtime.path() + QStringLiteral("/orbita/orbita-fonts.conf");
    EXPECT_EQ(QFile::decodeName(qgetenv("FONTCONFIG_FILE")), expected);
    QFile written(expected);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), FontConfiguration());
    struct stat info { };
    ASSERT_EQ(::stat(QFile::encodeName(runtime.path() + QStringLiteral("/orbita")).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    // A program started with this environment sees the mapping.
    if (haveFcMatch()) {
        EXPECT_EQ(fcMatch(QStringLiteral("Lucida Console")), QStringLiteral("DejaVu Sans Mono"));
    }
}

TEST(Fonts, PreparingMakesAnExistingFolderPrivateAgain)
{
    QTemporaryDir runtime;
    const QByteArray folder = QFile::encodeName(runtime.path() + QStringLiteral("/orbita"));
    ASSERT_EQ(::mkdir(folder.constData(), 0700), 0);
    ASSERT_EQ(::chmod(folder.constData(), 0755), 0);
    const EnvironmentGuard runtimeDir("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    const EnvironmentGuard file("FONTCONFIG_FILE", std::nullopt);
    PrepareFontConfiguration();
    EXPECT_EQ(qgetenv("FONTCONFIG_FILE"), folder + "/orbita-fonts.conf");
    struct stat info { };
    ASSERT_EQ(::stat(folder.constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(Fonts, PreparingRefusesAFolderThatIsNotAPrivateDirectory)
{
    QTemporaryDir runtime;
    const QString target = runtime.path() + QStringLiteral("/elsewhere");
    ASSERT_TRUE(QDir().mkpath(target));
    for (const bool link : { false, true }) {
        SCOPED_TRACE(link ? "symbolic link" : "plain file");
        const QString folder = runtime.path() + QStringLiteral("/orbita");
        QFile::remove(folder);
        if (link)
            ASSERT_TRUE(QFile::link(target, folder));
        else
            ASSERT_TRUE(QFile(folder).open(QIODevice::WriteOnly));
        const EnvironmentGuard runtimeDir("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        const EnvironmentGuard file("FONTCONFIG_FILE", std::nullopt);
        PrepareFontConfiguration();
        // The file goes to another private folder, never through the planted path.
        EXPECT_FALSE(QFileInfo::exists(target + QStringLiteral("/orbita-fonts.conf")));
        EXPECT_FALSE(QFile::decodeName(qgetenv("FONTCONFIG_FILE")).startsWith(folder));
    }
}

TEST(Fonts, QtSubstitutionsResolveEveryWindowsFaceToItsInstalledFamily)
{
    InstallFontSubstitutions();
    for (const auto& expected : kFaces) {
        EXPECT_TRUE(QFont::substitutes(QLatin1String(expected.face))
                        .contains(QLatin1String(expected.family), Qt::CaseInsensitive))
            << expected.face;
        // An unusual pixel size, so that no font resolved earlier in this
        // process comes back from Qt's font cache.
        QFont font(QLatin1String(expected.face));
        font.setPixelSize(37);
        EXPECT_EQ(QFontInfo(font).family(), QLatin1String(expected.family)) << expected.face;
    }
}

} // namespace
} // namespace orbita
