#pragma once

#include "tools/artgen/wav_synth.h"

namespace orbita::artgen {

// The sound events of the program, one design each.

// Program start: a rising major arpeggio that rings out, about 1.5 s.
SoundDesign IntroSound();
// A window opens: a short, soft rising blip.
SoundDesign OpenSound();
// A window closes: the opening blip falling instead of rising.
SoundDesign CloseSound();
// Installation finished: a bright major chord, about 1 s.
SoundDesign InstallSound();

} // namespace orbita::artgen
