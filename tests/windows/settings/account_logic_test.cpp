#include "core/cp1250.h"
#include "core/password_hash.h"
#include "core/registry.h"
#include "core/scramble.h"
#include "core/settings.h"
#include "tests/core/registry_test_support.h"
#include "windows/settings/account_logic.h"
#include "windows/settings/login_logic.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace orbita {
namespace {

using Accounts = test::TempRegistry;

std::string cp(const char* utf8)
{
    return *Utf8ToCp1250(utf8);
}

// Every string stored in registry.db, read past the store.
std::vector<std::string> rawStoredStrings(const std::string& dbPath)
{
    ReleaseRegistryConnection();
    std::vector<std::string> texts;
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open_v2(dbPath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(
                  db, "SELECT CAST(name AS TEXT), CAST(data AS TEXT) FROM value", -1, &stmt, nullptr),
        SQLITE_OK);
    while (stmt && sqlite3_step(stmt) == SQLITE_ROW) {
        const auto* name = sqlite3_column_text(stmt, 0);
        const auto* data = sqlite3_column_text(stmt, 1);
        texts.push_back(std::string(name ? reinterpret_cast<const char*>(name) : "") + "="
            + (data ? reinterpret_cast<const char*>(data) : ""));
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return texts;
}

TEST(AccountNames, ReservedAndDuplicateNamesFollowTheStoresCaseRule)
{
    const std::vector<std::string> existing { "Administrator", cp("Łukasz"), "Ania" };
    for (const char* reserved :
        { "Administrator", "ADMINISTRATOR", "aDmInIsTrAtOr", "Root", "ROOT", "root" }) {
        const auto check = CheckNewAccountName(reserved, existing);
        ASSERT_TRUE(check.refusal) << reserved;
        EXPECT_EQ(check.refusal->caption, "Brak dostępu");
        EXPECT_EQ(check.refusal->text, "Nazwa konta została zastrzeżona");
        EXPECT_EQ(check.refusal->icon, AccountMessageIcon::Error);
    }
    for (const char* duplicate : { "łukasz", "ŁUKASZ", "Łukasz", "ania", "ANIA" }) {
        const auto check = CheckNewAccountName(duplicate, existing);
        ASSERT_TRUE(check.refusal) << duplicate;
        EXPECT_EQ(check.refusal->caption, "Konto już istnieje");
        EXPECT_EQ(check.refusal->text, "Podane konto jest już utworzone");
        EXPECT_EQ(check.refusal->icon, AccountMessageIcon::Warning);
    }
    // Names only near the reserved or listed ones are accepted, in Windows-1250.
    for (const char* fine : { "Rooty", "Administratorka", "Lukasz", "Żaneta Ćwik", "Ania.B" }) {
        const auto check = CheckNewAccountName(fine, existing);
        EXPECT_FALSE(check.refusal) << fine;
        EXPECT_EQ(check.name, cp(fine));
    }
}

TEST(AccountNames, NamesThatAreNoSafeKeyOrFileNameAreRefused)
{
    const std::string longest(kMaxAccountNameLength, 'a');
    EXPECT_FALSE(CheckNewAccountName(longest, {}).refusal);
    const struct {
        std::string name;
        const char* because;
    } cases[] = {
        { "", "Podaj nazwę konta." }, { longest + "b", "64 znaki" },
        { std::string(40, 'x') + "żżżżżżżżżżżżżżżżżżżżżżżżż", "64 znaki" }, // 65 letters, more bytes
        { "a\\b", "\\ ani /" }, { "../x", "\\ ani /" }, { "..", "(..)" }, { "a..b", "(..)" },
        { "tab\there", "sterujących" }, { std::string("nul\0x", 5), "sterujących" },
        { "del\x7F", "sterujących" }, { " Ania", "odstępem" }, { "Ania ", "odstępem" },
        { "Ania\xC2\xA0", "odstępem" }, // no-break space
        { "Ания", "nie może zapisać" }, // Cyrillic: not in Windows-1250
    };
    for (const auto& c : cases) {
        const auto check = CheckNewAccountName(c.name, {});
        ASSERT_TRUE(check.refusal) << c.name;
        EXPECT_EQ(check.refusal->caption, "Nieprawidłowa nazwa konta") << c.name;
        EXPECT_NE(check.refusal->text.find(c.because), std::string::npos)
            << c.name << ": " << check.refusal->text;
    }
}

TEST(AccountRights, OnlyTheAdministratorManagesAccountsAndOthersOnlyTheirOwnPassword)
{
    EXPECT_TRUE(MayManageAccounts("Administrator"));
    EXPECT_FALSE(MayManageAccounts("Ania"));
    EXPECT_FALSE(MayManageAccounts(""));
    EXPECT_TRUE(MaySetPassword("Ania", "Ania"));
    EXPECT_FALSE(MaySetPassword("Ania", "Administrator"));
    EXPECT_FALSE(MaySetPassword("Ania", "Jan"));
    EXPECT_TRUE(MaySetPassword("Administrator", "Administrator"));
    EXPECT_TRUE(MaySetPassword("Administrator", "Ania"));
    EXPECT_FALSE(MaySetPassword("", ""));
}

TEST_F(Accounts, CommitDeletesThenCreatesSoARecreatedAccountExistsAfresh)
{
    CreateAccount("Administrator");
    CreateAccount("Jan");
    CreateAccount("Ewa");
    WriteInteger(Setting::StartupMode, 1, "Jan");
    WriteInteger(Setting::StartupMode, 1, "Ewa");
    AccountList list(AccountNames());
    EXPECT_FALSE(list.Changed());
    EXPECT_FALSE(list.CanDelete("Administrator"));
    EXPECT_FALSE(list.Delete("Administrator"));
    EXPECT_FALSE(list.Delete("Nikt"));
    EXPECT_FALSE(list.Changed());

    EXPECT_FALSE(list.Create("Zoja"));
    EXPECT_FALSE(list.Create("Ala"));
    EXPECT_TRUE(list.Delete("Jan"));
    EXPECT_FALSE(list.Delete("Jan")) << "no longer listed";
    EXPECT_FALSE(list.Create("Jan")) << "a deleted name may be created again";
    EXPECT_TRUE(list.Delete("Ewa"));
    const auto again = list.Create("ZOJA");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->caption, "Konto już istnieje");
    EXPECT_TRUE(list.Changed());
    EXPECT_EQ(list.Names(), (std::vector<std::string> { "Administrator", "Zoja", "Ala", "Jan" }));
    EXPECT_EQ(list.PendingDeletions(), (std::vector<std::string> { "Jan", "Ewa" }));

    // Nothing is written before the commit.
    EXPECT_EQ(AccountNames(), (std::vector<std::string> { "Administrator", "Ewa", "Jan" }));
    const auto result = CommitAccountChanges("Administrator", &list, {});
    ASSERT_TRUE(result.ok) << result.error;
    // Jan, deleted and created again, exists, with none of the old settings;
    // Ewa, only deleted, is gone.
    EXPECT_EQ(AccountNames(), (std::vector<std::string> { "Administrator", "Ala", "Jan", "Zoja" }));
    EXPECT_TRUE(RegKeyExists(Hive::CurrentUser, "Software\\Orbita\\Jan"));
    EXPECT_FALSE(IsStored(Setting::StartupMode, "Jan"));
    EXPECT_FALSE(RegKeyExists(Hive::CurrentUser, "Software\\Orbita\\Ewa"));
}

TEST_F(Accounts, AnAccountRecreatedUnderAnotherCaseTakesTheNewSpelling)
{
    CreateAccount("Administrator");
    CreateAccount(cp("Łucja"));
    WriteInteger(Setting::StartupMode, 1, cp("Łucja"));
    AccountList list(AccountNames());
    ASSERT_TRUE(list.Delete(cp("Łucja")));
    ASSERT_FALSE(list.Create("ŁUCJA"));
    ASSERT_TRUE(CommitAccountChanges("Administrator", &list, {}).ok);
    EXPECT_EQ(AccountNames(), (std::vector<std::string> { "Administrator", cp("ŁUCJA") }));
    EXPECT_FALSE(IsStored(Setting::StartupMode, cp("ŁUCJA")));
}

TEST_F(Accounts, AnotherAccountCannotCommitAnAccountList)
{
    CreateAccount("Administrator");
    CreateAccount("Ania");
    AccountList list(AccountNames());
    ASSERT_FALSE(list.Create("Obcy"));
    const auto result = CommitAccountChanges("Ania", &list, {});
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.empty());
    EXPECT_FALSE(RegKeyExists(Hive::CurrentUser, "Software\\Orbita\\Obcy"));
}

TEST(AccountPasswords, BoxesDecideKeepSetOrRemoveAndMismatchKeepsTheWindowOpen)
{
    const std::string placeholder(kPasswordPlaceholder);
    // Not edited: kept, whatever the boxes hold.
    EXPECT_EQ(CheckPasswordBoxes({ placeholder, placeholder, false }, false).change, PasswordChange::Keep);
    EXPECT_EQ(CheckPasswordBoxes({ "a", "b", false }, true).change, PasswordChange::Keep);
    // Edited and back to the placeholder: the placeholder is never stored.
    EXPECT_EQ(CheckPasswordBoxes({ placeholder, placeholder, true }, true).change, PasswordChange::Keep);
    EXPECT_EQ(CheckPasswordBoxes({ "", "", true }, true).change, PasswordChange::Remove);
    const auto set = CheckPasswordBoxes({ "Tajne1", "Tajne1", true }, false);
    EXPECT_EQ(set.change, PasswordChange::Set);
    EXPECT_EQ(set.password, "Tajne1");
    EXPECT_FALSE(set.refusal);

    const auto user = CheckPasswordBoxes({ "Tajne1", "tajne1", true }, false);
    ASSERT_TRUE(user.refusal);
    EXPECT_EQ(user.refusal->caption, "Brak zgodności hasła");
    EXPECT_EQ(user.refusal->text, "Ustawiono niepoprawne hasło dostępu do konta");
    EXPECT_EQ(user.refusal->icon, AccountMessageIcon::Warning);
    const auto admin = CheckPasswordBoxes({ "", placeholder, true }, true);
    ASSERT_TRUE(admin.refusal);
    EXPECT_EQ(admin.refusal->caption, "Brak zgodności hasła");
    EXPECT_EQ(admin.refusal->text,
        "Hasło dostępu do konta Administratora jest niepoprawne. Jeśli nie chcesz, aby program wykorzystywał "
        "obsługę kont użytkowników, pozostaw pola: Hasło oraz Potwierdzenie hasła polami pustymi, w "
        "przeciwnym "
        "wypadku w obydwu polach wprowadź identyczne hasło");
}

TEST_F(Accounts, TheStoreHoldsNoReversiblePasswordAndLoginChecksTheHash)
{
    CreateAccount("Administrator");
    CreateAccount(cp("Łucja"));
    EXPECT_EQ(InitialPasswordBoxText(cp("Łucja")), "");
    const std::string password = "Sól-7ąę";
    const auto decision = CheckPasswordBoxes({ password, password, true }, false);
    ASSERT_TRUE(CommitAccountChanges(cp("Łucja"), nullptr, decision).ok);
    EXPECT_EQ(InitialPasswordBoxText(cp("Łucja")), kPasswordPlaceholder);
    EXPECT_TRUE(ReadString(Setting::Password, "Administrator").empty()) << "only the own password";

    bool found = false;
    const std::string scrambled = ScrambleText(kPasswordScrambleKey, cp(password.c_str()));
    for (const std::string& raw : rawStoredStrings(dbPath())) {
        EXPECT_EQ(raw.find(password), std::string::npos) << raw;
        EXPECT_EQ(raw.find(cp(password.c_str())), std::string::npos) << raw;
        EXPECT_EQ(raw.find(scrambled), std::string::npos) << raw;
        if (raw.starts_with("Password=")) {
            found = true;
            const std::string stored = raw.substr(9);
            EXPECT_TRUE(stored.starts_with("$argon2id$")) << stored;
            EXPECT_NE(UnscrambleText(kPasswordScrambleKey, stored), cp(password.c_str()));
        }
    }
    EXPECT_TRUE(found);

    EXPECT_TRUE(AcceptLoginPassword(cp("Łucja"), password));
    EXPECT_FALSE(AcceptLoginPassword(cp("Łucja"), "sól-7ąę"));
    EXPECT_FALSE(AcceptLoginPassword(cp("Łucja"), ""));
    EXPECT_TRUE(AcceptLoginPassword("Administrator", "")) << "no password: an empty box";
    EXPECT_FALSE(AcceptLoginPassword("Administrator", "x"));

    // Both boxes cleared: the password is gone, and with it the login window.
    ASSERT_TRUE(CommitAccountChanges(cp("Łucja"), nullptr, CheckPasswordBoxes({ "", "", true }, false)).ok);
    EXPECT_TRUE(IsStored(Setting::Password, cp("Łucja")));
    EXPECT_EQ(ReadString(Setting::Password, cp("Łucja")), "");
    EXPECT_TRUE(AcceptLoginPassword(cp("Łucja"), ""));
}

TEST_F(Accounts, AnOlderScrambledPasswordIsAcceptedOnceAndRewrittenAsAHash)
{
    const std::string old = ScrambleText(kPasswordScrambleKey, cp("Stare1ż"));
    WriteString(Setting::Password, old, "Administrator");
    EXPECT_FALSE(AcceptLoginPassword("Administrator", "stare1ż"));
    EXPECT_EQ(ReadString(Setting::Password, "Administrator"), old) << "a failed login rewrites nothing";
    EXPECT_TRUE(AcceptLoginPassword("Administrator", "Stare1ż"));
    const std::string rewritten = ReadString(Setting::Password, "Administrator");
    EXPECT_TRUE(IsPasswordHash(rewritten)) << rewritten;
    EXPECT_EQ(CheckPassword(rewritten, "Stare1ż"), PasswordCheck::Match);
    EXPECT_TRUE(AcceptLoginPassword("Administrator", "Stare1ż"));
    EXPECT_EQ(ReadString(Setting::Password, "Administrator"), rewritten) << "a hash is not rewritten again";
    // Typing the old stored text itself is no way in.
    EXPECT_FALSE(AcceptLoginPassword("Administrator", old));
}

} // namespace
} // namespace orbita
