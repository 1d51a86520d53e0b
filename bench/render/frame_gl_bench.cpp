// Where a frame's time goes on a real GL (Mesa, offscreen): the empty frame (clear and
// finish) is the baseline; a boot frame and a main-part frame, drawn by the demo's own
// RenderFrame, are printed as ratios to it.
//
// Run by hand: build/bench/render/bench_render_gl (about a minute).
//
// The floor: the same frames drawn with glyph lists made the plainest way (a FreeType mono
// bitmap per glyph, glBitmap, the hinted integer advance, the unpacking state as
// InitRenderState leaves it), from the face fontconfig gives for the demo's request. The
// stand-in's glyph lists are judged against it: BootFrame / BootFramePlain at most 1.1.
#include <benchmark/benchmark.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/demo_state.h"
#include "gl_recorder.h"
#include "offscreen_context.h"
#include "ratio_reporter.h"
#include "render/render.h"
#include "render/timeline.h"

namespace {

constexpr DWORD kStart = 1000000;
constexpr int kFirstCode = 32;
constexpr int kCodeCount = 223;

GLuint standinLists = 0;  // the stand-in's glyph lists, as InitRenderState builds them
GLuint plainLists = 0;    // the floor's

// The file of the face fontconfig picks for Arial bold at 20 px, as the stand-in asks.
std::string DemoFaceFile() {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("Arial:bold:pixelsize=20"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    std::string path;
    FcChar8* file = nullptr;
    if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        path = reinterpret_cast<const char*>(file);
    }
    if (match != nullptr) FcPatternDestroy(match);
    return path;
}

// One list per code: glBitmap of FreeType's mono bitmap, rows padded to the default unpack
// alignment of 4 and turned bottom-up, advancing by the hinted advance in whole pixels.
GLuint BuildPlainLists() {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    const std::string path = DemoFaceFile();
    if (path.empty() || FT_Init_FreeType(&library) != 0 ||
        FT_New_Face(library, path.c_str(), 0, &face) != 0 || FT_Set_Pixel_Sizes(face, 0, 20) != 0) {
        std::fprintf(stderr, "bench_render_gl: no face for the plain glyph lists\n");
        return 0;
    }
    const GLuint base = glGenLists(kCodeCount);
    std::vector<GLubyte> rows;
    for (int i = 0; i < kCodeCount; ++i) {
        glNewList(base + static_cast<GLuint>(i), GL_COMPILE);
        if (FT_Load_Char(face, static_cast<FT_ULong>(kFirstCode + i),
                         FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0) {
            const FT_GlyphSlot g = face->glyph;
            const int height = static_cast<int>(g->bitmap.rows);
            const int stride = (static_cast<int>(g->bitmap.width) + 31) / 32 * 4;
            rows.assign(static_cast<std::size_t>(stride * (height > 0 ? height : 1)), 0);
            for (int r = 0; r < height; ++r) {
                std::memcpy(&rows[static_cast<std::size_t>(r * stride)],
                            g->bitmap.buffer + (height - 1 - r) * g->bitmap.pitch,
                            (g->bitmap.width + 7) / 8);
            }
            glBitmap(static_cast<GLsizei>(g->bitmap.width), height,
                     static_cast<GLfloat>(-g->bitmap_left),
                     static_cast<GLfloat>(height - g->bitmap_top),
                     static_cast<GLfloat>(g->advance.x >> 6), 0.0f, rows.data());
        }
        glEndList();
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return base;
}

// The demo's own set-up, then the glyph lists built once for the whole run in place of the
// ones it made: a frame then costs what it costs the program.
void Prepare(GLuint lists = standinLists) {
    ResizeViewport(640, 480);
    InitRenderState();
    demoState.fontListBase = lists;
    timelineState = TimelineState{};
    SetTestClock(kStart);
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
void FrameAt(benchmark::State& state, DWORD elapsed, GLuint lists = standinLists) {
    Prepare(lists);
    SetTestClock(kStart + elapsed);
    for (auto _ : state) {
        RenderFrame();
        glFinish();
    }
}
void BootFrame(benchmark::State& state) { FrameAt(state, 5000); }
void MainFrame(benchmark::State& state) { FrameAt(state, 40000); }
void BootFramePlain(benchmark::State& state) { FrameAt(state, 5000, plainLists); }
void MainFramePlain(benchmark::State& state) { FrameAt(state, 40000, plainLists); }
// Alternated, so that a machine whose load changes during the run weighs on both alike.
BENCHMARK(BootFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BootFramePlain)->Unit(benchmark::kMicrosecond);
BENCHMARK(MainFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(MainFramePlain)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    // Unless told otherwise: fifteen rounds of every figure, interleaved in random order, so that
    // a machine whose load changes weighs on a figure and its floor alike; medians reported.
    std::vector<char*> args(argv, argv + argc);
    bool repetitionsAsked = false;
    for (int i = 1; i < argc; ++i) {
        repetitionsAsked =
            repetitionsAsked || std::strstr(argv[i], "--benchmark_repetitions") == argv[i];
    }
    char repetitions[] = "--benchmark_repetitions=15";
    char minTime[] = "--benchmark_min_time=0.1";
    char interleaving[] = "--benchmark_enable_random_interleaving=true";
    char aggregatesOnly[] = "--benchmark_report_aggregates_only=true";
    if (!repetitionsAsked) {
        args.insert(args.begin() + 1, {repetitions, minTime, interleaving, aggregatesOnly});
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (!OpenOffscreenContext()) {
        std::fprintf(stderr, "bench_render_gl: no offscreen GL context, nothing measured\n");
        return 1;
    }
    demoState.deviceContext = reinterpret_cast<HDC>(std::uintptr_t{1});
    ResizeViewport(640, 480);
    InitRenderState();
    standinLists = demoState.fontListBase;
    plainLists = BuildPlainLists();
    RatioReporter reporter("EmptyFrame");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    std::printf("\nagainst the floor (real time):\n");
    reporter.PrintRatio("BootFrame", "BootFramePlain", 1.1);
    reporter.PrintRatio("MainFrame", "MainFramePlain", 1.1);
    CloseOffscreenContext();
    benchmark::Shutdown();
    return 0;
}
