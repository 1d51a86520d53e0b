// Scales the mix to a fixed peak and rounds it to 16-bit samples.
#include "master.h"

namespace soundtrack {

std::vector<std::int16_t> ToPcm16(const std::vector<float>& mix) {
    double peak = 0.0;
    for (const float x : mix) {
        const double a = x < 0.0f ? -static_cast<double>(x) : static_cast<double>(x);
        if (a > peak) peak = a;
    }
    const double gain = peak > 0.0 ? kPeakLevel * 32767.0 / peak : 0.0;
    std::vector<std::int16_t> pcm(mix.size());
    for (std::size_t i = 0; i < mix.size(); ++i) {
        const double y = static_cast<double>(mix[i]) * gain;
        pcm[i] = static_cast<std::int16_t>(y < 0.0 ? y - 0.5 : y + 0.5);
    }
    return pcm;
}

}  // namespace soundtrack
