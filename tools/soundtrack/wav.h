// The RIFF WAVE container for the soundtrack: 16-bit PCM, mono, 44100 Hz.
#pragma once

#include <cstdint>
#include <vector>

namespace soundtrack {

inline constexpr int kChannels = 1;
inline constexpr int kBitsPerSample = 16;

std::vector<unsigned char> EncodeWav(const std::vector<std::int16_t>& pcm);

// False when the file cannot be opened or fully written.
bool WriteFileBytes(const char* path, const std::vector<unsigned char>& bytes);

}  // namespace soundtrack
