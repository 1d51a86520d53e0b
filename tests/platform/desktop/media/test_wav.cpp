// Tone synthesis for the sound tests, stored through the one WAV writer.
#include "test_wav.h"

#include <cmath>
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
    std::vector<std::int16_t> samples;
    samples.reserve(static_cast<std::size_t>(spec.frames * spec.channels));
    for (int frame = 0; frame < spec.frames; ++frame) {
        for (int channel = 0; channel < spec.channels; ++channel)
            samples.push_back(static_cast<std::int16_t>(StoredSample(spec, channel, frame)));
    }
    return EncodeWav({spec.channels, spec.sampleRate, spec.bitsPerSample}, samples);
}
