// The program's OpenGL 1.1 on WebGL 1: what the layer's files (gl_*.cpp) share.
//
// The layer is the program's whole GL. Every gl* call the program and the Win32 core make is
// defined by one of its files, and WebGL is reached only under emscripten's emscripten_gl*
// names: library_quorvane.js takes the plain names out of the link, so a GL call the layer does
// not define fails to link rather than reach WebGL behind its back.
//
// Per WebGL context it keeps what GL 1.1 has and WebGL lacks (matrices, the current colour, the
// raster position, display lists of bitmaps, the attribute stacks, the pixel store) and a copy
// of the WebGL state the core saves around its scaling, so that asking costs no call into the
// browser.
//
// Drawing. Vertices between glBegin and glEnd, and the pixels of bitmaps, become triangles,
// lines or points in clip coordinates on the CPU, each vertex with its colour and its place in
// the glyph atlas, gathered in wasm memory (gl_draw.cpp). They go to WebGL in one upload, in as
// few draw calls as their kinds allow, once anything else is about to reach WebGL: every call of
// the layer that reaches WebGL draws what waits first, and the backend does the same before each
// of its calls after which the core may use the entry points it fetched (sizes, present, making
// a context current or deleting it).
//
// What the layer binds stays bound: its one program, its vertex buffer behind attributes 0 to 2,
// and the atlas on texture unit 1. The core's scaler, the only other user of a program, a buffer
// and attribute 0, puts them back after its draw; GL 1.1 has no texture units, so the program's
// own textures are all on unit 0. The bindings pass through a copy (gl_bindings.cpp), which
// answers the core's questions about them and keeps a binding set again as it is from WebGL.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <vector>

#include "platform/browser/browser.h"

namespace standin::browser {

// Vertices queued at most; the layer's vertex buffer holds as many.
constexpr int kQueueVertices = 4096;
// The atlas's texture unit: GL 1.1 programs only know unit 0.
constexpr GLenum kAtlasUnit = GL_TEXTURE1;

// GL 1.1's least depths of the attribute stacks.
constexpr int kAttribStackDepth = 16;
constexpr int kClientAttribStackDepth = 16;

struct Colour {
    GLfloat r, g, b;
};

// GL 1.1 clamps colours to [0, 1] before they are drawn, and clear values as they are given.
constexpr GLfloat Clamped(GLfloat value) {
    return value < 0.0f ? 0.0f : value > 1.0f ? 1.0f : value;
}

// A vertex as WebGL draws it: clip coordinates, colour, and the atlas point whose texel decides
// whether the fragment is drawn (the solid texel for all but bitmaps).
struct Vertex {
    GLfloat x, y, z, w;
    Colour colour;
    GLfloat s, t;
};

struct RasterPosition {
    bool valid = true;
    double x = 0.0;  // window coordinates
    double y = 0.0;
    double z = 0.0;  // window depth
    double w = 1.0;  // clip w
    Colour colour{1.0f, 1.0f, 1.0f};
};

enum MatrixIndex { kModelview, kProjection, kTexture, kMatrices };

struct Matrix {
    GLfloat m[16];  // column-major, as GL keeps them
};

// One glBitmap recorded in a list.
struct Glyph {
    GLsizei width;
    GLsizei height;
    GLfloat xorig;
    GLfloat yorig;
    GLfloat xmove;
    GLfloat ymove;
    GLint atlasX;  // -1: no pixels in the atlas, nothing to draw
    GLint atlasY;
};

// A display list: its glyphs, consecutive in GlState::glyphs.
struct ListEntry {
    GLuint name;
    std::uint32_t first;
    std::uint32_t count;
};

// Where the next glyph goes in the atlas: left to right along a shelf, shelves bottom to top.
struct Shelf {
    GLint x = 0;
    GLint y = 0;
    GLint height = 0;
};

// The glyphs' pixels, one byte each, in one square alpha texture whose contents are kept here
// too, so that a bitmap costs no call into the browser and the texture one upload per change.
struct Atlas {
    GLuint texture = 0;
    GLsizei size = 0;
    GLsizei largest = 0;  // the largest size the context takes, up to a sensible bound
    std::vector<unsigned char> image;
    Shelf shelf;
    unsigned generation = 0;   // counts the layouts afresh
    GLsizei uploadedSize = 0;  // the texture's; differs from size until the next upload
    GLint dirtyFrom = 0;       // the rows changed since the last upload
    GLint dirtyTo = 0;
};

// GL 1.1's layout of client pixels in memory: one for pixels read (unpacking, as glBitmap reads
// them), one for pixels written (packing). WebGL takes only the alignments.
struct PixelLayout {
    GLint alignment = 4;
    GLint rowLength = 0;
    GLint skipRows = 0;
    GLint skipPixels = 0;
    GLint lsbFirst = 0;
    GLint swapBytes = 0;
};

struct PixelStore {
    PixelLayout unpack;
    PixelLayout pack;
};

// The switches GL 1.1 and WebGL both have, as bits of DrawState::enabled.
constexpr GLenum kCapabilities[] = {
    GL_BLEND,        GL_CULL_FACE,    GL_DEPTH_TEST,         GL_DITHER,
    GL_SCISSOR_TEST, GL_STENCIL_TEST, GL_POLYGON_OFFSET_FILL};
constexpr std::uint32_t kDitherBit = 1u << 3;
// The bit of a switch in DrawState::enabled, or 0 for one the layer does not keep.
constexpr std::uint32_t CapabilityBit(GLenum capability) {
    for (std::uint32_t i = 0; i < sizeof kCapabilities / sizeof kCapabilities[0]; ++i) {
        if (kCapabilities[i] == capability) return 1u << i;
    }
    return 0;
}

// WebGL's state that the layer keeps a copy of: all of it is set through the layer, and the
// core asks for it around every scaling.
struct DrawState {
    std::uint32_t enabled = kDitherBit;
    GLint viewport[4] = {};
    GLint scissor[4] = {};
    GLboolean colourMask[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
    GLfloat clearColour[4] = {};
    GLfloat clearDepth = 1.0f;
    GLenum depthFunc = GL_LESS;
};

// A vertex attribute array, as glVertexAttribPointer and its switches set it.
struct AttributeArray {
    bool enabled = false;
    GLint size = 4;
    GLenum type = GL_FLOAT;
    GLint normalized = GL_FALSE;
    GLsizei stride = 0;
    GLuint buffer = 0;
    const void* pointer = nullptr;
};

// The attribute arrays and texture units of which the layer keeps a copy: those it and the core
// use. Others are WebGL's alone.
constexpr GLuint kKeptAttributes = 3;
constexpr GLenum kKeptUnits = 2;

// WebGL's bindings (gl_bindings.cpp).
struct Bindings {
    GLuint frameBuffer = 0;
    GLuint program = 0;
    GLuint arrayBuffer = 0;
    GLenum activeUnit = GL_TEXTURE0;
    GLenum units = 8;  // the context's texture units, WebGL's least until asked
    GLuint textures[kKeptUnits] = {};
    AttributeArray attributes[kKeptAttributes];
    // The textures made and not deleted, ascending: WebGL binds no texture for another name,
    // where GL 1.1 would make one.
    std::vector<GLuint> textureNames;
};

// GL 1.1's hints, which WebGL does not take.
constexpr int kHints = 5;
constexpr GLenum kHintTargets[kHints] = {GL_PERSPECTIVE_CORRECTION_HINT, GL_POINT_SMOOTH_HINT,
                                         GL_LINE_SMOOTH_HINT, GL_POLYGON_SMOOTH_HINT, GL_FOG_HINT};

struct AttribFrame {
    GLbitfield mask;
    Colour colour;
    RasterPosition raster;
    GLuint listBase;
    GLenum shadeModel;
    GLenum matrixMode;
    GLenum hints[kHints];
    DrawState draw;
};

struct ClientAttribFrame {
    GLbitfield mask;
    PixelStore store;
};

// glBegin to glEnd: the primitive being assembled.
struct Assembly {
    bool inside = false;
    GLenum mode = GL_POINTS;
    int count = 0;       // vertices given since glBegin
    Vertex first{};      // the first of them (fans, polygons, line loops)
    Vertex recent[3]{};  // the latest three, oldest first
};

// Everything that belongs to one WebGL context.
struct GlState {
    int handle = 0;

    GLuint program = 0;
    GLuint buffer = 0;
    bool programChecked = false;
    bool programLinked = false;

    Colour colour{1.0f, 1.0f, 1.0f};
    GLenum shadeModel = GL_SMOOTH;
    Assembly assembly;

    GLenum matrixMode = GL_MODELVIEW;
    Matrix matrices[kMatrices];
    Matrix clip;            // projection times modelview
    bool clipStale = true;  // a matrix changed since clip was made

    RasterPosition raster;
    GLuint listBase = 0;
    std::vector<ListEntry> lists;  // by name, ascending
    std::vector<Glyph> glyphs;
    std::uint64_t nextListName = 1;  // above every name in use
    GLuint compiling = 0;            // the list between glNewList and glEndList, or 0
    GLenum compileMode = GL_COMPILE;
    std::uint32_t compileFirst = 0;  // its first glyph
    Atlas atlas;

    DrawState draw;
    Bindings bindings;
    GLenum hints[kHints] = {GL_DONT_CARE, GL_DONT_CARE, GL_DONT_CARE, GL_DONT_CARE, GL_DONT_CARE};
    PixelStore store;
    AttribFrame attribStack[kAttribStackDepth];
    int attribDepth = 0;
    ClientAttribFrame clientAttribStack[kClientAttribStackDepth];
    int clientAttribDepth = 0;
};

// The state of the context the program has current; null when it has none, and GL calls then do
// nothing, as on Windows.
GlState* CurrentGl();
// The same for a call that asks for or changes state, which GL ignores between glBegin and glEnd:
// null there too.
GlState* OutsideBeginEnd();
// The same for a call that reaches WebGL: what the layer has gathered is drawn first.
GlState* BeforeWebGl();

// gl_contexts.cpp: whether the context's program linked, asked once, at its first draw.
bool CheckProgram(GlState& gl);

// gl_draw.cpp: room for `count` (at most six) vertices of one primitive of the kind given
// (GL_TRIANGLES, GL_LINES or GL_POINTS), drawn after everything queued before them. DrawQueued,
// declared in browser.h, draws them.
Vertex* QueueVertices(GLenum kind, int count);

// gl_matrices.cpp: projection times modelview.
const Matrix& ClipMatrix(GlState& gl);
void ResetMatrices(GlState& gl);

// gl_atlas.cpp
void StartAtlas(GlState& gl);
// Copies a bitmap, unpacked as the pixel store says, into the atlas; false where it has no
// pixels or cannot fit, and then only moves the raster position.
bool PlaceGlyph(GlState& gl, Glyph& glyph, const GLubyte* bits);
// The atlas point of the solid texel, for everything that is not a bitmap.
void SolidTexel(const GlState& gl, GLfloat* s, GLfloat* t);
// Sends the atlas's changed rows to its texture.
void UploadAtlas(GlState& gl);

// gl_attributes.cpp: the pixel store's value of that name, or null for a name that is not one.
const GLint* PixelStoreValue(const PixelStore& store, GLenum name);

// gl_bindings.cpp: the binding of that name from the copy; false where the layer keeps none.
bool AskBinding(const GlState& gl, GLenum name, GLint* value);
// The layer's own changes of them, made also between glBegin and glEnd.
void SetProgram(GlState& gl, GLuint program);
void SetArrayBuffer(GlState& gl, GLuint buffer);
void SetActiveUnit(GlState& gl, GLenum unit);
void SetTexture(GlState& gl, GLuint texture);  // the active unit's 2D texture
void MakeTextures(GlState& gl, GLsizei count, GLuint* textures);
void SetAttributeArray(GlState& gl, GLuint index, GLint size, GLenum type, GLboolean normalized,
                       GLsizei stride, const void* pointer);
void SetAttributeEnabled(GlState& gl, GLuint index, bool enabled);
// WebGL's calls of the same names (and GL's meaning), through the copy; the core's entry points.
void BindFrameBuffer(GLenum target, GLuint frameBuffer);
void DeleteFrameBuffers(GLsizei count, const GLuint* frameBuffers);
void UseProgram(GLuint program);
void BindBuffer(GLenum target, GLuint buffer);
void ActivateTexture(GLenum unit);
void VertexAttribPointer(GLuint index, GLint size, GLenum type, GLboolean normalized,
                         GLsizei stride, const void* pointer);
void EnableVertexAttribArray(GLuint index);
void DisableVertexAttribArray(GLuint index);
void GetVertexAttribiv(GLuint index, GLenum name, GLint* value);
void GetVertexAttribPointerv(GLuint index, GLenum name, void** pointer);

// gl_state.cpp: the setters the attribute stacks restore through.
void SetEnabled(GlState& gl, std::uint32_t enabled);
void SetViewport(GlState& gl, const GLint* box);
void SetScissor(GlState& gl, const GLint* box);
void SetColourMask(GlState& gl, const GLboolean* mask);
void SetClearColour(GlState& gl, const GLfloat* colour);
void SetClearDepth(GlState& gl, GLfloat depth);
void SetDepthFunc(GlState& gl, GLenum func);

}  // namespace standin::browser
