// Mastering: brings the mixed tune to 16-bit samples just below full scale.
#pragma once

#include <cstdint>
#include <vector>

#include "synth.h"
#include "wav/wav.h"

namespace soundtrack {

// The music file: mono 16-bit PCM at the synth's rate.
inline constexpr WavFormat kFileFormat{
    .channels = 1, .sampleRate = kSampleRate, .bitsPerSample = 16};

// The loudest sample lands here, about -1 dB, so nothing can clip.
inline constexpr double kPeakLevel = 0.89;

std::vector<std::int16_t> ToPcm16(const std::vector<float>& mix);

}  // namespace soundtrack
