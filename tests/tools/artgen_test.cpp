#include "tools/artgen/program_files.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

// Checks on the files that orbita-artgen writes into the program folder, read
// back with a parser of this test's own.
namespace orbita {
namespace {

struct Wav {
    std::uint32_t riffSize = 0;
    std::uint16_t format = 0;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t byteRate = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint32_t dataSize = 0;
    std::vector<std::int16_t> samples;
};

std::uint32_t le(const QByteArray& bytes, qsizetype at, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

// Walks the RIFF chunks; nothing when the header or a chunk is malformed or
// the data chunk reaches past the end of the file.
std::optional<Wav> parseWav(const QByteArray& bytes)
{
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return std::nullopt;
    Wav wav;
    wav.riffSize = le(bytes, 4, 4);
    bool haveFormat = false;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const std::uint32_t size = le(bytes, at + 4, 4);
        const qsizetype body = at + 8;
        if (body + static_cast<qsizetype>(size) > bytes.size())
            return std::nullopt;
        if (id == "fmt " && size >= 16) {
            wav.format = static_cast<std::uint16_t>(le(bytes, body, 2));
            wav.channels = static_cast<std::uint16_t>(le(bytes, body + 2, 2));
            wav.sampleRate = le(bytes, body + 4, 4);
            wav.byteRate = le(bytes, body + 8, 4);
            wav.blockAlign = static_cast<std::uint16_t>(le(bytes, body + 12, 2));
            wav.bitsPerSample = static_cast<std::uint16_t>(le(bytes, body + 14, 2));
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat || wav.bitsPerSample != 16)
                return std::nullopt;
            wav.dataSize = size;
            for (std::uint32_t i = 0; i + 1 < size; i += 2)
                wav.samples.push_back(static_cast<std::int16_t>(le(bytes, body + i, 2)));
            return wav;
        }
        at = body + size + (size & 1);
    }
    return std::nullopt;
}

struct SoundExpectation {
    const char* name;
    double shortest; // seconds
    double longest; // seconds
};

const SoundExpectation kSounds[] = {
    { "INTRO.WAV", 1.3, 1.7 },
    { "OTWORZ.WAV", 0.15, 0.25 },
    { "ZAMKNIJ.WAV", 0.15, 0.25 },
    { "INSTALUJ.WAV", 0.8, 1.2 },
};

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs the generator into `folder`; its exit code, or -1 when it did not run.
int runGenerator(const QString& folder)
{
    QProcess process;
    process.start(QStringLiteral(ORBITA_ARTGEN), { QStringLiteral("program-files"), folder });
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    return process.exitCode();
}

class ArtgenOutput : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_folder = new QTemporaryDir;
        s_exitCode = runGenerator(s_folder->path());
    }
    static void TearDownTestSuite()
    {
        delete s_folder;
        s_folder = nullptr;
    }
    void SetUp() override { ASSERT_EQ(s_exitCode, 0); }

    static QByteArray file(const char* name)
    {
        return readFile(QDir(s_folder->path()).filePath(QLatin1String(name)));
    }

    static Wav sound(const char* name)
    {
        const auto wav = parseWav(file(name));
        EXPECT_TRUE(wav.has_value()) << name;
        return wav.value_or(Wav {});
    }

    static QTemporaryDir* s_folder;
    static int s_exitCode;
};

QTemporaryDir* ArtgenOutput::s_folder = nullptr;
int ArtgenOutput::s_exitCode = -1;

double dbfs(int amplitude)
{
    return 20.0 * std::log10(amplitude / 32767.0);
}

int peakOf(const std::vector<std::int16_t>& samples, std::size_t from, std::size_t to)
{
    int peak = 0;
    for (std::size_t i = from; i < to && i < samples.size(); ++i)
        peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    return peak;
}

// Sign changes per second between two sample indices: twice the frequency of
// a pure tone.
double crossingsPerSecond(
    const std::vector<std::int16_t>& samples, std::size_t from, std::size_t to, int rate)
{
    int crossings = 0;
    int previous = 0;
    for (std::size_t i = from; i < to; ++i) {
        const int sign = samples[i] > 0 ? 1 : (samples[i] < 0 ? -1 : 0);
        if (sign != 0 && previous != 0 && sign != previous)
            ++crossings;
        if (sign != 0)
            previous = sign;
    }
    return crossings * static_cast<double>(rate) / static_cast<double>(to - from);
}

TEST_F(ArtgenOutput, WritesEveryFileOfItsTable)
{
    const QStringList written = QDir(s_folder->path()).entryList(QDir::Files, QDir::Name);
    QStringList expected;
    for (const auto& art : artgen::ProgramFiles())
        expected << art.name;
    expected.sort();
    EXPECT_EQ(written, expected);
    for (const char* name : { "INTRO.WAV", "OTWORZ.WAV", "ZAMKNIJ.WAV", "INSTALUJ.WAV", "FAKTURA.BMP" })
        EXPECT_TRUE(written.contains(QLatin1String(name))) << name;
}

TEST_F(ArtgenOutput, WavHeadersDescribeMono16BitPcmAndAgreeWithTheFileSize)
{
    for (const auto& expected : kSounds) {
        SCOPED_TRACE(expected.name);
        const QByteArray bytes = file(expected.name);
        const Wav wav = sound(expected.name);
        EXPECT_EQ(wav.riffSize, static_cast<std::uint32_t>(bytes.size() - 8));
        EXPECT_EQ(wav.format, 1);
        EXPECT_EQ(wav.channels, 1);
        EXPECT_EQ(wav.sampleRate, 22050u);
        EXPECT_EQ(wav.bitsPerSample, 16);
        EXPECT_EQ(wav.blockAlign, 2);
        EXPECT_EQ(wav.byteRate, 44100u);
        EXPECT_EQ(wav.dataSize, static_cast<std::uint32_t>(bytes.size() - 44));
        EXPECT_EQ(wav.samples.size() * 2, wav.dataSize);
    }
}

TEST_F(ArtgenOutput, SoundsLastAsLongAsTheirEventNeeds)
{
    for (const auto& expected : kSounds) {
        const Wav wav = sound(expected.name);
        const double seconds = static_cast<double>(wav.samples.size()) / 22050.0;
        EXPECT_GE(seconds, expected.shortest) << expected.name;
        EXPECT_LE(seconds, expected.longest) << expected.name;
    }
}

TEST_F(ArtgenOutput, SoundsRiseFromSilenceAndFadeBackWithoutClicks)
{
    for (const auto& expected : kSounds) {
        SCOPED_TRACE(expected.name);
        const Wav wav = sound(expected.name);
        ASSERT_GT(wav.samples.size(), 200u);
        const std::size_t n = wav.samples.size();
        EXPECT_LE(std::abs(static_cast<int>(wav.samples.front())), 8);
        EXPECT_LE(std::abs(static_cast<int>(wav.samples.back())), 8);
        // The first and the last millisecond stay well below the peak: the
        // sound neither starts nor stops abruptly.
        const int peak = peakOf(wav.samples, 0, n);
        EXPECT_LT(peakOf(wav.samples, 0, 22), peak / 10);
        EXPECT_LT(peakOf(wav.samples, n - 22, n), peak / 10);
    }
}

TEST_F(ArtgenOutput, SoundsPeakNearMinusSixDbfsWithoutClipping)
{
    for (const auto& expected : kSounds) {
        SCOPED_TRACE(expected.name);
        const Wav wav = sound(expected.name);
        const int peak = peakOf(wav.samples, 0, wav.samples.size());
        EXPECT_LT(peak, 32767);
        EXPECT_NEAR(dbfs(peak), -6.0, 1.0);
    }
}

TEST_F(ArtgenOutput, OpeningBlipRisesAndClosingBlipFalls)
{
    const Wav open = sound("OTWORZ.WAV");
    const Wav close = sound("ZAMKNIJ.WAV");
    ASSERT_GT(open.samples.size(), 1000u);
    ASSERT_GT(close.samples.size(), 1000u);
    const auto pitchChange = [](const Wav& wav) {
        const std::size_t n = wav.samples.size();
        const double early = crossingsPerSecond(wav.samples, n / 10, 4 * n / 10, 22050);
        const double late = crossingsPerSecond(wav.samples, 6 * n / 10, 9 * n / 10, 22050);
        return late / early;
    };
    EXPECT_GT(pitchChange(open), 1.15);
    EXPECT_LT(pitchChange(close), 1.0 / 1.15);
}

// Relative luminance of an sRGB colour, 0 for black and 1 for white.
double luminance(QRgb rgb)
{
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(rgb)) + 0.7152 * linear(qGreen(rgb)) + 0.0722 * linear(qBlue(rgb));
}

double channelDistance(QRgb a, QRgb b)
{
    return (std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)))
        / 3.0;
}

// Mean channel distance between column (or row) `a` and `b`.
double lineDistance(const QImage& image, int a, int b, bool columns)
{
    const int length = columns ? image.height() : image.width();
    double sum = 0.0;
    for (int i = 0; i < length; ++i) {
        sum += columns ? channelDistance(image.pixel(a, i), image.pixel(b, i))
                       : channelDistance(image.pixel(i, a), image.pixel(i, b));
    }
    return sum / length;
}

TEST_F(ArtgenOutput, TextureIsAnUncompressed24BitBitmap)
{
    const QByteArray bytes = file("FAKTURA.BMP");
    ASSERT_GE(bytes.size(), 54);
    EXPECT_TRUE(bytes.startsWith("BM"));
    EXPECT_EQ(le(bytes, 2, 4), static_cast<std::uint32_t>(bytes.size()));
    EXPECT_EQ(le(bytes, 28, 2), 24u); // bits per pixel
    EXPECT_EQ(le(bytes, 30, 4), 0u); // no compression
    const QImage image = QImage::fromData(bytes, "BMP");
    ASSERT_FALSE(image.isNull());
    EXPECT_GE(image.width(), 64);
    EXPECT_GE(image.height(), 64);
}

TEST_F(ArtgenOutput, TextureTilesWithoutVisibleSeams)
{
    const QImage image = QImage::fromData(file("FAKTURA.BMP"), "BMP");
    ASSERT_FALSE(image.isNull());
    for (const bool columns : { true, false }) {
        SCOPED_TRACE(columns ? "left and right edges" : "top and bottom edges");
        const int size = columns ? image.width() : image.height();
        // A seam shows when the step from the last line to the first is larger
        // than every step between two neighbouring lines inside the picture.
        double largestInside = 0.0;
        for (int i = 0; i + 1 < size; ++i)
            largestInside = std::max(largestInside, lineDistance(image, i, i + 1, columns));
        const double seam = lineDistance(image, size - 1, 0, columns);
        EXPECT_LE(seam, largestInside);
        EXPECT_GT(largestInside, 0.0); // a flat picture would pass trivially
    }
}

TEST_F(ArtgenOutput, BlackTextStaysReadableOnTheTexture)
{
    const QImage image = QImage::fromData(file("FAKTURA.BMP"), "BMP");
    ASSERT_FALSE(image.isNull());
    double sum = 0.0;
    double darkest = 1.0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const double l = luminance(image.pixel(x, y));
            sum += l;
            darkest = std::min(darkest, l);
        }
    }
    const double mean = sum / (image.width() * image.height());
    // Contrast ratio of black text, (L1 + 0.05) / (L2 + 0.05).
    EXPECT_GE((mean + 0.05) / 0.05, 7.0);
    EXPECT_GE((darkest + 0.05) / 0.05, 7.0);
    // A light background close to the plain window colour E4E4E4 (luminance 0.776).
    EXPECT_NEAR(mean, luminance(qRgb(0xE4, 0xE4, 0xE4)), 0.06);
}

TEST_F(ArtgenOutput, SecondRunWritesTheSameBytes)
{
    QTemporaryDir again;
    ASSERT_EQ(runGenerator(again.path()), 0);
    for (const auto& art : artgen::ProgramFiles()) {
        const QByteArray first = readFile(QDir(s_folder->path()).filePath(art.name));
        const QByteArray second = readFile(QDir(again.path()).filePath(art.name));
        EXPECT_FALSE(first.isEmpty()) << art.name.toStdString();
        EXPECT_EQ(first, second) << art.name.toStdString();
    }
}

TEST(Artgen, ListsTheFilesOfItsTable)
{
    QProcess process;
    process.start(QStringLiteral(ORBITA_ARTGEN), { QStringLiteral("list") });
    ASSERT_TRUE(process.waitForFinished(60000));
    ASSERT_EQ(process.exitCode(), 0);
    QStringList expected;
    for (const auto& art : artgen::ProgramFiles())
        expected << art.name;
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
        expected);
}

TEST(Artgen, RefusesAMissingCommandWithAUsageMessage)
{
    QProcess process;
    process.start(QStringLiteral(ORBITA_ARTGEN), { QStringLiteral("no-such-command") });
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_NE(process.exitCode(), 0);
    EXPECT_TRUE(process.readAllStandardError().contains("program-files"));
}

} // namespace
} // namespace orbita
