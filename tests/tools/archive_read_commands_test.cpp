// The reading commands of orbita-tool, run as the built program.

#include "tests/data/sha256.h"
#include "tests/data/test_zip_writer.h"
#include "tests/support/shared_fixtures.h"

#include <QProcess>
#include <QTemporaryDir>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace orbita {
namespace {

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

ToolRun RunProgram(const char* program, const std::vector<std::string>& args)
{
    QProcess process;
    QStringList arguments;
    for (const std::string& arg : args)
        arguments << QString::fromStdString(arg);
    process.start(QString::fromUtf8(program), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    ToolRun run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

ToolRun RunTool(const std::vector<std::string>& args)
{
    return RunProgram(ORBITA_TOOL, args);
}

class ArchiveCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        test::TestZipWriter zip;
        test::TestMember broken = test::Stored("ZEPSUTY.TXT", "abc");
        broken.crc ^= 1;
        test::TestMember unsupported = test::Stored("BZIP2.BIN", "xyz");
        unsupported.method = 12;
        zip.members = {
            test::Deflated("UKLAD\\\xAF"
                           "ELAZO.HTM",
                "<p>\xAF"
                "elazo</p>"), // "ŻELAZO" in Windows-1250
            test::Stored("A\x1B[31mB.TXT", "escape"),
            broken,
            unsupported,
        };
        m_archive = m_dir.filePath(QStringLiteral("TEST.DAT")).toStdString();
        test::WriteBytes(m_archive, zip.Build());
    }

    QTemporaryDir m_dir;
    std::string m_archive;
};

TEST_F(ArchiveCommands, ListPrintsEveryEntryInDirectoryOrder)
{
    ORBITA_NEEDS_SHARED_FIXTURES("zip");
    const ToolRun fixture = RunTool({ "archive", "list", test::SharedFixtures("zip") + "cc-mixed.zip" });
    EXPECT_EQ(fixture.exitCode, 0);
    EXPECT_EQ(fixture.out,
        "8 22604 48891 406039a3 inflated.txt\n"
        "0 48891 48891 406039a3 stored.txt\n");

    const ToolRun own = RunTool({ "archive", "list", m_archive });
    EXPECT_EQ(own.exitCode, 0);
    const std::string crcBroken = [] {
        char text[9];
        std::snprintf(text, sizeof text, "%08x", test::Crc32Of("abc") ^ 1u);
        return std::string(text);
    }();
    // Windows-1250 names reach the terminal as UTF-8, control bytes escaped.
    EXPECT_NE(own.out.find(" UKLAD\\\xC5\xBB"
                           "ELAZO.HTM\n"),
        std::string::npos)
        << own.out;
    EXPECT_NE(own.out.find("0 6 6 "), std::string::npos);
    EXPECT_NE(own.out.find(" A\\x1B[31mB.TXT\n"), std::string::npos) << own.out;
    EXPECT_EQ(own.out.find('\x1B'), std::string::npos);
    EXPECT_NE(own.out.find("0 3 3 " + crcBroken + " ZEPSUTY.TXT\n"), std::string::npos) << own.out;
    EXPECT_NE(own.out.find("12 3 3 "), std::string::npos);
}

TEST_F(ArchiveCommands, ListFailsWithTheListingStatusAndItsMeaning)
{
    ORBITA_NEEDS_SHARED_FIXTURES("zip");
    struct Case {
        std::string file;
        std::string err;
    };
    const std::vector<Case> cases = {
        { test::SharedFixtures("zip") + "libzip-testfile-truncated.zip",
            "to nie jest archiwum albo jest ono ucięte (nie można odczytać spisu zawartości) (status -1)" },
        { test::SharedFixtures("zip") + "yauzl-empty.zip", "archiwum jest puste albo uszkodzone" },
        { test::SharedFixtures("zip") + "libzip-junk-at-start.zip", "(status 1)" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const ToolRun run = RunTool({ "archive", "list", c.file });
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.out.empty());
        EXPECT_NE(run.err.find("nie można odczytać archiwum " + c.file + ": "), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    }
}

// Every reading command says what is wrong with a file that is no archive,
// and none of them waits on a FIFO that nobody writes to (the ctest timeout
// would stop a hang).
TEST_F(ArchiveCommands, EveryCommandSaysWhatIsWrongWithTheFile)
{
    const std::string folder = m_dir.filePath(QStringLiteral("folder")).toStdString();
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    const std::string empty = m_dir.filePath(QStringLiteral("empty.dat")).toStdString();
    test::WriteBytes(empty, "");
    const std::string text = m_dir.filePath(QStringLiteral("text.dat")).toStdString();
    test::WriteBytes(text, std::string(5000, 'x'));
    const std::string fifo = m_dir.filePath(QStringLiteral("fifo.dat")).toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        std::string file;
        std::string err;
    };
    const std::vector<Case> cases = {
        { m_dir.filePath(QStringLiteral("missing.dat")).toStdString(), ": plik nie istnieje (status -1)" },
        { m_dir.filePath(QStringLiteral("missing/ORBITA.DAT")).toStdString(), ": plik nie istnieje" },
        { folder, ": to jest folder, nie plik (status -1)" },
        { empty, ": plik jest pusty (status -1)" },
        { text, ": to nie jest archiwum albo jest ono ucięte" },
        { fifo, ": to nie jest zwykły plik (status -1)" },
        { "/dev/zero", ": to nie jest zwykły plik (status -1)" },
    };
    for (const Case& c : cases) {
        for (const std::vector<std::string>& args :
            std::vector<std::vector<std::string>> { { "archive", "list", c.file },
                { "archive", "test", c.file }, { "archive", "cat", c.file, "UKLAD\\DANE.TXT" } }) {
            SCOPED_TRACE(args[1] + " " + c.file);
            const ToolRun run = RunTool(args);
            EXPECT_EQ(run.exitCode, 1);
            EXPECT_TRUE(run.out.empty());
            EXPECT_NE(run.err.find("nie można odczytać archiwum " + c.file + c.err), std::string::npos)
                << run.err;
        }
    }
}

TEST_F(ArchiveCommands, AnArchiveTheUserMayNotReadIsSaidSo)
{
    const std::string locked = m_dir.filePath(QStringLiteral("locked.dat")).toStdString();
    std::filesystem::copy_file(m_archive, locked);
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    // root reads every file: the tool then runs as nobody, to whom the
    // private temporary folder is closed as well.
    std::vector<std::string> args = { "archive", "list", locked };
    if (::geteuid() == 0)
        args.insert(args.begin(), { "--reuid=65534", "--regid=65534", "--clear-groups", ORBITA_TOOL });
    const ToolRun run = ::geteuid() == 0 ? RunProgram("setpriv", args) : RunTool(args);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(locked + ": brak dostępu do pliku (status -1)"), std::string::npos) << run.err;
}

TEST_F(ArchiveCommands, CatWritesTheMemberOrItsStatus)
{
    ORBITA_NEEDS_SHARED_FIXTURES("zip");
    const ToolRun image = RunTool(
        { "archive", "cat", test::SharedFixtures("zip") + "sc-Zip.deflate.dd.zip", "JPG\\TEST.JPG" });
    EXPECT_EQ(image.exitCode, 0);
    EXPECT_EQ(test::Sha256Hex(image.out), "b251c7501fb0f55dd4a92feabe0a6f5733bc40a02679498155fae9b30138fc53");

    const ToolRun polish = RunTool({ "archive", "cat", m_archive,
        "uklad\\\xC5\xBC"
        "elazo.htm" }); // "żelazo" in UTF-8
    EXPECT_EQ(polish.exitCode, 0);
    EXPECT_EQ(polish.out,
        "<p>\xAF"
        "elazo</p>");

    struct Case {
        std::string file;
        std::string member;
        std::string err;
    };
    const std::vector<Case> failures = {
        { m_archive, "ZEPSUTY.TXT",
            "orbita-tool: ZEPSUTY.TXT: dane są uszkodzone (suma kontrolna CRC-32 się nie zgadza) (status "
            "1)\n" },
        { m_archive, "BZIP2.BIN", "orbita-tool: BZIP2.BIN: nieobsługiwana metoda kompresji (status 6)\n" },
        { test::SharedFixtures("zip") + "sc-zipcrypto.zip", "BROWN.TXT",
            "orbita-tool: BROWN.TXT: plik jest zaszyfrowany (status 7)\n" },
        { test::SharedFixtures("zip") + "yauzl-too-many-bytes.zip", "zeros.bin",
            "orbita-tool: zeros.bin: dane są uszkodzone (błędny nagłówek, strumień albo rozmiary) (status "
            "4)\n" },
        { m_archive, "BRAK.TXT", "orbita-tool: archiwum " + m_archive + " nie zawiera pliku BRAK.TXT\n" },
    };
    for (const Case& c : failures) {
        SCOPED_TRACE(c.member);
        const ToolRun run = RunTool({ "archive", "cat", c.file, c.member });
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.out.empty());
        EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    }
}

TEST_F(ArchiveCommands, TestDecodesEveryMember)
{
    ORBITA_NEEDS_SHARED_FIXTURES("zip");
    const ToolRun good = RunTool({ "archive", "test", test::SharedFixtures("zip") + "d2a-HWREDUCE.ZIP" });
    EXPECT_EQ(good.exitCode, 0);
    EXPECT_EQ(good.out, "status 0 TESTDAT1.TXT\nstatus 0 TESTDAT2.TXT\nstatus 0 TESTDAT3.TXT\n");

    const ToolRun mixed
        = RunTool({ "archive", "test", test::SharedFixtures("zip") + "libzip-encrypt-pkware-noentropy.zip" });
    EXPECT_EQ(mixed.exitCode, 1);
    EXPECT_EQ(mixed.out, "status 0 plain\nstatus 7 encrypted\n");
    EXPECT_EQ(mixed.err, "orbita-tool: encrypted: plik jest zaszyfrowany (status 7)\n");

    const ToolRun own = RunTool({ "archive", "test", m_archive });
    EXPECT_EQ(own.exitCode, 1);
    EXPECT_EQ(own.out,
        "status 0 UKLAD\\\xC5\xBB"
        "ELAZO.HTM\nstatus 0 A\\x1B[31mB.TXT\nstatus 1 ZEPSUTY.TXT\nstatus 6 BZIP2.BIN\n");
    // Each failed member is named with what its status means.
    EXPECT_EQ(own.err,
        "orbita-tool: ZEPSUTY.TXT: dane są uszkodzone (suma kontrolna CRC-32 się nie zgadza) (status 1)\n"
        "orbita-tool: BZIP2.BIN: nieobsługiwana metoda kompresji (status 6)\n");

    const ToolRun unlisted
        = RunTool({ "archive", "test", test::SharedFixtures("zip") + "libzip-testfile-truncated.zip" });
    EXPECT_EQ(unlisted.exitCode, 1);
    EXPECT_NE(unlisted.err.find("nie można odczytać spisu zawartości) (status -1)"), std::string::npos);
}

TEST_F(ArchiveCommands, WrongArgumentsPrintTheUsage)
{
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>> { { "archive", "list" },
             { "archive", "cat", m_archive }, { "archive", "test", m_archive, "extra" } }) {
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.err.find("usage: orbita-tool archive"), std::string::npos);
    }
}

} // namespace
} // namespace orbita
