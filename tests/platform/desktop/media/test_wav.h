// Builds WAV file images with known content for the sound tests.
#pragma once

#include <cstdint>
#include <vector>

#include "wav/wav.h"

struct ToneSpec {
    int channels = 2;
    int sampleRate = 44100;
    int bitsPerSample = 16;
    int frames = 22050;
    double leftHertz = 440.0;  // every channel is a sine; the right one has its own pitch
    double rightHertz = 660.0;
    double level = 0.4;  // of full scale
};

// The tone's value in [-1, 1] for one channel at one frame. It starts off zero on purpose,
// so the first sample of a clip can be found in a stream that was silent before it.
double ToneValue(const ToneSpec& spec, int channel, int frame);

// The stored integer sample: signed 16-bit, or unsigned 8-bit (128 is silence).
int StoredSample(const ToneSpec& spec, int channel, int frame);

// The tone as a canonical file (see EncodeWav), whose byte offsets are the kWav... ones.
std::vector<std::uint8_t> BuildToneWav(const ToneSpec& spec);

// Overwrite a field of an image, to damage it.
void PutU16(std::vector<std::uint8_t>* image, std::size_t offset, std::uint16_t value);
void PutU32(std::vector<std::uint8_t>* image, std::size_t offset, std::uint32_t value);
