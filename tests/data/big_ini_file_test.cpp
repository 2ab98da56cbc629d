#include "data/big_ini_file.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <sys/stat.h>

namespace orbita {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// A folder of its own under the temporary folder, removed afterwards.
class TempFolder {
public:
    TempFolder()
    {
        std::random_device random;
        m_path = fs::temp_directory_path() / ("orbita-ini-test-" + std::to_string(random()));
        fs::create_directories(m_path);
    }
    ~TempFolder() { fs::remove_all(m_path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string file(const std::string& name) const { return (m_path / name).string(); }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

void writeFile(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

Lines allLines(const TBigIniFile& ini)
{
    Lines lines;
    ini.GetAllLines(lines);
    return lines;
}

// The loaded content as GetAllLines gives it, for texts run through the loader.
TEST(TBigIniFileLoad, TextBecomesSectionsAndLines)
{
    const std::string longLine = "Klucz=" + std::string(294, 'x'); // 300 characters
    struct Case {
        const char* what;
        std::string text;
        Lines expected;
    };
    const Case cases[] = {
        { "lines before the first header are dropped", "a=1\r\nb\r\n[S]\r\nc=2\r\n", { "[S]", "c=2", "" } },
        { "CR LF, lone CR, lone LF and a last line without an end", "[S]\r\na=1\rb=2\nc=3\n\rd=4",
            { "[S]", "a=1", "b=2", "c=3", "d=4", "" } },
        { "empty lines and lines of the single byte 1A are skipped",
            "[S]\r\n\r\n\x1A\r\na=1\r\n\x1A\x1A\r\n\x1A", { "[S]", "a=1", "\x1A\x1A", "" } },
        { "comments, lines without = and blank-looking lines are kept verbatim",
            "[S]\r\n;uwaga\r\nsamo\r\n   \r\n a = 1 \r\n",
            { "[S]", ";uwaga", "samo", "   ", " a = 1 ", "" } },
        { "header names are not trimmed", "[ Kolory ]\r\na=1\r\n", { "[ Kolory ]", "a=1", "" } },
        { "a header needs its bracket as the last character", "[S]\r\n[T] \r\n [U]\r\n",
            { "[S]", "[T] ", " [U]", "" } },
        { "an empty name is a name", "[]\r\na=1\r\n", { "[]", "a=1", "" } },
        { "a section without lines is not listed", "[A]\r\n[B]\r\nb=1\r\n", { "[B]", "b=1", "" } },
        { "a later copy of a section is dropped with all its lines",
            "[S]\r\na=1\r\n[T]\r\nt=1\r\n[s]\r\nb=2\r\n[S]\r\nc=3\r\n",
            { "[S]", "a=1", "", "[T]", "t=1", "" } },
        { "names that differ in the case of Polish letters are one section",
            "[\xAF"
            "elazo]\r\na=1\r\n[\xBF"
            "ELAZO]\r\nb=2\r\n",
            { "[\xAF"
              "elazo]",
                "a=1", "" } },
        { "long lines keep 255 characters", "[S]\r\n" + longLine + "\r\nb=2\r\n",
            { "[S]", longLine.substr(0, 255), "b=2", "" } },
        { "a header cut at 255 characters is no header", "[S]\r\n[" + std::string(300, 'n') + "]\r\n",
            { "[S]", "[" + std::string(254, 'n'), "" } },
        { "bytes after a NUL still count", std::string("[S]\r\na=\0b\r\n", 10),
            { "[S]", std::string("a=\0b", 4), "" } },
    };
    for (const Case& c : cases) {
        TBigIniFile ini;
        ini.LoadText(c.text);
        EXPECT_EQ(allLines(ini), c.expected) << c.what;
        EXPECT_FALSE(ini.Modified()) << c.what;
    }
}

TEST(TBigIniFileLoad, FileLoadsLikeTextAcrossReadBuffers)
{
    // Lines of many lengths (long ones cut at 255) make the 28672-byte read
    // buffer end inside lines, inside CR LF pairs and inside cut-off tails.
    std::string text = "przed=1\r\n[A]\r\na=1\r\n";
    for (int i = 0; i < 600; ++i) {
        if (i % 97 == 0)
            text += "[S" + std::to_string(i) + "]\r\n";
        text += "k" + std::to_string(i) + "="
            + std::string(static_cast<std::size_t>((i * 37) % 400), 'a' + i % 26);
        text += i % 3 == 0 ? "\r\n" : (i % 3 == 1 ? "\n" : "\r");
    }
    ASSERT_GT(text.size(), 3u * 28672);
    TempFolder folder;
    writeFile(folder.file("duzy.ini"), text);

    TBigIniFile fromFile(folder.file("duzy.ini"));
    TBigIniFile fromText;
    fromText.LoadText(text);
    EXPECT_EQ(fromFile.LoadStatus(), IniLoadStatus::Loaded);
    EXPECT_EQ(allLines(fromFile), allLines(fromText));
    EXPECT_EQ(fromFile.ReadSections().size(), 8u);
    EXPECT_EQ(fromFile.ReadString("S582", "k599", "?"), std::string((599 * 37) % 400, 'a' + 599 % 26));
    EXPECT_EQ(fromFile.ReadString("S0", "k8", "?").size(), 255u - 3u);
    EXPECT_EQ(fromFile.ReadString("A", "a", "?"), "1");
}

TEST(TBigIniFile, ReadStringRules)
{
    TBigIniFile ini;
    ini.LoadText("[Kolory]\r\n"
                 "Tlo=bialy\r\n"
                 "tlo=drugi\r\n"
                 "Pusty=\r\n"
                 "Rowna=a=b\r\n"
                 "Spacja =x\r\n"
                 " Wciety=y\r\n"
                 "\xA3\xD3"
                 "D\x8F=miasto\r\n"
                 "bez rownosci\r\n"
                 "Dlugi="
        + std::string(300, 'd')
        + "\r\n"
          "[Inne]\r\n"
          "Tlo=inny\r\n"
          "[KOLORY]\r\n"
          "Nowy=z drugiej kopii\r\n");
    struct Case {
        const char* section;
        const char* key;
        const char* defaultValue;
        std::string expected;
    };
    const Case cases[] = {
        { "Kolory", "Tlo", "?", "bialy" }, // first matching line wins
        { "KOLORY", "TLO", "?", "bialy" }, // section and key ignore case
        { "kolory",
            "\xB3\xF3"
            "d\x9F",
            "?", "miasto" }, // Polish letters ignore case too
        { "Kolory", "Pusty", "?", "" }, // an empty value is no default
        { "Kolory", "Rowna", "?", "a=b" }, // value: all after the first "="
        { "Kolory", "Spacja", "?", "?" }, // nothing is trimmed: the key is "Spacja "
        { "Kolory", "Spacja ", "?", "x" },
        { "Kolory", "Wciety", "?", "?" },
        { "Kolory", "bez rownosci", "?", "?" }, // a line without "=" has no key
        { "Kolory", "Dlugi", "?", std::string(249, 'd') }, // the line kept 255 characters
        { "Kolory", "Nowy", "?", "?" }, // keys of a later copy are not found
        { "Inne", "Tlo", "?", "inny" },
        { "Brak", "Tlo", "domyslny", "domyslny" },
        { " Kolory", "Tlo", "?", "?" },
        { "Brak", "x", "", "" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.ReadString(c.section, c.key, c.defaultValue), c.expected) << c.section << "/" << c.key;

    const std::string longDefault(300, 'q');
    EXPECT_EQ(ini.ReadString("Brak", "x", longDefault), longDefault.substr(0, 255));
    TBigIniFile memory;
    memory.SetSectionLines("M", { "Dlugi=" + std::string(300, 'm') });
    EXPECT_EQ(memory.ReadString("M", "Dlugi", ""), std::string(255, 'm'));
}

TEST(TBigIniFile, ReadIntegerSyntax)
{
    struct Case {
        const char* value;
        std::int32_t expected;
    };
    constexpr std::int32_t dflt = -7;
    const Case cases[] = {
        { "0x1F", 31 },
        { "0X1F", 31 },
        { "0x1f", 31 },
        { "1F", dflt },
        { "$1F", 31 },
        { "-$1F", -31 },
        { "+$10", 16 },
        { "12", 12 },
        { "+12", 12 },
        { "-12", -12 },
        { "00012", 12 },
        { "", dflt },
        { " 12", dflt },
        { "12 ", dflt },
        { "1e3", dflt },
        { "2147483647", 2147483647 },
        { "2147483648", dflt },
        { "-2147483648", -2147483647 - 1 },
        { "-2147483649", dflt },
        { "99999999999999999999", dflt },
        { "$FFFFFFFF", -1 },
        { "0x80000000", -2147483647 - 1 },
        { "$0000000001F", 31 },
        { "$100000000", dflt },
        { "0x", dflt },
        { "$", dflt },
        { "-", dflt },
        { "0x-1", dflt },
        { "-0x1F", dflt },
        { "$1G", dflt },
    };
    TBigIniFile ini;
    for (const Case& c : cases) {
        ini.SetSectionLines("N", { std::string("v=") + c.value });
        EXPECT_EQ(ini.ReadInteger("N", "v", dflt), c.expected) << '"' << c.value << '"';
    }
    EXPECT_EQ(ini.ReadInteger("N", "brak", 5), 5);
    EXPECT_EQ(ini.ReadInteger("Brak", "v", 6), 6);
}

TEST(TBigIniFile, ReadBool)
{
    struct Case {
        const char* value;
        bool defaultValue;
        bool expected;
    };
    const Case cases[] = {
        { "1", false, true },
        { "0", true, false },
        { "2", false, true },
        { "-1", false, true },
        { "TRUE", false, false },
        { "TRUE", true, true },
        { "", true, true },
    };
    TBigIniFile ini;
    for (const Case& c : cases) {
        ini.SetSectionLines("B", { std::string("v=") + c.value });
        EXPECT_EQ(ini.ReadBool("B", "v", c.defaultValue), c.expected) << c.value << " " << c.defaultValue;
    }
}

TEST(TBigIniFile, WritesReadBackAndMarkModified)
{
    TBigIniFile ini;
    ini.LoadText("[S]\r\n;uwaga\r\nA=1\r\na=2\r\n[T]\r\nx=1\r\n");
    EXPECT_TRUE(ini.WriteString("s", "a", "nowe"));
    EXPECT_TRUE(ini.Modified());
    EXPECT_TRUE(ini.WriteString("Nowa", "k", "v"));
    EXPECT_TRUE(ini.WriteInteger("T", "n", -42));
    EXPECT_TRUE(ini.WriteBool("T", "b", true));
    EXPECT_EQ(allLines(ini),
        (Lines {
            "[S]", ";uwaga", "a=nowe", "a=2", "", "[T]", "x=1", "n=-42", "b=1", "", "[Nowa]", "k=v", "" }));
    EXPECT_EQ(ini.ReadString("S", "A", "?"), "nowe");
    EXPECT_EQ(ini.ReadInteger("T", "n", 0), -42);
    EXPECT_TRUE(ini.ReadBool("T", "b", false));

    TBigIniFile same;
    same.LoadText("[S]\r\na=1\r\n");
    EXPECT_TRUE(same.WriteString("S", "a", "1"));
    EXPECT_FALSE(same.Modified()) << "writing the value already there changes nothing";
}

TEST(TBigIniFile, RefusesWritesThatCouldNotBeReadBack)
{
    struct Case {
        const char* what;
        std::string section, key, value;
    };
    const Case cases[] = {
        { "line break in a value", "S", "k", "a\r\n[Wstrzyk]" },
        { "line break in a key", "S", "k\n", "v" },
        { "line break in a section name", "S\r", "k", "v" },
        { "= in a key", "S", "a=b", "v" },
        { "empty key", "S", "", "v" },
        { "a line that reads as a header", "S", "[k", "v]" },
        { "a line over 255 characters", "S", "k", std::string(254, 'v') },
        { "a header over 255 characters", std::string(254, 's'), "k", "v" },
    };
    for (const Case& c : cases) {
        TBigIniFile ini;
        ini.LoadText("[S]\r\nk=stare\r\n");
        EXPECT_FALSE(ini.WriteString(c.section, c.key, c.value)) << c.what;
        EXPECT_FALSE(ini.Modified()) << c.what;
        EXPECT_EQ(allLines(ini), (Lines { "[S]", "k=stare", "" })) << c.what;
    }
    TBigIniFile ini;
    EXPECT_TRUE(ini.WriteString(std::string(253, 's'), "k", std::string(253, 'v'))) << "the longest accepted";
}

TEST(TBigIniFile, SectionOperations)
{
    TBigIniFile ini;
    ini.LoadText("[S]\r\nA=1\r\nsamo\r\n;k=komentarz\r\nB = 2\r\nA=3\r\n[T]\r\nx=1\r\n[U]\r\nu=1\r\n");
    EXPECT_EQ(ini.ReadSections(), (Lines { "S", "T", "U" }));
    EXPECT_EQ(ini.ReadSection("s"), (Lines { "A", ";k", "B ", "A" }));
    EXPECT_EQ(ini.ReadSection("brak"), Lines {});
    EXPECT_EQ(ini.ReadSectionValues("S"), (Lines { "A=1", "samo", ";k=komentarz", "B = 2", "A=3" }));
    EXPECT_EQ(ini.ReadSectionValues("brak"), Lines {});
    EXPECT_TRUE(ini.SectionExists("t"));
    EXPECT_FALSE(ini.SectionExists("V"));
    EXPECT_FALSE(ini.Modified());

    ini.DeleteKey("S", "a");
    EXPECT_EQ(ini.ReadSectionValues("S"), (Lines { "samo", ";k=komentarz", "B = 2", "A=3" }));
    EXPECT_TRUE(ini.Modified());

    ini.EraseSection("t");
    EXPECT_EQ(ini.ReadSections(), (Lines { "S", "U" }));
    EXPECT_EQ(ini.ReadString("U", "u", "?"), "1");
    EXPECT_EQ(ini.ReadString("S", "A", "?"), "3");
    ini.EraseSection("U"); // the cursor stood on it
    EXPECT_EQ(ini.ReadSections(), Lines { "S" });
    EXPECT_EQ(ini.ReadString("S", "B ", "?"), " 2");

    TBigIniFile untouched;
    untouched.LoadText("[S]\r\na=1\r\n");
    untouched.DeleteKey("S", "brak");
    untouched.DeleteKey("brak", "a");
    untouched.EraseSection("brak");
    EXPECT_FALSE(untouched.Modified());
}

TEST(TBigIniFile, SetSectionLines)
{
    struct Case {
        const char* what;
        Lines lines;
        bool modified;
        Lines expected;
    };
    const Case cases[] = {
        { "same lines", { "a=1", "b=2" }, false, { "[S]", "a=1", "b=2", "" } },
        { "a line differing only in case", { "a=1", "B=2" }, true, { "[S]", "a=1", "B=2", "" } },
        { "another number of lines", { "c=3" }, true, { "[S]", "c=3", "" } },
        { "no lines", {}, true, {} },
    };
    for (const Case& c : cases) {
        TBigIniFile ini;
        ini.LoadText("[S]\r\na=1\r\nb=2\r\n");
        ini.SetSectionLines("s", c.lines);
        EXPECT_EQ(ini.Modified(), c.modified) << c.what;
        EXPECT_EQ(allLines(ini), c.expected) << c.what;
        EXPECT_EQ(ini.ReadSections(), Lines { "S" }) << c.what;
    }

    // The built-in skin definition arrives this way, in two sections.
    TBiggerIniFile builtIn;
    builtIn.SetSectionLines("HOTAREAINFO", { "Count=1", "1=BUTTON_HELP, 510, 63, 90, 28" });
    builtIn.SetSectionLines("DISPLAYINFO", { "Charset=1", "Count=0" });
    EXPECT_TRUE(builtIn.Modified());
    EXPECT_TRUE(builtIn.FileName().empty());
    EXPECT_EQ(builtIn.ReadInteger("HotAreaInfo", "Count", 0), 1);
    EXPECT_EQ(builtIn.ReadString("HOTAREAINFO", "1", ""), "BUTTON_HELP, 510, 63, 90, 28");
    EXPECT_EQ(builtIn.ReadInteger("DISPLAYINFO", "Charset", 0), 1);
    EXPECT_TRUE(builtIn.UpdateFile()) << "nothing to write without a file name";
}

TEST(TBiggerIniFile, EightDigitHexadecimalIntegers)
{
    struct Case {
        const char* value;
        std::int32_t expected;
    };
    constexpr std::int32_t dflt = 99;
    const Case cases[] = {
        { "0000001F", 31 },
        { "1f", 31 },
        { "FFFFFFFF", -1 },
        { "80000000", -2147483647 - 1 },
        { "000000000A", 10 },
        { "100000000", dflt },
        { "$1F", dflt },
        { "0x1F", dflt },
        { "-1", dflt },
        { "", dflt },
        { "1F ", dflt },
    };
    TBiggerIniFile ini;
    for (const Case& c : cases) {
        ini.SetSectionLines("H", { std::string("v=") + c.value });
        EXPECT_EQ(ini.ReadHexInteger("H", "v", dflt), c.expected) << c.value;
    }
    for (const std::int32_t value : { 0, 31, -2, 2147483647, -2147483647 - 1 }) {
        EXPECT_TRUE(ini.WriteHexInteger("W", "v", value));
        EXPECT_EQ(ini.ReadString("W", "v", "").size(), 8u);
        EXPECT_EQ(ini.ReadHexInteger("W", "v", dflt), value);
    }
    EXPECT_EQ(ini.ReadString("W", "v", ""), "80000000");
    EXPECT_TRUE(ini.WriteHexInteger("W", "v", -2));
    EXPECT_EQ(ini.ReadString("W", "v", ""), "FFFFFFFE");
}

TEST(TBigIniFile, SectionCursorScansEachSectionOnceInFileOrder)
{
    constexpr int sections = 60;
    constexpr int keys = 4;
    std::string text;
    for (int s = 0; s < sections; ++s) {
        text += "[Sekcja" + std::to_string(s) + "]\r\n";
        for (int k = 0; k < keys; ++k)
            text += "k" + std::to_string(k) + "=" + std::to_string(s * 10 + k) + "\r\n";
    }
    TBigIniFile ini;
    ini.LoadText(text);

    // In file order: a lookup compares the section found last and at most the
    // one after it.
    const auto before = ini.SectionComparisons();
    int lookups = 0;
    for (int s = 0; s < sections; ++s)
        for (int k = 0; k < keys; ++k, ++lookups)
            ASSERT_EQ(ini.ReadInteger("SEKCJA" + std::to_string(s), "K" + std::to_string(k), -1), s * 10 + k);
    EXPECT_LE(ini.SectionComparisons() - before, static_cast<std::uint64_t>(lookups + sections));

    // Going back wraps round the list and still finds every section, at the
    // cost of scanning the others.
    const auto beforeBackwards = ini.SectionComparisons();
    for (int s = sections - 1; s >= 0; --s)
        ASSERT_EQ(ini.ReadInteger("Sekcja" + std::to_string(s), "k0", -1), s * 10);
    EXPECT_GE(
        ini.SectionComparisons() - beforeBackwards, static_cast<std::uint64_t>(sections * (sections - 1)));
    EXPECT_FALSE(ini.SectionExists("Sekcja" + std::to_string(sections)));
}

TEST(TBigIniFileFile, MissingFileGivesAnEmptyObjectAndIsNotCreated)
{
    TempFolder folder;
    const std::string name = folder.file("brak.ini");
    {
        TBiggerIniFile ini(name);
        EXPECT_EQ(ini.LoadStatus(), IniLoadStatus::Missing);
        EXPECT_EQ(ini.ReadSections(), Lines {});
        EXPECT_EQ(ini.ReadString("S", "k", "domyslny"), "domyslny");
        EXPECT_EQ(ini.ReadInteger("S", "k", 3), 3);
        EXPECT_EQ(ini.FileName(), name);
    }
    EXPECT_FALSE(fs::exists(name));
}

TEST(TBigIniFileFile, LoadedFileIsNotWrittenBackUnlessChanged)
{
    TempFolder folder;
    const std::string name = folder.file("skora.ini");
    const std::string text = "x=1\r\n[A]\r\na=1\r\n[a]\r\nb=2\r\n\r\n";
    writeFile(name, text);
    {
        TBiggerIniFile ini(name);
        EXPECT_EQ(ini.LoadStatus(), IniLoadStatus::Loaded);
        EXPECT_FALSE(ini.Modified()) << "dropping duplicates is no change";
        EXPECT_EQ(ini.ReadString("A", "b", "?"), "?");
        EXPECT_EQ(ini.ReadInteger("A", "a", 0), 1);
    }
    EXPECT_EQ(readFile(name), text);
}

TEST(TBigIniFileFile, ChangesAreWrittenBackWhole)
{
    TempFolder folder;
    const std::string name = folder.file("zapis.ini");
    writeFile(name, "[A]\r\na=1\r\n[B]\r\nb=2\r\n");
    ASSERT_EQ(::chmod(name.c_str(), 0640), 0);
    {
        TBigIniFile ini(name);
        ini.WriteString("A", "a", "nowe");
        ini.WriteString("C", "c", "3");
    }
    EXPECT_EQ(readFile(name), "[A]\r\na=nowe\r\n\r\n[B]\r\nb=2\r\n\r\n[C]\r\nc=3\r\n\r\n");
    struct stat info { };
    ASSERT_EQ(::stat(name.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u) << "the file keeps its permissions";
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1)
        << "no temporary file is left behind";

    TBigIniFile again(name);
    EXPECT_EQ(again.ReadString("a", "A", "?"), "nowe");
    EXPECT_EQ(again.ReadString("c", "c", "?"), "3");

    // A new file is created on UpdateFile, which then has nothing left to do.
    const std::string created = folder.file("nowy.ini");
    TBigIniFile fresh(created);
    fresh.WriteInteger("N", "n", 5);
    EXPECT_TRUE(fresh.UpdateFile());
    EXPECT_FALSE(fresh.Modified());
    EXPECT_EQ(readFile(created), "[N]\r\nn=5\r\n\r\n");
}

TEST(TBigIniFileFile, FailedWritesAndReadsKeepTheFile)
{
    TempFolder folder;
    // The folder of the file does not exist: the write fails and says so.
    TBigIniFile nowhere(folder.file("brak/plik.ini"));
    EXPECT_EQ(nowhere.LoadStatus(), IniLoadStatus::Missing);
    nowhere.WriteString("S", "k", "v");
    EXPECT_FALSE(nowhere.UpdateFile());
    EXPECT_TRUE(nowhere.Modified());

    // A name that exists but cannot be read as a file (a folder here) is a
    // read error: the object is empty and never writes over that name.
    const std::string unreadable = folder.file("katalog.ini");
    fs::create_directory(unreadable);
    {
        TBigIniFile ini(unreadable);
        EXPECT_EQ(ini.LoadStatus(), IniLoadStatus::ReadError);
        EXPECT_EQ(ini.ReadSections(), Lines {});
        EXPECT_TRUE(ini.WriteString("S", "k", "v"));
        EXPECT_FALSE(ini.UpdateFile());
    }
    EXPECT_TRUE(fs::is_directory(unreadable));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
}

} // namespace
} // namespace orbita
