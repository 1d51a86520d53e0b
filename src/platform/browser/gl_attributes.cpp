// The attribute stacks and the pixel store: glPushAttrib, glPopAttrib, glPushClientAttrib,
// glPopClientAttrib and glPixelStorei.
//
// glPopAttrib puts back, of each group pushed, what the layer keeps of it: the current colour
// and raster position, the list base, the shade model, the matrix mode, the hints, the switches,
// the clear values, colour mask, depth function, viewport and scissor box. The pixel store is
// GL 1.1's whole: WebGL takes only its alignments, glBitmap reads the rest.
#include <webgl/webgl1.h>

#include "platform/browser/gl_layer.h"

namespace standin::browser {

namespace {

// The switches each group holds, as bits of DrawState::enabled (the order of kCapabilities).
constexpr std::uint32_t kBlendBit = 1u << 0;
constexpr std::uint32_t kCullBit = 1u << 1;
constexpr std::uint32_t kDepthTestBit = 1u << 2;
constexpr std::uint32_t kScissorTestBit = 1u << 4;
constexpr std::uint32_t kStencilTestBit = 1u << 5;
constexpr std::uint32_t kOffsetFillBit = 1u << 6;

std::uint32_t SwitchesOf(GLbitfield mask) {
    if ((mask & GL_ENABLE_BIT) != 0) return ~0u;
    std::uint32_t bits = 0;
    if ((mask & GL_COLOR_BUFFER_BIT) != 0) bits |= kBlendBit | kDitherBit;
    if ((mask & GL_DEPTH_BUFFER_BIT) != 0) bits |= kDepthTestBit;
    if ((mask & GL_SCISSOR_BIT) != 0) bits |= kScissorTestBit;
    if ((mask & GL_STENCIL_BUFFER_BIT) != 0) bits |= kStencilTestBit;
    if ((mask & GL_POLYGON_BIT) != 0) bits |= kCullBit | kOffsetFillBit;
    return bits;
}

void SetAlignment(GLenum name, GLint& kept, GLint value) {
    if (kept == value) return;
    kept = value;
    emscripten_glPixelStorei(name, value);
}

}  // namespace

extern "C" {

void glPushAttrib(GLbitfield mask) {
    GlState* gl = CurrentGl();
    if (gl == nullptr || gl->assembly.inside || gl->attribDepth == kAttribStackDepth) return;
    AttribFrame& frame = gl->attribStack[gl->attribDepth++];
    frame.mask = mask;
    frame.colour = gl->colour;
    frame.raster = gl->raster;
    frame.listBase = gl->listBase;
    frame.shadeModel = gl->shadeModel;
    frame.matrixMode = gl->matrixMode;
    for (int i = 0; i < kHints; ++i) frame.hints[i] = gl->hints[i];
    frame.draw = gl->draw;
}

void glPopAttrib() {
    GlState* gl = CurrentGl();
    if (gl == nullptr || gl->assembly.inside || gl->attribDepth == 0) return;
    const AttribFrame& frame = gl->attribStack[--gl->attribDepth];
    const GLbitfield mask = frame.mask;
    if ((mask & GL_CURRENT_BIT) != 0) {
        gl->colour = frame.colour;
        gl->raster = frame.raster;
    }
    if ((mask & GL_LIST_BIT) != 0) gl->listBase = frame.listBase;
    if ((mask & GL_LIGHTING_BIT) != 0) gl->shadeModel = frame.shadeModel;
    if ((mask & GL_TRANSFORM_BIT) != 0) gl->matrixMode = frame.matrixMode;
    if ((mask & GL_HINT_BIT) != 0) {
        for (int i = 0; i < kHints; ++i) gl->hints[i] = frame.hints[i];
    }
    // What WebGL keeps too: what waits is drawn before it changes.
    const std::uint32_t switches = SwitchesOf(mask);
    const bool webgl = switches != 0 || (mask & GL_VIEWPORT_BIT) != 0;
    if (!webgl) return;
    DrawQueued();
    SetEnabled(*gl, (gl->draw.enabled & ~switches) | (frame.draw.enabled & switches));
    if ((mask & GL_COLOR_BUFFER_BIT) != 0) {
        SetClearColour(*gl, frame.draw.clearColour);
        SetColourMask(*gl, frame.draw.colourMask);
    }
    if ((mask & GL_DEPTH_BUFFER_BIT) != 0) {
        SetClearDepth(*gl, frame.draw.clearDepth);
        SetDepthFunc(*gl, frame.draw.depthFunc);
    }
    if ((mask & GL_SCISSOR_BIT) != 0) SetScissor(*gl, frame.draw.scissor);
    if ((mask & GL_VIEWPORT_BIT) != 0) SetViewport(*gl, frame.draw.viewport);
}

void glPushClientAttrib(GLbitfield mask) {
    GlState* gl = CurrentGl();
    if (gl == nullptr || gl->clientAttribDepth == kClientAttribStackDepth) return;
    gl->clientAttribStack[gl->clientAttribDepth++] = ClientAttribFrame{mask, gl->store};
}

// The layer has no vertex arrays: only the pixel store comes back.
void glPopClientAttrib() {
    GlState* gl = CurrentGl();
    if (gl == nullptr || gl->clientAttribDepth == 0) return;
    const ClientAttribFrame& frame = gl->clientAttribStack[--gl->clientAttribDepth];
    if ((frame.mask & GL_CLIENT_PIXEL_STORE_BIT) == 0) return;
    DrawQueued();
    PixelStore& store = gl->store;
    const PixelStore& saved = frame.store;
    SetAlignment(GL_UNPACK_ALIGNMENT, store.unpackAlignment, saved.unpackAlignment);
    SetAlignment(GL_PACK_ALIGNMENT, store.packAlignment, saved.packAlignment);
    store = saved;
}

void glPixelStorei(GLenum name, GLint value) {
    GlState* gl = CurrentGl();
    if (gl == nullptr || gl->assembly.inside) return;
    PixelStore& store = gl->store;
    const bool alignment = value == 1 || value == 2 || value == 4 || value == 8;
    switch (name) {
        case GL_UNPACK_ALIGNMENT:
        case GL_PACK_ALIGNMENT:
            if (!alignment) return;
            DrawQueued();
            SetAlignment(name,
                         name == GL_UNPACK_ALIGNMENT ? store.unpackAlignment : store.packAlignment,
                         value);
            return;
        case GL_UNPACK_ROW_LENGTH:
            if (value >= 0) store.unpackRowLength = value;
            return;
        case GL_UNPACK_SKIP_ROWS:
            if (value >= 0) store.unpackSkipRows = value;
            return;
        case GL_UNPACK_SKIP_PIXELS:
            if (value >= 0) store.unpackSkipPixels = value;
            return;
        case GL_UNPACK_LSB_FIRST:
            store.unpackLsbFirst = value != 0;
            return;
        case GL_UNPACK_SWAP_BYTES:
            store.unpackSwapBytes = value != 0;
            return;
        case GL_PACK_ROW_LENGTH:
            if (value >= 0) store.packRowLength = value;
            return;
        case GL_PACK_SKIP_ROWS:
            if (value >= 0) store.packSkipRows = value;
            return;
        case GL_PACK_SKIP_PIXELS:
            if (value >= 0) store.packSkipPixels = value;
            return;
        case GL_PACK_LSB_FIRST:
            store.packLsbFirst = value != 0;
            return;
        case GL_PACK_SWAP_BYTES:
            store.packSwapBytes = value != 0;
            return;
        default:
            // WebGL's own (flipping, premultiplying): it takes them.
            DrawQueued();
            emscripten_glPixelStorei(name, value);
            return;
    }
}

}  // extern "C"

}  // namespace standin::browser
