#include "tools/artgen/wav_synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orbita::artgen {
namespace {

// 0 at x = 0 rising smoothly to 1 at x = 1, flat at both ends.
double raisedCosine(double x)
{
    if (x <= 0.0)
        return 0.0;
    if (x >= 1.0)
        return 1.0;
    return 0.5 - 0.5 * std::cos(std::numbers::pi * x);
}

double envelope(const Tone& tone, double t)
{
    if (t <= 0.0 || t >= tone.length)
        return 0.0;
    double level = tone.attack > 0.0 ? raisedCosine(t / tone.attack) : 1.0;
    if (tone.decay > 0.0)
        level *= std::exp(-t / tone.decay);
    if (tone.release > 0.0)
        level *= raisedCosine((tone.length - t) / tone.release);
    return level;
}

void addTone(const Tone& tone, double duration, int sampleRate, std::vector<double>& mix)
{
    const double length = std::min(tone.length, duration - tone.start);
    if (length <= 0.0 || tone.frequency <= 0.0)
        return;
    Tone clipped = tone;
    clipped.length = length;
    const double endFrequency = tone.endFrequency > 0.0 ? tone.endFrequency : tone.frequency;
    const double glide = std::log(endFrequency / tone.frequency) / tone.length;
    const auto first = static_cast<std::size_t>(std::ceil(tone.start * sampleRate));
    double phase = 0.0;
    for (std::size_t i = first; i < mix.size(); ++i) {
        const double t = static_cast<double>(i) / sampleRate - tone.start;
        if (t >= length)
            break;
        mix[i] += tone.amplitude * envelope(clipped, t) * std::sin(phase);
        const double frequency = tone.frequency * std::exp(glide * t);
        phase = std::fmod(phase + 2.0 * std::numbers::pi * frequency / sampleRate, 2.0 * std::numbers::pi);
    }
}

void putLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>((value >> (8 * i)) & 0xFFu));
}

void putTag(std::vector<std::uint8_t>& out, const char (&tag)[5])
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(tag[i]));
}

} // namespace

std::vector<std::int16_t> Synthesise(const SoundDesign& design, int sampleRate)
{
    if (design.duration <= 0.0 || sampleRate <= 0)
        return {};
    const auto count = static_cast<std::size_t>(std::lround(design.duration * sampleRate)) + 1;
    std::vector<double> mix(count, 0.0);
    for (const Tone& tone : design.tones)
        addTone(tone, design.duration, sampleRate, mix);

    double loudest = 0.0;
    for (double value : mix)
        loudest = std::max(loudest, std::abs(value));
    std::vector<std::int16_t> samples(count, 0);
    if (loudest <= 0.0)
        return samples;
    const double scale = 32767.0 * std::pow(10.0, design.peakDbfs / 20.0) / loudest;
    for (std::size_t i = 0; i < count; ++i) {
        const long value = std::lround(mix[i] * scale);
        samples[i] = static_cast<std::int16_t>(std::clamp(value, -32767L, 32767L));
    }
    return samples;
}

std::vector<std::uint8_t> EncodeWav(const std::vector<std::int16_t>& samples, int sampleRate)
{
    constexpr std::uint32_t channels = 1;
    constexpr std::uint32_t bitsPerSample = 16;
    constexpr std::uint32_t blockAlign = channels * bitsPerSample / 8;
    const auto dataSize = static_cast<std::uint32_t>(samples.size() * blockAlign);

    std::vector<std::uint8_t> out;
    out.reserve(44 + dataSize);
    putTag(out, "RIFF");
    putLe(out, 36 + dataSize, 4); // size of everything after this field
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    putLe(out, 16, 4); // size of the PCM format record
    putLe(out, 1, 2); // format: integer PCM
    putLe(out, channels, 2);
    putLe(out, static_cast<std::uint32_t>(sampleRate), 4);
    putLe(out, static_cast<std::uint32_t>(sampleRate) * blockAlign, 4); // bytes per second
    putLe(out, blockAlign, 2); // bytes per sample frame
    putLe(out, bitsPerSample, 2);
    putTag(out, "data");
    putLe(out, dataSize, 4);
    for (std::int16_t sample : samples)
        putLe(out, static_cast<std::uint16_t>(sample), 2);
    return out;
}

} // namespace orbita::artgen
