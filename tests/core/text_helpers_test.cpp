#include "core/text_helpers.h"

#include <climits>
#include <gtest/gtest.h>
#include <optional>

namespace orbita {
namespace {

TEST(TextHelpers, WithTrailingBackslash)
{
    const struct {
        std::string_view path;
        std::string expected;
    } cases[] = {
        { "", "" },
        { "C:\\", "C:\\" },
        { "/", "/" },
        { "/opt/orbita", "/opt/orbita/" },
        { "/opt/orbita/", "/opt/orbita/" },
        { "KOPIE", "KOPIE/" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithTrailingBackslash(c.path), c.expected) << c.path;
}

TEST(TextHelpers, ZeroPadded)
{
    const struct {
        std::uint16_t number;
        int width;
        std::string expected;
    } cases[] = {
        { 7, 2, "07" },
        { 123, 2, "123" },
        { 0, 2, "00" },
        { 5, 0, "5" },
        { 5, -3, "5" },
        { 65535, 7, "0065535" },
        { 42, 4, "0042" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ZeroPadded(c.number, c.width), c.expected) << c.number << " width " << c.width;
}

TEST(TextHelpers, TextFromChar)
{
    const struct {
        std::string_view text;
        char c;
        std::size_t count;
        std::string expected;
    } cases[] = {
        { "abc#def", '#', 3, "#de" },
        { "abc#def", '#', 100, "#def" },
        { "abcdef", '#', 3, "abc" },
        { "#a#b", '#', 2, "#a" },
        { "", '#', 5, "" },
        { "abc#", '#', 0, "" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextFromChar(c.text, c.c, c.count), c.expected) << c.text;
}

TEST(TextHelpers, DateTimeTextPadsEveryPart)
{
    std::tm time {};
    time.tm_year = 2026 - 1900;
    time.tm_mon = 0;
    time.tm_mday = 5;
    time.tm_hour = 7;
    time.tm_min = 3;
    time.tm_sec = 9;
    EXPECT_EQ(DateTimeText(time), "07:03:09 2026-01-05");
    time.tm_mon = 11;
    time.tm_mday = 31;
    time.tm_hour = 23;
    time.tm_min = 59;
    time.tm_sec = 58;
    EXPECT_EQ(DateTimeText(time), "23:59:58 2026-12-31");
}

TEST(TextHelpers, NowTextIsTheCurrentLocalTime)
{
    const std::time_t before = std::time(nullptr);
    const std::string text = NowText();
    const std::time_t after = std::time(nullptr);
    std::tm a {};
    std::tm b {};
    localtime_r(&before, &a);
    localtime_r(&after, &b);
    EXPECT_TRUE(text == DateTimeText(a) || text == DateTimeText(b)) << text;
}

TEST(TextHelpers, NativePathTurnsBackslashesIntoSlashes)
{
    EXPECT_EQ(NativePath("KARNACJE\\Zima.obs"), "KARNACJE/Zima.obs");
    EXPECT_EQ(NativePath("/opt/orbita/"), "/opt/orbita/");
}

TEST(TextHelpers, HexDigitsReadAndWritten)
{
    const struct {
        std::string_view digits;
        std::optional<std::uint32_t> value;
    } cases[] = {
        { "0", 0u },
        { "a", 10u },
        { "F", 15u },
        { "ff", 255u },
        { "DeadBeef", 0xDEADBEEFu },
        { "FFFFFFFF", 0xFFFFFFFFu },
        { "000000001", 1u }, // leading zeros do not count against the width
        { "100000000", std::nullopt }, // past 32 bits
        { "", std::nullopt },
        { "g", std::nullopt },
        { "+1", std::nullopt },
        { "-1", std::nullopt },
        { " 1", std::nullopt },
        { "1 ", std::nullopt },
        { "0x1", std::nullopt },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseHex(c.digits), c.value) << c.digits;

    std::string text;
    for (const unsigned byte : { 0x00u, 0x0Fu, 0xA0u, 0xFFu, 0x1ABu })
        AppendHexByte(text, byte);
    EXPECT_EQ(text, "000fa0ffab"); // two lower-case digits of the low byte each
    for (unsigned byte = 0; byte < 256; ++byte) {
        std::string pair;
        AppendHexByte(pair, byte);
        EXPECT_EQ(ParseHex(pair), byte) << pair;
        EXPECT_EQ(HexDigitValue(pair[0]) * 16 + HexDigitValue(pair[1]), static_cast<int>(byte)) << pair;
    }
}

TEST(TextHelpers, PolishPluralOnTheBoundaries)
{
    const struct {
        long long count;
        std::string_view form;
    } cases[] = {
        { 0, "uruchomień" }, { 1, "uruchomienie" }, { 2, "uruchomienia" }, { 4, "uruchomienia" },
        { 5, "uruchomień" }, { 11, "uruchomień" }, { 12, "uruchomień" }, { 14, "uruchomień" },
        { 15, "uruchomień" }, { 21, "uruchomień" }, { 22, "uruchomienia" }, { 24, "uruchomienia" },
        { 25, "uruchomień" }, { 101, "uruchomień" }, { 102, "uruchomienia" }, { 111, "uruchomień" },
        { 112, "uruchomień" }, { 114, "uruchomień" }, { 122, "uruchomienia" }, { 1001, "uruchomień" },
        { 1002, "uruchomienia" }, { -1, "uruchomienie" }, { -3, "uruchomienia" }, { -12, "uruchomień" },
        { 2147483647, "uruchomień" }, // ...47: many
        { LLONG_MIN, "uruchomień" }, // ...808
        { LLONG_MAX, "uruchomień" }, // ...807
    };
    for (const auto& c : cases)
        EXPECT_EQ(PolishPlural(c.count, "uruchomienie", "uruchomienia", "uruchomień"), c.form) << c.count;
    EXPECT_EQ(PolishCount(1, "pasujący element", "pasujące elementy", "pasujących elementów"),
        "1 pasujący element");
    EXPECT_EQ(PolishCount(3, "pasujący element", "pasujące elementy", "pasujących elementów"),
        "3 pasujące elementy");
    EXPECT_EQ(PolishCount(13, "pasujący element", "pasujące elementy", "pasujących elementów"),
        "13 pasujących elementów");
    EXPECT_EQ(PolishCount(-2, "stopień", "stopnie", "stopni"), "-2 stopnie");
}

} // namespace
} // namespace orbita
