#include "windows/settings/login_logic.h"

#include "core/registry.h"
#include "core/scramble.h"

namespace orbita {
namespace {

std::string storedPassword(const std::string& account)
{
    return ReadRegString(Hive::CurrentUser, "Software\\Orbita\\" + account, "Password");
}

} // namespace

std::vector<std::string> LoginAccounts()
{
    return RegSubKeyNames(Hive::CurrentUser, "Software\\Orbita");
}

int PreselectedAccount(const std::vector<std::string>& accounts)
{
    for (std::size_t i = 0; i < accounts.size(); ++i)
        if (accounts[i] == "Administrator")
            return static_cast<int>(i);
    return accounts.empty() ? -1 : 0;
}

bool AccountHasPassword(const std::string& account)
{
    return !storedPassword(account).empty();
}

bool PasswordMatches(const std::string& account, const std::string& typed)
{
    return UnscrambleText(kPasswordScrambleKey, storedPassword(account)) == typed;
}

} // namespace orbita
