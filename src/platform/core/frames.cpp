// SwapBuffers, and emulated fullscreen: the program's offscreen frame and its sharp scaling to
// the real screen.
//
// A window made for a virtual display mode covers the whole screen, but the program must go on
// seeing the mode it asked for. So its context draws into a framebuffer object of the mode's
// size and colour depth, bound as the window framebuffer whenever the context is made current
// there; the program's GL 1.1 code never knows. At each swap the frame is scaled to the
// drawable: nearest-neighbour to the largest whole multiple that fits, then linear filtering
// the rest of the way, with the aspect kept and black bars around. Pixels stay crisp, and an
// exact whole factor is plain nearest-neighbour.
//
// The finished frame then goes to the backend's present, bound for reading at the program's
// own size, so a backend that records frames reads exactly what the program drew.
//
// Framebuffer objects come from GL 3.0 (or ARB_framebuffer_object), which Mesa's compatibility
// profile offers beside the program's GL 1.1; the entry points are fetched once.
#include <cstring>

#include "platform/core/core.h"

// After the core's header, which brings GL's own.
#include <GL/glext.h>

namespace {

struct FramebufferCalls {
    bool tried;
    bool available;
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer;
};

FramebufferCalls gGl{};

template <typename Function>
bool Fetch(Function& function, const char* name) {
    function = reinterpret_cast<Function>(standin::TheBackend().glProcAddress(name));
    return function != nullptr;
}

// Whether the current context's extension string names the extension, whole.
bool HasExtension(const char* name) {
    const char* list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const std::size_t length = std::strlen(name);
    for (const char* at = list; at != nullptr && (at = std::strstr(at, name)) != nullptr;
         at += length) {
        const bool starts = at == list || at[-1] == ' ';
        const bool ends = at[length] == '\0' || at[length] == ' ';
        if (starts && ends) return true;
    }
    return false;
}

// Needs a current context: the version and extensions are the context's.
bool LoadFramebufferCalls() {
    if (gGl.tried) return gGl.available;
    gGl.tried = true;
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    bool core = version != nullptr && version[0] >= '3' && version[0] <= '9';
    if (!core && !HasExtension("GL_ARB_framebuffer_object")) return false;
    gGl.available = Fetch(gGl.genFramebuffers, "glGenFramebuffers") &&
                    Fetch(gGl.deleteFramebuffers, "glDeleteFramebuffers") &&
                    Fetch(gGl.bindFramebuffer, "glBindFramebuffer") &&
                    Fetch(gGl.genRenderbuffers, "glGenRenderbuffers") &&
                    Fetch(gGl.deleteRenderbuffers, "glDeleteRenderbuffers") &&
                    Fetch(gGl.bindRenderbuffer, "glBindRenderbuffer") &&
                    Fetch(gGl.renderbufferStorage, "glRenderbufferStorage") &&
                    Fetch(gGl.framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
                    Fetch(gGl.checkFramebufferStatus, "glCheckFramebufferStatus") &&
                    Fetch(gGl.blitFramebuffer, "glBlitFramebuffer");
    return gGl.available;
}

// The colour storage a display of that depth had; an RGBA pixel format on an 8-bit display
// got 3-3-2.
GLenum ColourFormat(int bits, bool alpha) {
    if (alpha && bits >= 24) return GL_RGBA8;
    switch (bits) {
        case 8:
            return GL_R3_G3_B2;
        case 15:
            return GL_RGB5;
        case 16:
            return GL_RGB565;
        default:
            return GL_RGB8;
    }
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

GLuint NewRenderbuffer(GLenum format, int width, int height) {
    GLuint buffer = 0;
    gGl.genRenderbuffers(1, &buffer);
    gGl.bindRenderbuffer(GL_RENDERBUFFER, buffer);
    gGl.renderbufferStorage(GL_RENDERBUFFER, format, width, height);
    gGl.bindRenderbuffer(GL_RENDERBUFFER, 0);
    return buffer;
}

void DeleteBuffers(GLuint& frameBuffer, GLuint& colour, GLuint* depth) {
    if (frameBuffer != 0) gGl.deleteFramebuffers(1, &frameBuffer);
    if (colour != 0) gGl.deleteRenderbuffers(1, &colour);
    if (depth != nullptr && *depth != 0) gGl.deleteRenderbuffers(1, depth);
    frameBuffer = 0;
    colour = 0;
    if (depth != nullptr) *depth = 0;
}

// A complete framebuffer with a colour buffer (of the asked format, or 8 bits a channel where
// the driver cannot render to that one) and an optional depth buffer; leaves it bound.
bool BuildFramebuffer(GLuint& frameBuffer, GLuint& colour, GLuint* depth, GLenum colourFormat,
                      DepthStorage depthFormat, int width, int height) {
    gGl.genFramebuffers(1, &frameBuffer);
    gGl.bindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
    if (depth != nullptr && depthFormat.format != GL_NONE) {
        *depth = NewRenderbuffer(depthFormat.format, width, height);
        gGl.framebufferRenderbuffer(GL_FRAMEBUFFER, depthFormat.attachment, GL_RENDERBUFFER,
                                    *depth);
    }
    const GLenum formats[] = {colourFormat, GL_RGBA8};
    for (GLenum format : formats) {
        colour = NewRenderbuffer(format, width, height);
        gGl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
        if (gGl.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) {
            glDrawBuffer(GL_COLOR_ATTACHMENT0);
            glReadBuffer(GL_COLOR_ATTACHMENT0);
            return true;
        }
        gGl.deleteRenderbuffers(1, &colour);
        colour = 0;
    }
    gGl.bindFramebuffer(GL_FRAMEBUFFER, 0);
    DeleteBuffers(frameBuffer, colour, depth);
    return false;
}

bool EnsureFrame(const standin::Window& window, standin::GlContext& context) {
    standin::ContextFrame& frame = context.frame;
    if (frame.frameBuffer != 0 && frame.width == window.frameWidth &&
        frame.height == window.frameHeight && frame.bits == window.frameBits) {
        return true;
    }
    const standin::PixelFormat& format = context.format;
    bool fresh = frame.frameBuffer == 0;
    DeleteBuffers(frame.frameBuffer, frame.colourBuffer, &frame.depthBuffer);
    if (!BuildFramebuffer(frame.frameBuffer, frame.colourBuffer, &frame.depthBuffer,
                          ColourFormat(window.frameBits, format.alphaBits > 0), DepthFormat(format),
                          window.frameWidth, window.frameHeight)) {
        return false;
    }
    frame.width = window.frameWidth;
    frame.height = window.frameHeight;
    frame.bits = window.frameBits;
    // A context first made current takes the window's size as its viewport and scissor box;
    // the window's size, to the program, is the frame's.
    if (fresh) {
        glViewport(0, 0, frame.width, frame.height);
        glScissor(0, 0, frame.width, frame.height);
    }
    return true;
}

// The intermediate frame of the nearest-neighbour step, kept while the sizes stay.
bool EnsureScaledFrame(standin::ContextFrame& frame, int width, int height) {
    if (frame.scaledFrameBuffer != 0 && frame.scaledWidth == width &&
        frame.scaledHeight == height) {
        return true;
    }
    DeleteBuffers(frame.scaledFrameBuffer, frame.scaledColourBuffer, nullptr);
    if (!BuildFramebuffer(frame.scaledFrameBuffer, frame.scaledColourBuffer, nullptr,
                          ColourFormat(frame.bits, false), {GL_NONE, GL_NONE}, width, height)) {
        return false;
    }
    frame.scaledWidth = width;
    frame.scaledHeight = height;
    return true;
}

// Where the picture goes in the drawable: the largest rectangle of the frame's shape, centred.
struct Placement {
    int x;
    int y;
    int width;
    int height;
    int whole;  // the largest whole factor not above the scale, at least 1
};

Placement Place(int frameWidth, int frameHeight, int drawableWidth, int drawableHeight) {
    Placement place{};
    long long fw = frameWidth;
    long long fh = frameHeight;
    if (static_cast<long long>(drawableWidth) * fh <= static_cast<long long>(drawableHeight) * fw) {
        place.width = drawableWidth;
        place.height = static_cast<int>((drawableWidth * fh + fw / 2) / fw);
    } else {
        place.height = drawableHeight;
        place.width = static_cast<int>((drawableHeight * fw + fh / 2) / fh);
    }
    place.x = (drawableWidth - place.width) / 2;
    place.y = (drawableHeight - place.height) / 2;
    int byWidth = place.width / frameWidth;
    int byHeight = place.height / frameHeight;
    place.whole = byWidth < byHeight ? byWidth : byHeight;
    if (place.whole < 1) place.whole = 1;
    return place;
}

// What the clear and blits touch, as the program left it.
struct SavedState {
    GLint drawFrameBuffer;
    GLint readFrameBuffer;
    GLboolean scissor;
    GLboolean colourMask[4];
    GLfloat clearColour[4];
};

SavedState Save() {
    SavedState saved{};
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &saved.drawFrameBuffer);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &saved.readFrameBuffer);
    saved.scissor = glIsEnabled(GL_SCISSOR_TEST);
    glGetBooleanv(GL_COLOR_WRITEMASK, saved.colourMask);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, saved.clearColour);
    return saved;
}

void Restore(const SavedState& saved) {
    glClearColor(saved.clearColour[0], saved.clearColour[1], saved.clearColour[2],
                 saved.clearColour[3]);
    glColorMask(saved.colourMask[0], saved.colourMask[1], saved.colourMask[2], saved.colourMask[3]);
    if (saved.scissor == GL_TRUE) glEnable(GL_SCISSOR_TEST);
    gGl.bindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(saved.readFrameBuffer));
    gGl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(saved.drawFrameBuffer));
}

// Puts an emulated window's frame, bound for reading, on its real drawable: scaled sharp, aspect
// kept, black bars; every GL state it touches is put back. Does not swap.
void DrawScaledFrame(const standin::Window& window, standin::GlContext& context) {
    if (!gGl.available || context.frame.frameBuffer == 0) return;
    int drawableWidth = 0;
    int drawableHeight = 0;
    standin::TheBackend().drawableSize(window.surface, &drawableWidth, &drawableHeight);
    if (drawableWidth <= 0 || drawableHeight <= 0) return;
    standin::ContextFrame& frame = context.frame;
    Placement place = Place(frame.width, frame.height, drawableWidth, drawableHeight);

    SavedState saved = Save();
    GLuint source = static_cast<GLuint>(saved.readFrameBuffer);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);

    int sourceWidth = frame.width;
    int sourceHeight = frame.height;
    bool exact =
        place.width == place.whole * frame.width && place.height == place.whole * frame.height;
    if (!exact && place.whole > 1 &&
        EnsureScaledFrame(frame, place.whole * frame.width, place.whole * frame.height)) {
        gGl.bindFramebuffer(GL_READ_FRAMEBUFFER, source);
        gGl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, frame.scaledFrameBuffer);
        gGl.blitFramebuffer(0, 0, frame.width, frame.height, 0, 0, frame.scaledWidth,
                            frame.scaledHeight, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        source = frame.scaledFrameBuffer;
        sourceWidth = frame.scaledWidth;
        sourceHeight = frame.scaledHeight;
    }
    gGl.bindFramebuffer(GL_READ_FRAMEBUFFER, source);
    gGl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    gGl.blitFramebuffer(0, 0, sourceWidth, sourceHeight, place.x, place.y, place.x + place.width,
                        place.y + place.height, GL_COLOR_BUFFER_BIT,
                        exact ? GL_NEAREST : GL_LINEAR);
    Restore(saved);
}

// Calls the backend's present with the window's frame readable as it says, and puts the read
// binding back afterwards.
void PresentWithFrameReadable(standin::Window& window, standin::GlContext& context) {
    const standin::Backend& backend = standin::TheBackend();
    if (backend.bindWindowFrame != nullptr) {
        backend.present(window.surface);  // the backend keeps and scales the frame itself
        return;
    }
    if (!LoadFramebufferCalls()) {
        // A context without framebuffer objects only ever has the window's own buffers.
        GLint readBuffer = GL_BACK;
        glGetIntegerv(GL_READ_BUFFER, &readBuffer);
        glReadBuffer(GL_BACK);
        backend.present(window.surface);
        glReadBuffer(static_cast<GLenum>(readBuffer));
        return;
    }
    GLuint frameBuffer = window.fullscreen ? context.frame.frameBuffer : 0;
    GLenum colour = window.fullscreen ? GL_COLOR_ATTACHMENT0 : GL_BACK;
    GLint readFrameBuffer = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFrameBuffer);
    gGl.bindFramebuffer(GL_READ_FRAMEBUFFER, frameBuffer);
    GLint readBuffer = static_cast<GLint>(colour);
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    glReadBuffer(colour);
    if (window.fullscreen) DrawScaledFrame(window, context);
    backend.present(window.surface);
    gGl.bindFramebuffer(GL_READ_FRAMEBUFFER, frameBuffer);
    glReadBuffer(static_cast<GLenum>(readBuffer));
    gGl.bindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readFrameBuffer));
}

}  // namespace

namespace standin {

bool BindWindowFrame(Window& window, GlContext& context) {
    const Backend& backend = TheBackend();
    if (backend.bindWindowFrame != nullptr) {
        return window.fullscreen ? backend.bindWindowFrame(window.surface, window.frameWidth,
                                                           window.frameHeight, window.frameBits)
                                 : backend.bindWindowFrame(window.surface, 0, 0, 0);
    }
    if (!window.fullscreen) {
        // A context that drew for an emulated window before now draws to this one's own.
        if (context.frame.frameBuffer != 0) gGl.bindFramebuffer(GL_FRAMEBUFFER, 0);
        return true;
    }
    if (!LoadFramebufferCalls() || !EnsureFrame(window, context)) return false;
    gGl.bindFramebuffer(GL_FRAMEBUFFER, context.frame.frameBuffer);
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
    PresentWithFrameReadable(*window, *context);
    return TRUE;
}
