// The oscillators, envelopes, noise and drums of the soundtrack's sound chip.
#include "synth.h"

namespace soundtrack {
namespace {

// Per-sample factor of an exponential fall with the given time constant. The first-order
// form keeps this constexpr and exact in any build.
constexpr double Falloff(double seconds) { return 1.0 - 1.0 / (seconds * kSampleRate); }

// Below this an envelope counts as silent: about -100 dB, far under one 16-bit step.
constexpr double kSilent = 1e-5;

constexpr double kKickAmp = Falloff(0.16);
constexpr double kKickSweep = Falloff(0.025);
constexpr double kKickLowHz = 42.0;
constexpr double kKickDropHz = 150.0;
constexpr double kSnareAmp = Falloff(0.085);
constexpr double kSnareBody = Falloff(0.035);
constexpr double kSnareHz = 190.0;
constexpr double kHatAmp = Falloff(0.022);
constexpr double kOpenHatAmp = Falloff(0.12);

}  // namespace

void GateOn(Envelope& env) { env.stage = Stage::attack; }

void GateOff(Envelope& env) {
    if (env.stage != Stage::idle) env.stage = Stage::release;
}

double NextLevel(Envelope& env, const Adsr& shape) {
    switch (env.stage) {
        case Stage::idle:
            env.level = 0.0;
            break;
        case Stage::attack:
            env.level += 1.0 / (shape.attack * kSampleRate + 1.0);
            if (env.level >= 1.0) {
                env.level = 1.0;
                env.stage = Stage::decay;
            }
            break;
        case Stage::decay:
            env.level += (shape.sustain - env.level) * (1.0 - Falloff(shape.decay));
            break;
        case Stage::release:
            env.level *= Falloff(shape.release);
            if (env.level < kSilent) {
                env.level = 0.0;
                env.stage = Stage::idle;
            }
            break;
    }
    return env.level;
}

// The two-sample polynomial correction of a unit step, subtracted around each jump of a
// naive waveform: it removes most of the energy that would fold back below Nyquist.
double PolyBlep(double phase, double increment) {
    if (phase < increment) {
        const double t = phase / increment;
        return t + t - t * t - 1.0;
    }
    if (phase > 1.0 - increment) {
        const double t = (phase - 1.0) / increment;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

double SawSample(double phase, double increment) {
    return 2.0 * phase - 1.0 - PolyBlep(phase, increment);
}

double PulseSample(double phase, double increment, double width) {
    double value = phase < width ? 1.0 : -1.0;
    value += PolyBlep(phase, increment);
    double fall = phase - width;
    if (fall < 0.0) fall += 1.0;
    value -= PolyBlep(fall, increment);
    return value - (2.0 * width - 1.0);
}

double TriangleSample(double phase) {
    const double rise = 4.0 * phase;
    return phase < 0.5 ? rise - 1.0 : 3.0 - rise;
}

double WaveSample(Wave wave, double phase, double increment, double width) {
    switch (wave) {
        case Wave::pulse:
            return PulseSample(phase, increment, width);
        case Wave::saw:
            return SawSample(phase, increment);
        case Wave::triangle:
            return TriangleSample(phase);
    }
    return 0.0;
}

double Advance(double phase, double increment) {
    phase += increment;
    while (phase >= 1.0) phase -= 1.0;
    return phase;
}

double NextNoise(Noise& noise) {
    std::uint32_t x = noise.state;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    noise.state = x;
    return static_cast<double>(x) / 2147483648.0 - 1.0;
}

void StrikeDrum(DrumVoice& voice, Drum drum) {
    voice.drum = drum;
    voice.amp = 1.0;
    voice.body = 1.0;
    voice.sweep = 1.0;
    voice.phase = 0.0;
}

double NextDrumSample(DrumVoice& voice, Noise& noise) {
    const double n = NextNoise(noise);
    double out = 0.0;
    switch (voice.drum) {
        case Drum::none:
            return 0.0;
        case Drum::kick: {
            const double hz = kKickLowHz + kKickDropHz * voice.sweep;
            out = TriangleSample(voice.phase) * voice.amp;
            voice.phase = Advance(voice.phase, hz / kSampleRate);
            voice.sweep *= kKickSweep;
            voice.amp *= kKickAmp;
            break;
        }
        case Drum::snare:
            out = 0.55 * n * voice.amp + 0.6 * TriangleSample(voice.phase) * voice.body;
            voice.phase = Advance(voice.phase, kSnareHz / kSampleRate);
            voice.amp *= kSnareAmp;
            voice.body *= kSnareBody;
            break;
        case Drum::hat:
        case Drum::openHat:
            // The first difference tilts white noise towards the top octave, where hats live.
            out = 0.4 * (n - voice.lastNoise) * voice.amp;
            voice.amp *= voice.drum == Drum::hat ? kHatAmp : kOpenHatAmp;
            break;
    }
    voice.lastNoise = n;
    if (voice.amp < kSilent) voice.drum = Drum::none;
    return out;
}

}  // namespace soundtrack
