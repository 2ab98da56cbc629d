#pragma once

#include <string>
#include <vector>

namespace orbita {

// The account rules of the login window. Account names are Windows-1250 (as
// the store keeps them); typed passwords are UTF-8.

// The accounts: the sub-keys of Software\Orbita in enumeration order.
std::vector<std::string> LoginAccounts();

// The entry preselected in the list: Administrator when present, else the first.
int PreselectedAccount(const std::vector<std::string>& accounts);

bool AccountHasPassword(const std::string& account);

// The login check: the typed password against the account's stored one
// (core/password_hash.h), exactly and with case; an account without a
// password matches an empty box only. A stored value of the older scrambled
// form that matches is rewritten at once as a hash (when the hash cannot be
// computed or stored the old value stays and the login still succeeds). True
// on a match.
bool AcceptLoginPassword(const std::string& account, const std::string& typedUtf8);

} // namespace orbita
