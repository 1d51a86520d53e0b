// Parses RIFF WAVE bytes into format fields and 16-bit samples.
#include "wav_reader.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

std::uint32_t Le32(const std::vector<unsigned char>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 |
           static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::uint16_t Le16(const std::vector<unsigned char>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

bool TagAt(const std::vector<unsigned char>& b, std::size_t at, const char* tag) {
    return at + 4 <= b.size() && std::memcmp(b.data() + at, tag, 4) == 0;
}

WavFile Fail(WavFile wav, const char* why) {
    wav.ok = false;
    wav.error = why;
    return wav;
}

}  // namespace

std::vector<unsigned char> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

WavFile ParseWav(const std::vector<unsigned char>& b) {
    WavFile wav;
    if (b.size() < 12 || !TagAt(b, 0, "RIFF") || !TagAt(b, 8, "WAVE"))
        return Fail(wav, "not RIFF WAVE");
    wav.riffSize = Le32(b, 4);
    bool haveFormat = false;
    bool haveData = false;
    std::size_t at = 12;
    while (at + 8 <= b.size()) {
        const std::uint32_t size = Le32(b, at + 4);
        const std::size_t body = at + 8;
        if (body + size > b.size()) return Fail(wav, "chunk runs past the end");
        if (TagAt(b, at, "fmt ")) {
            if (size < 16) return Fail(wav, "short fmt chunk");
            wav.format = Le16(b, body);
            wav.channels = Le16(b, body + 2);
            wav.sampleRate = Le32(b, body + 4);
            wav.byteRate = Le32(b, body + 8);
            wav.blockAlign = Le16(b, body + 12);
            wav.bitsPerSample = Le16(b, body + 14);
            haveFormat = true;
        } else if (TagAt(b, at, "data")) {
            if (!haveFormat) return Fail(wav, "data before fmt");
            if (wav.bitsPerSample != 16) return Fail(wav, "not 16-bit");
            wav.samples.resize(size / 2);
            for (std::size_t i = 0; i < wav.samples.size(); ++i)
                wav.samples[i] = static_cast<std::int16_t>(Le16(b, body + 2 * i));
            haveData = true;
        }
        at = body + size + (size & 1u);  // chunks are padded to even lengths
    }
    if (!haveFormat || !haveData) return Fail(wav, "missing fmt or data chunk");
    wav.ok = true;
    return wav;
}
