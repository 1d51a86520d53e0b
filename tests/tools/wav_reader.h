// A small WAVE reader for the tests: walks the RIFF chunks itself, so a header the
// generator got wrong is caught here rather than trusted.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct WavFile {
    bool ok = false;
    std::string error;
    std::uint32_t riffSize = 0;
    std::uint16_t format = 0;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t byteRate = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::vector<std::int16_t> samples;  // interleaved, 16-bit files only
};

std::vector<unsigned char> ReadFileBytes(const std::string& path);
WavFile ParseWav(const std::vector<unsigned char>& bytes);
