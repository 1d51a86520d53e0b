// The pattern sequencer: steps through the bars of the tune, turns cells into gates and
// pitches on four channels (bass, arpeggio, lead, drums) and sums them at the bar's level.
#include "sequencer.h"

#include "synth.h"
#include "tune.h"

namespace soundtrack {
namespace {

struct Instrument {
    Wave wave;
    Adsr shape;
    double volume;
    double width;         // pulse width at rest
    double widthSweep;    // how far the width swings either side of it
    double widthHz;       // speed of the swing
    double vibrato;       // relative pitch swing
    double vibratoDelay;  // seconds after the gate before the vibrato sets in
    double tone;          // one-pole low-pass coefficient: 1 leaves the wave as it is
};

constexpr Instrument kBassSound{Wave::saw, {0.004, 0.12, 0.55, 0.04}, 0.34, 0.5, 0.0, 0.0, 0.0, 0.0,
                                0.2};
constexpr Instrument kSoftArpSound{
    Wave::triangle, {0.004, 0.35, 0.35, 0.3}, 0.32, 0.5, 0.0, 0.0, 0.0, 0.0, 1.0};
constexpr Instrument kBrightArpSound{
    Wave::pulse, {0.002, 0.08, 0.4, 0.06}, 0.15, 0.28, 0.14, 0.23, 0.0, 0.0, 0.5};
constexpr Instrument kLeadSound{
    Wave::pulse, {0.012, 0.25, 0.7, 0.12}, 0.24, 0.32, 0.16, 0.37, 0.008, 0.3, 0.6};
constexpr double kDrumVolume = 0.42;
constexpr double kVibratoHz = 5.5;
// The chord trick steps through its three notes at the old 50 Hz screen rate.
constexpr int kCycleSamples = kSampleRate / 50;

struct Channel {
    const Instrument* sound = &kBassSound;
    Envelope env;
    double hz = 0.0;
    double phase = 0.0;
    double widthPhase = 0.0;
    double vibratoPhase = 0.0;
    double filtered = 0.0;
    int sinceGate = 0;
    bool cycling = false;
    std::array<double, 3> chordHz{};
};

struct Voices {
    Channel bass;
    Channel arp;
    Channel lead;
    DrumVoice drum;
    Noise noise;
};

int ThirdOf(tune::Chord chord) { return chord == tune::Chord::minor ? 3 : 4; }

// Semitones above the arpeggio's root for chord tones 0..5.
int ChordTone(tune::Chord chord, int tone) {
    const int inOctave[3] = {0, ThirdOf(chord), 7};
    return inOctave[tone % 3] + 12 * (tone / 3);
}

void Trigger(Channel& ch, int note) {
    ch.hz = kNoteHz[static_cast<std::size_t>(note)];
    ch.cycling = false;
    ch.sinceGate = 0;
    GateOn(ch.env);
}

// X closes the gate, a note opens it, anything else lets the channel go on.
void PlayNoteCell(Channel& ch, tune::Step cell, int base) {
    if (cell == tune::X) {
        GateOff(ch.env);
    } else if (cell >= 0) {
        Trigger(ch, base + cell);
    }
}

void PlayArpCell(Channel& ch, const tune::Bar& bar, tune::Step cell) {
    ch.sound = bar.arpSound == tune::ArpSound::soft ? &kSoftArpSound : &kBrightArpSound;
    const int root = bar.root + 12;
    if (cell == tune::kCycle) {
        Trigger(ch, root);
        ch.cycling = true;
        for (int i = 0; i < 3; ++i)
            ch.chordHz[static_cast<std::size_t>(i)] =
                kNoteHz[static_cast<std::size_t>(root + ChordTone(bar.chord, 3 + i))];
    } else if (cell >= 0) {
        PlayNoteCell(ch, 0, root + ChordTone(bar.chord, cell));
    } else {
        PlayNoteCell(ch, cell, root);
    }
}

void PlayStep(Voices& v, const tune::Bar& bar, int step) {
    const auto s = static_cast<std::size_t>(step);
    PlayNoteCell(v.bass, tune::kBass[bar.bass][s], bar.root);
    PlayArpCell(v.arp, bar, tune::kArp[bar.arp][s]);
    PlayNoteCell(v.lead, tune::kLead[bar.lead][s], 0);
    const tune::Step hit = tune::kDrums[bar.drums][s];
    if (hit > 0) StrikeDrum(v.drum, static_cast<Drum>(hit));
}

double NextSample(Channel& ch) {
    const Instrument& in = *ch.sound;
    double hz = ch.hz;
    if (ch.cycling) hz = ch.chordHz[static_cast<std::size_t>(ch.sinceGate / kCycleSamples % 3)];
    if (in.vibrato > 0.0 && ch.sinceGate > static_cast<int>(in.vibratoDelay * kSampleRate))
        hz *= 1.0 + in.vibrato * TriangleSample(ch.vibratoPhase);
    const double increment = hz / kSampleRate;
    const double width = in.width + in.widthSweep * TriangleSample(ch.widthPhase);
    const double raw = WaveSample(in.wave, ch.phase, increment, width);
    ch.filtered += in.tone * (raw - ch.filtered);
    const double level = NextLevel(ch.env, in.shape);

    ch.phase = Advance(ch.phase, increment);
    ch.widthPhase = Advance(ch.widthPhase, in.widthHz / kSampleRate);
    ch.vibratoPhase = Advance(ch.vibratoPhase, kVibratoHz / kSampleRate);
    ++ch.sinceGate;
    return ch.filtered * level * in.volume;
}

}  // namespace

std::int64_t StepStartSample(int step) {
    return static_cast<std::int64_t>(step) * kSampleRate * tune::kStepMs / 1000;
}

std::vector<float> RenderTune() {
    std::vector<float> mix(static_cast<std::size_t>(StepStartSample(tune::SongSteps())), 0.0f);
    Voices v;
    int step = 0;
    for (std::size_t b = 0; b < tune::kSong.size(); ++b) {
        const tune::Bar& bar = tune::kSong[b];
        const double nextLevel =
            b + 1 < tune::kSong.size() ? tune::kSong[b + 1].level : tune::kEndLevel;
        const std::int64_t barStart = StepStartSample(step);
        const double barLength = static_cast<double>(StepStartSample(step + bar.steps) - barStart);
        for (int s = 0; s < bar.steps; ++s, ++step) {
            PlayStep(v, bar, s);
            for (std::int64_t i = StepStartSample(step); i < StepStartSample(step + 1); ++i) {
                const double voices = NextSample(v.bass) + NextSample(v.arp) + NextSample(v.lead) +
                                      kDrumVolume * NextDrumSample(v.drum, v.noise);
                const double glide = static_cast<double>(i - barStart) / barLength;
                const double level = bar.level + (nextLevel - bar.level) * glide;
                mix[static_cast<std::size_t>(i)] = static_cast<float>(voices * level);
            }
        }
    }
    return mix;
}

}  // namespace soundtrack
