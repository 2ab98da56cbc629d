#include "core/profile_backup.h"

#include "core/cp1250.h"
#include "core/file_io.h"
#include "core/settings.h"

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace orbita {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kBackupFolderName = "KOPIE";
constexpr std::size_t kMaxListedSkips = 10;

// The components of a key path, empty ones dropped.
std::vector<std::string_view> keyParts(std::string_view key)
{
    std::vector<std::string_view> parts;
    while (!key.empty()) {
        const std::size_t end = key.find('\\');
        const std::string_view part = key.substr(0, end);
        if (!part.empty())
            parts.push_back(part);
        if (end == std::string_view::npos)
            break;
        key.remove_prefix(end + 1);
    }
    return parts;
}

std::string describe(const RegFileOperation& op)
{
    using Kind = RegFileOperation::Kind;
    std::string text = std::string(op.kind == Kind::DeleteKey ? "[-" : "[") + std::string(HiveName(op.hive))
        + "\\" + Cp1250ToUtf8(op.key) + "]";
    if (op.kind == Kind::SetString || op.kind == Kind::SetInteger || op.kind == Kind::DeleteValue)
        text += " \"" + (op.name.empty() ? std::string("@") : Cp1250ToUtf8(op.name)) + "\"";
    return text;
}

// True when KOPIE in `dataFolder` exists or could be created, and can be
// written.
bool backupFolderWritable(const std::string& dataFolder)
{
    if (dataFolder.empty())
        return false;
    const std::string folder = dataFolder + "/" + std::string(kBackupFolderName);
    std::error_code error;
    fs::create_directories(folder, error);
    return fs::is_directory(folder, error) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

BackupReport failure(std::string path, std::string caption, std::string text)
{
    BackupReport report;
    report.path = std::move(path);
    report.caption = std::move(caption);
    report.text = std::move(text);
    report.icon = BackupIcon::Error;
    return report;
}

} // namespace

std::string PerUserDataFolder()
{
    const std::string base = DataHomeFolder();
    return base.empty() ? std::string() : base + "/orbita";
}

BackupFolders DefaultBackupFolders(const std::string& programFolder)
{
    return { programFolder, PerUserDataFolder() };
}

std::optional<std::string> BackupFileIn(const std::string& dataFolder, std::string_view account)
{
    if (dataFolder.empty() || CheckAccountNameForm(account) != AccountNameForm::Valid)
        return std::nullopt;
    const fs::path folder = fs::path(dataFolder) / kBackupFolderName;
    const fs::path file = folder / (Cp1250ToUtf8(account) + ".reg");
    // The name holds no separator and no "..": checked once more here, on the
    // path itself, so that the file can never lie outside KOPIE.
    if (file.lexically_normal().parent_path() != folder.lexically_normal() || file.filename() == ".reg")
        return std::nullopt;
    return file.string();
}

std::optional<std::string> ExistingBackupFile(const BackupFolders& folders, std::string_view account)
{
    std::optional<std::string> newest;
    fs::file_time_type newestTime;
    for (const std::string* folder : { &folders.program, &folders.perUser }) {
        const auto file = BackupFileIn(*folder, account);
        std::error_code error;
        if (!file || !fs::is_regular_file(*file, error))
            continue;
        const auto time = fs::last_write_time(*file, error);
        if (!error && (!newest || time > newestTime)) {
            newest = file;
            newestTime = time;
        }
    }
    return newest;
}

BackupReport BackupProfile(const BackupFolders& folders, std::string_view account)
{
    constexpr std::string_view kFailedCaption = "Kopia nie została wykonana";
    if (CheckAccountNameForm(account) != AccountNameForm::Valid)
        return failure({}, std::string(kFailedCaption),
            "Nie można wykonać kopii ustawień: nazwa konta „" + Cp1250ToUtf8(account)
                + "” nie może być nazwą pliku.");
    const bool inProgramFolder = backupFolderWritable(folders.program);
    if (!inProgramFolder && !backupFolderWritable(folders.perUser))
        return failure({}, std::string(kFailedCaption),
            "Nie można utworzyć ani zapisać folderu kopii ustawień " + folders.program + "/"
                + std::string(kBackupFolderName) + " ani " + folders.perUser + "/"
                + std::string(kBackupFolderName) + ".");
    const std::string path = *BackupFileIn(inProgramFolder ? folders.program : folders.perUser, account);
    // The password stays out of the file: KOPIE may be readable by everyone.
    const std::string profileKey = ProfileKeyPath(account);
    const RegFileResult written = ExportRegFile(
        path, Hive::CurrentUser, profileKey, [&](std::string_view key, std::string_view name) {
            return Cp1250EqualNoCase(key, profileKey)
                && Cp1250EqualNoCase(name, Describe(Setting::Password).name);
        });
    if (!written.ok)
        return failure(path, std::string(kFailedCaption), written.error);
    BackupReport report;
    report.ok = true;
    report.path = path;
    report.caption = "Kopia wykonana";
    report.text = "Kopia ustawień została pomyślnie wykonana";
    if (!inProgramFolder)
        report.text
            += "\n\nFolder programu nie pozwala na zapis; kopia została zapisana w pliku " + path + ".";
    report.icon = BackupIcon::Information;
    return report;
}

bool RestoreMayApply(const RegFileOperation& op, std::string_view account)
{
    if (op.hive != Hive::CurrentUser || CheckAccountNameForm(account) != AccountNameForm::Valid)
        return false;
    const std::string profileKey = ProfileKeyPath(account);
    const std::vector<std::string_view> profile = keyParts(profileKey);
    const std::vector<std::string_view> key = keyParts(op.key);
    if (key.size() < profile.size())
        return false;
    for (std::size_t i = 0; i < profile.size(); ++i)
        if (!Cp1250EqualNoCase(key[i], profile[i]))
            return false;
    if (key.size() == profile.size()) {
        using Kind = RegFileOperation::Kind;
        if (op.kind == Kind::DeleteKey)
            return false; // the account itself is not removed by a restore
        const bool value
            = op.kind == Kind::SetString || op.kind == Kind::SetInteger || op.kind == Kind::DeleteValue;
        if (value && Cp1250EqualNoCase(op.name, Describe(Setting::Password).name))
            return false;
    }
    return true;
}

BackupReport RestoreProfile(const std::string& path, std::string_view account)
{
    constexpr std::string_view kFailedCaption = "Kopia nie została przywrócona";
    const RegFileRead read = ReadRegFile(path);
    if (!read.result.ok)
        return failure(path, std::string(kFailedCaption), read.result.error);
    std::vector<RegFileOperation> applied;
    BackupReport report;
    report.path = path;
    for (const RegFileOperation& op : read.operations) {
        if (RestoreMayApply(op, account))
            applied.push_back(op);
        else
            report.skipped.push_back(describe(op));
    }
    const std::string accountUtf8 = Cp1250ToUtf8(account);
    if (applied.empty()) {
        report.caption = kFailedCaption;
        report.text
            = "Plik " + path + " nie zawiera ustawień konta " + accountUtf8 + "; nic nie zostało zmienione.";
        return report;
    }
    if (!ApplyRegFile(applied))
        return failure(path, std::string(kFailedCaption), ApplyFailedText(path));
    report.ok = true;
    report.caption = "Kopia przywrócona";
    report.text = "Ustawienia konta " + accountUtf8 + " zostały przywrócone z pliku " + path + ".";
    report.icon = BackupIcon::Information;
    if (!report.skipped.empty()) {
        report.icon = BackupIcon::Warning;
        report.text
            += "\n\nPominięto wpisy spoza ustawień tego konta (hasło konta nie jest przywracane z kopii):";
        for (std::size_t i = 0; i < report.skipped.size() && i < kMaxListedSkips; ++i)
            report.text += "\n" + report.skipped[i];
        if (report.skipped.size() > kMaxListedSkips)
            report.text += "\n… i " + std::to_string(report.skipped.size() - kMaxListedSkips) + " innych.";
    }
    return report;
}

} // namespace orbita
