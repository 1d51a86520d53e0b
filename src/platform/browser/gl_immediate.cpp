// Immediate mode: glBegin, glVertex3f, glColor3f, glEnd and glShadeModel.
//
// Each vertex is put in clip coordinates as it comes, with the current colour clamped to [0, 1]
// as GL 1.1 clamps it before rasterising (the current colour itself is kept as given), and each
// primitive it completes is queued as WebGL's triangles, lines or points (gl_draw.cpp). Quads are
// cut into the triangles (v0 v1 v3) and (v1 v2 v3), as desktop drivers cut them: their colours are
// interpolated across those triangles, so another cut would shade them differently. Flat shading
// gives every vertex of a primitive the colour of the vertex GL 1.1 names for it: the last of an
// independent primitive, strip or fan, the first of a polygon, the first again for the segment
// that closes a line loop.
#include "platform/browser/gl_layer.h"

namespace standin::browser {

namespace {

// GL 1.1's primitives, as WebGL's kinds.
bool KnownMode(GLenum mode) {
    switch (mode) {
        case GL_POINTS:
        case GL_LINES:
        case GL_LINE_STRIP:
        case GL_LINE_LOOP:
        case GL_TRIANGLES:
        case GL_TRIANGLE_STRIP:
        case GL_TRIANGLE_FAN:
        case GL_QUADS:
        case GL_QUAD_STRIP:
        case GL_POLYGON:
            return true;
        default:
            return false;
    }
}

template <int count>
void Put(const GlState& gl, GLenum kind, const Vertex* (&&vertices)[count],
         const Vertex& provoking) {
    Vertex* out = QueueVertices(kind, count);
    for (const Vertex* vertex : vertices) {
        *out = *vertex;
        if (gl.shadeModel == GL_FLAT) out->colour = provoking.colour;
        ++out;
    }
}

// Queues what the newest vertex v completes; a.recent holds the three before it, oldest first.
void Assemble(const GlState& gl, const Assembly& a, const Vertex& v) {
    const Vertex& r0 = a.recent[0];
    const Vertex& r1 = a.recent[1];
    const Vertex& r2 = a.recent[2];
    const int n = a.count;  // v included
    switch (a.mode) {
        case GL_POINTS:
            Put(gl, GL_POINTS, {&v}, v);
            break;
        case GL_LINES:
            if (n % 2 == 0) Put(gl, GL_LINES, {&r2, &v}, v);
            break;
        case GL_LINE_STRIP:
        case GL_LINE_LOOP:
            if (n >= 2) Put(gl, GL_LINES, {&r2, &v}, v);
            break;
        case GL_TRIANGLES:
            if (n % 3 == 0) Put(gl, GL_TRIANGLES, {&r1, &r2, &v}, v);
            break;
        case GL_TRIANGLE_STRIP:
            // Every other triangle in the order that keeps the strip's facing.
            if (n >= 3 && n % 2 == 1) Put(gl, GL_TRIANGLES, {&r1, &r2, &v}, v);
            if (n >= 3 && n % 2 == 0) Put(gl, GL_TRIANGLES, {&r2, &r1, &v}, v);
            break;
        case GL_TRIANGLE_FAN:
            if (n >= 3) Put(gl, GL_TRIANGLES, {&a.first, &r2, &v}, v);
            break;
        case GL_POLYGON:
            if (n >= 3) Put(gl, GL_TRIANGLES, {&a.first, &r2, &v}, a.first);
            break;
        case GL_QUADS:
            if (n % 4 == 0) Put(gl, GL_TRIANGLES, {&r0, &r1, &v, &r1, &r2, &v}, v);
            break;
        case GL_QUAD_STRIP:
            // The quad (r0 r1 v r2), cut as the quads are.
            if (n >= 4 && n % 2 == 0) Put(gl, GL_TRIANGLES, {&r0, &r1, &r2, &r1, &v, &r2}, v);
            break;
        default:
            break;
    }
}

}  // namespace

extern "C" {

void glBegin(GLenum mode) {
    GlState* gl = OutsideBeginEnd();
    if (gl == nullptr || !KnownMode(mode)) return;
    gl->assembly.inside = true;
    gl->assembly.mode = mode;
    gl->assembly.count = 0;
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    GlState* gl = CurrentGl();
    // Outside glBegin and glEnd GL leaves a vertex undefined.
    if (gl == nullptr || !gl->assembly.inside) return;
    const GLfloat* m = ClipMatrix(*gl).m;
    Vertex v;
    v.x = m[0] * x + m[4] * y + m[8] * z + m[12];
    v.y = m[1] * x + m[5] * y + m[9] * z + m[13];
    v.z = m[2] * x + m[6] * y + m[10] * z + m[14];
    v.w = m[3] * x + m[7] * y + m[11] * z + m[15];
    v.colour = Colour{Clamped(gl->colour.r), Clamped(gl->colour.g), Clamped(gl->colour.b)};
    SolidTexel(*gl, &v.s, &v.t);
    Assembly& a = gl->assembly;
    if (a.count++ == 0) a.first = v;
    Assemble(*gl, a, v);
    a.recent[0] = a.recent[1];
    a.recent[1] = a.recent[2];
    a.recent[2] = v;
}

void glColor3f(GLfloat r, GLfloat g, GLfloat b) {
    GlState* gl = CurrentGl();
    if (gl != nullptr) gl->colour = Colour{r, g, b};
}

// An unfinished primitive is dropped, as GL drops it.
void glEnd() {
    GlState* gl = CurrentGl();
    if (gl == nullptr || !gl->assembly.inside) return;
    Assembly& a = gl->assembly;
    a.inside = false;
    if (a.mode == GL_LINE_LOOP && a.count >= 2) {
        Put(*gl, GL_LINES, {&a.recent[2], &a.first}, a.first);
    }
}

void glShadeModel(GLenum mode) {
    GlState* gl = OutsideBeginEnd();
    if (gl == nullptr) return;
    if (mode == GL_FLAT || mode == GL_SMOOTH) gl->shadeModel = mode;
}

}  // extern "C"

}  // namespace standin::browser
