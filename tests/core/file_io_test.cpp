#include "core/file_io.h"
#include "core/move_into_place.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orbita {
namespace {

namespace fs = std::filesystem;

class FileIo : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = fs::temp_directory_path() / ("orbita-file-io-test-" + std::to_string(::getpid()));
        fs::remove_all(m_folder);
        fs::create_directories(m_folder / "page" / "sub");
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string write(const fs::path& relative, const std::string& bytes)
    {
        const fs::path path = m_folder / relative;
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }
    static std::string read(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Everything in the folder but the given names (a temporary file left behind).
    std::vector<std::string> othersIn(const fs::path& folder, const std::vector<std::string>& known) const
    {
        std::vector<std::string> others;
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (std::find(known.begin(), known.end(), name) == known.end())
                others.push_back(name);
        }
        return others;
    }

    fs::path m_folder;
};

// Only regular files are read, a FIFO without waiting for a writer (a hang
// would be stopped by the test's timeout), and never beyond the limit.
TEST_F(FileIo, ReadsOnlyRegularFilesUpToTheLimit)
{
    const std::string fifo = (m_folder / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path;
        std::uint64_t limit;
        FileProblem problem;
        std::string bytes;
    } cases[] = {
        { write("a.txt", "abc"), 3, FileProblem::None, "abc" },
        { write("empty.txt", ""), 3, FileProblem::None, "" },
        { write("b.txt", "abcd"), 3, FileProblem::TooLarge, "" },
        { (m_folder / "missing.txt").string(), 3, FileProblem::Missing, "" },
        { (m_folder / "a.txt" / "x").string(), 3, FileProblem::Missing, "" },
        { (m_folder / "page").string(), 3, FileProblem::Folder, "" },
        { fifo, 3, FileProblem::NotRegular, "" },
        { "/dev/zero", 3, FileProblem::NotRegular, "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const FileRead result = ReadRegularFile(c.path, c.limit);
        EXPECT_EQ(result.problem, c.problem);
        EXPECT_EQ(result.bytes, c.bytes);
    }
    EXPECT_EQ(FileProblemText(FileProblem::Folder), "to jest folder, nie plik");
}

TEST_F(FileIo, WritesThroughATemporaryFileAndRefusesWhatIsNoRegularFile)
{
    const fs::path target = m_folder / "out.txt";
    EXPECT_EQ(WriteFileAtomically(target.string(), "first", 0640), FileProblem::None);
    EXPECT_EQ(read(target), "first");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::others_read, fs::perms::none);
    // A replaced file keeps its permissions.
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    EXPECT_EQ(WriteFileAtomically(target.string(), "second", 0600), FileProblem::None);
    EXPECT_EQ(read(target), "second");
    EXPECT_NE(fs::status(target).permissions() & fs::perms::others_read, fs::perms::none);

    const std::string fifo = (m_folder / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(WriteFileAtomically(fifo, "x"), FileProblem::NotRegular);
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(WriteFileAtomically((m_folder / "page").string(), "x"), FileProblem::Folder);
    EXPECT_EQ(WriteFileAtomically((m_folder / "missing" / "out.txt").string(), "x"), FileProblem::Missing);
    EXPECT_EQ(WriteFileAtomically("/dev/null", "x"), FileProblem::NotRegular);
    EXPECT_EQ(othersIn(m_folder, { "out.txt", "fifo", "page" }), std::vector<std::string> {});
}

TEST_F(FileIo, PathsStayInsideTheirFolder)
{
    const fs::path page = m_folder / "page";
    write("page/a.gif", "a");
    write("page/sub/b.gif", "b");
    write("outside.gif", "o");
    fs::create_symlink(m_folder / "outside.gif", page / "out-link.gif");
    fs::create_symlink(page / "a.gif", page / "in-link.gif");
    fs::create_symlink("..", page / "up");
    const std::string real = fs::canonical(page).string();
    const struct {
        std::string name;
        std::optional<std::string> expected;
    } cases[] = {
        { "a.gif", real + "/a.gif" },
        { "sub/b.gif", real + "/sub/b.gif" },
        { "sub/../a.gif", real + "/a.gif" },
        { "in-link.gif", real + "/a.gif" },
        { real + "/a.gif", real + "/a.gif" }, // absolute, yet inside
        { "../outside.gif", std::nullopt },
        { "sub/../../outside.gif", std::nullopt },
        { "out-link.gif", std::nullopt },
        { "up/outside.gif", std::nullopt },
        { (m_folder / "outside.gif").string(), std::nullopt },
        { "/etc/passwd", std::nullopt },
        { "missing.gif", std::nullopt },
        { ".", std::nullopt },
        { "", std::nullopt },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PathInsideFolder(page.string(), c.name), c.expected);
    }
}

TEST_F(FileIo, CopyIntoPlaceStoresAWholeFileWithTheModeOfItsKind)
{
    const std::string program = write("orbita.new", std::string(200000, 'x'));
    ::chmod(program.c_str(), 0700);
    const std::string text = write("notes.txt", "abc");
    const fs::path into = m_folder / "page";

    ASSERT_TRUE(CopyIntoPlace(program, (into / "orbita").string(), false).Ok());
    ASSERT_TRUE(CopyIntoPlace(text, (into / "notes.txt").string(), false).Ok());
    EXPECT_EQ(read(into / "orbita"), std::string(200000, 'x'));
    EXPECT_EQ(fs::status(into / "orbita").permissions() & fs::perms::all, static_cast<fs::perms>(0755));
    EXPECT_EQ(fs::status(into / "notes.txt").permissions() & fs::perms::all, static_cast<fs::perms>(0644));
    EXPECT_TRUE(fs::exists(program)) << "a copy keeps its source";
    EXPECT_TRUE(othersIn(into, { "orbita", "notes.txt", "sub" }).empty());
}

TEST_F(FileIo, APackageNeverReplacesAnExistingFileAndTheSetupFileDoes)
{
    const std::string target = write("page/Kwasy.obt", "the pupil's copy");
    const std::string download = write("download.part", "new bytes");

    MoveOutcome kept = MoveIntoPlace(download, target, false);
    EXPECT_EQ(kept.problem, FileProblem::Exists);
    EXPECT_NE(kept.message.find("Kwasy.obt"), std::string::npos) << kept.message;
    EXPECT_EQ(read(target), "the pupil's copy");
    EXPECT_TRUE(fs::exists(download)) << "a refused move keeps its source";

    MoveOutcome replaced = MoveIntoPlace(download, target, true);
    EXPECT_TRUE(replaced.Ok()) << replaced.message;
    EXPECT_TRUE(replaced.message.empty());
    EXPECT_EQ(read(target), "new bytes");
    EXPECT_FALSE(fs::exists(download)) << "a move removes its source";
    EXPECT_TRUE(othersIn(m_folder / "page", { "Kwasy.obt", "sub" }).empty());
}

TEST_F(FileIo, TheSameFileUnderAnyNameIsLeftAsItIs)
{
    // The installer started from the installed folder copies a file onto
    // itself; a hard link is the same file under another name.
    const std::string file = write("page/ORBITA.DAT", "archive");
    const std::string alias = (m_folder / "alias.dat").string();
    ASSERT_EQ(::link(file.c_str(), alias.c_str()), 0);

    for (const std::string& source : { file, alias }) {
        const MoveOutcome outcome = MoveIntoPlace(source, file, true);
        EXPECT_TRUE(outcome.Ok());
        EXPECT_TRUE(outcome.sameFile);
        EXPECT_EQ(read(file), "archive");
    }
    EXPECT_TRUE(fs::exists(alias)) << "the same file is not removed as a moved source";
}

TEST_F(FileIo, FailuresNameTheFileAndLeaveNothingBehind)
{
    const std::string source = write("source.bin", "data");
    const std::string notAFolder = write("plain", "x");

    const MoveOutcome noSource
        = CopyIntoPlace((m_folder / "absent").string(), (m_folder / "t").string(), false);
    EXPECT_EQ(noSource.problem, FileProblem::Missing);
    EXPECT_NE(noSource.message.find("Nie można odczytać pliku „"), std::string::npos) << noSource.message;

    const MoveOutcome underAFile = MoveIntoPlace(source, notAFolder + "/t", false);
    EXPECT_FALSE(underAFile.Ok());
    EXPECT_NE(underAFile.message.find(notAFolder + "/t"), std::string::npos) << underAFile.message;

    const MoveOutcome ontoAFolder = MoveIntoPlace(source, (m_folder / "page").string(), true);
    EXPECT_EQ(ontoAFolder.problem, FileProblem::Folder);

    const MoveOutcome fromAFolder
        = CopyIntoPlace((m_folder / "page").string(), (m_folder / "t").string(), false);
    EXPECT_EQ(fromAFolder.problem, FileProblem::Folder);

    EXPECT_EQ(read(source), "data");
    EXPECT_TRUE(othersIn(m_folder, { "source.bin", "plain", "page" }).empty());
}

} // namespace
} // namespace orbita
