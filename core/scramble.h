#pragma once

#include <string>
#include <string_view>

namespace orbita {

// Scrambling of stored passwords and notes: each byte of the text is XORed
// with the key byte at the same position modulo the key length (unchanged for
// an empty key) and written as two lower-case hexadecimal digits.

// The key of account passwords.
inline constexpr std::string_view kPasswordScrambleKey = "KontoPieczec";
// The key of element notes.
inline constexpr std::string_view kNoteScrambleKey = "NotaSlad";

// Twice as long as `text`; the empty text gives the empty string.
std::string ScrambleText(std::string_view key, std::string_view text);

// Gives hex.size() / 2 bytes (a trailing odd digit is ignored). A pair that is
// not two hexadecimal digits counts as 32 before the XOR; never fails.
std::string UnscrambleText(std::string_view key, std::string_view hex);

} // namespace orbita
