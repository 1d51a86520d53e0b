// The default sound: two bell-like partials, made rather than loaded, so it plays where no
// file can.
#include "platform/core/default_sound.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace standin {

void MakeDefaultSound(SoundSamples* samples) {
    // Two bell-like partials a fourth apart, the second entering as the first fades,
    // each with a short attack (no click) and an exponential ring-out.
    struct Tone {
        double hertz, start, decay;
    };
    constexpr Tone kTones[] = {{880.0, 0.0, 0.06}, {659.25, 0.11, 0.07}};
    constexpr double kLength = 0.3;
    constexpr double kAttack = 0.004;
    constexpr double kRelease = 0.02;  // a final fade so the chime ends exactly at silence
    constexpr double kLevel = 0.25 * 32767.0;

    std::size_t frames = static_cast<std::size_t>(kLength * kSoundRate);
    samples->assign(frames * kSoundChannels, 0);
    for (std::size_t i = 0; i < frames; ++i) {
        double t = static_cast<double>(i) / kSoundRate;
        double value = 0.0;
        for (const Tone& tone : kTones) {
            double local = t - tone.start;
            if (local < 0.0) continue;
            double envelope = std::min(1.0, local / kAttack) * std::exp(-local / tone.decay);
            value += envelope * std::sin(2.0 * std::numbers::pi * tone.hertz * local);
        }
        value *= std::min(1.0, (kLength - t) / kRelease);
        auto sample = static_cast<std::int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * kLevel));
        for (int c = 0; c < kSoundChannels; ++c) (*samples)[i * kSoundChannels + c] = sample;
    }
}

bool DefaultInstead(const char* path, const char* why, bool useDefault, const char* instead,
                    SoundSamples* clip) {
    if (!useDefault) {
        std::fprintf(stderr, "PlaySoundA: cannot play \"%s\": %s\n", path, why);
        if (clip != nullptr) clip->clear();
        return false;
    }
    std::fprintf(stderr, "PlaySoundA: cannot play \"%s\": %s; %s\n", path, why, instead);
    if (clip != nullptr) MakeDefaultSound(clip);
    return true;
}

}  // namespace standin
