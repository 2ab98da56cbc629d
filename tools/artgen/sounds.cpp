#include "tools/artgen/sounds.h"

#include <array>

namespace orbita::artgen {
namespace {

// Equal-tempered pitches (A4 = 440 Hz).
constexpr double kC5 = 523.251;
constexpr double kD5 = 587.330;
constexpr double kE5 = 659.255;
constexpr double kG5 = 783.991;
constexpr double kA5 = 880.000;
constexpr double kC6 = 1046.502;

// A struck, bell-like note: the fundamental and a few harmonics, the higher
// ones quieter and dying away sooner. The note lasts until `end`.
struct Strike {
    double frequency;
    double start;
    double end;
    double decay; // time constant of the fundamental in seconds
    double release; // seconds of the final fade to silence
    double loudness = 1.0;
};

void addStrike(SoundDesign& design, const Strike& strike, const std::array<double, 4>& harmonics)
{
    for (std::size_t i = 0; i < harmonics.size(); ++i) {
        if (harmonics[i] <= 0.0)
            continue;
        const double number = static_cast<double>(i + 1);
        Tone tone;
        tone.start = strike.start;
        tone.length = strike.end - strike.start;
        tone.frequency = strike.frequency * number;
        tone.amplitude = strike.loudness * harmonics[i];
        tone.attack = 0.008;
        tone.decay = strike.decay / number;
        tone.release = strike.release;
        design.tones.push_back(tone);
    }
}

// A soft blip gliding from one pitch to another: a sine with a faint octave.
SoundDesign blip(double from, double to)
{
    SoundDesign design;
    design.duration = 0.2;
    Tone tone;
    tone.length = design.duration;
    tone.frequency = from;
    tone.endFrequency = to;
    tone.attack = 0.025;
    tone.release = 0.12;
    design.tones.push_back(tone);
    tone.frequency = 2.0 * from;
    tone.endFrequency = 2.0 * to;
    tone.amplitude = 0.2;
    design.tones.push_back(tone);
    return design;
}

} // namespace

SoundDesign IntroSound()
{
    SoundDesign design;
    design.duration = 1.5;
    const std::array<double, 4> notes = { kC5, kE5, kG5, kC6 };
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const double start = 0.14 * static_cast<double>(i);
        // The last note is held a little louder so that the arpeggio resolves on it.
        const double loudness = i + 1 == notes.size() ? 1.0 : 0.8;
        addStrike(
            design, { notes[i], start, design.duration, 0.5, 0.35, loudness }, { 1.0, 0.35, 0.12, 0.0 });
    }
    return design;
}

SoundDesign OpenSound()
{
    return blip(kD5, kA5);
}

SoundDesign CloseSound()
{
    return blip(kA5, kD5);
}

SoundDesign InstallSound()
{
    SoundDesign design;
    design.duration = 1.0;
    const std::array<double, 4> notes = { kC5, kE5, kG5, kC6 };
    for (std::size_t i = 0; i < notes.size(); ++i) {
        // A quick strum rather than four exactly simultaneous onsets.
        const double start = 0.012 * static_cast<double>(i);
        addStrike(design, { notes[i], start, design.duration, 0.4, 0.3 }, { 1.0, 0.4, 0.2, 0.1 });
    }
    return design;
}

} // namespace orbita::artgen
