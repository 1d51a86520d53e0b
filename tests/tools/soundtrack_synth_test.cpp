// The sound chip: band limiting, pulse centring, envelope stages, noise and drums, tuning.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "synth.h"

namespace {

using namespace soundtrack;

constexpr double kRate = 44100.0;
constexpr double kPi = std::numbers::pi;

struct Errors {
    double naive;
    double blep;
};

// Compares a naive and a corrected waveform with the ideal band-limited one (its Fourier
// series cut at Nyquist). Aliasing is exactly what the naive wave has and the ideal lacks.
template <typename Naive, typename Blep, typename Ideal>
Errors AgainstIdeal(double hz, Naive naive, Blep blep, Ideal ideal) {
    const double increment = hz / kRate;
    const int harmonics = static_cast<int>(kRate / 2.0 / hz);
    double phase = 0.0, naiveSum = 0.0, blepSum = 0.0;
    const int n = 4410;
    for (int i = 0; i < n; ++i) {
        double band = 0.0;
        for (int k = 1; k <= harmonics; ++k) band += ideal(k, phase);
        naiveSum += std::pow(naive(phase) - band, 2);
        blepSum += std::pow(blep(phase, increment) - band, 2);
        phase = Advance(phase, increment);
    }
    return {std::sqrt(naiveSum / n), std::sqrt(blepSum / n)};
}

TEST(SoundtrackSynth, SawAndPulseAreBandLimited) {
    for (const double hz : {440.0, 1318.5, 3520.7}) {
        const Errors saw = AgainstIdeal(
            hz, [](double p) { return 2.0 * p - 1.0; }, SawSample,
            [](int k, double p) { return -2.0 / (kPi * k) * std::sin(2.0 * kPi * k * p); });
        EXPECT_LT(saw.blep, 0.5 * saw.naive) << hz << " Hz saw";

        const double w = 0.3;
        const Errors pulse = AgainstIdeal(
            hz, [w](double p) { return (p < w ? 1.0 : -1.0) - (2.0 * w - 1.0); },
            [w](double p, double inc) { return PulseSample(p, inc, w); },
            [w](int k, double p) {
                return 4.0 / (kPi * k) * std::sin(kPi * k * w) *
                       std::cos(2.0 * kPi * k * (p - w / 2.0));
            });
        EXPECT_LT(pulse.blep, 0.5 * pulse.naive) << hz << " Hz pulse";
    }
}

TEST(SoundtrackSynth, PulseStaysCentredAtAnyWidthAndTriangleSpansTheRange) {
    const double increment = 261.6 / kRate;
    for (const double width : {0.1, 0.25, 0.5, 0.7}) {
        double phase = 0.0, sum = 0.0;
        const int n = static_cast<int>(kRate);
        for (int i = 0; i < n; ++i) {
            sum += PulseSample(phase, increment, width);
            phase = Advance(phase, increment);
        }
        EXPECT_NEAR(sum / n, 0.0, 0.01) << "width " << width;
    }
    EXPECT_DOUBLE_EQ(TriangleSample(0.0), -1.0);
    EXPECT_DOUBLE_EQ(TriangleSample(0.5), 1.0);
    EXPECT_DOUBLE_EQ(TriangleSample(0.25), 0.0);
    EXPECT_DOUBLE_EQ(TriangleSample(0.75), 0.0);
}

TEST(SoundtrackSynth, EnvelopeAttacksDecaysSustainsAndReleases) {
    const Adsr shape{0.01, 0.05, 0.4, 0.1};
    Envelope env;
    EXPECT_EQ(NextLevel(env, shape), 0.0);  // closed gate: silence
    GateOn(env);
    const int attackSamples = static_cast<int>(shape.attack * kRate);
    double previous = 0.0;
    int i = 0;
    for (; env.stage == Stage::attack && i < 10 * attackSamples; ++i) {
        const double level = NextLevel(env, shape);
        ASSERT_GT(level, previous);
        previous = level;
    }
    EXPECT_NEAR(i, attackSamples, 2);
    EXPECT_EQ(env.level, 1.0);
    for (int j = 0; j < static_cast<int>(6 * shape.decay * kRate); ++j) NextLevel(env, shape);
    EXPECT_NEAR(env.level, shape.sustain, 0.01 * shape.sustain);

    GateOff(env);
    for (int j = 0; j < static_cast<int>(shape.release * kRate); ++j) NextLevel(env, shape);
    // One time constant: down to about 1/e of the sustain level.
    EXPECT_NEAR(env.level, shape.sustain / std::numbers::e, 0.01);
    // A retrigger climbs from where the release got to instead of dropping to zero.
    Envelope again = env;
    GateOn(again);
    EXPECT_GT(NextLevel(again, shape), env.level);
    for (int j = 0; j < static_cast<int>(20 * shape.release * kRate) && env.stage != Stage::idle;
         ++j)
        NextLevel(env, shape);
    EXPECT_EQ(env.stage, Stage::idle);
    EXPECT_EQ(NextLevel(env, shape), 0.0);
}

TEST(SoundtrackSynth, NoiseIsRepeatableCentredAndFull) {
    Noise a, b;
    double sum = 0.0, squares = 0.0, low = 1.0, high = -1.0;
    const int n = 100000;
    for (int i = 0; i < n; ++i) {
        const double x = NextNoise(a);
        ASSERT_EQ(x, NextNoise(b));
        sum += x;
        squares += x * x;
        low = std::min(low, x);
        high = std::max(high, x);
    }
    EXPECT_GE(low, -1.0);
    EXPECT_LT(high, 1.0);
    EXPECT_NEAR(sum / n, 0.0, 0.01);
    EXPECT_NEAR(squares / n, 1.0 / 3.0, 0.01);  // variance of a uniform -1..1
}

TEST(SoundtrackSynth, EveryDrumSoundsAndDiesAway) {
    for (const Drum drum : {Drum::kick, Drum::snare, Drum::hat, Drum::openHat}) {
        DrumVoice voice;
        Noise noise;
        StrikeDrum(voice, drum);
        double energy = 0.0, peak = 0.0, late = 0.0;
        int i = 0;
        for (; voice.drum != Drum::none && i < static_cast<int>(3 * kRate); ++i) {
            const double x = NextDrumSample(voice, noise);
            energy += x * x;
            peak = std::max(peak, std::abs(x));
            if (i >= static_cast<int>(0.9 * kRate) && i < static_cast<int>(kRate))
                late = std::max(late, std::abs(x));
        }
        // Gone for the ear within a second (40 dB down), and idle soon after.
        EXPECT_LT(late, 0.01 * peak) << "drum " << static_cast<int>(drum);
        EXPECT_EQ(voice.drum, Drum::none)
            << "drum " << static_cast<int>(drum) << " still ringing after 3 s";
        EXPECT_GT(energy, 1.0);
        EXPECT_LE(peak, 1.2);
    }
}

TEST(SoundtrackSynth, NotesAreEqualTemperedAroundA440) {
    EXPECT_DOUBLE_EQ(kNoteHz[69], 440.0);
    for (int n = 0; n < 128; ++n)
        EXPECT_NEAR(kNoteHz[n], 440.0 * std::pow(2.0, (n - 69) / 12.0), 1e-9 * kNoteHz[n])
            << "note " << n;
}

}  // namespace
