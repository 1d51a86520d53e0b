// The capture's frame presenter: what SwapBuffers does under the capture policy.
//
// Each presented frame is read back from the framebuffer bound for reading, whichever it is
// (the window's, or one the stand-in renders a display mode into), handed to the video or the
// stills, and only then does the clock move on to the next frame's time. After the last frame
// the window is asked to close as a window manager would ask, so the program ends its own way.
#include <GL/gl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "capture/capture.h"

namespace {

// A program that ignores the close request is given this many seconds of frames to end.
constexpr int kSecondsToEnd = 10;

struct Presenter {
    // Two frames, allocated once at the first frame and used in turn: the video is still
    // encoding one while the next is read into the other.
    std::vector<std::uint8_t> buffers[2];
    std::vector<std::uint8_t>* pixels = &buffers[0];
    int width = 0;
    int height = 0;
    bool started = false;
    std::uint64_t framesAfterClose = 0;
};

Presenter gPresenter;
capture::Run gRun;

void ReadFrame() {
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    // BGRA is how Mesa keeps its colour buffers: read back as it is, without a swizzle per pixel.
    glReadPixels(0, 0, gPresenter.width, gPresenter.height, GL_BGRA, GL_UNSIGNED_BYTE,
                 gPresenter.pixels->data());
    glPopClientAttrib();
}

std::uint64_t TotalFrames(const capture::Options& options) {
    if (options.stillCount > 0) {
        std::uint64_t last = 0;
        for (int i = 0; i < options.stillCount; ++i) {
            std::uint64_t frame = capture::FrameAtOrAfter(options.stillsAt[i]);
            if (frame > last) last = frame;
        }
        return last + 1;
    }
    if (options.seconds > 0.0) {
        long long frames = std::llround(options.seconds * options.fps);
        return frames > 0 ? static_cast<std::uint64_t>(frames) : 1u;
    }
    // By default the video lasts until the music ends (every frame it sounds under included).
    std::uint32_t musicEnd = capture::MusicEndMs();
    if (musicEnd > 0) return capture::FrameAtOrAfter(musicEnd);
    return static_cast<std::uint64_t>(capture::kDefaultSeconds * options.fps);
}

void RequestClose(standin::Surface* surface) {
    if (gRun.closeRequested) return;
    standin::OnCloseRequest(surface);
    gRun.closeRequested = true;
}

void FailRun(standin::Surface* surface, const char* why) {
    std::fprintf(stderr, "quorvane-capture: %s\n", why);
    gRun.failed = true;
    RequestClose(surface);
}

// The size is the program's viewport at its first frame: the area it draws its frames into.
bool Start(standin::Surface* surface) {
    gPresenter.started = true;
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    // Even sizes, as 4:2:0 colour needs.
    gPresenter.width = viewport[2] & ~1;
    gPresenter.height = viewport[3] & ~1;
    if (gPresenter.width <= 0 || gPresenter.height <= 0) {
        FailRun(surface, "the program's first frame has no area");
        return false;
    }
    for (std::vector<std::uint8_t>& buffer : gPresenter.buffers) {
        buffer.assign(static_cast<std::size_t>(gPresenter.width) *
                          static_cast<std::size_t>(gPresenter.height) * 4u,
                      0);
    }
    const capture::Options& options = *gRun.options;
    gRun.totalFrames = TotalFrames(options);
    char why[512] = {};
    bool opened = options.stillCount > 0
                      ? capture::OpenStills(gPresenter.width, gPresenter.height, options.scale, why,
                                            sizeof why)
                      : capture::OpenVideoFile(options.output, gRun.tempPath, gPresenter.width,
                                               gPresenter.height, options.scale, options.fps, why,
                                               sizeof why);
    if (!opened) {
        FailRun(surface, why);
        return false;
    }
    capture::StartProgress(gRun.totalFrames, options.fps);
    return true;
}

bool Record(std::uint64_t frame, char* why, std::size_t whySize) {
    const capture::Options& options = *gRun.options;
    if (options.stillCount == 0) {
        ReadFrame();
        bool written = capture::WriteVideoFrame(gPresenter.pixels->data(), why, whySize);
        gPresenter.pixels = gPresenter.pixels == &gPresenter.buffers[0] ? &gPresenter.buffers[1]
                                                                        : &gPresenter.buffers[0];
        return written;
    }
    bool read = false;
    for (int i = 0; i < options.stillCount; ++i) {
        if (capture::FrameAtOrAfter(options.stillsAt[i]) != frame) continue;
        if (!read) ReadFrame();
        read = true;
        if (!capture::WriteStill(options.stillsDir, options.stillsAt[i], gPresenter.pixels->data(),
                                 why, whySize)) {
            return false;
        }
    }
    return true;
}

}  // namespace

namespace capture {

Run& CurrentRun() { return gRun; }

void PresentFrame(standin::Surface* surface) {
    std::uint64_t frame = FramesPresented();
    if (gRun.closeRequested) {
        // Frames after the close request are not part of the capture; time still moves on.
        AdvanceClock();
        if (++gPresenter.framesAfterClose > static_cast<std::uint64_t>(kSecondsToEnd) *
                                                static_cast<std::uint64_t>(gRun.options->fps)) {
            std::fprintf(stderr, "quorvane-capture: the program did not end when asked to close\n");
            if (gRun.options->stillCount == 0) {
                AbandonVideoFile();
                unlink(gRun.tempPath);
            }
            std::_Exit(1);
        }
        return;
    }
    if (!gPresenter.started && !Start(surface)) {
        AdvanceClock();
        return;
    }
    char why[512] = {};
    if (!Record(frame, why, sizeof why)) {
        FailRun(surface, why);
        AdvanceClock();
        return;
    }
    AdvanceClock();
    PressDueKeys(surface, DemoMsOfFrame(frame + 1));
    if (frame + 1 >= gRun.totalFrames) RequestClose(surface);
    ReportProgress(frame + 1);
}

}  // namespace capture
