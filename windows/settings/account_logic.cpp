#include "windows/settings/account_logic.h"

#include "core/cp1250.h"
#include "core/password_hash.h"
#include "core/registry.h"
#include "core/settings.h"

#include <algorithm>

namespace orbita {
namespace {

constexpr std::string_view kInvalidNameCaption = "Nieprawidłowa nazwa konta";
constexpr std::string_view kPasswordMismatchCaption = "Brak zgodności hasła";

AccountMessage invalidName(std::string_view text)
{
    return { std::string(kInvalidNameCaption), std::string(text), AccountMessageIcon::Warning };
}

// Why a Windows-1250 name breaks the form rules; nothing when it keeps them.
std::optional<std::string_view> formProblem(std::string_view name)
{
    switch (CheckAccountNameForm(name)) {
    case AccountNameForm::Valid:
        return std::nullopt;
    case AccountNameForm::Empty:
        return "Podaj nazwę konta.";
    case AccountNameForm::TooLong:
        return "Nazwa konta może mieć najwyżej 64 znaki.";
    case AccountNameForm::ControlCharacter:
        return "Nazwa konta nie może zawierać znaków sterujących.";
    case AccountNameForm::Separator:
        return "Nazwa konta nie może zawierać znaków \\ ani /.";
    case AccountNameForm::DoubleDot:
        return "Nazwa konta nie może zawierać dwóch kropek obok siebie (..).";
    case AccountNameForm::EdgeBlank:
        return "Nazwa konta nie może zaczynać się ani kończyć odstępem.";
    }
    return std::nullopt;
}

bool listed(const std::vector<std::string>& names, std::string_view name)
{
    return std::any_of(
        names.begin(), names.end(), [&](const std::string& entry) { return Cp1250EqualNoCase(entry, name); });
}

} // namespace

bool IsAdministratorAccount(std::string_view account)
{
    return Cp1250EqualNoCase(account, kAdministratorAccount);
}

bool MayManageAccounts(std::string_view currentAccount)
{
    return IsAdministratorAccount(currentAccount);
}

bool MaySetPassword(std::string_view currentAccount, std::string_view targetAccount)
{
    if (currentAccount.empty() || targetAccount.empty())
        return false;
    return Cp1250EqualNoCase(currentAccount, targetAccount) || IsAdministratorAccount(currentAccount);
}

AccountNameCheck CheckNewAccountName(std::string_view typedUtf8, const std::vector<std::string>& existing)
{
    AccountNameCheck check;
    const auto name = Utf8ToCp1250(typedUtf8);
    if (!name) {
        check.refusal
            = invalidName("Nazwa konta zawiera znak, którego program nie może zapisać w ustawieniach.");
        return check;
    }
    if (const auto problem = formProblem(*name)) {
        check.refusal = invalidName(*problem);
        return check;
    }
    if (Cp1250EqualNoCase(*name, kAdministratorAccount) || Cp1250EqualNoCase(*name, "Root")) {
        check.refusal
            = AccountMessage { "Brak dostępu", "Nazwa konta została zastrzeżona", AccountMessageIcon::Error };
        return check;
    }
    if (listed(existing, *name)) {
        check.refusal = AccountMessage { "Konto już istnieje", "Podane konto jest już utworzone",
            AccountMessageIcon::Warning };
        return check;
    }
    check.name = *name;
    return check;
}

AccountList::AccountList(std::vector<std::string> accounts)
    : m_names(std::move(accounts))
{
}

std::optional<AccountMessage> AccountList::Create(std::string_view typedUtf8)
{
    AccountNameCheck check = CheckNewAccountName(typedUtf8, m_names);
    if (check.refusal)
        return check.refusal;
    m_names.push_back(std::move(check.name));
    m_changed = true;
    return std::nullopt;
}

bool AccountList::CanDelete(std::string_view name) const
{
    return !IsAdministratorAccount(name) && std::find(m_names.begin(), m_names.end(), name) != m_names.end();
}

bool AccountList::Delete(std::string_view name)
{
    if (!CanDelete(name))
        return false;
    m_names.erase(std::find(m_names.begin(), m_names.end(), name));
    m_pending.emplace_back(name);
    m_changed = true;
    return true;
}

std::string InitialPasswordBoxText(std::string_view account)
{
    return ReadString(Setting::Password, account).empty() ? std::string() : std::string(kPasswordPlaceholder);
}

PasswordDecision CheckPasswordBoxes(const PasswordBoxes& boxes, bool administratorPage)
{
    PasswordDecision decision;
    if (!boxes.edited)
        return decision;
    if (boxes.password != boxes.confirmation) {
        decision.refusal = AccountMessage { std::string(kPasswordMismatchCaption),
            administratorPage
                ? "Hasło dostępu do konta Administratora jest niepoprawne. Jeśli nie chcesz, aby program "
                  "wykorzystywał obsługę kont użytkowników, pozostaw pola: Hasło oraz Potwierdzenie hasła "
                  "polami "
                  "pustymi, w przeciwnym wypadku w obydwu polach wprowadź identyczne hasło"
                : "Ustawiono niepoprawne hasło dostępu do konta",
            AccountMessageIcon::Warning };
        return decision;
    }
    if (boxes.password.empty())
        decision.change = PasswordChange::Remove;
    else if (boxes.password != kPasswordPlaceholder) {
        decision.change = PasswordChange::Set;
        decision.password = boxes.password;
    }
    return decision;
}

AccountCommitResult CommitAccountChanges(
    std::string_view currentAccount, const AccountList* list, const PasswordDecision& password)
{
    AccountCommitResult result;
    if (currentAccount.empty() || password.refusal) {
        result.error = "Nie można zapisać zmian kont: żadne konto nie jest zalogowane albo hasła się różnią.";
        return result;
    }
    const bool writeList = list && list->Changed();
    if (writeList && !MayManageAccounts(currentAccount)) {
        result.error = "Tylko Administrator może tworzyć i usuwać konta użytkowników.";
        return result;
    }
    std::string stored;
    if (password.change == PasswordChange::Set) {
        const auto hash = HashPassword(password.password);
        if (!hash || hash->empty()) {
            result.error = "Nie można zapisać hasła: nie udało się obliczyć jego skrótu.";
            return result;
        }
        stored = *hash;
    }
    const bool written = RunRegBatch([&] {
        if (writeList) {
            // Deletions first: a name the user deleted and then created
            // again is meant to exist afterwards (as a new, empty profile).
            for (const std::string& name : list->PendingDeletions())
                DeleteAccount(name);
            for (const std::string& name : list->Names())
                CreateAccount(name);
        }
        if (password.change != PasswordChange::Keep)
            WriteString(Setting::Password, stored, currentAccount);
    });
    if (!written) {
        result.error = "Nie można zapisać zmian kont użytkowników: ustawień programu nie da się zapisać.";
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace orbita
