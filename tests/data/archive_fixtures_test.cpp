// Every member of the shared ZIP fixtures, checked against MANIFEST.md: the
// directory fields the reader keeps, and the decoded bytes (SHA-256) or the
// refusal the reader must give.

#include "data/archive_directory.h"
#include "data/archive_extract.h"
#include "data/archive_members.h"
#include "tests/data/sha256.h"
#include "tests/support/shared_fixtures.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace orbita {
namespace {

struct ManifestRow {
    int index = 0;
    std::string name; // as printed (UTF-8 or the raw bytes when given)
    bool nameIsExact = false; // the printed name equals the stored bytes
    int method = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t size = 0;
    std::uint32_t crc = 0;
    std::string outcome; // the last column
    std::optional<std::string> sha; // expected SHA-256 of the content
};

std::string FromHex(const std::string& hex)
{
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

std::vector<std::string> SplitCells(const std::string& line)
{
    std::vector<std::string> cells;
    std::size_t start = 1;
    for (;;) {
        const std::size_t bar = line.find(" | ", start);
        if (bar == std::string::npos) {
            std::string last = line.substr(start);
            if (!last.empty() && last.back() == '|')
                last.pop_back();
            while (!last.empty() && last.front() == ' ')
                last.erase(0, 1);
            while (!last.empty() && last.back() == ' ')
                last.pop_back();
            cells.push_back(last);
            return cells;
        }
        std::string cell = line.substr(start, bar - start);
        while (!cell.empty() && cell.front() == ' ')
            cell.erase(0, 1);
        cells.push_back(cell);
        start = bar + 3;
    }
}

// file name -> member rows, in directory order.
std::map<std::string, std::vector<ManifestRow>> ReadManifest()
{
    std::map<std::string, std::vector<ManifestRow>> archives;
    std::ifstream in(test::SharedFixtures("zip") + "MANIFEST.md");
    std::string line;
    std::string current;
    const std::regex section("^## `([^`]+)`");
    const std::regex sha("`([0-9a-f]{64})`");
    const std::regex rawName("^(.*) \\(bytes ([0-9a-f]+)\\)$");
    while (std::getline(in, line)) {
        std::smatch match;
        if (std::regex_search(line, match, section)) {
            current = match[1];
            archives[current];
            continue;
        }
        if (current.empty() || line.size() < 3 || line[0] != '|'
            || !std::isdigit(static_cast<unsigned char>(line[2])))
            continue;
        const std::vector<std::string> cells = SplitCells(line);
        if (cells.size() != 11)
            continue;
        ManifestRow row;
        row.index = std::stoi(cells[0]);
        row.name = cells[1];
        if (std::regex_match(cells[1], match, rawName)) {
            row.name = FromHex(match[2]);
            row.nameIsExact = true;
        } else {
            // "\xNN" stands for a control byte; a back-quote is printed as "'".
            static const std::regex escape("\\\\x([0-9a-f]{2})");
            std::string unescaped;
            std::sregex_iterator it(row.name.begin(), row.name.end(), escape);
            std::size_t last = 0;
            for (; it != std::sregex_iterator(); ++it) {
                unescaped += row.name.substr(last, static_cast<std::size_t>(it->position()) - last);
                unescaped += FromHex((*it)[1]);
                last = static_cast<std::size_t>(it->position() + it->length());
            }
            row.name = unescaped + row.name.substr(last);
            row.nameIsExact = row.name.find('\'') == std::string::npos
                && std::all_of(row.name.begin(), row.name.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x7F; });
        }
        row.method = std::stoi(cells[2]);
        row.compressedSize = static_cast<std::uint32_t>(std::stoul(cells[4]));
        row.size = static_cast<std::uint32_t>(std::stoul(cells[5]));
        row.crc = static_cast<std::uint32_t>(std::stoul(cells[6], nullptr, 16));
        row.outcome = cells[10];
        if (std::regex_search(row.outcome, match, sha))
            row.sha = match[1];
        archives[current].push_back(row);
    }
    return archives;
}

// Archives whose directory this reader does not list as the manifest table
// shows it, with the listing status it gives instead.
const std::map<std::string, ListStatus> kListingOutcomes = {
    // The end record's directory offset lies 2 MiB behind the record itself.
    { "libzip-incons-cdoffset.zip", ListStatus::Unreadable },
    // The last end record (inside the comment) wins; its directory offset is
    // relative to the inner archive and points at the outer member's data.
    { "libzip-zip-in-archive-comment.zip", ListStatus::NoEntries },
    // Every offset, the directory's included, is 4 bytes short: the walk
    // starts 4 bytes in front of the first record.
    { "libzip-junk-at-start.zip", ListStatus::NoEntries },
    // A bare end record at offset 0 lies less than 46 bytes from the start.
    { "libzip-testempty.zip", ListStatus::EndRecordTooEarly },
    { "yauzl-empty.zip", ListStatus::EndRecordTooEarly },
    { "zip2-comment_garbage.zip", ListStatus::EndRecordTooEarly },
    // No end record at all.
    { "libzip-testfile-truncated.zip", ListStatus::Unreadable },
};

// Members of inconsistent archives ("see note" rows): what this reader gives.
// 0 means the bytes decoded per the directory (the manifest's SHA-256).
const std::map<std::pair<std::string, int>, ExtractStatus> kInconsistentOutcomes = {
    { { "libzip-incons-archive-comment-shorter.zip", 0 }, ExtractStatus::Ok },
    { { "libzip-incons-central-file-comment-longer.zip", 0 }, ExtractStatus::Ok },
    { { "libzip-incons-file-count-high.zip", 0 }, ExtractStatus::Ok },
    { { "libzip-multidisk.zip", 0 }, ExtractStatus::Ok },
    { { "yauzl-invalid-comment-length.zip", 0 }, ExtractStatus::Ok },
    { { "yauzl-invalid-comment-length.zip", 1 }, ExtractStatus::Ok },
    { { "yauzl-cd-method1-local-method0.zip", 0 }, ExtractStatus::Ok },
    { { "yauzl-file-data-overflows.zip", 1 }, ExtractStatus::Ok },
    { { "yauzl-stored-size-mismatch.zip", 1 }, ExtractStatus::Ok },
    // The data was altered; both headers carry the original CRC.
    { { "libzip-incons-data.zip", 0 }, ExtractStatus::CrcMismatch },
    // Local header and directory disagree (CRC, method, sizes).
    { { "libzip-incons-central-crc.zip", 0 }, ExtractStatus::BadMember },
    { { "libzip-incons-local-crc.zip", 0 }, ExtractStatus::BadMember },
    { { "libzip-incons-local-compression-method.zip", 0 }, ExtractStatus::BadMember },
    { { "yauzl-cd-method1-local-method0.zip", 1 }, ExtractStatus::BadMember },
    { { "yauzl-file-data-overflows.zip", 0 }, ExtractStatus::BadMember },
    { { "yauzl-stored-size-mismatch.zip", 0 }, ExtractStatus::BadMember },
    { { "yauzl-not-enough-bytes.zip", 0 }, ExtractStatus::BadMember },
    { { "yauzl-too-many-bytes.zip", 0 }, ExtractStatus::BadMember },
    // Descriptor members whose stream gives fewer (a.txt) or more (b.txt)
    // bytes than the directory says; c/ claims 1024 bytes with 0 stored.
    { { "yauzl-wrong-entry-sizes.zip", 0 }, ExtractStatus::BadMember },
    { { "yauzl-wrong-entry-sizes.zip", 1 }, ExtractStatus::BadMember },
    { { "yauzl-wrong-entry-sizes.zip", 2 }, ExtractStatus::BadMember },
};

bool IsSupportedMethod(int method)
{
    return (method >= 0 && method <= 6) || method == 8;
}

TEST(ArchiveFixtures, ManifestCoversEveryFixture)
{
    ORBITA_NEEDS_SHARED_FIXTURES("zip");
    const auto manifest = ReadManifest();
    std::set<std::string> files;
    for (const auto& item : std::filesystem::directory_iterator(test::SharedFixtures("zip")))
        if (item.path().extension() != ".md")
            files.insert(item.path().filename().string());
    ASSERT_GE(files.size(), 70u);
    for (const std::string& file : files)
        EXPECT_TRUE(manifest.count(file)) << file;
}

TEST(ArchiveFixtures, EveryMemberListsAndDecodesAsTheManifestSays)
{
    ORBITA_NEEDS_SHARED_FIXTURES("zip");
    const auto manifest = ReadManifest();
    int decoded = 0;
    int refused = 0;
    int failed = 0;
    for (const auto& [file, rows] : manifest) {
        SCOPED_TRACE(file);
        const std::string path = test::SharedFixtures("zip") + file;
        const ArchiveListing listing = ListArchive(path);
        if (const auto special = kListingOutcomes.find(file); special != kListingOutcomes.end()) {
            EXPECT_EQ(listing.status, special->second);
            EXPECT_TRUE(listing.entries.empty());
            continue;
        }
        if (rows.empty()) {
            // No member table: the manifest's parser refused the end record
            // (its comment length runs past the file). This reader does not
            // read the comment length and lists the one stored member "a".
            ASSERT_EQ(file, "libzip-incons-archive-comment-longer.zip");
            ASSERT_EQ(listing.entries.size(), 1u);
            EXPECT_EQ(listing.entries[0].name, "a");
            const MemberRead read = ReadArchiveEntry(path, listing.entries[0]);
            EXPECT_EQ(read.status, ExtractStatus::Ok);
            EXPECT_EQ(read.bytes, "a");
            continue;
        }
        ASSERT_EQ(listing.status, ListStatus::Ok);
        ASSERT_EQ(listing.entries.size(), rows.size());
        for (const ManifestRow& row : rows) {
            SCOPED_TRACE("member " + std::to_string(row.index) + " " + row.name);
            const ArchiveEntry& entry = listing.entries[static_cast<std::size_t>(row.index)];
            EXPECT_EQ(entry.method, row.method);
            EXPECT_EQ(entry.compressedSize, row.compressedSize);
            EXPECT_EQ(entry.size, row.size);
            EXPECT_EQ(entry.crc, row.crc);
            if (row.nameIsExact) {
                std::string kept = row.name.substr(0, 259);
                std::replace(kept.begin(), kept.end(), '/', '\\');
                EXPECT_EQ(entry.name, kept);
            }

            const MemberRead read = ReadArchiveEntry(path, entry);
            EXPECT_FALSE(read.tooLarge);
            const ExtractStatus status = read.status;
            const std::string& bytes = read.bytes;
            const bool inconsistent = row.outcome.find("see note") != std::string::npos;
            if (inconsistent) {
                const auto expected = kInconsistentOutcomes.find({ file, row.index });
                ASSERT_NE(expected, kInconsistentOutcomes.end())
                    << "no expectation for this inconsistent member";
                EXPECT_EQ(status, expected->second);
                if (expected->second == ExtractStatus::Ok) {
                    ASSERT_TRUE(row.sha.has_value());
                    EXPECT_EQ(test::Sha256Hex(bytes), *row.sha);
                    ++decoded;
                } else {
                    ++failed;
                }
            } else if (row.outcome.rfind("REFUSE", 0) == 0) {
                // The method is checked before the encryption flag.
                EXPECT_EQ(status,
                    IsSupportedMethod(row.method) ? ExtractStatus::Encrypted
                                                  : ExtractStatus::UnsupportedMethod);
                ++refused;
            } else {
                ASSERT_TRUE(row.sha.has_value()) << row.outcome;
                EXPECT_EQ(status, ExtractStatus::Ok);
                EXPECT_EQ(test::Sha256Hex(bytes), *row.sha);
                ++decoded;
            }
        }
    }
    EXPECT_GT(decoded, 280);
    EXPECT_GT(refused, 25);
    EXPECT_GT(failed, 10);
}

// The member operations find fixture members by name, whatever the case.
TEST(ArchiveFixtures, MemberOperationsFindMembersByName)
{
    ORBITA_NEEDS_SHARED_FIXTURES("zip");
    struct Case {
        const char* file;
        const char* request;
        const char* sha;
    };
    const Case cases[] = {
        { "cc-mixed.zip", "STORED.TXT", "f283b70fa20d6863df7827b0297362b3287ccab53007ea069522f4b2836d85b8" },
        { "cc-mixed.zip", "Inflated.txt",
            "f283b70fa20d6863df7827b0297362b3287ccab53007ea069522f4b2836d85b8" },
        { "sc-Zip.deflate.dd.zip", "JPG\\TEST.JPG",
            "b251c7501fb0f55dd4a92feabe0a6f5733bc40a02679498155fae9b30138fc53" },
        { "sc-Zip.deflate.dd-.zip", "exe\\test.exe",
            "8557928804f57ecc340b3bb38b095a3607474ec8deb0076f316fcfe02b562106" },
        { "sc-Zip.none.datadescriptors.zip", "FIRST.TXT",
            "033238ff173f2ab363a4458c807f1995942749f84f53b6f2b3ea2c4dda55a5b2" },
        { "libzip-streamed.zip", "-", "87428fc522803d31065e7bce3cf03fe475096631e5e07bbd7a0fde60c4cf25c7" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.request);
        const auto bytes = ReadArchiveStream(test::SharedFixtures("zip") + c.file, c.request);
        ASSERT_TRUE(bytes.has_value());
        EXPECT_EQ(test::Sha256Hex(*bytes), c.sha);
    }
    // A name with "/" in the request never matches: the reader keeps "\".
    EXPECT_FALSE(
        ReadArchiveStream(test::SharedFixtures("zip") + "sc-Zip.deflate.dd.zip", "jpg/test.jpg").has_value());
    // Path-like names are only names: found as written, nothing is written.
    EXPECT_TRUE(
        ReadArchiveStream(test::SharedFixtures("zip") + "yauzl-relative-path.zip", "..\\xt").has_value());
    EXPECT_TRUE(ReadArchiveStream(test::SharedFixtures("zip") + "yauzl-absolute-path-drive.zip", "c:\\XT")
                    .has_value());
}

} // namespace
} // namespace orbita
