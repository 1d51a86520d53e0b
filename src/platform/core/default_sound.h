// The default sound every backend plays in place of a file that cannot be played, as Windows
// plays its own: one clip, the same on every platform.
#pragma once

#include <cstdint>
#include <vector>

inline constexpr int kSoundRate = 44100;
inline constexpr int kSoundChannels = 2;

// Interleaved left/right signed 16-bit samples at kSoundRate.
typedef std::vector<std::int16_t> SoundSamples;

// A soft two-tone chime.
void MakeDefaultSound(SoundSamples* samples);
