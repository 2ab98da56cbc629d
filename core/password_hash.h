#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orbita {

// Account passwords as they are kept in the store: never reversibly. A
// password is stored as libsodium's Argon2id string ("$argon2id$v=19$m=...",
// a random salt and the interactive work limits), computed over the
// password's UTF-8 bytes, so that any character counts as typed. The empty
// value keeps its old meaning: the account has no password (for the
// Administrator: no login window).
//
// Older installations stored the password scrambled (core/scramble.h with
// kPasswordScrambleKey, over Windows-1250 bytes). Such a value is still
// accepted by CheckPassword, which then says so, and the caller rewrites it
// as a hash (see AcceptLoginPassword in windows/settings/login_logic.h).

// True when `stored` has the form HashPassword writes.
bool IsPasswordHash(std::string_view stored);

// The stored form of `password` (UTF-8): "" for the empty password, else a
// fresh salted hash. Nothing when the hash cannot be computed (libsodium
// could not start, or the memory the hash needs could not be had); the
// caller must then leave the stored value as it is.
std::optional<std::string> HashPassword(std::string_view password);

enum class PasswordCheck {
    Mismatch,
    Match, // the stored value is a hash, or empty and the typed text is empty
    MatchOlderForm, // a scrambled value of an older installation matched
};

// Compares the typed password (UTF-8) with the stored value, exactly and
// with case. An empty stored value matches the empty text only; a value that
// is neither empty nor a hash is taken as the older scrambled form (compared
// over the Windows-1250 form of the typed text, which therefore must be
// representable).
PasswordCheck CheckPassword(std::string_view stored, std::string_view typed);

} // namespace orbita
