#pragma once

#include <cstdint>
#include <vector>

namespace orbita::artgen {

// The format of every sound the program plays: 16-bit PCM, one channel.
inline constexpr int kSampleRate = 22050;

// One sine partial. It rises from silence with a raised-cosine attack, may
// decay exponentially, and falls back to silence with a raised-cosine release
// that ends exactly `length` seconds after `start`.
struct Tone {
    double start = 0.0; // seconds from the beginning of the sound
    double length = 0.2; // seconds from `start` until the tone is silent again
    double frequency = 440.0; // Hz at the start
    double endFrequency = 0.0; // Hz at the end, reached along an exponential glide; 0 keeps the pitch
    double amplitude = 1.0; // relative to the other tones of the sound
    double attack = 0.005; // seconds of the rise from silence
    double decay = 0.0; // time constant of the exponential decay in seconds; 0 means none
    double release = 0.02; // seconds of the fall to silence at the end
};

// A sound: partials mixed over a fixed duration and scaled so that the loudest
// sample reaches `peakDbfs` (decibels relative to full scale).
struct SoundDesign {
    double duration = 0.2; // seconds
    std::vector<Tone> tones;
    double peakDbfs = -6.0;
};

// Mixes the tones of `design` at `sampleRate` samples per second. The result
// holds one sample per 1/sampleRate seconds from 0 to `duration` inclusive, so
// the first and the last sample lie on the silent ends of every tone. Tones
// that reach past `duration` are cut off there by their own release. An empty
// design, or one whose tones are all silent, gives silence.
std::vector<std::int16_t> Synthesise(const SoundDesign& design, int sampleRate = kSampleRate);

// A RIFF/WAVE file holding `samples` as 16-bit little-endian PCM, one channel.
std::vector<std::uint8_t> EncodeWav(const std::vector<std::int16_t>& samples, int sampleRate = kSampleRate);

} // namespace orbita::artgen
