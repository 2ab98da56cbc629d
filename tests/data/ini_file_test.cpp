#include "data/ini_file.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>

namespace orbita {
namespace {

namespace fs = std::filesystem;

class TIniFileTest : public ::testing::Test {
protected:
    TIniFileTest()
    {
        std::random_device random;
        m_folder = fs::temp_directory_path() / ("orbita-profile-test-" + std::to_string(random()));
        fs::create_directories(m_folder);
    }
    ~TIniFileTest() override { fs::remove_all(m_folder); }

    std::string write(std::string_view bytes)
    {
        const std::string name = (m_folder / "ORBSKIN.INI").string();
        std::ofstream out(name, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return name;
    }

    fs::path m_folder;
};

struct Query {
    const char* what;
    std::string text;
    std::string section, key, defaultValue;
    std::string expected;
};

TEST_F(TIniFileTest, ProfileStringRules)
{
    const std::string skin = "[BITMAPINFO]\r\n"
                             "MaskBitmap=MASKA.BMP\r\n"
                             "MouseUpBitmap = GLOWNY.BMP \r\n"
                             "MouseDownBitmap=\r\n";
    const Query queries[] = {
        { "plain value", skin, "BITMAPINFO", "MASKBITMAP", "", "MASKA.BMP" },
        { "section and key ignore case", skin, "bitmapinfo", "maskbitmap", "", "MASKA.BMP" },
        { "blanks around key and value are trimmed", skin, "BITMAPINFO", "MOUSEUPBITMAP", "", "GLOWNY.BMP" },
        { "an empty value is empty, not the default", skin, "BITMAPINFO", "MOUSEDOWNBITMAP", "x", "" },
        { "missing key gives the default", skin, "BITMAPINFO", "MouseOnBitmap", "BRAK", "BRAK" },
        { "missing section gives the default", skin, "HOTAREAINFO", "Count", "0", "0" },
        { "the default loses its trailing blanks", skin, "X", "Y", "  a b \t ", "  a b" },
        { "blanks inside the section header are trimmed", "[ \tKolory  ]\r\na=1\r\n", "Kolory", "a", "",
            "1" },
        { "the requested names are trimmed too", "[Kolory]\r\na=1\r\n", " Kolory\t", " a ", "", "1" },
        { "indented lines count", "  [Kolory]\r\n\t a =1\r\n", "Kolory", "a", "", "1" },
        { "blanks inside a key belong to it", "[S]\r\nmoj klucz = v\r\n", "S", "moj klucz", "", "v" },
        { "Polish letters ignore case",
            "[\xAF"
            "ELAZO]\r\n\xA3\xD3"
            "D\x8F=tak\r\n",
            "\xBF"
            "elazo",
            "\xB3\xF3"
            "d\x9F",
            "", "tak" },
        { "double quotes are removed", "[S]\r\na = \" z odstepami \" \r\n", "S", "a", "", " z odstepami " },
        { "single quotes are removed", "[S]\r\na='x'\r\n", "S", "a", "", "x" },
        { "only matching quotes are removed", "[S]\r\na=\"x'\r\n", "S", "a", "", "\"x'" },
        { "only outer quotes are removed", "[S]\r\na=\"a\" \"b\"\r\n", "S", "a", "", "a\" \"b" },
        { "a lone quote stays", "[S]\r\na=\"\r\n", "S", "a", "", "\"" },
        { "two quotes give the empty text", "[S]\r\na=''\r\n", "S", "a", "d", "" },
        { "comment lines are skipped", "[S]\r\n;a=1\r\n  ;a=2\r\na=3\r\n", "S", "a", "", "3" },
        { "a comment after a value belongs to it", "[S]\r\na=1 ; uwaga\r\n", "S", "a", "", "1 ; uwaga" },
        { "the value runs past further = signs", "[S]\r\na=b=c\r\n", "S", "a", "", "b=c" },
        { "a line without = names no key", "[S]\r\na\r\na=2\r\n", "S", "a", "d", "2" },
        { "a key without = alone gives the default", "[S]\r\na\r\n", "S", "a", "d", "d" },
        { "the first matching key wins", "[S]\r\nA=1\r\na=2\r\n", "S", "a", "", "1" },
        { "only the first section of a name is searched", "[S]\r\na=1\r\n[s]\r\nb=2\r\n", "S", "b", "d",
            "d" },
        { "the first section wins", "[S]\r\na=1\r\n[T]\r\n[S]\r\na=2\r\n", "S", "a", "", "1" },
        { "keys of another section are not seen", "[S]\r\n[T]\r\na=1\r\n", "S", "a", "d", "d" },
        { "keys before any section are not seen", "a=1\r\n[S]\r\n", "S", "a", "d", "d" },
        { "text after the closing bracket is ignored", "[S] ; uwaga\r\na=1\r\n", "S", "a", "", "1" },
        { "the name runs to the last closing bracket", "[a]b]\r\nk=1\r\n", "a]b", "k", "", "1" },
        { "a bracket without its pair is a key line", "[S]\r\n[x=1\r\n", "S", "[x", "", "1" },
        { "lone CR and lone LF end lines", "[S]\ra=1\nb=2\r\n", "S", "b", "", "2" },
        { "a last line without a line end", "[S]\r\na=1", "S", "a", "", "1" },
        { "a NUL byte ends the text", std::string("[S]\r\n\0a=1\r\n", 11), "S", "a", "d", "d" },
        { "the value is cut to 1023 characters", "[S]\r\na=" + std::string(2000, 'v') + "\r\n", "S", "a", "",
            std::string(1023, 'v') },
        { "quotes are removed before the cut", "[S]\r\na=\"" + std::string(1100, 'v') + "\"\r\n", "S", "a",
            "", std::string(1023, 'v') },
        { "the default is cut to 1023 characters too", "", "S", "a", std::string(1500, 'd'),
            std::string(1023, 'd') },
        { "an empty file gives the default", "", "S", "a", "d", "d" },
    };
    for (const Query& q : queries) {
        const TIniFile ini(write(q.text));
        EXPECT_EQ(ini.ReadString(q.section, q.key, q.defaultValue), q.expected) << q.what;
        EXPECT_EQ(TIniFile::ReadStringFromText(q.text, q.section, q.key, q.defaultValue), q.expected)
            << q.what;
    }
}

TEST_F(TIniFileTest, UnreadableFilesGiveTheDefault)
{
    const TIniFile missing((m_folder / "BRAK.INI").string());
    EXPECT_EQ(missing.ReadString("S", "a", "domyslny "), "domyslny");

    const std::string folderName = (m_folder / "KATALOG.INI").string();
    fs::create_directory(folderName);
    EXPECT_EQ(TIniFile(folderName).ReadString("S", "a", "d"), "d");

    // Past the size limit the file is not read at all.
    const std::string big = write("[S]\r\na=1\r\n" + std::string(TIniFile::MaxFileSize, ';'));
    EXPECT_EQ(TIniFile(big).ReadString("S", "a", "d"), "d");
    const std::string atLimit = write("[S]\r\na=1\r\n" + std::string(TIniFile::MaxFileSize - 10, ';'));
    EXPECT_EQ(TIniFile(atLimit).ReadString("S", "a", "d"), "1");
}

} // namespace
} // namespace orbita
