// "Pelvarn": the demo's tune as note data. A minor, 120 beats a minute, one pattern step
// per sixteenth note (125 ms), so every whole second of the demo falls on a step and each
// of the demo's scene changes (29, 33, 50, 70, 80, 90 s) can start a new bar.
#pragma once

#include <array>
#include <cstdint>

namespace soundtrack::tune {

using Step = std::int8_t;
inline constexpr int kPatternSteps = 16;
using Pattern = std::array<Step, kPatternSteps>;

inline constexpr int kStepMs = 125;

// Pattern cells other than notes: keep sounding, and close the gate.
inline constexpr Step _ = -1;
inline constexpr Step X = -2;

// MIDI note numbers for the lead.
inline constexpr Step G4 = 67, Gs4 = 68, A4 = 69, B4 = 71, C5 = 72, D5 = 74, E5 = 76, F5 = 77,
                      G5 = 79, Gs5 = 80, A5 = 81, B5 = 83, C6 = 84, D6 = 86, E4 = 64;
// Bar roots, in the bass octave.
inline constexpr Step C2 = 36, D2 = 38, E2 = 40, F2 = 41, G2 = 43, A2 = 45;

// Arpeggio cells are chord tones counted up from the root an octave above the bass:
// root, third, fifth, then the same an octave higher. kCycle plays the upper triad as one
// chord by stepping through it fifty times a second, the old trick for chords on one voice.
inline constexpr Step kCycle = 8;

enum class Chord : std::uint8_t { minor, major };
enum class ArpSound : std::uint8_t { soft, bright };

// Drum cells.
inline constexpr Step K = 1, S = 2, H = 3, O = 4;

// Bass cells are semitones above the bar's root.
enum BassId : std::uint8_t { bNone, bLong, bPedal, bMain, bWalk, bBreak, bFill, bEnd };
inline constexpr std::array<Pattern, 8> kBass{{
    {X, _, _, _, _, _, _, _, _, _, _, _, _, _, _, _},
    {0, _, _, _, _, _, _, _, 12, _, _, _, 7, _, _, _},
    {0, 12, 0, 12, 0, 12, 0, 12, 0, 12, 0, 12, 0, 12, 0, 12},
    {0, X, 12, 0, X, 0, 12, X, 0, X, 12, 0, 7, X, 12, X},
    {0, _, _, 0, _, _, 7, _, 12, _, _, 12, _, _, 7, _},
    {0, _, _, _, _, _, _, X, 0, _, 12, X, 0, X, 10, X},
    {0, 0, 12, 12, 7, 7, 12, 12, _, _, _, _, _, _, _, _},
    {0, _, _, _, _, _, _, _, _, _, _, _, _, _, _, _},
}};

enum ArpId : std::uint8_t { aNone, aBoot, aRoll, aCycle, aPump };
inline constexpr std::array<Pattern, 5> kArp{{
    {X, _, _, _, _, _, _, _, _, _, _, _, _, _, _, _},
    {0, _, 2, _, 3, _, 4, _, 5, _, 4, _, 3, _, 2, _},
    {0, 2, 3, 4, 5, 4, 3, 2, 0, 2, 3, 4, 5, 4, 3, 2},
    {kCycle, _, _, _, _, _, X, _, kCycle, _, _, X, kCycle, _, X, _},
    {kCycle, _, X, _, kCycle, _, X, _, kCycle, _, X, _, kCycle, _, X, _},
}};

enum DrumId : std::uint8_t { dNone, dTick, dRoll8, dRoll16, dBeat, dDrive, dFill, dBreak, dEnd };
inline constexpr std::array<Pattern, 9> kDrums{{
    {_, _, _, _, _, _, _, _, _, _, _, _, _, _, _, _},
    {H, _, _, _, H, _, _, _, H, _, _, _, H, _, H, _},
    {S, _, S, _, S, _, S, _, S, _, S, _, S, _, S, _},
    {S, S, S, S, S, S, S, S, S, S, S, S, K, S, K, S},
    {K, _, H, _, S, _, H, _, K, _, K, _, S, _, H, _},
    {K, H, H, K, S, H, K, H, K, H, K, H, S, H, O, _},
    {S, S, K, S, S, K, S, S, _, _, _, _, _, _, _, _},
    {K, _, _, _, H, _, _, _, S, _, _, K, H, _, O, _},
    {K, _, _, _, _, _, _, _, _, _, _, _, _, _, _, _},
}};

// clang-format off
enum LeadId : std::uint8_t {
    lNone, lRise,
    lA1, lA2, lA3, lA4, lA5, lA6, lA7, lA8, lFill,
    lB1, lB2, lB3, lB4, lB5, lB6, lB7, lB8, lB9, lB10,
    lC3, lC4, lC5, lD5, lEnd,
};
// clang-format on
inline constexpr std::array<Pattern, 26> kLead{{
    {X, _, _, _, _, _, _, _, _, _, _, _, _, _, _, _},
    {E4, _, Gs4, _, B4, _, D5, _, E5, _, Gs5, _, B5, _, D6, _},
    // The theme, over Am F C G Am F G E.
    {E5, _, _, _, A5, _, _, _, G5, _, E5, _, _, _, D5, _},
    {C5, _, _, _, _, _, A4, _, C5, _, D5, _, E5, _, _, _},
    {E5, _, _, _, G5, _, _, _, A5, _, G5, _, E5, _, C5, _},
    {D5, _, _, _, _, _, _, _, B4, _, _, _, G4, _, _, _},
    {E5, _, _, _, A5, _, _, _, B5, _, C6, _, B5, _, A5, _},
    {A5, _, _, _, F5, _, _, _, C5, _, F5, _, A5, _, G5, _},
    {G5, _, _, _, D5, _, _, _, B4, _, D5, _, G5, _, F5, _},
    {E5, _, _, _, _, _, _, _, _, _, _, _, X, _, _, _},
    {Gs4, _, B4, _, D5, _, E5, _, _, _, _, _, _, _, _, _},
    // The second section, over Dm Am F E Dm Am G E F G.
    {F5, _, _, F5, _, _, E5, _, D5, _, _, _, A4, _, _, _},
    {E5, _, _, E5, _, _, D5, _, C5, _, _, _, A4, _, _, _},
    {C5, _, _, C5, _, _, D5, _, F5, _, _, _, A5, _, _, _},
    {Gs5, _, _, _, _, _, E5, _, _, _, B4, _, _, _, X, _},
    {A5, _, _, A5, _, _, F5, _, D5, _, _, _, F5, _, E5, _},
    {E5, _, _, C5, _, _, A4, _, C5, _, E5, _, A5, _, _, _},
    {G5, _, _, _, D5, _, _, _, B4, _, G4, _, B4, _, D5, _},
    {E5, _, _, _, _, _, _, _, Gs4, _, B4, _, E5, _, Gs5, _},
    {A5, _, _, _, _, _, _, _, _, _, _, _, C6, _, _, _},
    {B5, _, _, _, _, _, _, _, D6, _, C6, _, B5, _, G5, _},
    // The break returns over F G E.
    {C6, _, _, _, A5, _, _, _, F5, _, _, _, A5, _, _, _},
    {B5, _, _, _, G5, _, _, _, D5, _, _, _, G5, _, _, _},
    {Gs5, _, _, _, _, _, _, _, B5, _, _, _, _, _, _, _},
    {E5, _, _, _, Gs5, _, _, _, B5, _, _, _, D6, _, B5, _},
    {A4, _, _, _, _, _, _, _, _, _, _, _, _, _, X, _},
}};

// One bar of the arrangement. `level` is the master level at the bar's first step; it
// glides linearly to the next bar's, which is how the boot part stays quiet, the loading
// line builds up and the end fades out.
struct Bar {
    std::uint8_t steps;
    Step root;
    Chord chord;
    BassId bass;
    ArpId arp;
    ArpSound arpSound;
    LeadId lead;
    DrumId drums;
    double level;
};

inline constexpr Chord m = Chord::minor;
inline constexpr Chord M = Chord::major;
inline constexpr ArpSound soft = ArpSound::soft;
inline constexpr ArpSound bright = ArpSound::bright;
inline constexpr double kBootLevel = 0.35;

inline constexpr std::array<Bar, 55> kSong{{
    // 0 s: the boot screen, a soft arpeggio alone.
    {16, A2, m, bNone, aBoot, soft, lNone, dNone, kBootLevel},
    {16, F2, M, bNone, aBoot, soft, lNone, dNone, kBootLevel},
    {16, C2, M, bNone, aBoot, soft, lNone, dNone, kBootLevel},
    {16, G2, M, bNone, aBoot, soft, lNone, dNone, kBootLevel},
    {16, A2, m, bNone, aBoot, soft, lNone, dNone, kBootLevel},
    {16, F2, M, bNone, aBoot, soft, lNone, dNone, kBootLevel},
    // 12 s: the screen starts tumbling; bass and a ticking hat join.
    {16, A2, m, bLong, aBoot, soft, lNone, dTick, kBootLevel},
    {16, F2, M, bLong, aBoot, soft, lNone, dTick, kBootLevel},
    {16, C2, M, bLong, aBoot, soft, lNone, dTick, kBootLevel},
    {16, G2, M, bLong, aBoot, soft, lNone, dTick, kBootLevel},
    {16, A2, m, bLong, aBoot, soft, lNone, dTick, kBootLevel},
    {16, F2, M, bLong, aBoot, soft, lNone, dTick, kBootLevel},
    {16, G2, M, bLong, aBoot, soft, lNone, dTick, kBootLevel},
    {16, E2, M, bLong, aBoot, soft, lNone, dTick, kBootLevel},
    {8, E2, M, bLong, aBoot, soft, lNone, dNone, kBootLevel},
    // 29 s: the loading line, a dominant pedal and a snare roll building up.
    {16, E2, M, bPedal, aPump, bright, lNone, dRoll8, kBootLevel},
    {16, E2, M, bPedal, aPump, bright, lRise, dRoll16, 0.65},
    // 33 s: the box and the first credits line, the full theme.
    {16, A2, m, bMain, aRoll, bright, lA1, dBeat, 1.0},
    {16, F2, M, bMain, aRoll, bright, lA2, dBeat, 1.0},
    {16, C2, M, bMain, aRoll, bright, lA3, dBeat, 1.0},
    {16, G2, M, bMain, aRoll, bright, lA4, dBeat, 1.0},
    {16, A2, m, bMain, aRoll, bright, lA5, dBeat, 1.0},
    {16, F2, M, bMain, aRoll, bright, lA6, dBeat, 1.0},
    {16, G2, M, bMain, aRoll, bright, lA7, dBeat, 1.0},
    {16, E2, M, bMain, aRoll, bright, lA8, dBeat, 1.0},
    {8, E2, M, bFill, aCycle, bright, lFill, dFill, 1.0},
    // 50 s: the box starts jumping; a second section with driving drums.
    {16, D2, m, bWalk, aCycle, bright, lB1, dDrive, 1.0},
    {16, A2, m, bWalk, aCycle, bright, lB2, dDrive, 1.0},
    {16, F2, M, bWalk, aCycle, bright, lB3, dDrive, 1.0},
    {16, E2, M, bWalk, aCycle, bright, lB4, dDrive, 1.0},
    {16, D2, m, bWalk, aCycle, bright, lB5, dDrive, 1.0},
    {16, A2, m, bWalk, aCycle, bright, lB6, dDrive, 1.0},
    {16, G2, M, bWalk, aCycle, bright, lB7, dDrive, 1.0},
    {16, E2, M, bWalk, aCycle, bright, lB8, dDrive, 1.0},
    {16, F2, M, bWalk, aCycle, bright, lB9, dDrive, 1.0},
    {16, G2, M, bWalk, aCycle, bright, lB10, dDrive, 1.0},
    // 70 s: the music credit; a break for bass, drums and arpeggio before the lead returns.
    {16, A2, m, bBreak, aRoll, bright, lNone, dBreak, 1.0},
    {16, A2, m, bBreak, aRoll, bright, lNone, dBreak, 1.0},
    {16, F2, M, bBreak, aRoll, bright, lC3, dBreak, 1.0},
    {16, G2, M, bBreak, aRoll, bright, lC4, dBreak, 1.0},
    {16, E2, M, bBreak, aRoll, bright, lC5, dBreak, 1.0},
    // 80 s: the demo credit; the theme's opening over the driving beat.
    {16, A2, m, bMain, aCycle, bright, lA1, dDrive, 1.0},
    {16, F2, M, bMain, aCycle, bright, lA2, dDrive, 1.0},
    {16, C2, M, bMain, aCycle, bright, lA3, dDrive, 1.0},
    {16, G2, M, bMain, aCycle, bright, lA4, dDrive, 1.0},
    {16, E2, M, bMain, aCycle, bright, lD5, dDrive, 1.0},
    // 90 s: the farewell; the whole theme once more, fading from 98 s.
    {16, A2, m, bMain, aRoll, bright, lA1, dBeat, 1.0},
    {16, F2, M, bMain, aRoll, bright, lA2, dBeat, 1.0},
    {16, C2, M, bMain, aRoll, bright, lA3, dBeat, 1.0},
    {16, G2, M, bMain, aRoll, bright, lA4, dBeat, 1.0},
    {16, A2, m, bMain, aRoll, bright, lA5, dBeat, 1.0},
    {16, F2, M, bMain, aRoll, bright, lA6, dBeat, 0.8},
    {16, G2, M, bMain, aRoll, bright, lA7, dBeat, 0.6},
    {16, E2, M, bMain, aRoll, bright, lA8, dBeat, 0.4},
    {16, A2, m, bEnd, aBoot, soft, lEnd, dEnd, 0.2},
}};

// The level the last bar glides to: silence exactly at the end of the file.
inline constexpr double kEndLevel = 0.0;

constexpr int SongSteps() {
    int steps = 0;
    for (const Bar& bar : kSong) steps += bar.steps;
    return steps;
}

constexpr int BarStartMs(int bar) {
    int steps = 0;
    for (int i = 0; i < bar; ++i) steps += kSong[i].steps;
    return steps * kStepMs;
}

// The bars that open the demo's scenes; the checks keep the note data on the timeline.
inline constexpr int kLoadingBar = 15, kThemeBar = 17, kJumpBar = 26, kMusicCreditBar = 36,
                     kDemoCreditBar = 41, kFarewellBar = 46;
static_assert(BarStartMs(kLoadingBar) == 29000);
static_assert(BarStartMs(kThemeBar) == 33000);
static_assert(BarStartMs(kJumpBar) == 50000);
static_assert(BarStartMs(kMusicCreditBar) == 70000);
static_assert(BarStartMs(kDemoCreditBar) == 80000);
static_assert(BarStartMs(kFarewellBar) == 90000);
static_assert(SongSteps() * kStepMs >= 100000);

}  // namespace soundtrack::tune
