#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orbita {

// Windows-1250 is the program's text encoding: content, registry strings and
// generated pages are Windows-1250 bytes held in std::string. This unit is the
// only place that converts between them and Unicode.

// The Unicode code point of one Windows-1250 byte. The five unassigned bytes
// (81, 83, 88, 90, 98) map to the C1 control with the same value, so every
// byte converts and converts back.
char32_t Cp1250ToUnicode(unsigned char byte);

// The Windows-1250 byte of a code point, or -1 when the code page has none.
int UnicodeToCp1250(char32_t codePoint);

std::string Cp1250ToUtf8(std::string_view text);

// Converts UTF-8 to Windows-1250. Gives nothing when the input is not valid
// UTF-8 or holds a character that Windows-1250 cannot represent; when
// `failedAt` is given it receives the byte offset of the first such place.
std::optional<std::string> Utf8ToCp1250(std::string_view utf8, std::size_t* failedAt = nullptr);

// As above, but every character that cannot be represented becomes `replacement`.
std::string Utf8ToCp1250Lossy(std::string_view utf8, char replacement = '?');

// Case mapping by the Windows-1250 locale rules: ASCII letters and the letters
// with diacritics (Ą/ą, Ł/ł, Ż/ż, Š/š, Á/á ...). Other bytes are unchanged.
unsigned char Cp1250Lower(unsigned char byte);
unsigned char Cp1250Upper(unsigned char byte);
std::string Cp1250LowerText(std::string_view text);
std::string Cp1250UpperText(std::string_view text);

// Case-insensitive equality by the rules above.
bool Cp1250EqualNoCase(std::string_view a, std::string_view b);

// Upper-cases ASCII letters only, leaving every other byte as it is.
std::string AsciiUpperText(std::string_view text);

} // namespace orbita
