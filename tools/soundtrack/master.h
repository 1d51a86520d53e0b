// Mastering: brings the mixed tune to 16-bit samples just below full scale.
#pragma once

#include <cstdint>
#include <vector>

namespace soundtrack {

// The loudest sample lands here, about -1 dB, so nothing can clip.
inline constexpr double kPeakLevel = 0.89;

std::vector<std::int16_t> ToPcm16(const std::vector<float>& mix);

}  // namespace soundtrack
