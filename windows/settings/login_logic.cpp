#include "windows/settings/login_logic.h"

#include "core/scramble.h"
#include "core/settings.h"

namespace orbita {
namespace {

std::string storedPassword(const std::string& account)
{
    return ReadString(Setting::Password, account);
}

} // namespace

std::vector<std::string> LoginAccounts()
{
    return AccountNames();
}

int PreselectedAccount(const std::vector<std::string>& accounts)
{
    for (std::size_t i = 0; i < accounts.size(); ++i)
        if (accounts[i] == kAdministratorAccount)
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
