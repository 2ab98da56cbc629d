// Unpacking the setup package of a new version: a complete program folder
// comes out with the program executable; a package with one unsafe member
// name, without the program, or with a damaged member is refused.

#include "core/file_io.h"
#include "tests/data/test_zip_writer.h"
#include "windows/update/setup_unpack.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace orbita::update {
namespace {

namespace fs = std::filesystem;

class SetupUnpack : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/setup_unpack_test.XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_root = pattern;
        fs::create_directory(target());
    }
    void TearDown() override { fs::remove_all(m_root); }

    std::string archive(const std::vector<test::TestMember>& members) const
    {
        test::TestZipWriter zip;
        zip.members = members;
        const std::string path = m_root + "/setup.zip";
        test::WriteBytes(path, zip.Build());
        return path;
    }
    std::string target() const { return m_root + "/out"; }
    std::string read(const std::string& relative) const
    {
        const FileRead file = ReadRegularFile(target() + "/" + relative, 1 << 20);
        return file.Ok() ? file.bytes : "<missing>";
    }
    bool empty() const { return fs::is_empty(target()); }

    std::string m_root;
};

TEST_F(SetupUnpack, AProgramFolderComesOutWithTheProgramExecutable)
{
    const std::string path = archive(
        { test::Stored("orbita", "ELF program"), test::Deflated("ORBITA.DAT", std::string(5000, 'x')),
            test::Stored("KARNACJE/", ""), test::Stored("KARNACJE/Zielony.obs", "skin") });
    EXPECT_EQ(UnpackSetupPackage(path, target()), "");
    EXPECT_EQ(read("orbita"), "ELF program");
    EXPECT_EQ(read("ORBITA.DAT"), std::string(5000, 'x'));
    EXPECT_EQ(read("KARNACJE/Zielony.obs"), "skin");
    struct stat program { };
    ASSERT_EQ(::stat((target() + "/orbita").c_str(), &program), 0);
    EXPECT_EQ(program.st_mode & 0777, 0755U);
    struct stat data { };
    ASSERT_EQ(::stat((target() + "/ORBITA.DAT").c_str(), &data), 0);
    EXPECT_EQ(data.st_mode & 0111, 0U);
}

TEST_F(SetupUnpack, OneUnsafeNameRefusesThePackageBeforeAnythingIsWritten)
{
    for (const char* bad :
        { "../evil", "a/../../evil", "/etc/evil", "C:/evil", "a//b", "a/./b", "bad\x01name" }) {
        const std::string path = archive({ test::Stored("orbita", "program"), test::Stored(bad, "evil") });
        const std::string problem = UnpackSetupPackage(path, target());
        EXPECT_NE(problem.find("niedozwoloną nazwę"), std::string::npos) << bad << ": " << problem;
        EXPECT_TRUE(empty()) << bad;
        EXPECT_FALSE(fs::exists(m_root + "/evil")) << bad;
    }
}

TEST_F(SetupUnpack, APackageWithoutTheProgramOrWithADamagedMemberIsRefused)
{
    EXPECT_NE(UnpackSetupPackage(archive({ test::Stored("ORBITA.DAT", "data") }), target()).find("„orbita”"),
        std::string::npos);
    EXPECT_TRUE(empty());

    test::TestMember damaged = test::Stored("ORBITA.DAT", "data");
    damaged.crc ^= 1;
    const std::string problem
        = UnpackSetupPackage(archive({ test::Stored("orbita", "program"), damaged }), target());
    EXPECT_NE(problem.find("„ORBITA.DAT”"), std::string::npos) << problem;
    EXPECT_FALSE(fs::exists(target() + "/ORBITA.DAT"));

    EXPECT_NE(UnpackSetupPackage(m_root + "/missing.zip", target()), "");
    test::WriteBytes(m_root + "/setup.zip", "not an archive");
    EXPECT_NE(UnpackSetupPackage(m_root + "/setup.zip", target()), "");
}

} // namespace
} // namespace orbita::update
