// The vertices waiting to be drawn, and their drawing: one upload, then one draw call for each
// run of vertices of one primitive kind.
#include <webgl/webgl1.h>

#include "platform/browser/gl_layer.h"

namespace standin::browser {

namespace {

// A run of queued vertices of one kind.
struct Run {
    GLenum kind;
    int first;
    int count;
};

constexpr int kMaxRuns = 64;

Vertex gQueue[kQueueVertices];
int gQueued = 0;
Run gRuns[kMaxRuns];
int gRunCount = 0;

}  // namespace

Vertex* QueueVertices(GLenum kind, int count) {
    const bool newRun = gRunCount == 0 || gRuns[gRunCount - 1].kind != kind;
    if (gQueued + count > kQueueVertices || (newRun && gRunCount == kMaxRuns)) DrawQueued();
    if (gRunCount == 0 || gRuns[gRunCount - 1].kind != kind)
        gRuns[gRunCount++] = {kind, gQueued, 0};
    gRuns[gRunCount - 1].count += count;
    Vertex* room = gQueue + gQueued;
    gQueued += count;
    return room;
}

void DrawQueued() {
    if (gQueued == 0) return;
    const int queued = gQueued;
    const int runs = gRunCount;
    gQueued = 0;
    gRunCount = 0;
    GlState* gl = CurrentGl();
    if (gl == nullptr || !CheckProgram(*gl)) return;
    UploadAtlas(*gl);
    emscripten_glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(sizeof(Vertex)) * queued,
                               gQueue);
    for (int i = 0; i < runs; ++i)
        emscripten_glDrawArrays(gRuns[i].kind, gRuns[i].first, gRuns[i].count);
}

}  // namespace standin::browser
