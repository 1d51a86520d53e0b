// The glyph atlas: every bitmap of a display list, unpacked once to a byte a pixel into one
// alpha texture on texture unit 1, beside one solid texel that everything else is drawn through.
// Its contents are kept in wasm memory as well, so that recording a bitmap costs no call into
// the browser and the texture gets one upload of the rows that changed, at the next draw.
#include <webgl/webgl1.h>

#include <algorithm>
#include <cstddef>

#include "platform/browser/gl_layer.h"

namespace standin::browser {

namespace {

constexpr GLsizei kFirstSize = 256;
// Atlases larger than this are not worth their memory for bitmap text.
constexpr GLint kLargestSize = 4096;
// An empty texel between glyphs: a sample rounded onto a neighbour then finds nothing.
constexpr GLint kGap = 1;
// The solid texel sits in the corner, with the gap beside it.
constexpr Shelf kFirstShelf = {1 + kGap, 0, 1};

bool Place(Shelf& shelf, GLsizei size, Glyph& glyph) {
    if (glyph.width > size || glyph.height > size) return false;
    if (shelf.x + glyph.width > size) {
        shelf.y += shelf.height + kGap;
        shelf.x = 0;
        shelf.height = 0;
    }
    if (shelf.y + glyph.height > size) return false;
    glyph.atlasX = shelf.x;
    glyph.atlasY = shelf.y;
    shelf.x += glyph.width + kGap;
    shelf.height = std::max(shelf.height, glyph.height);
    return true;
}

void MarkDirty(Atlas& atlas, GLint from, GLint to) {
    if (atlas.dirtyFrom == atlas.dirtyTo) {
        atlas.dirtyFrom = from;
        atlas.dirtyTo = to;
        return;
    }
    atlas.dirtyFrom = std::min(atlas.dirtyFrom, from);
    atlas.dirtyTo = std::max(atlas.dirtyTo, to);
}

// A fresh image of the given size with the solid texel in its corner.
void StartImage(Atlas& atlas, GLsizei size) {
    atlas.size = size;
    atlas.image.assign(static_cast<std::size_t>(size) * static_cast<std::size_t>(size), 0);
    atlas.image[0] = 255;
    atlas.shelf = kFirstShelf;
    MarkDirty(atlas, 0, size);
}

void CopyRect(const Atlas& from, GLint fromX, GLint fromY, Atlas& to, GLint toX, GLint toY,
              GLsizei width, GLsizei height) {
    for (GLsizei row = 0; row < height; ++row) {
        const auto source = from.image.begin() + (fromY + row) * from.size + fromX;
        std::copy(source, source + width, to.image.begin() + (toY + row) * to.size + toX);
    }
}

// Lays out afresh the glyphs still wanted (the lists' and those of the list being compiled),
// in an atlas as large as they and `next` need, and drops the others from the glyphs.
void Repack(GlState& gl, const Glyph& next) {
    // The glyphs waiting to be drawn stand where they are now.
    DrawQueued();
    std::vector<Glyph> kept;
    kept.reserve(gl.glyphs.size());
    const auto keep = [&](std::uint32_t first, std::uint32_t count) {
        const auto newFirst = static_cast<std::uint32_t>(kept.size());
        kept.insert(kept.end(), gl.glyphs.begin() + first, gl.glyphs.begin() + first + count);
        return newFirst;
    };
    for (ListEntry& list : gl.lists) list.first = keep(list.first, list.count);
    if (gl.compiling != 0) {
        gl.compileFirst =
            keep(gl.compileFirst, static_cast<std::uint32_t>(gl.glyphs.size()) - gl.compileFirst);
    }

    Atlas grown;
    GLsizei size = gl.atlas.size;
    for (;; size = std::min(size * 2, gl.atlas.largest)) {
        Shelf shelf = kFirstShelf;
        bool fits = true;
        for (Glyph glyph : kept) {
            if (glyph.atlasX >= 0 && !Place(shelf, size, glyph)) fits = false;
        }
        Glyph probe = next;
        if ((fits && Place(shelf, size, probe)) || size == gl.atlas.largest) break;
    }
    StartImage(grown, size);
    for (Glyph& glyph : kept) {
        if (glyph.atlasX < 0) continue;
        const Glyph old = glyph;
        if (Place(grown.shelf, size, glyph)) {
            CopyRect(gl.atlas, old.atlasX, old.atlasY, grown, glyph.atlasX, glyph.atlasY,
                     glyph.width, glyph.height);
        } else {
            glyph.atlasX = -1;
            glyph.atlasY = -1;
        }
    }
    gl.glyphs.swap(kept);
    gl.atlas.image.swap(grown.image);
    gl.atlas.size = grown.size;
    gl.atlas.shelf = grown.shelf;
    gl.atlas.dirtyFrom = 0;
    gl.atlas.dirtyTo = size;
    ++gl.atlas.generation;
}

// Copies a bitmap's bits, read the way GL 1.1 unpacks a bitmap, to its place in the image.
void Unpack(const PixelLayout& layout, const GLubyte* bits, const Glyph& glyph, Atlas& atlas) {
    const GLint rowPixels = layout.rowLength > 0 ? layout.rowLength : glyph.width;
    const GLint alignmentBits = 8 * layout.alignment;
    const std::size_t rowBytes =
        static_cast<std::size_t>(layout.alignment) *
        static_cast<std::size_t>((rowPixels + alignmentBits - 1) / alignmentBits);
    for (GLsizei j = 0; j < glyph.height; ++j) {
        const GLubyte* row = bits + static_cast<std::size_t>(layout.skipRows + j) * rowBytes;
        unsigned char* out =
            &atlas.image[static_cast<std::size_t>(glyph.atlasY + j) * atlas.size + glyph.atlasX];
        for (GLsizei i = 0; i < glyph.width; ++i) {
            const GLint bit = layout.skipPixels + i;
            const unsigned mask = layout.lsbFirst != 0 ? 1u << (bit & 7) : 0x80u >> (bit & 7);
            out[i] = (row[bit >> 3] & mask) != 0 ? 255 : 0;
        }
    }
    MarkDirty(atlas, glyph.atlasY, glyph.atlasY + glyph.height);
}

}  // namespace

void StartAtlas(GlState& gl) {
    Atlas& atlas = gl.atlas;
    emscripten_glGetIntegerv(GL_MAX_TEXTURE_SIZE, &atlas.largest);
    atlas.largest = std::min(std::max(atlas.largest, kFirstSize), kLargestSize);
    StartImage(atlas, kFirstSize);
    const GLenum active = gl.bindings.activeUnit;
    SetActiveUnit(gl, kAtlasUnit);
    MakeTextures(gl, 1, &atlas.texture);
    SetTexture(gl, atlas.texture);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    SetActiveUnit(gl, active);
}

bool PlaceGlyph(GlState& gl, Glyph& glyph, const GLubyte* bits) {
    glyph.atlasX = -1;
    glyph.atlasY = -1;
    Atlas& atlas = gl.atlas;
    if (glyph.width <= 0 || glyph.height <= 0 || bits == nullptr || glyph.width > atlas.largest ||
        glyph.height > atlas.largest) {
        return false;
    }
    Shelf shelf = atlas.shelf;
    if (!Place(shelf, atlas.size, glyph)) {
        Repack(gl, glyph);
        shelf = atlas.shelf;
        if (!Place(shelf, atlas.size, glyph)) return false;
    }
    atlas.shelf = shelf;
    Unpack(gl.store.unpack, bits, glyph, atlas);
    return true;
}

void SolidTexel(const GlState& gl, GLfloat* s, GLfloat* t) {
    *s = 0.5f / static_cast<GLfloat>(gl.atlas.size);
    *t = *s;
}

void UploadAtlas(GlState& gl) {
    Atlas& atlas = gl.atlas;
    if (atlas.dirtyFrom == atlas.dirtyTo) return;
    const GLenum active = gl.bindings.activeUnit;
    SetActiveUnit(gl, kAtlasUnit);
    if (atlas.uploadedSize != atlas.size) {
        emscripten_glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, atlas.size, atlas.size, 0, GL_ALPHA,
                                GL_UNSIGNED_BYTE, atlas.image.data());
        atlas.uploadedSize = atlas.size;
    } else {
        emscripten_glTexSubImage2D(
            GL_TEXTURE_2D, 0, 0, atlas.dirtyFrom, atlas.size, atlas.dirtyTo - atlas.dirtyFrom,
            GL_ALPHA, GL_UNSIGNED_BYTE,
            &atlas.image[static_cast<std::size_t>(atlas.dirtyFrom) * atlas.size]);
    }
    SetActiveUnit(gl, active);
    atlas.dirtyFrom = 0;
    atlas.dirtyTo = 0;
}

}  // namespace standin::browser
