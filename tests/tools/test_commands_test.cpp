#include "core/cp1250.h"
#include "tests/support/packed_archive.h"

#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace orbita::test {
namespace {

namespace fs = std::filesystem;

// A sound test of four questions (UTF-8, as a source folder holds it).
const std::string kSoundTest = "Tytul=Budowa atomu\n"
                               "Autor=Jan Kowalski\n"
                               "Opis=Cztery pytania, a=b\n"
                               "Pytanie1=Ile protonów ma wodór? <img src=\"atom.gif\">\n"
                               "Opcja1=jeden\n"
                               "Opcja2=dwa\n"
                               "Odpowiedź=1\n"
                               "Pytanie2=Symbol sodu\n"
                               "Opcja1=S\n"
                               "Opcja2=Na\n"
                               "Odpowiedź=2\n"
                               "Pytanie3=Gaz szlachetny\n"
                               "Opcja1=azot\n"
                               "Opcja2=hel\n"
                               "Odpowiedź=2\n"
                               "Pytanie4=Wzór wody\n"
                               "Opcja1=H<sub>2</sub>O\n"
                               "Opcja2=HO\n"
                               "Odpowiedź=1\n"
                               "Ocena1=0:Niedostateczny\n"
                               "Ocena2=0:Dopuszczający\n"
                               "Ocena3=1:Dostateczny\n"
                               "Ocena4=2:Dobry\n"
                               "Ocena5=3:Bardzo dobry\n"
                               "Ocena6=4:Celujący\n";

class TestCommandsTest : public ::testing::Test {
protected:
    std::string path(const std::string& relative) const
    {
        return (fs::path(m_dir.path().toStdString()) / relative).string();
    }
    // A source folder with TEST.TXT and the picture the sound test names.
    std::string folder(const std::string& name, const std::string& test)
    {
        WriteWholeFile(path(name + "/TEST.TXT"), test);
        WriteWholeFile(path(name + "/atom.gif"), "GIF89a");
        return path(name);
    }
    static ToolRun tool(const QStringList& arguments) { return RunTool(arguments); }
    static ToolRun check(const std::string& target)
    {
        return RunTool({ QStringLiteral("test"), QStringLiteral("check"), QString::fromStdString(target) });
    }

    QTemporaryDir m_dir;
};

TEST_F(TestCommandsTest, SoundTestIsShownPackedAndCheckedAgainAsAPackage)
{
    const std::string source = folder("Atom", kSoundTest);
    const ToolRun checked = check(source);
    EXPECT_EQ(checked.exitCode, 0) << checked.standardError;
    EXPECT_NE(
        checked.standardOutput.find("Tytuł: Budowa atomu\nAutor: Jan Kowalski\nOpis: Cztery pytania, a=b\n"
                                    "Liczba pytań: 4\n"),
        std::string::npos)
        << checked.standardOutput;
    EXPECT_NE(checked.standardOutput.find("  *2) hel\n"), std::string::npos);
    EXPECT_NE(checked.standardOutput.find("0 → 1, 1 → 3, 2 → 4, 3 → 5, 4 → 6\n"), std::string::npos)
        << checked.standardOutput;

    const std::string package = path("Atom.obt");
    const ToolRun packed = tool({ QStringLiteral("test"), QStringLiteral("pack"),
        QString::fromStdString(source), QString::fromStdString(package) });
    ASSERT_EQ(packed.exitCode, 0) << packed.standardError;
    const auto members = ReadPackedArchive(package);
    ASSERT_TRUE(members);
    const auto text
        = std::find_if(members->begin(), members->end(), [](auto& m) { return m.name == "TEST.TXT"; });
    ASSERT_NE(text, members->end());
    // Packed as every package is: the text in Windows-1250.
    EXPECT_NE(text->data.find("Odpowied\x9F=1"), std::string::npos);
    const ToolRun again = check(package);
    EXPECT_EQ(again.exitCode, 0) << again.standardError;
}

TEST_F(TestCommandsTest, PlantedFaultsAreReportedWithTheirLinesAndRefusedByPack)
{
    const std::string faulty = "Tytul=Zepsuty\nAutor=X\nOpis=Y\n"
                               "Pytanie1=Pierwsze <img src=\"brak.gif\">\n" // 4
                               "Opcja1=a\n"
                               "\n" // 6: a blank line uses up option 2
                               "Opcja2=b\n"
                               "Odpowiedź=3\n" // 8
                               "Pytanie2=Drugie\n"
                               "Opcja1=a\n"
                               "Odpowiedź=1\n"
                               "Odpowiedź=2\n" // 12
                               "Pytanie3=Trzecie\n"
                               "opcja1=a\n" // 14
                               "Pytanie5=Piąte\n" // 15
                               "Opcja1=x\n"
                               "Odpowiedź=1\n"
                               "Ocena2=3:a\n"
                               "Ocena3=x:b\n" // 19
                               " Ocena4=5:c\n" // 20
                               "Ocena5=2:d\n"; // 21, no Ocena6
    const std::string source = folder("Zly", faulty);
    const ToolRun run = check(source);
    EXPECT_EQ(run.exitCode, 1);
    const std::vector<std::string> expected = {
        "wiersz 4: obrazka „brak.gif” nie ma w pakiecie",
        "wiersz 6: pytanie 1: ten wiersz nie jest opcją numer 2",
        "wiersz 8: pytanie 1: odpowiedź „3” nie jest numerem żadnej z jego opcji",
        "wiersz 12: pytanie 2: druga odpowiedź",
        "wiersz 14: klucz „opcja1=” ma inną wielkość liter niż „Opcja1=”",
        "wiersz 13: pytanie 3 nie ma wiersza „Odpowiedź=”",
        "wiersz 15: pytanie numer 5 stoi tam, gdzie oczekiwano numeru 4",
        "wiersz 19: próg oceny 3 nie jest liczbą",
        "wiersz 20: „Ocena4=” nie stoi na początku wiersza",
        "wiersz 21: próg oceny 5 (2) nie jest większy niż próg oceny 2 (3)",
        "brak wiersza „Ocena6=”",
    };
    for (const std::string& problem : expected)
        EXPECT_NE(run.standardError.find(problem), std::string::npos) << problem << "\n" << run.standardError;

    const std::string package = path("Zly.obt");
    const ToolRun packed = tool({ QStringLiteral("test"), QStringLiteral("pack"),
        QString::fromStdString(source), QString::fromStdString(package) });
    EXPECT_EQ(packed.exitCode, 1);
    EXPECT_FALSE(fs::exists(package));
}

TEST_F(TestCommandsTest, Utf8DamagedAndEmptyPackages)
{
    // Packed without conversion: the program would read UTF-8 as Windows-1250.
    const std::string utf8Package = path("Utf8.obt");
    ASSERT_EQ(
        tool({ QStringLiteral("archive"), QStringLiteral("pack"),
                 QString::fromStdString(folder("Utf8", kSoundTest)), QString::fromStdString(utf8Package) })
            .exitCode,
        0);
    const ToolRun utf8 = check(utf8Package);
    EXPECT_EQ(utf8.exitCode, 1);
    EXPECT_NE(utf8.standardError.find("zapisany w UTF-8"), std::string::npos) << utf8.standardError;

    WriteWholeFile(path("Uszkodzony.obt"), "<html>404</html>");
    const ToolRun damaged = check(path("Uszkodzony.obt"));
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_NE(damaged.standardError.find("nie można odczytać pakietu"), std::string::npos)
        << damaged.standardError;

    WriteWholeFile(path("Pusty/obrazek.gif"), "GIF89a");
    const std::string empty = path("Pusty.obt");
    ASSERT_EQ(tool({ QStringLiteral("archive"), QStringLiteral("pack"), QString::fromStdString(path("Pusty")),
                       QString::fromStdString(empty) })
                  .exitCode,
        0);
    const ToolRun noTest = check(empty);
    EXPECT_EQ(noTest.exitCode, 1);
    EXPECT_NE(noTest.standardError.find("nie zawiera pliku TEST.TXT"), std::string::npos)
        << noTest.standardError;

    // Lower-case question keys: no questions at all.
    const ToolRun lower = check(folder("Male", "T=a\nA=b\nO=c\npytanie1=x\nopcja1=y\nodpowiedź=1\n"));
    EXPECT_EQ(lower.exitCode, 1);
    EXPECT_NE(lower.standardError.find("test nie zawiera żadnych pytań"), std::string::npos)
        << lower.standardError;
}

TEST_F(TestCommandsTest, MoreThan255QuestionsAndUnreachableGrades)
{
    std::string test = "T=Długi\nA=b\nO=c\n";
    for (int n = 1; n <= 256; ++n)
        test += "Pytanie" + std::to_string(n) + "=q\nOpcja1=a\nOdpowiedź=1\n";
    test += "Ocena2=100:a\nOcena3=150:b\nOcena4=200:c\nOcena5=250:d\nOcena6=300:e\n";
    const ToolRun run = check(folder("Dlugi", test));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.standardError.find("więcej niż 255 pytań; pytania od 256."), std::string::npos)
        << run.standardError;
    EXPECT_NE(run.standardError.find("próg oceny 6 (300) przekracza liczbę pytań (255)"), std::string::npos);
    EXPECT_NE(run.standardOutput.find("Liczba pytań: 255\n"), std::string::npos);
}

} // namespace
} // namespace orbita::test
