#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbita {

// The account rules of the settings window's Konta page ("Profil"), free of
// Qt: the window keeps an AccountList and the two password boxes, asks these
// functions what to do and shows the messages they give. Account names are
// Windows-1250 (as the store keeps them) except where a parameter says UTF-8
// (text typed into a box); messages are UTF-8.
//
// Order of a confirmed settings window (after its own checks):
//   1. CheckPasswordBoxes for the page's two boxes; a refusal keeps the
//      window open and nothing is written;
//   2. CommitAccountChanges: the account list (Administrator only: delete
//      the pending ones in order, then create keys in list order) and then
//      the password, as one transaction.

// A message box to show: caption, text and icon.
enum class AccountMessageIcon { Error, Warning };
struct AccountMessage {
    std::string caption;
    std::string text;
    AccountMessageIcon icon = AccountMessageIcon::Warning;
};

// --- Rights --------------------------------------------------------------

// True for the Administrator (compared by the store's case rule).
bool IsAdministratorAccount(std::string_view account);
// Only the Administrator sees the account list and creates or deletes accounts.
bool MayManageAccounts(std::string_view currentAccount);
// Every account may set its own password; the Administrator also another's
// (his own is the one that switches the login window on and off).
bool MaySetPassword(std::string_view currentAccount, std::string_view targetAccount);

// --- Names ---------------------------------------------------------------

// Checks a name typed into NewAccount (UTF-8): it must be representable in
// Windows-1250 and keep the form rules (CheckAccountNameForm, core/settings.h:
// at most 64 characters, no "\", "/", "..", control characters or blanks at
// either end); it must be none of the reserved names "Administrator" and
// "Root" and none of the names of `existing`, all
// compared by the store's case rule (Windows-1250 letters included: "Łukasz"
// and "łukasz" are one account). Gives the Windows-1250 name to add, or the
// message to show.
struct AccountNameCheck {
    std::string name;
    std::optional<AccountMessage> refusal;
};
AccountNameCheck CheckNewAccountName(std::string_view typedUtf8, const std::vector<std::string>& existing);

// The working copy of the account list while the settings window is open.
class AccountList {
public:
    // `accounts`: the sub-keys of Software\Orbita (AccountNames()).
    explicit AccountList(std::vector<std::string> accounts);

    const std::vector<std::string>& Names() const { return m_names; }
    const std::vector<std::string>& PendingDeletions() const { return m_pending; }
    // True after a create or delete: the window marks the list changed.
    bool Changed() const { return m_changed; }

    // Checks the typed name (CheckNewAccountName) and appends it as typed;
    // the refusal, if any, is to be shown (the list is then unchanged).
    std::optional<AccountMessage> Create(std::string_view typedUtf8);
    // DeleteUserButton is enabled only for a listed name other than the
    // Administrator.
    bool CanDelete(std::string_view name) const;
    // Removes the name from the list and records it for deletion; false (and
    // nothing changed) when CanDelete is false. A name deleted and created
    // again before the commit ends as a fresh account of that name: the old
    // profile goes with its settings, and the new one is made after it.
    bool Delete(std::string_view name);

private:
    std::vector<std::string> m_names;
    std::vector<std::string> m_pending;
    bool m_changed = false;
};

// --- Passwords -----------------------------------------------------------

// The stored password is never shown: when the account has one, both boxes
// open with this fixed text (UTF-8), which is never stored. Boxes not edited
// leave the password as it is; both cleared remove it.
inline constexpr std::string_view kPasswordPlaceholder
    = "\xE2\x80\xA2\xE2\x80\xA2\xE2\x80\xA2\xE2\x80\xA2\xE2\x80\xA2\xE2\x80\xA2\xE2\x80\xA2\xE2\x80\xA2";
// What both boxes show when the page opens for `account`.
std::string InitialPasswordBoxText(std::string_view account);

// The two boxes of the page (UTF-8) and whether either was edited.
struct PasswordBoxes {
    std::string password;
    std::string confirmation;
    bool edited = false;
};

enum class PasswordChange { Keep, Set, Remove };
struct PasswordDecision {
    PasswordChange change = PasswordChange::Keep;
    std::string password; // UTF-8, for Set
    std::optional<AccountMessage> refusal; // the boxes differ: keep the window open
};

// The check on OK: the two boxes must agree (the Administrator's page has
// its own, longer message). Not edited, or both still the placeholder →
// Keep; both empty → Remove; otherwise Set.
PasswordDecision CheckPasswordBoxes(const PasswordBoxes& boxes, bool administratorPage);

// --- Commit --------------------------------------------------------------

struct AccountCommitResult {
    bool ok = false;
    std::string error; // Polish, UTF-8, when !ok (nothing was written)
};

// Writes the page's changes for `currentAccount`: when `list` is given and
// changed (the Administrator's page), the deletion of every pending name in
// order, then a profile key for every listed name in list order (existing
// keys stay as they are), so that an account deleted and created again is
// there afterwards, empty; then the password decision for the current account
// (a fresh hash, or the empty value for Remove). All of it as one
// transaction: on any failure nothing is written. Refuses a list from an
// account that may not manage accounts.
AccountCommitResult CommitAccountChanges(
    std::string_view currentAccount, const AccountList* list, const PasswordDecision& password);

} // namespace orbita
