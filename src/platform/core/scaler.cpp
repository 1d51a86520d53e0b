// The one scaler: puts a window's offscreen frame on its drawable whenever the two differ in
// size (a window covering the display, a window on a HiDPI desktop, a canvas at the device's
// pixels), sharp, with the frame's shape kept and black bars around.
//
// The rule: each pixel is repeated the largest whole number of times that fits, then the
// picture is filtered linearly the rest of the way; an exact whole factor is plain
// nearest-neighbour. It is one quad drawn by a small shader that samples the frame where the
// two steps would have, not blits or a second pass: a driver such as Mesa's llvmpipe compiles
// its blit shaders anew in every context, about 80 ms on the first frame after each F1, while
// it keeps a program's shaders in its shader cache from one run to the next; and one pass over
// the screen costs what a plain textured quad does.
//
// One shader source serves desktop GL (GLSL 1.10) and WebGL 1 (GLSL ES 1.00): neither names a
// version, the ES compiler alone defines GL_ES, and the quad comes from a vertex buffer, which
// both have. The program's own GL state is saved and put back around the quad.
#include "platform/core/gl_calls.h"

namespace {

// Linear filtering of the frame with each pixel repeated `whole` times blends two neighbouring
// repeated pixels: inside a block of repeats both are the block's pixel, so it gives that pixel;
// across the end of a block it blends the block's pixel and the next by the sample's distance.
// The shader reads the frame once, at the point that gives the same: the block's pixel centre,
// moved that distance towards the next where the block ends. The halves added before the floor
// and the step keep them clear of rounding. Uniforms carry reciprocals, as a division in every
// pixel costs.
constexpr char kVertexShader[] = R"(
attribute vec2 corner;      // the quad's corner, -1 to 1
uniform vec2 repeatedSize;  // the frame's size with its pixels repeated
varying vec2 repeated;      // where the sample falls, in repeated pixels from the first centre
void main() {
    repeated = (corner * 0.5 + 0.5) * repeatedSize - 0.5;
    gl_Position = vec4(corner, 0.0, 1.0);
}
)";

// A frame kept with more bits than the program asked for (where the context cannot render to
// the asked depth) is brought down to its levels, so the picture bands as it would have. That
// is a variant of the program, built only for such a frame: a driver that runs shaders on the
// CPU (llvmpipe, SwiftShader) pays for both sides of a branch in every pixel.
constexpr char kQuantizing[] = "#define QUANTIZE\n";
constexpr char kFragmentShader[] = R"(
#ifdef GL_ES
precision highp float;
#endif
uniform sampler2D frame;
uniform vec2 pixelSize;  // one frame pixel, in texture coordinates
uniform float whole;     // times each pixel is repeated
uniform float perWhole;  // 1 / whole
#ifdef QUANTIZE
uniform vec3 levels;     // the highest value of each channel at the asked depth
uniform vec3 perLevels;  // 1 / levels
#endif
varying vec2 repeated;
void main() {
    vec2 first = floor(repeated);
    vec2 block = floor((first + 0.5) * perWhole);
    vec2 blockEnds = step(whole * block + whole - 0.5, first + 1.0);
    vec2 point = block + 0.5 + (repeated - first) * blockEnds;
    vec4 colour = texture2D(frame, point * pixelSize);
#ifdef QUANTIZE
    colour.rgb = floor(colour.rgb * levels + 0.5) * perLevels;
#endif
    gl_FragColor = colour;
}
)";

constexpr GLuint kCornerAttribute = 0;

// A shader of the source, after the given first lines (none where null).
GLuint CompileShader(const standin::GlCalls& gl, GLenum type, const char* first,
                     const char* source) {
    GLuint shader = gl.createShader(type);
    const char* sources[] = {first != nullptr ? first : "", source};
    gl.shaderSource(shader, 2, sources, nullptr);
    gl.compileShader(shader);
    return shader;
}

// Fragment operations and rasterisation switches that change what the quad puts on the screen,
// in every GL, and those only the fixed-function pipeline has. With the clip planes, the polygon
// mode and the values ProgramState keeps, that is all the program can have set that a shader
// does not replace.
constexpr GLenum kOffWhileScaling[] = {GL_BLEND,  GL_CULL_FACE,    GL_DEPTH_TEST,
                                       GL_DITHER, GL_SCISSOR_TEST, GL_STENCIL_TEST};
constexpr GLenum kFixedFunctionOff[] = {GL_ALPHA_TEST, GL_COLOR_LOGIC_OP, GL_POLYGON_SMOOTH,
                                        GL_POLYGON_STIPPLE};
constexpr int kOffCount = static_cast<int>(sizeof kOffWhileScaling / sizeof kOffWhileScaling[0]);
constexpr int kFixedCount =
    static_cast<int>(sizeof kFixedFunctionOff / sizeof kFixedFunctionOff[0]);
constexpr GLint kClipPlaneLimit = 32;

// The program's state that the scaling changes, saved first and put back after.
class ProgramState {
public:
    explicit ProgramState(const standin::GlCalls& gl) : gl_(gl) {
        fixedFunction_ = gl.polygonMode != nullptr;
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &frameBuffer_);
        glGetIntegerv(GL_CURRENT_PROGRAM, &shaderProgram_);
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &arrayBuffer_);
        glGetIntegerv(GL_ACTIVE_TEXTURE, &activeTexture_);
        gl.activeTexture(GL_TEXTURE0);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture_);
        for (int i = 0; i < kOffCount; ++i) enabled_[i] = glIsEnabled(kOffWhileScaling[i]);
        glGetIntegerv(GL_VIEWPORT, viewport_);
        glGetBooleanv(GL_COLOR_WRITEMASK, colourMask_);
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour_);
        gl.getVertexAttribiv(kCornerAttribute, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &attribute_.enabled);
        gl.getVertexAttribiv(kCornerAttribute, GL_VERTEX_ATTRIB_ARRAY_SIZE, &attribute_.size);
        gl.getVertexAttribiv(kCornerAttribute, GL_VERTEX_ATTRIB_ARRAY_TYPE, &attribute_.type);
        gl.getVertexAttribiv(kCornerAttribute, GL_VERTEX_ATTRIB_ARRAY_NORMALIZED,
                             &attribute_.normalized);
        gl.getVertexAttribiv(kCornerAttribute, GL_VERTEX_ATTRIB_ARRAY_STRIDE, &attribute_.stride);
        gl.getVertexAttribiv(kCornerAttribute, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING,
                             &attribute_.buffer);
        gl.getVertexAttribPointerv(kCornerAttribute, GL_VERTEX_ATTRIB_ARRAY_POINTER,
                                   &attribute_.pointer);
        if (!fixedFunction_) return;
        for (int i = 0; i < kFixedCount; ++i) fixedEnabled_[i] = glIsEnabled(kFixedFunctionOff[i]);
        glGetIntegerv(GL_MAX_CLIP_PLANES, &clipPlanes_);
        if (clipPlanes_ > kClipPlaneLimit) clipPlanes_ = kClipPlaneLimit;
        for (GLint i = 0; i < clipPlanes_; ++i) clipping_[i] = glIsEnabled(ClipPlane(i));
        glGetIntegerv(GL_POLYGON_MODE, polygonMode_);
    }

    ProgramState(const ProgramState&) = delete;
    ProgramState& operator=(const ProgramState&) = delete;

    ~ProgramState() {
        gl_.bindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(frameBuffer_));
        gl_.useProgram(static_cast<GLuint>(shaderProgram_));
        gl_.bindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(attribute_.buffer));
        gl_.vertexAttribPointer(
            kCornerAttribute, attribute_.size, static_cast<GLenum>(attribute_.type),
            attribute_.normalized != 0 ? GL_TRUE : GL_FALSE, attribute_.stride, attribute_.pointer);
        if (attribute_.enabled == 0) gl_.disableVertexAttribArray(kCornerAttribute);
        gl_.bindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(arrayBuffer_));
        for (int i = 0; i < kOffCount; ++i) Enable(kOffWhileScaling[i], enabled_[i]);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture_));
        gl_.activeTexture(static_cast<GLenum>(activeTexture_));
        glViewport(viewport_[0], viewport_[1], viewport_[2], viewport_[3]);
        glColorMask(colourMask_[0], colourMask_[1], colourMask_[2], colourMask_[3]);
        glClearColor(clearColour_[0], clearColour_[1], clearColour_[2], clearColour_[3]);
        if (!fixedFunction_) return;
        for (int i = 0; i < kFixedCount; ++i) Enable(kFixedFunctionOff[i], fixedEnabled_[i]);
        for (GLint i = 0; i < clipPlanes_; ++i) Enable(ClipPlane(i), clipping_[i]);
        gl_.polygonMode(GL_FRONT, static_cast<GLenum>(polygonMode_[0]));
        gl_.polygonMode(GL_BACK, static_cast<GLenum>(polygonMode_[1]));
    }

    // What a plain quad needs: every switch above off and filled polygons.
    void SetForQuad() const {
        for (GLenum capability : kOffWhileScaling) glDisable(capability);
        if (!fixedFunction_) return;
        for (GLenum capability : kFixedFunctionOff) glDisable(capability);
        for (GLint i = 0; i < clipPlanes_; ++i) glDisable(ClipPlane(i));
        gl_.polygonMode(GL_FRONT_AND_BACK, GL_FILL);
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

    struct Attribute {
        GLint enabled = 0;
        GLint size = 4;
        GLint type = GL_FLOAT;
        GLint normalized = 0;
        GLint stride = 0;
        GLint buffer = 0;
        void* pointer = nullptr;
    };

    const standin::GlCalls& gl_;
    bool fixedFunction_ = false;
    GLint frameBuffer_ = 0;
    GLint shaderProgram_ = 0;
    GLint arrayBuffer_ = 0;
    GLint activeTexture_ = GL_TEXTURE0;
    GLint texture_ = 0;
    GLboolean enabled_[kOffCount] = {};
    GLint viewport_[4] = {};
    GLboolean colourMask_[4] = {};
    GLfloat clearColour_[4] = {};
    Attribute attribute_;
    GLboolean fixedEnabled_[kFixedCount] = {};
    GLint clipPlanes_ = 0;
    GLboolean clipping_[kClipPlaneLimit] = {};
    GLint polygonMode_[2] = {GL_FILL, GL_FILL};
};

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

}  // namespace

namespace standin {

Scaler BuildScaler(const GlCalls& gl, bool quantizing, unsigned int corners) {
    GLuint vertex = CompileShader(gl, GL_VERTEX_SHADER, nullptr, kVertexShader);
    GLuint fragment =
        CompileShader(gl, GL_FRAGMENT_SHADER, quantizing ? kQuantizing : nullptr, kFragmentShader);
    GLuint program = gl.createProgram();
    gl.attachShader(program, vertex);
    gl.attachShader(program, fragment);
    gl.bindAttribLocation(program, kCornerAttribute, "corner");
    gl.linkProgram(program);
    // Attached, they live on with the program.
    gl.deleteShader(vertex);
    gl.deleteShader(fragment);
    GLint linked = GL_FALSE;
    gl.getProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        gl.deleteProgram(program);
        return {};
    }
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    gl.useProgram(program);
    gl.uniform1i(gl.getUniformLocation(program, "frame"), 0);
    gl.useProgram(static_cast<GLuint>(current));

    // The quad, as a strip.
    if (corners == 0) {
        constexpr GLfloat kCorners[] = {-1.0f, -1.0f, 1.0f, -1.0f, -1.0f, 1.0f, 1.0f, 1.0f};
        GLint bound = 0;
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &bound);
        gl.genBuffers(1, &corners);
        gl.bindBuffer(GL_ARRAY_BUFFER, corners);
        gl.bufferData(GL_ARRAY_BUFFER, sizeof kCorners, kCorners, GL_STATIC_DRAW);
        gl.bindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(bound));
    }
    return {program,
            corners,
            quantizing,
            gl.getUniformLocation(program, "repeatedSize"),
            gl.getUniformLocation(program, "pixelSize"),
            gl.getUniformLocation(program, "whole"),
            gl.getUniformLocation(program, "perWhole"),
            gl.getUniformLocation(program, "levels"),
            gl.getUniformLocation(program, "perLevels")};
}

void ScaleToDrawable(const GlCalls& gl, Offscreen& offscreen, int drawableWidth,
                     int drawableHeight) {
    const Scaler& scaler = offscreen.scaler;
    if (offscreen.frameBuffer == 0 || scaler.program == 0) return;
    if (drawableWidth <= 0 || drawableHeight <= 0) return;
    if (gl.polygonMode != nullptr) {
        // In selection or feedback mode the quad would land in the program's buffer, not on
        // screen.
        GLint renderMode = GL_RENDER;
        glGetIntegerv(GL_RENDER_MODE, &renderMode);
        if (renderMode != GL_RENDER) return;
    }
    Placement place = Place(offscreen.width, offscreen.height, drawableWidth, drawableHeight);
    bool exact = place.width == place.whole * offscreen.width &&
                 place.height == place.whole * offscreen.height;

    ProgramState saved(gl);
    saved.SetForQuad();
    gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
    if (place.width != drawableWidth || place.height != drawableHeight) {
        glViewport(0, 0, drawableWidth, drawableHeight);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glViewport(place.x, place.y, place.width, place.height);
    gl.useProgram(scaler.program);
    // The uniforms and the filter stay with the program and the texture: set only when the
    // drawable's size changed what they must be.
    if (offscreen.scaledWhole != place.whole) {
        const GLfloat width = static_cast<GLfloat>(offscreen.width);
        const GLfloat height = static_cast<GLfloat>(offscreen.height);
        const GLfloat whole = static_cast<GLfloat>(place.whole);
        gl.uniform2f(scaler.repeatedSize, width * whole, height * whole);
        gl.uniform2f(scaler.pixelSize, 1.0f / width, 1.0f / height);
        gl.uniform1f(scaler.whole, whole);
        gl.uniform1f(scaler.perWhole, 1.0f / whole);
        if (scaler.quantizing) {
            const float* levels = offscreen.levels;
            gl.uniform3f(scaler.levels, levels[0], levels[1], levels[2]);
            gl.uniform3f(scaler.perLevels, 1.0f / levels[0], 1.0f / levels[1], 1.0f / levels[2]);
        }
        offscreen.scaledWhole = place.whole;
    }
    // An exact whole factor samples every pixel at its centre: no filtering to do.
    const GLint filter = exact ? GL_NEAREST : GL_LINEAR;
    glBindTexture(GL_TEXTURE_2D, offscreen.texture);
    if (offscreen.scaledFilter != filter) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
        offscreen.scaledFilter = filter;
    }
    gl.bindBuffer(GL_ARRAY_BUFFER, scaler.corners);
    gl.vertexAttribPointer(kCornerAttribute, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    gl.enableVertexAttribArray(kCornerAttribute);
    gl.drawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

}  // namespace standin
