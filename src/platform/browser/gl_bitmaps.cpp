// The raster position, glBitmap, and display lists of bitmaps: glRasterPos2f, glBitmap,
// glGenLists, glNewList, glEndList, glListBase and glCallLists.
//
// Only glBitmap is recorded in a list; any other call made while a list is open takes effect at
// once. A bitmap is drawn as GL 1.1 draws it: its lower left corner on the window pixel
// floor(raster position - origin), one pixel for each bit, those whose bit is clear left alone,
// at the raster position's depth and in its colour, through the same depth test as any fragment.
// A line of text is two triangles a glyph, queued with the rest (gl_draw.cpp).
#include <algorithm>
#include <cmath>
#include <cstddef>

#include "platform/browser/gl_layer.h"

namespace standin::browser {

namespace {

// A raster position in the plane of a surface drawn before it has to win the GL_LEQUAL tie, as
// the demo's loading line expects of it. Its depth and the rasteriser's come out of different
// float arithmetic and can differ by a few units in the last place, and each rounds to the depth
// buffer on its own: so bitmaps are drawn that much nearer, four steps of the coarsest depth
// buffer WebGL gives (16 bits), in window depth.
constexpr double kDepthTieMargin = 4.0 / 65536.0;

// The first list named `name` or above.
std::vector<ListEntry>::iterator ListAtOrAbove(GlState& gl, std::uint64_t name) {
    return std::lower_bound(
        gl.lists.begin(), gl.lists.end(), name,
        [](const ListEntry& entry, std::uint64_t wanted) { return entry.name < wanted; });
}

void SetRasterPosition(GlState& gl, GLfloat x, GLfloat y, GLfloat z, GLfloat w) {
    const GLfloat* modelview = gl.matrices[kModelview].m;
    const GLfloat* projection = gl.matrices[kProjection].m;
    // In double, so that window coordinates come out exact.
    const double object[4] = {x, y, z, w};
    double eye[4];
    double clip[4];
    for (int row = 0; row < 4; ++row) {
        eye[row] = 0.0;
        for (int column = 0; column < 4; ++column) {
            eye[row] += static_cast<double>(modelview[column * 4 + row]) * object[column];
        }
    }
    for (int row = 0; row < 4; ++row) {
        clip[row] = 0.0;
        for (int column = 0; column < 4; ++column) {
            clip[row] += static_cast<double>(projection[column * 4 + row]) * eye[column];
        }
    }

    // A point outside the clip volume leaves the raster position invalid: bitmaps then draw
    // nothing until the next glRasterPos.
    const double cw = clip[3];
    bool inside = cw > 0.0;
    for (int i = 0; i < 3 && inside; ++i) inside = -cw <= clip[i] && clip[i] <= cw;
    gl.raster.valid = inside;
    if (!inside) return;

    const GLint* viewport = gl.draw.viewport;
    gl.raster.x = viewport[0] + (clip[0] / cw + 1.0) * 0.5 * viewport[2];
    gl.raster.y = viewport[1] + (clip[1] / cw + 1.0) * 0.5 * viewport[3];
    gl.raster.z = (clip[2] / cw + 1.0) * 0.5;
    gl.raster.w = cw;
    gl.raster.colour = Colour{Clamped(gl.colour.r), Clamped(gl.colour.g), Clamped(gl.colour.b)};
}

// Queues a glyph's pixels at the raster position, then moves the raster position on, drawn or
// not.
void QueueGlyph(GlState& gl, const Glyph& glyph) {
    if (!gl.raster.valid) return;
    const GLint* viewport = gl.draw.viewport;
    if (glyph.atlasX >= 0 && viewport[2] > 0 && viewport[3] > 0) {
        // Window coordinates back to the clip coordinates that land on them; the depth moved
        // toward the viewer by the tie margin, never past the near plane.
        const double x0 = std::floor(gl.raster.x - glyph.xorig);
        const double y0 = std::floor(gl.raster.y - glyph.yorig);
        const double toClipX = 2.0 / viewport[2];
        const double toClipY = 2.0 / viewport[3];
        const auto left = static_cast<GLfloat>((x0 - viewport[0]) * toClipX - 1.0);
        const auto right = static_cast<GLfloat>((x0 + glyph.width - viewport[0]) * toClipX - 1.0);
        const auto bottom = static_cast<GLfloat>((y0 - viewport[1]) * toClipY - 1.0);
        const auto top = static_cast<GLfloat>((y0 + glyph.height - viewport[1]) * toClipY - 1.0);
        const auto depth =
            static_cast<GLfloat>(std::max((gl.raster.z - kDepthTieMargin) * 2.0 - 1.0, -1.0));
        const auto perTexel = 1.0f / static_cast<GLfloat>(gl.atlas.size);
        const GLfloat s0 = static_cast<GLfloat>(glyph.atlasX) * perTexel;
        const GLfloat t0 = static_cast<GLfloat>(glyph.atlasY) * perTexel;
        const GLfloat s1 = static_cast<GLfloat>(glyph.atlasX + glyph.width) * perTexel;
        const GLfloat t1 = static_cast<GLfloat>(glyph.atlasY + glyph.height) * perTexel;
        const Colour colour = gl.raster.colour;
        // Two counter-clockwise triangles; the bitmap's bottom row is the atlas's lower row.
        const Vertex corners[6] = {
            {left, bottom, depth, 1.0f, colour, s0, t0},
            {right, bottom, depth, 1.0f, colour, s1, t0},
            {right, top, depth, 1.0f, colour, s1, t1},
            {left, bottom, depth, 1.0f, colour, s0, t0},
            {right, top, depth, 1.0f, colour, s1, t1},
            {left, top, depth, 1.0f, colour, s0, t1},
        };
        std::copy(corners, corners + 6, QueueVertices(GL_TRIANGLES, 6));
    }
    gl.raster.x += glyph.xmove;
    gl.raster.y += glyph.ymove;
}

// Queues a list's glyphs; a name never defined, or defined empty, draws nothing.
void QueueList(GlState& gl, GLuint name) {
    const auto found = ListAtOrAbove(gl, name);
    if (found == gl.lists.end() || found->name != name) return;
    for (std::uint32_t i = 0; i < found->count; ++i) QueueGlyph(gl, gl.glyphs[found->first + i]);
}

// The i-th list offset of glCallLists' array, per its type; false for a type GL does not know.
bool ListOffset(GLenum type, const void* lists, GLsizei i, GLuint& offset) {
    const auto* bytes = static_cast<const GLubyte*>(lists);
    const auto n = static_cast<std::size_t>(i);
    switch (type) {
        case GL_BYTE:
            offset = static_cast<GLuint>(static_cast<const GLbyte*>(lists)[n]);
            return true;
        case GL_UNSIGNED_BYTE:
            offset = bytes[n];
            return true;
        case GL_SHORT:
            offset = static_cast<GLuint>(static_cast<const GLshort*>(lists)[n]);
            return true;
        case GL_UNSIGNED_SHORT:
            offset = static_cast<const GLushort*>(lists)[n];
            return true;
        case GL_INT:
            offset = static_cast<GLuint>(static_cast<const GLint*>(lists)[n]);
            return true;
        case GL_UNSIGNED_INT:
            offset = static_cast<const GLuint*>(lists)[n];
            return true;
        case GL_FLOAT:
            offset = static_cast<GLuint>(static_cast<GLint>(static_cast<const GLfloat*>(lists)[n]));
            return true;
        case GL_2_BYTES:
            offset = bytes[2 * n] * 256u + bytes[2 * n + 1];
            return true;
        case GL_3_BYTES:
            offset = (bytes[3 * n] * 256u + bytes[3 * n + 1]) * 256u + bytes[3 * n + 2];
            return true;
        case GL_4_BYTES:
            offset = ((bytes[4 * n] * 256u + bytes[4 * n + 1]) * 256u + bytes[4 * n + 2]) * 256u +
                     bytes[4 * n + 3];
            return true;
        default:
            return false;
    }
}

}  // namespace

extern "C" {

void glRasterPos2f(GLfloat x, GLfloat y) {
    GlState* gl = OutsideBeginEnd();
    if (gl != nullptr) SetRasterPosition(*gl, x, y, 0.0f, 1.0f);
}

GLuint glGenLists(GLsizei range) {
    GlState* gl = OutsideBeginEnd();
    if (gl == nullptr || range <= 0) return 0;
    if (gl->nextListName + static_cast<std::uint64_t>(range) > 0x100000000u) return 0;
    const auto first = static_cast<GLuint>(gl->nextListName);
    // Above every name in use, so appending keeps the lists in order.
    for (GLsizei i = 0; i < range; ++i) gl->lists.push_back({first + static_cast<GLuint>(i), 0, 0});
    gl->nextListName += static_cast<std::uint64_t>(range);
    return first;
}

void glNewList(GLuint list, GLenum mode) {
    GlState* gl = OutsideBeginEnd();
    if (gl == nullptr || list == 0 || gl->compiling != 0) return;
    if (mode != GL_COMPILE && mode != GL_COMPILE_AND_EXECUTE) return;
    gl->compiling = list;
    gl->compileMode = mode;
    gl->compileFirst = static_cast<std::uint32_t>(gl->glyphs.size());
    gl->nextListName = std::max(gl->nextListName, static_cast<std::uint64_t>(list) + 1);
}

void glEndList() {
    GlState* gl = CurrentGl();
    if (gl == nullptr || gl->compiling == 0) return;
    // The list's earlier glyphs, if any, become unused here, not at glNewList: GL keeps the old
    // contents callable until the new ones are complete.
    const auto count = static_cast<std::uint32_t>(gl->glyphs.size()) - gl->compileFirst;
    const auto at = ListAtOrAbove(*gl, gl->compiling);
    if (at != gl->lists.end() && at->name == gl->compiling) {
        at->first = gl->compileFirst;
        at->count = count;
    } else {
        gl->lists.insert(at, ListEntry{gl->compiling, gl->compileFirst, count});
    }
    gl->compiling = 0;
}

void glListBase(GLuint base) {
    GlState* gl = OutsideBeginEnd();
    if (gl != nullptr) gl->listBase = base;
}

void glCallLists(GLsizei n, GLenum type, const GLvoid* lists) {
    GlState* gl = OutsideBeginEnd();
    if (gl == nullptr || n <= 0 || lists == nullptr) return;
    GLuint offset = 0;
    if (!ListOffset(type, lists, 0, offset)) return;
    for (GLsizei i = 0; i < n; ++i) {
        ListOffset(type, lists, i, offset);
        QueueList(*gl, gl->listBase + offset);
    }
}

void glBitmap(GLsizei width, GLsizei height, GLfloat xorig, GLfloat yorig, GLfloat xmove,
              GLfloat ymove, const GLubyte* bitmap) {
    GlState* gl = OutsideBeginEnd();
    if (gl == nullptr || width < 0 || height < 0) return;
    Glyph glyph{width, height, xorig, yorig, xmove, ymove, -1, -1};
    if (gl->compiling != 0) {
        PlaceGlyph(*gl, glyph, bitmap);
        gl->glyphs.push_back(glyph);
        if (gl->compileMode == GL_COMPILE_AND_EXECUTE) QueueGlyph(*gl, glyph);
        return;
    }
    if (!gl->raster.valid) return;
    // Drawn at once, and its room in the atlas taken back, unless placing it had to lay the
    // atlas out afresh.
    const Shelf shelf = gl->atlas.shelf;
    const unsigned generation = gl->atlas.generation;
    PlaceGlyph(*gl, glyph, bitmap);
    QueueGlyph(*gl, glyph);
    DrawQueued();
    if (generation == gl->atlas.generation) gl->atlas.shelf = shelf;
}

}  // extern "C"

}  // namespace standin::browser
