#pragma once

#include <string>
#include <vector>

namespace orbita {

// The account rules of the login window (Windows-1250 names and passwords).

// The accounts: the sub-keys of Software\Orbita in enumeration order.
std::vector<std::string> LoginAccounts();

// The entry preselected in the list: Administrator when present, else the first.
int PreselectedAccount(const std::vector<std::string>& accounts);

bool AccountHasPassword(const std::string& account);

// The typed password against the stored one, exactly and with case; an
// account without a password matches an empty box only.
bool PasswordMatches(const std::string& account, const std::string& typed);

} // namespace orbita
