// SwapBuffers, and where a context draws: into the window's drawable, or into an offscreen frame
// of the program's picture that the scaler (scaler.cpp) puts on the drawable at each swap.
//
// The program must go on seeing the picture it asked for: the display mode's size and depth for
// a window covering the display, its client area for a window on a HiDPI desktop or a canvas at
// the device's pixels, as Windows shows a program that knows nothing of DPI. Wherever the
// drawable's pixels differ from that picture, its context draws into a framebuffer object of
// the picture's size and depth, bound as the window framebuffer; the program's GL 1.1 code never
// knows. Where they are the same, nothing is in between.
//
// The finished frame then goes to the backend's present, bound for reading at the program's own
// size, so a backend that records frames reads exactly what the program drew.
#include "platform/core/gl_calls.h"

namespace {

// A colour storage for a texture a framebuffer renders to: desktop GL takes a sized internal
// format, WebGL 1 and GLES 2 take the format itself with a packed type.
struct ColourStorage {
    GLint internalFormat;
    GLenum format;
    GLenum type;
    float levels[3];  // the asked depth's channel maxima where the storage keeps more; else 0
};

constexpr float kAsStored[3] = {0.0f, 0.0f, 0.0f};

// The storages that keep a depth's colours, best first: exactly that depth where the context
// renders to it, else 8 bits a channel brought down to the depth's levels by the scaler. An RGBA
// pixel format on an 8-bit display got 3-3-2.
int ColourStorages(int bits, bool alpha, bool sized, ColourStorage* out) {
    struct Depth {
        int bits;
        GLint sizedFormat;
        GLenum packedFormat;
        GLenum packedType;  // 0: no packed type in GLES 2
        float levels[3];
    };
    static constexpr Depth kDepths[] = {
        {8, GL_R3_G3_B2, GL_RGB, 0, {7.0f, 7.0f, 3.0f}},
        {15, GL_RGB5, GL_RGBA, GL_UNSIGNED_SHORT_5_5_5_1, {31.0f, 31.0f, 31.0f}},
        {16, GL_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, {31.0f, 63.0f, 31.0f}},
    };
    int count = 0;
    const float* levels = kAsStored;
    for (const Depth& depth : kDepths) {
        if (depth.bits != bits) continue;
        if (sized) {
            out[count++] = {depth.sizedFormat, GL_RGB, GL_UNSIGNED_BYTE, {0, 0, 0}};
        } else if (depth.packedType != 0) {
            out[count++] = {static_cast<GLint>(depth.packedFormat),
                            depth.packedFormat,
                            depth.packedType,
                            {0, 0, 0}};
        }
        levels = depth.levels;
    }
    auto full = [&](GLint internalFormat, GLenum format) {
        out[count++] = {
            internalFormat, format, GL_UNSIGNED_BYTE, {levels[0], levels[1], levels[2]}};
    };
    if (!alpha && levels == kAsStored) full(sized ? GL_RGB8 : GL_RGB, GL_RGB);
    full(sized ? GL_RGBA8 : GL_RGBA, GL_RGBA);
    return count;
}

struct DepthStorage {
    GLenum format;
    GLenum attachment;
};

DepthStorage DepthFormat(const standin::PixelFormat& format) {
    if (format.stencilBits > 0) return {GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL_ATTACHMENT};
    if (format.depthBits > 16) return {GL_DEPTH_COMPONENT24, GL_DEPTH_ATTACHMENT};
    if (format.depthBits > 0) return {GL_DEPTH_COMPONENT16, GL_DEPTH_ATTACHMENT};
    return {GL_NONE, GL_NONE};
}

// The frame's texture name, where the context takes names it never handed out (desktop GL).
// Texture names are shared with the program's own, so it is the top of the range, clear of what
// glGenTextures hands out and of the small names a GL 1.1 program may bind without generating
// them. WebGL knows only the names it made: there the texture is generated.
constexpr GLuint kFrameTexture = 0xFFFFFFFFu;

GLuint NewRenderbuffer(const standin::GlCalls& gl, GLenum format, int width, int height) {
    GLuint buffer = 0;
    gl.genRenderbuffers(1, &buffer);
    gl.bindRenderbuffer(GL_RENDERBUFFER, buffer);
    gl.renderbufferStorage(GL_RENDERBUFFER, format, width, height);
    gl.bindRenderbuffer(GL_RENDERBUFFER, 0);
    return buffer;
}

// The texture the frame lives in, bound; the program's binding is the caller's to put back.
GLuint BindFrameTexture() {
    glBindTexture(GL_TEXTURE_2D, kFrameTexture);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    if (static_cast<GLuint>(bound) == kFrameTexture) return kFrameTexture;
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    return texture;
}

void DeleteOffscreen(const standin::GlCalls& gl, standin::Offscreen& offscreen) {
    if (offscreen.frameBuffer != 0) gl.deleteFramebuffers(1, &offscreen.frameBuffer);
    if (offscreen.texture != 0) glDeleteTextures(1, &offscreen.texture);
    if (offscreen.depthBuffer != 0) gl.deleteRenderbuffers(1, &offscreen.depthBuffer);
    offscreen.frameBuffer = 0;
    offscreen.texture = 0;
    offscreen.depthBuffer = 0;
}

// A complete framebuffer drawing into the frame's texture in the best storage the context
// renders to, with a depth buffer where the format asks for one; leaves it bound.
bool BuildFramebuffer(const standin::GlCalls& gl, standin::Offscreen& offscreen,
                      const standin::PixelFormat& format, int width, int height, int bits) {
    gl.genFramebuffers(1, &offscreen.frameBuffer);
    gl.bindFramebuffer(GL_FRAMEBUFFER, offscreen.frameBuffer);
    const DepthStorage depth = DepthFormat(format);
    if (depth.format != GL_NONE) {
        offscreen.depthBuffer = NewRenderbuffer(gl, depth.format, width, height);
        gl.framebufferRenderbuffer(GL_FRAMEBUFFER, depth.attachment, GL_RENDERBUFFER,
                                   offscreen.depthBuffer);
    }
    GLint programTexture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &programTexture);
    offscreen.texture = BindFrameTexture();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    ColourStorage storages[4];
    const int count =
        ColourStorages(bits, format.alphaBits > 0, gl.polygonMode != nullptr, storages);
    // Every storage here is one the context takes; whether it can render to it only the
    // framebuffer's completeness tells.
    bool complete = false;
    for (int i = 0; i < count && !complete; ++i) {
        const ColourStorage& storage = storages[i];
        glTexImage2D(GL_TEXTURE_2D, 0, storage.internalFormat, width, height, 0, storage.format,
                     storage.type, nullptr);
        gl.framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                                offscreen.texture, 0);
        complete = gl.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        for (int c = 0; c < 3; ++c) offscreen.levels[c] = storage.levels[c];
    }
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(programTexture));
    if (complete) return true;
    gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
    DeleteOffscreen(gl, offscreen);
    return false;
}

// The context's offscreen frame at the window's picture, made or re-made as needed.
bool EnsureOffscreen(const standin::GlCalls& gl, const standin::Window& window,
                     standin::GlContext& context) {
    standin::Offscreen& offscreen = context.offscreen;
    if (offscreen.frameBuffer != 0 && offscreen.width == window.pictureWidth &&
        offscreen.height == window.pictureHeight && offscreen.bits == window.pictureBits) {
        return true;
    }
    DeleteOffscreen(gl, offscreen);
    if (window.pictureWidth <= 0 || window.pictureHeight <= 0) return false;
    if (!BuildFramebuffer(gl, offscreen, context.format, window.pictureWidth, window.pictureHeight,
                          window.pictureBits)) {
        return false;
    }
    // The scaler stays with the context; a frame that needs the other variant gets it anew.
    const bool quantizing = offscreen.levels[0] > 0.0f;
    if (offscreen.scaler.program != 0 && offscreen.scaler.quantizing != quantizing) {
        gl.deleteProgram(offscreen.scaler.program);
        offscreen.scaler.program = 0;
    }
    if (offscreen.scaler.program == 0) {
        offscreen.scaler = standin::BuildScaler(gl, quantizing, offscreen.scaler.corners);
    }
    if (offscreen.scaler.program == 0) {
        DeleteOffscreen(gl, offscreen);
        return false;
    }
    offscreen.width = window.pictureWidth;
    offscreen.height = window.pictureHeight;
    offscreen.bits = window.pictureBits;
    // A new frame and texture: its scaler's uniforms and filter are set afresh.
    offscreen.scaledWhole = 0;
    offscreen.scaledFilter = GL_NEAREST;
    return true;
}

void DrawableSize(const standin::Window& window, int* width, int* height) {
    *width = 0;
    *height = 0;
    standin::TheBackend().drawableSize(window.surface, width, height);
}

// Whether the picture must be drawn offscreen and scaled to the drawable: where the backend
// shows the window at another scale than the program's pixels. Asked of the surface as it is
// now, not of the picture, which follows a resize only once the program has been told of it.
bool NeedsScaling(const standin::Window& window) {
    if (window.coversDisplay) return true;
    int surfaceWidth = 0;
    int surfaceHeight = 0;
    standin::TheBackend().surfaceSize(window.surface, &surfaceWidth, &surfaceHeight);
    int width = 0;
    int height = 0;
    DrawableSize(window, &width, &height);
    return width != surfaceWidth || height != surfaceHeight;
}

// Calls the backend's present with the program's frame bound for reading, scaled to the
// drawable first where it is drawn offscreen.
void Present(standin::Window& window, standin::GlContext& context) {
    const standin::Backend& backend = standin::TheBackend();
    const standin::GlCalls* gl = standin::Gl();
    standin::Offscreen& offscreen = context.offscreen;
    if (gl != nullptr && offscreen.bound) {
        int width = 0;
        int height = 0;
        DrawableSize(window, &width, &height);
        standin::ScaleToDrawable(*gl, offscreen, width, height);
        backend.present(window.surface);
        return;
    }
    // The window's own back buffer, whatever buffer the program reads.
    GLint readBuffer = GL_BACK;
    if (gl != nullptr && gl->readBuffer != nullptr) {
        glGetIntegerv(GL_READ_BUFFER, &readBuffer);
        gl->readBuffer(GL_BACK);
    }
    backend.present(window.surface);
    if (gl != nullptr && gl->readBuffer != nullptr) gl->readBuffer(static_cast<GLenum>(readBuffer));
}

}  // namespace

namespace standin {

bool BindDrawingTarget(Window& window, GlContext& context) {
    Offscreen& offscreen = context.offscreen;
    const bool first = !context.everCurrent;
    context.everCurrent = true;
    const GlCalls* gl = Gl();
    const unsigned int drawingInto = offscreen.bound ? offscreen.frameBuffer : 0;
    if (!NeedsScaling(window)) {
        // A context that drew offscreen before now draws to this window's own drawable.
        if (offscreen.bound) gl->bindFramebuffer(GL_FRAMEBUFFER, 0);
        offscreen.bound = false;
        return true;
    }
    if (gl == nullptr || !EnsureOffscreen(*gl, window, context)) {
        // A window that is not the mode's can still show its picture unscaled.
        if (offscreen.bound && gl != nullptr) gl->bindFramebuffer(GL_FRAMEBUFFER, 0);
        offscreen.bound = false;
        return !window.coversDisplay;
    }
    // Bound already where the program drew into this frame before, as after every swap.
    if (offscreen.frameBuffer != drawingInto)
        gl->bindFramebuffer(GL_FRAMEBUFFER, offscreen.frameBuffer);
    offscreen.bound = true;
    // A context first made current takes the window's size as its viewport and scissor box; the
    // window's size, to the program, is the picture's.
    if (first) {
        glViewport(0, 0, offscreen.width, offscreen.height);
        glScissor(0, 0, offscreen.width, offscreen.height);
    }
    return true;
}

}  // namespace standin

extern "C" BOOL WINAPI SwapBuffers(HDC dc) {
    standin::Window* window = standin::LookUpWindowByDc(dc);
    if (window == nullptr || window->pixelFormat == 0) return FALSE;
    // Only the window whose context is current can be presented.
    standin::GlCurrent& current = standin::Tables().current;
    if (current.dc != dc) return FALSE;
    standin::GlContext* context = standin::LookUpContext(current.context);
    if (context == nullptr) return FALSE;
    Present(*window, *context);
    // The drawable may have changed size meanwhile (a canvas following the viewport), so the
    // next frame may need the offscreen frame where this one did not, or no longer need it.
    standin::BindDrawingTarget(*window, *context);
    return TRUE;
}
