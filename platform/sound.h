#pragma once

#include <functional>
#include <string>

namespace orbita {

// Plays a WAV file asynchronously, once or in a loop, stopping whatever was
// playing. A missing or unreadable file, or no audio device, gives silence;
// never an error and never a wait. Call from the user-interface thread.
void PlaySoundFile(const std::string& path, bool loop = false);
void StopSound();

// Tests: while set, every sound that would start is handed to `listener`
// (path and loop flag) instead of the audio device; an empty function
// restores playing.
using SoundListener = std::function<void(const std::string& path, bool loop)>;
void SetSoundListener(SoundListener listener);

} // namespace orbita
