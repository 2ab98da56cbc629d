#include "core/password_hash.h"

#include "core/cp1250.h"
#include "core/scramble.h"

#include <sodium.h>

namespace orbita {
namespace {

constexpr std::string_view kHashPrefix = "$argon2id$";

bool sodiumReady()
{
    static const bool ready = ::sodium_init() >= 0;
    return ready;
}

} // namespace

bool IsPasswordHash(std::string_view stored)
{
    return stored.starts_with(kHashPrefix) && stored.size() < crypto_pwhash_STRBYTES;
}

std::optional<std::string> HashPassword(std::string_view password)
{
    if (password.empty())
        return std::string();
    if (!sodiumReady() || password.size() > crypto_pwhash_PASSWD_MAX)
        return std::nullopt;
    char out[crypto_pwhash_STRBYTES] = {};
    if (::crypto_pwhash_str_alg(out, password.data(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
            crypto_pwhash_MEMLIMIT_INTERACTIVE, crypto_pwhash_ALG_ARGON2ID13)
        != 0)
        return std::nullopt;
    return std::string(out);
}

PasswordCheck CheckPassword(std::string_view stored, std::string_view typed)
{
    if (stored.empty())
        return typed.empty() ? PasswordCheck::Match : PasswordCheck::Mismatch;
    if (IsPasswordHash(stored)) {
        if (!sodiumReady())
            return PasswordCheck::Mismatch;
        const std::string terminated(stored); // libsodium reads a C string
        return ::crypto_pwhash_str_verify(terminated.c_str(), typed.data(), typed.size()) == 0
            ? PasswordCheck::Match
            : PasswordCheck::Mismatch;
    }
    const auto typedCp1250 = Utf8ToCp1250(typed);
    if (typedCp1250 && !typedCp1250->empty() && UnscrambleText(kPasswordScrambleKey, stored) == *typedCp1250)
        return PasswordCheck::MatchOlderForm;
    return PasswordCheck::Mismatch;
}

} // namespace orbita
