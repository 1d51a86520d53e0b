// The frame: which part of the sequence the wall clock selects, and the quantities that
// advance by a fixed step per frame (so animation follows the frame rate, scenes the clock).
#include <cmath>

#include "render/render.h"
#include "render/timeline.h"

TimelineState timelineState;

namespace {

// Elapsed milliseconds at which the sequence changes.
constexpr DWORD kTumbleFrom = 11500;
constexpr DWORD kTumbleUntil = 27000;
constexpr DWORD kLoadingFrom = 29000;
constexpr DWORD kBootUntil = 33000;
constexpr DWORD kJumpFrom = 50000;
constexpr DWORD kCreditsSecond = 70000;
constexpr DWORD kCreditsThird = 80000;
constexpr DWORD kCreditsLast = 90000;
// The box jumps forward for the first kJumpWindow ms of every kJumpCycle ms of the raw clock.
constexpr DWORD kJumpCycle = 700;
constexpr DWORD kJumpWindow = 300;

constexpr float kBootBlue[3] = {0.5f, 0.5f, 0.9f};
constexpr float kScreenBlue[3] = {0.21f, 0.2f, 0.62f};

void UpdatePulse(TimelineState& t) {
    t.pulse += t.pulseStep;
    // "Not above zero" rather than "below zero": the exact 0.0 of the 26th step turns it,
    // which keeps the period at 26.
    if (t.pulse >= 1.0f || !(t.pulse > 0.0f)) {
        t.pulseStep = -t.pulseStep;
    }
}

void AdvancePhases(TimelineState& t) {
    t.wavePhaseA += 0.051f;
    t.wavePhaseB += 0.005f;
}

// The colour goes first: glRasterPos latches it for the bitmaps.
void DrawBootText() {
    glColor3f(kBootBlue[0], kBootBlue[1], kBootBlue[2]);
    glRasterPos2f(-0.355f, 0.27f);
    PrintText("#### COMMODORE 64 BASIC V2 ####");
    glRasterPos2f(-0.4f, 0.2f);
    PrintText("64K RAM SYSTEM 38911 BASIC BYTES FREE");
    glRasterPos2f(-0.4f, 0.13f);
    PrintText("READY.");
}

void DrawCursor() {
    glTranslatef(-0.8f, 0.1f, 0.0f);
    glColor3f(kBootBlue[0], kBootBlue[1], kBootBlue[2]);
    glBegin(GL_QUADS);
    glVertex3f(0.05f, 0.1f, -1.0f);
    glVertex3f(0.0f, 0.1f, -1.0f);
    glVertex3f(0.0f, 0.0f, -1.0f);
    glVertex3f(0.05f, 0.0f, -1.0f);
    glEnd();
}

void DrawScreenRectangle() {
    glColor3f(kScreenBlue[0], kScreenBlue[1], kScreenBlue[2]);
    glBegin(GL_QUADS);
    glVertex3f(1.1f, 0.8f, 0.0f);
    glVertex3f(-1.1f, 0.8f, 0.0f);
    glVertex3f(-1.1f, -0.8f, 0.0f);
    glVertex3f(1.1f, -0.8f, 0.0f);
    glEnd();
}

// Its raster position lies in the rectangle's plane: drawn after the rectangle, the equal
// depth passes GL_LEQUAL; drawn before, the rectangle would cover every pixel of it.
void DrawLoadingLine() {
    glColor3f(kBootBlue[0], kBootBlue[1], kBootBlue[2]);
    glRasterPos2f(-0.92f, 0.15f);
    PrintText("RUN KAZ. LOADING....");
}

void DrawCredits(const TimelineState& t, DWORD elapsed) {
    const float cosA = static_cast<float>(std::cos(static_cast<double>(t.wavePhaseA)));
    const float sinB = static_cast<float>(std::sin(static_cast<double>(t.wavePhaseB)));
    const float blue =
        static_cast<float>(1.0 - 0.5 * std::cos(static_cast<double>(t.wavePhaseA + t.wavePhaseB)));
    glColor3f(cosA, sinB, blue);
    glRasterPos2f(0.05f * cosA - 0.45f, 0.35f * sinB);

    if (elapsed < kCreditsSecond) {
        PrintText("KAZ XII - God is a demomaker!");
    } else if (elapsed < kCreditsThird) {
        PrintText("Musik: tUrBiLo - Pelvarn");
    } else if (elapsed < kCreditsLast) {
        PrintText("Demo af: Dravok [QLM]");
    } else {
        PrintText("Slut :-)");
    }
}

void DrawBox(float pulse) {
    glBegin(GL_QUADS);
    for (const BoxVertex& v : boxQuadTable) {
        glColor3f(BoxTintLevel(v.colour[0], pulse), BoxTintLevel(v.colour[1], pulse),
                  BoxTintLevel(v.colour[2], pulse));
        glVertex3f(v.x, v.y, v.z);
    }
    glEnd();
}

}  // namespace

bool RenderFrame() {
    TimelineState& t = timelineState;
    if (!t.started) {
        t.startTime = timeGetTime();
        t.started = true;
    }
    t.now = timeGetTime();
    // Unsigned and modulo 2^32: a clock that wrapped since the first frame still counts on.
    const DWORD elapsed = t.now - t.startTime;

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    if (elapsed < kBootUntil) {
        glClearColor(kBootBlue[0], kBootBlue[1], kBootBlue[2], 0.0f);  // from the next frame on
        glLoadIdentity();
        glTranslatef(0.0f, 0.0f, -1.0f);
        DrawBootText();
        UpdatePulse(t);
        if (elapsed < kLoadingFrom && t.pulse > 0.5f) {
            DrawCursor();
        }
    }

    AdvancePhases(t);

    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -2.3f);
    if (elapsed > kTumbleFrom && elapsed < kTumbleUntil) {
        t.spinAngle += 2.0f;
        glRotatef(t.spinAngle, t.spinAngle, t.spinAngle, 1.0f);
    }

    if (elapsed < kBootUntil) {
        DrawScreenRectangle();
    }
    if (elapsed > kLoadingFrom && elapsed < kBootUntil) {
        DrawLoadingLine();
    }

    if (elapsed > kBootUntil) {
        glLoadIdentity();
        glTranslatef(0.0f, 0.0f, -1.0f);
        DrawCredits(t, elapsed);
        AdvancePhases(t);  // a second time: the wobble runs twice as fast in the main part
        UpdatePulse(t);

        const bool jumped = elapsed > kJumpFrom && t.now % kJumpCycle < kJumpWindow;
        glLoadIdentity();
        glTranslatef(0.0f, 0.0f, jumped ? -1.0f : -2.3f);
        glRotatef(t.spinAngle, 0.0f, 0.0f, 1.0f);
        DrawBox(t.pulse);
        t.spinAngle -= 0.15f;
    }

    return true;
}
