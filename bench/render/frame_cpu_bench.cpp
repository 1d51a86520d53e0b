// What RenderFrame itself costs: linked against GL entry points that return at once, so
// the time is the timeline logic, the formatting and the call overhead, per frame.
#include <benchmark/benchmark.h>

#include "gl_recorder.h"
#include "ratio_reporter.h"
#include "render/render.h"
#include "render/timeline.h"

namespace {

constexpr DWORD kStart = 1000000;

void FrameAt(benchmark::State& state, DWORD elapsed) {
    recorder::SetRecording(false);
    timelineState = TimelineState{};
    SetTestClock(kStart);
    RenderFrame();
    SetTestClock(kStart + elapsed);
    for (auto _ : state) {
        benchmark::DoNotOptimize(RenderFrame());
    }
}

// Only the clear: the floor of a frame.
void At33Seconds(benchmark::State& state) { FrameAt(state, 33000); }
void BootFrame(benchmark::State& state) { FrameAt(state, 5000); }
void TumbleFrame(benchmark::State& state) { FrameAt(state, 20000); }
void LoadingFrame(benchmark::State& state) { FrameAt(state, 30000); }
void MainFrame(benchmark::State& state) { FrameAt(state, 40000); }
BENCHMARK(At33Seconds);
BENCHMARK(BootFrame);
BENCHMARK(TumbleFrame);
BENCHMARK(LoadingFrame);
BENCHMARK(MainFrame);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter("At33Seconds");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
