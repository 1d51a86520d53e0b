// WAV files, read and written in one place: the stand-in's sound service reads them, the
// soundtrack generator writes the demo's music, and the tests do both.
//
// Plain standard C++ and nothing else, so the generator can also be built for the build
// machine when the program itself is cross-compiled.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Reading. Every size in the file is checked against the bytes actually there before it is
// used, so a truncated, corrupt or hostile file is refused rather than read past its end.
// Accepts integer PCM at 8 or 16 bits, mono or stereo, plain or in the extensible header.
struct WavPcm {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;                  // 8: unsigned samples, 16: signed little-endian
    const std::uint8_t* samples = nullptr;  // points into the image given to ParseWav
    std::size_t frameCount = 0;             // whole frames only; a partial last frame is dropped
    // As the header states them. Reading needs neither (streaming tools often get them
    // wrong), so they are reported, not checked.
    std::uint32_t riffSize = 0;
    std::uint32_t byteRate = 0;
};

// True when the image holds playable PCM; otherwise false with a short reason in *why.
bool ParseWav(const std::uint8_t* image, std::size_t size, WavPcm* pcm, const char** why);

// Writing: the canonical image, a RIFF header, a 16-byte PCM "fmt " chunk and a "data" chunk.
struct WavFormat {
    int channels = 1;
    int sampleRate = 44100;
    int bitsPerSample = 16;  // 16 or 8
};

// Byte offsets into a canonical image.
inline constexpr std::size_t kWavFmtSizeOffset = 16;
inline constexpr std::size_t kWavFmtBodyOffset = 20;
inline constexpr std::size_t kWavDataSizeOffset = 40;
inline constexpr std::size_t kWavDataOffset = 44;

// The samples are interleaved and stored as given: at 16 bits signed, at 8 bits the stored
// unsigned value (0 to 255, 128 being silence).
std::vector<std::uint8_t> EncodeWav(const WavFormat& format, std::span<const std::int16_t> samples);

// False when the file cannot be created or fully written.
bool WriteWavFile(const std::string& path, const std::vector<std::uint8_t>& image);
