#include "core/registry.h"

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <iterator>

namespace orbita {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

constexpr const char* kProfile = "Software\\Orbita\\Administrator";

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs orbita-tool settings ... against this test's store, as a separate
// process; the test reads and writes the same store in-process.
class SettingsCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_config = m_dir.filePath(QStringLiteral("config")).toStdString();
        ::setenv("ORBITA_CONFIG_DIR", m_config.c_str(), 1);
    }
    void TearDown() override
    {
        ReleaseRegistryConnection();
        ::unsetenv("ORBITA_CONFIG_DIR");
    }

    std::string path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)).toStdString(); }

    ToolRun run(const QStringList& args, const QByteArray& input = {}) const
    {
        QProcess process;
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ORBITA_CONFIG_DIR"), QString::fromStdString(m_config));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(ORBITA_TOOL), QStringList { QStringLiteral("settings") } + args);
        ToolRun result;
        if (!process.waitForStarted(60000))
            return result;
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(30000))
            return result;
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = process.readAllStandardOutput().toStdString();
        result.err = process.readAllStandardError().toStdString();
        return result;
    }

    void fillProfile()
    {
        WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", "Administrator");
        WriteRegInteger(Hive::CurrentUser, kProfile, "StartupMode", 1);
        WriteRegString(Hive::CurrentUser, kProfile, "SkinFile", "\xAF\xF3\xB3ta.obs"); // Żółta.obs
        WriteRegInteger(Hive::CurrentUser, kProfile + std::string("\\Placement"), "ElementFormLeft", -20);
    }

private:
    QTemporaryDir m_dir;
    std::string m_config;
};

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(SettingsCommands, ExportAndImportCarryTheSettings)
{
    fillProfile();
    const auto whole = path("whole.reg");
    const auto profile = path("profile.reg");
    const auto all = run({ QStringLiteral("export"), QString::fromStdString(whole) });
    ASSERT_EQ(all.exitCode, 0) << all.err;
    EXPECT_THAT(readFile(whole),
        StartsWith("Windows Registry Editor Version 5.00\r\n\r\n"
                   "[HKEY_CURRENT_USER\\Software\\Orbita]\r\n"
                   "\"User\"=\"Administrator\"\r\n"));
    const auto one = run({ QStringLiteral("export"), QString::fromStdString(profile),
        QStringLiteral("HKEY_CURRENT_USER\\Software\\Orbita\\Administrator") });
    ASSERT_EQ(one.exitCode, 0) << one.err;
    const auto text = readFile(profile);
    EXPECT_THAT(text,
        StartsWith("Windows Registry Editor Version 5.00\r\n\r\n"
                   "[HKEY_CURRENT_USER\\Software\\Orbita\\Administrator]\r\n"));
    EXPECT_THAT(text, HasSubstr("\"SkinFile\"=\"Żółta.obs\"\r\n"));
    EXPECT_THAT(text, HasSubstr("\"ElementFormLeft\"=dword:ffffffec\r\n"));
    EXPECT_THAT(text, ::testing::Not(HasSubstr("\"User\"")));

    DeleteRegKey(Hive::CurrentUser, kProfile);
    const auto restored
        = run({ QStringLiteral("import"), QString::fromStdString(profile), QStringLiteral("--yes") });
    ASSERT_EQ(restored.exitCode, 0) << restored.err;
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kProfile, "StartupMode"), 1);
    EXPECT_EQ(ReadRegString(Hive::CurrentUser, kProfile, "SkinFile"), "\xAF\xF3\xB3ta.obs");
    EXPECT_EQ(
        ReadRegInteger(Hive::CurrentUser, kProfile + std::string("\\Placement"), "ElementFormLeft"), -20);
}

TEST_F(SettingsCommands, ImportAsksFirst)
{
    const auto file = path("Administrator.reg");
    std::ofstream(file, std::ios::binary) << "Windows Registry Editor Version 5.00\r\n\r\n"
                                             "[HKEY_CURRENT_USER\\Software\\Orbita\\Administrator]\r\n"
                                             "\"StartupMode\"=dword:00000001\r\n";
    struct Case {
        const char* answer;
        bool yes;
    } const cases[] = {
        { "t\n", true },
        { "T\n", true },
        { "y\n", true },
        { "Y\n", true },
        { "tak\n", true },
        { "n\n", false },
        { "N\n", false },
        { "\n", false },
        { "", false },
        { "x\n", false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        WriteRegInteger(Hive::CurrentUser, kProfile, "StartupMode", 0);
        const auto result
            = run({ QStringLiteral("import"), QString::fromStdString(file) }, QByteArray(c.answer));
        EXPECT_THAT(result.out, HasSubstr("Czy na pewno chcesz przywrócić ustawienia z pliku " + file + "?"));
        EXPECT_EQ(result.exitCode, c.yes ? 0 : 1) << result.err;
        EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kProfile, "StartupMode"), c.yes ? 1 : 0);
    }
}

TEST_F(SettingsCommands, FailuresExitWithOneAndAPolishMessage)
{
    fillProfile();
    const auto bad = path("bad.reg");
    std::ofstream(bad, std::ios::binary) << "Windows Registry Editor Version 5.00\n\n"
                                            "[HKEY_CURRENT_USER\\Software\\Orbita\\Administrator]\n"
                                            "\"StartupMode\"=dword:00000000\n"
                                            "\"SkinFile\"=\"C:\\Skins\"\n";
    struct Case {
        const char* what;
        QStringList args;
        int exitCode;
        std::string message;
    } const cases[] = {
        { "malformed file",
            { QStringLiteral("import"), QString::fromStdString(bad), QStringLiteral("--yes") }, 1,
            "Błąd w wierszu 5 pliku kopii ustawień " + bad },
        { "missing file",
            { QStringLiteral("import"), QString::fromStdString(path("none.reg")), QStringLiteral("--yes") },
            1, "Nie można odczytać pliku kopii ustawień" },
        { "missing key",
            { QStringLiteral("export"), QString::fromStdString(path("x.reg")),
                QStringLiteral("HKEY_CURRENT_USER\\Software\\Orbita\\Nobody") },
            1, "HKEY_CURRENT_USER\\Software\\Orbita\\Nobody" },
        { "unknown hive",
            { QStringLiteral("export"), QString::fromStdString(path("x.reg")), QStringLiteral("HKEY_USERS") },
            1, "Nieprawidłowa nazwa klucza" },
        { "no file named", { QStringLiteral("import") }, 2, "Użycie" },
        { "too many arguments",
            { QStringLiteral("export"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c") }, 2,
            "Użycie" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto result = run(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_THAT(result.err, HasSubstr(c.message));
    }
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kProfile, "StartupMode"), 1);
    EXPECT_FALSE(std::ifstream(path("x.reg")).good());
}

} // namespace
} // namespace orbita
