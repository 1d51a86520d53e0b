// OpenGL 1.1 on top of emscripten's legacy GL emulation in WebGL 1: the calls the demo's drawing
// uses that the emulation lacks (display lists, glBitmap, glRasterPos, the attribute stacks) or
// gets wrong (one glColor for several vertices, glShadeModel).
//
// A call defined here replaces the emulation's for the whole program; the emulation's own copy
// stays reachable under its emscripten_gl* alias, and so does plain WebGL for the calls the
// emulation leaves alone. Everything below but the bitmaps' one draw call goes through those
// aliases, so the emulation's bookkeeping (current program, bound buffer, pixel alignment) sees
// every change we make.
//
// Bitmaps: each glBitmap compiled into a list is expanded once to a byte per pixel and copied into
// one alpha atlas texture. A glCallLists of a line of text then draws all its glyphs as
// window-aligned quads in one draw call, with a small shader of our own that discards the pixels
// whose bit is clear, so that, as in GL 1.1, they leave colour and depth alone.
//
// Binding our own program and buffer is only safe because the emulation, built with
// -sGL_UNSAFE_OPTS=0, unbinds its own after each of its draws and binds them again before the next.

#include <GL/gl.h>
#include <emscripten/em_js.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

// The emulation's and WebGL's own entry points under their second names.
extern "C" {
void emscripten_glBegin(GLenum mode);
void emscripten_glEnd();
void emscripten_glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void emscripten_glVertex4f(GLfloat x, GLfloat y, GLfloat z, GLfloat w);
void emscripten_glGetFloatv(GLenum name, GLfloat* values);
void emscripten_glDepthRangef(GLfloat nearDepth, GLfloat farDepth);
void emscripten_glGetIntegerv(GLenum name, GLint* values);
GLboolean emscripten_glIsEnabled(GLenum capability);
void emscripten_glEnable(GLenum capability);
void emscripten_glDisable(GLenum capability);
void emscripten_glPixelStorei(GLenum name, GLint value);
void emscripten_glGenTextures(GLsizei count, GLuint* textures);
void emscripten_glBindTexture(GLenum target, GLuint texture);
void emscripten_glTexParameteri(GLenum target, GLenum name, GLint value);
void emscripten_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                             GLsizei height, GLint border, GLenum format, GLenum type,
                             const void* pixels);
void emscripten_glTexSubImage2D(GLenum target, GLint level, GLint x, GLint y, GLsizei width,
                                GLsizei height, GLenum format, GLenum type, const void* pixels);
GLuint emscripten_glCreateShader(GLenum type);
void emscripten_glShaderSource(GLuint shader, GLsizei count, const GLchar* const* sources,
                               const GLint* lengths);
void emscripten_glCompileShader(GLuint shader);
GLuint emscripten_glCreateProgram();
void emscripten_glAttachShader(GLuint program, GLuint shader);
void emscripten_glBindAttribLocation(GLuint program, GLuint index, const GLchar* name);
void emscripten_glLinkProgram(GLuint program);
void emscripten_glGetProgramiv(GLuint program, GLenum name, GLint* value);
GLint emscripten_glGetUniformLocation(GLuint program, const GLchar* name);
void emscripten_glUseProgram(GLuint program);
void emscripten_glUniform1i(GLint location, GLint value);
void emscripten_glUniform1f(GLint location, GLfloat value);
void emscripten_glUniform2f(GLint location, GLfloat x, GLfloat y);
void emscripten_glUniform4f(GLint location, GLfloat x, GLfloat y, GLfloat z, GLfloat w);
void emscripten_glGenBuffers(GLsizei count, GLuint* buffers);
void emscripten_glBindBuffer(GLenum target, GLuint buffer);
void emscripten_glBufferData(GLenum target, GLsizeiptr size, const void* data, GLenum usage);
void emscripten_glBufferSubData(GLenum target, GLintptr offset, GLsizeiptr size, const void* data);
void emscripten_glVertexAttribPointer(GLuint index, GLint size, GLenum type, GLboolean normalized,
                                      GLsizei stride, const void* offset);
void emscripten_glEnableVertexAttribArray(GLuint index);
void emscripten_glDisableVertexAttribArray(GLuint index);
}

// The emulation only starts its immediate mode from a context made by emscripten's Browser object.
// Straight to WebGL: the emulation's glDrawArrays would take over whenever the program has a
// client-side array enabled.
EM_JS(void, DrawBitmapTriangles, (int count), { GLctx.drawArrays(GLctx.TRIANGLES, 0, count); });

namespace {

// GL 1.1's least depths for the two attribute stacks.
constexpr int kAttribStackDepth = 16;
constexpr int kClientAttribStackDepth = 16;

// Glyphs per draw call; a longer text takes several.
constexpr int kBatchGlyphs = 128;
constexpr int kVerticesPerGlyph = 6;
constexpr int kFloatsPerVertex = 4;  // window x, y; atlas texel s, t
constexpr GLsizei kFirstAtlasSize = 256;
// Atlases larger than this are not worth their memory for bitmap text.
constexpr GLint kLargestAtlasSize = 4096;
// An empty texel between glyphs: a sample rounded onto a neighbour then finds nothing.
constexpr GLint kAtlasGap = 1;

// a_corner: window position in xy, atlas texel in zw. The viewport turns window coordinates back
// into the clip coordinates that land on them; the depth is the raster position's, for every pixel.
constexpr GLchar kVertexShader[] = R"(
attribute vec4 a_corner;
uniform vec4 u_viewport;
uniform vec2 u_texelSize;
uniform float u_depth;
varying vec2 v_texel;
void main() {
    gl_Position = vec4((a_corner.xy - u_viewport.xy) / u_viewport.zw * 2.0 - 1.0, u_depth, 1.0);
    v_texel = a_corner.zw * u_texelSize;
}
)";

constexpr GLchar kFragmentShader[] = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
uniform sampler2D u_atlas;
uniform vec4 u_colour;
varying vec2 v_texel;
void main() {
    if (texture2D(u_atlas, v_texel).a < 0.5) discard;
    gl_FragColor = u_colour;
}
)";

struct Colour {
    GLfloat r, g, b, a;
};

struct RasterPosition {
    bool valid = true;
    double x = 0.0;  // window coordinates
    double y = 0.0;
    double z = 0.0;  // window depth
    Colour colour{1.0f, 1.0f, 1.0f, 1.0f};
};

// One recorded glBitmap.
struct Glyph {
    GLsizei width = 0;
    GLsizei height = 0;
    GLfloat xorig = 0.0f;
    GLfloat yorig = 0.0f;
    GLfloat xmove = 0.0f;
    GLfloat ymove = 0.0f;
    bool stored = false;       // its pixels are in ContextState::pixels
    std::uint32_t pixels = 0;  // offset there of width * height bytes, bottom row first
    GLint atlasX = -1;         // -1: not in the atlas, nothing to draw
    GLint atlasY = -1;
};

// A display list: its glyphs, consecutive in ContextState::glyphs.
struct GlyphRange {
    std::uint32_t first = 0;
    std::uint32_t count = 0;
};

struct ListEntry {
    GLuint name = 0;
    GlyphRange glyphs;
};

struct AttribFrame {
    GLbitfield mask = 0;
    GLuint listBase = 0;
    Colour colour{};
    RasterPosition raster;
};

// GL 1.1's unpacking of client pixels, as far as bitmaps read it.
struct UnpackState {
    GLint alignment = 4;
    GLint rowLength = 0;
    GLint skipRows = 0;
    GLint skipPixels = 0;
    bool lsbFirst = false;
};

struct ClientAttribFrame {
    GLbitfield mask = 0;
    UnpackState unpack;
    GLint packAlignment = 4;
};

// Where the next glyph goes in the atlas: left to right along a shelf, shelves bottom to top.
struct Shelf {
    GLint x = 0;
    GLint y = 0;
    GLint height = 0;
};

// Everything that belongs to one GL context: a context made current anew starts without lists.
struct ContextState {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle = 0;

    std::vector<ListEntry> lists;  // by name, ascending
    std::vector<Glyph> glyphs;
    std::vector<unsigned char> pixels;
    std::uint64_t nextListName = 1;  // above every name in use
    GLuint compiling = 0;            // the list between glNewList and glEndList, or 0
    GLenum compileMode = GL_COMPILE;
    std::uint32_t compileFirst = 0;  // its first glyph
    GLuint listBase = 0;

    RasterPosition raster;
    AttribFrame attribStack[kAttribStackDepth];
    int attribDepth = 0;

    GLuint atlas = 0;
    GLsizei atlasSize = 0;
    GLint largestAtlas = 0;
    unsigned atlasGeneration = 0;  // counts the repacks
    Shelf shelf;

    bool programTried = false;
    GLuint program = 0;
    GLuint buffer = 0;
    GLint viewportLocation = -1;
    GLint texelSizeLocation = -1;
    GLint depthLocation = -1;
    GLint colourLocation = -1;
    GLint atlasLocation = -1;
    GLint depthBits = -1;  // not yet asked
    // As glDepthRange set it. Asking WebGL for it waits for the GPU to finish the frame so far.
    GLfloat depthRange[2] = {0.0f, 1.0f};
};

ContextState context;

// Immediate mode and pixel storage: these live beside the emulation's own state, which is
// not per context either.
Colour currentColour{1.0f, 1.0f, 1.0f, 1.0f};
GLenum shadeModel = GL_SMOOTH;
bool insideBegin = false;
GLenum beginMode = GL_POINTS;
int beginVertices = 0;
Colour polygonColour{};  // flat GL_POLYGON: its first vertex's
GLfloat heldVertices[4]
                    [4];  // flat independent primitives and quads: positions until the last vertex
Colour heldColours[4];    // and a quad's colours
int heldCount = 0;

UnpackState unpack;
GLint packAlignment = 4;
ClientAttribFrame clientAttribStack[kClientAttribStackDepth];
int clientAttribDepth = 0;

// The quads of the glyphs waiting to be drawn: 12 KiB, reused by every draw.
GLfloat batch[kBatchGlyphs * kVerticesPerGlyph * kFloatsPerVertex];
int batchGlyphs = 0;

ContextState& Current() {
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle = emscripten_webgl_get_current_context();
    if (handle != context.handle) {
        context = ContextState{};
        context.handle = handle;
    }
    return context;
}

// The first list named `name` or above.
std::vector<ListEntry>::iterator ListAtOrAbove(ContextState& c, std::uint64_t name) {
    return std::lower_bound(
        c.lists.begin(), c.lists.end(), name,
        [](const ListEntry& entry, std::uint64_t wanted) { return entry.name < wanted; });
}

const ListEntry* FindList(ContextState& c, GLuint name) {
    const auto found = ListAtOrAbove(c, name);
    return found != c.lists.end() && found->name == name ? &*found : nullptr;
}

GLfloat Clamped(GLfloat value) { return std::min(std::max(value, 0.0f), 1.0f); }

// ---- Vertices and their colour ----

// The emulation lays out a glBegin/glEnd block by the attributes of its first vertex, so every
// vertex gets a colour of its own, whether or not a glColor came before it.
void SendVertex(const Colour& colour, const GLfloat* position) {
    emscripten_glColor4f(colour.r, colour.g, colour.b, colour.a);
    emscripten_glVertex4f(position[0], position[1], position[2], position[3]);
}

// Vertices per independent primitive, whose last vertex gives a flat primitive its colour;
// 0 where flat shading is not emulated.
constexpr int FlatGroupSize(GLenum mode) {
    switch (mode) {
        case GL_POINTS:
            return 1;
        case GL_LINES:
            return 2;
        case GL_TRIANGLES:
            return 3;
        case GL_QUADS:
            return 4;
        default:
            return 0;
    }
}

// A quad goes to the emulation as the two triangles (v0, v1, v3) and (v1, v2, v3), as desktop
// drivers split it: a quad's colours are interpolated across the triangles it is cut into, so
// another cut would shade it differently.
void AddQuadVertex(const GLfloat* position) {
    std::copy(position, position + 4, heldVertices[heldCount]);
    heldColours[heldCount] = currentColour;
    if (++heldCount < 4) return;
    heldCount = 0;
    for (int corner : {0, 1, 3, 1, 2, 3}) {
        // Flat quads take the colour of their last vertex.
        SendVertex(shadeModel == GL_FLAT ? heldColours[3] : heldColours[corner],
                   heldVertices[corner]);
    }
}

void AddVertex(GLfloat x, GLfloat y, GLfloat z, GLfloat w) {
    if (!insideBegin) return;  // outside glBegin/glEnd GL leaves a vertex undefined
    const GLfloat position[4] = {x, y, z, w};
    if (beginMode == GL_QUADS) {
        AddQuadVertex(position);
        return;
    }
    const bool first = beginVertices++ == 0;
    if (shadeModel != GL_FLAT) {
        SendVertex(currentColour, position);
        return;
    }
    if (beginMode == GL_POLYGON) {
        if (first) polygonColour = currentColour;
        SendVertex(polygonColour, position);
        return;
    }
    const int group = FlatGroupSize(beginMode);
    if (group == 0) {
        // Strips, fans and loops share vertices between primitives of different colours.
        SendVertex(currentColour, position);
        return;
    }
    std::copy(position, position + 4, heldVertices[heldCount]);
    if (++heldCount < group) return;
    for (int i = 0; i < group; ++i) SendVertex(currentColour, heldVertices[i]);
    heldCount = 0;
}

void SetColour(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    currentColour = Colour{r, g, b, a};
    // Outside glBegin the emulation's own current colour is what its vertex arrays draw with.
    if (!insideBegin) emscripten_glColor4f(r, g, b, a);
}

// ---- Raster position ----

void SetRasterPosition(GLfloat x, GLfloat y, GLfloat z, GLfloat w) {
    ContextState& c = Current();
    GLfloat modelview[16];
    GLfloat projection[16];
    GLint viewport[4];
    const GLfloat* depthRange = c.depthRange;
    emscripten_glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    emscripten_glGetFloatv(GL_PROJECTION_MATRIX, projection);
    emscripten_glGetIntegerv(GL_VIEWPORT, viewport);

    // Column-major, as GL keeps them; in double so window coordinates come out exact.
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
    c.raster.valid = inside;
    if (!inside) return;

    const double nearDepth = depthRange[0];
    const double farDepth = depthRange[1];
    c.raster.x = viewport[0] + (clip[0] / cw + 1.0) * 0.5 * viewport[2];
    c.raster.y = viewport[1] + (clip[1] / cw + 1.0) * 0.5 * viewport[3];
    c.raster.z = nearDepth + (clip[2] / cw + 1.0) * 0.5 * (farDepth - nearDepth);
    c.raster.colour = Colour{Clamped(currentColour.r), Clamped(currentColour.g),
                             Clamped(currentColour.b), Clamped(currentColour.a)};
}

// ---- The glyph atlas ----

// Copies a bitmap's bits, read the way GL 1.1 unpacks a bitmap, into one byte per pixel.
void ExpandBits(const GLubyte* bits, GLsizei width, GLsizei height, unsigned char* out) {
    const GLint rowPixels = unpack.rowLength > 0 ? unpack.rowLength : width;
    const GLint alignmentBits = 8 * unpack.alignment;
    const std::size_t rowBytes =
        static_cast<std::size_t>(unpack.alignment) *
        static_cast<std::size_t>((rowPixels + alignmentBits - 1) / alignmentBits);
    for (GLsizei j = 0; j < height; ++j) {
        const GLubyte* row = bits + static_cast<std::size_t>(unpack.skipRows + j) * rowBytes;
        for (GLsizei i = 0; i < width; ++i) {
            const GLint bit = unpack.skipPixels + i;
            const unsigned mask = unpack.lsbFirst ? 1u << (bit & 7) : 0x80u >> (bit & 7);
            *out++ = (row[bit >> 3] & mask) != 0 ? 255 : 0;
        }
    }
}

bool Place(Shelf& shelf, GLsizei size, Glyph& glyph) {
    if (glyph.width > size || glyph.height > size) return false;
    if (shelf.x + glyph.width > size) {
        shelf.y += shelf.height + kAtlasGap;
        shelf.x = 0;
        shelf.height = 0;
    }
    if (shelf.y + glyph.height > size) return false;
    glyph.atlasX = shelf.x;
    glyph.atlasY = shelf.y;
    shelf.x += glyph.width + kAtlasGap;
    shelf.height = std::max(shelf.height, glyph.height);
    return true;
}

// Lays every stored glyph out afresh at the given size; true if all of them and one more of
// next's size fit. A glyph that does not fit is left out of the atlas.
bool PackAll(ContextState& c, GLsizei size, const Glyph& next) {
    c.shelf = Shelf{};
    bool allFit = true;
    for (Glyph& glyph : c.glyphs) {
        glyph.atlasX = -1;
        glyph.atlasY = -1;
        if (glyph.stored && !Place(c.shelf, size, glyph)) allFit = false;
    }
    Shelf trial = c.shelf;
    Glyph probe = next;
    return allFit && Place(trial, size, probe);
}

// Binds the atlas for the calls in between; gives back the texture that was bound.
GLint BindAtlas(const ContextState& c) {
    GLint previous = 0;
    emscripten_glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    emscripten_glBindTexture(GL_TEXTURE_2D, c.atlas);
    emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    return previous;
}

void UnbindAtlas(GLint previous) {
    emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, unpack.alignment);
    emscripten_glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
}

void UploadGlyph(const ContextState& c, const Glyph& glyph) {
    emscripten_glTexSubImage2D(GL_TEXTURE_2D, 0, glyph.atlasX, glyph.atlasY, glyph.width,
                               glyph.height, GL_ALPHA, GL_UNSIGNED_BYTE, &c.pixels[glyph.pixels]);
}

// Keeps only the glyphs still wanted (the lists' and the open range [open, end) being recorded),
// then lays them out in a new atlas, from the current size up to the first that also leaves room
// for next. `open` follows its glyphs to where they now stand.
void Repack(ContextState& c, std::uint32_t& open, const Glyph& next) {
    std::vector<Glyph> keptGlyphs;
    std::vector<unsigned char> keptPixels;
    keptGlyphs.reserve(c.glyphs.size() + 1);
    keptPixels.reserve(c.pixels.size());
    const auto keep = [&](std::uint32_t first, std::uint32_t count) {
        const auto newFirst = static_cast<std::uint32_t>(keptGlyphs.size());
        for (std::uint32_t i = first; i < first + count; ++i) {
            Glyph glyph = c.glyphs[i];
            if (glyph.stored) {
                const auto from = c.pixels.begin() + glyph.pixels;
                glyph.pixels = static_cast<std::uint32_t>(keptPixels.size());
                keptPixels.insert(keptPixels.end(), from,
                                  from + static_cast<std::ptrdiff_t>(glyph.width) * glyph.height);
            }
            keptGlyphs.push_back(glyph);
        }
        return newFirst;
    };
    for (ListEntry& entry : c.lists)
        entry.glyphs.first = keep(entry.glyphs.first, entry.glyphs.count);
    open = keep(open, static_cast<std::uint32_t>(c.glyphs.size()) - open);
    c.glyphs.swap(keptGlyphs);
    c.pixels.swap(keptPixels);

    GLsizei size = std::max(c.atlasSize, kFirstAtlasSize);
    while (!PackAll(c, size, next) && size < c.largestAtlas) {
        size = std::min(size * 2, c.largestAtlas);
    }

    if (c.atlas == 0) emscripten_glGenTextures(1, &c.atlas);
    const GLint previous = BindAtlas(c);
    if (c.atlasSize == 0) {
        emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
    // A null image starts out cleared, gaps included.
    emscripten_glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, size, size, 0, GL_ALPHA, GL_UNSIGNED_BYTE,
                            nullptr);
    for (const Glyph& glyph : c.glyphs) {
        if (glyph.atlasX >= 0) UploadGlyph(c, glyph);
    }
    UnbindAtlas(previous);
    c.atlasSize = size;
    ++c.atlasGeneration;
}

// Appends a glBitmap to the glyphs, its pixels to the atlas; returns its index.
std::uint32_t RecordGlyph(ContextState& c, std::uint32_t& open, GLsizei width, GLsizei height,
                          GLfloat xorig, GLfloat yorig, GLfloat xmove, GLfloat ymove,
                          const GLubyte* bits) {
    if (c.largestAtlas == 0) {
        emscripten_glGetIntegerv(GL_MAX_TEXTURE_SIZE, &c.largestAtlas);
        c.largestAtlas = std::min(c.largestAtlas, kLargestAtlasSize);
    }
    Glyph glyph;
    glyph.width = width;
    glyph.height = height;
    glyph.xorig = xorig;
    glyph.yorig = yorig;
    glyph.xmove = xmove;
    glyph.ymove = ymove;
    // A glyph without pixels, or too large for any atlas, only moves the raster position.
    if (width > 0 && height > 0 && bits != nullptr && width <= c.largestAtlas &&
        height <= c.largestAtlas) {
        Shelf trial = c.shelf;
        if (c.atlasSize == 0 || !Place(trial, c.atlasSize, glyph)) {
            Repack(c, open, glyph);
            trial = c.shelf;
            Place(trial, c.atlasSize, glyph);
        }
        c.shelf = trial;
        glyph.stored = true;
        glyph.pixels = static_cast<std::uint32_t>(c.pixels.size());
        c.pixels.resize(c.pixels.size() + static_cast<std::size_t>(width) * height);
        ExpandBits(bits, width, height, &c.pixels[glyph.pixels]);
        if (glyph.atlasX >= 0) {
            const GLint previous = BindAtlas(c);
            UploadGlyph(c, glyph);
            UnbindAtlas(previous);
        }
    }
    c.glyphs.push_back(glyph);
    return static_cast<std::uint32_t>(c.glyphs.size() - 1);
}

// ---- Drawing bitmaps ----

bool EnsureProgram(ContextState& c) {
    if (c.programTried) return c.program != 0;
    c.programTried = true;

    const GLchar* vertexSource = kVertexShader;
    const GLchar* fragmentSource = kFragmentShader;
    const GLuint vertexShader = emscripten_glCreateShader(GL_VERTEX_SHADER);
    emscripten_glShaderSource(vertexShader, 1, &vertexSource, nullptr);
    emscripten_glCompileShader(vertexShader);
    const GLuint fragmentShader = emscripten_glCreateShader(GL_FRAGMENT_SHADER);
    emscripten_glShaderSource(fragmentShader, 1, &fragmentSource, nullptr);
    emscripten_glCompileShader(fragmentShader);

    const GLuint program = emscripten_glCreateProgram();
    emscripten_glAttachShader(program, vertexShader);
    emscripten_glAttachShader(program, fragmentShader);
    emscripten_glBindAttribLocation(program, 0, "a_corner");
    emscripten_glLinkProgram(program);
    GLint linked = GL_FALSE;
    emscripten_glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked == GL_FALSE) return false;  // text is lost, the rest draws on

    c.program = program;
    c.viewportLocation = emscripten_glGetUniformLocation(program, "u_viewport");
    c.texelSizeLocation = emscripten_glGetUniformLocation(program, "u_texelSize");
    c.depthLocation = emscripten_glGetUniformLocation(program, "u_depth");
    c.colourLocation = emscripten_glGetUniformLocation(program, "u_colour");
    c.atlasLocation = emscripten_glGetUniformLocation(program, "u_atlas");

    GLint previousBuffer = 0;
    emscripten_glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &previousBuffer);
    emscripten_glGenBuffers(1, &c.buffer);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, c.buffer);
    emscripten_glBufferData(GL_ARRAY_BUFFER, sizeof batch, nullptr, GL_DYNAMIC_DRAW);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(previousBuffer));
    return true;
}

// A raster position in the plane of a surface drawn before it has to win the GL_LEQUAL tie, as
// the demo's loading line expects of it. Our depth and the rasteriser's come out of different float
// arithmetic and can differ by a few units in the last place, and each rounds to the depth buffer
// on its own; so the bitmap is drawn that much nearer: four steps of the depth buffer, at least
// 2^-21 of the depth range (about eight steps of a 24-bit buffer).
double DepthTieMargin(ContextState& c) {
    if (c.depthBits < 0) {
        c.depthBits = 0;
        emscripten_glGetIntegerv(GL_DEPTH_BITS, &c.depthBits);
    }
    const double step = 1.0 / static_cast<double>(1u << std::min(std::max(c.depthBits, 1), 31));
    return std::max(4.0 * step, 1.0 / (1u << 21));
}

// Draws the queued glyphs at the raster position's depth in its colour, through the same depth
// test, blending and masks as any fragment; culling is no business of a bitmap's.
void FlushBatch(ContextState& c) {
    if (batchGlyphs == 0) return;
    const int vertices = batchGlyphs * kVerticesPerGlyph;
    batchGlyphs = 0;
    if (!EnsureProgram(c)) return;

    GLint viewport[4];
    const GLfloat* depthRange = c.depthRange;
    emscripten_glGetIntegerv(GL_VIEWPORT, viewport);
    if (viewport[2] <= 0 || viewport[3] <= 0) return;
    GLint previousProgram = 0;
    GLint previousBuffer = 0;
    GLint activeTexture = GL_TEXTURE0;
    emscripten_glGetIntegerv(GL_CURRENT_PROGRAM, &previousProgram);
    emscripten_glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &previousBuffer);
    emscripten_glGetIntegerv(GL_ACTIVE_TEXTURE, &activeTexture);
    const GLboolean culling = emscripten_glIsEnabled(GL_CULL_FACE);
    if (culling) emscripten_glDisable(GL_CULL_FACE);

    // The window depth back to the depth coordinate the current depth range maps onto it, moved
    // toward the viewer by the tie margin but never past the near plane.
    const double span = static_cast<double>(depthRange[1]) - depthRange[0];
    double depth = 0.0;
    if (span != 0.0) {
        depth = (c.raster.z - depthRange[0]) / span * 2.0 - 1.0;
        depth = std::max(depth - 2.0 * DepthTieMargin(c) / std::fabs(span), -1.0);
    }

    emscripten_glUseProgram(c.program);
    emscripten_glUniform4f(c.viewportLocation, static_cast<GLfloat>(viewport[0]),
                           static_cast<GLfloat>(viewport[1]), static_cast<GLfloat>(viewport[2]),
                           static_cast<GLfloat>(viewport[3]));
    emscripten_glUniform2f(c.texelSizeLocation, 1.0f / static_cast<GLfloat>(c.atlasSize),
                           1.0f / static_cast<GLfloat>(c.atlasSize));
    emscripten_glUniform1f(c.depthLocation, static_cast<GLfloat>(depth));
    emscripten_glUniform4f(c.colourLocation, c.raster.colour.r, c.raster.colour.g,
                           c.raster.colour.b, c.raster.colour.a);
    emscripten_glUniform1i(c.atlasLocation, activeTexture - GL_TEXTURE0);
    GLint previousTexture = 0;
    emscripten_glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);
    emscripten_glBindTexture(GL_TEXTURE_2D, c.atlas);

    emscripten_glBindBuffer(GL_ARRAY_BUFFER, c.buffer);
    emscripten_glBufferSubData(
        GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(sizeof(GLfloat)) * vertices * kFloatsPerVertex,
        batch);
    emscripten_glVertexAttribPointer(0, kFloatsPerVertex, GL_FLOAT, GL_FALSE, 0, nullptr);
    emscripten_glEnableVertexAttribArray(0);
    DrawBitmapTriangles(vertices);
    emscripten_glDisableVertexAttribArray(0);

    emscripten_glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(previousBuffer));
    emscripten_glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));
    emscripten_glUseProgram(static_cast<GLuint>(previousProgram));
    if (culling) emscripten_glEnable(GL_CULL_FACE);
}

// A glyph's pixels go where GL 1.1 puts a bitmap's: its lower left corner on the window pixel
// floor(raster - origin), one pixel per bit. Then the raster position moves on, drawn or not.
void QueueGlyph(ContextState& c, const Glyph& glyph) {
    if (!c.raster.valid) return;
    if (glyph.atlasX >= 0) {
        if (batchGlyphs == kBatchGlyphs) FlushBatch(c);
        const auto x0 = static_cast<GLfloat>(std::floor(c.raster.x - glyph.xorig));
        const auto y0 = static_cast<GLfloat>(std::floor(c.raster.y - glyph.yorig));
        const GLfloat x1 = x0 + static_cast<GLfloat>(glyph.width);
        const GLfloat y1 = y0 + static_cast<GLfloat>(glyph.height);
        const auto s0 = static_cast<GLfloat>(glyph.atlasX);
        const auto t0 = static_cast<GLfloat>(glyph.atlasY);
        const GLfloat s1 = s0 + static_cast<GLfloat>(glyph.width);
        const GLfloat t1 = t0 + static_cast<GLfloat>(glyph.height);
        // Two counter-clockwise triangles; the bitmap's bottom row is the atlas's lower row.
        const GLfloat quad[kVerticesPerGlyph * kFloatsPerVertex] = {
            x0, y0, s0, t0, x1, y0, s1, t0, x1, y1, s1, t1,
            x0, y0, s0, t0, x1, y1, s1, t1, x0, y1, s0, t1,
        };
        std::copy(std::begin(quad), std::end(quad),
                  batch + static_cast<std::ptrdiff_t>(batchGlyphs) * kVerticesPerGlyph *
                              kFloatsPerVertex);
        ++batchGlyphs;
    }
    c.raster.x += glyph.xmove;
    c.raster.y += glyph.ymove;
}

// Queues a list's glyphs; a name never defined, or defined empty, draws nothing.
void QueueList(ContextState& c, GLuint name) {
    const ListEntry* found = FindList(c, name);
    if (found == nullptr) return;
    const GlyphRange range = found->glyphs;
    for (std::uint32_t i = 0; i < range.count; ++i) QueueGlyph(c, c.glyphs[range.first + i]);
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

// ---- Immediate mode ----

void glBegin(GLenum mode) {
    if (insideBegin) return;
    insideBegin = true;
    beginMode = mode;
    beginVertices = 0;
    heldCount = 0;
    emscripten_glBegin(mode == GL_QUADS ? GL_TRIANGLES : mode);
}

void glEnd() {
    if (!insideBegin) return;
    insideBegin = false;
    heldCount = 0;  // an unfinished primitive is dropped, as GL drops it
    emscripten_glEnd();
}

void glDepthRangef(GLfloat nearDepth, GLfloat farDepth) {
    ContextState& c = Current();
    c.depthRange[0] = Clamped(nearDepth);
    c.depthRange[1] = Clamped(farDepth);
    emscripten_glDepthRangef(nearDepth, farDepth);
}

void glDepthRange(GLclampd nearDepth, GLclampd farDepth) {
    glDepthRangef(static_cast<GLfloat>(nearDepth), static_cast<GLfloat>(farDepth));
}

void glShadeModel(GLenum mode) {
    if (insideBegin) return;
    if (mode == GL_FLAT || mode == GL_SMOOTH) shadeModel = mode;
}

void glColor3f(GLfloat r, GLfloat g, GLfloat b) { SetColour(r, g, b, 1.0f); }
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { SetColour(r, g, b, a); }
void glColor3fv(const GLfloat* v) { SetColour(v[0], v[1], v[2], 1.0f); }
void glColor4fv(const GLfloat* v) { SetColour(v[0], v[1], v[2], v[3]); }

void glVertex2f(GLfloat x, GLfloat y) { AddVertex(x, y, 0.0f, 1.0f); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { AddVertex(x, y, z, 1.0f); }
void glVertex4f(GLfloat x, GLfloat y, GLfloat z, GLfloat w) { AddVertex(x, y, z, w); }
void glVertex3fv(const GLfloat* v) { AddVertex(v[0], v[1], v[2], 1.0f); }

// ---- Raster position ----

void glRasterPos2i(GLint x, GLint y) {
    SetRasterPosition(static_cast<GLfloat>(x), static_cast<GLfloat>(y), 0.0f, 1.0f);
}
void glRasterPos2f(GLfloat x, GLfloat y) { SetRasterPosition(x, y, 0.0f, 1.0f); }
void glRasterPos2d(GLdouble x, GLdouble y) {
    SetRasterPosition(static_cast<GLfloat>(x), static_cast<GLfloat>(y), 0.0f, 1.0f);
}
void glRasterPos3f(GLfloat x, GLfloat y, GLfloat z) { SetRasterPosition(x, y, z, 1.0f); }
void glRasterPos4f(GLfloat x, GLfloat y, GLfloat z, GLfloat w) { SetRasterPosition(x, y, z, w); }

// ---- Pixel storage ----

// GL 1.1's unpacking is kept here, for glBitmap; WebGL 1 only knows the alignments (and its own
// names, which pass through).
void glPixelStorei(GLenum name, GLint value) {
    switch (name) {
        case GL_UNPACK_ALIGNMENT:
            if (value != 1 && value != 2 && value != 4 && value != 8) return;
            unpack.alignment = value;
            emscripten_glPixelStorei(name, value);
            return;
        case GL_PACK_ALIGNMENT:
            if (value != 1 && value != 2 && value != 4 && value != 8) return;
            packAlignment = value;
            emscripten_glPixelStorei(name, value);
            return;
        case GL_UNPACK_ROW_LENGTH:
            if (value >= 0) unpack.rowLength = value;
            return;
        case GL_UNPACK_SKIP_ROWS:
            if (value >= 0) unpack.skipRows = value;
            return;
        case GL_UNPACK_SKIP_PIXELS:
            if (value >= 0) unpack.skipPixels = value;
            return;
        case GL_UNPACK_LSB_FIRST:
            unpack.lsbFirst = value != 0;
            return;
        case GL_UNPACK_SWAP_BYTES:
        case GL_PACK_SWAP_BYTES:
        case GL_PACK_LSB_FIRST:
        case GL_PACK_ROW_LENGTH:
        case GL_PACK_SKIP_ROWS:
        case GL_PACK_SKIP_PIXELS:
            return;  // nothing here reads or packs by them
        default:
            emscripten_glPixelStorei(name, value);
            return;
    }
}

void glPushClientAttrib(GLbitfield mask) {
    if (clientAttribDepth == kClientAttribStackDepth) return;
    clientAttribStack[clientAttribDepth++] = ClientAttribFrame{mask, unpack, packAlignment};
}

// Only the pixel storage is kept; GL_CLIENT_VERTEX_ARRAY_BIT pops as a no-op.
void glPopClientAttrib() {
    if (clientAttribDepth == 0) return;
    const ClientAttribFrame& frame = clientAttribStack[--clientAttribDepth];
    if ((frame.mask & GL_CLIENT_PIXEL_STORE_BIT) == 0) return;
    unpack = frame.unpack;
    packAlignment = frame.packAlignment;
    emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, unpack.alignment);
    emscripten_glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
}

// ---- Server attributes ----

void glPushAttrib(GLbitfield mask) {
    ContextState& c = Current();
    if (c.attribDepth == kAttribStackDepth) return;
    c.attribStack[c.attribDepth++] = AttribFrame{mask, c.listBase, currentColour, c.raster};
}

// Restores the list base (GL_LIST_BIT) and the current colour and raster position
// (GL_CURRENT_BIT); the other groups are accepted and left as they are.
void glPopAttrib() {
    ContextState& c = Current();
    if (c.attribDepth == 0) return;
    const AttribFrame& frame = c.attribStack[--c.attribDepth];
    if ((frame.mask & GL_LIST_BIT) != 0) c.listBase = frame.listBase;
    if ((frame.mask & GL_CURRENT_BIT) != 0) {
        SetColour(frame.colour.r, frame.colour.g, frame.colour.b, frame.colour.a);
        c.raster = frame.raster;
    }
}

// ---- Display lists ----

GLuint glGenLists(GLsizei range) {
    ContextState& c = Current();
    if (range <= 0) return 0;
    if (c.nextListName + static_cast<std::uint64_t>(range) > 0x100000000u) return 0;
    const auto first = static_cast<GLuint>(c.nextListName);
    // Above every name in use, so appending keeps the lists in order.
    for (GLsizei i = 0; i < range; ++i)
        c.lists.push_back(ListEntry{first + static_cast<GLuint>(i), {}});
    c.nextListName += static_cast<std::uint64_t>(range);
    return first;
}

void glDeleteLists(GLuint list, GLsizei range) {
    ContextState& c = Current();
    if (range <= 0) return;
    const std::uint64_t end = static_cast<std::uint64_t>(list) + static_cast<std::uint64_t>(range);
    // Their glyphs stay until the next repack of the atlas finds them unused.
    c.lists.erase(ListAtOrAbove(c, list), ListAtOrAbove(c, end));
}

GLboolean glIsList(GLuint list) {
    ContextState& c = Current();
    return FindList(c, list) != nullptr ? GL_TRUE : GL_FALSE;
}

// Only glBitmap is recorded; any other call made while a list is open takes effect at once.
void glNewList(GLuint list, GLenum mode) {
    ContextState& c = Current();
    if (list == 0 || c.compiling != 0 || insideBegin) return;
    if (mode != GL_COMPILE && mode != GL_COMPILE_AND_EXECUTE) return;
    c.compiling = list;
    c.compileMode = mode;
    c.compileFirst = static_cast<std::uint32_t>(c.glyphs.size());
    c.nextListName = std::max(c.nextListName, static_cast<std::uint64_t>(list) + 1);
}

void glEndList() {
    ContextState& c = Current();
    if (c.compiling == 0) return;
    // The list's earlier glyphs, if any, become unused here, not at glNewList: GL keeps the old
    // contents callable until the new ones are complete.
    const GlyphRange glyphs{c.compileFirst,
                            static_cast<std::uint32_t>(c.glyphs.size()) - c.compileFirst};
    const auto at = ListAtOrAbove(c, c.compiling);
    if (at != c.lists.end() && at->name == c.compiling) {
        at->glyphs = glyphs;
    } else {
        c.lists.insert(at, ListEntry{c.compiling, glyphs});
    }
    c.compiling = 0;
}

void glListBase(GLuint base) { Current().listBase = base; }

void glCallList(GLuint list) {
    ContextState& c = Current();
    QueueList(c, list);
    FlushBatch(c);
}

void glCallLists(GLsizei n, GLenum type, const GLvoid* lists) {
    ContextState& c = Current();
    if (n <= 0 || lists == nullptr) return;
    GLuint offset = 0;
    if (!ListOffset(type, lists, 0, offset)) return;
    for (GLsizei i = 0; i < n; ++i) {
        ListOffset(type, lists, i, offset);
        QueueList(c, c.listBase + offset);
    }
    FlushBatch(c);
}

void glBitmap(GLsizei width, GLsizei height, GLfloat xorig, GLfloat yorig, GLfloat xmove,
              GLfloat ymove, const GLubyte* bitmap) {
    ContextState& c = Current();
    if (width < 0 || height < 0 || insideBegin) return;
    if (c.compiling != 0) {
        const std::uint32_t index =
            RecordGlyph(c, c.compileFirst, width, height, xorig, yorig, xmove, ymove, bitmap);
        if (c.compileMode == GL_COMPILE_AND_EXECUTE) {
            QueueGlyph(c, c.glyphs[index]);
            FlushBatch(c);
        }
        return;
    }
    if (!c.raster.valid) return;
    // Drawn at once: recorded like a compiled glyph, drawn, and dropped again. Its place in the
    // atlas is taken back straight away unless recording it had to repack the atlas.
    auto open = static_cast<std::uint32_t>(c.glyphs.size());
    const Shelf shelf = c.shelf;
    const unsigned generation = c.atlasGeneration;
    const std::uint32_t index =
        RecordGlyph(c, open, width, height, xorig, yorig, xmove, ymove, bitmap);
    QueueGlyph(c, c.glyphs[index]);
    FlushBatch(c);
    if (c.glyphs[index].stored) c.pixels.resize(c.glyphs[index].pixels);
    c.glyphs.pop_back();
    if (generation == c.atlasGeneration) c.shelf = shelf;
}

}  // extern "C"
