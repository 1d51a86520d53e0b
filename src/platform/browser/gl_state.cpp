// The calls that set WebGL's own state, or use it: switches, viewport and scissor box, masks and
// clear values, the depth test, hints, clearing, and the parameters and images of textures (their
// names and bindings are gl_bindings.cpp's). The state the core saves around its scaling is kept
// as a copy too (gl_queries.cpp answers from it), so a value set again as it is costs no call into
// the browser.
#include <webgl/webgl1.h>

#include <algorithm>
#include <iterator>

#include "platform/browser/gl_layer.h"

namespace standin::browser {

namespace {

// Keeps four new values; false where they are the ones kept, and WebGL need not hear of them.
template <typename Value>
bool Keep(Value (&kept)[4], const Value* values) {
    if (std::equal(values, values + 4, kept)) return false;
    std::copy(values, values + 4, kept);
    return true;
}

void Switch(GLenum capability, bool on) {
    GlState* gl = BeforeWebGl();
    if (gl == nullptr) return;
    const std::uint32_t bit = CapabilityBit(capability);
    if (bit == 0) {
        // Not one WebGL has: it says so.
        if (on) {
            emscripten_glEnable(capability);
        } else {
            emscripten_glDisable(capability);
        }
        return;
    }
    SetEnabled(*gl, on ? gl->draw.enabled | bit : gl->draw.enabled & ~bit);
}

}  // namespace

void SetEnabled(GlState& gl, std::uint32_t enabled) {
    for (std::uint32_t i = 0; i < std::size(kCapabilities); ++i) {
        const std::uint32_t bit = 1u << i;
        if (((gl.draw.enabled ^ enabled) & bit) == 0) continue;
        if ((enabled & bit) != 0) {
            emscripten_glEnable(kCapabilities[i]);
        } else {
            emscripten_glDisable(kCapabilities[i]);
        }
    }
    gl.draw.enabled = enabled;
}

void SetViewport(GlState& gl, const GLint* box) {
    if (Keep(gl.draw.viewport, box)) emscripten_glViewport(box[0], box[1], box[2], box[3]);
}

void SetScissor(GlState& gl, const GLint* box) {
    if (Keep(gl.draw.scissor, box)) emscripten_glScissor(box[0], box[1], box[2], box[3]);
}

void SetColourMask(GlState& gl, const GLboolean* mask) {
    if (Keep(gl.draw.colourMask, mask)) emscripten_glColorMask(mask[0], mask[1], mask[2], mask[3]);
}

void SetClearColour(GlState& gl, const GLfloat* colour) {
    if (Keep(gl.draw.clearColour, colour)) {
        emscripten_glClearColor(colour[0], colour[1], colour[2], colour[3]);
    }
}

void SetClearDepth(GlState& gl, GLfloat depth) {
    if (depth == gl.draw.clearDepth) return;
    gl.draw.clearDepth = depth;
    emscripten_glClearDepthf(depth);
}

void SetDepthFunc(GlState& gl, GLenum func) {
    if (func == gl.draw.depthFunc) return;
    gl.draw.depthFunc = func;
    emscripten_glDepthFunc(func);
}

extern "C" {

void glEnable(GLenum capability) { Switch(capability, true); }

void glDisable(GLenum capability) { Switch(capability, false); }

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    GlState* gl = BeforeWebGl();
    if (gl == nullptr || width < 0 || height < 0) return;
    const GLint box[4] = {x, y, width, height};
    SetViewport(*gl, box);
}

void glScissor(GLint x, GLint y, GLsizei width, GLsizei height) {
    GlState* gl = BeforeWebGl();
    if (gl == nullptr || width < 0 || height < 0) return;
    const GLint box[4] = {x, y, width, height};
    SetScissor(*gl, box);
}

void glColorMask(GLboolean red, GLboolean green, GLboolean blue, GLboolean alpha) {
    GlState* gl = BeforeWebGl();
    if (gl == nullptr) return;
    const auto truth = [](GLboolean value) -> GLboolean { return value ? GL_TRUE : GL_FALSE; };
    const GLboolean mask[4] = {truth(red), truth(green), truth(blue), truth(alpha)};
    SetColourMask(*gl, mask);
}

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    GlState* gl = BeforeWebGl();
    if (gl == nullptr) return;
    const GLfloat colour[4] = {Clamped(red), Clamped(green), Clamped(blue), Clamped(alpha)};
    SetClearColour(*gl, colour);
}

void glClearDepth(GLclampd depth) {
    GlState* gl = BeforeWebGl();
    if (gl != nullptr) SetClearDepth(*gl, Clamped(static_cast<GLfloat>(depth)));
}

void glDepthFunc(GLenum func) {
    GlState* gl = BeforeWebGl();
    if (gl != nullptr && func >= GL_NEVER && func <= GL_ALWAYS) SetDepthFunc(*gl, func);
}

// WebGL takes none of GL 1.1's hints, and GL may ignore them: they are only kept.
void glHint(GLenum target, GLenum mode) {
    GlState* gl = OutsideBeginEnd();
    if (gl == nullptr) return;
    if (mode != GL_FASTEST && mode != GL_NICEST && mode != GL_DONT_CARE) return;
    constexpr GLenum kTargets[kHints] = {GL_PERSPECTIVE_CORRECTION_HINT, GL_POINT_SMOOTH_HINT,
                                         GL_LINE_SMOOTH_HINT, GL_POLYGON_SMOOTH_HINT, GL_FOG_HINT};
    for (int i = 0; i < kHints; ++i) {
        if (kTargets[i] == target) gl->hints[i] = mode;
    }
}

// GL 1.1 also names the accumulation buffer, which a WebGL context never has.
void glClear(GLbitfield mask) {
    constexpr GLbitfield kBuffers =
        GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT | GL_ACCUM_BUFFER_BIT;
    GlState* gl = BeforeWebGl();
    if (gl == nullptr || (mask & ~kBuffers) != 0) return;
    emscripten_glClear(mask & ~GL_ACCUM_BUFFER_BIT);
}

void glTexParameteri(GLenum target, GLenum name, GLint value) {
    if (BeforeWebGl() != nullptr) emscripten_glTexParameteri(target, name, value);
}

void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const GLvoid* pixels) {
    if (BeforeWebGl() == nullptr) return;
    emscripten_glTexImage2D(target, level, internalFormat, width, height, border, format, type,
                            pixels);
}

}  // extern "C"

}  // namespace standin::browser
