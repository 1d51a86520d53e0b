// The default sound every backend plays in place of a file that cannot be played, as Windows
// plays its own: one clip, the same on every platform.
#pragma once

#include <cstdint>
#include <vector>

namespace standin {

inline constexpr int kSoundRate = 44100;
inline constexpr int kSoundChannels = 2;

// Interleaved left/right signed 16-bit samples at kSoundRate.
typedef std::vector<std::int16_t> SoundSamples;

// A soft two-tone chime.
void MakeDefaultSound(SoundSamples* samples);

// What a file that cannot be played gives: the default sound, or silence where the program
// asked for none (SND_NODEFAULT). Says so on stderr in one line, naming the file and why (and,
// with `instead`, what plays instead, e.g. "playing the default sound"). True when the default
// sound plays instead; then `clip`, where given, holds it.
bool DefaultInstead(const char* path, const char* why, bool useDefault, const char* instead,
                    SoundSamples* clip);

}  // namespace standin
