#include "core/file_version.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orbita {
namespace {

const std::string kDash = "\u2014";

TEST(FileVersion, FindsTheFirstCompleteMarker)
{
    const struct {
        std::string bytes;
        std::string expected;
    } cases[] = {
        { "ORBITA-FILEVERSION:3.5.1.0", "3.5.1.0" },
        { std::string("xx\0ORBITA-FILEVERSION:3.5.1.0\0yy", 32), "3.5.1.0" },
        { "ORBITA-FILEVERSION:03.005.1.00x", "3.5.1.0" },
        { "ORBITA-FILEVERSION:65535.0.0.1", "65535.0.0.1" },
        // A bare marker (the scanner's own text) is skipped, the next one counts.
        { std::string("ORBITA-FILEVERSION:\0ORBITA-FILEVERSION:4.0.2.7", 46), "4.0.2.7" },
        { "ORBITA-FILEVERSION:3.5.1ORBITA-FILEVERSION:1.2.3.4", "1.2.3.4" },
        { "ORBITA-FILEVERSION:3.5.1.0.9", "3.5.1.0" },
        { "ORBITA-FILEVERSION:65536.0.0.1", "" },
        { "ORBITA-FILEVERSION:123456.0.0.1", "" },
        { "ORBITA-FILEVERSION:3.5..1.0", "" },
        { "ORBITA-FILEVERSION:3.5.1.", "" },
        { "ORBITA-FILEVERSION:3.5.1", "" },
        { "ORBITA-FILEVERSION:a.b.c.d", "" },
        { "orbita-fileversion:3.5.1.0", "" },
        { "", "" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindFileVersion(c.bytes), c.expected) << c.bytes;
}

class FileVersionFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder
            = std::filesystem::temp_directory_path() / ("orbita-version-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_folder);
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::string write(const std::string& bytes)
    {
        const auto path = m_folder / "orbita";
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    std::filesystem::path m_folder;
};

TEST_F(FileVersionFile, MarkerStraddlingTheReadChunksIsFound)
{
    const std::string marker = "ORBITA-FILEVERSION:12.34.56.78";
    constexpr std::size_t kChunk = 64 * 1024;
    // Every place where the marker or its numbers cross the first or second
    // chunk boundary, and a marker ending exactly at the end of the file.
    for (std::size_t chunkEnd : { kChunk, 2 * kChunk }) {
        for (std::size_t before = 0; before <= marker.size() + 1; ++before) {
            std::string bytes(chunkEnd - before, '\x7f');
            bytes += marker;
            EXPECT_EQ(FileVersionText(write(bytes)), "12.34.56.78") << chunkEnd << " " << before;
            bytes += std::string(5000, 'z');
            EXPECT_EQ(FileVersionText(write(bytes)), "12.34.56.78") << chunkEnd << " " << before;
        }
    }
}

TEST_F(FileVersionFile, NumberContinuingInTheNextChunkIsNotCutShort)
{
    constexpr std::size_t kChunk = 64 * 1024;
    // "3.5.1.1" ends exactly at the chunk boundary, but the build number goes
    // on with "2" in the next chunk.
    const std::string head = "ORBITA-FILEVERSION:3.5.1.1";
    std::string bytes(kChunk - head.size(), ' ');
    bytes += head + "2 tail";
    EXPECT_EQ(FileVersionText(write(bytes)), "3.5.1.12");
}

TEST_F(FileVersionFile, DashWhenThereIsNoVersion)
{
    EXPECT_EQ(FileVersionText((m_folder / "missing").string()), kDash);
    EXPECT_EQ(FileVersionText(""), kDash);
    EXPECT_EQ(FileVersionText(m_folder.string()), kDash);
    EXPECT_EQ(FileVersionText(write(std::string(200000, 'x') + "ORBITA-FILEVERSION:")), kDash);
    EXPECT_EQ(FileVersionText(write("")), kDash);
    // Devices and FIFOs are refused without reading from them.
    EXPECT_EQ(FileVersionText("/dev/zero"), kDash);
    EXPECT_FALSE(ReadFileVersion("/dev/zero").readable);
    const auto fifo = (m_folder / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(ReadFileVersion(fifo).readable);
    EXPECT_FALSE(ReadFileVersion((m_folder / "missing").string()).readable);
    const auto plain = ReadFileVersion(write("no marker"));
    EXPECT_TRUE(plain.readable);
    EXPECT_EQ(plain.version, "");
    EXPECT_EQ(kDash.size(), 3u); // one character, U+2014, in UTF-8
}

} // namespace
} // namespace orbita
