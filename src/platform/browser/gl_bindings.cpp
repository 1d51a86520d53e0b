// WebGL's bindings, as the layer and the core's offscreen frames and scaler change them: the frame
// buffer, the program, the array buffer, the active texture unit and its 2D textures, and the
// vertex attribute arrays. The layer keeps a copy per context, so that asking for one (the core
// saves them around every scaling) costs no call into the browser, and one set again as it is
// reaches WebGL not at all. The core reaches these through the entry points the backend gives it
// (backend.cpp), the layer through the same functions.
#include <webgl/webgl1.h>

#include <algorithm>
#include <vector>

#include "platform/browser/gl_layer.h"

namespace standin::browser {

namespace {

// The copy of the active unit's 2D texture binding, or null for a unit the layer does not keep.
template <typename Kept>
auto ActiveTexture(Kept& bindings) -> decltype(&bindings.textures[0]) {
    const GLenum unit = bindings.activeUnit - GL_TEXTURE0;
    return unit < kKeptUnits ? &bindings.textures[unit] : nullptr;
}

}  // namespace

bool AskBinding(const GlState& gl, GLenum name, GLint* value) {
    const Bindings& bindings = gl.bindings;
    switch (name) {
        case GL_FRAMEBUFFER_BINDING:
            *value = static_cast<GLint>(bindings.frameBuffer);
            return true;
        case GL_CURRENT_PROGRAM:
            *value = static_cast<GLint>(bindings.program);
            return true;
        case GL_ARRAY_BUFFER_BINDING:
            *value = static_cast<GLint>(bindings.arrayBuffer);
            return true;
        case GL_ACTIVE_TEXTURE:
            *value = static_cast<GLint>(bindings.activeUnit);
            return true;
        case GL_TEXTURE_BINDING_2D: {
            const GLuint* bound = ActiveTexture(bindings);
            if (bound != nullptr) *value = static_cast<GLint>(*bound);
            return bound != nullptr;
        }
        default:
            return false;
    }
}

void SetProgram(GlState& gl, GLuint program) {
    if (gl.bindings.program == program) return;
    gl.bindings.program = program;
    emscripten_glUseProgram(program);
}

void SetArrayBuffer(GlState& gl, GLuint buffer) {
    if (gl.bindings.arrayBuffer == buffer) return;
    gl.bindings.arrayBuffer = buffer;
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, buffer);
}

void SetActiveUnit(GlState& gl, GLenum unit) {
    if (gl.bindings.activeUnit == unit) return;
    // A name that is not one of WebGL's units leaves the unit as it was.
    if (unit >= GL_TEXTURE0 && unit - GL_TEXTURE0 < gl.bindings.units)
        gl.bindings.activeUnit = unit;
    emscripten_glActiveTexture(unit);
}

void SetTexture(GlState& gl, GLuint texture) {
    const std::vector<GLuint>& names = gl.bindings.textureNames;
    if (!std::binary_search(names.begin(), names.end(), texture)) texture = 0;
    GLuint* bound = ActiveTexture(gl.bindings);
    if (bound != nullptr) {
        if (*bound == texture) return;
        *bound = texture;
    }
    emscripten_glBindTexture(GL_TEXTURE_2D, texture);
}

void MakeTextures(GlState& gl, GLsizei count, GLuint* textures) {
    emscripten_glGenTextures(count, textures);
    std::vector<GLuint>& names = gl.bindings.textureNames;
    for (GLsizei i = 0; i < count; ++i) {
        if (textures[i] != 0)
            names.insert(std::upper_bound(names.begin(), names.end(), textures[i]), textures[i]);
    }
}

void SetAttributeArray(GlState& gl, GLuint index, GLint size, GLenum type, GLboolean normalized,
                       GLsizei stride, const void* pointer) {
    if (index < kKeptAttributes) {
        AttributeArray& kept = gl.bindings.attributes[index];
        const GLint normal = normalized ? GL_TRUE : GL_FALSE;
        if (kept.size == size && kept.type == type && kept.normalized == normal &&
            kept.stride == stride && kept.buffer == gl.bindings.arrayBuffer &&
            kept.pointer == pointer) {
            return;
        }
        kept.size = size;
        kept.type = type;
        kept.normalized = normal;
        kept.stride = stride;
        kept.buffer = gl.bindings.arrayBuffer;
        kept.pointer = pointer;
    }
    emscripten_glVertexAttribPointer(index, size, type, normalized, stride, pointer);
}

void SetAttributeEnabled(GlState& gl, GLuint index, bool enabled) {
    if (index < kKeptAttributes) {
        if (gl.bindings.attributes[index].enabled == enabled) return;
        gl.bindings.attributes[index].enabled = enabled;
    }
    if (enabled) {
        emscripten_glEnableVertexAttribArray(index);
    } else {
        emscripten_glDisableVertexAttribArray(index);
    }
}

void BindFrameBuffer(GLenum target, GLuint frameBuffer) {
    GlState* gl = BeforeWebGl();
    if (gl == nullptr || (target == GL_FRAMEBUFFER && gl->bindings.frameBuffer == frameBuffer))
        return;
    if (target == GL_FRAMEBUFFER) gl->bindings.frameBuffer = frameBuffer;
    emscripten_glBindFramebuffer(target, frameBuffer);
}

void DeleteFrameBuffers(GLsizei count, const GLuint* frameBuffers) {
    GlState* gl = BeforeWebGl();
    if (gl == nullptr || count < 0) return;
    // Deleting the bound frame buffer binds the window's.
    for (GLsizei i = 0; i < count; ++i) {
        if (frameBuffers[i] != 0 && frameBuffers[i] == gl->bindings.frameBuffer)
            gl->bindings.frameBuffer = 0;
    }
    emscripten_glDeleteFramebuffers(count, frameBuffers);
}

void UseProgram(GLuint program) {
    if (GlState* gl = BeforeWebGl()) SetProgram(*gl, program);
}

void BindBuffer(GLenum target, GLuint buffer) {
    GlState* gl = BeforeWebGl();
    if (gl == nullptr) return;
    if (target == GL_ARRAY_BUFFER) {
        SetArrayBuffer(*gl, buffer);
    } else {
        emscripten_glBindBuffer(target, buffer);
    }
}

void ActivateTexture(GLenum unit) {
    if (GlState* gl = BeforeWebGl()) SetActiveUnit(*gl, unit);
}

void VertexAttribPointer(GLuint index, GLint size, GLenum type, GLboolean normalized,
                         GLsizei stride, const void* pointer) {
    if (GlState* gl = BeforeWebGl())
        SetAttributeArray(*gl, index, size, type, normalized, stride, pointer);
}

void EnableVertexAttribArray(GLuint index) {
    if (GlState* gl = BeforeWebGl()) SetAttributeEnabled(*gl, index, true);
}

void DisableVertexAttribArray(GLuint index) {
    if (GlState* gl = BeforeWebGl()) SetAttributeEnabled(*gl, index, false);
}

void GetVertexAttribiv(GLuint index, GLenum name, GLint* value) {
    GlState* gl = BeforeWebGl();
    if (gl == nullptr) return;
    if (index < kKeptAttributes) {
        const AttributeArray& kept = gl->bindings.attributes[index];
        switch (name) {
            case GL_VERTEX_ATTRIB_ARRAY_ENABLED:
                *value = kept.enabled ? GL_TRUE : GL_FALSE;
                return;
            case GL_VERTEX_ATTRIB_ARRAY_SIZE:
                *value = kept.size;
                return;
            case GL_VERTEX_ATTRIB_ARRAY_TYPE:
                *value = static_cast<GLint>(kept.type);
                return;
            case GL_VERTEX_ATTRIB_ARRAY_NORMALIZED:
                *value = kept.normalized;
                return;
            case GL_VERTEX_ATTRIB_ARRAY_STRIDE:
                *value = kept.stride;
                return;
            case GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING:
                *value = static_cast<GLint>(kept.buffer);
                return;
            default:
                break;
        }
    }
    emscripten_glGetVertexAttribiv(index, name, value);
}

void GetVertexAttribPointerv(GLuint index, GLenum name, void** pointer) {
    GlState* gl = BeforeWebGl();
    if (gl == nullptr) return;
    if (index < kKeptAttributes && name == GL_VERTEX_ATTRIB_ARRAY_POINTER) {
        *pointer = const_cast<void*>(gl->bindings.attributes[index].pointer);
        return;
    }
    emscripten_glGetVertexAttribPointerv(index, name, pointer);
}

// GL 1.1's own texture names and bindings, through the same copy.
extern "C" {

void glBindTexture(GLenum target, GLuint texture) {
    GlState* gl = BeforeWebGl();
    if (gl == nullptr) return;
    if (target == GL_TEXTURE_2D) {
        SetTexture(*gl, texture);
    } else {
        emscripten_glBindTexture(target, texture);
    }
}

void glGenTextures(GLsizei count, GLuint* textures) {
    GlState* gl = BeforeWebGl();
    if (gl != nullptr && count >= 0) MakeTextures(*gl, count, textures);
}

void glDeleteTextures(GLsizei count, const GLuint* textures) {
    GlState* gl = BeforeWebGl();
    if (gl == nullptr || count < 0) return;
    // A deleted texture leaves every unit it was bound to.
    std::vector<GLuint>& names = gl->bindings.textureNames;
    for (GLsizei i = 0; i < count; ++i) {
        if (textures[i] == 0) continue;
        for (GLuint& bound : gl->bindings.textures) {
            if (bound == textures[i]) bound = 0;
        }
        const auto named = std::lower_bound(names.begin(), names.end(), textures[i]);
        if (named != names.end() && *named == textures[i]) names.erase(named);
    }
    emscripten_glDeleteTextures(count, textures);
}

}  // extern "C"

}  // namespace standin::browser
