// The reading commands of orbita-tool, run as the built program.

#include "tests/data/sha256.h"
#include "tests/data/test_zip_writer.h"
#include "tests/support/shared_fixtures.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace orbita {
namespace {

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

ToolRun RunTool(const std::vector<std::string>& args)
{
    QProcess process;
    QStringList arguments;
    for (const std::string& arg : args)
        arguments << QString::fromStdString(arg);
    process.start(QStringLiteral(ORBITA_TOOL), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    ToolRun run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
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

TEST_F(ArchiveCommands, ListFailsWithTheListingStatus)
{
    ORBITA_NEEDS_SHARED_FIXTURES("zip");
    struct Case {
        std::string file;
        std::string status;
    };
    const std::vector<Case> cases = {
        { test::SharedFixtures("zip") + "libzip-testfile-truncated.zip", "status -1" },
        { test::SharedFixtures("zip") + "yauzl-empty.zip", "status -2" },
        { test::SharedFixtures("zip") + "libzip-junk-at-start.zip", "status 1" },
        { m_dir.filePath(QStringLiteral("missing.zip")).toStdString(), "status -1" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const ToolRun run = RunTool({ "archive", "list", c.file });
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.out.empty());
        EXPECT_NE(run.err.find(c.status), std::string::npos) << run.err;
    }
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
        { m_archive, "ZEPSUTY.TXT", "status 1\n" },
        { m_archive, "BZIP2.BIN", "status 6\n" },
        { test::SharedFixtures("zip") + "sc-zipcrypto.zip", "BROWN.TXT", "status 7\n" },
        { test::SharedFixtures("zip") + "yauzl-too-many-bytes.zip", "zeros.bin", "status 4\n" },
        { m_archive, "BRAK.TXT", "no member" },
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

    const ToolRun own = RunTool({ "archive", "test", m_archive });
    EXPECT_EQ(own.exitCode, 1);
    EXPECT_EQ(own.out,
        "status 0 UKLAD\\\xC5\xBB"
        "ELAZO.HTM\nstatus 0 A\\x1B[31mB.TXT\nstatus 1 ZEPSUTY.TXT\nstatus 6 BZIP2.BIN\n");

    const ToolRun unlisted
        = RunTool({ "archive", "test", test::SharedFixtures("zip") + "libzip-testfile-truncated.zip" });
    EXPECT_EQ(unlisted.exitCode, 1);
    EXPECT_NE(unlisted.err.find("status -1"), std::string::npos);
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
