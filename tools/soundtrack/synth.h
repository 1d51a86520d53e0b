// The sound chip of the soundtrack: band-limited oscillators, envelopes, noise and drums.
// Everything is plain arithmetic on doubles advanced one sample at a time, so the same
// build always produces the same samples.
#pragma once

#include <array>
#include <cstdint>

namespace soundtrack {

inline constexpr int kSampleRate = 44100;

// Equal temperament around A4 = 440 Hz (MIDI note 69), built at compile time by repeated
// multiplication so no run-time library maths is involved.
inline constexpr double kSemitone = 1.0594630943592953;
inline constexpr std::array<double, 128> kNoteHz = [] {
    std::array<double, 128> hz{};
    hz[69] = 440.0;
    for (int n = 70; n < 128; ++n) hz[n] = hz[n - 1] * kSemitone;
    for (int n = 68; n >= 0; --n) hz[n] = hz[n + 1] / kSemitone;
    return hz;
}();

enum class Wave : std::uint8_t { pulse, saw, triangle };

struct Adsr {
    double attack;   // seconds from the current level up to full
    double decay;    // time constant, seconds, of the fall towards sustain
    double sustain;  // level held while the gate stays open
    double release;  // time constant, seconds, of the fall to silence
};

enum class Stage : std::uint8_t { idle, attack, decay, release };

struct Envelope {
    Stage stage = Stage::idle;
    double level = 0.0;
};

// Opening the gate attacks from wherever the level is, so retriggers do not click.
void GateOn(Envelope& env);
void GateOff(Envelope& env);
double NextLevel(Envelope& env, const Adsr& shape);

// Phase and increment are in cycles (0..1) per sample.
double PolyBlep(double phase, double increment);
double SawSample(double phase, double increment);
// Centred on zero whatever the width, so width sweeps do not move the DC level.
double PulseSample(double phase, double increment, double width);
double TriangleSample(double phase);
double WaveSample(Wave wave, double phase, double increment, double width);
// Advances a phase by an increment, wrapping into 0..1.
double Advance(double phase, double increment);

// A xorshift generator: the soundtrack's only source of noise, seeded by a constant.
struct Noise {
    std::uint32_t state = 0x2545F491u;
};
double NextNoise(Noise& noise);

enum class Drum : std::uint8_t { none, kick, snare, hat, openHat };

struct DrumVoice {
    Drum drum = Drum::none;
    double amp = 0.0;
    double body = 0.0;   // the pitched part of kick and snare, decaying faster than amp
    double sweep = 0.0;  // kick pitch drop, from 1 towards 0
    double phase = 0.0;
    double lastNoise = 0.0;
};

void StrikeDrum(DrumVoice& voice, Drum drum);
double NextDrumSample(DrumVoice& voice, Noise& noise);

}  // namespace soundtrack
