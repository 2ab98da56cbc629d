#include "core/reg_file.h"

#include "core/cp1250.h"
#include "core/file_io.h"
#include "core/text_helpers.h"

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>

namespace orbita {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kBom = "\xEF\xBB\xBF";
// A backup of one profile is a few kilobytes; anything this large is not one.
constexpr std::uint64_t kMaxFileSize = 64 * 1024 * 1024;

std::string_view trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && Cp1250EqualNoCase(text.substr(0, prefix.size()), prefix);
}

bool hasUnwritableByte(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// Reads a quoted string starting at text[0] == '"', undoing \\ and \". On
// success `rest` gets what follows the closing quote.
bool readQuoted(std::string_view text, std::string& out, std::string_view& rest)
{
    out.clear();
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            rest = text.substr(i + 1);
            return true;
        }
        if (c == '\\') {
            if (i + 1 >= text.size() || (text[i + 1] != '\\' && text[i + 1] != '"'))
                return false;
            ++i;
            out.push_back(text[i]);
        } else {
            out.push_back(c);
        }
    }
    return false;
}

// Decodes the comma-separated bytes of a hex(1): value (UTF-16LE, usually
// with a terminating zero) into Windows-1250.
bool decodeHexString(std::string_view list, std::string& out)
{
    std::vector<unsigned> bytes;
    list = trim(list);
    while (!list.empty()) {
        const auto comma = list.find(',');
        const auto item = trim(list.substr(0, comma));
        if (item.empty() || item.size() > 2)
            return false;
        const std::optional<std::uint32_t> value = ParseHex(item);
        if (!value)
            return false;
        bytes.push_back(*value);
        if (comma == std::string_view::npos)
            break;
        list.remove_prefix(comma + 1);
        if (trim(list).empty())
            return false; // a trailing comma
    }
    if (bytes.size() % 2 != 0)
        return false;
    std::vector<char32_t> units;
    for (std::size_t i = 0; i < bytes.size(); i += 2)
        units.push_back(static_cast<char32_t>(bytes[i] | (bytes[i + 1] << 8)));
    if (!units.empty() && units.back() == 0)
        units.pop_back();
    out.clear();
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t cp = units[i];
        if (cp >= 0xD800 && cp <= 0xDFFF)
            return false; // no surrogate pair has a Windows-1250 byte
        const int byte = UnicodeToCp1250(cp);
        if (byte < 0)
            return false;
        out.push_back(static_cast<char>(byte));
    }
    return true;
}

std::string encodeHexString(std::string_view cp1250)
{
    std::string out = "hex(1):";
    auto put = [&out](unsigned byte) {
        if (out.back() != ':')
            out.push_back(',');
        AppendHexByte(out, byte);
    };
    for (const char c : cp1250) {
        const char32_t unit = Cp1250ToUnicode(static_cast<unsigned char>(c));
        put(unit & 0xFF);
        put((unit >> 8) & 0xFF);
    }
    put(0);
    put(0);
    return out;
}

std::string quote(std::string_view cp1250)
{
    std::string out = "\"";
    for (const char c : Cp1250ToUtf8(cp1250)) {
        if (c == '\\' || c == '"')
            out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

// Splits into lines without their CR LF / LF ends.
std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto newline = text.find('\n');
        auto line = text.substr(0, newline);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (newline == std::string_view::npos)
            break;
        text.remove_prefix(newline + 1);
    }
    return lines;
}

class Parser {
public:
    explicit Parser(std::string_view text)
        : m_lines(splitLines(text))
    {
    }

    RegFileParseResult run()
    {
        bool headerSeen = false;
        for (m_index = 0; m_index < m_lines.size(); ++m_index) {
            const auto line = trim(m_lines[m_index]);
            m_line = static_cast<int>(m_index) + 1;
            if (line.empty())
                continue;
            if (!headerSeen) {
                if (line != kHeader)
                    return fail("brak nagłówka „Windows Registry Editor Version 5.00”");
                headerSeen = true;
                continue;
            }
            if (line.front() == ';')
                continue;
            const bool ok = line.front() == '[' ? keyLine(line) : valueLine(line);
            if (!ok)
                return m_result;
        }
        if (!headerSeen) {
            m_line = 1;
            return fail("brak nagłówka „Windows Registry Editor Version 5.00”");
        }
        m_result.ok = true;
        return std::move(m_result);
    }

private:
    RegFileParseResult fail(std::string reason)
    {
        m_result.ok = false;
        m_result.operations.clear();
        m_result.errorLine = m_line;
        m_result.error = std::move(reason);
        return m_result;
    }

    bool failLine(std::string reason)
    {
        fail(std::move(reason));
        return false;
    }

    bool keyLine(std::string_view line)
    {
        if (line.back() != ']')
            return failLine("brak nawiasu „]” zamykającego nazwę klucza");
        auto inner = line.substr(1, line.size() - 2);
        RegFileOperation op;
        op.line = m_line;
        op.kind = RegFileOperation::Kind::CreateKey;
        if (!inner.empty() && inner.front() == '-') {
            op.kind = RegFileOperation::Kind::DeleteKey;
            inner.remove_prefix(1);
        }
        if (!ParseFullKeyPath(inner, op.hive, op.key))
            return failLine("nieprawidłowa nazwa klucza (pusta część, znak sterujący, część dłuższa niż "
                + PolishCount(kMaxRegKeyNameLength, "bajt", "bajty", "bajtów") + " albo więcej niż "
                + PolishCount(kMaxRegKeyDepth, "poziom", "poziomy", "poziomów") + ")");
        if (op.kind == RegFileOperation::Kind::DeleteKey && op.key.empty())
            return failLine("nie można usunąć całej gałęzi rejestru");
        m_haveKey = true;
        m_keyDeleted = op.kind == RegFileOperation::Kind::DeleteKey;
        m_hive = op.hive;
        m_key = op.key;
        m_result.operations.push_back(std::move(op));
        return true;
    }

    bool valueLine(std::string_view line)
    {
        if (!m_haveKey)
            return failLine("wartość przed nazwą klucza");
        if (m_keyDeleted)
            return failLine("wartość w usuwanym kluczu");
        RegFileOperation op;
        op.line = m_line;
        op.hive = m_hive;
        op.key = m_key;
        std::string_view rest;
        if (line.front() == '@') {
            rest = line.substr(1);
        } else if (line.front() == '"') {
            std::string name;
            if (!readQuoted(line, name, rest))
                return failLine("nieprawidłowy zapis nazwy wartości");
            auto converted = Utf8ToCp1250(name);
            if (!converted)
                return failLine("nazwa wartości zawiera znak spoza strony kodowej Windows-1250");
            if (converted->size() > kMaxRegValueNameLength)
                return failLine("nazwa wartości jest za długa");
            if (!IsValidRegValueName(*converted))
                return failLine("nazwa wartości zawiera znak sterujący");
            op.name = std::move(*converted);
        } else {
            return failLine("nieprawidłowy wiersz (oczekiwano nazwy klucza albo wartości)");
        }
        rest = trim(rest);
        if (rest.empty() || rest.front() != '=')
            return failLine("brak znaku „=” po nazwie wartości");
        rest = trim(rest.substr(1));
        if (rest == "-") {
            op.kind = RegFileOperation::Kind::DeleteValue;
        } else if (!rest.empty() && rest.front() == '"') {
            std::string text;
            std::string_view after;
            if (!readQuoted(rest, text, after) || !trim(after).empty())
                return failLine("nieprawidłowy zapis tekstu");
            auto converted = Utf8ToCp1250(text);
            if (!converted)
                return failLine("tekst zawiera znak spoza strony kodowej Windows-1250");
            op.kind = RegFileOperation::Kind::SetString;
            op.text = std::move(*converted);
        } else if (startsWithNoCase(rest, "dword:")) {
            const auto digits = rest.substr(6);
            if (digits.empty() || digits.size() > 8)
                return failLine("nieprawidłowa liczba dword");
            const std::optional<std::uint32_t> value = ParseHex(digits);
            if (!value)
                return failLine("nieprawidłowa liczba dword");
            op.kind = RegFileOperation::Kind::SetInteger;
            op.integer = static_cast<std::int32_t>(*value);
        } else if (startsWithNoCase(rest, "hex(1):")) {
            std::string list(rest.substr(7));
            // Long lists continue on the next lines after a trailing "\".
            while (!list.empty() && list.back() == '\\') {
                list.pop_back();
                if (m_index + 1 >= m_lines.size())
                    return failLine("niedokończona lista bajtów");
                ++m_index;
                list += trim(m_lines[m_index]);
            }
            op.kind = RegFileOperation::Kind::SetString;
            if (!decodeHexString(list, op.text))
                return failLine("nieprawidłowa lista bajtów tekstu");
        } else {
            return failLine("nieobsługiwany typ wartości");
        }
        m_result.operations.push_back(std::move(op));
        return true;
    }

    std::vector<std::string_view> m_lines;
    std::size_t m_index = 0;
    int m_line = 0;
    bool m_haveKey = false;
    bool m_keyDeleted = false;
    Hive m_hive = Hive::CurrentUser;
    std::string m_key;
    RegFileParseResult m_result;
};

std::string fullKeyName(Hive hive, std::string_view key)
{
    std::string name(HiveName(hive));
    if (!key.empty()) {
        name += '\\';
        name += Cp1250ToUtf8(key);
    }
    return name;
}

std::string trimSlashes(std::string_view key)
{
    while (!key.empty() && key.front() == '\\')
        key.remove_prefix(1);
    while (!key.empty() && key.back() == '\\')
        key.remove_suffix(1);
    return std::string(key);
}

} // namespace

RegFileParseResult ParseRegFile(std::string_view utf8)
{
    if (utf8.substr(0, kBom.size()) == kBom)
        utf8.remove_prefix(kBom.size());
    return Parser(utf8).run();
}

bool ApplyRegFile(const std::vector<RegFileOperation>& operations)
{
    using Kind = RegFileOperation::Kind;
    return RunRegBatch([&operations] {
        for (const auto& op : operations) {
            switch (op.kind) {
            case Kind::CreateKey:
                CreateRegKey(op.hive, op.key);
                break;
            case Kind::DeleteKey:
                DeleteRegKey(op.hive, op.key);
                break;
            case Kind::SetString:
                WriteRegString(op.hive, op.key, op.name, op.text);
                break;
            case Kind::SetInteger:
                WriteRegInteger(op.hive, op.key, op.name, op.integer);
                break;
            case Kind::DeleteValue:
                DeleteRegValue(op.hive, op.key, op.name);
                break;
            }
        }
    });
}

bool ParseFullKeyPath(std::string_view utf8, Hive& hive, std::string& key)
{
    const auto slash = utf8.find('\\');
    if (!HiveFromName(utf8.substr(0, slash), hive))
        return false;
    key.clear();
    if (slash == std::string_view::npos)
        return true;
    auto converted = Utf8ToCp1250(utf8.substr(slash + 1));
    if (!converted)
        return false;
    std::string_view rest = *converted;
    while (!rest.empty() && rest.back() == '\\')
        rest.remove_suffix(1);
    if (rest.empty())
        return true; // the hive root
    // Every component must be a non-empty name the store accepts: no control
    // characters, not too long, not too deep.
    if (rest.front() == '\\' || !IsValidRegKeyPath(rest))
        return false;
    key = std::string(rest);
    return true;
}

std::optional<std::string> ExportRegText(Hive hive, std::string_view keyPath, const RegValueFilter& omit)
{
    const std::string top = trimSlashes(keyPath);
    if (!RegKeyExists(hive, top))
        return std::nullopt;
    std::string out(kHeader);
    out += "\r\n\r\n";
    // Depth-first without recursion: a key is written before its sub-keys,
    // which follow in enumeration order.
    std::vector<std::string> pending { top };
    while (!pending.empty()) {
        const std::string key = std::move(pending.back());
        pending.pop_back();
        if (hasUnwritableByte(key))
            return std::nullopt;
        out += '[';
        out += fullKeyName(hive, key);
        out += "]\r\n";
        for (const auto& name : RegValueNames(hive, key)) {
            const auto value = ReadRegValue(hive, key, name);
            if (!value || (omit && omit(key, name)))
                continue; // deleted meanwhile, or left out by the caller
            if (hasUnwritableByte(name))
                return std::nullopt;
            out += name.empty() ? std::string("@") : quote(name);
            out += '=';
            if (value->type == RegValue::Type::Integer) {
                char digits[16];
                std::snprintf(
                    digits, sizeof digits, "dword:%08x", static_cast<std::uint32_t>(value->integer));
                out += digits;
            } else if (hasUnwritableByte(value->text)) {
                out += encodeHexString(value->text);
            } else {
                out += quote(value->text);
            }
            out += "\r\n";
        }
        out += "\r\n";
        const auto children = RegSubKeyNames(hive, key);
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            pending.push_back(key.empty() ? *it : key + '\\' + *it);
    }
    return out;
}

RegFileResult ExportRegFile(
    const std::string& path, Hive hive, std::string_view key, const RegValueFilter& omit)
{
    RegFileResult result;
    struct stat target { };
    if (::stat(path.c_str(), &target) == 0 && !S_ISREG(target.st_mode)) {
        result.error = "Nie można zapisać kopii ustawień do " + path + ": "
            + std::string(
                FileProblemText(S_ISDIR(target.st_mode) ? FileProblem::Folder : FileProblem::NotRegular));
        return result;
    }
    if (const auto status = CheckRegistry(); status.state == RegistryState::Unavailable) {
        result.error = "Nie można odczytać ustawień: " + status.reason;
        return result;
    }
    const auto text = ExportRegText(hive, key, omit);
    if (!text) {
        result.error = "Nie można wykonać kopii ustawień: klucz " + fullKeyName(hive, trimSlashes(key))
            + " nie istnieje albo zawiera nazwę, której nie da się zapisać";
        return result;
    }
    if (const FileProblem problem = WriteFileAtomically(path, *text); problem != FileProblem::None) {
        result.error
            = "Nie można zapisać pliku kopii ustawień " + path + ": " + std::string(FileProblemText(problem));
        return result;
    }
    // Success only for a file that reads back as written.
    const FileRead back = ReadRegularFile(path, kMaxFileSize);
    if (!back.Ok() || back.bytes != *text) {
        result.error = "Nie można zapisać pliku kopii ustawień " + path + ": "
            + (back.Ok() ? std::string("zapisany plik różni się od kopii")
                         : std::string(FileProblemText(back.problem)));
        return result;
    }
    result.ok = true;
    return result;
}

RegFileRead ReadRegFile(const std::string& path)
{
    RegFileRead read;
    const FileRead file = ReadRegularFile(path, kMaxFileSize);
    if (!file.Ok()) {
        read.result.error = "Nie można odczytać pliku kopii ustawień " + path + ": "
            + std::string(FileProblemText(file.problem));
        return read;
    }
    auto parsed = ParseRegFile(file.bytes);
    if (!parsed.ok) {
        read.result.error = "Błąd w wierszu " + std::to_string(parsed.errorLine) + " pliku kopii ustawień "
            + path + ": " + parsed.error;
        return read;
    }
    read.operations = std::move(parsed.operations);
    read.result.ok = true;
    return read;
}

std::string ApplyFailedText(const std::string& path)
{
    return "Nie można przywrócić ustawień z pliku " + path
        + ": zapis do magazynu ustawień nie powiódł się; żadna wartość nie została zmieniona";
}

RegFileResult ImportRegFile(const std::string& path)
{
    RegFileRead read = ReadRegFile(path);
    if (!read.result.ok)
        return read.result;
    RegFileResult result;
    if (!ApplyRegFile(read.operations)) {
        result.error = ApplyFailedText(path);
        return result;
    }
    result.ok = true;
    return result;
}

std::string RestoreQuestion(const std::string& path)
{
    return "Czy na pewno chcesz przywrócić ustawienia z pliku " + path + "?";
}

} // namespace orbita
