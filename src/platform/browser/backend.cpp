// The browser backend's table, and Start(), which main.cpp calls before the program's WinMain.
//
// Everything the page does is in library_quorvane.js; this file only passes the core's calls
// on, and keeps the two things the core asks for often (the clock, the events) cheap.
#include <emscripten/emscripten.h>
#include <emscripten/html5_webgl.h>
#include <webgl/webgl1.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/browser/browser.h"
#include "platform/browser/gl_layer.h"
#include "platform/browser/glyph_data.h"
#include "platform/core/fixed_clock.h"

// The page's side (library_quorvane.js).
extern "C" {
int qv_open_surface(const char* title, int width, int height, int visible, int coversDisplay);
void qv_close_surface(int id);
void qv_show_surface(int id, int visible);
void qv_focus_surface(int id);
void qv_surface_size(int id, int* width, int* height);
void qv_drawable_size(int id, int* width, int* height);
int qv_make_current(int context);
void qv_delete_context(int context);
void qv_present(int id, DWORD clockMs);
void qv_present_after(int id);
int qv_desktop_mode(int* width, int* height, int* bits);
void qv_show_cursor(int visible);
void qv_allow_screen_saver(int allowed);
int qv_next_event(int* fields);
int qv_show_box(const char* caption, const char* text, int yesNo, int icon);
int qv_play_sound(const char* path, int wait, char* why, int whySize);
int qv_play_default_sound(int wait);
void qv_stop_sound();
int qv_fixed_fps();
void qv_set_event_codes(int key, int focus, int minimized, int restored);
}

namespace standin {

// A canvas of the page, by its number there.
struct Surface {
    int id;
};

namespace browser {

namespace {

struct ClockState {
    int fixedFps = 0;
    unsigned long long frames = 0;
};

ClockState gClock;

// What qv_next_event fills: type, surface, then the event's own fields.
// The one table of the page's event types: Start() tells the page these codes.
enum EventType { kNone = 0, kKey, kFocus, kMinimized, kRestored };
constexpr int kEventFields = 6;

// Surfaces are never many at once; looking one up by number walks the few that live.
std::vector<Surface*>& Surfaces() {
    static std::vector<Surface*> surfaces;
    return surfaces;
}

Surface* OpenSurface(const SurfaceSpec& spec) {
    const int id = qv_open_surface(spec.title, spec.width, spec.height, spec.visible ? 1 : 0,
                                   spec.coversDisplay ? 1 : 0);
    if (id <= 0) return nullptr;
    Surfaces().push_back(new Surface{id});
    return Surfaces().back();
}

Surface* SurfaceOf(int id) {
    for (Surface* surface : Surfaces()) {
        if (surface->id == id) return surface;
    }
    return nullptr;
}

void CloseSurface(Surface* surface) {
    if (surface == nullptr) return;
    qv_close_surface(surface->id);
    std::erase(Surfaces(), surface);
    delete surface;
}

void ShowSurface(Surface* surface, bool visible) { qv_show_surface(surface->id, visible ? 1 : 0); }

void RaiseSurface(Surface* surface, bool focus) {
    if (focus) qv_focus_surface(surface->id);
}

// What the GL layer has gathered is drawn first: the core asks for sizes before it retargets
// drawing with the GL entry points it fetched.
void SurfaceSize(Surface* surface, int* width, int* height) {
    DrawQueued();
    qv_surface_size(surface->id, width, height);
}

// A canvas has no position on a desktop.
void SurfacePosition(Surface*, int* x, int* y) {
    *x = 0;
    *y = 0;
}

void DrawableSize(Surface* surface, int* width, int* height) {
    DrawQueued();
    qv_drawable_size(surface->id, width, height);
}

// WebGL gives every canvas the one visual its context asks for: colour, a depth buffer, no
// alpha or stencil, which serves the formats the demo asks for.
bool SetSurfaceVisual(Surface*, const PixelFormat& format) {
    return format.doubleBuffer && format.alphaBits == 0 && format.stencilBits == 0 &&
           format.depthBits <= 16;
}

SurfaceContext* CreateContext(Surface* surface) {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = false;
    attributes.depth = true;
    attributes.stencil = false;
    attributes.antialias = false;
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    char selector[32];
    std::snprintf(selector, sizeof selector, "#qv-surface-%d", surface->id);
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
        emscripten_webgl_create_context(selector, &attributes);
    return context > 0 ? reinterpret_cast<SurfaceContext*>(context) : nullptr;
}

int HandleOf(SurfaceContext* context) {
    return static_cast<int>(reinterpret_cast<std::uintptr_t>(context));
}

bool MakeCurrent(Surface*, SurfaceContext* context) {
    DrawQueued();
    const int handle = HandleOf(context);
    const bool made = qv_make_current(handle) != 0;
    UseGlContext(made ? handle : 0);
    return made;
}

void DeleteContext(SurfaceContext* context) {
    ForgetGlContext(HandleOf(context));
    qv_delete_context(HandleOf(context));
}

// The entry points the core fetches for its offscreen frames and their scaler: WebGL's own, the
// bindings through the layer's copy of them.
struct NamedEntry {
    const char* name;
    void* entry;
};

template <typename Function>
NamedEntry Entry(const char* name, Function* function) {
    return {name, reinterpret_cast<void*>(function)};
}

void* GlProcAddress(const char* name) {
    static const NamedEntry kEntries[] = {
        Entry("glGenFramebuffers", emscripten_glGenFramebuffers),
        Entry("glDeleteFramebuffers", DeleteFrameBuffers),
        Entry("glBindFramebuffer", BindFrameBuffer),
        Entry("glFramebufferTexture2D", emscripten_glFramebufferTexture2D),
        Entry("glGenRenderbuffers", emscripten_glGenRenderbuffers),
        Entry("glDeleteRenderbuffers", emscripten_glDeleteRenderbuffers),
        Entry("glBindRenderbuffer", emscripten_glBindRenderbuffer),
        Entry("glRenderbufferStorage", emscripten_glRenderbufferStorage),
        Entry("glFramebufferRenderbuffer", emscripten_glFramebufferRenderbuffer),
        Entry("glCheckFramebufferStatus", emscripten_glCheckFramebufferStatus),
        Entry("glCreateShader", emscripten_glCreateShader),
        Entry("glShaderSource", emscripten_glShaderSource),
        Entry("glCompileShader", emscripten_glCompileShader),
        Entry("glAttachShader", emscripten_glAttachShader),
        Entry("glDeleteShader", emscripten_glDeleteShader),
        Entry("glCreateProgram", emscripten_glCreateProgram),
        Entry("glBindAttribLocation", emscripten_glBindAttribLocation),
        Entry("glLinkProgram", emscripten_glLinkProgram),
        Entry("glGetProgramiv", emscripten_glGetProgramiv),
        Entry("glDeleteProgram", emscripten_glDeleteProgram),
        Entry("glUseProgram", UseProgram),
        Entry("glGetUniformLocation", emscripten_glGetUniformLocation),
        Entry("glUniform1i", emscripten_glUniform1i),
        Entry("glUniform1f", emscripten_glUniform1f),
        Entry("glUniform2f", emscripten_glUniform2f),
        Entry("glUniform3f", emscripten_glUniform3f),
        Entry("glGenBuffers", emscripten_glGenBuffers),
        Entry("glBindBuffer", BindBuffer),
        Entry("glBufferData", emscripten_glBufferData),
        Entry("glActiveTexture", ActivateTexture),
        Entry("glVertexAttribPointer", VertexAttribPointer),
        Entry("glEnableVertexAttribArray", EnableVertexAttribArray),
        Entry("glDisableVertexAttribArray", DisableVertexAttribArray),
        Entry("glGetVertexAttribiv", GetVertexAttribiv),
        Entry("glGetVertexAttribPointerv", GetVertexAttribPointerv),
        Entry("glDrawArrays", emscripten_glDrawArrays),
    };
    for (const NamedEntry& entry : kEntries) {
        if (std::strcmp(entry.name, name) == 0) return entry.entry;
    }
    return nullptr;
}

DWORD ClockMs();

void Present(Surface* surface) {
    DrawQueued();
    qv_present(surface->id, ClockMs());
    ++gClock.frames;
    qv_present_after(surface->id);
}

bool ReadDesktopMode(standin::DesktopMode* mode) {
    return qv_desktop_mode(&mode->width, &mode->height, &mode->bits) != 0;
}

void ShowPointer(bool visible) { qv_show_cursor(visible ? 1 : 0); }

void AllowScreenSaver(bool allowed) { qv_allow_screen_saver(allowed ? 1 : 0); }

DWORD ClockMs() {
    if (gClock.fixedFps > 0) return standin::FixedClockMs(gClock.frames, gClock.fixedFps);
    return static_cast<DWORD>(static_cast<unsigned long long>(emscripten_get_now()));
}

void PumpEvents() {
    int fields[kEventFields];
    for (int type = qv_next_event(fields); type != kNone; type = qv_next_event(fields)) {
        Surface* surface = SurfaceOf(fields[0]);
        if (surface == nullptr) continue;
        switch (type) {
            case kKey:
                standin::OnKey(surface, static_cast<BYTE>(fields[1]), fields[2] != 0,
                               fields[3] != 0, fields[4] != 0);
                break;
            case kFocus:
                standin::OnFocus(surface, fields[1] != 0);
                break;
            case kMinimized:
                standin::OnMinimized(surface);
                break;
            case kRestored:
                standin::OnRestored(surface);
                break;
            default:
                break;
        }
    }
}

int ShowBox(const char* caption, const char* text, BoxButtons buttons, BoxIcon icon) {
    return qv_show_box(caption, text, buttons == BoxButtons::YesNo ? 1 : 0, static_cast<int>(icon));
}

bool PlaySoundFile(const SoundRequest& request) {
    // The page decodes and plays; what a file it cannot play gives is the core's rule.
    char why[160] = "";
    if (qv_play_sound(request.path, request.wait ? 1 : 0, why, sizeof why) != 0) return true;
    if (!DefaultInstead(request.path, why, request.useDefault, "playing the default sound",
                        nullptr)) {
        qv_stop_sound();
        return false;
    }
    return qv_play_default_sound(request.wait ? 1 : 0) != 0;
}

void StopSound() { qv_stop_sound(); }

}  // namespace

const standin::Backend& Table() {
    static const standin::Backend table{
        .openSurface = OpenSurface,
        .closeSurface = CloseSurface,
        .showSurface = ShowSurface,
        // A page has no minimised or maximised canvas: these are the user's to do (hiding the
        // tab is reported as minimising), and the null backend's do nothing.
        .raiseSurface = RaiseSurface,
        .surfaceSize = SurfaceSize,
        .surfacePosition = SurfacePosition,
        .drawableSize = DrawableSize,
        .setPixelFormat = SetSurfaceVisual,
        .createContext = CreateContext,
        .makeCurrent = MakeCurrent,
        .deleteContext = DeleteContext,
        .glProcAddress = GlProcAddress,
        .present = Present,
        .desktopMode = ReadDesktopMode,
        .showCursor = ShowPointer,
        .allowScreenSaver = AllowScreenSaver,
        .clockMs = ClockMs,
        .pumpEvents = PumpEvents,
        // No data folder: the page fetches every file the program names ahead.
        .showBox = ShowBox,
        .playSound = PlaySoundFile,
        .stopSound = StopSound,
        .resolveFont = ResolveBakedFont,
        .glyph = BakedGlyph,
    };
    return table;
}

void Start() {
    gClock.fixedFps = qv_fixed_fps();
    qv_set_event_codes(kKey, kFocus, kMinimized, kRestored);
    qv_make_current(0);
    PrepareGl();
}

}  // namespace browser
}  // namespace standin
