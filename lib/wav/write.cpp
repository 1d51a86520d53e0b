// Writes the canonical 44-byte WAVE header and the samples, little-endian on any host.
#include "wav/wav.h"

#include <cstdio>

namespace {

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutTag(std::vector<std::uint8_t>& out, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(tag[i]));
}

}  // namespace

std::vector<std::uint8_t> EncodeWav(const WavFormat& format,
                                    std::span<const std::int16_t> samples) {
    const int bytesPerSample = format.bitsPerSample / 8;
    const auto blockAlign = static_cast<std::uint32_t>(format.channels * bytesPerSample);
    const auto rate = static_cast<std::uint32_t>(format.sampleRate);
    const auto dataBytes =
        static_cast<std::uint32_t>(samples.size()) * static_cast<std::uint32_t>(bytesPerSample);
    std::vector<std::uint8_t> out;
    out.reserve(kWavDataOffset + dataBytes);
    PutTag(out, "RIFF");
    Put32(out, static_cast<std::uint32_t>(kWavDataOffset) - 8 + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);  // integer PCM
    Put16(out, static_cast<std::uint16_t>(format.channels));
    Put32(out, rate);
    Put32(out, rate * blockAlign);
    Put16(out, static_cast<std::uint16_t>(blockAlign));
    Put16(out, static_cast<std::uint16_t>(format.bitsPerSample));
    PutTag(out, "data");
    Put32(out, dataBytes);
    for (const std::int16_t s : samples) {
        if (bytesPerSample == 1) {
            out.push_back(static_cast<std::uint8_t>(s));
        } else {
            Put16(out, static_cast<std::uint16_t>(s));
        }
    }
    return out;
}

bool WriteWavFile(const std::string& path, const std::vector<std::uint8_t>& image) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(image.data(), 1, image.size(), file) == image.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}
