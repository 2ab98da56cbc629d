#include "windows/settings/login_logic.h"

#include "core/password_hash.h"
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

bool AcceptLoginPassword(const std::string& account, const std::string& typedUtf8)
{
    switch (CheckPassword(storedPassword(account), typedUtf8)) {
    case PasswordCheck::Mismatch:
        return false;
    case PasswordCheck::Match:
        return true;
    case PasswordCheck::MatchOlderForm:
        if (const auto hash = HashPassword(typedUtf8))
            WriteString(Setting::Password, *hash, account);
        return true;
    }
    return false;
}

} // namespace orbita
