#pragma once

// Test-only access to the shared ZIP fixtures: a minimal walk of the central
// directory and local headers that finds each member's compressed bytes, and
// a reader of the fixture manifest's member tables. Independent of the
// program's archive reader on purpose, so that decoder tests do not rely on it.

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace orbita::test {

struct ZipMember {
    std::string name;
    std::uint16_t flags = 0; // general-purpose flags (central directory)
    std::uint16_t method = 0; // compression method (central directory)
    std::uint16_t localMethod = 0;
    std::uint64_t uncompressedSize = 0;
    std::string compressed; // the member's data as stored (cut at the file end)
};

inline std::string ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

inline std::uint32_t LittleEndian(std::string_view bytes, std::size_t at, int width)
{
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

// Members in central-directory order; empty when the archive has no readable
// end record.
inline std::vector<ZipMember> ReadZipMembers(std::string_view zip)
{
    std::vector<ZipMember> members;
    if (zip.size() < 22)
        return members;
    std::size_t end = std::string_view::npos;
    for (std::size_t at = zip.size() - 22 + 1; at-- > 0;) {
        if (zip.substr(at, 4) == std::string_view("PK\x05\x06", 4)) {
            end = at;
            break;
        }
    }
    if (end == std::string_view::npos)
        return members;
    std::size_t at = LittleEndian(zip, end + 16, 4);
    while (at + 46 <= end && zip.substr(at, 4) == std::string_view("PK\x01\x02", 4)) {
        ZipMember member;
        member.flags = static_cast<std::uint16_t>(LittleEndian(zip, at + 8, 2));
        member.method = static_cast<std::uint16_t>(LittleEndian(zip, at + 10, 2));
        const std::uint32_t compressedSize = LittleEndian(zip, at + 20, 4);
        member.uncompressedSize = LittleEndian(zip, at + 24, 4);
        const std::size_t nameLength = LittleEndian(zip, at + 28, 2);
        const std::size_t extraLength = LittleEndian(zip, at + 30, 2);
        const std::size_t commentLength = LittleEndian(zip, at + 32, 2);
        const std::size_t local = LittleEndian(zip, at + 42, 4);
        member.name = std::string(zip.substr(at + 46, nameLength));
        if (local + 30 <= zip.size() && zip.substr(local, 4) == std::string_view("PK\x03\x04", 4)) {
            member.localMethod = static_cast<std::uint16_t>(LittleEndian(zip, local + 8, 2));
            const std::size_t data
                = local + 30 + LittleEndian(zip, local + 26, 2) + LittleEndian(zip, local + 28, 2);
            if (data <= zip.size())
                member.compressed = std::string(zip.substr(data, compressedSize));
        }
        members.push_back(std::move(member));
        at += 46 + nameLength + extraLength + commentLength;
    }
    return members;
}

// One row of a member table in the fixture manifest.
struct ManifestRow {
    std::string archive;
    std::size_t index = 0; // position in the central directory
    std::string name;
    int method = -1;
    std::uint32_t flags = 0;
    std::uint64_t uncompressedSize = 0;
    std::string outcome; // the last column as written
    std::string sha256; // lower-case hex digest of the content, empty for error or refusal rows
};

inline std::string Trim(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

// The leading decimal digits of `text`; 0 when there are none.
inline std::uint64_t LeadingNumber(std::string_view text, int base = 10)
{
    std::uint64_t value = 0;
    std::size_t at = 0;
    if (base == 16 && text.substr(0, 2) == "0x")
        at = 2;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            break;
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    }
    return value;
}

// Every member row of every archive section ("## `file`") of the manifest.
inline std::vector<ManifestRow> ReadManifestRows(const std::string& manifest)
{
    std::vector<ManifestRow> rows;
    std::istringstream lines(manifest);
    std::string line;
    std::string archive;
    while (std::getline(lines, line)) {
        if (line.rfind("## `", 0) == 0) {
            const std::size_t close = line.find('`', 4);
            archive = close == std::string::npos ? std::string() : line.substr(4, close - 4);
            continue;
        }
        if (archive.empty() || line.size() < 3 || line[0] != '|' || line[2] < '0' || line[2] > '9')
            continue;
        std::vector<std::string> cells;
        std::size_t from = 1;
        for (std::size_t bar = line.find('|', from); bar != std::string::npos; bar = line.find('|', from)) {
            cells.push_back(Trim(std::string_view(line).substr(from, bar - from)));
            from = bar + 1;
        }
        if (cells.size() != 11)
            continue;
        ManifestRow row;
        row.archive = archive;
        row.index = LeadingNumber(cells[0]);
        row.name = cells[1];
        row.method = static_cast<int>(LeadingNumber(cells[2]));
        row.flags = static_cast<std::uint32_t>(LeadingNumber(cells[3], 16));
        row.uncompressedSize = LeadingNumber(cells[5]);
        row.outcome = cells[10];
        if (row.outcome.size() >= 66 && row.outcome[0] == '`' && row.outcome[65] == '`')
            row.sha256 = row.outcome.substr(1, 64);
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace orbita::test
