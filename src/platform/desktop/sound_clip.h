// What the sound service plays: whole clips in the one device format, decoded up front.
//
// The device runs at 44100 Hz, stereo, signed 16-bit native-endian samples, whatever the
// files are; every file is converted to that on loading, so playback is a plain copy.
#pragma once

#include <cstdint>
#include <vector>

inline constexpr int kSoundRate = 44100;
inline constexpr int kSoundChannels = 2;

// Interleaved left/right samples in the device format.
typedef std::vector<std::int16_t> SoundSamples;

// Reads and converts a WAV file. False, with a short reason in *why, when the file is
// missing, unreadable, too large or not PCM this service decodes; *samples is then untouched.
bool LoadSoundFile(const char* path, SoundSamples* samples, const char** why);

// The built-in sound played in place of a file that cannot be played: a soft two-tone chime.
void MakeDefaultSound(SoundSamples* samples);
