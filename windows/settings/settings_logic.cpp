#include "windows/settings/settings_logic.h"

#include "core/cp1250.h"
#include "core/settings.h"
#include "data/archive_members.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace orbita {
namespace {

namespace fs = std::filesystem;

constexpr SettingsTreeNode kTree[] = {
    { "Program", 0, "Program" },
    { "Główne", 1, "Glowne" },
    { "Integracja", 1, "Integracja" },
    { "Dźwięki", 1, "Dzwieki" },
    { "Karnacje", 1, "Karnacje" },
    { "Narzędzia", 0, "Narzedzia" },
    { "Profil", 0, "Konta" },
    { "Kopia zapasowa", 0, "Kopia" },
};
static_assert(std::size(kTree) == kSettingsPageCount);

// The fields that mirror one stored value, with the store's setting.
struct StoredField {
    SettingsField field;
    Setting setting;
};
// In the order of the confirmation's steps 2 to 5.
constexpr StoredField kStoredFields[] = {
    { SettingsField::CompactMode, Setting::StartupMode },
    { SettingsField::SavePlacement, Setting::SaveWindowsPlacement },
    { SettingsField::ExitPrompt, Setting::ExitPrompt },
    { SettingsField::ShowHint, Setting::ShowHint },
    { SettingsField::StartupTip, Setting::StartupTip },
    { SettingsField::Sounds, Setting::Sounds },
    { SettingsField::IntroSound, Setting::IntroSound },
    { SettingsField::OpenSound, Setting::WindowOpenSound },
    { SettingsField::CloseSound, Setting::WindowCloseSound },
    { SettingsField::UseBackground, Setting::UseBackground },
    { SettingsField::BackgroundPath, Setting::BackgroundPath },
};

struct IntegrationField {
    SettingsField field;
    IntegrationItem item;
};
constexpr IntegrationField kIntegrationFields[] = {
    { SettingsField::ProgramGroup, IntegrationItem::ProgramGroup },
    { SettingsField::DesktopShortcut, IntegrationItem::DesktopShortcut },
    { SettingsField::MenuShortcut, IntegrationItem::MenuShortcut },
};

struct DefaultTool {
    std::string_view caption;
    std::initializer_list<std::string_view> candidates;
};
const DefaultTool kDefaultTools[] = {
    { "&Notatnik",
        { "gnome-text-editor", "gedit", "kate", "mousepad", "xed", "pluma", "featherpad", "leafpad",
            "kwrite" } },
    { "&Kalkulator", { "gnome-calculator", "kcalc", "galculator", "mate-calc", "qalculate-gtk", "xcalc" } },
    { "&Schowek", { "xclipboard", "copyq", "diodon", "parcellite", "clipit" } },
};

std::string lowerAscii(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
        [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return lower;
}

bool endsWithObs(const std::string& name)
{
    return name.size() > 4 && lowerAscii(name.substr(name.size() - 4)) == ".obs";
}

// The packages of one KARNACJE folder.
std::vector<SkinEntry> skinsIn(const std::string& dataFolder)
{
    std::vector<SkinEntry> found;
    std::error_code error;
    for (fs::directory_iterator it(fs::path(dataFolder) / "KARNACJE", error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (!endsWithObs(name) || !it->is_regular_file(error))
            continue;
        found.push_back({ name.substr(0, name.find('.')), name, it->path().string() });
    }
    return found;
}

bool sameName(std::string_view a, std::string_view b)
{
    return lowerAscii(a) == lowerAscii(b);
}

std::string fromStore(std::string_view cp1250)
{
    return Cp1250ToUtf8(cp1250);
}

} // namespace

std::span<const SettingsTreeNode> SettingsTree()
{
    return kTree;
}

int StoredSettingsPage()
{
    const std::int32_t stored = ReadInteger(Setting::SetupTab);
    return stored >= 0 && stored < kSettingsPageCount ? stored : 0;
}

void WriteSettingsPage(int index)
{
    WriteInteger(Setting::SetupTab, index);
}

bool IsFlagField(SettingsField field)
{
    return field <= SettingsField::UseSkin;
}

bool IsTextField(SettingsField field)
{
    return field >= SettingsField::BackgroundPath && field <= SettingsField::CloseSound;
}

std::vector<SkinEntry> ListSkins(const std::string& programFolder, const std::string& perUserFolder)
{
    std::vector<SkinEntry> skins = skinsIn(perUserFolder);
    for (SkinEntry& skin : skinsIn(programFolder)) {
        const bool shadowed = std::any_of(skins.begin(), skins.end(),
            [&](const SkinEntry& other) { return sameName(other.fileName, skin.fileName); });
        if (!shadowed)
            skins.push_back(std::move(skin));
    }
    std::stable_sort(skins.begin(), skins.end(), [](const SkinEntry& a, const SkinEntry& b) {
        return std::pair(lowerAscii(a.display), lowerAscii(a.fileName))
            < std::pair(lowerAscii(b.display), lowerAscii(b.fileName));
    });
    return skins;
}

bool SkinFolderExists(const std::string& programFolder, const std::string& perUserFolder)
{
    std::error_code error;
    return fs::is_directory(fs::path(programFolder) / "KARNACJE", error)
        || fs::is_directory(fs::path(perUserFolder) / "KARNACJE", error);
}

std::vector<std::string> SkinInformationLines(const SkinEntry& skin)
{
    std::vector<std::string> lines;
    if (auto read = ReadArchiveLines("README.TXT", skin.path))
        for (const std::string& line : *read)
            lines.push_back(Cp1250ToUtf8(line));
    return lines;
}

std::string SkinInformationText(const SkinEntry& skin, std::span<const std::string> lines)
{
    std::string text = "Nazwa pliku: " + skin.fileName + "\n";
    for (const std::string& line : lines)
        text += "\n" + line;
    return text;
}

std::optional<AccountMessage> StorableTextRefusal(std::string_view utf8)
{
    if (Utf8ToCp1250(utf8))
        return std::nullopt;
    return AccountMessage { "Nieobsługiwane znaki",
        "Nie można zapisać „" + std::string(utf8)
            + "” w ustawieniach programu: nazwa zawiera znaki spoza polskiego zestawu znaków. Wybierz plik "
              "lub nazwę bez tych znaków.",
        AccountMessageIcon::Warning };
}

std::string FindExecutableOnPath(std::string_view name)
{
    const char* path = std::getenv("PATH");
    if (name.empty() || !path || name.find('/') != std::string_view::npos)
        return {};
    std::string_view folders(path);
    while (!folders.empty()) {
        const std::size_t colon = folders.find(':');
        const std::string_view folder = folders.substr(0, colon);
        folders = colon == std::string_view::npos ? std::string_view() : folders.substr(colon + 1);
        if (folder.empty() || folder.front() != '/')
            continue;
        std::string candidate = std::string(folder) + "/" + std::string(name);
        std::error_code error;
        if (fs::is_regular_file(candidate, error) && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

std::vector<SettingsTool> DefaultTools(const std::function<std::string(std::string_view)>& findExecutable)
{
    std::vector<SettingsTool> tools;
    for (const DefaultTool& tool : kDefaultTools)
        for (std::string_view candidate : tool.candidates)
            if (std::string found = findExecutable ? findExecutable(candidate) : std::string();
                !found.empty()) {
                tools.push_back({ std::string(tool.caption), std::move(found) });
                break;
            }
    return tools;
}

SettingsModel::SettingsModel(SettingsEnvironment environment)
    : m_env(std::move(environment))
{
    const std::string& account = m_env.account;
    for (const StoredField& stored : kStoredFields) {
        if (IsFlagField(stored.field))
            m_flags[index(stored.field)] = ReadFlag(stored.setting, account);
        else
            m_texts[index(stored.field)] = fromStore(ReadString(stored.setting, account));
    }
    for (const IntegrationField& item : kIntegrationFields)
        m_flags[index(item.field)] = m_env.integration && m_env.integration->Exists(item.item);

    for (const ToolEntry& tool : ReadTools(account))
        m_tools.push_back({ fromStore(tool.caption), fromStore(tool.command) });

    m_skinFolder = SkinFolderExists(m_env.programFolder, m_env.perUserFolder);
    if (m_skinFolder) {
        m_skins = ListSkins(m_env.programFolder, m_env.perUserFolder);
        // The stored file name, else (a value stored by an older version) the
        // text before its first dot.
        const std::string stored = fromStore(ReadString(Setting::SkinFile, account));
        for (std::size_t i = 0; i < m_skins.size() && !m_skin; ++i)
            if (sameName(m_skins[i].fileName, stored))
                m_skin = i;
        for (std::size_t i = 0; i < m_skins.size() && !m_skin && !stored.empty(); ++i)
            if (sameName(m_skins[i].display, stored.substr(0, stored.find('.'))))
                m_skin = i;
        m_flags[index(SettingsField::UseSkin)] = ReadFlag(Setting::UseSkin, account);
    }

    if (MayManageAccounts(account))
        m_accounts.emplace(AccountNames());
    const std::string initial = InitialPasswordBoxText(account);
    m_passwords = { initial, initial, false };
}

bool SettingsModel::IsAdministrator() const
{
    return IsAdministratorAccount(m_env.account);
}

bool SettingsModel::Flag(SettingsField field) const
{
    return m_flags[index(field)];
}

const std::string& SettingsModel::Text(SettingsField field) const
{
    return m_texts[index(field)];
}

void SettingsModel::mark(SettingsField field)
{
    m_marks[index(field)] = true;
}

bool SettingsModel::setFlagValue(SettingsField field, bool on)
{
    mark(field);
    const bool changed = m_flags[index(field)] != on;
    m_flags[index(field)] = on;
    return changed;
}

bool SettingsModel::setTextValue(SettingsField field, std::string utf8)
{
    mark(field);
    const bool changed = m_texts[index(field)] != utf8;
    m_texts[index(field)] = std::move(utf8);
    return changed;
}

void SettingsModel::SetFlag(SettingsField field, bool on)
{
    if (!IsFlagField(field))
        return;
    setFlagValue(field, on);
    m_confirmEnabled = true;
}

void SettingsModel::SetText(SettingsField field, std::string utf8)
{
    if (!IsTextField(field))
        return;
    setTextValue(field, std::move(utf8));
    m_confirmEnabled = true;
}

void SettingsModel::SelectSkin(std::size_t index)
{
    if (index >= m_skins.size())
        return;
    m_skin = index;
    mark(SettingsField::Skin);
    m_confirmEnabled = true;
}

std::optional<AccountMessage> SettingsModel::AddTool(std::string name, std::string path)
{
    if (name.empty() || path.empty())
        return std::nullopt;
    for (const std::string* text : { &name, &path })
        if (auto refusal = StorableTextRefusal(*text))
            return refusal;
    const std::string storedName = *Utf8ToCp1250(name);
    for (const SettingsTool& tool : m_tools)
        if (Cp1250EqualNoCase(Utf8ToCp1250Lossy(tool.name), storedName))
            return AccountMessage { "Narzędzie już istnieje",
                "Narzędzie o nazwie „" + tool.name + "” jest już na liście. Podaj inną nazwę.",
                AccountMessageIcon::Warning };
    m_tools.push_back({ std::move(name), std::move(path) });
    mark(SettingsField::Tools);
    m_confirmEnabled = true;
    return std::nullopt;
}

void SettingsModel::DeleteTool(std::size_t index)
{
    if (index >= m_tools.size())
        return;
    m_tools.erase(m_tools.begin() + static_cast<std::ptrdiff_t>(index));
    mark(SettingsField::Tools);
    m_confirmEnabled = true;
}

std::optional<AccountMessage> SettingsModel::CreateAccount(std::string_view typedUtf8)
{
    if (!m_accounts)
        return std::nullopt;
    auto refusal = m_accounts->Create(typedUtf8);
    if (!refusal)
        m_confirmEnabled = true;
    return refusal;
}

bool SettingsModel::DeleteAccount(std::string_view name)
{
    if (!m_accounts || !m_accounts->Delete(name))
        return false;
    m_confirmEnabled = true;
    return true;
}

void SettingsModel::SetPasswordBoxes(std::string password, std::string confirmation)
{
    m_passwords = { std::move(password), std::move(confirmation), true };
    m_confirmEnabled = true;
}

void SettingsModel::ApplyDefaults()
{
    bool changed = false;
    const auto flag = [&](SettingsField field, bool on) { changed |= setFlagValue(field, on); };
    flag(SettingsField::CompactMode, false);
    flag(SettingsField::SavePlacement, false);
    flag(SettingsField::ExitPrompt, true);
    flag(SettingsField::ShowHint, true);
    flag(SettingsField::StartupTip, true);
    flag(SettingsField::ProgramGroup, true);
    flag(SettingsField::DesktopShortcut, false);
    flag(SettingsField::MenuShortcut, false);
    if (m_skinFolder)
        flag(SettingsField::UseSkin, false);
    flag(SettingsField::Sounds, true);
    flag(SettingsField::UseBackground, true);

    const auto programFile = [&](SettingsField field, const char* name) {
        const std::string path = m_env.programFolder + name;
        std::error_code error;
        if (fs::is_regular_file(path, error))
            changed |= setTextValue(field, path);
    };
    programFile(SettingsField::IntroSound, "INTRO.WAV");
    programFile(SettingsField::OpenSound, "OTWORZ.WAV");
    programFile(SettingsField::CloseSound, "ZAMKNIJ.WAV");
    programFile(SettingsField::BackgroundPath, "FAKTURA.BMP");

    // A replaced tools list is a visible change, and OK must be able to
    // confirm it.
    std::vector<SettingsTool> tools = DefaultTools(m_env.findExecutable);
    changed |= tools != m_tools;
    m_tools = std::move(tools);
    mark(SettingsField::Tools);

    if (changed)
        m_confirmEnabled = true;
}

bool SettingsModel::NeedsModeQuestion() const
{
    return m_skinFolder && Flag(SettingsField::UseSkin) && Flag(SettingsField::CompactMode);
}

void SettingsModel::AnswerModeQuestion(bool yes)
{
    if (yes)
        setFlagValue(SettingsField::CompactMode, false);
}

SettingsModel::CommitResult SettingsModel::Commit()
{
    CommitResult result;
    const std::string& account = m_env.account;

    // Checks that keep the window open.
    const PasswordDecision password = CheckPasswordBoxes(m_passwords, IsAdministrator());
    if (password.refusal) {
        result.refusal = password.refusal;
        return result;
    }
    for (const StoredField& stored : kStoredFields)
        if (IsTextField(stored.field) && IsChanged(stored.field))
            if (auto refusal = StorableTextRefusal(Text(stored.field))) {
                result.refusal = refusal;
                return result;
            }
    if (IsChanged(SettingsField::Tools))
        for (const SettingsTool& tool : m_tools)
            for (const std::string* text : { &tool.name, &tool.path })
                if (auto refusal = StorableTextRefusal(*text)) {
                    result.refusal = refusal;
                    return result;
                }
    const bool writeSkin = IsChanged(SettingsField::Skin) && m_skin;
    if (writeSkin)
        if (auto refusal = StorableTextRefusal(m_skins[*m_skin].fileName)) {
            result.refusal = refusal;
            return result;
        }

    // Steps 2 to 5: the stored values.
    for (const StoredField& stored : kStoredFields) {
        if (!IsChanged(stored.field))
            continue;
        if (IsFlagField(stored.field))
            WriteFlag(stored.setting, Flag(stored.field), account);
        else
            WriteString(stored.setting, *Utf8ToCp1250(Text(stored.field)), account);
    }
    // Steps 6 and 7: the desktop integration; one failure does not stop the others.
    if (m_env.integration)
        for (const IntegrationField& item : kIntegrationFields) {
            if (!IsChanged(item.field))
                continue;
            std::vector<std::string> failures = Flag(item.field) ? m_env.integration->Create(item.item)
                                                                 : m_env.integration->Remove(item.item);
            result.failures.insert(result.failures.end(), failures.begin(), failures.end());
        }
    // Step 8: the tools, rewritten in list order.
    if (IsChanged(SettingsField::Tools)) {
        std::vector<ToolEntry> tools;
        for (const SettingsTool& tool : m_tools)
            tools.push_back({ *Utf8ToCp1250(tool.name), *Utf8ToCp1250(tool.path) });
        RewriteTools(tools, account);
    }
    // Step 9: the accounts and the password.
    const AccountList* list = AccountsChanged() ? &*m_accounts : nullptr;
    if (list || password.change != PasswordChange::Keep) {
        const AccountCommitResult accounts = CommitAccountChanges(account, list, password);
        if (!accounts.ok)
            result.failures.push_back(accounts.error);
    }
    // Step 10: the skin.
    if (m_skinFolder && IsChanged(SettingsField::UseSkin))
        WriteFlag(Setting::UseSkin, Flag(SettingsField::UseSkin), account);
    if (writeSkin)
        WriteString(Setting::SkinFile, *Utf8ToCp1250(m_skins[*m_skin].fileName), account);
    return result;
}

} // namespace orbita
