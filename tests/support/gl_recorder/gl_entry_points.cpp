// The GL 1.1 and GLU entry points the renderer and the font service call, recorded.
#include <cstdint>

#include "log_internal.h"

extern "C" {

void GLAPIENTRY glClear(GLbitfield mask) { Record(Gl::Clear, {double(mask)}); }
void GLAPIENTRY glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    Record(Gl::ClearColor, {r, g, b, a});
}
void GLAPIENTRY glClearDepth(GLclampd depth) { Record(Gl::ClearDepth, {depth}); }
void GLAPIENTRY glLoadIdentity() { Record(Gl::LoadIdentity, {}); }
void GLAPIENTRY glMatrixMode(GLenum mode) { Record(Gl::MatrixMode, {double(mode)}); }
void GLAPIENTRY glViewport(GLint x, GLint y, GLsizei w, GLsizei h) {
    Record(Gl::Viewport, {double(x), double(y), double(w), double(h)});
}
void GLAPIENTRY glTranslatef(GLfloat x, GLfloat y, GLfloat z) { Record(Gl::Translatef, {x, y, z}); }
void GLAPIENTRY glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    Record(Gl::Rotatef, {angle, x, y, z});
}
void GLAPIENTRY glColor3f(GLfloat r, GLfloat g, GLfloat b) { Record(Gl::Color3f, {r, g, b}); }
void GLAPIENTRY glRasterPos2f(GLfloat x, GLfloat y) { Record(Gl::RasterPos2f, {x, y}); }
void GLAPIENTRY glBegin(GLenum mode) { Record(Gl::Begin, {double(mode)}); }
void GLAPIENTRY glEnd() { Record(Gl::End, {}); }
void GLAPIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z) { Record(Gl::Vertex3f, {x, y, z}); }
void GLAPIENTRY glShadeModel(GLenum mode) { Record(Gl::ShadeModel, {double(mode)}); }
void GLAPIENTRY glEnable(GLenum cap) { Record(Gl::Enable, {double(cap)}); }
void GLAPIENTRY glDepthFunc(GLenum func) { Record(Gl::DepthFunc, {double(func)}); }
void GLAPIENTRY glHint(GLenum target, GLenum mode) {
    Record(Gl::Hint, {double(target), double(mode)});
}

GLuint GLAPIENTRY glGenLists(GLsizei range) {
    Record(Gl::GenLists, {double(range)});
    const GLuint first = nextListName;
    nextListName += static_cast<GLuint>(range);
    return first;
}
void GLAPIENTRY glNewList(GLuint list, GLenum mode) {
    Record(Gl::NewList, {double(list), double(mode)});
}
void GLAPIENTRY glEndList() { Record(Gl::EndList, {}); }
void GLAPIENTRY glListBase(GLuint base) { Record(Gl::ListBase, {double(base)}); }
void GLAPIENTRY glCallLists(GLsizei n, GLenum type, const GLvoid* lists) {
    // Only byte lists are kept as text; that is all the renderer passes.
    const bool bytes = type == GL_UNSIGNED_BYTE;
    RecordText(Gl::CallLists, {double(n), double(type)},
               bytes ? static_cast<const char*>(lists) : nullptr, bytes ? n : 0);
}
void GLAPIENTRY glPushAttrib(GLbitfield mask) { Record(Gl::PushAttrib, {double(mask)}); }
void GLAPIENTRY glPopAttrib() { Record(Gl::PopAttrib, {}); }
void GLAPIENTRY glPushClientAttrib(GLbitfield mask) {
    Record(Gl::PushClientAttrib, {double(mask)});
}
void GLAPIENTRY glPopClientAttrib() { Record(Gl::PopClientAttrib, {}); }
void GLAPIENTRY glPixelStorei(GLenum name, GLint value) {
    Record(Gl::PixelStorei, {double(name), double(value)});
}
// The bitmap's bytes are summed into text[0..3] as a set-bit count, enough to tell a drawn
// glyph from an empty one.
void GLAPIENTRY glBitmap(GLsizei w, GLsizei h, GLfloat xorig, GLfloat yorig, GLfloat xmove,
                         GLfloat ymove, const GLubyte* bitmap) {
    int bits = 0;
    if (bitmap != nullptr) {
        const int rowBytes = (w + 7) / 8;
        for (int i = 0; i < rowBytes * h; ++i) {
            bits += __builtin_popcount(bitmap[i]);
        }
    }
    Record(Gl::Bitmap, {double(w), double(h), xorig, yorig, xmove, ymove, double(bits)});
}

void GLAPIENTRY gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    Record(Gl::GluPerspective, {fovy, aspect, zNear, zFar});
}

}  // extern "C"
