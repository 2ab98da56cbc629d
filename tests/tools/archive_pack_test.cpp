#include "tests/support/packed_archive.h"

#include <QTemporaryDir>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>

namespace orbita::test {
namespace {

namespace fs = std::filesystem;

constexpr std::uint16_t Deflated = 8;

// One local file header as it stands in the archive bytes.
struct LocalHeader {
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint16_t time = 0;
    std::uint16_t date = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t size = 0;
    std::string name;
};

std::uint32_t little(const std::string& bytes, std::size_t at, int width)
{
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

// Walks the local headers from the start of the archive; the sizes there must
// lead from one header to the next, as the program's reader expects.
std::vector<LocalHeader> localHeaders(const std::string& bytes)
{
    std::vector<LocalHeader> headers;
    std::size_t at = 0;
    while (at + 30 <= bytes.size() && little(bytes, at, 4) == 0x04034B50) {
        LocalHeader h;
        h.flags = static_cast<std::uint16_t>(little(bytes, at + 6, 2));
        h.method = static_cast<std::uint16_t>(little(bytes, at + 8, 2));
        h.time = static_cast<std::uint16_t>(little(bytes, at + 10, 2));
        h.date = static_cast<std::uint16_t>(little(bytes, at + 12, 2));
        h.compressedSize = little(bytes, at + 18, 4);
        h.size = little(bytes, at + 22, 4);
        const std::size_t nameLength = little(bytes, at + 26, 2);
        const std::size_t extraLength = little(bytes, at + 28, 2);
        h.name = bytes.substr(at + 30, nameLength);
        at += 30 + nameLength + extraLength + h.compressedSize;
        headers.push_back(h);
    }
    return headers;
}

class ArchivePackTest : public ::testing::Test {
protected:
    std::string source(const std::string& relative = {}) const
    {
        return (fs::path(m_dir.path().toStdString()) / "zrodlo" / relative).string();
    }
    std::string output(const std::string& name = "PAKIET.obt") const
    {
        return (fs::path(m_dir.path().toStdString()) / "wynik" / name).string();
    }
    void addFile(const std::string& relative, const std::string& bytes)
    {
        WriteWholeFile(source(relative), bytes);
    }

    ToolRun pack(bool fromUtf8, const std::string& folder, const std::string& target)
    {
        fs::create_directories(fs::path(output()).parent_path());
        QStringList arguments { QStringLiteral("archive"), QStringLiteral("pack") };
        if (fromUtf8)
            arguments << QStringLiteral("--from-utf8");
        arguments << QString::fromStdString(folder) << QString::fromStdString(target);
        return RunTool(arguments);
    }

    std::vector<std::string> outputFolder() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(fs::path(output()).parent_path()))
            names.push_back(entry.path().filename().string());
        return names;
    }

    QTemporaryDir m_dir;
};

// Source files in UTF-8 (as edited) with the bytes each must have in the archive.
const std::map<std::string, std::pair<std::string, std::string>>& sampleFolder()
{
    static const std::map<std::string, std::pair<std::string, std::string>> files = {
        { "UKLAD/DANE.TXT",
            { "Żelazo=26\r\nŁÓDŹ łódź\n",
                "\xAF"
                "elazo=26\r\n\xA3\xD3"
                "D\x8F \xB3\xF3"
                "d\x9F\n" } },
        { "POMOC/Strona.Htm",
            { "<p>ąę € „cytat”</p>",
                "<p>\xB9\xEA \x80 \x84"
                "cytat\x94</p>" } },
        { "POMOC/menu.html", { "Ś", "\x8C" } },
        { "TABLICE/gestosc.csv", { "Fe;7,874\n", "Fe;7,874\n" } },
        { "ORBSKIN.ini", { "\xEF\xBB\xBF[BITMAPINFO]\r\n", "[BITMAPINFO]\r\n" } },
        { "pusty.TXT", { "", "" } },
        { "OBRAZ.BMP",
            { std::string("BM\0\xC3\x28\xFF\xEF\xBB\xBF", 9),
                std::string("BM\0\xC3\x28\xFF\xEF\xBB\xBF", 9) } },
        { "notatka.md", { "zażółć", "zażółć" } },
        { "TESTY/żółw.gif", { "GIF89a", "GIF89a" } },
    };
    return files;
}

TEST_F(ArchivePackTest, PacksEveryFileSortedAndConvertsTexts)
{
    for (const auto& [name, contents] : sampleFolder())
        addFile(name, contents.first);
    const ToolRun run = pack(true, source(), output());
    ASSERT_EQ(run.exitCode, 0) << run.standardError;
    EXPECT_EQ(run.standardError, "");

    const auto members = ReadPackedArchive(output());
    ASSERT_TRUE(members);
    std::vector<std::string> names;
    for (const PackedMember& member : *members)
        names.push_back(member.name);
    const std::vector<std::string> expectedNames
        = { "OBRAZ.BMP", "ORBSKIN.ini", "POMOC/Strona.Htm", "POMOC/menu.html", "TABLICE/gestosc.csv",
              "TESTY/\xBF\xF3\xB3w.gif", "UKLAD/DANE.TXT", "notatka.md", "pusty.TXT" };
    EXPECT_EQ(names, expectedNames);
    for (const PackedMember& member : *members) {
        EXPECT_EQ(member.method, Deflated) << member.name;
        const std::string sourceName
            = member.name == "TESTY/\xBF\xF3\xB3w.gif" ? "TESTY/żółw.gif" : member.name;
        EXPECT_EQ(member.data, sampleFolder().at(sourceName).second) << member.name;
    }

    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat info { };
    ASSERT_EQ(::stat(output().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0666u & ~mask);
    EXPECT_EQ(outputFolder(), std::vector<std::string> { "PAKIET.obt" }) << "no temporary file is left";
}

TEST_F(ArchivePackTest, WithoutConversionEveryFileKeepsItsBytes)
{
    for (const auto& [name, contents] : sampleFolder())
        addFile(name, contents.first);
    const ToolRun run = pack(false, source(), output());
    ASSERT_EQ(run.exitCode, 0) << run.standardError;
    const auto members = ReadPackedArchive(output());
    ASSERT_TRUE(members);
    ASSERT_EQ(members->size(), sampleFolder().size());
    for (const PackedMember& member : *members)
        EXPECT_EQ(member.data, sampleFolder().at(member.name).first) << member.name;
}

TEST_F(ArchivePackTest, SameFolderGivesSameBytesWithSizesInLocalHeaders)
{
    for (const auto& [name, contents] : sampleFolder())
        addFile(name, contents.first);
    addFile("DUZY.TXT", std::string(200000, 'a') + "ą");
    ASSERT_EQ(pack(true, source(), output("A.DAT")).exitCode, 0);
    for (const auto& entry : fs::recursive_directory_iterator(source()))
        fs::last_write_time(entry.path(), fs::file_time_type::clock::now() - std::chrono::hours(1000));
    ASSERT_EQ(pack(true, source(), output("B.DAT")).exitCode, 0);

    const auto first = ReadWholeFile(output("A.DAT"));
    const auto second = ReadWholeFile(output("B.DAT"));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(*first, *second);

    const auto members = ReadPackedArchive(output("A.DAT"));
    ASSERT_TRUE(members);
    const auto headers = localHeaders(*first);
    ASSERT_EQ(headers.size(), members->size());
    for (std::size_t i = 0; i < headers.size(); ++i) {
        const LocalHeader& h = headers[i];
        EXPECT_EQ(h.name, (*members)[i].name);
        EXPECT_EQ(h.flags & 0x0008, 0) << h.name << ": no data descriptor, the sizes stand in the header";
        EXPECT_EQ(h.method, Deflated) << h.name;
        EXPECT_EQ(h.size, (*members)[i].data.size()) << h.name;
        EXPECT_EQ(h.date, ((2001 - 1980) << 9) | (1 << 5) | 1) << h.name;
        EXPECT_EQ(h.time, 0) << h.name;
    }
    EXPECT_EQ(headers.back().name, "pusty.TXT");
}

TEST_F(ArchivePackTest, RefusesWhatCannotBecomeAGoodPackage)
{
    struct Case {
        const char* what;
        std::map<std::string, std::string> files;
        std::vector<std::string> folders;
        bool fromUtf8;
        std::string folder; // relative to the source folder
        int exitCode;
        std::vector<std::string> messageParts;
    };
    const Case cases[] = {
        { "a character outside Windows-1250", { { "TEST.TXT", "Pytanie 1\nOdpowiedź\nZbiór ℕ\n" } }, {}, true,
            "", 1, { "TEST.TXT:3:", "U+2115" } },
        { "an emoji in a page", { { "a/STRONA.HTM", "<p>\r\n\r\n\r\n🙂</p>" } }, {}, true, "", 1,
            { "STRONA.HTM:4:", "U+1F642" } },
        { "invalid UTF-8", { { "ORBSKIN.INI", "[A]\r\nx=\xC3\x28\r\n" } }, {}, true, "", 1,
            { "ORBSKIN.INI:2:", "invalid UTF-8" } },
        { "invalid UTF-8 after lone CR line ends", { { "dane.csv", "a\rb\r\xFF" } }, {}, true, "", 1,
            { "dane.csv:3:", "invalid UTF-8" } },
        { "a cut-off sequence at the end", { { "x.txt", "ok\n\xC5" } }, {}, true, "", 1,
            { "x.txt:2:", "invalid UTF-8" } },
        { "a file name outside Windows-1250", { { "ℕ.bmp", "BM" } }, {}, true, "", 1,
            { "ℕ.bmp", "file name" } },
        { "names differing only in case", { { "A.TXT", "a" }, { "a.txt", "b" } }, {}, false, "", 1,
            { "letter case" } },
        { "Polish names differing only in case", { { "Ż.gif", "a" }, { "ż.gif", "b" } }, {}, true, "", 1,
            { "letter case" } },
        { "a missing folder", {}, {}, true, "brak", 1, { "brak", "no such folder" } },
        { "a folder without files", {}, { "pusty/a", "pusty/b" }, true, "pusty", 1, { "pusty", "no files" } },
        { "a file instead of a folder", { { "plik.txt", "x" } }, {}, true, "plik.txt", 1,
            { "plik.txt", "not a folder" } },
    };
    for (const Case& c : cases) {
        fs::remove_all(source());
        fs::create_directories(source());
        for (const auto& [name, bytes] : c.files)
            addFile(name, bytes);
        for (const auto& folder : c.folders)
            fs::create_directories(source(folder));
        fs::remove_all(fs::path(output()).parent_path());
        fs::create_directories(fs::path(output()).parent_path());
        WriteWholeFile(output(), "stary pakiet");

        const ToolRun run = pack(c.fromUtf8, source(c.folder), output());
        EXPECT_EQ(run.exitCode, c.exitCode) << c.what;
        for (const std::string& part : c.messageParts)
            EXPECT_NE(run.standardError.find(part), std::string::npos) << c.what << ": " << run.standardError;
        EXPECT_EQ(ReadWholeFile(output()), std::optional<std::string>("stary pakiet"))
            << c.what << ": the older archive stays";
        EXPECT_EQ(outputFolder(), std::vector<std::string> { "PAKIET.obt" })
            << c.what << ": nothing else is written";
    }
}

TEST_F(ArchivePackTest, WrongArgumentsShowTheUsage)
{
    for (const QStringList& arguments : { QStringList { QStringLiteral("archive"), QStringLiteral("pack") },
             QStringList { QStringLiteral("archive"), QStringLiteral("pack"), QStringLiteral("--from-utf8"),
                 QStringLiteral("a") },
             QStringList { QStringLiteral("archive"), QStringLiteral("pack"), QStringLiteral("a"),
                 QStringLiteral("b"), QStringLiteral("c") } }) {
        const ToolRun run = RunTool(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_NE(run.standardError.find("usage: orbita-tool archive pack"), std::string::npos);
    }
}

} // namespace
} // namespace orbita::test
