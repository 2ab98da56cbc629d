#include "core/scramble.h"

#include <gtest/gtest.h>
#include <random>

namespace orbita {
namespace {

TEST(Scramble, KnownTexts)
{
    struct Case {
        std::string_view key;
        std::string_view text;
        std::string_view hex;
    } const cases[] = {
        { "", "abc", "616263" }, // no key: the plain codes
        { "", "", "" },
        { kPasswordScrambleKey, "", "" },
        // 'a' ^ 'K' = 0x2A, 'b' ^ 'o' = 0x0D, 'c' ^ 'n' = 0x0D
        { kPasswordScrambleKey, "abc", "2a0d0d" },
        // the key starts again after its last character: '9' ^ 'N' = 0x77
        { "NotaSlad", "123456789", "7f5d4755665a565c77" },
        // bytes above 7F and the note separator F4: F4 ^ 'N' = 0xBA
        { kNoteScrambleKey, "\xF4\xFF", "ba90" },
        { "", std::string_view("\x00\x0F\xF0", 3), "000ff0" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " / " + std::string(c.hex));
        EXPECT_EQ(ScrambleText(c.key, c.text), c.hex);
        EXPECT_EQ(UnscrambleText(c.key, c.hex), c.text);
    }
}

TEST(Scramble, EveryTextComesBackForEveryKey)
{
    std::mt19937 random(20261208);
    std::string allBytes;
    for (int b = 0; b < 256; ++b)
        allBytes.push_back(static_cast<char>(b));
    const std::string keys[] = { "", "K", std::string(kPasswordScrambleKey), std::string(kNoteScrambleKey),
        std::string("\x00\xFF", 2), allBytes };
    for (const auto& key : keys) {
        for (int round = 0; round < 200; ++round) {
            std::string text = round == 0 ? allBytes : std::string();
            const int length = static_cast<int>(random() % 300);
            for (int i = 0; i < length && round != 0; ++i)
                text.push_back(static_cast<char>(random() & 0xFF));
            const std::string hex = ScrambleText(key, text);
            ASSERT_EQ(hex.size(), 2 * text.size());
            ASSERT_EQ(hex.find_first_not_of("0123456789abcdef"), std::string::npos) << hex;
            ASSERT_EQ(UnscrambleText(key, hex), text) << "key length " << key.size() << ", round " << round;
        }
    }
}

TEST(Scramble, DamagedHexNeverFails)
{
    struct Case {
        std::string_view key;
        std::string_view hex;
        std::string_view text;
    } const cases[] = {
        { "", "6162636", "abc" }, // a trailing odd digit is ignored
        { "", "6", "" },
        { "", "zz41", " A" }, // an invalid pair counts as 32
        { "", "4g", " " },
        { "", "g4", " " },
        { "", " 4", " " },
        { "", "4A4a", "JJ" }, // upper-case digits are hexadecimal too
        { "NotaSlad", "zz", "n" }, // 32 ^ 'N'
        { "NotaSlad", "zzzz", "nO" }, // 32 ^ 'o' = 'O'
        { "", std::string_view("\x00\x00", 2), " " },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.hex));
        EXPECT_EQ(UnscrambleText(c.key, c.hex), c.text);
    }
}

} // namespace
} // namespace orbita
