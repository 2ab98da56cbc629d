// The package archive reader on archives built byte by byte by the tests:
// end-record search, directory walk, lookup, the decoding statuses, the
// member operations and the in-progress marker.

#include "core/message_pump.h"
#include "data/archive_directory.h"
#include "data/archive_extract.h"
#include "data/archive_members.h"
#include "tests/data/test_zip_writer.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace orbita {
namespace {

using test::Deflated;
using test::Stored;
using test::Streamed;
using test::TestMember;
using test::TestZipWriter;

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "orbita-archive-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~TempFolder() { std::filesystem::remove_all(m_path); }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    std::string Write(const std::string& name, std::string_view bytes) const
    {
        test::WriteBytes(File(name), bytes);
        return File(name);
    }
    std::size_t Count() const
    {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(m_path), {}));
    }

private:
    std::string m_path;
};

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string Text(std::size_t size, unsigned seed = 1)
{
    std::string out;
    static const char* words[]
        = { "wodór ", "hel ", "lit ", "beryl ", "bor ", "węgiel ", "azot ", "tlen\r\n" };
    while (out.size() < size) {
        seed = seed * 1103515245u + 12345u;
        out += words[(seed >> 16) % 8];
    }
    out.resize(size);
    return out;
}

// Makes every file count as settled for the directory cache (its clock runs
// an hour ahead) and starts with an empty cache; both are undone at the end.
class SettledFiles {
public:
    SettledFiles()
    {
        ClearArchiveDirectoryCache();
        SetDirectoryCacheClock([]() -> std::int64_t {
            return std::chrono::duration_cast<std::chrono::nanoseconds>(
                (std::chrono::system_clock::now() + std::chrono::hours(1)).time_since_epoch())
                .count();
        });
    }
    ~SettledFiles()
    {
        SetDirectoryCacheClock(nullptr);
        ClearArchiveDirectoryCache();
    }
    SettledFiles(const SettledFiles&) = delete;
    SettledFiles& operator=(const SettledFiles&) = delete;
};

ExtractResult ExtractAt(const std::string& path, const ArchiveEntry& entry, std::string& buffer,
    const ArchiveEntry* with = nullptr)
{
    return ExtractToMemory(
        path, entry.headerOffset, reinterpret_cast<std::uint8_t*>(buffer.data()), buffer.size(), with);
}

// --- finding the end record and walking the directory ---------------------

TEST(ArchiveListing, FindsTheEndRecordAndWalksTheDirectory)
{
    TempFolder folder;
    struct Case {
        std::string label;
        std::string bytes;
        ListStatus status;
        std::vector<std::string> names;
    };
    auto archive = [](std::vector<TestMember> members, std::string comment = {}, std::string tail = {},
                       std::string prefix = {}) {
        TestZipWriter zip;
        zip.prefix = std::move(prefix);
        zip.members = std::move(members);
        zip.archiveComment = std::move(comment);
        zip.directoryTail = std::move(tail);
        return zip.Build();
    };
    const std::string plain = archive({ Stored("A.TXT", "a"), Stored("B.TXT", "b") });
    // With a 4100-byte archive comment the end record sits 4122 bytes from
    // the end: across the first search block's start (blocks overlap by 22).
    const std::string straddling = archive({ Stored("A.TXT", "a") }, std::string(4100 - 10, 'c'));
    std::string commented = Stored("C.TXT", "c").name;
    TestMember withComment = Stored("C.TXT", "c");
    withComment.comment = "komentarz do pliku";
    TestMember withExtra = Stored("D.TXT", "d");
    withExtra.extra = std::string("\x55\x54\x05\x00\x01\x00\x00\x00\x00", 9);
    std::string longName(300, 'N');

    const std::vector<Case> cases = {
        { "two members", plain, ListStatus::Ok, { "A.TXT", "B.TXT" } },
        { "archive comment", archive({ Stored("A.TXT", "a") }, "Orbita 3.5"), ListStatus::Ok, { "A.TXT" } },
        // The hit nearest the end of the file wins: here a false one in the
        // comment, whose directory offset lies behind it.
        { "comment holding a false end signature",
            archive({ Stored("A.TXT", "a") },
                std::string(30, 'x') + std::string("PK\x05\x06", 4) + std::string(30, 'x')),
            ListStatus::Unreadable, {} },
        { "end record straddling two search blocks", straddling, ListStatus::Ok, { "A.TXT" } },
        { "entry comment and extra field", archive({ withComment, withExtra, Stored("E.TXT", "e") }),
            ListStatus::Ok, { "C.TXT", "D.TXT", "E.TXT" } },
        { "names cut to 259 bytes, slashes turned",
            archive({ Stored(longName, "x"), Stored("dir/sub/f.txt", "y") }), ListStatus::Ok,
            { std::string(259, 'N'), "dir\\sub\\f.txt" } },
        { "walk ends at garbage after the first record",
            archive({ Stored("A.TXT", "a") }, {}, std::string("XX\x01\x02", 4) + std::string(60, '\0')),
            ListStatus::Ok, { "A.TXT" } },
        { "no member at all", archive({}, {}, {}, std::string(100, ' ')), ListStatus::NoEntries, {} },
        { "bare end record at offset 0", archive({}), ListStatus::EndRecordTooEarly, {} },
        { "no end record", plain.substr(0, plain.size() - 22), ListStatus::Unreadable, {} },
        { "shorter than an end record", "PK\x05\x06", ListStatus::Unreadable, {} },
        { "empty file", "", ListStatus::Unreadable, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const ArchiveListing listing = ListArchive(folder.Write("a.zip", c.bytes));
        EXPECT_EQ(listing.status, c.status);
        std::vector<std::string> names;
        for (const ArchiveEntry& entry : listing.entries)
            names.push_back(entry.name);
        EXPECT_EQ(names, c.names);
    }
    EXPECT_EQ(ListArchive(folder.File("missing.zip")).status, ListStatus::Unreadable);
    EXPECT_EQ(ListArchive(folder.File("")).status, ListStatus::Unreadable); // a folder
}

TEST(ArchiveListing, KeepsTheFieldsOfEveryEntry)
{
    TempFolder folder;
    TestZipWriter zip;
    zip.prefix = "junk";
    zip.members = { Stored("A.TXT", "alpha"), Deflated("B.TXT", Text(5000)) };
    const std::string path = folder.Write("a.zip", zip.Build());
    const ArchiveListing listing = ListArchive(path);
    ASSERT_EQ(listing.status, ListStatus::Ok);
    ASSERT_EQ(listing.entries.size(), 2u);
    const ArchiveEntry& b = listing.entries[1];
    EXPECT_EQ(listing.entries[0].headerOffset, 4u);
    EXPECT_EQ(b.headerOffset, 4u + 30 + 5 + 5);
    EXPECT_EQ(b.method, 8);
    EXPECT_EQ(b.size, 5000u);
    EXPECT_EQ(b.compressedSize, zip.members[1].compressedSize);
    EXPECT_EQ(b.crc, test::Crc32Of(Text(5000)));
    EXPECT_EQ(b.attribute, 0x20); // host system 0 (MS-DOS): the attribute is kept
}

TEST(ArchiveListing, StreamsADirectoryLargerThanTheWindow)
{
    TempFolder folder;
    TestZipWriter zip;
    for (int i = 0; i < 3000; ++i) {
        TestMember m = Stored("DANE\\PLIK" + std::to_string(i) + ".TXT", std::to_string(i));
        if (i % 7 == 0)
            m.comment = std::string(static_cast<std::size_t>(i % 50), 'k');
        zip.members.push_back(m);
    }
    const std::string path = folder.Write("big.zip", zip.Build());
    const ArchiveListing listing = ListArchive(path);
    ASSERT_EQ(listing.status, ListStatus::Ok);
    ASSERT_EQ(listing.entries.size(), 3000u);
    for (int i = 0; i < 3000; i += 499)
        EXPECT_EQ(
            listing.entries[static_cast<std::size_t>(i)].name, "DANE\\PLIK" + std::to_string(i) + ".TXT");
    EXPECT_EQ(listing.entries.back().name, "DANE\\PLIK2999.TXT");
    // Members near the start, the middle and the end, across window refills.
    for (const int i : { 0, 1234, 2999 })
        EXPECT_EQ(ReadArchiveStream(path, "dane\\plik" + std::to_string(i) + ".txt"), std::to_string(i));
}

// --- lookup ----------------------------------------------------------------

TEST(ArchiveLookup, ComparesWindows1250NamesWithoutRegardToCase)
{
    TempFolder folder;
    TestZipWriter zip;
    zip.members = {
        Stored("uklad/dane.txt", "lower with slash"),
        Stored("Slownik\\Dane.txt", "first"),
        Stored("SLOWNIK\\DANE.TXT", "second"),
        Stored("POMOC\\\xAF\xD3\xA3W.HTM", "zolw upper"), // "ŻÓŁW" in Windows-1250
        Stored(" SPACJA.TXT", "leading space"),
    };
    const std::string path = folder.Write("a.zip", zip.Build());
    struct Case {
        std::string request;
        std::optional<std::string> bytes;
    };
    const std::vector<Case> cases = {
        { "UKLAD\\DANE.TXT", "lower with slash" },
        { "uklad\\dane.txt", "lower with slash" },
        { "uklad/dane.txt", std::nullopt }, // the request is not mapped
        { "slownik\\dane.txt", "first" }, // first match in directory order
        { "SLOWNIK\\DANE.TXT", "first" },
        { "pomoc\\\xBF\xF3\xB3w.htm", "zolw upper" }, // "żółw"
        { "POMOC\\ZOLW.HTM", std::nullopt },
        { "SPACJA.TXT", std::nullopt }, // no trimming
        { " spacja.txt", "leading space" },
        { "UKLAD\\DANE.TX", std::nullopt },
        { "UKLAD\\DANE.TXT ", std::nullopt },
        { "UKLAD\\*", std::nullopt },
        { "", std::nullopt },
    };
    auto check = [&]() {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.request);
            EXPECT_EQ(ReadArchiveStream(path, c.request), c.bytes);
        }
    };
    {
        SCOPED_TRACE("walk of a freshly written archive");
        check();
    }
    const SettledFiles settled;
    {
        SCOPED_TRACE("kept directory");
        check();
        ASSERT_EQ(CachedArchiveDirectoryCount(), 1u);
        check();
    }
}

// --- decoding statuses ----------------------------------------------------

TEST(ArchiveExtract, GivesTheStatusOfEveryOutcome)
{
    TempFolder folder;
    const std::string content = Text(70000); // more than two output windows
    auto withMethod = [&](std::uint16_t method, std::uint16_t flags = 0) {
        TestMember m = Stored("M.BIN", content);
        m.method = method;
        m.flags = flags;
        return m;
    };
    auto corrupted = [&](TestMember m, std::size_t at) {
        m.data[at] = static_cast<char>(m.data[at] ^ 0x20);
        return m;
    };
    TestMember reserved = Deflated("M.BIN", content);
    reserved.data = std::string("\x07", 1) + std::string(40, '\0'); // final block of type 3
    reserved.compressedSize = static_cast<std::uint32_t>(reserved.data.size());
    TestMember deflatedCrc = Deflated("M.BIN", content);
    deflatedCrc.crc ^= 0x8000;
    TestMember tooLong = Deflated("M.BIN", content);
    tooLong.size = 60000; // the stream gives 70000 bytes
    TestMember tooShort = Deflated("M.BIN", content);
    tooShort.size = 80000;
    TestMember cutStream = Deflated("M.BIN", content);
    cutStream.data.resize(cutStream.data.size() / 2);
    cutStream.compressedSize = static_cast<std::uint32_t>(cutStream.data.size());
    TestMember overRatio = Deflated("M.BIN", "x");
    overRatio.size = 10'000'000;
    TestMember encryptedDeflate = Deflated("M.BIN", content);
    encryptedDeflate.flags = 1;

    struct Case {
        std::string label;
        TestMember member;
        ExtractStatus status;
        std::size_t cut = 0; // bytes cut off the end of the archive
    };
    const std::vector<Case> cases = {
        { "stored", Stored("M.BIN", content), ExtractStatus::Ok },
        { "deflated", Deflated("M.BIN", content), ExtractStatus::Ok },
        { "stored data altered", corrupted(Stored("M.BIN", content), 40000), ExtractStatus::CrcMismatch },
        { "deflated, CRC altered", deflatedCrc, ExtractStatus::CrcMismatch },
        { "reserved block type", reserved, ExtractStatus::BadMember },
        { "more output than announced", tooLong, ExtractStatus::BadMember },
        { "less output than announced", tooShort, ExtractStatus::BadMember },
        { "compressed stream ends early", cutStream, ExtractStatus::ReadFailed },
        { "more than 1032 bytes per compressed byte", overRatio, ExtractStatus::BadMember },
        { "method 7", withMethod(7), ExtractStatus::UnsupportedMethod },
        { "method 9", withMethod(9), ExtractStatus::UnsupportedMethod },
        { "method 12", withMethod(12), ExtractStatus::UnsupportedMethod },
        { "method 14", withMethod(14), ExtractStatus::UnsupportedMethod },
        { "method 93", withMethod(93), ExtractStatus::UnsupportedMethod },
        { "method 95", withMethod(95), ExtractStatus::UnsupportedMethod },
        { "method 98", withMethod(98), ExtractStatus::UnsupportedMethod },
        { "method 99 encrypted: the method is checked first", withMethod(99, 1),
            ExtractStatus::UnsupportedMethod },
        { "stored, encrypted", withMethod(0, 1), ExtractStatus::Encrypted },
        { "deflated, encrypted", encryptedDeflate, ExtractStatus::Encrypted },
        { "strong encryption flags", withMethod(0, 0x41), ExtractStatus::Encrypted },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TestZipWriter zip;
        zip.members = { c.member };
        const std::string path = folder.Write("a.zip", zip.Build());
        const ArchiveListing listing = ListArchive(path);
        ASSERT_EQ(listing.entries.size(), 1u);
        const ArchiveEntry& entry = listing.entries[0];
        std::string buffer(entry.size == 10'000'000 ? 16 : std::max<std::size_t>(entry.size, 1), '\0');
        const ExtractResult result = ExtractAt(path, entry, buffer, &entry);
        EXPECT_EQ(result.status, c.status);
        // Without the directory entry the local header alone decides.
        EXPECT_EQ(ExtractAt(path, entry, buffer).status, c.status);
        if (c.status == ExtractStatus::Ok) {
            EXPECT_EQ(result.delivered, content.size());
            EXPECT_EQ(buffer, content);
        }
        const auto stream = ReadArchiveStream(path, "m.bin");
        EXPECT_EQ(stream.has_value(), c.status == ExtractStatus::Ok);
    }
}

TEST(ArchiveExtract, ReportsReadFailuresAndBadHeaders)
{
    TempFolder folder;
    TestZipWriter zip;
    zip.members = { Stored("A.TXT", Text(10000)), Deflated("B.TXT", Text(10000)) };
    const std::string bytes = zip.Build();
    const std::string path = folder.Write("a.zip", bytes);
    const ArchiveListing listing = ListArchive(path);
    ASSERT_EQ(listing.entries.size(), 2u);
    std::string buffer(10000, '\0');

    // No archive at all.
    EXPECT_EQ(ExtractToMemory(folder.File("none.zip"), 0, nullptr, 0).status, ExtractStatus::ReadFailed);
    // A header offset that points at no local header.
    EXPECT_EQ(ExtractToMemory(path, 1, nullptr, 0).status, ExtractStatus::BadMember);
    EXPECT_EQ(ExtractToMemory(path, 0xFFFFFFF0u, nullptr, 0).status, ExtractStatus::BadMember);
    // The directory entry and the local header disagree on the method.
    ArchiveEntry wrong = listing.entries[0];
    wrong.method = 8;
    EXPECT_EQ(ExtractAt(path, wrong, buffer, &wrong).status, ExtractStatus::BadMember);

    // The archive cut inside the stored data: the data ends early. The
    // directory is gone too, so the offsets come from the intact listing.
    const std::string cut = folder.Write("cut.zip", bytes.substr(0, 30 + 5 + 5000));
    EXPECT_EQ(ExtractToMemory(cut, 0, nullptr, 0).status, ExtractStatus::ReadFailed);
    EXPECT_EQ(ExtractToMemory(cut, 0, reinterpret_cast<std::uint8_t*>(buffer.data()), buffer.size()).status,
        ExtractStatus::ReadFailed);
}

TEST(ArchiveExtract, FullBufferStopsWithoutCrcCheckAndSizingPassUsesTheHeader)
{
    TempFolder folder;
    const std::string content = Text(100000);
    TestMember altered = Deflated("A.BIN", content);
    altered.crc ^= 1; // a partial read never checks the CRC
    TestZipWriter zip;
    zip.members = { altered };
    const std::string path = folder.Write("a.zip", zip.Build());
    const ArchiveEntry entry = ListArchive(path).entries.at(0);

    const ExtractResult sizing = ExtractToMemory(path, entry.headerOffset, nullptr, 0);
    EXPECT_EQ(sizing.status, ExtractStatus::Ok);
    EXPECT_EQ(sizing.delivered, content.size());

    for (const std::size_t capacity : { std::size_t { 1 }, std::size_t { 32768 }, std::size_t { 50000 } }) {
        SCOPED_TRACE(capacity);
        std::string buffer(capacity, '\0');
        const ExtractResult partial = ExtractAt(path, entry, buffer);
        EXPECT_EQ(partial.status, ExtractStatus::Ok);
        EXPECT_EQ(partial.delivered, capacity);
        EXPECT_EQ(buffer, content.substr(0, capacity));
    }
    std::string whole(content.size(), '\0');
    EXPECT_EQ(ExtractAt(path, entry, whole).status, ExtractStatus::CrcMismatch);
}

TEST(ArchiveExtract, ReadsDataDescriptorMembers)
{
    TempFolder folder;
    const std::string first = Text(50000, 3);
    const std::string second = Text(3000, 4);
    TestMember storedWithDescriptor = Stored("S.TXT", second);
    storedWithDescriptor.flags = 0x0008;
    storedWithDescriptor.zeroLocal = true;
    storedWithDescriptor.descriptor = std::string("PK\x07\x08", 4) + std::string(12, '\0');
    for (int i = 0; i < 4; ++i)
        storedWithDescriptor.descriptor[4 + static_cast<std::size_t>(i)]
            = static_cast<char>((storedWithDescriptor.crc >> (8 * i)) & 0xFF);
    TestMember noSignature = Streamed("N.TXT", second);
    noSignature.descriptor.erase(0, 4);
    TestMember wrongDescriptor = Streamed("W.TXT", second);
    wrongDescriptor.descriptor[4] = static_cast<char>(wrongDescriptor.descriptor[4] ^ 1);
    TestZipWriter zip;
    zip.members = { Streamed("A.TXT", first), storedWithDescriptor, noSignature, wrongDescriptor };
    const std::string path = folder.Write("a.zip", zip.Build());

    EXPECT_EQ(ReadArchiveStream(path, "A.TXT"), first);
    EXPECT_EQ(ReadArchiveStream(path, "S.TXT"), second);
    EXPECT_EQ(ReadArchiveStream(path, "N.TXT"), second);
    EXPECT_FALSE(ReadArchiveStream(path, "W.TXT").has_value());

    // Without the directory entry a deflated descriptor member is read until
    // its stream ends, and its size is not known beforehand.
    const ArchiveEntry entry = ListArchive(path).entries.at(0);
    const ExtractResult sizing = ExtractToMemory(path, entry.headerOffset, nullptr, 0);
    EXPECT_EQ(sizing.status, ExtractStatus::Ok);
    EXPECT_EQ(sizing.delivered, 0x7FFFFF9Bu);
    std::string buffer(first.size() + 100, '\0');
    const ExtractResult result = ExtractAt(path, entry, buffer);
    EXPECT_EQ(result.status, ExtractStatus::Ok);
    EXPECT_EQ(result.delivered, first.size());
    EXPECT_EQ(buffer.substr(0, first.size()), first);
}

// --- member operations ------------------------------------------------------

TEST(ArchiveMembers, ReadStreamsLinesAndFiles)
{
    TempFolder folder;
    TestZipWriter zip;
    zip.members = {
        Deflated("UKLAD\\DANE.TXT", std::string("1;H;wod\xF3r\r\n2;He;hel\rX\n\nlast\0after", 32)),
        Stored("PUSTY.TXT", ""),
        Deflated("PUSTY2.TXT", ""),
        Stored("ZEPSUTY.TXT", "abc"),
    };
    zip.members[3].crc ^= 0x100;
    const std::string path = folder.Write("ORBITA.DAT", zip.Build());

    const auto lines = ReadArchiveLines("uklad\\dane.txt", path);
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(*lines, (std::vector<std::string> { "1;H;wod\xF3r", "2;He;hel", "X", "", "last" }));

    for (const char* empty : { "PUSTY.TXT", "PUSTY2.TXT" }) {
        SCOPED_TRACE(empty);
        EXPECT_EQ(ReadArchiveStream(path, empty), std::string());
        const auto emptyLines = ReadArchiveLines(empty, path);
        ASSERT_TRUE(emptyLines.has_value());
        EXPECT_TRUE(emptyLines->empty());
        const std::string target = folder.File(std::string("out-") + empty);
        EXPECT_TRUE(ExtractArchiveFile(path, empty, target));
        EXPECT_TRUE(std::filesystem::exists(target));
        EXPECT_EQ(std::filesystem::file_size(target), 0u);
    }

    EXPECT_FALSE(ReadArchiveStream(path, "ZEPSUTY.TXT").has_value());
    EXPECT_FALSE(ReadArchiveLines("ZEPSUTY.TXT", path).has_value());
    EXPECT_FALSE(ReadArchiveLines("BRAK.TXT", path).has_value());
    EXPECT_FALSE(ReadArchiveLines("UKLAD\\DANE.TXT", folder.File("BRAK.DAT")).has_value());
}

TEST(ArchiveMembers, ExtractArchiveFileReplacesTheTargetOnlyAfterACleanDecode)
{
    TempFolder folder;
    const std::string content = Text(40000);
    TestZipWriter zip;
    zip.members = { Deflated("OPIS.HTM", content), Deflated("ZLY.HTM", content) };
    zip.members[1].crc ^= 1;
    const std::string path = folder.Write("a.zip", zip.Build());
    const std::string target = folder.Write("target.htm", "earlier contents");
    const std::size_t filesBefore = folder.Count();

    struct Case {
        std::string member;
        bool written;
    };
    for (const Case& c :
        std::vector<Case> { { "ZLY.HTM", false }, { "BRAK.HTM", false }, { "opis.htm", true } }) {
        SCOPED_TRACE(c.member);
        EXPECT_EQ(ExtractArchiveFile(path, c.member, target), c.written);
        EXPECT_EQ(ReadFile(target), c.written ? content : "earlier contents");
        EXPECT_EQ(folder.Count(), filesBefore); // no temporary file left behind
    }
    // A target in a folder that does not exist: nothing is written anywhere.
    EXPECT_FALSE(ExtractArchiveFile(path, "OPIS.HTM", folder.File("no/such/folder.htm")));
    EXPECT_EQ(folder.Count(), filesBefore);
}

TEST(ArchiveMembers, RefusesMembersAnnouncingMoreThanTheCap)
{
    TempFolder folder;
    // 300 MiB of zeros in a plausible amount of deflate data; the member
    // announces its real size, but reading it would need 300 MiB of memory.
    TestMember huge = Deflated("HUGE.BIN", std::string(1000, '\0'));
    huge.size = 300u * 1024u * 1024u;
    huge.data.resize(huge.size / 1000, '\0');
    huge.compressedSize = static_cast<std::uint32_t>(huge.data.size());
    TestZipWriter zip;
    zip.members = { huge };
    const std::string path = folder.Write("a.zip", zip.Build());
    const ArchiveEntry entry = ListArchive(path).entries.at(0);
    const ExtractResult sizing = ExtractToMemory(path, entry.headerOffset, nullptr, 0, &entry);
    ASSERT_EQ(sizing.status, ExtractStatus::Ok);
    EXPECT_GT(sizing.delivered, kMaxMemberSize);
    EXPECT_FALSE(ReadArchiveStream(path, "HUGE.BIN").has_value());
}

// --- message pumping ----------------------------------------------------------

int g_pumps = 0;

TEST(ArchiveExtract, PumpsMessagesAfterEveryInputBlock)
{
    TempFolder folder;
    TestZipWriter zip;
    zip.members = { Stored("S.BIN", Text(70000)), Deflated("D.BIN", Text(300000, 9)) };
    const std::string path = folder.Write("a.zip", zip.Build());
    const ArchiveListing listing = ListArchive(path);
    ASSERT_EQ(listing.entries.size(), 2u);
    SetMessagePump([] { ++g_pumps; });

    // Stored data goes in blocks of up to 32768 bytes: 32768 + 32768 + 4464.
    g_pumps = 0;
    std::string stored(70000, '\0');
    EXPECT_EQ(ExtractAt(path, listing.entries[0], stored).status, ExtractStatus::Ok);
    EXPECT_EQ(g_pumps, 3);

    // Compressed data goes in blocks of 2048 bytes, up to its size + 2.
    g_pumps = 0;
    std::string deflated(300000, '\0');
    EXPECT_EQ(ExtractAt(path, listing.entries[1], deflated).status, ExtractStatus::Ok);
    const int compressed = static_cast<int>(listing.entries[1].compressedSize);
    EXPECT_GE(g_pumps, (compressed + 2047) / 2048);
    EXPECT_LE(g_pumps, (compressed + 2 + 2047) / 2048);

    // The sizing pass answers from the local header: nothing is decoded.
    g_pumps = 0;
    EXPECT_EQ(ExtractToMemory(path, listing.entries[1].headerOffset, nullptr, 0).delivered, 300000u);
    EXPECT_EQ(g_pumps, 0);
    SetMessagePump(nullptr);
}

// --- the in-progress marker -------------------------------------------------

struct NestedCall {
    static inline std::string path;
    static inline std::uint32_t offset = 0;
    static inline std::int64_t nowMs = 0;
    static inline std::int64_t advanceMs = 0;
    static inline std::vector<ExtractStatus> seen;
    static inline bool nesting = false;

    static std::chrono::milliseconds Clock() { return std::chrono::milliseconds(nowMs); }
    static void Pump()
    {
        if (nesting)
            return;
        nesting = true;
        nowMs += advanceMs;
        std::string buffer(10, '\0');
        seen.push_back(
            ExtractToMemory(path, offset, reinterpret_cast<std::uint8_t*>(buffer.data()), buffer.size())
                .status);
        nesting = false;
    }
};

TEST(ArchiveExtract, RefusesANestedExtractionUnlessTheRunningOneWasAbandoned)
{
    TempFolder folder;
    TestZipWriter zip;
    zip.members = { Deflated("A.TXT", Text(20000)), Stored("B.TXT", "0123456789") };
    NestedCall::path = folder.Write("a.zip", zip.Build());
    const ArchiveListing listing = ListArchive(NestedCall::path);
    NestedCall::offset = listing.entries.at(1).headerOffset;
    SetExtractClock(&NestedCall::Clock);
    SetMessagePump(&NestedCall::Pump);

    struct Case {
        std::int64_t silenceMs; // time since the running extraction last pumped
        ExtractStatus nested;
    };
    for (const Case& c : { Case { 0, ExtractStatus::Busy }, Case { 30000, ExtractStatus::Busy },
             Case { 30001, ExtractStatus::Ok } }) {
        SCOPED_TRACE(c.silenceMs);
        NestedCall::seen.clear();
        NestedCall::advanceMs = c.silenceMs;
        std::string buffer(20000, '\0');
        const ExtractResult outer = ExtractAt(NestedCall::path, listing.entries[0], buffer);
        EXPECT_EQ(outer.status, ExtractStatus::Ok);
        ASSERT_FALSE(NestedCall::seen.empty());
        EXPECT_EQ(NestedCall::seen.front(), c.nested);
        // The marker is cleared on the way out: a later call proceeds.
        NestedCall::advanceMs = 0;
        SetMessagePump(nullptr);
        std::string small(10, '\0');
        EXPECT_EQ(ExtractToMemory(NestedCall::path, NestedCall::offset,
                      reinterpret_cast<std::uint8_t*>(small.data()), small.size())
                      .status,
            ExtractStatus::Ok);
        SetMessagePump(&NestedCall::Pump);
    }
    // A member operation started from the pump fails as a whole.
    NestedCall::advanceMs = 0;
    SetMessagePump([] {
        static bool inside = false;
        if (inside)
            return;
        inside = true;
        EXPECT_FALSE(ReadArchiveStream(NestedCall::path, "B.TXT").has_value());
        inside = false;
    });
    std::string buffer(20000, '\0');
    EXPECT_EQ(ExtractAt(NestedCall::path, listing.entries[0], buffer).status, ExtractStatus::Ok);
    SetMessagePump(nullptr);
    SetExtractClock(nullptr);
}

// --- kept directories ------------------------------------------------------

std::uint64_t InodeOf(const std::string& path)
{
    struct stat info { };
    EXPECT_EQ(::stat(path.c_str(), &info), 0);
    return static_cast<std::uint64_t>(info.st_ino);
}

TEST(ArchiveDirectoryCache, ReadsTheArchiveAnewWhenItIsReplacedOrRewritten)
{
    TempFolder folder;
    const SettledFiles settled;
    // Two archives of the same size whose members differ in name and bytes.
    TestZipWriter first;
    first.members = { Stored("UKLAD\\A.TXT", "one-1"), Stored("UKLAD\\C.TXT", Text(3000, 1)) };
    TestZipWriter second;
    second.members = { Stored("UKLAD\\B.TXT", "two-2"), Stored("UKLAD\\C.TXT", Text(3000, 2)) };
    const std::string firstBytes = first.Build();
    const std::string secondBytes = second.Build();
    ASSERT_EQ(firstBytes.size(), secondBytes.size());

    auto expectFirst = [&](const std::string& path) {
        EXPECT_EQ(ReadArchiveStream(path, "uklad\\a.txt"), std::optional<std::string>("one-1"));
        EXPECT_EQ(ReadArchiveStream(path, "UKLAD\\B.TXT"), std::nullopt);
        EXPECT_EQ(ReadArchiveStream(path, "UKLAD\\C.TXT"), std::optional<std::string>(Text(3000, 1)));
    };
    auto expectSecond = [&](const std::string& path) {
        EXPECT_EQ(ReadArchiveStream(path, "UKLAD\\A.TXT"), std::nullopt);
        EXPECT_EQ(ReadArchiveStream(path, "uklad\\b.txt"), std::optional<std::string>("two-2"));
        EXPECT_EQ(ReadArchiveStream(path, "UKLAD\\C.TXT"), std::optional<std::string>(Text(3000, 2)));
        const ArchiveListing listing = ListArchive(path);
        ASSERT_EQ(listing.entries.size(), 2u);
        EXPECT_EQ(listing.entries[0].name, "UKLAD\\B.TXT");
    };

    const std::string path = folder.Write("a.dat", firstBytes);
    expectFirst(path);
    EXPECT_EQ(CachedArchiveDirectoryCount(), 1u);
    const auto firstTime = std::filesystem::last_write_time(path);

    {
        SCOPED_TRACE("replaced by a rename, same size and modification time");
        const std::string replacement = folder.Write("a.new", secondBytes);
        std::filesystem::last_write_time(replacement, firstTime);
        const std::uint64_t oldInode = InodeOf(path);
        std::filesystem::rename(replacement, path);
        ASSERT_NE(InodeOf(path), oldInode);
        expectSecond(path);
    }
    {
        SCOPED_TRACE("rewritten in place, same size, modification time one nanosecond later");
        const std::uint64_t inode = InodeOf(path);
        const auto before = std::filesystem::last_write_time(path);
        test::WriteBytes(path, firstBytes);
        std::filesystem::last_write_time(path, before + std::chrono::nanoseconds(1));
        ASSERT_EQ(InodeOf(path), inode);
        ASSERT_EQ(std::filesystem::file_size(path), secondBytes.size());
        expectFirst(path);
    }
    {
        SCOPED_TRACE("rewritten in place with its modification time put back");
        const auto before = std::filesystem::last_write_time(path);
        test::WriteBytes(path, secondBytes);
        std::filesystem::last_write_time(path, before);
        expectSecond(path);
    }
    {
        SCOPED_TRACE("removed");
        std::filesystem::remove(path);
        EXPECT_EQ(ReadArchiveStream(path, "UKLAD\\B.TXT"), std::nullopt);
        EXPECT_EQ(ListArchive(path).status, ListStatus::Unreadable);
        EXPECT_EQ(CachedArchiveDirectoryCount(), 0u);
    }
}

TEST(ArchiveDirectoryCache, KeepsOnlyGoodDirectoriesOfSettledFilesAndOnlyAFew)
{
    TempFolder folder;
    TestZipWriter zip;
    zip.members = { Stored("UKLAD\\A.TXT", "one-1") };
    const std::string good = zip.Build();
    {
        SCOPED_TRACE("a file changed within the last two seconds");
        ClearArchiveDirectoryCache();
        const std::string path = folder.Write("fresh.dat", good);
        EXPECT_EQ(ReadArchiveStream(path, "UKLAD\\A.TXT"), std::optional<std::string>("one-1"));
        EXPECT_EQ(ListArchive(path).status, ListStatus::Ok);
        EXPECT_EQ(CachedArchiveDirectoryCount(), 0u);
    }
    const SettledFiles settled;
    {
        SCOPED_TRACE("damaged archives");
        std::string noEndRecord = good;
        noEndRecord[noEndRecord.size() - 22] = 'X';
        std::string noDirectory = good;
        noDirectory[noDirectory.find("PK\x01\x02")] = 'X';
        for (const std::string& bytes : { noEndRecord, noDirectory }) {
            const std::string path = folder.Write("damaged.dat", bytes);
            EXPECT_EQ(ReadArchiveStream(path, "UKLAD\\A.TXT"), std::nullopt);
            EXPECT_NE(ListArchive(path).status, ListStatus::Ok);
            EXPECT_EQ(CachedArchiveDirectoryCount(), 0u);
        }
        // Repaired in place with its old modification time: read anew.
        const std::string path = folder.File("damaged.dat");
        const auto damagedTime = std::filesystem::last_write_time(path);
        test::WriteBytes(path, good);
        std::filesystem::last_write_time(path, damagedTime);
        EXPECT_EQ(ReadArchiveStream(path, "UKLAD\\A.TXT"), std::optional<std::string>("one-1"));
        EXPECT_EQ(CachedArchiveDirectoryCount(), 1u);
    }
    {
        SCOPED_TRACE("at most four archives");
        ClearArchiveDirectoryCache();
        std::vector<std::string> paths;
        for (int i = 0; i < 6; ++i) {
            TestZipWriter numbered;
            numbered.members = { Stored("N.TXT", std::to_string(i)) };
            paths.push_back(folder.Write("n" + std::to_string(i) + ".dat", numbered.Build()));
        }
        for (int round = 0; round < 2; ++round) {
            for (std::size_t i = 0; i < paths.size(); ++i) {
                EXPECT_EQ(
                    ReadArchiveStream(paths[i], "N.TXT"), std::optional<std::string>(std::to_string(i)));
                EXPECT_LE(CachedArchiveDirectoryCount(), 4u);
            }
        }
        EXPECT_EQ(CachedArchiveDirectoryCount(), 4u);
    }
}

// Lookups from several threads while the archives they read push each other
// out of the cache and one of them is replaced again and again.
TEST(ArchiveDirectoryCache, ServesSeveralThreads)
{
    TempFolder folder;
    const SettledFiles settled;
    std::vector<std::string> paths;
    std::vector<std::string> builds;
    for (int i = 0; i < 6; ++i) {
        TestZipWriter zip;
        for (int member = 0; member < 50; ++member)
            zip.members.push_back(
                Stored("M" + std::to_string(member) + ".TXT", "archive " + std::to_string(i)));
        builds.push_back(zip.Build());
        paths.push_back(folder.Write("t" + std::to_string(i) + ".dat", builds.back()));
    }
    std::atomic<int> wrong { 0 };
    std::vector<std::thread> readers;
    for (int t = 0; t < 4; ++t) {
        readers.emplace_back([&, t]() {
            for (int round = 0; round < 200; ++round) {
                const std::size_t i = static_cast<std::size_t>((round + t) % 6);
                ArchiveEntry entry;
                if (!FindArchiveEntry(paths[i], "m" + std::to_string(round % 50) + ".txt", entry)
                    || entry.size != std::string("archive 0").size())
                    ++wrong;
                if (ListArchive(paths[i]).entries.size() != 50)
                    ++wrong;
            }
        });
    }
    for (int round = 0; round < 50; ++round) {
        const std::string replacement = folder.Write("t0.new", builds[0]);
        std::filesystem::rename(replacement, paths[0]);
    }
    for (std::thread& reader : readers)
        reader.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_LE(CachedArchiveDirectoryCount(), 4u);
}

} // namespace
} // namespace orbita
