#include "data/ini_file.h"

#include "core/cp1250.h"

#include <cstdio>
#include <optional>

namespace orbita {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimLeft(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

std::string_view trimRight(std::string_view text)
{
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view trim(std::string_view text)
{
    return trimRight(trimLeft(text));
}

std::string defaultResult(std::string_view defaultValue)
{
    return std::string(trimRight(defaultValue).substr(0, TIniFile::MaxValueLength));
}

// The whole file, or nothing when it is missing, unreadable or too large.
std::optional<std::string> readWholeFile(const std::string& fileName)
{
    std::FILE* file = std::fopen(fileName.c_str(), "rbe");
    if (!file)
        return std::nullopt;
    std::string content;
    char buffer[16384];
    bool ok = true;
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file);
        if (content.size() + n > TIniFile::MaxFileSize) {
            ok = false;
            break;
        }
        content.append(buffer, n);
        if (n < sizeof buffer) {
            ok = std::ferror(file) == 0;
            break;
        }
    }
    std::fclose(file);
    if (!ok)
        return std::nullopt;
    return content;
}

} // namespace

TIniFile::TIniFile(std::string fileName)
    : m_fileName(std::move(fileName))
{
}

std::string TIniFile::ReadString(
    std::string_view section, std::string_view key, std::string_view defaultValue) const
{
    const auto text = readWholeFile(m_fileName);
    if (!text)
        return defaultResult(defaultValue);
    return ReadStringFromText(*text, section, key, defaultValue);
}

std::string TIniFile::ReadStringFromText(
    std::string_view text, std::string_view section, std::string_view key, std::string_view defaultValue)
{
    section = trim(section);
    key = trim(key);
    if (const auto nul = text.find('\0'); nul != std::string_view::npos)
        text = text.substr(0, nul);

    bool inSection = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = trimLeft(text.substr(start, end - start));
        start = end + 1;
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n')
            ++start;

        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            if (const std::size_t close = line.rfind(']'); close != std::string_view::npos) {
                if (inSection)
                    break; // only the first section of the name is searched
                inSection = Cp1250EqualNoCase(trim(line.substr(1, close - 1)), section);
                continue;
            }
        }
        if (!inSection)
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos || !Cp1250EqualNoCase(trimRight(line.substr(0, equals)), key))
            continue;
        std::string_view value = trim(line.substr(equals + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
            && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return std::string(value.substr(0, MaxValueLength));
    }
    return defaultResult(defaultValue);
}

} // namespace orbita
