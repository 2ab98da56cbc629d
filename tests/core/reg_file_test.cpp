#include "core/cp1250.h"
#include "core/reg_file.h"
#include "core/scramble.h"
#include "tests/core/registry_test_support.h"

#include <climits>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/stat.h>

namespace orbita {
namespace {

using ::testing::HasSubstr;
using namespace std::string_literals;

constexpr const char* kProfile = "Software\\Orbita\\Administrator";

// Every key, value name, type and value below `key`, in enumeration order.
std::vector<std::string> dumpTree(Hive hive, const std::string& key)
{
    std::vector<std::string> lines;
    std::vector<std::string> pending { key };
    while (!pending.empty()) {
        const std::string current = pending.back();
        pending.pop_back();
        lines.push_back("[" + current + "]");
        for (const auto& name : RegValueNames(hive, current)) {
            const auto value = ReadRegValue(hive, current, name);
            if (!value)
                lines.push_back(name + " missing");
            else if (value->type == RegValue::Type::Integer)
                lines.push_back(name + " = dword " + std::to_string(value->integer));
            else
                lines.push_back(name + " = \"" + value->text + "\"");
        }
        const auto children = RegSubKeyNames(hive, current);
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            pending.push_back(current + "\\" + *it);
    }
    return lines;
}

void writeFile(const std::string& path, std::string_view text)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class RegFile : public test::TempRegistry {
protected:
    std::string backupPath() const { return root() + "/Administrator.reg"; }

    // A profile with everything a backup has to carry.
    void fillProfile()
    {
        const std::string polish = "Za\xBF\xF3\xB3\xE6 g\xEA\x9Cl\xB9 ja\x9F\xF1 \xAF\xD3\xA3\xC6";
        WriteRegString(
            Hive::CurrentUser, kProfile, "Password", ScrambleText(kPasswordScrambleKey, "tajne ha\xB3o"));
        WriteRegInteger(Hive::CurrentUser, kProfile, "StartupMode", 1);
        WriteRegInteger(Hive::CurrentUser, kProfile, "SetupTab", 26);
        WriteRegString(Hive::CurrentUser, kProfile, "SkinFile", polish + ".obs");
        WriteRegString(Hive::CurrentUser, kProfile, "Path \"quoted\" \\ back", "C:\\Orbita\\\"x\"\\");
        WriteRegString(Hive::CurrentUser, kProfile, "Empty", "");
        WriteRegString(Hive::CurrentUser, kProfile, "", "default value");
        WriteRegString(Hive::CurrentUser, kProfile, "Lines", "one\r\ntwo\nthree\0four"s);
        WriteRegInteger(Hive::CurrentUser, kProfile + "\\Placement"s, "ElementFormLeft", -1);
        WriteRegInteger(Hive::CurrentUser, kProfile + "\\Placement"s, "HelpBackgroundColor", INT32_MIN);
        WriteRegInteger(Hive::CurrentUser, kProfile + "\\Placement"s, "ElementFormHeight", INT32_MAX);
        WriteRegString(Hive::CurrentUser, kProfile + "\\Notes"s, "26",
            ScrambleText(kNoteScrambleKey,
                polish
                    + "\xF4"
                      "2"));
        WriteRegString(Hive::CurrentUser, kProfile + "\\Tools"s, "&Notatnik", "notepad.exe");
        WriteRegString(Hive::CurrentUser, kProfile + "\\Tools"s, "&Kalkulator", "calc.exe");
        CreateRegKey(Hive::CurrentUser, kProfile + "\\FindKeywords"s);
        WriteRegString(Hive::CurrentUser, kProfile + "\\Placement\\\xA3\xB9ka"s, polish, polish);
        WriteRegInteger(
            Hive::CurrentUser, "Software\\Orbita\\Ewa", "StartupMode", 0); // not part of the backup
    }
};

TEST_F(RegFile, ExportWritesTheEditorSyntax)
{
    WriteRegString(Hive::CurrentUser, kProfile, "Password", "2a0d");
    WriteRegInteger(Hive::CurrentUser, kProfile, "SetupTab", 26);
    WriteRegInteger(Hive::CurrentUser, kProfile, "Color", -2147483643);
    WriteRegString(Hive::CurrentUser, kProfile, "Path", "C:\\\"Orbita\"");
    WriteRegString(Hive::CurrentUser, kProfile, "",
        "\xA3\xF3"
        "d\xBA");
    WriteRegInteger(Hive::CurrentUser, kProfile + "\\Tools"s, "X", 1);
    WriteRegInteger(Hive::CurrentUser, kProfile + "\\Placement"s, "Y", 2);
    WriteRegInteger(Hive::CurrentUser, kProfile + "\\Placement\\Sub"s, "Z", 3);
    const auto text = ExportRegText(Hive::CurrentUser, kProfile);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text,
        "Windows Registry Editor Version 5.00\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\Software\\Orbita\\Administrator]\r\n"
        "\"Password\"=\"2a0d\"\r\n"
        "\"SetupTab\"=dword:0000001a\r\n"
        "\"Color\"=dword:80000005\r\n"
        "\"Path\"=\"C:\\\\\\\"Orbita\\\"\"\r\n"
        "@=\"Łódş\"\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\Software\\Orbita\\Administrator\\Placement]\r\n"
        "\"Y\"=dword:00000002\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\Software\\Orbita\\Administrator\\Placement\\Sub]\r\n"
        "\"Z\"=dword:00000003\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\Software\\Orbita\\Administrator\\Tools]\r\n"
        "\"X\"=dword:00000001\r\n"
        "\r\n");
    EXPECT_FALSE(ExportRegText(Hive::CurrentUser, "Software\\Orbita\\Nobody").has_value());
}

TEST_F(RegFile, EveryValueComesBackExactly)
{
    fillProfile();
    const auto before = dumpTree(Hive::CurrentUser, kProfile);
    ASSERT_TRUE(ExportRegFile(backupPath(), Hive::CurrentUser, kProfile).ok);

    // The file is UTF-8: the Polish letters appear as such.
    EXPECT_THAT(readFile(backupPath()), HasSubstr("Zażółć gęślą jaźń ŻÓŁĆ.obs"));

    DeleteRegKey(Hive::CurrentUser, kProfile);
    ASSERT_FALSE(RegKeyExists(Hive::CurrentUser, kProfile));
    const auto result = ImportRegFile(backupPath());
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(dumpTree(Hive::CurrentUser, kProfile), before);
    EXPECT_EQ(UnscrambleText(kPasswordScrambleKey, ReadRegString(Hive::CurrentUser, kProfile, "Password")),
        "tajne ha\xB3o");
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, "Software\\Orbita\\Ewa", "StartupMode"), 0);

    // Importing over the existing values changes nothing either.
    ASSERT_TRUE(ImportRegFile(backupPath()).ok);
    EXPECT_EQ(dumpTree(Hive::CurrentUser, kProfile), before);
}

TEST_F(RegFile, ReadsWhatOtherEditorsWrite)
{
    // BOM, LF line ends, blank lines and comments, lower-case hex, @,
    // deletions, a hex(1) string continued over two lines.
    const std::string text = "\xEF\xBB\xBF"
                             "Windows Registry Editor Version 5.00\n"
                             "\n"
                             "; a comment\n"
                             "  [HKEY_CURRENT_USER\\Software\\Orbita\\Administrator]  \n"
                             "\"Sounds\"=DWORD:FFFFFFFE\n"
                             "\"Old\"=-\n"
                             "@=\"domy\xC5\x9Blna\"\n"
                             "\"Multi\"=hex(1):61,00,0d,00,0a,00,\\\n"
                             "  42,01,00,00\n"
                             "\n"
                             "\n"
                             "[-HKEY_CURRENT_USER\\Software\\Orbita\\Administrator\\Tools]\n"
                             "[HKCU\\Software\\Orbita\\Administrator\\Notes]\n"
                             "\"26\"=\"6162\"";
    WriteRegString(Hive::CurrentUser, kProfile, "Old", "x");
    WriteRegString(Hive::CurrentUser, kProfile + "\\Tools\\Deep"s, "&Notatnik", "notepad.exe");
    const auto parsed = ParseRegFile(text);
    ASSERT_TRUE(parsed.ok) << parsed.errorLine << ": " << parsed.error;
    ApplyRegFile(parsed.operations);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kProfile, "Sounds"), -2);
    EXPECT_FALSE(ReadRegValue(Hive::CurrentUser, kProfile, "Old").has_value());
    EXPECT_EQ(ReadRegString(Hive::CurrentUser, kProfile, ""), "domy\x9Clna");
    EXPECT_EQ(ReadRegString(Hive::CurrentUser, kProfile, "Multi"), "a\r\n\xB3");
    EXPECT_FALSE(RegKeyExists(Hive::CurrentUser, kProfile + "\\Tools"s));
    EXPECT_EQ(ReadRegString(Hive::CurrentUser, kProfile + "\\Notes"s, "26"), "6162");
}

TEST(RegFileParse, RefusesMalformedTextNamingTheLine)
{
    const std::string header = "Windows Registry Editor Version 5.00\r\n\r\n";
    const std::string key = "[HKEY_CURRENT_USER\\Software\\Orbita]\r\n";
    struct Case {
        const char* what;
        std::string text;
        int line;
    } const cases[] = {
        { "empty file", "", 1 },
        { "no header", key, 1 },
        { "older header", "REGEDIT4\r\n\r\n" + key, 1 },
        { "value before any key", header + "\"A\"=\"b\"\r\n", 3 },
        { "unknown hive", header + "[HKEY_USERS\\Software]\r\n", 3 },
        { "key without closing bracket", header + "[HKEY_CURRENT_USER\\Software\r\n", 3 },
        { "empty key name inside", header + "[HKEY_CURRENT_USER\\Software\\\\Orbita]\r\n", 3 },
        { "deleting a hive", header + "[-HKEY_CURRENT_USER]\r\n", 3 },
        { "value of a deleted key", header + "[-HKEY_CURRENT_USER\\Software]\r\n\"A\"=-\r\n", 4 },
        { "dword too long", header + key + "\"A\"=dword:000000001\r\n", 4 },
        { "dword not hex", header + key + "\"A\"=dword:0000001g\r\n", 4 },
        { "dword empty", header + key + "\"A\"=dword:\r\n", 4 },
        { "unknown escape", header + key + "\"A\"=\"C:\\Orbita\"\r\n", 4 },
        { "unterminated string", header + key + "\"A\"=\"abc\r\n", 4 },
        { "unterminated name", header + key + "\"A=\"abc\"\r\n", 4 },
        { "text after the string", header + key + "\"A\"=\"abc\" x\r\n", 4 },
        { "missing equals", header + key + "\"A\" \"abc\"\r\n", 4 },
        { "binary type", header + key + "\"A\"=hex:00,01\r\n", 4 },
        { "expandable string", header + key + "\"A\"=hex(2):41,00,00,00\r\n", 4 },
        { "odd hex(1) bytes", header + key + "\"A\"=hex(1):41,00,00\r\n", 4 },
        { "hex(1) trailing comma", header + key + "\"A\"=hex(1):41,00,\r\n", 4 },
        { "hex(1) never ends", header + key + "\"A\"=hex(1):41,\\\r\n", 4 },
        { "bare word", header + key + "StartupMode=1\r\n", 4 },
        { "invalid UTF-8", header + key + "\"A\"=\"\xC5\"\r\n", 4 },
        { "outside Windows-1250", header + key + "\"A\"=\"\xE4\xB8\xAD\"\r\n", 4 },
        { "name outside Windows-1250", header + key + "\"\xE4\xB8\xAD\"=\"a\"\r\n", 4 },
        { "error after good lines", header + key + "\"A\"=\"a\"\r\n\"B\"=dword:1\r\n\r\n\"C\"=?\r\n", 7 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto parsed = ParseRegFile(c.text);
        EXPECT_FALSE(parsed.ok);
        EXPECT_EQ(parsed.errorLine, c.line);
        EXPECT_FALSE(parsed.error.empty());
        EXPECT_TRUE(parsed.operations.empty());
    }
}

TEST_F(RegFile, AMalformedFileChangesNothing)
{
    WriteRegInteger(Hive::CurrentUser, kProfile, "StartupMode", 0);
    writeFile(backupPath(),
        "Windows Registry Editor Version 5.00\r\n"
        "\r\n"
        "[-HKEY_CURRENT_USER\\Software\\Orbita\\Administrator]\r\n"
        "[HKEY_CURRENT_USER\\Software\\Orbita\\Administrator]\r\n"
        "\"StartupMode\"=dword:00000001\r\n"
        "\"New\"=\"x\"\r\n"
        "\"Broken\"=dword:xyz\r\n");
    const auto before = dumpTree(Hive::CurrentUser, "Software");
    const auto result = ImportRegFile(backupPath());
    EXPECT_FALSE(result.ok);
    EXPECT_THAT(result.error, HasSubstr("Błąd w wierszu 7 pliku kopii ustawień " + backupPath()));
    EXPECT_EQ(dumpTree(Hive::CurrentUser, "Software"), before);
}

TEST_F(RegFile, FileFailuresAreReportedInPolish)
{
    const auto missing = ImportRegFile(root() + "/none.reg");
    EXPECT_FALSE(missing.ok);
    EXPECT_THAT(missing.error, HasSubstr("Nie można odczytać pliku kopii ustawień " + root() + "/none.reg"));

    WriteRegInteger(Hive::CurrentUser, kProfile, "StartupMode", 1);
    const auto unwritable = ExportRegFile(root() + "/no/such/folder/x.reg", Hive::CurrentUser, kProfile);
    EXPECT_FALSE(unwritable.ok);
    EXPECT_THAT(unwritable.error, HasSubstr("Nie można zapisać pliku kopii ustawień"));

    const auto noKey = ExportRegFile(backupPath(), Hive::CurrentUser, "Software\\Orbita\\Nobody");
    EXPECT_FALSE(noKey.ok);
    EXPECT_THAT(noKey.error, HasSubstr("HKEY_CURRENT_USER\\Software\\Orbita\\Nobody"));

    // A failed export leaves an earlier backup as it was.
    writeFile(backupPath(), "earlier");
    EXPECT_FALSE(ExportRegFile(backupPath(), Hive::CurrentUser, "Software\\Orbita\\Nobody").ok);
    EXPECT_EQ(readFile(backupPath()), "earlier");
}

TEST_F(RegFile, TargetsAndSourcesThatAreNotRegularFilesAreRefusedAtOnce)
{
    WriteRegInteger(Hive::CurrentUser, kProfile, "StartupMode", 1);
    const std::string fifo = root() + "/fifo.reg";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Neither call may wait for a writer or reader at the other end.
    const auto exported = ExportRegFile(fifo, Hive::CurrentUser, kProfile);
    EXPECT_FALSE(exported.ok);
    EXPECT_THAT(exported.error, HasSubstr("to nie jest zwykły plik"));
    const auto imported = ImportRegFile(fifo);
    EXPECT_FALSE(imported.ok);
    EXPECT_THAT(imported.error, HasSubstr("to nie jest zwykły plik"));
    struct stat st { };
    ASSERT_EQ(::stat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)); // not replaced by a regular file

    EXPECT_FALSE(ExportRegFile(root(), Hive::CurrentUser, kProfile).ok);
    EXPECT_FALSE(ExportRegFile("/dev/null", Hive::CurrentUser, kProfile).ok);
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST_F(RegFile, NamesTheStoreCannotHoldAreRefusedByLine)
{
    struct Case {
        const char* what;
        std::string line;
    };
    std::string deep = "[HKEY_CURRENT_USER\\Software";
    for (int level = 0; level < 20000; ++level)
        deep += "\\k";
    deep += "]";
    const std::vector<Case> cases {
        { "NUL in a value name", "\"a"s + '\0' + "b\"=dword:00000001" },
        { "control character in a value name", "\"a\tb\"=dword:00000001" },
        { "value name too long", "\"" + std::string(kMaxRegValueNameLength + 1, 'n') + "\"=dword:00000001" },
        { "key too deep", deep },
        { "key name too long",
            "[HKEY_CURRENT_USER\\Software\\" + std::string(kMaxRegKeyNameLength + 1, 'k') + "]" },
    };
    for (const auto& c : cases) {
        const auto parsed = ParseRegFile("Windows Registry Editor Version 5.00\r\n\r\n"
                                         "[HKEY_CURRENT_USER\\Software\\Orbita\\Administrator]\r\n"
            + c.line + "\r\n");
        EXPECT_FALSE(parsed.ok) << c.what;
        EXPECT_EQ(parsed.errorLine, 4) << c.what;
        EXPECT_FALSE(parsed.error.empty()) << c.what;
    }
}

TEST_F(RegFile, AnImportThatCannotBeStoredWholeChangesNothing)
{
    WriteRegInteger(Hive::CurrentUser, kProfile, "StartupMode", 0);
    const auto before = dumpTree(Hive::CurrentUser, "Software");
    // Operations built by hand: the reader would refuse the middle one.
    std::vector<RegFileOperation> operations(3);
    for (auto& op : operations) {
        op.kind = RegFileOperation::Kind::SetInteger;
        op.key = kProfile;
        op.integer = 1;
    }
    operations[0].name = "StartupMode";
    operations[1].name = std::string("Bad\0", 4);
    operations[2].name = "New";
    EXPECT_FALSE(ApplyRegFile(operations));
    EXPECT_EQ(dumpTree(Hive::CurrentUser, "Software"), before);
    operations.erase(operations.begin() + 1);
    EXPECT_TRUE(ApplyRegFile(operations));
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kProfile, "New"), 1);
}

TEST(RegFileText, FullKeyPathsAndTheQuestion)
{
    struct Case {
        const char* text;
        bool ok;
        Hive hive;
        std::string key;
    } const cases[] = {
        { "HKEY_CURRENT_USER\\Software\\Orbita", true, Hive::CurrentUser, "Software\\Orbita" },
        { "HKEY_LOCAL_MACHINE\\Software\\", true, Hive::LocalMachine, "Software" },
        { "hkey_classes_root\\OBTFile", true, Hive::ClassesRoot, "OBTFile" },
        { "HKEY_CURRENT_USER", true, Hive::CurrentUser, "" },
        { "HKEY_CURRENT_USER\\Software\\\xC5\x81\xC4\x85ka", true, Hive::CurrentUser,
            "Software\\\xA3\xB9ka" },
        { "Software\\Orbita", false, Hive::CurrentUser, "" },
        { "HKEY_CURRENT_USER\\\\Software", false, Hive::CurrentUser, "" },
        { "HKEY_CURRENT_USER\\A\\\\B", false, Hive::CurrentUser, "" },
        { "HKEY_CURRENT_USER\\A\tB", false, Hive::CurrentUser, "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Hive hive = Hive::ClassesRoot;
        std::string key = "unchanged";
        ASSERT_EQ(ParseFullKeyPath(c.text, hive, key), c.ok);
        if (c.ok) {
            EXPECT_EQ(hive, c.hive);
            EXPECT_EQ(key, c.key);
        }
    }
    EXPECT_EQ(RestoreQuestion("/home/ewa/KOPIE/Administrator.reg"),
        "Czy na pewno chcesz przywrócić ustawienia z pliku /home/ewa/KOPIE/Administrator.reg?");
}

} // namespace
} // namespace orbita
