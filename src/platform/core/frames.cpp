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
// The scaling is one quad drawn by a small shader that samples the frame where the two steps
// would have, not blits or a second pass. A driver such as Mesa's llvmpipe compiles its blit
// shaders anew in every context, about 80 ms on the first frame after each F1, while it keeps
// a program's shaders in its shader cache from one run to the next; and one pass over the
// screen costs what a plain textured quad does. So the frame is a texture, and the quad draws
// with the program's own GL state saved and put back around it.
//
// The finished frame then goes to the backend's present, bound for reading at the program's
// own size, so a backend that records frames reads exactly what the program drew.
//
// Framebuffer objects come from GL 3.0 (or ARB_framebuffer_object) and shaders from GL 2.0,
// which Mesa's compatibility profile offers beside the program's GL 1.1; the entry points are
// fetched once.
#include <cstring>

#include "platform/core/core.h"

// After the core's header, which brings GL's own.
#include <GL/glext.h>

namespace {

struct GlCalls {
    bool tried;
    bool available;
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
    PFNGLFRAMEBUFFERTEXTURE2DPROC framebufferTexture2D;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus;
    PFNGLCREATESHADERPROC createShader;
    PFNGLSHADERSOURCEPROC shaderSource;
    PFNGLCOMPILESHADERPROC compileShader;
    PFNGLATTACHSHADERPROC attachShader;
    PFNGLDELETESHADERPROC deleteShader;
    PFNGLCREATEPROGRAMPROC createProgram;
    PFNGLLINKPROGRAMPROC linkProgram;
    PFNGLGETPROGRAMIVPROC getProgramiv;
    PFNGLDELETEPROGRAMPROC deleteProgram;
    PFNGLUSEPROGRAMPROC useProgram;
    PFNGLGETUNIFORMLOCATIONPROC getUniformLocation;
    PFNGLUNIFORM1IPROC uniform1i;
    PFNGLUNIFORM1FPROC uniform1f;
    PFNGLUNIFORM2FPROC uniform2f;
};

GlCalls gGl{};

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
bool LoadGlCalls() {
    if (gGl.tried) return gGl.available;
    gGl.tried = true;
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    bool shaders = version != nullptr && version[0] >= '2' && version[0] <= '9';
    bool core = version != nullptr && version[0] >= '3' && version[0] <= '9';
    if (!shaders || (!core && !HasExtension("GL_ARB_framebuffer_object"))) return false;
    bool fetched = true;
    fetched = Fetch(gGl.genFramebuffers, "glGenFramebuffers") && fetched;
    fetched = Fetch(gGl.deleteFramebuffers, "glDeleteFramebuffers") && fetched;
    fetched = Fetch(gGl.bindFramebuffer, "glBindFramebuffer") && fetched;
    fetched = Fetch(gGl.framebufferTexture2D, "glFramebufferTexture2D") && fetched;
    fetched = Fetch(gGl.genRenderbuffers, "glGenRenderbuffers") && fetched;
    fetched = Fetch(gGl.deleteRenderbuffers, "glDeleteRenderbuffers") && fetched;
    fetched = Fetch(gGl.bindRenderbuffer, "glBindRenderbuffer") && fetched;
    fetched = Fetch(gGl.renderbufferStorage, "glRenderbufferStorage") && fetched;
    fetched = Fetch(gGl.framebufferRenderbuffer, "glFramebufferRenderbuffer") && fetched;
    fetched = Fetch(gGl.checkFramebufferStatus, "glCheckFramebufferStatus") && fetched;
    fetched = Fetch(gGl.createShader, "glCreateShader") && fetched;
    fetched = Fetch(gGl.shaderSource, "glShaderSource") && fetched;
    fetched = Fetch(gGl.compileShader, "glCompileShader") && fetched;
    fetched = Fetch(gGl.attachShader, "glAttachShader") && fetched;
    fetched = Fetch(gGl.deleteShader, "glDeleteShader") && fetched;
    fetched = Fetch(gGl.createProgram, "glCreateProgram") && fetched;
    fetched = Fetch(gGl.linkProgram, "glLinkProgram") && fetched;
    fetched = Fetch(gGl.getProgramiv, "glGetProgramiv") && fetched;
    fetched = Fetch(gGl.deleteProgram, "glDeleteProgram") && fetched;
    fetched = Fetch(gGl.useProgram, "glUseProgram") && fetched;
    fetched = Fetch(gGl.getUniformLocation, "glGetUniformLocation") && fetched;
    fetched = Fetch(gGl.uniform1i, "glUniform1i") && fetched;
    fetched = Fetch(gGl.uniform1f, "glUniform1f") && fetched;
    fetched = Fetch(gGl.uniform2f, "glUniform2f") && fetched;
    gGl.available = fetched;
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

// The frame's texture name. Texture names are shared with the program's own, so it is the top
// of the range, clear of what glGenTextures hands out and of the small names a GL 1.1 program
// may bind without generating them.
constexpr GLuint kFrameTexture = 0xFFFFFFFFu;

GLuint NewRenderbuffer(GLenum format, int width, int height) {
    GLuint buffer = 0;
    gGl.genRenderbuffers(1, &buffer);
    gGl.bindRenderbuffer(GL_RENDERBUFFER, buffer);
    gGl.renderbufferStorage(GL_RENDERBUFFER, format, width, height);
    gGl.bindRenderbuffer(GL_RENDERBUFFER, 0);
    return buffer;
}

// Gives the texture storage of that format and size, sampled without mipmaps; the program's own
// binding is put back.
void DefineTexture(GLuint texture, GLenum format, int width, int height) {
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, GL_RGB,
                 GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
}

void DeleteFrame(standin::ContextFrame& frame) {
    if (frame.frameBuffer != 0) {
        gGl.deleteFramebuffers(1, &frame.frameBuffer);
        glDeleteTextures(1, &kFrameTexture);
    }
    if (frame.depthBuffer != 0) gGl.deleteRenderbuffers(1, &frame.depthBuffer);
    frame.frameBuffer = 0;
    frame.depthBuffer = 0;
}

// A complete framebuffer drawing into the frame's texture, in the asked colour format (or 8 bits
// a channel where the driver cannot render to that one), with a depth buffer where the format
// asks for one; leaves it bound.
bool BuildFramebuffer(standin::ContextFrame& frame, GLenum colourFormat, DepthStorage depthFormat,
                      int width, int height) {
    gGl.genFramebuffers(1, &frame.frameBuffer);
    gGl.bindFramebuffer(GL_FRAMEBUFFER, frame.frameBuffer);
    if (depthFormat.format != GL_NONE) {
        frame.depthBuffer = NewRenderbuffer(depthFormat.format, width, height);
        gGl.framebufferRenderbuffer(GL_FRAMEBUFFER, depthFormat.attachment, GL_RENDERBUFFER,
                                    frame.depthBuffer);
    }
    const GLenum formats[] = {colourFormat, GL_RGBA8};
    for (GLenum format : formats) {
        DefineTexture(kFrameTexture, format, width, height);
        gGl.framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, kFrameTexture,
                                 0);
        if (gGl.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) {
            glDrawBuffer(GL_COLOR_ATTACHMENT0);
            glReadBuffer(GL_COLOR_ATTACHMENT0);
            return true;
        }
    }
    gGl.bindFramebuffer(GL_FRAMEBUFFER, 0);
    DeleteFrame(frame);
    return false;
}

// The scaling in one pass. Linear filtering of the frame with each pixel repeated `whole` times
// blends two neighbouring repeated pixels: inside a block of repeats both are the block's pixel,
// so it gives that pixel; across the end of a block it blends the block's pixel and the next by
// the sample's distance. The shader reads the frame once, at the point that gives the same: the
// block's pixel centre, moved that distance towards the next where the block ends. The halves
// added before the floor and the step keep them clear of rounding. Uniforms carry reciprocals,
// as a division in every pixel costs.
constexpr char kScalerVertexShader[] = R"(#version 110
uniform vec2 repeatedSize;  // the frame's size with its pixels repeated
varying vec2 repeated;      // where the sample falls, in repeated pixels from the first centre
void main() {
    repeated = (gl_Vertex.xy * 0.5 + 0.5) * repeatedSize - 0.5;
    gl_Position = gl_Vertex;
}
)";

constexpr char kScalerFragmentShader[] = R"(#version 110
uniform sampler2D frame;
uniform vec2 pixelSize;  // one frame pixel, in texture coordinates
uniform float whole;     // times each pixel is repeated
uniform float perWhole;  // 1 / whole
varying vec2 repeated;
void main() {
    vec2 first = floor(repeated);
    vec2 block = floor((first + 0.5) * perWhole);
    vec2 blockEnds = step(whole * block + whole - 0.5, first + 1.0);
    vec2 point = block + 0.5 + (repeated - first) * blockEnds;
    gl_FragColor = texture2D(frame, point * pixelSize);
}
)";

GLuint CompileShader(GLenum type, const char* source) {
    GLuint shader = gGl.createShader(type);
    gGl.shaderSource(shader, 1, &source, nullptr);
    gGl.compileShader(shader);
    return shader;
}

// The linked scaler of the current context, its sampler on texture unit 0; a program of 0 when
// the driver would not build it.
standin::Scaler BuildScaler() {
    GLuint vertex = CompileShader(GL_VERTEX_SHADER, kScalerVertexShader);
    GLuint fragment = CompileShader(GL_FRAGMENT_SHADER, kScalerFragmentShader);
    GLuint program = gGl.createProgram();
    gGl.attachShader(program, vertex);
    gGl.attachShader(program, fragment);
    gGl.linkProgram(program);
    // Attached, they live on with the program.
    gGl.deleteShader(vertex);
    gGl.deleteShader(fragment);
    GLint linked = GL_FALSE;
    gGl.getProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        gGl.deleteProgram(program);
        return {};
    }
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    gGl.useProgram(program);
    gGl.uniform1i(gGl.getUniformLocation(program, "frame"), 0);
    gGl.useProgram(static_cast<GLuint>(current));
    return {program, gGl.getUniformLocation(program, "repeatedSize"),
            gGl.getUniformLocation(program, "pixelSize"), gGl.getUniformLocation(program, "whole"),
            gGl.getUniformLocation(program, "perWhole")};
}

bool EnsureFrame(const standin::Window& window, standin::GlContext& context) {
    standin::ContextFrame& frame = context.frame;
    if (frame.frameBuffer != 0 && frame.width == window.frameWidth &&
        frame.height == window.frameHeight && frame.bits == window.frameBits) {
        return true;
    }
    const standin::PixelFormat& format = context.format;
    bool fresh = frame.frameBuffer == 0;
    DeleteFrame(frame);
    if (!BuildFramebuffer(frame, ColourFormat(window.frameBits, format.alphaBits > 0),
                          DepthFormat(format), window.frameWidth, window.frameHeight)) {
        return false;
    }
    if (frame.scaler.program == 0) frame.scaler = BuildScaler();
    if (frame.scaler.program == 0) return false;
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

// Fragment operations and rasterisation switches that change what the quad puts on the screen.
// The program reaches GL only through what opengl32 offers, GL 1.1, so these, the clip planes and
// the values in ProgramState are all of it that the program can have set and a shader does not
// replace.
constexpr GLenum kOffWhileScaling[] = {
    GL_ALPHA_TEST, GL_BLEND,          GL_COLOR_LOGIC_OP,  GL_CULL_FACE,    GL_DEPTH_TEST,
    GL_DITHER,     GL_POLYGON_SMOOTH, GL_POLYGON_STIPPLE, GL_SCISSOR_TEST, GL_STENCIL_TEST};
constexpr int kOffCount = static_cast<int>(sizeof kOffWhileScaling / sizeof kOffWhileScaling[0]);
constexpr GLint kClipPlaneLimit = 32;

// The program's state that the scaling changes, saved first and put back after.
class ProgramState {
public:
    ProgramState() {
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFrameBuffer_);
        glGetIntegerv(GL_CURRENT_PROGRAM, &shaderProgram_);
        for (int i = 0; i < kOffCount; ++i) enabled_[i] = glIsEnabled(kOffWhileScaling[i]);
        glGetIntegerv(GL_MAX_CLIP_PLANES, &clipPlanes_);
        if (clipPlanes_ > kClipPlaneLimit) clipPlanes_ = kClipPlaneLimit;
        for (GLint i = 0; i < clipPlanes_; ++i) clipping_[i] = glIsEnabled(ClipPlane(i));
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture_);
        glGetIntegerv(GL_POLYGON_MODE, polygonMode_);
        glGetIntegerv(GL_VIEWPORT, viewport_);
        glGetBooleanv(GL_COLOR_WRITEMASK, colourMask_);
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour_);
    }

    ProgramState(const ProgramState&) = delete;
    ProgramState& operator=(const ProgramState&) = delete;

    ~ProgramState() {
        gGl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawFrameBuffer_));
        gGl.useProgram(static_cast<GLuint>(shaderProgram_));
        for (int i = 0; i < kOffCount; ++i) Enable(kOffWhileScaling[i], enabled_[i]);
        for (GLint i = 0; i < clipPlanes_; ++i) Enable(ClipPlane(i), clipping_[i]);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture_));
        glPolygonMode(GL_FRONT, static_cast<GLenum>(polygonMode_[0]));
        glPolygonMode(GL_BACK, static_cast<GLenum>(polygonMode_[1]));
        glViewport(viewport_[0], viewport_[1], viewport_[2], viewport_[3]);
        glColorMask(colourMask_[0], colourMask_[1], colourMask_[2], colourMask_[3]);
        glClearColor(clearColour_[0], clearColour_[1], clearColour_[2], clearColour_[3]);
    }

    // What a plain quad needs: every switch above off and filled polygons.
    void SetForQuad() const {
        for (GLenum capability : kOffWhileScaling) glDisable(capability);
        for (GLint i = 0; i < clipPlanes_; ++i) glDisable(ClipPlane(i));
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    }

private:
    static GLenum ClipPlane(GLint i) { return static_cast<GLenum>(GL_CLIP_PLANE0 + i); }

    static void Enable(GLenum capability, GLboolean on) {
        if (on == GL_TRUE) {
            glEnable(capability);
        } else {
            glDisable(capability);
        }
    }

    GLint drawFrameBuffer_ = 0;
    GLint shaderProgram_ = 0;
    GLboolean enabled_[kOffCount] = {};
    GLint clipPlanes_ = 0;
    GLboolean clipping_[kClipPlaneLimit] = {};
    GLint texture_ = 0;
    GLint polygonMode_[2] = {GL_FILL, GL_FILL};
    GLint viewport_[4] = {};
    GLboolean colourMask_[4] = {};
    GLfloat clearColour_[4] = {};
};

// Puts an emulated window's frame on its real drawable: scaled sharp, aspect kept, black bars;
// every GL state it touches is put back. Does not swap.
void DrawScaledFrame(const standin::Window& window, standin::GlContext& context) {
    const standin::ContextFrame& frame = context.frame;
    const standin::Scaler& scaler = frame.scaler;
    if (frame.frameBuffer == 0 || scaler.program == 0) return;
    // In selection or feedback mode the quad would land in the program's buffer, not on screen.
    GLint renderMode = GL_RENDER;
    glGetIntegerv(GL_RENDER_MODE, &renderMode);
    if (renderMode != GL_RENDER) return;
    int drawableWidth = 0;
    int drawableHeight = 0;
    standin::TheBackend().drawableSize(window.surface, &drawableWidth, &drawableHeight);
    if (drawableWidth <= 0 || drawableHeight <= 0) return;
    Placement place = Place(frame.width, frame.height, drawableWidth, drawableHeight);
    bool exact =
        place.width == place.whole * frame.width && place.height == place.whole * frame.height;

    ProgramState saved;
    saved.SetForQuad();
    gGl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glViewport(0, 0, drawableWidth, drawableHeight);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);

    glViewport(place.x, place.y, place.width, place.height);
    gGl.useProgram(scaler.program);
    const GLfloat width = static_cast<GLfloat>(frame.width);
    const GLfloat height = static_cast<GLfloat>(frame.height);
    const GLfloat whole = static_cast<GLfloat>(place.whole);
    gGl.uniform2f(scaler.repeatedSize, width * whole, height * whole);
    gGl.uniform2f(scaler.pixelSize, 1.0f / width, 1.0f / height);
    gGl.uniform1f(scaler.whole, whole);
    gGl.uniform1f(scaler.perWhole, 1.0f / whole);
    // An exact whole factor samples every pixel at its centre: no filtering to do.
    const GLint filter = exact ? GL_NEAREST : GL_LINEAR;
    glBindTexture(GL_TEXTURE_2D, kFrameTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glBegin(GL_QUADS);
    glVertex2f(-1.0f, -1.0f);
    glVertex2f(1.0f, -1.0f);
    glVertex2f(1.0f, 1.0f);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
}

// Calls the backend's present with the window's frame readable as it says, and puts the read
// binding back afterwards.
void PresentWithFrameReadable(standin::Window& window, standin::GlContext& context) {
    const standin::Backend& backend = standin::TheBackend();
    if (backend.bindWindowFrame != nullptr) {
        backend.present(window.surface);  // the backend keeps and scales the frame itself
        return;
    }
    if (!LoadGlCalls()) {
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
    if (!LoadGlCalls() || !EnsureFrame(window, context)) return false;
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
