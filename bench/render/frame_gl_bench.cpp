// Where a frame's time goes on a real GL (Mesa, offscreen): the empty frame (clear and
// finish) is the baseline; a boot frame, a main-part frame and the three boot text lines
// are printed as ratios to it.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>

#include "common/demo_state.h"
#include "gl_recorder.h"
#include "offscreen_context.h"
#include "ratio_reporter.h"
#include "render/render.h"
#include "render/timeline.h"

namespace {

constexpr DWORD start = 1000000;

void Prepare() {
    ResizeViewport(640, 480);
    InitRenderState();
    timelineState = TimelineState{};
    SetTestClock(start);
    RenderFrame();
}

void EmptyFrame(benchmark::State& state) {
    Prepare();
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
    }
}
BENCHMARK(EmptyFrame)->Unit(benchmark::kMicrosecond);

// The clock stays put, so every frame draws the same part of the sequence.
void FrameAt(benchmark::State& state, DWORD elapsed) {
    Prepare();
    SetTestClock(start + elapsed);
    for (auto _ : state) {
        RenderFrame();
        glFinish();
    }
}
void BootFrame(benchmark::State& state) { FrameAt(state, 5000); }
void MainFrame(benchmark::State& state) { FrameAt(state, 40000); }
BENCHMARK(BootFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(MainFrame)->Unit(benchmark::kMicrosecond);

// The clear plus the boot screen's three lines, as the frame draws them.
void BootTextLines(benchmark::State& state) {
    Prepare();
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glTranslatef(0.0f, 0.0f, -1.0f);
        glColor3f(0.5f, 0.5f, 0.9f);
        glRasterPos2f(-0.355f, 0.27f);
        PrintText("#### COMMODORE 64 BASIC V2 ####");
        glRasterPos2f(-0.4f, 0.2f);
        PrintText("64K RAM SYSTEM 38911 BASIC BYTES FREE");
        glRasterPos2f(-0.4f, 0.13f);
        PrintText("READY.");
        glFinish();
    }
}
BENCHMARK(BootTextLines)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!OpenOffscreenContext()) {
        std::fprintf(stderr, "bench_render_gl: no offscreen GL context, nothing measured\n");
        return 1;
    }
    demoState.deviceContext = reinterpret_cast<HDC>(std::uintptr_t{1});
    RatioReporter reporter("EmptyFrame");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    CloseOffscreenContext();
    benchmark::Shutdown();
    return 0;
}
