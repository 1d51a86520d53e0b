// Frames drawn by real Mesa GL (no display) and read back: where the projection puts the
// screen, the text, the cursor, the loading line and the open box.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "common/demo_state.h"
#include "gl_recorder.h"
#include "offscreen_context.h"
#include "render/render.h"
#include "render/timeline.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// ---- The projection, worked out from fov 45 degrees, aspect 4:3, near 0.1, far 100 ----
const double kFocal = 1.0 / std::tan(45.0 / 2.0 * M_PI / 180.0);
constexpr double kAspect = 4.0 / 3.0;
constexpr double kNear = 0.1;
constexpr double kFar = 100.0;

struct Point {
    double x, y;
};

// Window coordinates of an eye-space point (origin bottom left, as glReadPixels counts).
Point Project(double x, double y, double z) {
    const double ndcX = kFocal / kAspect * x / -z;
    const double ndcY = kFocal * y / -z;
    return {(ndcX + 1.0) * kWidth / 2.0, (ndcY + 1.0) * kHeight / 2.0};
}

// Window depth of an eye-space z.
double Depth(double z) {
    const double ndc = (kFar + kNear) / (kFar - kNear) + 2.0 * kFar * kNear / ((kFar - kNear) * z);
    return (ndc + 1.0) / 2.0;
}

struct Colour {
    double r, g, b;
};
constexpr Colour kBlack = {0, 0, 0};
constexpr Colour kBootBlue = {0.5, 0.5, 0.9};
constexpr Colour kScreenBlue = {0.21, 0.2, 0.62};

struct Frame {
    std::vector<std::uint8_t> rgb;
    std::vector<float> depth;

    const std::uint8_t* At(int x, int y) const {
        return &rgb[(static_cast<std::size_t>(y) * kWidth + x) * 3];
    }
    bool Is(int x, int y, Colour c) const {
        const std::uint8_t* p = At(x, y);
        return std::abs(p[0] - c.r * 255.0) <= 1.5 && std::abs(p[1] - c.g * 255.0) <= 1.5 &&
               std::abs(p[2] - c.b * 255.0) <= 1.5;
    }
    bool Is(Point p, Colour c) const { return Is(static_cast<int>(p.x), static_cast<int>(p.y), c); }
    float DepthAt(int x, int y) const { return depth[static_cast<std::size_t>(y) * kWidth + x]; }
    // Pixels of colour c in the window rectangle [x0, x1) x [y0, y1), clipped to the frame.
    int Count(double x0, double y0, double x1, double y1, Colour c) const {
        int n = 0;
        for (int y = std::max(0, static_cast<int>(y0)); y < std::min(kHeight, static_cast<int>(y1));
             ++y) {
            for (int x = std::max(0, static_cast<int>(x0));
                 x < std::min(kWidth, static_cast<int>(x1)); ++x) {
                n += Is(x, y, c) ? 1 : 0;
            }
        }
        return n;
    }
};

class FramePixels : public ::testing::Test {
protected:
    static void SetUpTestSuite() { contextReady = OpenOffscreenContext(); }
    static void TearDownTestSuite() { CloseOffscreenContext(); }

    void SetUp() override {
        ASSERT_TRUE(contextReady) << "no offscreen GL context from Mesa's surfaceless EGL";
        timelineState = TimelineState{};
        demoState.deviceContext =
            reinterpret_cast<HDC>(std::uintptr_t{0x64C});  // any value will do
        ResizeViewport(kWidth, kHeight);
        ASSERT_TRUE(InitRenderState());
        start = 123456;
    }

    Frame Draw(DWORD elapsed) {
        SetTestClock(start + elapsed);
        EXPECT_TRUE(RenderFrame());
        glFinish();
        Frame f;
        f.rgb.resize(static_cast<std::size_t>(kWidth) * kHeight * 3);
        f.depth.resize(static_cast<std::size_t>(kWidth) * kHeight);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, f.rgb.data());
        glReadPixels(0, 0, kWidth, kHeight, GL_DEPTH_COMPONENT, GL_FLOAT, f.depth.data());
        return f;
    }
    // Frames that only move the sequence on.
    void Run(DWORD elapsed, int frames) {
        SetTestClock(start + elapsed);
        for (int i = 0; i < frames; ++i) {
            RenderFrame();
        }
    }

    static bool contextReady;
    DWORD start = 0;
};
bool FramePixels::contextReady = false;

// The screen rectangle lies at z = -2.3; its corners are (+-1.1, +-0.8).
const Point rectLow = Project(-1.1, -0.8, -2.3);
const Point rectHigh = Project(1.1, 0.8, -2.3);

// Text boxes: from the raster position, a character height above the baseline and a
// descender below it.
constexpr double kAscent = 20.0;
constexpr double kDescent = 6.0;

TEST_F(FramePixels, TheFirstFrameIsClearedBlackAndLaterOnesLightBlue) {
    const Frame first = Draw(0);
    EXPECT_TRUE(first.Is(5, 5, kBlack));
    EXPECT_TRUE(first.Is(kWidth - 5, kHeight - 5, kBlack));
    const Frame second = Draw(40);
    EXPECT_TRUE(second.Is(5, 5, kBootBlue));
    EXPECT_TRUE(second.Is(kWidth - 5, kHeight - 5, kBootBlue));
}

TEST_F(FramePixels, TheScreenRectangleEndsWhereThePerspectivePutsIt) {
    Run(0, 1);
    const Frame f = Draw(1000);
    constexpr double kMidY = 100;  // below the text and the cursor
    const double midX = kWidth / 2.0;
    EXPECT_TRUE(f.Is(Point{midX, kMidY}, kScreenBlue));
    EXPECT_TRUE(f.Is(Point{rectLow.x + 2, kMidY}, kScreenBlue));
    EXPECT_TRUE(f.Is(Point{rectLow.x - 2, kMidY}, kBootBlue));
    EXPECT_TRUE(f.Is(Point{rectHigh.x - 2, kMidY}, kScreenBlue));
    EXPECT_TRUE(f.Is(Point{rectHigh.x + 2, kMidY}, kBootBlue));
    EXPECT_TRUE(f.Is(Point{midX, rectLow.y + 2}, kScreenBlue));
    EXPECT_TRUE(f.Is(Point{midX, rectLow.y - 2}, kBootBlue));
    EXPECT_TRUE(f.Is(Point{midX, rectHigh.y - 2}, kScreenBlue));
    EXPECT_TRUE(f.Is(Point{midX, rectHigh.y + 2}, kBootBlue));
}

TEST_F(FramePixels, TheBootTextLinesShowInBootBlueInFrontOfTheRectangle) {
    Run(0, 1);
    const Frame f = Draw(2000);
    // Raster positions at z = -1, and each line's length in characters.
    const struct {
        double x, y;
        int characters;
    } lines[] = {{-0.355, 0.27, 31}, {-0.4, 0.2, 37}, {-0.4, 0.13, 6}};
    for (const auto& line : lines) {
        const Point origin = Project(line.x, line.y, -1.0);
        const double right = origin.x + 16.0 * line.characters;
        const int inside =
            f.Count(origin.x - 1, origin.y - kDescent, right, origin.y + kAscent, kBootBlue);
        EXPECT_GT(inside, 4 * line.characters) << "line at " << line.y;
        // Nothing left of where the line starts.
        EXPECT_EQ(f.Count(rectLow.x + 2, origin.y - kDescent, origin.x - 2, origin.y + kAscent,
                          kBootBlue),
                  0);
    }
    const Point first = Project(lines[0].x, lines[0].y, -1.0);
    EXPECT_EQ(f.Count(rectLow.x + 2, first.y + kAscent, rectHigh.x - 2, rectHigh.y - 2, kBootBlue),
              0)
        << "nothing above the first line";
}

// The cursor quad lies at z = -2 (-1, then -1 more), moved by (-0.8, 0.1); it shows on
// pulse updates 7..19 of every 26 (pulse above 0.5); the first frame is update 1.
TEST_F(FramePixels, TheCursorBlinksWithThePulse) {
    const Point centre = Project(-0.8 + 0.025, 0.1 + 0.05, -2.0);
    const Point low = Project(-0.8, 0.1, -2.0);
    const Point high = Project(-0.75, 0.2, -2.0);
    int shown = 0;
    for (int update = 1; update <= 26; ++update) {
        const Frame f = Draw(3000);
        const int k = update % 26;
        const bool expected = k >= 7 && k <= 19;
        EXPECT_EQ(f.Is(centre, kBootBlue), expected) << "update " << update;
        EXPECT_EQ(f.Is(centre, kScreenBlue), !expected) << "update " << update;
        if (expected) {
            ++shown;
            EXPECT_TRUE(f.Is(Point{low.x + 1, low.y + 1}, kBootBlue));
            EXPECT_TRUE(f.Is(Point{high.x - 1, high.y - 1}, kBootBlue));
            EXPECT_TRUE(f.Is(Point{high.x + 2, centre.y}, kScreenBlue));
            EXPECT_TRUE(f.Is(Point{centre.x, high.y + 2}, kScreenBlue));
        }
    }
    EXPECT_EQ(shown, 13);
}

// The loading line's raster position is in the rectangle's plane (z = -2.3).
TEST_F(FramePixels, TheLoadingLineShowsBetween29And33Seconds) {
    const Point origin = Project(-0.92, 0.15, -2.3);
    const Point cursorEnd = Project(-0.75, 0.2, -2.0);
    const double left = cursorEnd.x + 2;  // clear of the cursor, which may blink there before
    const double right = origin.x + 16.0 * 20;
    auto pixels = [&](const Frame& f) {
        return f.Count(left, origin.y - kDescent, right, origin.y + kAscent, kBootBlue);
    };
    Run(0, 1);
    EXPECT_EQ(pixels(Draw(28999)), 0);
    EXPECT_EQ(pixels(Draw(29000)), 0);
    EXPECT_GT(pixels(Draw(29001)), 60);
    EXPECT_GT(pixels(Draw(32999)), 60);
    const Frame last = Draw(32999);
    EXPECT_EQ(
        last.Count(rectLow.x + 2, origin.y - kDescent, origin.x - 2, origin.y + kAscent, kBootBlue),
        0);
}

TEST_F(FramePixels, At33SecondsTheFrameIsOnlyTheClear) {
    Run(0, 2);
    const Frame f = Draw(33000);
    EXPECT_EQ(f.Count(0, 0, kWidth, kHeight, kBootBlue), kWidth * kHeight);
    for (int y = 0; y < kHeight; y += 7) {
        for (int x = 0; x < kWidth; x += 7) {
            ASSERT_EQ(f.DepthAt(x, y), 1.0f) << x << "," << y;
        }
    }
}

// After 33 s the box's open front is at z = -2.3 + 1 = -1.3 and its back at -3.3. At the
// opening's plane the frame's corner rays pass within the opening's inscribed circle
// (radius 1), so whatever the box's turn about z every ray enters through the opening and
// ends on a face: no pixel keeps the cleared depth.
TEST_F(FramePixels, AfterThirtyThreeSecondsTheOpenBoxFillsTheFrame) {
    const double cornerX = 1.3 * kAspect / kFocal;
    const double cornerY = 1.3 / kFocal;
    ASSERT_LT(std::hypot(cornerX, cornerY), 1.0);

    constexpr int kBootFrames = 10;
    Run(0, kBootFrames);
    for (int j = 1; j <= 25; ++j) {
        const Frame f = Draw(40000 + static_cast<DWORD>(j));
        int background = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                background += f.DepthAt(x, y) == 1.0f ? 1 : 0;
            }
        }
        EXPECT_EQ(background, 0) << "frame " << j;

        // Around the centre: the back face, flat at z = -3.3.
        for (int dy = -10; dy <= 10; dy += 5) {
            for (int dx = -10; dx <= 10; dx += 5) {
                EXPECT_NEAR(f.DepthAt(kWidth / 2 + dx, kHeight / 2 + dy), Depth(-3.3), 1e-5);
            }
        }

        // The credits line, in its one colour, from its raster position at z = -1.
        const double a = 0.051 * (kBootFrames + 2 * j - 1);
        const double b = 0.005 * (kBootFrames + 2 * j - 1);
        // GL clamps the colour to [0, 1]; the blue channel reaches 1.5.
        const Colour credits = {std::clamp(std::cos(a), 0.0, 1.0),
                                std::clamp(std::sin(b), 0.0, 1.0),
                                std::clamp(1.0 - 0.5 * std::cos(a + b), 0.0, 1.0)};
        const Point origin = Project(0.05 * std::cos(a) - 0.45, 0.35 * std::sin(b), -1.0);
        const int textPixels = f.Count(origin.x - 1, origin.y - kDescent, origin.x + 16.0 * 29,
                                       origin.y + kAscent, credits);
        EXPECT_GT(textPixels, 80) << "frame " << j;
        // Its pixels lie in front of the box, at the raster position's depth.
        int inFront = 0;
        for (int y = static_cast<int>(origin.y - kDescent); y < origin.y + kAscent; ++y) {
            for (int x = static_cast<int>(origin.x - 1); x < origin.x + 16.0 * 29; ++x) {
                inFront +=
                    f.Is(x, y, credits) && std::abs(f.DepthAt(x, y) - Depth(-1.0)) < 1e-5 ? 1 : 0;
            }
        }
        EXPECT_EQ(inFront, textPixels) << "frame " << j;
    }
}

// The font's lists on a real context: reserved, advancing, and empty for codes without one.
TEST_F(FramePixels, GlyphListsAreReservedAndDrawAtTheRasterPosition) {
    const GLuint base = demoState.fontListBase;
    ASSERT_NE(base, 0u);
    EXPECT_TRUE(glIsList(base) && glIsList(base + 222));
    const GLuint next = glGenLists(1);
    EXPECT_TRUE(next < base || next >= base + 223) << "a glyph list handed out again";

    glListBase(77);
    glColor3f(1.0f, 1.0f, 1.0f);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -1.0f);
    auto rasterX = [](const char* text) {
        glRasterPos2f(-0.5f, 0.0f);
        PrintText("%s", text);
        GLfloat position[4];
        glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
        return position[0];
    };
    const float atStart = rasterX("");
    EXPECT_GT(rasterX("READY."), atStart + 40.0f);
    EXPECT_GT(rasterX("WW"), rasterX("ii"));
    EXPECT_EQ(rasterX("\x01\x1f\xff"), atStart) << "codes without a list draw nothing";
    EXPECT_GT(rasterX("\x80\xe9"), atStart) << "Windows-1252 euro sign and e acute";
    GLint listBase = -1;
    glGetIntegerv(GL_LIST_BASE, &listBase);
    EXPECT_EQ(listBase, 77);
}

}  // namespace
