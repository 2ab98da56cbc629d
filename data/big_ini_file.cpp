#include "data/big_ini_file.h"

#include "core/cp1250.h"
#include "core/text_helpers.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

namespace orbita {

namespace {

// The size of the read buffer when a file is loaded.
constexpr std::size_t ReadBufferSize = 28672;

// The old end-of-file mark; a line holding only it counts as empty.
constexpr char EndOfFileMark = '\x1A';

// Cuts a byte stream, handed over in pieces, into lines: CR LF, a lone CR and
// a lone LF end a line; a last line without an end is a line too. Each line
// keeps at most `MaxLineLength` bytes; the rest up to its end is dropped.
template <typename Sink> class LineCutter {
public:
    explicit LineCutter(Sink& sink)
        : m_sink(sink)
    {
    }

    void feed(std::string_view bytes)
    {
        for (const char c : bytes) {
            if (c == '\n' && m_afterCr) {
                m_afterCr = false;
                continue;
            }
            m_afterCr = c == '\r';
            if (c == '\r' || c == '\n') {
                m_sink(std::string_view(m_line));
                m_line.clear();
                m_open = false;
                continue;
            }
            m_open = true;
            if (m_line.size() < TBigIniFile::MaxLineLength)
                m_line.push_back(c);
        }
    }

    void finish()
    {
        if (m_open)
            m_sink(std::string_view(m_line));
        m_line.clear();
        m_open = false;
        m_afterCr = false;
    }

private:
    Sink& m_sink;
    std::string m_line;
    bool m_open = false; // bytes of an unfinished line were seen
    bool m_afterCr = false; // the previous byte was a CR (an LF now belongs to it)
};

// Optional sign, then decimal digits within the 32-bit range, or "$" and
// hexadecimal digits taken as a 32-bit pattern; nothing before or after.
std::optional<std::int32_t> parseInteger(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (!text.empty() && text.front() == '$') {
        const auto pattern = ParseHex(text.substr(1));
        if (!pattern)
            return std::nullopt;
        return static_cast<std::int32_t>(negative ? 0u - *pattern : *pattern);
    }
    if (text.empty())
        return std::nullopt;
    const std::uint64_t limit = negative ? 2147483648u : 2147483647u;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > limit)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(
        negative ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value));
}

bool hasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// Replaces the file `path` with `content`: writes a new file beside it and
// renames it over the old one only when it was written completely, so a failed
// write leaves the old file as it was. An existing file keeps its permissions;
// a symbolic link keeps pointing at the replaced file.
bool replaceFileContents(const std::string& path, std::string_view content)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path target(path);
    if (fs::is_symlink(target, error)) {
        target = fs::canonical(target, error);
        if (error)
            return false;
    }
    struct stat old { };
    const bool existed = ::stat(target.c_str(), &old) == 0;

    std::random_device random;
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x", static_cast<unsigned>(random()));
        temporary = target.string() + suffix;
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;

    bool ok = true;
    std::size_t written = 0;
    while (ok && written < content.size()) {
        const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            written += static_cast<std::size_t>(n);
    }
    if (ok && existed)
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    if (ok)
        ok = ::fsync(fd) == 0;
    if (::close(fd) != 0)
        ok = false;
    if (ok)
        ok = ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}

} // namespace

// What a load keeps track of between lines.
struct TBigIniFile::LoadState {
    std::unordered_set<std::string> seenNames; // lower-cased names of the kept sections
    std::ptrdiff_t current = -1; // section receiving lines; -1 drops them
};

TBigIniFile::TBigIniFile() = default;

TBigIniFile::TBigIniFile(std::string fileName)
{
    loadFile(fileName);
}

TBigIniFile::~TBigIniFile()
{
    try {
        updateFile();
    } catch (...) {
        // Nothing can be reported from here; the file stays as it was.
    }
}

void TBigIniFile::clear()
{
    m_fileName.clear();
    m_sections.clear();
    m_cursor = 0;
    m_modified = false;
    m_loadStatus = IniLoadStatus::Loaded;
}

void TBigIniFile::addLoadedLine(std::string_view line, LoadState& state)
{
    if (line.empty() || (line.size() == 1 && line.front() == EndOfFileMark))
        return;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
        const std::string_view name = line.substr(1, line.size() - 2);
        if (state.seenNames.insert(Cp1250LowerText(name)).second) {
            m_sections.push_back(Section { std::string(name), {} });
            state.current = static_cast<std::ptrdiff_t>(m_sections.size()) - 1;
        } else {
            state.current = -1; // a later copy of a known section: dropped whole
        }
        return;
    }
    if (state.current >= 0)
        m_sections[static_cast<std::size_t>(state.current)].lines.emplace_back(line);
}

IniLoadStatus TBigIniFile::LoadFile(const std::string& fileName)
{
    return loadFile(fileName);
}

IniLoadStatus TBigIniFile::loadFile(const std::string& fileName)
{
    clear();
    m_fileName = fileName;

    struct stat info { };
    if (::stat(fileName.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
        m_loadStatus = IniLoadStatus::Missing;
        return m_loadStatus;
    }
    std::FILE* file = std::fopen(fileName.c_str(), "rbe");
    if (!file) {
        m_loadStatus = IniLoadStatus::ReadError;
        return m_loadStatus;
    }
    LoadState state;
    auto sink = [&](std::string_view line) { addLoadedLine(line, state); };
    LineCutter<decltype(sink)> cutter(sink);
    std::vector<char> buffer(ReadBufferSize);
    bool failed = false;
    for (;;) {
        const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), file);
        cutter.feed(std::string_view(buffer.data(), n));
        if (n < buffer.size()) {
            failed = std::ferror(file) != 0;
            break;
        }
    }
    std::fclose(file);
    if (failed) {
        // Half a file is not the file: keep nothing, and never write it back.
        m_sections.clear();
        m_loadStatus = IniLoadStatus::ReadError;
        return m_loadStatus;
    }
    cutter.finish();
    m_modified = false;
    return m_loadStatus;
}

void TBigIniFile::LoadText(std::string_view bytes)
{
    clear();
    LoadState state;
    auto sink = [&](std::string_view line) { addLoadedLine(line, state); };
    LineCutter<decltype(sink)> cutter(sink);
    cutter.feed(bytes);
    cutter.finish();
    m_modified = false;
}

std::ptrdiff_t TBigIniFile::findSection(std::string_view name)
{
    const std::size_t count = m_sections.size();
    if (m_cursor >= count)
        m_cursor = 0;
    for (std::size_t step = 0; step < count; ++step) {
        const std::size_t index = m_cursor + step < count ? m_cursor + step : m_cursor + step - count;
        ++m_sectionComparisons;
        if (Cp1250EqualNoCase(m_sections[index].name, name)) {
            m_cursor = index;
            return static_cast<std::ptrdiff_t>(index);
        }
    }
    return -1;
}

TBigIniFile::Section& TBigIniFile::sectionForWrite(std::string_view name)
{
    const std::ptrdiff_t index = findSection(name);
    if (index >= 0)
        return m_sections[static_cast<std::size_t>(index)];
    m_sections.push_back(Section { std::string(name), {} });
    m_cursor = m_sections.size() - 1;
    return m_sections.back();
}

std::ptrdiff_t TBigIniFile::findKey(const Section& section, std::string_view key)
{
    for (std::size_t i = 0; i < section.lines.size(); ++i) {
        const std::string& line = section.lines[i];
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos && Cp1250EqualNoCase(std::string_view(line).substr(0, equals), key))
            return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
}

std::string TBigIniFile::ReadString(
    std::string_view section, std::string_view key, std::string_view defaultValue)
{
    const std::ptrdiff_t sectionIndex = findSection(section);
    if (sectionIndex < 0)
        return std::string(defaultValue.substr(0, MaxLineLength));
    const Section& found = m_sections[static_cast<std::size_t>(sectionIndex)];
    const std::ptrdiff_t line = findKey(found, key);
    if (line < 0)
        return std::string(defaultValue.substr(0, MaxLineLength));
    const std::string_view text = found.lines[static_cast<std::size_t>(line)];
    return std::string(text.substr(text.find('=') + 1, MaxLineLength));
}

bool TBigIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    // Only what a later load reads back as written is accepted.
    const std::size_t lineLength = key.size() + 1 + value.size();
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value) || key.empty()
        || key.find('=') != std::string_view::npos || section.size() + 2 > MaxLineLength
        || lineLength > MaxLineLength || (key.front() == '[' && !value.empty() && value.back() == ']'))
        return false;

    std::string line;
    line.reserve(lineLength);
    line.append(key).append("=").append(value);
    Section& target = sectionForWrite(section);
    const std::ptrdiff_t index = findKey(target, key);
    if (index < 0) {
        target.lines.push_back(std::move(line));
        m_modified = true;
    } else if (target.lines[static_cast<std::size_t>(index)] != line) {
        target.lines[static_cast<std::size_t>(index)] = std::move(line);
        m_modified = true;
    }
    return true;
}

std::int32_t TBigIniFile::ReadInteger(
    std::string_view section, std::string_view key, std::int32_t defaultValue)
{
    std::string text = ReadString(section, key, "");
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.replace(0, 2, "$");
    return parseInteger(text).value_or(defaultValue);
}

bool TBigIniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value)
{
    return WriteString(section, key, std::to_string(value));
}

bool TBigIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue)
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool TBigIniFile::WriteBool(std::string_view section, std::string_view key, bool value)
{
    return WriteString(section, key, value ? "1" : "0");
}

std::vector<std::string> TBigIniFile::ReadSection(std::string_view section)
{
    std::vector<std::string> keys;
    const std::ptrdiff_t index = findSection(section);
    if (index < 0)
        return keys;
    for (const std::string& line : m_sections[static_cast<std::size_t>(index)].lines) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos)
            keys.push_back(line.substr(0, equals));
    }
    return keys;
}

std::vector<std::string> TBigIniFile::ReadSections() const
{
    std::vector<std::string> names;
    names.reserve(m_sections.size());
    for (const Section& section : m_sections)
        names.push_back(section.name);
    return names;
}

std::vector<std::string> TBigIniFile::ReadSectionValues(std::string_view section)
{
    const std::ptrdiff_t index = findSection(section);
    if (index < 0)
        return {};
    return m_sections[static_cast<std::size_t>(index)].lines;
}

void TBigIniFile::EraseSection(std::string_view section)
{
    const std::ptrdiff_t index = findSection(section);
    if (index < 0)
        return;
    m_sections.erase(m_sections.begin() + index);
    if (m_cursor > static_cast<std::size_t>(index))
        --m_cursor;
    if (m_cursor >= m_sections.size())
        m_cursor = 0;
    m_modified = true;
}

bool TBigIniFile::SectionExists(std::string_view section)
{
    return findSection(section) >= 0;
}

void TBigIniFile::DeleteKey(std::string_view section, std::string_view key)
{
    const std::ptrdiff_t index = findSection(section);
    if (index < 0)
        return;
    Section& found = m_sections[static_cast<std::size_t>(index)];
    const std::ptrdiff_t line = findKey(found, key);
    if (line < 0)
        return;
    found.lines.erase(found.lines.begin() + line);
    m_modified = true;
}

void TBigIniFile::GetAllLines(std::vector<std::string>& target) const
{
    appendAllLines(target);
}

void TBigIniFile::appendAllLines(std::vector<std::string>& target) const
{
    for (const Section& section : m_sections) {
        if (section.lines.empty())
            continue;
        target.push_back("[" + section.name + "]");
        target.insert(target.end(), section.lines.begin(), section.lines.end());
        target.emplace_back();
    }
}

bool TBigIniFile::UpdateFile()
{
    return updateFile();
}

bool TBigIniFile::updateFile()
{
    if (!m_modified || m_fileName.empty())
        return true;
    if (m_loadStatus == IniLoadStatus::ReadError)
        return false;
    std::vector<std::string> lines;
    appendAllLines(lines);
    std::string text;
    for (const std::string& line : lines)
        text.append(line).append("\r\n");
    if (!replaceFileContents(m_fileName, text))
        return false;
    m_modified = false;
    return true;
}

void TBigIniFile::SetSectionLines(std::string_view section, const std::vector<std::string>& lines)
{
    const std::ptrdiff_t index = findSection(section);
    if (index < 0) {
        m_sections.push_back(Section { std::string(section), lines });
        m_modified = true;
        return;
    }
    std::vector<std::string>& current = m_sections[static_cast<std::size_t>(index)].lines;
    if (current.size() != lines.size()) {
        current = lines;
        m_modified = true;
        return;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (current[i] != lines[i]) {
            current[i] = lines[i];
            m_modified = true;
        }
    }
}

std::int32_t TBiggerIniFile::ReadHexInteger(
    std::string_view section, std::string_view key, std::int32_t defaultValue)
{
    const auto pattern = ParseHex(ReadString(section, key, ""));
    return pattern ? static_cast<std::int32_t>(*pattern) : defaultValue;
}

bool TBiggerIniFile::WriteHexInteger(std::string_view section, std::string_view key, std::int32_t value)
{
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08X", static_cast<std::uint32_t>(value));
    return WriteString(section, key, digits);
}

} // namespace orbita
