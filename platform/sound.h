#pragma once

#include <string>

namespace orbita {

// Plays a WAV file asynchronously, once or in a loop, stopping whatever was
// playing. A missing or unreadable file, or no audio device, gives silence;
// never an error and never a wait. Call from the user-interface thread.
void PlaySoundFile(const std::string& path, bool loop = false);
void StopSound();

} // namespace orbita
