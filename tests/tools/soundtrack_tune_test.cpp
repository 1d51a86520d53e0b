// The note data and the sequencer's clock against the demo's timeline.
#include <gtest/gtest.h>

#include <set>

#include "sequencer.h"
#include "tune.h"

namespace {

using namespace soundtrack;
using namespace soundtrack::tune;

TEST(SoundtrackTune, ABarStartsAtEverySceneChangeWithSomethingNew) {
    const std::set<int> changes{29000, 33000, 50000, 70000, 80000, 90000};
    std::set<int> found;
    int ms = 0;
    for (std::size_t b = 0; b < kSong.size(); ++b) {
        if (changes.count(ms) != 0) {
            found.insert(ms);
            const Bar& now = kSong[b];
            const Bar& before = kSong[b - 1];
            EXPECT_TRUE(now.drums != before.drums || now.lead != before.lead ||
                        now.bass != before.bass)
                << "nothing changes at " << ms << " ms";
        }
        ms += kSong[b].steps * 125;
    }
    EXPECT_EQ(found, changes);
    EXPECT_GE(ms, 100000);
}

TEST(SoundtrackTune, BootIsQuietAndTheEndFadesToSilence) {
    int ms = 0;
    for (const Bar& bar : kSong) {
        if (ms < 29000) {
            EXPECT_LE(bar.level, 0.5) << "bar at " << ms << " ms";
        }
        if (ms >= 33000 && ms < 98000) {
            EXPECT_EQ(bar.level, 1.0) << "bar at " << ms << " ms";
        }
        ms += bar.steps * 125;
    }
    for (std::size_t b = kFarewellBar + 1; b < kSong.size(); ++b) {
        EXPECT_LE(kSong[b].level, kSong[b - 1].level) << "bar " << b;
    }
    EXPECT_LT(kSong.back().level, 0.5);
    EXPECT_EQ(kEndLevel, 0.0);
}

TEST(SoundtrackTune, EveryCellIsAKnownCode) {
    auto control = [](Step c) { return c == _ || c == X; };
    for (const Pattern& p : kLead)
        for (const Step c : p) EXPECT_TRUE(control(c) || (c >= 48 && c <= 96)) << int{c};
    for (const Pattern& p : kBass)
        for (const Step c : p) EXPECT_TRUE(control(c) || (c >= 0 && c <= 12)) << int{c};
    for (const Pattern& p : kArp)
        for (const Step c : p)
            EXPECT_TRUE(control(c) || (c >= 0 && c <= 5) || c == kCycle) << int{c};
    for (const Pattern& p : kDrums)
        for (const Step c : p) EXPECT_TRUE(c == _ || (c >= K && c <= O)) << int{c};
    for (const Bar& bar : kSong) EXPECT_TRUE(bar.steps == 8 || bar.steps == 16);
}

TEST(SoundtrackTune, StepsKeepTheDemosClockWithoutDrift) {
    for (int second = 0; second <= 108; ++second)
        EXPECT_EQ(StepStartSample(8 * second), 44100 * second);
    for (int step = 0; step < SongSteps(); ++step) {
        const auto length = StepStartSample(step + 1) - StepStartSample(step);
        ASSERT_TRUE(length == 5512 || length == 5513) << "step " << step;
    }
}

}  // namespace
