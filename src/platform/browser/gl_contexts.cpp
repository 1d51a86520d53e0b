// The layer's state per WebGL context, and the one program each context draws with, made when
// the context is first made current.
#include <webgl/webgl1.h>

#include <cstddef>

#include "platform/browser/gl_layer.h"

namespace standin::browser {

namespace {

// Clip coordinates, colour and atlas point come made; a fragment is drawn where the atlas texel
// under it is set, which for everything but bitmaps is the solid texel. Points are a pixel, as
// GL 1.1's are by default.
constexpr char kVertexShader[] = R"(
attribute vec4 position;
attribute vec3 colour;
attribute vec2 texel;
varying vec3 shade;
varying vec2 atlasPoint;
void main() {
    shade = colour;
    atlasPoint = texel;
    gl_Position = position;
    gl_PointSize = 1.0;
}
)";

constexpr char kFragmentShader[] = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
uniform sampler2D atlas;
varying vec3 shade;
varying vec2 atlasPoint;
void main() {
    if (texture2D(atlas, atlasPoint).a < 0.5) discard;
    gl_FragColor = vec4(shade, 1.0);
}
)";

constexpr GLuint kPositionAttribute = 0;
constexpr GLuint kColourAttribute = 1;
constexpr GLuint kTexelAttribute = 2;
constexpr int kMaxStates = 16;

GlState* gStates[kMaxStates];
GlState* gCurrent = nullptr;

GLuint Compile(GLenum type, const char* source) {
    const GLuint shader = emscripten_glCreateShader(type);
    emscripten_glShaderSource(shader, 1, &source, nullptr);
    emscripten_glCompileShader(shader);
    return shader;
}

// Compiles and links the program without asking how it went, which would wait for the
// browser's GPU process to finish: it is asked at the first draw (CheckProgram).
GLuint MakeProgram() {
    const GLuint vertex = Compile(GL_VERTEX_SHADER, kVertexShader);
    const GLuint fragment = Compile(GL_FRAGMENT_SHADER, kFragmentShader);
    const GLuint program = emscripten_glCreateProgram();
    emscripten_glAttachShader(program, vertex);
    emscripten_glAttachShader(program, fragment);
    emscripten_glBindAttribLocation(program, kPositionAttribute, "position");
    emscripten_glBindAttribLocation(program, kColourAttribute, "colour");
    emscripten_glBindAttribLocation(program, kTexelAttribute, "texel");
    emscripten_glLinkProgram(program);
    // Attached, they live on with the program.
    emscripten_glDeleteShader(vertex);
    emscripten_glDeleteShader(fragment);
    return program;
}

void SetUp(GlState& gl) {
    emscripten_glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS,
                             reinterpret_cast<GLint*>(&gl.bindings.units));
    gl.program = MakeProgram();
    SetProgram(gl, gl.program);
    emscripten_glGenBuffers(1, &gl.buffer);
    SetArrayBuffer(gl, gl.buffer);
    emscripten_glBufferData(GL_ARRAY_BUFFER,
                            static_cast<GLsizeiptr>(sizeof(Vertex)) * kQueueVertices, nullptr,
                            GL_DYNAMIC_DRAW);
    const auto at = [](std::size_t offset) { return reinterpret_cast<const void*>(offset); };
    SetAttributeArray(gl, kPositionAttribute, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                      at(offsetof(Vertex, x)));
    SetAttributeArray(gl, kColourAttribute, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                      at(offsetof(Vertex, colour)));
    SetAttributeArray(gl, kTexelAttribute, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                      at(offsetof(Vertex, s)));
    SetAttributeEnabled(gl, kPositionAttribute, true);
    SetAttributeEnabled(gl, kColourAttribute, true);
    SetAttributeEnabled(gl, kTexelAttribute, true);
    // A new context's viewport and scissor box are its drawing buffer's size then.
    emscripten_glGetIntegerv(GL_VIEWPORT, gl.draw.viewport);
    for (int i = 0; i < 4; ++i) gl.draw.scissor[i] = gl.draw.viewport[i];
    ResetMatrices(gl);
    StartAtlas(gl);
}

}  // namespace

GlState* CurrentGl() { return gCurrent; }

GlState* OutsideBeginEnd() {
    return gCurrent != nullptr && !gCurrent->assembly.inside ? gCurrent : nullptr;
}

GlState* BeforeWebGl() {
    GlState* gl = OutsideBeginEnd();
    if (gl != nullptr) DrawQueued();
    return gl;
}

bool CheckProgram(GlState& gl) {
    if (!gl.programChecked) {
        gl.programChecked = true;
        GLint linked = GL_FALSE;
        emscripten_glGetProgramiv(gl.program, GL_LINK_STATUS, &linked);
        gl.programLinked = linked == GL_TRUE;
        if (gl.programLinked) {
            emscripten_glUniform1i(emscripten_glGetUniformLocation(gl.program, "atlas"),
                                   kAtlasUnit - GL_TEXTURE0);
        }
    }
    return gl.programLinked;
}

void UseGlContext(int handle) {
    gCurrent = nullptr;
    if (handle == 0) return;
    GlState** free = nullptr;
    for (GlState*& state : gStates) {
        if (state != nullptr && state->handle == handle) {
            gCurrent = state;
            return;
        }
        if (state == nullptr && free == nullptr) free = &state;
    }
    if (free == nullptr) return;  // more contexts than the core makes
    *free = new GlState{};
    gCurrent = *free;
    gCurrent->handle = handle;
    SetUp(*gCurrent);
}

void ForgetGlContext(int handle) {
    for (GlState*& state : gStates) {
        if (state == nullptr || state->handle != handle) continue;
        if (state == gCurrent) {
            DrawQueued();
            gCurrent = nullptr;
        }
        delete state;
        state = nullptr;
    }
}

void PrepareGl() { MakeProgram(); }

}  // namespace standin::browser
