#include "platform/shell_services.h"

#include "core/cp1250.h"
#include "core/file_io.h"
#include "platform/qt_text.h"
#include "platform/ui_services.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTimer>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace orbita {
namespace {

namespace fs = std::filesystem;
using namespace Qt::Literals::StringLiterals;

std::string env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// Text given as UTF-8, or as Windows-1250 when it is not valid UTF-8.
QString textFrom(const std::string& text)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString result = decoder(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    if (decoder.hasError())
        return FromCp1250(text);
    return result;
}

// A value of a desktop entry, escaped as the format requires.
QString escapeValue(const QString& value)
{
    QString result;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == u'\\')
            result += u"\\\\";
        else if (c == u'\n')
            result += u"\\n";
        else if (c == u'\t')
            result += u"\\t";
        else if (c == u'\r')
            result += u"\\r";
        else if (c == u' ' && i == 0)
            result += u"\\s";
        else
            result += c;
    }
    return result;
}

// One argument of an Exec line: plain when it holds only safe characters,
// otherwise in double quotes with ", `, $ and \ escaped; "%" is doubled so
// that it is not a field code.
QString quoteExecArgument(const QString& argument)
{
    static const QString safe = QStringLiteral("_-./,:+=@");
    bool plain = !argument.isEmpty();
    for (const QChar c : argument)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && !safe.contains(c))
            plain = false;
    QString result;
    if (plain) {
        result = argument;
    } else {
        result = u'"';
        for (const QChar c : argument) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                result += u'\\';
            result += c;
        }
        result += u'"';
    }
    result.replace(u'%', QStringLiteral("%%"));
    return result;
}

// Splits a command-line tail into arguments: blanks separate them, double
// quotes group blanks into one argument ("" gives an empty argument).
QStringList splitArguments(const QString& arguments)
{
    QStringList result;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    for (const QChar c : arguments) {
        if (c == u'"') {
            quoted = !quoted;
            inArgument = true;
        } else if ((c == u' ' || c == u'\t') && !quoted) {
            if (inArgument)
                result.append(current);
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        result.append(current);
    return result;
}

bool writeDesktopFile(const QString& fileName, const QString& contents, bool executable)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = contents.toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit())
        return false;
    if (executable)
        QFile::setPermissions(fileName,
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                | QFile::ReadOther | QFile::ExeOther);
    return true;
}

QString linkName(const QString& fileName)
{
    QString name = QDir(fileName).dirName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.left(dot) : name;
}

std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// TempFolder() without its trailing "/", or "" when no private folder can be had.
std::string tempFolderOrEmpty()
{
    try {
        return withoutTrailingSlashes(TempFolder());
    } catch (const std::runtime_error&) {
        return {};
    }
}

fs::path canonicalOrEmpty(const std::string& path)
{
    if (path.empty())
        return {};
    std::error_code error;
    fs::path result = fs::canonical(path, error);
    return error ? fs::path() : result;
}

// True when `inner` lies inside `outer` or is `outer` itself (both canonical).
bool isWithinOrEqual(const fs::path& outer, const fs::path& inner)
{
    if (outer.empty() || inner.empty())
        return false;
    auto o = outer.begin();
    auto i = inner.begin();
    for (; o != outer.end(); ++o, ++i)
        if (i == inner.end() || *o != *i)
            return false;
    return true;
}

bool isStrictlyWithin(const fs::path& outer, const fs::path& inner)
{
    return isWithinOrEqual(outer, inner) && outer != inner;
}

// Folders that must never be deleted, nor any folder that contains them.
std::vector<fs::path> protectedFolders()
{
    std::vector<fs::path> folders;
    for (const char* system : { "/bin", "/boot", "/dev", "/etc", "/lib", "/lib64", "/opt", "/proc", "/root",
             "/run", "/sbin", "/srv", "/sys", "/tmp", "/usr/bin", "/usr/sbin", "/usr/lib", "/usr/lib64",
             "/usr/libexec", "/usr/include", "/usr/share", "/usr/local/bin", "/usr/local/sbin",
             "/usr/local/lib", "/usr/local/share", "/var/lib", "/var/tmp", "/var/cache", "/var/log" })
        folders.push_back(canonicalOrEmpty(system));
    folders.push_back(canonicalOrEmpty(env("HOME")));
    folders.push_back(canonicalOrEmpty(ToPath(QDir::homePath())));
    folders.push_back(canonicalOrEmpty(env("XDG_RUNTIME_DIR")));
    folders.push_back(canonicalOrEmpty(tempFolderOrEmpty()));
    for (auto location : { QStandardPaths::DesktopLocation, QStandardPaths::DocumentsLocation,
             QStandardPaths::DownloadLocation, QStandardPaths::MusicLocation,
             QStandardPaths::PicturesLocation, QStandardPaths::MoviesLocation,
             QStandardPaths::GenericDataLocation, QStandardPaths::GenericConfigLocation,
             QStandardPaths::GenericCacheLocation, QStandardPaths::ApplicationsLocation })
        folders.push_back(canonicalOrEmpty(ToPath(QStandardPaths::writableLocation(location))));
    return folders;
}

bool holdsProgramFiles(const fs::path& folder)
{
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        std::error_code statusError;
        if (!entry.is_regular_file(statusError))
            continue;
        if (AsciiUpperText(name) == "ORBITA.DAT")
            return true;
        if (name == "orbita" && ::access(entry.path().c_str(), X_OK) == 0)
            return true;
    }
    return false;
}

// Makes sure `path` is a private folder of this user: created with mode 0700,
// or already there as a real folder owned by the user, made private if it was
// open to others.
bool ensurePrivateFolder(const std::string& path)
{
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info { };
    if (::lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
        return false;
    if ((info.st_mode & 0777) != 0700 && ::chmod(path.c_str(), 0700) != 0)
        return false;
    return true;
}

} // namespace

std::string ExecutablePath()
{
    std::error_code error;
    const fs::path path = fs::read_symlink("/proc/self/exe", error);
    if (!error)
        return path.string();
    return ToPath(QCoreApplication::applicationFilePath());
}

std::string ContentArchivePath()
{
    const QString base = QFileInfo(FromPath(ExecutablePath())).completeBaseName().toUpper();
    return ProgramFolder() + ToPath(base) + ".DAT";
}

std::string ProgramFolder()
{
    const std::string overridden = env("ORBITA_PROGRAM_DIR");
    if (!overridden.empty())
        return WithTrailingBackslash(NativePath(overridden));
    return WithTrailingBackslash(fs::path(ExecutablePath()).parent_path().string());
}

namespace {

// The per-user data folder's parent, no trailing "/"; Qt's idea of the home
// folder when the account has none.
std::string dataHomeFolder()
{
    const std::string dataHome = DataHomeFolder();
    return dataHome.empty() ? withoutTrailingSlashes(ToPath(QDir::homePath()) + "/.local/share") : dataHome;
}

} // namespace

std::string UserDataFolder()
{
    return dataHomeFolder() + "/orbita/";
}

std::string SpecialFolderPath(int csidl)
{
    switch (csidl) {
    case 0: {
        const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        if (desktop.isEmpty())
            throw std::runtime_error("Nie można ustalić folderu pulpitu");
        return ToPath(desktop);
    }
    case 2:
    case 11: {
        std::string applications = dataHomeFolder() + "/applications";
        std::error_code error;
        fs::create_directories(applications, error);
        if (!fs::is_directory(applications, error))
            throw std::runtime_error("Nie można utworzyć folderu menu programów: " + applications);
        return applications;
    }
    default:
        throw std::runtime_error("Nieznany folder specjalny " + std::to_string(csidl));
    }
}

std::string ShortcutFileName(const std::string& linkPath)
{
    std::string path = NativePath(linkPath);
    if (path.size() > 4) {
        const std::string extension = AsciiUpperText(path.substr(path.size() - 4));
        if (extension == ".LNK" || extension == ".URL")
            return path.substr(0, path.size() - 4) + ".desktop";
    }
    return path;
}

bool CreateShortcut(const std::string& target, const std::string& linkPath, const std::string& description,
    int /*iconIndex*/, const std::string& arguments, const std::string& categories)
{
    if (target.empty() || linkPath.empty())
        return false;
    const QString fileName = FromPath(ShortcutFileName(linkPath));
    const fs::path targetPath(NativePath(target));
    QString exec = quoteExecArgument(FromPath(targetPath.string()));
    for (const QString& argument : splitArguments(textFrom(arguments)))
        exec += u' ' + quoteExecArgument(argument);
    fs::path iconFile = targetPath.parent_path() / (targetPath.stem().string() + ".png");
    std::error_code error;
    const QString icon
        = FromPath(fs::is_regular_file(iconFile, error) ? iconFile.string() : targetPath.stem().string());

    QString contents = QStringLiteral("[Desktop Entry]\nType=Application\nVersion=1.0\n");
    contents += u"Name="_s + escapeValue(linkName(fileName)) + u'\n';
    contents += u"Comment="_s + escapeValue(textFrom(description)) + u'\n';
    contents += u"Exec="_s + escapeValue(exec) + u'\n';
    contents += u"Path="_s + escapeValue(FromPath(WithTrailingBackslash(targetPath.parent_path().string())))
        + u'\n';
    contents += u"Icon="_s + escapeValue(icon) + u'\n';
    contents += QStringLiteral("Terminal=false\n");
    if (!categories.empty())
        contents += u"Categories="_s + escapeValue(textFrom(categories)) + u'\n';
    return writeDesktopFile(fileName, contents, true);
}

bool CreateInternetShortcut(const std::string& url, const std::string& linkPath)
{
    if (url.empty() || linkPath.empty())
        return false;
    const QString fileName = FromPath(ShortcutFileName(linkPath));
    QString contents = QStringLiteral("[Desktop Entry]\nType=Link\nVersion=1.0\n");
    contents += u"Name="_s + escapeValue(linkName(fileName)) + u'\n';
    contents += u"URL="_s + escapeValue(textFrom(url)) + u'\n';
    contents += QStringLiteral("Icon=text-html\n");
    return writeDesktopFile(fileName, contents, true);
}

bool IsRemovableProgramFolder(const std::string& path)
{
    const std::string native = NativePath(path);
    if (native.empty() || native.front() != '/')
        return false;
    std::error_code error;
    const fs::file_status status = fs::symlink_status(native, error);
    if (error || !fs::is_directory(status))
        return false;
    const fs::path folder = canonicalOrEmpty(native);
    if (folder.empty() || folder == folder.root_path() || folder.parent_path() == folder.root_path())
        return false;
    for (const fs::path& kept : protectedFolders())
        if (isWithinOrEqual(folder, kept))
            return false;

    if (holdsProgramFiles(folder))
        return true;
    if (isStrictlyWithin(canonicalOrEmpty(tempFolderOrEmpty()), folder))
        return true;
    try {
        if (folder.filename() == "Orbita" && folder.parent_path() == canonicalOrEmpty(SpecialFolderPath(2)))
            return true;
    } catch (const std::runtime_error&) {
    }
    return false;
}

bool ShellDelete(const std::string& path)
{
    const std::string native = withoutTrailingSlashes(NativePath(path));
    if (native.empty() || native.front() != '/')
        return false;
    std::error_code error;
    const fs::file_status status = fs::symlink_status(native, error);
    if (error || !fs::exists(status))
        return false;
    if (fs::is_directory(status)) {
        if (!IsRemovableProgramFolder(native))
            return false;
        fs::remove_all(native, error);
    } else {
        fs::remove(native, error);
    }
    return !error && !fs::exists(fs::symlink_status(native, error));
}

bool FolderExists(const std::string& path)
{
    const std::string native = NativePath(path);
    std::error_code error;
    return !native.empty() && fs::is_directory(native, error);
}

void ForceFolders(const std::string& path)
{
    std::string native = NativePath(path);
    if (!native.empty() && native.back() == '/')
        native.pop_back();
    if (native.size() <= 2)
        return;
    std::error_code error;
    fs::create_directories(native, error);
}

std::string BrowseForFolderPath(QWidget* owner)
{
    return ToPath(Ui().ChooseFolder(owner,
        QStringLiteral("Proszę wskazać folder z programami. W wybranym folderze zostanie utworzona dodatkowa "
                       "grupa dla programu.")));
}

std::string TempFolder()
{
    const std::string uid = std::to_string(::geteuid());
    const std::string runtime = withoutTrailingSlashes(env("XDG_RUNTIME_DIR"));
    if (!runtime.empty() && runtime.front() == '/' && ensurePrivateFolder(runtime + "/orbita"))
        return runtime + "/orbita/";
    const std::string shared = "/tmp/orbita-" + uid;
    if (ensurePrivateFolder(shared))
        return shared + "/";

    static std::string fresh;
    if (fresh.empty() || !ensurePrivateFolder(fresh)) {
        std::string pattern = shared + "-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("Nie można utworzyć prywatnego folderu tymczasowego");
        fresh = pattern;
        qWarning("orbita: %s is not a private folder of this user; using %s", shared.c_str(), fresh.c_str());
    }
    return fresh + "/";
}

void PauseBriefly()
{
    QElapsedTimer clock;
    clock.start();
    QCoreApplication::processEvents();
    const qint64 left = 100 - clock.elapsed();
    if (left > 0) {
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(left), &loop, &QEventLoop::quit);
        loop.exec();
    }
}

} // namespace orbita
