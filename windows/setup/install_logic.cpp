#include "windows/setup/install_logic.h"

#include "core/cp1250.h"
#include "core/file_io.h"
#include "core/move_into_place.h"
#include "core/password_hash.h"
#include "core/registry.h"
#include "core/settings.h"
#include "windows/main/main_commands.h"
#include "windows/settings/settings_logic.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <system_error>
#include <unistd.h>

namespace orbita {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kInstalledWarning
    = "Aplikacja była już instalowana na tym komputerze. Zaleca się instalację programu w folderze wskazanym "
      "przez program. W przeciwnym wypadku zalecane jest odinstalowanie poprzedniej wersji programu";
constexpr std::string_view kOlderWarning
    = "Wykryto starszą wersję programu. Zaleca się zainstalowanie programu w folderze wskazanym przez "
      "program. W "
      "przeciwnym wypadku zalecane jest odinstalowanie poprzedniej wersji programu";

constexpr std::string_view kPublisher = "Zespół programu Orbita";
constexpr std::string_view kShortcutPicture = "orbita.png";

// The optional files, copied after the executable and the archive.
constexpr std::string_view kOptionalFiles[]
    = { "OTWORZ.WAV", "ZAMKNIJ.WAV", "INTRO.WAV", "FAKTURA.BMP", "BANER.HTM", "BANER.GIF" };

bool isFile(const std::string& path)
{
    std::error_code error;
    return fs::is_regular_file(path, error);
}

std::string withSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

std::string inQuotes(const std::string& path)
{
    return "„" + path + "”";
}

// A manifest line that stays inside the folder: relative, no empty, "." or
// ".." component, no control character.
bool isSafeRelativePath(std::string_view line)
{
    if (line.empty() || line.front() == '/')
        return false;
    if (std::any_of(line.begin(), line.end(), [](unsigned char c) { return c < 0x20 || c == 0x7F; }))
        return false;
    std::string_view rest = line;
    if (rest.back() == '/')
        rest.remove_suffix(1);
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        if (part.empty() || part == "." || part == "..")
            return false;
        if (slash == std::string_view::npos)
            break;
        rest.remove_prefix(slash + 1);
    }
    return !rest.empty();
}

std::vector<std::string> readManifest(const std::string& folder)
{
    const FileRead read = ReadRegularFile(withSlash(folder) + std::string(kManifestName), 4 * 1024 * 1024);
    std::vector<std::string> entries;
    if (!read.Ok())
        return entries;
    std::istringstream lines(read.bytes);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.front() == '#')
            continue;
        if (isSafeRelativePath(line))
            entries.push_back(line);
    }
    return entries;
}

// Deletes a file (or a link, never what it points to); true when it is gone.
bool removeFile(const std::string& path)
{
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (!fs::exists(status))
        return true;
    if (fs::is_directory(status))
        return false;
    return fs::remove(path, error) && !error;
}

// Removes an empty folder (not a link); a folder with something in it stays
// without complaint.
void removeIfEmpty(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    std::error_code error;
    if (fs::is_symlink(path, error) || !fs::is_directory(path, error) || !fs::is_empty(path, error))
        return;
    fs::remove(path, error);
}

} // namespace

// --- Steps ---------------------------------------------------------------------

InstallStep NextInstallStep(InstallStep current, bool administratorHasPassword)
{
    if (current == InstallStep::Done)
        return current;
    auto next = static_cast<InstallStep>(static_cast<int>(current) + 1);
    if (next == InstallStep::Mode && administratorHasPassword)
        next = InstallStep::Ready;
    return next;
}

InstallStep PreviousInstallStep(InstallStep current, bool administratorHasPassword)
{
    // Nothing goes back from the copy or after it, nor before the welcome page.
    if (current == InstallStep::Welcome || current == InstallStep::Progress || current == InstallStep::Done)
        return current;
    auto previous = static_cast<InstallStep>(static_cast<int>(current) - 1);
    if (previous == InstallStep::Access && administratorHasPassword)
        previous = InstallStep::Shortcuts;
    return previous;
}

bool PasswordBoxesAgree(bool protect, std::string_view password, std::string_view confirmation)
{
    return !protect || password == confirmation;
}

// --- Folder -------------------------------------------------------------------

std::string ProgramFilesDir(bool root, const char* xdgDataHome, const char* home)
{
    if (root)
        return "/opt";
    if (xdgDataHome && xdgDataHome[0] == '/')
        return xdgDataHome;
    return std::string(home ? home : "") + "/.local/share";
}

std::string ProgramFilesDir()
{
    return ProgramFilesDir(::geteuid() == 0, std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

FolderProposal ProposeInstallFolder(
    const std::string& installPath, const std::string& olderProgramPath, const std::string& programFilesDir)
{
    FolderProposal proposal;
    if (!installPath.empty())
        proposal = { installPath, std::string(kInstalledWarning) };
    if (!olderProgramPath.empty())
        proposal = { olderProgramPath, std::string(kOlderWarning) };
    if (proposal.folder.empty())
        proposal.folder = programFilesDir + "/Orbita";
    return proposal;
}

FolderProposal ProposeInstallFolder()
{
    return ProposeInstallFolder(Cp1250ToUtf8(ReadString(Setting::InstallPath)),
        Cp1250ToUtf8(ReadString(Setting::OlderProgramPath)), ProgramFilesDir());
}

std::string FolderFromBrowsing(const std::string& chosen)
{
    std::string folder = chosen;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder == "/" ? "/Orbita" : folder + "/Orbita";
}

std::optional<std::string> InstallFolderRefusal(const std::string& folder)
{
    if (folder.empty() || folder.front() != '/')
        return "Podaj pełną ścieżkę folderu, zaczynającą się od znaku „/” (na przykład " + ProgramFilesDir()
            + "/Orbita).";
    if (folder.find('\\') != std::string::npos
        || std::any_of(folder.begin(), folder.end(), [](unsigned char c) { return c < 0x20 || c == 0x7F; }))
        return "Nazwa folderu " + inQuotes(folder) + " zawiera niedozwolone znaki (na przykład „\\”).";
    if (!Utf8ToCp1250(folder))
        return "Nazwa folderu " + inQuotes(folder)
            + " zawiera znaki spoza polskiego zestawu znaków, których program nie może zapamiętać. Wybierz "
              "inny folder.";
    std::error_code error;
    fs::path existing = fs::path(folder).lexically_normal();
    if (existing.has_filename() == false && existing != existing.root_path())
        existing = existing.parent_path();
    if (existing == existing.root_path())
        return "Nie można zainstalować programu bezpośrednio w folderze „/”. Wybierz inny folder.";
    if (fs::exists(existing, error) && !fs::is_directory(existing, error))
        return inQuotes(folder) + " jest plikiem, a nie folderem. Wybierz inny folder.";
    while (!existing.empty() && !fs::exists(existing, error) && existing != existing.root_path())
        existing = existing.parent_path();
    if (!fs::is_directory(existing, error))
        return "Folderu " + inQuotes(folder) + " nie można utworzyć: " + inQuotes(existing.string())
            + " nie jest folderem.";
    if (::access(existing.c_str(), W_OK | X_OK) != 0)
        return "Nie masz uprawnień do zapisu w folderze " + inQuotes(existing.string())
            + ". Wybierz folder, w którym możesz zapisywać pliki (na przykład " + ProgramFilesDir()
            + "/Orbita).";
    return std::nullopt;
}

// --- Installing ----------------------------------------------------------------

Installation::Installation(InstallChoices choices, InstallServices services)
    : m_choices(std::move(choices))
    , m_services(std::move(services))
{
    while (m_choices.targetFolder.size() > 1 && m_choices.targetFolder.back() == '/')
        m_choices.targetFolder.pop_back();
    m_choices.sourceFolder = withSlash(m_choices.sourceFolder);
    // Progress as the wizard shows it: +7 for the folder, after each of the
    // first seven files, after the banner picture, the program group, the
    // shortcuts, the access settings and the other settings; +12 for the
    // installation folder (103 in all; the bar stops at 100).
    m_actions.push_back({ 7, [this] { createFolder(); } });
    m_actions.push_back({ 7, [this] { copyFile("", kInstalledExecutable, true); } });
    m_actions.push_back({ 7, [this] { copyFile(kInstalledArchive, kInstalledArchive, true); } });
    for (std::string_view name : kOptionalFiles)
        m_actions.push_back({ 7, [this, name] { copyFile(name, name, false); } });
    m_actions.push_back({ 0, [this] { copyExtras(); } });
    m_actions.push_back({ 0, [this] { writeManifest(); } });
    m_actions.push_back({ 7, [this] { buildGroup(); } });
    m_actions.push_back({ 7, [this] { buildShortcuts(); } });
    m_actions.push_back({ 7, [this] { writeAccess(); } });
    m_actions.push_back({ 7, [this] { writeSettings(); } });
    m_actions.push_back({ 12, [this] { writeInstallPath(); } });
}

int Installation::RunNextAction()
{
    if (Finished())
        return 0;
    const Action& action = m_actions[m_next++];
    action.run();
    return action.progress;
}

void Installation::RunAll()
{
    while (!Finished())
        RunNextAction();
}

std::string Installation::target(std::string_view name) const
{
    return m_choices.targetFolder + "/" + std::string(name);
}

void Installation::fail(std::string message)
{
    m_failed = true;
    m_problems.push_back(std::move(message));
}

void Installation::createFolder()
{
    // The first installation is the one that finds no InstallPath (read
    // before this installation writes its own).
    m_firstInstallation = ReadString(Setting::InstallPath).empty();
    std::error_code error;
    fs::create_directories(m_choices.targetFolder, error);
    if (!fs::is_directory(m_choices.targetFolder, error))
        fail("Nie można utworzyć folderu " + inQuotes(m_choices.targetFolder) + ".");
}

void Installation::copyFile(std::string_view sourceName, std::string_view targetName, bool required)
{
    if (m_failed)
        return;
    // The executable is the running one; the archive is named after it.
    std::string source;
    if (targetName == kInstalledExecutable) {
        source = m_choices.sourceExecutable;
    } else if (targetName == kInstalledArchive) {
        const std::string base = fs::path(m_choices.sourceExecutable).stem().string();
        source = m_choices.sourceFolder + AsciiUpperText(base) + ".DAT";
    } else {
        source = m_choices.sourceFolder + std::string(sourceName);
    }
    if (!isFile(source)) {
        if (required)
            fail("Brak pliku " + inQuotes(source) + ", który jest niezbędny do działania programu.");
        return; // an optional file the program folder does not have
    }
    const MoveOutcome outcome = CopyIntoPlace(source, target(targetName), true);
    if (!outcome.Ok()) {
        if (required)
            fail(outcome.message);
        else
            m_problems.push_back(outcome.message);
        return;
    }
    m_written.emplace_back(targetName);
}

void Installation::copyExtras()
{
    if (m_failed)
        return;
    // The picture the shortcuts show, beside the executable.
    const std::string picture = m_choices.sourceFolder + std::string(kShortcutPicture);
    if (isFile(picture)) {
        if (const MoveOutcome outcome = CopyIntoPlace(picture, target(kShortcutPicture), true); outcome.Ok())
            m_written.emplace_back(kShortcutPicture);
        else
            m_problems.push_back(outcome.message);
    }
    copyShipped("KARNACJE", ".obs");
    copyShipped("TESTY", ".obt");
}

void Installation::copyShipped(std::string_view folder, std::string_view extension)
{
    const std::string sourceFolder = m_choices.sourceFolder + std::string(folder);
    std::error_code error;
    if (!fs::is_directory(sourceFolder, error))
        return;
    std::vector<std::string> names;
    for (fs::directory_iterator it(sourceFolder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() > extension.size()
            && Cp1250EqualNoCase(name.substr(name.size() - extension.size()), extension)
            && it->is_regular_file(error))
            names.push_back(name);
    }
    if (names.empty())
        return;
    std::sort(names.begin(), names.end());
    const std::string targetFolder = target(folder);
    fs::create_directories(targetFolder, error);
    if (!fs::is_directory(targetFolder, error)) {
        m_problems.push_back("Nie można utworzyć folderu " + inQuotes(targetFolder) + ".");
        return;
    }
    m_written.push_back(std::string(folder) + "/");
    for (const std::string& name : names) {
        const std::string relative = std::string(folder) + "/" + name;
        // A skin or test of the same name already there is the user's (or a
        // newer download): it stays as it is.
        if (fs::exists(fs::symlink_status(target(relative), error))) {
            m_written.push_back(relative);
            continue;
        }
        const MoveOutcome outcome = CopyIntoPlace(sourceFolder + "/" + name, target(relative), false);
        if (outcome.Ok())
            m_written.push_back(relative);
        else
            m_problems.push_back(outcome.message);
    }
}

void Installation::writeManifest()
{
    if (m_failed)
        return;
    // What an earlier installation wrote stays listed, so that the full
    // removal finds it as well.
    std::vector<std::string> entries = readManifest(m_choices.targetFolder);
    std::set<std::string> known(entries.begin(), entries.end());
    for (const std::string& entry : m_written)
        if (known.insert(entry).second)
            entries.push_back(entry);
    std::string text = "# Pliki zainstalowane przez instalator programu Orbita; pełne odinstalowanie usuwa "
                       "tylko je.\n";
    for (const std::string& entry : entries)
        text += entry + "\n";
    const std::string path = target(kManifestName);
    if (const FileProblem problem = WriteFileAtomically(path, text, 0644); problem != FileProblem::None)
        m_problems.push_back(
            "Nie można zapisać pliku " + inQuotes(path) + ": " + std::string(FileProblemText(problem)) + ".");
}

void Installation::buildGroup()
{
    if (m_failed || !m_services.integration)
        return;
    // The group is always made anew.
    for (std::string& problem : m_services.integration->Remove(IntegrationItem::ProgramGroup))
        m_problems.push_back(std::move(problem));
    for (std::string& problem : m_services.integration->Create(IntegrationItem::ProgramGroup))
        m_problems.push_back(std::move(problem));
}

void Installation::buildShortcuts()
{
    if (m_failed || !m_services.integration)
        return;
    // Added only when ticked, never removed here.
    if (m_choices.desktopShortcut)
        for (std::string& problem : m_services.integration->Create(IntegrationItem::DesktopShortcut))
            m_problems.push_back(std::move(problem));
    if (m_choices.menuShortcut)
        for (std::string& problem : m_services.integration->Create(IntegrationItem::MenuShortcut))
            m_problems.push_back(std::move(problem));
}

void Installation::storeBatch(const std::function<void()>& writes, const std::string& what)
{
    if (!RunRegBatch(writes))
        m_problems.push_back("Nie można zapisać ustawień programu (" + what + ").");
}

void Installation::writeAccess()
{
    if (m_failed)
        return;
    const std::string_view admin = kAdministratorAccount;
    std::optional<std::string> hash;
    if (m_choices.protect && !m_choices.password.empty()) {
        hash = HashPassword(m_choices.password);
        if (!hash)
            m_problems.emplace_back(
                "Nie można zapisać hasła Administratora: nie udało się obliczyć jego skrótu.");
    }
    storeBatch(
        [&] {
            CreateAccount(admin);
            if (hash)
                WriteString(Setting::Password, *hash, admin);
            WriteInteger(Setting::StartupMode, m_choices.compactMode ? 1 : 0, admin);
        },
        "tryb uruchamiania i hasło Administratora");
}

void Installation::writeSettings()
{
    if (m_failed)
        return;
    const std::string_view admin = kAdministratorAccount;
    // Representable: the folder was checked before the installation.
    const std::string folder = Utf8ToCp1250Lossy(m_choices.targetFolder) + "/";
    storeBatch(
        [&] {
            if (!IsStored(Setting::Sounds, admin)) {
                WriteInteger(Setting::Sounds, 1, admin);
                WriteString(Setting::WindowOpenSound, folder + "OTWORZ.WAV", admin);
                WriteString(Setting::WindowCloseSound, folder + "ZAMKNIJ.WAV", admin);
                WriteString(Setting::IntroSound, folder + "INTRO.WAV", admin);
            }
            if (!IsStored(Setting::SaveWindowsPlacement, admin))
                WriteInteger(Setting::SaveWindowsPlacement, 0, admin);
            if (!IsStored(Setting::UseBackground, admin)) {
                WriteInteger(Setting::UseBackground, 1, admin);
                WriteString(Setting::BackgroundPath, folder + "FAKTURA.BMP", admin);
            }
        },
        "ustawienia domyślne Administratora");

    if (m_firstInstallation) {
        std::vector<ToolEntry> tools;
        for (const SettingsTool& tool : DefaultTools(m_services.findExecutable))
            if (auto caption = Utf8ToCp1250(tool.name), command = Utf8ToCp1250(tool.path); caption && command)
                tools.push_back({ *caption, *command });
        storeBatch([&] { RewriteTools(tools, admin); }, "narzędzia");
    }

    const std::string shown = UninstallDisplayVersion(m_choices.version);
    const std::string site(kProgramSite);
    storeBatch(
        [&] {
            WriteString(Setting::DisplayName, shown.empty() ? "Orbita" : "Orbita " + shown);
            WriteString(Setting::DisplayVersion, shown);
            WriteString(Setting::UninstallString, folder + std::string(kInstalledExecutable) + " /UNINSTALL");
            WriteString(Setting::Publisher, Utf8ToCp1250Lossy(kPublisher));
            WriteString(Setting::HelpLink, site);
            WriteString(Setting::UrlInfoAbout, site);
            WriteString(Setting::UrlUpdateInfo, site);
        },
        "wpis odinstalowania");

    // An older generation: its run counter is carried over and its keys go.
    const std::string olderCount = ReadString(Setting::OlderRunCount);
    storeBatch(
        [&] {
            if (const std::optional<int> count = ParseOlderRunCount(olderCount))
                WriteInteger(Setting::RunCount, *count);
            for (const RetiredKey& key : RetiredKeys())
                DeleteRegKey(key.hive, key.path);
        },
        "przeniesienie ustawień starszej wersji");
}

void Installation::writeInstallPath()
{
    if (m_failed)
        return;
    storeBatch([&] { WriteString(Setting::InstallPath, Utf8ToCp1250Lossy(m_choices.targetFolder)); },
        "folder instalacji");
}

std::string UninstallDisplayVersion(std::string_view version)
{
    // major.minor.release[.build], each decimal.
    std::vector<std::string_view> parts;
    std::string_view rest = version;
    while (parts.size() < 3) {
        const std::size_t dot = rest.find('.');
        const std::string_view part = rest.substr(0, dot);
        if (part.empty()
            || !std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return {};
        parts.push_back(part);
        if (dot == std::string_view::npos)
            break;
        rest.remove_prefix(dot + 1);
    }
    if (parts.size() < 3)
        return {};
    return std::string(parts[0]) + "." + std::string(parts[1]) + std::string(parts[2]);
}

std::optional<int> ParseOlderRunCount(std::string_view text)
{
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// --- Removing ----------------------------------------------------------------

const std::vector<std::string>& ProgramFileNames()
{
    // The list of the original removal, with the Linux executable, the banner
    // picture the installer copies and the shortcuts' picture.
    static const std::vector<std::string> names = { "INTRO.WAV", "OTWORZ.WAV", "ZAMKNIJ.WAV", "FAKTURA.BMP",
        "ORBITA.DAT", std::string(kInstalledExecutable), "BANER.HTM", "BANER.SWF", "BANER.GIF",
        std::string(kShortcutPicture) };
    return names;
}

std::vector<std::string> RemoveProgramFiles(const std::string& folder)
{
    std::vector<std::string> left;
    if (folder.empty() || folder.front() != '/')
        return left;
    for (const std::string& name : ProgramFileNames()) {
        const std::string path = withSlash(folder) + name;
        if (!removeFile(path))
            left.push_back(path);
    }
    return left;
}

std::vector<std::string> RemoveInstallation(const std::string& folder)
{
    std::vector<std::string> left;
    std::error_code error;
    if (folder.empty() || folder.front() != '/' || fs::is_symlink(folder, error)
        || !fs::is_directory(folder, error))
        return left;
    const std::string base = withSlash(folder);
    const fs::path realBase = fs::canonical(folder, error);
    std::vector<std::string> folders;
    for (const std::string& entry : readManifest(folder)) {
        if (entry.back() == '/') {
            folders.push_back(entry);
            continue;
        }
        // A listed file reached through a linked folder that leads out of
        // the installation is not the program's.
        const fs::path parent = fs::weakly_canonical(fs::path(base + entry).parent_path(), error);
        const fs::path inside = parent.lexically_relative(realBase);
        if (error || inside.empty() || *inside.begin() == "..")
            continue;
        if (!removeFile(base + entry))
            left.push_back(base + entry);
    }
    for (const std::string& name : ProgramFileNames())
        if (!removeFile(base + name))
            left.push_back(base + name);
    // Deepest folders first; each goes only once it is empty.
    std::sort(folders.begin(), folders.end(), [](const std::string& a, const std::string& b) {
        return std::count(a.begin(), a.end(), '/') > std::count(b.begin(), b.end(), '/');
    });
    for (const std::string& entry : folders)
        removeIfEmpty(base + entry);
    if (!removeFile(base + std::string(kManifestName)))
        left.push_back(base + std::string(kManifestName));
    removeIfEmpty(folder);
    return left;
}

std::string RemovalCopyPath(const std::string& temporaryFolderWithSlash)
{
    return withSlash(temporaryFolderWithSlash) + "REMOVEME";
}

} // namespace orbita
