#include "core/cp1250.h"
#include "platform/scripted_ui_services.h"
#include "platform/shell_services.h"
#include "tests/platform/platform_test_environment.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace orbita {
namespace {

namespace fs = std::filesystem;
using test::PlatformTest;

void touch(const QString& path, bool executable = false)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFile::ExeOwner);
}

std::map<QString, QString> readDesktopEntry(const QString& path)
{
    std::map<QString, QString> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    entries[QStringLiteral("#header")] = lines.value(0);
    for (const QString& line : lines) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0)
            entries[line.left(eq)] = line.mid(eq + 1);
    }
    return entries;
}

using ShellServices = PlatformTest;

TEST_F(ShellServices, ProgramFolderIsTheExecutablesFolderUnlessOverridden)
{
    const std::string exe = ExecutablePath();
    EXPECT_TRUE(exe.ends_with("/orbita_qt_tests")) << exe;
    EXPECT_EQ(ProgramFolder(), fs::path(exe).parent_path().string() + "/");
    m_env.set("ORBITA_PROGRAM_DIR", QStringLiteral("/srv/orbita"));
    EXPECT_EQ(ProgramFolder(), "/srv/orbita/");
    m_env.set("ORBITA_PROGRAM_DIR", QStringLiteral("/srv/orbita/"));
    EXPECT_EQ(ProgramFolder(), "/srv/orbita/");
}

TEST_F(ShellServices, SpecialFolders)
{
    EXPECT_EQ(SpecialFolderPath(0), stdPath("home/Desktop"));
    EXPECT_EQ(SpecialFolderPath(2), stdPath("data/applications"));
    EXPECT_EQ(SpecialFolderPath(11), stdPath("data/applications"));
    EXPECT_TRUE(FolderExists(stdPath("data/applications")));
    m_env.unset("XDG_DATA_HOME");
    EXPECT_EQ(SpecialFolderPath(11), stdPath("home/.local/share/applications"));
    EXPECT_TRUE(FolderExists(stdPath("home/.local/share/applications")));
    for (int unknown : { -1, 1, 5, 26, 0x28 })
        EXPECT_THROW(SpecialFolderPath(unknown), std::runtime_error) << unknown;
}

TEST_F(ShellServices, UserDataFolderFollowsXdgDataHome)
{
    EXPECT_EQ(UserDataFolder(), stdPath("data/orbita/"));
    EXPECT_FALSE(FolderExists(stdPath("data/orbita"))) << "asking does not create it";
    m_env.set("XDG_DATA_HOME", QStringLiteral("relative/share"));
    EXPECT_EQ(UserDataFolder(), stdPath("home/.local/share/orbita/")) << "a relative value is ignored";
    m_env.unset("XDG_DATA_HOME");
    EXPECT_EQ(UserDataFolder(), stdPath("home/.local/share/orbita/"));
}

TEST_F(ShellServices, ShortcutBecomesADesktopLauncher)
{
    const struct {
        std::string arguments;
        QString exec;
    } cases[] = {
        { "", QStringLiteral("\"%1/Orbita 3/orbita\"") },
        { "/UNINSTALL", QStringLiteral("\"%1/Orbita 3/orbita\" /UNINSTALL") },
        { "\"a b\"  c", QStringLiteral("\"%1/Orbita 3/orbita\" \"a b\" c") },
        { "\"\"", QStringLiteral("\"%1/Orbita 3/orbita\" \"\"") },
        { "100%", QStringLiteral("\"%1/Orbita 3/orbita\" \"100%%\"") },
        { "$HOME `x`", QStringLiteral("\"%1/Orbita 3/orbita\" \"\\\\$HOME\" \"\\\\`x\\\\`\"") },
        { "C:\\x", QStringLiteral("\"%1/Orbita 3/orbita\" \"C:\\\\\\\\x\"") },
    };
    const std::string target = stdPath("Orbita 3/orbita");
    touch(path("Orbita 3/orbita"), true);
    for (const auto& c : cases) {
        const std::string link = stdPath("home/Desktop/Orbita.lnk");
        QDir().mkpath(path("home/Desktop"));
        ASSERT_TRUE(CreateShortcut(target, link, "Układ okresowy pierwiastków", 0, c.arguments))
            << c.arguments;
        EXPECT_FALSE(QFile::exists(path("home/Desktop/Orbita.lnk")));
        const auto entry = readDesktopEntry(path("home/Desktop/Orbita.desktop"));
        EXPECT_EQ(entry.at(QStringLiteral("#header")), QStringLiteral("[Desktop Entry]"));
        EXPECT_EQ(entry.at(QStringLiteral("Type")), QStringLiteral("Application"));
        EXPECT_EQ(entry.at(QStringLiteral("Name")), QStringLiteral("Orbita"));
        EXPECT_EQ(entry.at(QStringLiteral("Comment")), QStringLiteral("Układ okresowy pierwiastków"));
        EXPECT_EQ(entry.at(QStringLiteral("Exec")), c.exec.arg(m_root.path())) << c.arguments;
        EXPECT_EQ(entry.at(QStringLiteral("Path")), path("Orbita 3") + u'/');
        EXPECT_EQ(entry.at(QStringLiteral("Icon")), QStringLiteral("orbita"));
    }
}

TEST_F(ShellServices, ShortcutDetails)
{
    touch(path("prog/orbita"), true);
    touch(path("prog/orbita.png"));
    // A Windows-1250 description, a picture beside the target, a link name
    // without the .lnk extension, a leading blank and a line break.
    ASSERT_TRUE(CreateShortcut(
        stdPath("prog/orbita"), stdPath("prog/Deinstalacja"), " Usu\xF1 program\ndrugi", 3, "/UNINSTALL"));
    const auto entry = readDesktopEntry(path("prog/Deinstalacja"));
    EXPECT_EQ(entry.at(QStringLiteral("Comment")), QStringLiteral("\\sUsuń program\\ndrugi"));
    EXPECT_EQ(entry.at(QStringLiteral("Icon")), path("prog/orbita.png"));
    EXPECT_EQ(entry.at(QStringLiteral("Name")), QStringLiteral("Deinstalacja"));
    EXPECT_TRUE(QFileInfo(path("prog/Deinstalacja")).isExecutable());
    // The link's folder must exist; nothing half-written is left behind.
    EXPECT_FALSE(CreateShortcut(stdPath("prog/orbita"), stdPath("missing/Orbita.lnk"), "", 0, ""));
    EXPECT_FALSE(QFileInfo::exists(path("missing")));
    EXPECT_FALSE(CreateShortcut("", stdPath("prog/x.lnk"), "", 0, ""));
}

TEST_F(ShellServices, InternetShortcutBecomesADesktopLink)
{
    ASSERT_TRUE(
        CreateInternetShortcut("https://example.org/orbita?a=1&b=2", stdPath("home/Strona domowa.url")));
    EXPECT_FALSE(QFile::exists(path("home/Strona domowa.url")));
    const auto entry = readDesktopEntry(path("home/Strona domowa.desktop"));
    EXPECT_EQ(entry.at(QStringLiteral("Type")), QStringLiteral("Link"));
    EXPECT_EQ(entry.at(QStringLiteral("Name")), QStringLiteral("Strona domowa"));
    EXPECT_EQ(entry.at(QStringLiteral("URL")), QStringLiteral("https://example.org/orbita?a=1&b=2"));
    EXPECT_FALSE(CreateInternetShortcut("https://example.org", stdPath("nowhere/x.url")));
}

TEST_F(ShellServices, ShortcutFileNames)
{
    EXPECT_EQ(ShortcutFileName("/d/Orbita.lnk"), "/d/Orbita.desktop");
    EXPECT_EQ(ShortcutFileName("/d/Orbita.LNK"), "/d/Orbita.desktop");
    EXPECT_EQ(ShortcutFileName("/d/Strona domowa.url"), "/d/Strona domowa.desktop");
    EXPECT_EQ(ShortcutFileName("C:\\d\\Orbita.lnk"), "C:/d/Orbita.desktop");
    EXPECT_EQ(ShortcutFileName("/d/Orbita.desktop"), "/d/Orbita.desktop");
    EXPECT_EQ(ShortcutFileName(".lnk"), ".lnk");
}

TEST_F(ShellServices, DeleteGuardNeverTouchesSystemOrHomeFolders)
{
    // Checked through the guard alone, so that a fault cannot harm the machine.
    for (const char* folder :
        { "/", "/usr", "/usr/bin", "/etc", "/tmp", "/var/tmp", "/home", "/root", "/opt" })
        EXPECT_FALSE(IsRemovableProgramFolder(folder)) << folder;
    EXPECT_FALSE(IsRemovableProgramFolder(""));
    EXPECT_FALSE(IsRemovableProgramFolder("relative"));
}

TEST_F(ShellServices, ShellDeleteRemovesOnlyProgramFolders)
{
    const QString apps = QString::fromStdString(SpecialFolderPath(2));
    const QString temp = QString::fromStdString(TempFolder());
    // Home, its parent and a user folder, each holding the program's data file.
    touch(path("home/ORBITA.DAT"));
    touch(path("ORBITA.DAT"));
    touch(path("home/Desktop/ORBITA.DAT"));
    touch(path("home/Documents/ORBITA.DAT"));
    touch(path("home/install/ORBITA.DAT"));
    touch(path("home/install/KARNACJE/Zima.obs"));
    touch(path("home/lower/orbita.dat"));
    touch(path("home/exe/orbita"), true);
    touch(path("home/notexe/orbita"));
    touch(path("home/slash/ORBITA.DAT"));
    touch(path("home/back/ORBITA.DAT"));
    touch(path("home/other/notes.txt"));
    touch(temp + QStringLiteral("ORB_SKIN/ORBSKIN.INI"));
    touch(apps + QStringLiteral("/Orbita/Orbita.desktop"));
    touch(apps + QStringLiteral("/Other/Other.desktop"));
    touch(path("home/file.txt"));
    QDir().mkpath(path("home/sub"));
    fs::create_directory_symlink(stdPath("home/install"), stdPath("home/link"));

    const struct {
        QString path;
        bool deleted;
        QString stillThere; // must exist afterwards (empty: the path itself must be gone or kept as `deleted`
                            // says)
    } cases[] = {
        { QString(), false, {} },
        { QStringLiteral("home/install"), false, {} }, // relative
        { path("home"), false, path("home/ORBITA.DAT") },
        { path("home/"), false, path("home/ORBITA.DAT") },
        { path("home/sub/.."), false, path("home/ORBITA.DAT") },
        { m_root.path(), false, path("ORBITA.DAT") },
        { path("home/Desktop"), false, path("home/Desktop/ORBITA.DAT") },
        { path("home/Documents"), false, path("home/Documents/ORBITA.DAT") },
        { path("home/other"), false, path("home/other/notes.txt") },
        { path("home/notexe"), false, path("home/notexe/orbita") },
        { path("home/link"), true, path("home/install/KARNACJE/Zima.obs") }, // the link only
        { path("home/install"), true, {} },
        { path("home/lower"), true, {} },
        { path("home/exe"), true, {} },
        { path("home/slash/"), true, {} },
        { path("home\\back"), true, {} },
        { temp + QStringLiteral("ORB_SKIN"), true, {} },
        { temp, false, {} },
        { apps + QStringLiteral("/Orbita"), true, {} },
        { apps + QStringLiteral("/Other"), false, apps + QStringLiteral("/Other/Other.desktop") },
        { apps, false, apps + QStringLiteral("/Other/Other.desktop") },
        { path("home/file.txt"), true, {} },
        { path("home/missing"), false, {} },
    };
    for (const auto& c : cases) {
        const QString native = QString(c.path).replace(u'\\', u'/');
        const bool existed = !c.path.isEmpty() && QFileInfo(native).exists();
        EXPECT_EQ(ShellDelete(c.path.toStdString()), c.deleted) << c.path.toStdString();
        if (c.deleted) {
            EXPECT_FALSE(QFileInfo(native).exists() || QFileInfo(native).isSymLink()) << c.path.toStdString();
        } else if (existed) {
            EXPECT_TRUE(QFileInfo(native).exists()) << c.path.toStdString();
        }
        if (!c.stillThere.isEmpty()) {
            EXPECT_TRUE(QFileInfo::exists(c.stillThere)) << c.stillThere.toStdString();
        }
    }
}

TEST_F(ShellServices, FolderExistsAndForceFolders)
{
    touch(path("file"));
    EXPECT_TRUE(FolderExists(m_root.path().toStdString()));
    EXPECT_TRUE(FolderExists(stdPath("home") + "/"));
    EXPECT_FALSE(FolderExists(stdPath("file")));
    EXPECT_FALSE(FolderExists(stdPath("nothing")));
    EXPECT_FALSE(FolderExists(""));

    ForceFolders(stdPath("a/b/c") + "/");
    EXPECT_TRUE(FolderExists(stdPath("a/b/c")));
    ForceFolders(m_root.path().toStdString() + "\\KOPIE\\2026");
    EXPECT_TRUE(FolderExists(stdPath("KOPIE/2026")));
    ForceFolders(stdPath("file/below")); // fails quietly
    EXPECT_FALSE(FolderExists(stdPath("file/below")));

    const QString oldCurrent = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_root.path()));
    ForceFolders("ab");
    ForceFolders("ab/");
    ForceFolders("abc");
    QDir::setCurrent(oldCurrent);
    EXPECT_FALSE(FolderExists(stdPath("ab")));
    EXPECT_TRUE(FolderExists(stdPath("abc")));
}

mode_t modeOf(const std::string& path)
{
    struct stat info { };
    ::lstat(path.c_str(), &info);
    return info.st_mode & 0777;
}

TEST_F(ShellServices, TempFolderIsPrivate)
{
    const std::string fallback = "/tmp/orbita-" + std::to_string(::geteuid()) + "/";
    EXPECT_EQ(TempFolder(), stdPath("run/orbita") + "/");
    EXPECT_EQ(modeOf(stdPath("run/orbita")), 0700u);

    // A folder that others may enter is made private again.
    ::chmod(stdPath("run/orbita").c_str(), 0777);
    EXPECT_EQ(TempFolder(), stdPath("run/orbita") + "/");
    EXPECT_EQ(modeOf(stdPath("run/orbita")), 0700u);

    // A link or a file in its place is refused; the fallback is private too.
    QDir(path("run/orbita")).removeRecursively();
    QDir().mkpath(path("elsewhere"));
    fs::create_directory_symlink(stdPath("elsewhere"), stdPath("run/orbita"));
    EXPECT_EQ(TempFolder(), fallback);
    EXPECT_EQ(modeOf(fallback), 0700u);
    fs::remove(stdPath("run/orbita"));
    touch(path("run/orbita"));
    EXPECT_EQ(TempFolder(), fallback);

    m_env.unset("XDG_RUNTIME_DIR");
    EXPECT_EQ(TempFolder(), fallback);
    m_env.set("XDG_RUNTIME_DIR", QStringLiteral("relative/run"));
    EXPECT_EQ(TempFolder(), fallback);
}

TEST_F(ShellServices, TempFolderOwnedBySomeoneElseIsRefused)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give a folder to another user";
    QDir().mkpath(path("run/orbita"));
    ::chmod(stdPath("run/orbita").c_str(), 0700);
    ASSERT_EQ(::chown(stdPath("run/orbita").c_str(), 65534, 65534), 0);
    EXPECT_NE(TempFolder(), stdPath("run/orbita") + "/");
}

TEST_F(ShellServices, BrowseForFolderAsksThroughTheUiServices)
{
    ScriptedUiServices ui;
    ui.answerFolder(QStringLiteral("/home/uczeń/Programy"));
    ui.answerFolder(QString());
    EXPECT_EQ(BrowseForFolderPath(nullptr), "/home/uczeń/Programy");
    EXPECT_EQ(BrowseForFolderPath(nullptr), "");
    EXPECT_TRUE(ui.finished());
    ASSERT_EQ(ui.requests().size(), 2u);
    EXPECT_EQ(ui.requests()[0].kind, ScriptedUiServices::Kind::Folder);
    EXPECT_EQ(ui.requests()[0].caption,
        QStringLiteral(
            "Proszę wskazać folder z programami. W wybranym folderze zostanie utworzona dodatkowa grupa "
            "dla programu."));
}

// The pause lasts about a tenth of a second and answers messages meanwhile:
// timers due before its end fire during it, a timer due long after has not.
TEST_F(ShellServices, PauseBrieflyWaitsAndProcessesMessages)
{
    int fired = 0;
    bool late = false;
    QObject context;
    QTimer::singleShot(0, &context, [&fired] { ++fired; });
    QTimer::singleShot(50, &context, [&fired] { ++fired; });
    QTimer::singleShot(90, Qt::PreciseTimer, &context, [&fired] { ++fired; });
    QTimer::singleShot(60000, &context, [&late] { late = true; });
    PauseBriefly();
    EXPECT_EQ(fired, 3);
    EXPECT_FALSE(late);
}

} // namespace
} // namespace orbita
