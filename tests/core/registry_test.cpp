#include "core/registry.h"
#include "core/settings.h"
#include "tests/core/registry_test_support.h"

#include <climits>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <iterator>
#include <ostream>
#include <sstream>
#include <sys/stat.h>
#include <thread>

namespace orbita {
namespace {

using test::SpawnChild;
using test::WaitChild;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kRoot = "Software\\Orbita";
constexpr const char* kProfile = "Software\\Orbita\\Administrator";

int envNumber(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::atoi(value) : 0;
}

std::string streamText(int i)
{
    return "value " + std::to_string(i) + " \xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF";
}

// Roles of a child process (SpawnChild). Run from a static initializer, so a
// child does its work and exits before the test runner starts.
int runChildRole(std::string_view role)
{
    if (role == "next-round") {
        // Reads what the parent wrote last and writes the next round.
        const int round = envNumber("ORBITA_TEST_ROUND");
        if (ReadRegInteger(Hive::CurrentUser, kRoot, "RunCount") != round - 1)
            return 3;
        WriteRegInteger(Hive::CurrentUser, kRoot, "RunCount", round);
        WriteRegString(Hive::CurrentUser, kRoot, "User", "Ewa" + std::to_string(round));
        CreateRegKey(Hive::CurrentUser, "Software\\Orbita\\Ewa" + std::to_string(round));
        return 0;
    }
    if (role == "writer") {
        const int w = envNumber("ORBITA_TEST_WRITER");
        const int count = envNumber("ORBITA_TEST_COUNT");
        for (int i = 0; i < count; ++i) {
            const std::string name = "W" + std::to_string(w) + "_" + std::to_string(i);
            WriteRegInteger(Hive::CurrentUser, "Software\\Orbita\\Shared", name, w * 1000 + i);
            WriteRegString(Hive::CurrentUser, "Software\\Orbita\\Writer" + std::to_string(w), name, name);
        }
        return 0;
    }
    if (role == "batch") {
        // Opens a batch of writes, says so on standard output half-way
        // through, and waits there to be killed.
        RunRegBatch([] {
            for (int i = 0; i < 100; ++i) {
                WriteRegInteger(
                    Hive::CurrentUser, "Software\\Orbita\\Batch", "N" + std::to_string(i), i + 1000);
                if (i == 50) {
                    const char mark = '!';
                    if (::write(STDOUT_FILENO, &mark, 1) != 1)
                        ::_exit(1);
                    ::pause();
                }
            }
        });
        return 0;
    }
    if (role == "stream") {
        // Writes pairs of values without end and reports on standard output
        // the number of each pair whose two writes have returned.
        for (int i = 0;; ++i) {
            const std::string name = "N" + std::to_string(i);
            WriteRegString(Hive::CurrentUser, "Software\\Orbita\\Stream", name, streamText(i));
            WriteRegInteger(Hive::CurrentUser, "Software\\Orbita\\Stream", name + "i", i);
            if (::write(STDOUT_FILENO, &i, sizeof i) != sizeof i)
                return 1;
        }
    }
    return 2;
}

[[maybe_unused]] const int kChildRole = [] {
    const char* role = std::getenv("ORBITA_TEST_CHILD");
    if (role)
        ::_exit(runChildRole(role));
    return 0;
}();

class Registry : public test::TempRegistry {
protected:
    std::vector<std::string> corruptCopies() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder())) {
            const auto name = entry.path().filename().string();
            if (name.rfind("registry.db.corrupt-", 0) == 0 && name.find("-wal") == std::string::npos)
                names.push_back(entry.path().string());
        }
        return names;
    }
};

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(Registry, MissingAndMistypedValuesReadAsMinusOneAndEmpty)
{
    WriteRegInteger(Hive::CurrentUser, kProfile, "StartupMode", 1);
    WriteRegString(Hive::CurrentUser, kProfile, "SkinFile", "Zielona.obs");
    WriteRegString(Hive::CurrentUser, kProfile, "Empty", "");

    struct Case {
        const char* key;
        const char* name;
        std::int32_t integer;
        std::string text;
    } const cases[] = {
        { kProfile, "StartupMode", 1, "" }, // a string read of an integer gives ""
        { kProfile, "SkinFile", -1, "Zielona.obs" }, // an integer read of a string gives -1
        { kProfile, "Empty", -1, "" },
        { kProfile, "Missing", -1, "" },
        { "Software\\Orbita\\Nobody", "StartupMode", -1, "" },
        { "Software\\Nothing\\At\\All", "X", -1, "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " / " + c.name);
        EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, c.key, c.name), c.integer);
        EXPECT_EQ(ReadRegString(Hive::CurrentUser, c.key, c.name), c.text);
    }
    // An empty string is a value, not a deletion.
    const auto empty = ReadRegValue(Hive::CurrentUser, kProfile, "Empty");
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(empty->type, RegValue::Type::String);
    EXPECT_FALSE(ReadRegValue(Hive::CurrentUser, kProfile, "Missing").has_value());
}

TEST_F(Registry, IntegersKeepEveryThirtyTwoBitValue)
{
    for (const std::int32_t value : { 0, 1, -1, 426, INT32_MAX, INT32_MIN, -2147483647 }) {
        WriteRegInteger(Hive::CurrentUser, kProfile, "Value", value);
        EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kProfile, "Value"), value);
        const auto typed = ReadRegValue(Hive::CurrentUser, kProfile, "Value");
        ASSERT_TRUE(typed.has_value());
        EXPECT_EQ(typed->type, RegValue::Type::Integer);
        EXPECT_EQ(typed->integer, value);
    }
}

TEST_F(Registry, StringsKeepEveryByte)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    WriteRegString(Hive::CurrentUser, kProfile, "Bytes", all);
    EXPECT_EQ(ReadRegString(Hive::CurrentUser, kProfile, "Bytes"), all);
}

TEST_F(Registry, NamesCompareWithoutCaseByWindows1250RulesAndKeepTheirFirstSpelling)
{
    // "Żółw" written, then addressed as "żÓŁW"; key "Łąka" as "łĄKA".
    const std::string first = "\xAF\xF3\xB3w";
    const std::string other = "\xBF\xD3\xA3W";
    WriteRegString(Hive::CurrentUser, "Software\\\xA3\xB9ka", first, "1");
    WriteRegString(Hive::CurrentUser, "SOFTWARE\\\xB3\xA5KA", other, "2");
    EXPECT_EQ(ReadRegString(Hive::CurrentUser, "software\\\xB3\xB9ka", first), "2");
    EXPECT_THAT(RegValueNames(Hive::CurrentUser, "Software\\\xA3\xB9ka"), ElementsAre(first));
    EXPECT_THAT(RegSubKeyNames(Hive::CurrentUser, "Software"), ElementsAre("\xA3\xB9ka"));
    EXPECT_THAT(RegSubKeyNames(Hive::CurrentUser, ""), ElementsAre("Software"));

    // Letters outside ASCII that differ only by case are the same name; ones
    // that are different letters are not.
    WriteRegInteger(Hive::CurrentUser, kProfile,
        "\x8C"
        "cie\xBF"
        "ka",
        5); // Ścieżka
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kProfile,
                  "\x9C"
                  "CIE\xAF"
                  "KA"),
        5);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kProfile, "Sciezka"), -1);
}

TEST_F(Registry, SubKeysEnumerateAlphabeticallyWithoutRegardToCase)
{
    for (const char* name : { "beta", "Alpha", "gamma", "ALPHA2", "Delta", "alp" })
        CreateRegKey(Hive::CurrentUser, std::string(kRoot) + "\\" + name);
    EXPECT_THAT(RegSubKeyNames(Hive::CurrentUser, kRoot),
        ElementsAre("alp", "Alpha", "ALPHA2", "beta", "Delta", "gamma"));
}

TEST_F(Registry, ValuesEnumerateInFirstWriteOrder)
{
    WriteRegInteger(Hive::CurrentUser, kProfile, "C", 1);
    WriteRegString(Hive::CurrentUser, kProfile, "A", "x");
    WriteRegInteger(Hive::CurrentUser, kProfile, "B", 2);
    EXPECT_THAT(RegValueNames(Hive::CurrentUser, kProfile), ElementsAre("C", "A", "B"));

    // Overwriting, even with the other type and another spelling, keeps the
    // position and the first spelling.
    WriteRegString(Hive::CurrentUser, kProfile, "c", "now a string");
    EXPECT_THAT(RegValueNames(Hive::CurrentUser, kProfile), ElementsAre("C", "A", "B"));
    EXPECT_EQ(ReadRegString(Hive::CurrentUser, kProfile, "C"), "now a string");
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kProfile, "C"), -1);

    // Delete and rewrite goes to the end, also when it was the last one.
    DeleteRegValue(Hive::CurrentUser, kProfile, "a");
    WriteRegString(Hive::CurrentUser, kProfile, "a", "y");
    EXPECT_THAT(RegValueNames(Hive::CurrentUser, kProfile), ElementsAre("C", "B", "a"));
    DeleteRegValue(Hive::CurrentUser, kProfile, "A");
    WriteRegString(Hive::CurrentUser, kProfile, "A", "z");
    WriteRegInteger(Hive::CurrentUser, kProfile, "D", 4);
    EXPECT_THAT(RegValueNames(Hive::CurrentUser, kProfile), ElementsAre("C", "B", "A", "D"));
}

TEST_F(Registry, WritesCreateMissingParentsAndRootValuesAreNotAccounts)
{
    WriteRegString(Hive::CurrentUser, kRoot, "User", "Administrator");
    WriteRegInteger(Hive::CurrentUser, kRoot, "RunCount", 3);
    WriteRegInteger(Hive::CurrentUser, "Software\\Orbita\\Ewa\\Placement", "ElementFormLeft", 10);
    CreateRegKey(Hive::CurrentUser, kProfile);

    EXPECT_THAT(RegSubKeyNames(Hive::CurrentUser, kRoot), ElementsAre("Administrator", "Ewa"));
    EXPECT_THAT(RegSubKeyNames(Hive::CurrentUser, "Software\\Orbita\\Ewa"), ElementsAre("Placement"));
    EXPECT_TRUE(RegKeyExists(Hive::CurrentUser, kProfile));
    EXPECT_THAT(RegValueNames(Hive::CurrentUser, kProfile), IsEmpty());
    EXPECT_THAT(RegSubKeyNames(Hive::CurrentUser, kProfile), IsEmpty());
    EXPECT_EQ(CurrentUserName(), "Administrator");
}

TEST_F(Registry, DeleteKeyRemovesTheWholeSubtreeAndNothingBeside)
{
    for (const char* key : { "Software\\Orbita\\Admin", "Software\\Orbita\\Admin\\Placement",
             "Software\\Orbita\\Admin\\Placement\\Deep", "Software\\Orbita\\Admin2",
             "Software\\Orbita\\Admin_x", "Software\\Orbita\\Admin]", "Software\\Orbita\\Adm",
             "Software\\Orbitb" })
        WriteRegInteger(Hive::CurrentUser, key, "V", 1);

    DeleteRegKey(Hive::CurrentUser, "software\\orbita\\ADMIN");
    EXPECT_FALSE(RegKeyExists(Hive::CurrentUser, "Software\\Orbita\\Admin"));
    EXPECT_FALSE(RegKeyExists(Hive::CurrentUser, "Software\\Orbita\\Admin\\Placement\\Deep"));
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, "Software\\Orbita\\Admin\\Placement", "V"), -1);
    EXPECT_THAT(RegSubKeyNames(Hive::CurrentUser, kRoot), ElementsAre("Adm", "Admin2", "Admin]", "Admin_x"));
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, "Software\\Orbitb", "V"), 1);

    // Writing again after the delete starts an empty key.
    WriteRegInteger(Hive::CurrentUser, "Software\\Orbita\\Admin", "W", 2);
    EXPECT_THAT(RegValueNames(Hive::CurrentUser, "Software\\Orbita\\Admin"), ElementsAre("W"));
    EXPECT_THAT(RegSubKeyNames(Hive::CurrentUser, "Software\\Orbita\\Admin"), IsEmpty());
}

TEST_F(Registry, DeleteValueRemovesOneValue)
{
    WriteRegString(Hive::CurrentUser, "Software\\Orbita\\Administrator\\Notes", "26", "6d6f");
    WriteRegString(Hive::CurrentUser, "Software\\Orbita\\Administrator\\Notes", "8", "6d");
    DeleteRegValue(Hive::CurrentUser, "Software\\Orbita\\Administrator\\Notes", "26");
    DeleteRegValue(Hive::CurrentUser, "Software\\Orbita\\Nobody\\Notes", "26"); // does not create the key
    EXPECT_THAT(RegValueNames(Hive::CurrentUser, "Software\\Orbita\\Administrator\\Notes"), ElementsAre("8"));
    EXPECT_FALSE(RegKeyExists(Hive::CurrentUser, "Software\\Orbita\\Nobody"));
}

TEST_F(Registry, KeyPathsToleratOuterBackslashesAndRefuseEmptyInnerNames)
{
    WriteRegInteger(Hive::CurrentUser, "\\Software\\Orbita\\", "A", 1);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kRoot, "A"), 1);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, "Software\\Orbita\\\\", "A"), 1);

    // The empty key is the hive root.
    WriteRegInteger(Hive::CurrentUser, "", "AtRoot", 7);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, "\\", "AtRoot"), 7);
    EXPECT_TRUE(RegKeyExists(Hive::CurrentUser, ""));

    // "a\\b" has an empty key name inside: nothing is written or read.
    WriteRegInteger(Hive::CurrentUser, "Software\\\\Orbita", "B", 1);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, "Software\\\\Orbita", "B"), -1);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kRoot, "B"), -1);
    EXPECT_THAT(RegSubKeyNames(Hive::CurrentUser, "Software"), ElementsAre("Orbita"));
}

TEST_F(Registry, DeletingAHiveRootIsRefused)
{
    WriteRegInteger(Hive::CurrentUser, kProfile, "StartupMode", 1);
    for (const char* root : { "", "\\", "\\\\" })
        DeleteRegKey(Hive::CurrentUser, root);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kProfile, "StartupMode"), 1);
}

TEST_F(Registry, HivesAreSeparate)
{
    const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\UnInstall\\Orbita";
    WriteRegString(Hive::LocalMachine, key, "DisplayName", "Orbita 3.51");
    WriteRegString(Hive::ClassesRoot, "OBTFile", "", "Test");
    EXPECT_EQ(ReadRegString(Hive::CurrentUser, key, "DisplayName"), "");
    EXPECT_EQ(ReadRegString(Hive::LocalMachine, key, "DisplayName"), "Orbita 3.51");
    EXPECT_EQ(ReadRegString(Hive::ClassesRoot, "OBTFile", ""), "Test");
    EXPECT_THAT(RegSubKeyNames(Hive::CurrentUser, ""), IsEmpty());
    DeleteRegKey(Hive::LocalMachine, key);
    EXPECT_EQ(ReadRegString(Hive::ClassesRoot, "OBTFile", ""), "Test");
}

TEST(RegistryHives, NamesGoBothWays)
{
    for (const Hive hive : { Hive::CurrentUser, Hive::LocalMachine, Hive::ClassesRoot }) {
        Hive parsed = Hive::ClassesRoot;
        ASSERT_TRUE(HiveFromName(HiveName(hive), parsed));
        EXPECT_EQ(parsed, hive);
    }
    Hive parsed = Hive::ClassesRoot;
    EXPECT_TRUE(HiveFromName("hkcu", parsed));
    EXPECT_EQ(parsed, Hive::CurrentUser);
    EXPECT_FALSE(HiveFromName("HKEY_USERS", parsed));
    EXPECT_FALSE(HiveFromName("", parsed));
}

TEST_F(Registry, FolderComesFromTheEnvironmentAndIsPrivate)
{
    // $ORBITA_CONFIG_DIR, several levels that do not exist yet.
    const std::string nested = root() + "/a/b/orbita";
    ::setenv("ORBITA_CONFIG_DIR", nested.c_str(), 1);
    WriteRegInteger(Hive::CurrentUser, kRoot, "RunCount", 1);
    struct stat st { };
    ASSERT_EQ(::stat((nested + "/registry.db").c_str(), &st), 0);
    ASSERT_EQ(::stat(nested.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(RegistryFolder(), nested);

    // Without it: $XDG_CONFIG_HOME/orbita, else $HOME/.config/orbita.
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const char* oldHome = std::getenv("HOME");
    const std::string savedXdg = oldXdg ? oldXdg : "";
    const std::string savedHome = oldHome ? oldHome : "";
    ::unsetenv("ORBITA_CONFIG_DIR");
    ::setenv("XDG_CONFIG_HOME", (root() + "/xdg").c_str(), 1);
    EXPECT_EQ(RegistryFolder(), root() + "/xdg/orbita");
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kRoot, "RunCount"), -1);
    WriteRegInteger(Hive::CurrentUser, kRoot, "RunCount", 2);
    EXPECT_EQ(::stat((root() + "/xdg/orbita/registry.db").c_str(), &st), 0);
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", (root() + "/home").c_str(), 1);
    EXPECT_EQ(RegistryFolder(), root() + "/home/.config/orbita");
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kRoot, "RunCount"), -1);
    ReleaseRegistryConnection();

    if (oldXdg)
        ::setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
    ::setenv("HOME", savedHome.c_str(), 1);
    ::setenv("ORBITA_CONFIG_DIR", nested.c_str(), 1);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kRoot, "RunCount"), 1);
}

TEST_F(Registry, SwitchingTheFolderSwitchesTheStore)
{
    const std::string first = folder();
    const std::string second = root() + "/second";
    WriteRegInteger(Hive::CurrentUser, kRoot, "RunCount", 1);
    ::setenv("ORBITA_CONFIG_DIR", second.c_str(), 1);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kRoot, "RunCount"), -1);
    WriteRegInteger(Hive::CurrentUser, kRoot, "RunCount", 2);
    ::setenv("ORBITA_CONFIG_DIR", first.c_str(), 1);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kRoot, "RunCount"), 1);

    // A store removed and started again in the same folder is not mistaken
    // for the one that was open.
    std::filesystem::remove_all(first);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kRoot, "RunCount"), -1);
    WriteRegInteger(Hive::CurrentUser, kRoot, "RunCount", 3);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kRoot, "RunCount"), 3);
}

TEST_F(Registry, AWriteByAnotherProcessIsSeenByTheNextRead)
{
    // The parent's connection is open and cached before the child writes.
    WriteRegInteger(Hive::CurrentUser, kRoot, "RunCount", 1);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kRoot, "RunCount"), 1);
    for (int round = 2; round <= 4; ++round) {
        ASSERT_EQ(WaitChild(SpawnChild("next-round", { "ORBITA_TEST_ROUND=" + std::to_string(round) })), 0);
        EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kRoot, "RunCount"), round);
        EXPECT_EQ(CurrentUserName(), "Ewa" + std::to_string(round));
        EXPECT_TRUE(RegKeyExists(Hive::CurrentUser, "Software\\Orbita\\Ewa" + std::to_string(round)));
        WriteRegInteger(Hive::CurrentUser, kRoot, "RunCount", round); // the child reads it next round
    }
}

TEST_F(Registry, TwoProcessesWritingAtOnceLoseNoWrite)
{
    constexpr int kWriters = 3;
    constexpr int kWrites = 150;
    WriteRegInteger(Hive::CurrentUser, kRoot, "Start", 1);
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        children.push_back(SpawnChild("writer",
            { "ORBITA_TEST_WRITER=" + std::to_string(w), "ORBITA_TEST_COUNT=" + std::to_string(kWrites) }));
        ASSERT_GT(children.back(), 0);
    }
    for (const pid_t pid : children)
        EXPECT_EQ(WaitChild(pid), 0);
    EXPECT_EQ(RegValueNames(Hive::CurrentUser, "Software\\Orbita\\Shared").size(),
        static_cast<std::size_t>(kWriters * kWrites));
    int missing = 0;
    for (int w = 0; w < kWriters; ++w) {
        for (int i = 0; i < kWrites; ++i) {
            const std::string name = "W" + std::to_string(w) + "_" + std::to_string(i);
            missing += ReadRegInteger(Hive::CurrentUser, "Software\\Orbita\\Shared", name) != w * 1000 + i;
            missing += ReadRegString(Hive::CurrentUser, "Software\\Orbita\\Writer" + std::to_string(w), name)
                != name;
        }
    }
    EXPECT_EQ(missing, 0);
}

TEST_F(Registry, ThreadsWritingAtOnceLoseNoWrite)
{
    constexpr int kThreads = 4;
    constexpr int kWrites = 100;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < kWrites; ++i)
                WriteRegInteger(Hive::CurrentUser, "Software\\Orbita\\Threads",
                    "T" + std::to_string(t) + "_" + std::to_string(i), t * 1000 + i);
        });
    }
    for (auto& thread : threads)
        thread.join();
    int wrong = 0;
    for (int t = 0; t < kThreads; ++t)
        for (int i = 0; i < kWrites; ++i)
            wrong += ReadRegInteger(Hive::CurrentUser, "Software\\Orbita\\Threads",
                         "T" + std::to_string(t) + "_" + std::to_string(i))
                != t * 1000 + i;
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(RegValueNames(Hive::CurrentUser, "Software\\Orbita\\Threads").size(),
        static_cast<std::size_t>(kThreads * kWrites));
}

TEST_F(Registry, AProcessKilledMidStreamLosesOnlyTheWriteInFlight)
{
    WriteRegInteger(Hive::CurrentUser, kRoot, "Start", 1);
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t pid = SpawnChild("stream", {}, pipeFds[1]);
    ASSERT_GT(pid, 0);
    ::close(pipeFds[1]);
    int reported = -1;
    int value = 0;
    while (reported < 300 && ::read(pipeFds[0], &value, sizeof value) == sizeof value)
        reported = value;
    ::kill(pid, SIGKILL);
    // Writes the child finished before the kill but had not reported yet
    // still count as reported: they returned.
    while (::read(pipeFds[0], &value, sizeof value) == sizeof value)
        reported = value;
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ::close(pipeFds[0]);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_GE(reported, 300);

    // Release so the check starts from the file as the kill left it.
    ReleaseRegistryConnection();
    const auto names = RegValueNames(Hive::CurrentUser, "Software\\Orbita\\Stream");
    EXPECT_TRUE(corruptCopies().empty());
    for (int i = 0; i <= reported; ++i) {
        const std::string name = "N" + std::to_string(i);
        ASSERT_EQ(ReadRegString(Hive::CurrentUser, "Software\\Orbita\\Stream", name), streamText(i)) << name;
        ASSERT_EQ(ReadRegInteger(Hive::CurrentUser, "Software\\Orbita\\Stream", name + "i"), i) << name;
    }
    // At most the one pair in flight beyond the reported ones, and it is
    // whole where it is there.
    ASSERT_GE(names.size(), static_cast<std::size_t>(2 * (reported + 1)));
    ASSERT_LE(names.size(), static_cast<std::size_t>(2 * (reported + 2)));
    for (std::size_t n = 2 * static_cast<std::size_t>(reported + 1); n < names.size(); ++n) {
        const int next = reported + 1;
        if (names[n] == "N" + std::to_string(next))
            EXPECT_EQ(
                ReadRegString(Hive::CurrentUser, "Software\\Orbita\\Stream", names[n]), streamText(next));
        else
            EXPECT_EQ(names[n], "N" + std::to_string(next) + "i");
    }
    // And it goes on working.
    WriteRegInteger(Hive::CurrentUser, kRoot, "After", 1);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kRoot, "After"), 1);
}

enum class Damage { Garbage, Text, Truncated, ForeignDatabase, HeaderOnly };

struct DamageCase {
    const char* name;
    Damage damage;
};

void PrintTo(const DamageCase& c, std::ostream* out)
{
    *out << c.name;
}

class DamagedStore : public Registry, public ::testing::WithParamInterface<DamageCase> { };

void damage(const std::string& path, Damage how)
{
    switch (how) {
    case Damage::Garbage: {
        std::string bytes;
        for (int i = 0; i < 5000; ++i)
            bytes.push_back(static_cast<char>((i * 7919 + 13) & 0xFF));
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        break;
    }
    case Damage::Text:
        std::ofstream(path, std::ios::binary | std::ios::trunc) << "[Orbita]\nRunCount=5\n";
        break;
    case Damage::Truncated:
        std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);
        break;
    case Damage::HeaderOnly:
        std::filesystem::resize_file(path, 100);
        break;
    case Damage::ForeignDatabase: {
        // A sound database whose application id (header offset 68) names
        // some other program.
        std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
        file.seekp(68);
        file.write("ABCD", 4);
        break;
    }
    }
}

TEST_P(DamagedStore, ReadsAsEmptyIsKeptAsideAndAFreshStoreStarts)
{
    // Enough data for a file of many pages.
    for (int i = 0; i < 300; ++i)
        WriteRegString(Hive::CurrentUser, "Software\\Orbita\\Administrator\\Notes", std::to_string(i),
            std::string(200, static_cast<char>('a' + i % 26)));
    WriteRegInteger(Hive::CurrentUser, kRoot, "RunCount", 5);
    ReleaseRegistryConnection();
    ASSERT_FALSE(std::filesystem::exists(dbPath() + "-wal"));
    damage(dbPath(), GetParam().damage);
    const std::string damaged = fileBytes(dbPath());

    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kRoot, "RunCount"), -1);
    EXPECT_EQ(ReadRegString(Hive::CurrentUser, "Software\\Orbita\\Administrator\\Notes", "7"), "");
    EXPECT_THAT(RegSubKeyNames(Hive::CurrentUser, kRoot), IsEmpty());

    const auto copies = corruptCopies();
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(fileBytes(copies[0]), damaged);
    const auto stamp = std::filesystem::path(copies[0]).filename().string().substr(20);
    EXPECT_THAT(stamp, ::testing::MatchesRegex("[0-9]{8}-[0-9]{6}"));

    WriteRegInteger(Hive::CurrentUser, kRoot, "RunCount", 1);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kRoot, "RunCount"), 1);
    ReleaseRegistryConnection();
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kRoot, "RunCount"), 1);
    EXPECT_EQ(corruptCopies().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Registry, DamagedStore,
    ::testing::Values(DamageCase { "Garbage", Damage::Garbage }, DamageCase { "Text", Damage::Text },
        DamageCase { "Truncated", Damage::Truncated }, DamageCase { "HeaderOnly", Damage::HeaderOnly },
        DamageCase { "ForeignDatabase", Damage::ForeignDatabase }),
    [](const auto& param) { return std::string(param.param.name); });

// Runs `checks` in a child process as an ordinary user (the superuser is not
// bound by file permissions: the child then takes the "nobody" account and the
// test folder is handed to it). `checks` gives 0 when everything held, or the
// number of the first check that failed.
void runAsOrdinaryUser(const std::string& root, const std::function<int()>& checks)
{
    EXPECT_EXIT(
        {
            if (::geteuid() == 0) {
                for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
                    static_cast<void>(::lchown(entry.path().c_str(), 65534, 65534));
                static_cast<void>(::chown(root.c_str(), 65534, 65534));
                if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                    ::_exit(100);
            }
            ::_exit(checks());
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(Registry, AStoreTheUserCannotWriteIsOpenedReadOnlyAndSaysSoOnce)
{
    WriteRegInteger(Hive::CurrentUser, kRoot, "RunCount", 5);
    ReleaseRegistryConnection();
    runAsOrdinaryUser(root(), [this] {
        std::vector<std::string> told;
        SetRegistryProblemHandler([&told](const std::string& message) { told.push_back(message); });
        if (::chmod(dbPath().c_str(), 0444) != 0)
            return 1;
        if (ReadRegInteger(Hive::CurrentUser, kRoot, "RunCount") != 5)
            return 2;
        if (CheckRegistry().state != RegistryState::ReadOnly || CheckRegistry().reason.empty())
            return 3;
        WriteRegInteger(Hive::CurrentUser, kRoot, "RunCount", 6);
        WriteRegString(Hive::CurrentUser, kRoot, "User", "Ewa");
        if (told.size() != 1 || told[0].find("tylko do odczytu") == std::string::npos)
            return 4;
        if (ReadRegInteger(Hive::CurrentUser, kRoot, "RunCount") != 5 || !corruptCopies().empty())
            return 5;
        if (RunRegBatch([] { WriteRegInteger(Hive::CurrentUser, kRoot, "RunCount", 7); }))
            return 6;
        // Once the user may write again, writes work again.
        if (::chmod(dbPath().c_str(), 0644) != 0)
            return 7;
        WriteRegInteger(Hive::CurrentUser, kRoot, "RunCount", 8);
        ReleaseRegistryConnection();
        return ReadRegInteger(Hive::CurrentUser, kRoot, "RunCount") == 8 ? 0 : 8;
    });
}

TEST_F(Registry, AStoreThatCannotBeOpenedIsKeptAndReported)
{
    WriteRegInteger(Hive::CurrentUser, kRoot, "RunCount", 5);
    ReleaseRegistryConnection(); // the last connection removes the log files
    runAsOrdinaryUser(root(), [this] {
        // Neither readable nor writable: nothing is read, nothing set aside.
        if (::chmod(dbPath().c_str(), 0) != 0)
            return 1;
        if (ReadRegInteger(Hive::CurrentUser, kRoot, "RunCount") != -1)
            return 2;
        const auto unreadable = CheckRegistry();
        if (unreadable.state != RegistryState::Unavailable
            || unreadable.reason.find(dbPath()) == std::string::npos)
            return 3;
        if (!corruptCopies().empty())
            return 4;
        // A read-only store in a read-only folder without its log files
        // cannot be read either.
        if (::chmod(dbPath().c_str(), 0444) != 0 || ::chmod(folder().c_str(), 0555) != 0)
            return 5;
        ReleaseRegistryConnection();
        const auto status = CheckRegistry();
        const bool ok = status.state != RegistryState::Writable && !status.reason.empty();
        static_cast<void>(::chmod(folder().c_str(), 0700));
        return ok && corruptCopies().empty() ? 0 : 6;
    });
    // The file is still the store it was.
    ::chmod(dbPath().c_str(), 0600);
    ReleaseRegistryConnection();
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kRoot, "RunCount"), 5);
}

TEST_F(Registry, ABatchIsStoredWholeOrNotAtAll)
{
    WriteRegInteger(Hive::CurrentUser, "Software\\Orbita\\Batch", "N0", 1);
    // A process killed inside a batch leaves every value as it was.
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t pid = SpawnChild("batch", {}, pipeFds[1]);
    ::close(pipeFds[1]);
    char mark = 0;
    ASSERT_EQ(::read(pipeFds[0], &mark, 1), 1);
    ::close(pipeFds[0]);
    ::kill(pid, SIGKILL);
    EXPECT_EQ(WaitChild(pid), -1);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, "Software\\Orbita\\Batch", "N0"), 1);
    EXPECT_THAT(RegValueNames(Hive::CurrentUser, "Software\\Orbita\\Batch"), ElementsAre("N0"));

    // A write the store refuses spoils the batch; reads inside see the
    // batch's own writes.
    int seen = 0;
    EXPECT_FALSE(RunRegBatch([&seen] {
        WriteRegInteger(Hive::CurrentUser, kRoot, "RunCount", 9);
        seen = ReadRegInteger(Hive::CurrentUser, kRoot, "RunCount");
        WriteRegInteger(Hive::CurrentUser, kRoot, std::string("Bad\0Name", 8), 1);
        WriteRegInteger(Hive::CurrentUser, kRoot, "After", 1);
    }));
    EXPECT_EQ(seen, 9);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kRoot, "RunCount"), -1);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kRoot, "After"), -1);
    EXPECT_TRUE(RunRegBatch([] { WriteRegInteger(Hive::CurrentUser, kRoot, "RunCount", 3); }));
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kRoot, "RunCount"), 3);
}

TEST_F(Registry, NamesTheRegistryCannotHoldAreRefused)
{
    std::string deep = "Software";
    for (std::size_t level = 1; level < kMaxRegKeyDepth; ++level)
        deep += "\\k";
    WriteRegInteger(Hive::CurrentUser, deep, "V", 1);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, deep, "V"), 1);
    WriteRegInteger(Hive::CurrentUser, deep + "\\tooDeep", "V", 1);
    EXPECT_FALSE(RegKeyExists(Hive::CurrentUser, deep + "\\tooDeep"));

    const std::string longKey(kMaxRegKeyNameLength + 1, 'k');
    WriteRegInteger(Hive::CurrentUser, "Software\\" + longKey, "V", 1);
    EXPECT_THAT(RegSubKeyNames(Hive::CurrentUser, "Software"), ElementsAre("k"));
    const std::string longName(kMaxRegValueNameLength + 1, 'n');
    for (const std::string& name : { longName, std::string("a\0b", 3), std::string("line\nbreak") })
        WriteRegInteger(Hive::CurrentUser, kRoot, name, 1);
    WriteRegInteger(Hive::CurrentUser, kRoot, std::string(kMaxRegValueNameLength, 'n'), 1);
    EXPECT_EQ(RegValueNames(Hive::CurrentUser, kRoot).size(), 1u);
}

TEST_F(Registry, AStoreDamagedInAnotherProcessesViewIsSetAsideOnce)
{
    WriteRegInteger(Hive::CurrentUser, kRoot, "RunCount", 5);
    ReleaseRegistryConnection();
    damage(dbPath(), Damage::Garbage);
    // Two processes find the damage at about the same time.
    std::vector<pid_t> children;
    for (int c = 0; c < 2; ++c)
        children.push_back(
            SpawnChild("writer", { "ORBITA_TEST_WRITER=" + std::to_string(c), "ORBITA_TEST_COUNT=1" }));
    for (const pid_t pid : children)
        EXPECT_EQ(WaitChild(pid), 0);
    EXPECT_EQ(corruptCopies().size(), 1u);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, "Software\\Orbita\\Shared", "W0_0"), 0);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, "Software\\Orbita\\Shared", "W1_0"), 1000);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kRoot, "RunCount"), -1);
}

} // namespace
} // namespace orbita
