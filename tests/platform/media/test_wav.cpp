// Tone synthesis and canonical WAV layout for the sound tests.
#include "test_wav.h"

#include <cmath>
#include <cstdio>
#include <numbers>

double ToneValue(const ToneSpec& spec, int channel, int frame) {
    double hertz = channel == 0 ? spec.leftHertz : spec.rightHertz;
    double phase = channel == 0 ? 0.5 : 1.1;
    double t = static_cast<double>(frame) / spec.sampleRate;
    return spec.level * std::sin(2.0 * std::numbers::pi * hertz * t + phase);
}

int StoredSample(const ToneSpec& spec, int channel, int frame) {
    double value = ToneValue(spec, channel, frame);
    if (spec.bitsPerSample == 8) return 128 + static_cast<int>(std::lround(value * 127.0));
    return static_cast<int>(std::lround(value * 32767.0));
}

void PutU16(std::vector<std::uint8_t>* image, std::size_t offset, std::uint16_t value) {
    (*image)[offset] = static_cast<std::uint8_t>(value & 0xFF);
    (*image)[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void PutU32(std::vector<std::uint8_t>* image, std::size_t offset, std::uint32_t value) {
    PutU16(image, offset, static_cast<std::uint16_t>(value & 0xFFFF));
    PutU16(image, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

std::vector<std::uint8_t> BuildToneWav(const ToneSpec& spec) {
    int bytesPerSample = spec.bitsPerSample / 8;
    auto blockAlign = static_cast<std::uint32_t>(spec.channels * bytesPerSample);
    auto dataBytes = static_cast<std::uint32_t>(spec.frames) * blockAlign;
    std::vector<std::uint8_t> image(kDataOffset + dataBytes);
    const char* tags[] = {"RIFF", "WAVE", "fmt ", "data"};
    const std::size_t tagOffsets[] = {0, 8, 12, 36};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j)
            image[tagOffsets[i] + j] = static_cast<std::uint8_t>(tags[i][j]);
    }
    PutU32(&image, 4, static_cast<std::uint32_t>(image.size() - 8));
    PutU32(&image, kFmtSizeOffset, 16);
    PutU16(&image, kFmtBodyOffset, 1);
    PutU16(&image, kFmtBodyOffset + 2, static_cast<std::uint16_t>(spec.channels));
    PutU32(&image, kFmtBodyOffset + 4, static_cast<std::uint32_t>(spec.sampleRate));
    PutU32(&image, kFmtBodyOffset + 8, static_cast<std::uint32_t>(spec.sampleRate) * blockAlign);
    PutU16(&image, kFmtBodyOffset + 12, static_cast<std::uint16_t>(blockAlign));
    PutU16(&image, kFmtBodyOffset + 14, static_cast<std::uint16_t>(spec.bitsPerSample));
    PutU32(&image, kDataSizeOffset, dataBytes);
    std::size_t at = kDataOffset;
    for (int frame = 0; frame < spec.frames; ++frame) {
        for (int channel = 0; channel < spec.channels; ++channel) {
            int sample = StoredSample(spec, channel, frame);
            if (bytesPerSample == 1) {
                image[at++] = static_cast<std::uint8_t>(sample);
            } else {
                PutU16(&image, at, static_cast<std::uint16_t>(sample));
                at += 2;
            }
        }
    }
    return image;
}

bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}
