#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orbita {

// Reads single values from a sectioned (INI-style) file by the rules of the
// Windows profile-string reader; text is Windows-1250 bytes.
//
// Lines end at CR LF, a lone CR or a lone LF; a NUL byte ends the text.
// Blanks (spaces and tabs) at the start of a line are ignored; a line that then
// starts with ";" is a comment. A line that starts with "[" and holds a "]"
// names a section: the text between the "[" and the last "]", blanks trimmed.
// Other lines are "key = value" lines: the key is the text before the first
// "=", the value the text after it, both with blanks trimmed; a value enclosed
// in matching outer double or single quotes loses them. A line without "="
// names no key. Section names and keys compare without regard to case (the
// requested ones with their blanks trimmed too); the first section of the
// requested name is the only one searched and its first matching key wins.
class TIniFile {
public:
    // The longest result: the platform reader fills a 1024-byte buffer.
    static constexpr std::size_t MaxValueLength = 1023;
    // Files larger than this are not read: every read gives its default.
    static constexpr std::size_t MaxFileSize = 16 * 1024 * 1024;

    explicit TIniFile(std::string fileName);

    // The value of `key` in `section`, at most 1023 characters. A missing or
    // unreadable file, section or key gives `defaultValue` with its trailing
    // blanks removed (also at most 1023 characters).
    std::string ReadString(
        std::string_view section, std::string_view key, std::string_view defaultValue) const;

    // The same lookup over text held in memory.
    static std::string ReadStringFromText(
        std::string_view text, std::string_view section, std::string_view key, std::string_view defaultValue);

    const std::string& FileName() const { return m_fileName; }

private:
    std::string m_fileName;
};

} // namespace orbita
