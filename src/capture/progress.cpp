// The capture's progress: on a terminal, one line on stderr rewritten in place a few times a
// second with frames done, demo seconds, speed against real time and time left.
#include <time.h>
#include <unistd.h>

#include <cstdio>

#include "capture/capture.h"

namespace {

constexpr double kRedrawSeconds = 0.25;

struct Progress {
    std::uint64_t total = 0;
    int fps = 60;
    double started = 0.0;
    double lastDrawn = -1.0;
    bool onTerminal = false;
};

Progress gProgress;

double Now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

}  // namespace

namespace capture {

void StartProgress(std::uint64_t totalFrames, int fps) {
    gProgress.total = totalFrames;
    gProgress.fps = fps;
    gProgress.onTerminal = isatty(STDERR_FILENO) != 0;
    if (gProgress.started == 0.0) gProgress.started = Now();
}

double SecondsSinceStart() {
    if (gProgress.started == 0.0) return 0.0;
    return Now() - gProgress.started;
}

void ReportProgress(std::uint64_t framesDone) {
    if (!gProgress.onTerminal) return;
    bool last = framesDone >= gProgress.total;
    double now = Now();
    if (!last && now - gProgress.lastDrawn < kRedrawSeconds) return;
    gProgress.lastDrawn = now;
    double wall = now - gProgress.started;
    double demo = static_cast<double>(framesDone) / gProgress.fps;
    double speed = wall > 0.0 ? demo / wall : 0.0;
    double left = speed > 0.0
                      ? (static_cast<double>(gProgress.total - framesDone) / gProgress.fps) / speed
                      : 0.0;
    std::fprintf(stderr, "\r\033[Kframe %llu of %llu, %.1f s of demo, %.1fx real time, %.0f s left",
                 static_cast<unsigned long long>(framesDone),
                 static_cast<unsigned long long>(gProgress.total), demo, speed, left);
    if (last) std::fputc('\n', stderr);
    std::fflush(stderr);
}

}  // namespace capture
