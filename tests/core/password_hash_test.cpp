#include "core/cp1250.h"
#include "core/password_hash.h"
#include "core/scramble.h"

#include <gtest/gtest.h>

namespace orbita {
namespace {

TEST(PasswordHash, IsASaltedArgon2idStringThatOnlyTheExactPasswordMatches)
{
    const std::string password = "Zażółć gęślą Jaźń"; // UTF-8
    const auto first = HashPassword(password);
    const auto second = HashPassword(password);
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(first->starts_with("$argon2id$v=19$")) << *first;
    EXPECT_TRUE(IsPasswordHash(*first));
    EXPECT_NE(*first, *second) << "each hash has its own salt";
    EXPECT_EQ(first->find("Za"), std::string::npos);

    EXPECT_EQ(CheckPassword(*first, password), PasswordCheck::Match);
    EXPECT_EQ(CheckPassword(*second, password), PasswordCheck::Match);
    for (const char* wrong : { "zażółć gęślą jaźń", "Zażółć gęślą Jaźń ", "Zazolc gesla Jazn", "" })
        EXPECT_EQ(CheckPassword(*first, wrong), PasswordCheck::Mismatch) << wrong;
}

TEST(PasswordHash, EmptyMeansNoPassword)
{
    ASSERT_TRUE(HashPassword(""));
    EXPECT_EQ(*HashPassword(""), "");
    EXPECT_EQ(CheckPassword("", ""), PasswordCheck::Match);
    EXPECT_EQ(CheckPassword("", "x"), PasswordCheck::Mismatch);
}

TEST(PasswordHash, AnOlderScrambledValueIsRecognisedByItsWindows1250Form)
{
    const std::string stored = ScrambleText(kPasswordScrambleKey, *Utf8ToCp1250("Łódź1"));
    EXPECT_FALSE(IsPasswordHash(stored));
    EXPECT_EQ(CheckPassword(stored, "Łódź1"), PasswordCheck::MatchOlderForm);
    EXPECT_EQ(CheckPassword(stored, "łódź1"), PasswordCheck::Mismatch);
    EXPECT_EQ(CheckPassword(stored, "Łódź"), PasswordCheck::Mismatch);
    // A typed character Windows-1250 cannot hold never matches the older form
    // (it would have been stored as "?").
    EXPECT_EQ(CheckPassword(ScrambleText(kPasswordScrambleKey, "a?"), "a\xE2\x82\xAC\xE2\x98\x83"),
        PasswordCheck::Mismatch);
    // A damaged hash is not taken for the older form and matches nothing.
    const auto hash = HashPassword("abc");
    ASSERT_TRUE(hash);
    EXPECT_EQ(CheckPassword(hash->substr(0, hash->size() - 4), "abc"), PasswordCheck::Mismatch);
}

} // namespace
} // namespace orbita
