// The frame's GL calls at chosen clock readings: thresholds, order, per-frame quantities.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "render/render.h"
#include "render/timeline.h"
#include "trace.h"

namespace {

constexpr const char* kBootTitle = "#### COMMODORE 64 BASIC V2 ####";
constexpr const char* kBootMemory = "64K RAM SYSTEM 38911 BASIC BYTES FREE";
constexpr const char* kBootReady = "READY.";
constexpr const char* kLoadingLine = "RUN KAZ. LOADING....";
constexpr const char* kCreditsTitle = "KAZ XII - God is a demomaker!";
constexpr const char* kCreditsMusic = "Musik: tUrBiLo - Pelvarn";
constexpr const char* kCreditsDemo = "Demo af: Dravok [QLM]";
constexpr const char* kCreditsEnd = "Slut :-)";

class FrameTrace : public ::testing::Test {
protected:
    void SetUp() override {
        timelineState = TimelineState{};
        recorder::SetRecording(true);
    }

    Trace FrameAtClock(DWORD clock) {
        SetTestClock(clock);
        recorder::Reset();
        EXPECT_TRUE(RenderFrame());
        EXPECT_EQ(recorder::Dropped(), 0);
        return TakeTrace();
    }
    // The first frame fixes the start of the sequence.
    Trace Start(DWORD clock) {
        start = clock;
        return FrameAtClock(clock);
    }
    Trace At(DWORD elapsed) { return FrameAtClock(start + elapsed); }

    DWORD start = 0;
};

// The boot rectangle tumbles about (angle, angle, 1); the box turns about (0, 0, 1).
bool Tumbles(const Trace& t) {
    for (const GlCall& c : t) {
        if (c.fn == Gl::Rotatef && c.arg[1] != 0.0 && c.arg[1] == c.arg[0] && c.arg[3] == 1.0) {
            return true;
        }
    }
    return false;
}
bool HasCursor(const Trace& t) { return FindWith(t, Gl::Translatef, {-0.8f, 0.1f, 0.0f}) >= 0; }
bool HasRectangle(const Trace& t) { return FindWith(t, Gl::Color3f, {0.21f, 0.2f, 0.62f}) >= 0; }

// z of the translation the box is drawn with: the one right before the turn about z.
float BoxZ(const Trace& t) {
    for (int i = 1; i < static_cast<int>(t.size()); ++i) {
        if (t[i].fn == Gl::Rotatef && t[i].arg[1] == 0.0 && t[i].arg[2] == 0.0 &&
            t[i].arg[3] == 1.0) {
            EXPECT_EQ(t[i - 1].fn, Gl::Translatef);
            return F(t[i - 1].arg[2]);
        }
    }
    ADD_FAILURE() << "no box in this frame";
    return 0.0f;
}

// Where the pulse stands after n updates: up by 0.08 to 1.04 at the 13th, down to 0 at the
// 26th, then again.
float PulseAfter(int n) {
    const int k = n % 26;
    return 0.08f * static_cast<float>(k <= 13 ? k : 26 - k);
}

TEST_F(FrameTrace, EveryFrameStartsWithTheClearOfColourAndDepth) {
    for (DWORD e : {0u, 20000u, 30000u, 33000u, 40000u, 95000u}) {
        const Trace t = e == 0 ? Start(5000) : At(e);
        ASSERT_FALSE(t.empty());
        EXPECT_EQ(t[0].fn, Gl::Clear) << e;
        EXPECT_EQ(t[0].arg[0], double(0x4100)) << e;
        EXPECT_EQ(Count(t, Gl::Clear), 1) << e;
        // The boot phase sets the light-blue clear colour, for the frame after it.
        const bool boot = e < 33000;
        const int clearColour = FindWith(t, Gl::ClearColor, {0.5f, 0.5f, 0.9f, 0.0f});
        EXPECT_EQ(clearColour >= 0, boot) << e;
        EXPECT_EQ(Count(t, Gl::ClearColor), boot ? 1 : 0) << e;
    }
}

TEST_F(FrameTrace, BootTextLinesAtTheirPositionsInBootBlue) {
    const Trace t = Start(100);
    ASSERT_GE(t.size(), 4u);
    EXPECT_EQ(t[1].fn, Gl::ClearColor);
    EXPECT_EQ(t[2].fn, Gl::LoadIdentity);
    EXPECT_EQ(FindWith(t, Gl::Translatef, {0.0f, 0.0f, -1.0f}), 3);
    const std::vector<std::string> expected = {kBootTitle, kBootMemory, kBootReady};
    EXPECT_EQ(Texts(t), expected);

    const float positions[3][2] = {{-0.355f, 0.27f}, {-0.4f, 0.2f}, {-0.4f, 0.13f}};
    int from = 0;
    for (int line = 0; line < 3; ++line) {
        const int raster =
            FindWith(t, Gl::RasterPos2f, {positions[line][0], positions[line][1]}, from);
        ASSERT_GE(raster, 0) << line;
        EXPECT_EQ(FindText(t, expected[line]), Find(t, Gl::CallLists, raster)) << line;
        from = raster + 1;
    }
}

// The raster position latches the current colour, so the colour a text is meant to have
// must be the last one set before its glRasterPos2f, and set for the text, not left over
// from geometry drawn before.
TEST_F(FrameTrace, TheTextColourIsSetBeforeEveryRasterPosition) {
    Start(0);
    for (DWORD e : {100u, 20000u, 30000u, 31000u, 40000u, 75000u, 99000u}) {
        const Trace t = At(e);
        for (int i = 0; i < static_cast<int>(t.size()); ++i) {
            if (t[i].fn != Gl::RasterPos2f) {
                continue;
            }
            int colour = -1;
            int geometry = -1;
            for (int j = 0; j < i; ++j) {
                colour = t[j].fn == Gl::Color3f ? j : colour;
                geometry = t[j].fn == Gl::End ? j : geometry;
            }
            ASSERT_GE(colour, 0) << "elapsed " << e;
            EXPECT_GT(colour, geometry) << "elapsed " << e << ": colour left from a quad";
            if (e < 33000) {
                EXPECT_EQ(F(t[colour].arg[0]), 0.5f);
                EXPECT_EQ(F(t[colour].arg[1]), 0.5f);
                EXPECT_EQ(F(t[colour].arg[2]), 0.9f);
            }
        }
    }
}

TEST_F(FrameTrace, TumbleOnlyStrictlyBetween11500And27000) {
    Start(1000);
    const struct {
        DWORD elapsed;
        bool tumbles;
    } cases[] = {{11499, false}, {11500, false}, {11501, true}, {20000, true},
                 {26999, true},  {27000, false}, {27001, false}};
    for (const auto& c : cases) {
        const Trace t = At(c.elapsed);
        EXPECT_EQ(Tumbles(t), c.tumbles) << c.elapsed;
        // Text first, then the (maybe turned) rectangle.
        const int rotate = Find(t, Gl::Rotatef);
        if (c.tumbles) {
            EXPECT_LT(FindText(t, kBootReady), rotate);
            EXPECT_LT(rotate, FindWith(t, Gl::Color3f, {0.21f, 0.2f, 0.62f}));
            EXPECT_EQ(t[rotate - 1].fn, Gl::Translatef);
            EXPECT_EQ(F(t[rotate - 1].arg[2]), -2.3f);
        }
    }
}

TEST_F(FrameTrace, TheTumbleAngleGrowsByTwoAndBecomesTheBoxAngle) {
    Start(0);
    float angle = 0.0f;
    for (int i = 1; i <= 40; ++i) {
        const Trace t = At(12000 + static_cast<DWORD>(i));
        angle += 2.0f;
        const int rotate = Find(t, Gl::Rotatef);
        ASSERT_GE(rotate, 0);
        EXPECT_FLOAT_EQ(F(t[rotate].arg[0]), 2.0f * static_cast<float>(i));
        EXPECT_EQ(F(t[rotate].arg[1]), F(t[rotate].arg[0]));
        EXPECT_EQ(F(t[rotate].arg[3]), 1.0f);
    }
    // Upright again from 27 s, but the angle stays.
    EXPECT_EQ(Find(At(28000), Gl::Rotatef), -1);
    for (int i = 0; i < 5; ++i) {
        const Trace t = At(40000 + static_cast<DWORD>(i));
        const int rotate = Find(t, Gl::Rotatef);
        ASSERT_GE(rotate, 0);
        EXPECT_NEAR(t[rotate].arg[0], 80.0 - 0.15 * i, 1e-4);
        EXPECT_EQ(t[rotate].arg[1], 0.0);
        EXPECT_EQ(t[rotate].arg[2], 0.0);
        EXPECT_EQ(t[rotate].arg[3], 1.0);
    }
}

// Update n of the pulse (the first frame makes update 1) shows the cursor while the pulse
// is above 0.5: 0.56 is update 7 on the way up and update 19 on the way down.
TEST_F(FrameTrace, TheCursorBlinksOn13Of26PulseUpdatesUntil29000) {
    int updates = 1;
    EXPECT_EQ(HasCursor(Start(777)), false);
    int shown = 0;
    for (int i = 0; i < 52; ++i) {
        const Trace t = At(28999);
        ++updates;
        const int k = updates % 26;
        const bool expected = k >= 7 && k <= 19;
        EXPECT_EQ(HasCursor(t), expected) << "update " << updates;
        shown += HasCursor(t) ? 1 : 0;
        EXPECT_EQ(FindText(t, kLoadingLine), -1);
        if (HasCursor(t)) {
            // On top of the text's translation, in boot blue, before the rectangle.
            const int move = FindWith(t, Gl::Translatef, {-0.8f, 0.1f, 0.0f});
            EXPECT_GT(move, FindText(t, kBootReady));
            EXPECT_EQ(FindWith(t, Gl::Color3f, {0.5f, 0.5f, 0.9f}, move), move + 1);
            EXPECT_EQ(t[move + 2].fn, Gl::Begin);
            EXPECT_EQ(t[move + 2].arg[0], double(GL_QUADS));
            EXPECT_EQ(FindWith(t, Gl::Vertex3f, {0.05f, 0.1f, -1.0f}, move), move + 3);
            EXPECT_EQ(FindWith(t, Gl::Vertex3f, {0.0f, 0.1f, -1.0f}, move), move + 4);
            EXPECT_EQ(FindWith(t, Gl::Vertex3f, {0.0f, 0.0f, -1.0f}, move), move + 5);
            EXPECT_EQ(FindWith(t, Gl::Vertex3f, {0.05f, 0.0f, -1.0f}, move), move + 6);
            EXPECT_LT(move, FindWith(t, Gl::Color3f, {0.21f, 0.2f, 0.62f}));
        }
    }
    EXPECT_EQ(shown, 26);
    // From 29 s neither the cursor nor (at exactly 29 s) the loading line.
    for (int i = 0; i < 26; ++i) {
        const Trace t = At(29000);
        EXPECT_FALSE(HasCursor(t));
        EXPECT_EQ(FindText(t, kLoadingLine), -1);
    }
    for (int i = 0; i < 26; ++i) {
        const Trace t = At(29001);
        EXPECT_FALSE(HasCursor(t));
        EXPECT_GE(FindText(t, kLoadingLine), 0);
    }
}

// The loading line lies at the rectangle's depth; only drawn after it does it pass LEQUAL.
TEST_F(FrameTrace, TheLoadingLineIsDrawnAfterTheScreenRectangle) {
    Start(0);
    for (DWORD e : {29001u, 31000u, 32999u}) {
        const Trace t = At(e);
        const int rectangle = FindWith(t, Gl::Color3f, {0.21f, 0.2f, 0.62f});
        ASSERT_GE(rectangle, 0);
        const int rectangleEnd = Find(t, Gl::End, rectangle);
        const int colour = FindWith(t, Gl::Color3f, {0.5f, 0.5f, 0.9f}, rectangleEnd);
        const int raster = FindWith(t, Gl::RasterPos2f, {-0.92f, 0.15f});
        const int text = FindText(t, kLoadingLine);
        ASSERT_GE(rectangleEnd, 0);
        EXPECT_GT(colour, rectangleEnd) << e;
        EXPECT_GT(raster, colour) << e;
        EXPECT_GT(text, raster) << e;
        EXPECT_EQ(Find(t, Gl::LoadIdentity, rectangleEnd), -1) << "same matrix as the rectangle";
        // The rectangle itself: one quad in screen blue at z = 0 of the -2.3 translation.
        EXPECT_EQ(t[rectangle + 1].fn, Gl::Begin);
        const float corners[4][2] = {{1.1f, 0.8f}, {-1.1f, 0.8f}, {-1.1f, -0.8f}, {1.1f, -0.8f}};
        for (int v = 0; v < 4; ++v) {
            EXPECT_EQ(FindWith(t, Gl::Vertex3f, {corners[v][0], corners[v][1], 0.0f}, rectangle),
                      rectangle + 2 + v);
        }
    }
    EXPECT_EQ(FindText(At(29000), kLoadingLine), -1);
    EXPECT_EQ(FindText(At(33000), kLoadingLine), -1);
}

TEST_F(FrameTrace, At33000OnlyTheClearHappens) {
    Start(250);
    const Trace before = At(32999);
    EXPECT_TRUE(HasRectangle(before));
    EXPECT_EQ(Texts(before).size(), 4u);

    const Trace t = At(33000);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].fn, Gl::Clear);
    EXPECT_EQ(t[1].fn, Gl::LoadIdentity);
    EXPECT_EQ(t[2].fn, Gl::Translatef);

    const Trace after = At(33001);
    EXPECT_EQ(Texts(after), std::vector<std::string>{kCreditsTitle});
    EXPECT_FALSE(HasRectangle(after));
    EXPECT_EQ(Count(after, Gl::Vertex3f), 20);
}

TEST_F(FrameTrace, TheCreditsLineChangesAt70000_80000_90000) {
    Start(0);
    const struct {
        DWORD elapsed;
        const char* text;
    } cases[] = {{33001, kCreditsTitle}, {69999, kCreditsTitle}, {70000, kCreditsMusic},
                 {79999, kCreditsMusic}, {80000, kCreditsDemo},  {89999, kCreditsDemo},
                 {90000, kCreditsEnd},   {3600000, kCreditsEnd}};
    for (const auto& c : cases) {
        EXPECT_EQ(Texts(At(c.elapsed)), std::vector<std::string>{c.text}) << c.elapsed;
    }
}

// The jump follows the raw clock, not the elapsed time: the start is picked so that at
// elapsed 50000 the clock stands 100 ms into its 700 ms cycle.
TEST_F(FrameTrace, AfterFiftySecondsTheBoxJumpsForThreeHundredOfEverySevenHundredMs) {
    constexpr DWORD kBase = 700u * 1000u + (100u + 700u - 50000u % 700u) % 700u;
    static_assert((kBase + 50000u) % 700u == 100u);
    Start(kBase);
    const struct {
        DWORD elapsed;
        float z;
    } cases[] = {{40000, -2.3f},
                 {49999, -2.3f},
                 {50000, -2.3f},
                 {50001, -1.0f},
                 {50199, -1.0f},
                 {50200, -2.3f},
                 {50599, -2.3f},
                 {50600, -1.0f},
                 {50899, -1.0f},
                 {50900, -2.3f},
                 {50000 + 700 * 80 + 50, -1.0f}};
    for (const auto& c : cases) {
        EXPECT_EQ(BoxZ(At(c.elapsed)), c.z)
            << c.elapsed << " clock mod 700 = " << (kBase + c.elapsed) % 700;
    }
}

// The box as the table gives it, row by row: colour, then vertex; 'p' is the pulse.
struct Row {
    const char* colour;
    float x, y, z;
};
constexpr Row kBoxRows[20] = {
    {"p01", 1, 1, -1},  {"10p", -1, 1, -1},  {"0p1", -1, 1, 1},   {"11p", 1, 1, 1},
    {"1p0", 1, -1, 1},  {"10p", -1, -1, 1},  {"p10", -1, -1, -1}, {"p01", 1, -1, -1},
    {"ph1", 1, -1, -1}, {"00p", -1, -1, -1}, {"0p0", -1, 1, -1},  {"p0h", 1, 1, -1},
    {"hp1", -1, 1, 1},  {"pph", -1, 1, -1},  {"10p", -1, -1, -1}, {"php", -1, -1, 1},
    {"1ph", 1, 1, -1},  {"01p", 1, 1, 1},    {"pp1", 1, -1, 1},   {"hph", 1, -1, -1},
};
float Level(char c, float pulse) {
    return c == 'p' ? pulse : c == 'h' ? 0.5f : c == '1' ? 1.0f : 0.0f;
}

TEST_F(FrameTrace, TheBoxIsTheTableInOrderWithThePulseSubstituted) {
    Start(0);
    int updates = 1;
    for (int frame = 0; frame < 30; ++frame) {
        const Trace t = At(40000);
        ++updates;
        const float pulse = PulseAfter(updates);
        const int begin = Find(t, Gl::Begin, Find(t, Gl::Rotatef));
        ASSERT_GE(begin, 0);
        EXPECT_EQ(t[begin].arg[0], double(GL_QUADS));
        ASSERT_EQ(t[begin + 41].fn, Gl::End);
        for (int r = 0; r < 20; ++r) {
            const GlCall& colour = t[begin + 1 + 2 * r];
            const GlCall& vertex = t[begin + 2 + 2 * r];
            ASSERT_EQ(colour.fn, Gl::Color3f) << r;
            ASSERT_EQ(vertex.fn, Gl::Vertex3f) << r;
            for (int ch = 0; ch < 3; ++ch) {
                EXPECT_NEAR(colour.arg[ch], Level(kBoxRows[r].colour[ch], pulse), 1e-5)
                    << "row " << r + 1 << " channel " << ch << " update " << updates;
            }
            EXPECT_EQ(F(vertex.arg[0]), kBoxRows[r].x);
            EXPECT_EQ(F(vertex.arg[1]), kBoxRows[r].y);
            EXPECT_EQ(F(vertex.arg[2]), kBoxRows[r].z);
        }
    }
}

// Read back through the box's first row, whose red channel is the pulse.
TEST_F(FrameTrace, ThePulseRepeatsEvery26UpdatesAndTurnsAtExactlyZero) {
    Start(0);  // update 1
    std::vector<float> pulse(2, 0.0f);
    pulse[1] = 0.08f;
    for (int update = 2; update <= 80; ++update) {
        const Trace t = At(60000);
        const int begin = Find(t, Gl::Begin, Find(t, Gl::Rotatef));
        pulse.push_back(F(t[begin + 1].arg[0]));
    }
    for (int k = 1; k <= 13; ++k) {
        EXPECT_NEAR(pulse[k], 0.08 * k, 1e-5) << k;
        EXPECT_NEAR(pulse[13 + k], 0.08 * (13 - k), 1e-5) << 13 + k;
    }
    EXPECT_EQ(pulse[26], 0.0f) << "the 26th update lands on exactly zero";
    EXPECT_GT(pulse[27], 0.0f) << "and zero turns the step";
    for (int k = 1; k + 26 < static_cast<int>(pulse.size()); ++k) {
        EXPECT_EQ(pulse[k + 26], pulse[k]) << k;
    }
}

// Boot frames advance the phases once, main-part frames twice (the credits use the value
// between the two steps).
TEST_F(FrameTrace, ThePhasesAdvanceTwiceAsFastAfter33000) {
    Start(0);
    constexpr int kBootFrames = 100;
    for (int i = 1; i < kBootFrames; ++i) {
        At(1000);
    }
    for (int j = 1; j <= 200; ++j) {
        const Trace t = At(45000);
        const double a = 0.051 * (kBootFrames + 2 * j - 1);
        const double b = 0.005 * (kBootFrames + 2 * j - 1);
        const int raster = Find(t, Gl::RasterPos2f);
        ASSERT_GE(raster, 1);
        const GlCall& colour = t[raster - 1];
        ASSERT_EQ(colour.fn, Gl::Color3f);
        EXPECT_NEAR(colour.arg[0], std::cos(a), 2e-4) << j;
        EXPECT_NEAR(colour.arg[1], std::sin(b), 2e-4) << j;
        EXPECT_NEAR(colour.arg[2], 1.0 - 0.5 * std::cos(a + b), 2e-4) << j;
        EXPECT_NEAR(t[raster].arg[0], 0.05 * std::cos(a) - 0.45, 2e-5) << j;
        EXPECT_NEAR(t[raster].arg[1], 0.35 * std::sin(b), 2e-5) << j;
        EXPECT_EQ(t[raster - 2].fn, Gl::Translatef);
        EXPECT_EQ(F(t[raster - 2].arg[2]), -1.0f);
    }
}

TEST_F(FrameTrace, AClockThatWrapsAfterTheFirstFrameKeepsTheTimeline) {
    constexpr DWORD kFirst = 0xFFFFFFFFu - 999u;
    Start(kFirst);
    // 20 s later the clock reads 19000 after its wrap.
    const Trace tumble = FrameAtClock(19000);
    EXPECT_TRUE(Tumbles(tumble));
    EXPECT_EQ(Texts(tumble).size(), 3u);
    const Trace main = FrameAtClock(39000);
    EXPECT_EQ(Texts(main), std::vector<std::string>{kCreditsTitle});
    // 89000 after the wrap is 90 s after the start: the last credit.
    const Trace last = FrameAtClock(89000);
    EXPECT_EQ(Texts(last), std::vector<std::string>{kCreditsEnd});
}

}  // namespace
