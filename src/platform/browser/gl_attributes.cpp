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

// The pixel store by name: which layout, which of its values, and what GL takes for it.
enum class Takes { kAlignment, kCount, kBoolean };

struct PixelName {
    GLenum name;
    PixelLayout PixelStore::*layout;
    GLint PixelLayout::*value;
    Takes takes;
};

constexpr PixelName kPixelNames[] = {
    {GL_UNPACK_ALIGNMENT, &PixelStore::unpack, &PixelLayout::alignment, Takes::kAlignment},
    {GL_UNPACK_ROW_LENGTH, &PixelStore::unpack, &PixelLayout::rowLength, Takes::kCount},
    {GL_UNPACK_SKIP_ROWS, &PixelStore::unpack, &PixelLayout::skipRows, Takes::kCount},
    {GL_UNPACK_SKIP_PIXELS, &PixelStore::unpack, &PixelLayout::skipPixels, Takes::kCount},
    {GL_UNPACK_LSB_FIRST, &PixelStore::unpack, &PixelLayout::lsbFirst, Takes::kBoolean},
    {GL_UNPACK_SWAP_BYTES, &PixelStore::unpack, &PixelLayout::swapBytes, Takes::kBoolean},
    {GL_PACK_ALIGNMENT, &PixelStore::pack, &PixelLayout::alignment, Takes::kAlignment},
    {GL_PACK_ROW_LENGTH, &PixelStore::pack, &PixelLayout::rowLength, Takes::kCount},
    {GL_PACK_SKIP_ROWS, &PixelStore::pack, &PixelLayout::skipRows, Takes::kCount},
    {GL_PACK_SKIP_PIXELS, &PixelStore::pack, &PixelLayout::skipPixels, Takes::kCount},
    {GL_PACK_LSB_FIRST, &PixelStore::pack, &PixelLayout::lsbFirst, Takes::kBoolean},
    {GL_PACK_SWAP_BYTES, &PixelStore::pack, &PixelLayout::swapBytes, Takes::kBoolean},
};

const PixelName* FindPixelName(GLenum name) {
    for (const PixelName& entry : kPixelNames) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

// WebGL keeps the alignments too; what waits is drawn before they change.
void SetPixelStore(PixelStore& store, const PixelName& entry, GLint value) {
    GLint& kept = store.*entry.layout.*entry.value;
    if (entry.takes == Takes::kAlignment && kept != value) {
        DrawQueued();
        emscripten_glPixelStorei(entry.name, value);
    }
    kept = value;
}

}  // namespace

extern "C" {

void glPushAttrib(GLbitfield mask) {
    GlState* gl = OutsideBeginEnd();
    if (gl == nullptr || gl->attribDepth == kAttribStackDepth) return;
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
    GlState* gl = OutsideBeginEnd();
    if (gl == nullptr || gl->attribDepth == 0) return;
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
    for (const PixelName& entry : kPixelNames) {
        SetPixelStore(gl->store, entry, frame.store.*entry.layout.*entry.value);
    }
}

void glPixelStorei(GLenum name, GLint value) {
    GlState* gl = OutsideBeginEnd();
    if (gl == nullptr) return;
    const PixelName* entry = FindPixelName(name);
    if (entry == nullptr) {
        // WebGL's own (flipping, premultiplying): it takes them.
        DrawQueued();
        emscripten_glPixelStorei(name, value);
        return;
    }
    switch (entry->takes) {
        case Takes::kAlignment:
            if (value != 1 && value != 2 && value != 4 && value != 8) return;
            break;
        case Takes::kCount:
            if (value < 0) return;
            break;
        case Takes::kBoolean:
            value = value != 0 ? GL_TRUE : GL_FALSE;
            break;
    }
    SetPixelStore(gl->store, *entry, value);
}

}  // extern "C"

const GLint* PixelStoreValue(const PixelStore& store, GLenum name) {
    const PixelName* entry = FindPixelName(name);
    return entry != nullptr ? &(store.*entry->layout.*entry->value) : nullptr;
}

}  // namespace standin::browser
