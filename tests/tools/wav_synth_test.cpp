#include "tools/artgen/wav_synth.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

namespace orbita::artgen {
namespace {

int peakOf(const std::vector<std::int16_t>& samples)
{
    int peak = 0;
    for (std::int16_t sample : samples)
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    return peak;
}

// Upward zero crossings per second: the frequency of a pure tone.
double frequencyOf(const std::vector<std::int16_t>& samples, std::size_t from, std::size_t to, int rate)
{
    int upward = 0;
    for (std::size_t i = from + 1; i < to; ++i) {
        if (samples[i - 1] < 0 && samples[i] >= 0)
            ++upward;
    }
    return upward * static_cast<double>(rate) / static_cast<double>(to - from);
}

SoundDesign singleTone(double frequency, double duration)
{
    SoundDesign design;
    design.duration = duration;
    Tone tone;
    tone.length = duration;
    tone.frequency = frequency;
    design.tones.push_back(tone);
    return design;
}

TEST(WavSynth, HoldsOneSamplePerPeriodFromStartToEndInclusive)
{
    EXPECT_EQ(Synthesise(singleTone(440.0, 1.0)).size(), 22051u);
    EXPECT_EQ(Synthesise(singleTone(440.0, 0.2), 8000).size(), 1601u);
    EXPECT_TRUE(Synthesise(singleTone(440.0, 0.0)).empty());
}

TEST(WavSynth, ToneSoundsAtItsFrequency)
{
    const struct {
        double frequency;
        int rate;
    } rows[] = { { 440.0, 22050 }, { 1000.0, 22050 }, { 2500.0, 44100 } };
    for (const auto& row : rows) {
        const auto samples = Synthesise(singleTone(row.frequency, 1.0), row.rate);
        const double measured = frequencyOf(samples, samples.size() / 10, 9 * samples.size() / 10, row.rate);
        EXPECT_NEAR(measured, row.frequency, row.frequency * 0.01) << row.frequency;
    }
}

TEST(WavSynth, GlideFollowsAnExponentialPath)
{
    SoundDesign design = singleTone(500.0, 1.0);
    design.tones[0].endFrequency = 1000.0;
    const auto samples = Synthesise(design);
    const std::size_t n = samples.size();
    // An exponential glide from 500 to 1000 Hz over 1 s is at 500 · 2^t Hz after t
    // seconds; the pitch measured over a short window is close to its middle.
    const double late = frequencyOf(samples, 85 * n / 100, 95 * n / 100, kSampleRate);
    const double early = frequencyOf(samples, 5 * n / 100, 15 * n / 100, kSampleRate);
    EXPECT_NEAR(late, 500.0 * std::pow(2.0, 0.9), 15.0);
    EXPECT_NEAR(early, 500.0 * std::pow(2.0, 0.1), 15.0);
}

TEST(WavSynth, LoudestSampleReachesTheRequestedPeak)
{
    for (const double peak : { -6.0, -12.0, -1.0 }) {
        SoundDesign design = singleTone(700.0, 0.3);
        design.tones.push_back(design.tones[0]);
        design.tones[1].frequency = 1050.0;
        design.tones[1].amplitude = 3.0;
        design.peakDbfs = peak;
        EXPECT_EQ(peakOf(Synthesise(design)), std::lround(32767.0 * std::pow(10.0, peak / 20.0))) << peak;
    }
}

TEST(WavSynth, TonesStartAndEndInSilenceEvenWhenCutOffByTheDuration)
{
    SoundDesign design = singleTone(900.0, 0.5);
    design.tones[0].length = 2.0; // reaches far past the end of the sound
    Tone late;
    late.start = 0.25;
    late.length = 0.25;
    late.frequency = 1200.0;
    design.tones.push_back(late);
    const auto samples = Synthesise(design);
    ASSERT_EQ(samples.size(), 11026u);
    EXPECT_EQ(samples.front(), 0);
    EXPECT_EQ(samples.back(), 0);
    // The cut-off tone still fades: the last 5 ms are far below the peak.
    int tail = 0;
    for (std::size_t i = samples.size() - 110; i < samples.size(); ++i)
        tail = std::max(tail, std::abs(static_cast<int>(samples[i])));
    EXPECT_LT(tail, peakOf(samples) / 4);
}

TEST(WavSynth, SilentDesignGivesSilence)
{
    SoundDesign design;
    design.duration = 0.1;
    const auto samples = Synthesise(design);
    ASSERT_EQ(samples.size(), 2206u);
    EXPECT_EQ(peakOf(samples), 0);
}

TEST(WavSynth, WavFileHoldsTheHeaderAndTheSamplesLittleEndian)
{
    const std::vector<std::int16_t> samples = { 0, 1, -1, 32767, -32767, 0x1234 };
    const auto bytes = EncodeWav(samples, 11025);
    ASSERT_EQ(bytes.size(), 44u + 12u);
    const auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(
            bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | bytes[at + 3] << 24);
    };
    const auto u16
        = [&](std::size_t at) { return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8); };
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(u32(4), 48u);
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(u32(16), 16u);
    EXPECT_EQ(u16(20), 1);
    EXPECT_EQ(u16(22), 1);
    EXPECT_EQ(u32(24), 11025u);
    EXPECT_EQ(u32(28), 22050u);
    EXPECT_EQ(u16(32), 2);
    EXPECT_EQ(u16(34), 16);
    EXPECT_EQ(std::string(bytes.begin() + 36, bytes.begin() + 40), "data");
    EXPECT_EQ(u32(40), 12u);
    for (std::size_t i = 0; i < samples.size(); ++i)
        EXPECT_EQ(static_cast<std::int16_t>(u16(44 + 2 * i)), samples[i]) << i;
}

} // namespace
} // namespace orbita::artgen
