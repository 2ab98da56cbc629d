#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace orbita {

// Small text helpers shared by the windows (no Qt).

// Empty stays empty; a path already ending in "/" or "\" is returned as it
// is; otherwise "/" is appended.
std::string WithTrailingBackslash(std::string_view path);

// The decimal text of `number` with "0" put in front until it has at least
// `width` characters (7 to width 2 gives "07"; 123 to width 2 gives "123").
std::string ZeroPadded(std::uint16_t number, int width);

// At most `count` characters of `text`, starting at the first occurrence of
// `c`, or at the first character when `c` does not occur.
std::string TextFromChar(std::string_view text, char c, std::size_t count);

// "hh:mm:ss YYYY-MM-DD" of a broken-down local time, and of the current
// local time.
std::string DateTimeText(const std::tm& time);
std::string NowText();

// A path for the file system: every "\" becomes "/". Names in the program
// and its data keep "\" as written; this is applied at the file-system call.
std::string NativePath(std::string_view path);

// `text` without the blanks and control bytes (every byte up to the space) at
// either end.
std::string_view TrimBlanks(std::string_view text);

// Polish plural forms, the one helper for a number before a noun: `one` for
// 1, `few` when the last digit is 2 to 4 and the last two are not 12 to 14,
// `many` otherwise ("1 uruchomienie", "2 uruchomienia", "5 uruchomień",
// "12 uruchomień", "22 uruchomienia"). A negative number takes the form of
// its absolute value. The forms may be phrases ("pasujący element").
std::string_view PolishPlural(
    long long count, std::string_view one, std::string_view few, std::string_view many);
// The number, a blank and its form: PolishCount(5, ...) gives "5 uruchomień".
std::string PolishCount(long long count, std::string_view one, std::string_view few, std::string_view many);

// Hexadecimal digits, the one helper for reading and writing them:
// The value of one hexadecimal digit (either case), or -1.
int HexDigitValue(char c);
// One or more hexadecimal digits (either case) and nothing else, as a number
// of at most 32 bits (leading zeros allowed); nothing for anything else.
std::optional<std::uint32_t> ParseHex(std::string_view digits);
// Appends the low byte of `byte` as two lower-case hexadecimal digits.
void AppendHexByte(std::string& out, unsigned byte);

} // namespace orbita
