// glGetIntegerv, glGetFloatv, glGetBooleanv and glIsEnabled: the layer answers for the state it
// keeps (GL 1.1's own, and its copy of WebGL's, bindings included), converted as GL 1.1 converts
// between the types; WebGL answers the rest (limits, bindings the layer keeps no copy of).
#include <webgl/webgl1.h>

#include <cmath>
#include <initializer_list>

#include "platform/browser/gl_layer.h"

namespace standin::browser {

namespace {

// An answer: up to 16 values, and whether they are colours or depths, which GL turns into
// integers otherwise than other values.
struct Answer {
    int count = 0;
    bool normalized = false;
    double values[16];
};

void Put(Answer& answer, std::initializer_list<double> values) {
    for (double value : values) answer.values[answer.count++] = value;
}

void PutColour(Answer& answer, const Colour& colour) {
    Put(answer, {colour.r, colour.g, colour.b, 1.0});
    answer.normalized = true;
}

void PutMatrix(Answer& answer, const Matrix& matrix) {
    for (GLfloat value : matrix.m) answer.values[answer.count++] = value;
}

// The layer's answer for a name, or one of no values where WebGL is to answer.
Answer Ask(const GlState& gl, GLenum name) {
    Answer answer;
    const DrawState& draw = gl.draw;
    if (const std::uint32_t bit = CapabilityBit(name))
        Put(answer, {draw.enabled & bit ? 1.0 : 0.0});
    if (const GLint* value = PixelStoreValue(gl.store, name))
        Put(answer, {static_cast<double>(*value)});
    GLint binding = 0;
    if (AskBinding(gl, name, &binding)) Put(answer, {static_cast<double>(binding)});
    if (answer.count > 0) return answer;
    switch (name) {
        case GL_VIEWPORT:
            for (GLint value : draw.viewport) Put(answer, {static_cast<double>(value)});
            break;
        case GL_SCISSOR_BOX:
            for (GLint value : draw.scissor) Put(answer, {static_cast<double>(value)});
            break;
        case GL_COLOR_WRITEMASK:
            for (GLboolean value : draw.colourMask) Put(answer, {value ? 1.0 : 0.0});
            break;
        case GL_COLOR_CLEAR_VALUE:
            for (GLfloat value : draw.clearColour) Put(answer, {value});
            answer.normalized = true;
            break;
        case GL_DEPTH_CLEAR_VALUE:
            Put(answer, {draw.clearDepth});
            answer.normalized = true;
            break;
        case GL_DEPTH_FUNC:
            Put(answer, {static_cast<double>(draw.depthFunc)});
            break;
        case GL_MATRIX_MODE:
            Put(answer, {static_cast<double>(gl.matrixMode)});
            break;
        case GL_MODELVIEW_MATRIX:
            PutMatrix(answer, gl.matrices[kModelview]);
            break;
        case GL_PROJECTION_MATRIX:
            PutMatrix(answer, gl.matrices[kProjection]);
            break;
        case GL_TEXTURE_MATRIX:
            PutMatrix(answer, gl.matrices[kTexture]);
            break;
        case GL_MODELVIEW_STACK_DEPTH:
        case GL_PROJECTION_STACK_DEPTH:
        case GL_TEXTURE_STACK_DEPTH:
            Put(answer, {1.0});
            break;
        case GL_CURRENT_COLOR:
            PutColour(answer, gl.colour);
            break;
        case GL_CURRENT_RASTER_COLOR:
            PutColour(answer, gl.raster.colour);
            break;
        case GL_CURRENT_RASTER_POSITION:
            Put(answer, {gl.raster.x, gl.raster.y, gl.raster.z, gl.raster.w});
            break;
        case GL_CURRENT_RASTER_POSITION_VALID:
            Put(answer, {gl.raster.valid ? 1.0 : 0.0});
            break;
        case GL_LIST_BASE:
            Put(answer, {static_cast<double>(gl.listBase)});
            break;
        case GL_LIST_INDEX:
            Put(answer, {static_cast<double>(gl.compiling)});
            break;
        case GL_LIST_MODE:
            Put(answer, {gl.compiling != 0 ? static_cast<double>(gl.compileMode) : 0.0});
            break;
        case GL_SHADE_MODEL:
            Put(answer, {static_cast<double>(gl.shadeModel)});
            break;
        case GL_ATTRIB_STACK_DEPTH:
            Put(answer, {static_cast<double>(gl.attribDepth)});
            break;
        case GL_CLIENT_ATTRIB_STACK_DEPTH:
            Put(answer, {static_cast<double>(gl.clientAttribDepth)});
            break;
        case GL_MAX_ATTRIB_STACK_DEPTH:
            Put(answer, {static_cast<double>(kAttribStackDepth)});
            break;
        case GL_MAX_CLIENT_ATTRIB_STACK_DEPTH:
            Put(answer, {static_cast<double>(kClientAttribStackDepth)});
            break;
        default:
            break;
    }
    return answer;
}

// Answers the query from the layer's copy, converted to the caller's type, or else from WebGL,
// once what waits is drawn. Nothing is answered between glBegin and glEnd.
template <typename Value, typename Convert>
void Get(GLenum name, Value* values, void (*fromWebGl)(GLenum, Value*), Convert convert) {
    GlState* gl = OutsideBeginEnd();
    if (gl == nullptr) return;
    const Answer answer = Ask(*gl, name);
    if (answer.count == 0) {
        DrawQueued();
        fromWebGl(name, values);
        return;
    }
    for (int i = 0; i < answer.count; ++i) values[i] = convert(answer, answer.values[i]);
}

}  // namespace

extern "C" {

void glGetIntegerv(GLenum name, GLint* values) {
    Get(name, values, emscripten_glGetIntegerv, [](const Answer& answer, double value) {
        // Colours and depths map [-1, 1] onto the whole range of GLint, truncated; the rest round.
        return answer.normalized ? static_cast<GLint>((4294967295.0 * value - 1.0) / 2.0)
                                 : static_cast<GLint>(std::lround(value));
    });
}

void glGetFloatv(GLenum name, GLfloat* values) {
    Get(name, values, emscripten_glGetFloatv,
        [](const Answer&, double value) { return static_cast<GLfloat>(value); });
}

void glGetBooleanv(GLenum name, GLboolean* values) {
    Get(name, values, emscripten_glGetBooleanv, [](const Answer&, double value) {
        return static_cast<GLboolean>(value != 0.0 ? GL_TRUE : GL_FALSE);
    });
}

GLboolean glIsEnabled(GLenum capability) {
    GlState* gl = OutsideBeginEnd();
    if (gl == nullptr) return GL_FALSE;
    if (const std::uint32_t bit = CapabilityBit(capability))
        return (gl->draw.enabled & bit) != 0 ? GL_TRUE : GL_FALSE;
    DrawQueued();
    return emscripten_glIsEnabled(capability);
}

}  // extern "C"

}  // namespace standin::browser
