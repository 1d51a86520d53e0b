// Reads the PCM layout out of a RIFF/WAVE file image held in memory.
//
// Every size in the file is checked against the bytes actually there before it is used,
// so a truncated, corrupt or hostile file is refused rather than read past its end.
// Accepts integer PCM at 8 or 16 bits, mono or stereo, plain or in the extensible header.
#pragma once

#include <cstddef>
#include <cstdint>

struct WavPcm {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;                  // 8: unsigned samples, 16: signed little-endian
    const std::uint8_t* samples = nullptr;  // points into the image given to ParseWav
    std::size_t frameCount = 0;             // whole frames only; a partial last frame is dropped
};

// True when the image holds playable PCM; otherwise false with a short reason in *why.
bool ParseWav(const std::uint8_t* image, std::size_t size, WavPcm* pcm, const char** why);
