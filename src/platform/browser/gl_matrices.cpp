// The matrices: glMatrixMode, glLoadIdentity, glTranslatef, glRotatef and gluPerspective, in
// single precision as GL keeps them, and their product, by which the layer puts vertices in clip
// coordinates itself.
#include <cmath>

#include "platform/browser/gl_layer.h"

namespace standin::browser {

namespace {

constexpr Matrix kIdentity = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

// a times b, column-major; each sum in the order GL's own software path takes.
Matrix Product(const Matrix& a, const Matrix& b) {
    Matrix out;
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            out.m[column * 4 + row] =
                a.m[row] * b.m[column * 4] + a.m[4 + row] * b.m[column * 4 + 1] +
                a.m[8 + row] * b.m[column * 4 + 2] + a.m[12 + row] * b.m[column * 4 + 3];
        }
    }
    return out;
}

Matrix& CurrentMatrix(GlState& gl) {
    return gl.matrices[gl.matrixMode == GL_PROJECTION ? kProjection
                       : gl.matrixMode == GL_TEXTURE  ? kTexture
                                                      : kModelview];
}

void MultiplyCurrent(GlState& gl, const Matrix& by) {
    CurrentMatrix(gl) = Product(CurrentMatrix(gl), by);
    gl.clipStale = true;
}

}  // namespace

void ResetMatrices(GlState& gl) {
    for (Matrix& matrix : gl.matrices) matrix = kIdentity;
    gl.clipStale = true;
}

const Matrix& ClipMatrix(GlState& gl) {
    if (gl.clipStale) {
        gl.clip = Product(gl.matrices[kProjection], gl.matrices[kModelview]);
        gl.clipStale = false;
    }
    return gl.clip;
}

extern "C" {

void glMatrixMode(GLenum mode) {
    GlState* gl = OutsideBeginEnd();
    if (gl == nullptr) return;
    if (mode == GL_MODELVIEW || mode == GL_PROJECTION || mode == GL_TEXTURE) gl->matrixMode = mode;
}

void glLoadIdentity() {
    GlState* gl = OutsideBeginEnd();
    if (gl == nullptr) return;
    CurrentMatrix(*gl) = kIdentity;
    gl->clipStale = true;
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    GlState* gl = OutsideBeginEnd();
    if (gl == nullptr) return;
    Matrix by = kIdentity;
    by.m[12] = x;
    by.m[13] = y;
    by.m[14] = z;
    MultiplyCurrent(*gl, by);
}

// A rotation of `angle` degrees about the axis (x, y, z), counter-clockwise looking down the
// axis towards the origin; an axis of no length leaves the matrix as it is.
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    GlState* gl = OutsideBeginEnd();
    if (gl == nullptr) return;
    const GLfloat length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0f) return;
    x /= length;
    y /= length;
    z /= length;
    const auto radians = static_cast<GLfloat>(angle * M_PI / 180.0);
    const GLfloat s = std::sin(radians);
    const GLfloat c = std::cos(radians);
    const GLfloat t = 1.0f - c;
    Matrix by = kIdentity;
    by.m[0] = x * x * t + c;
    by.m[1] = y * x * t + z * s;
    by.m[2] = x * z * t - y * s;
    by.m[4] = x * y * t - z * s;
    by.m[5] = y * y * t + c;
    by.m[6] = y * z * t + x * s;
    by.m[8] = x * z * t + y * s;
    by.m[9] = y * z * t - x * s;
    by.m[10] = z * z * t + c;
    MultiplyCurrent(*gl, by);
}

// GLU's perspective: worked out in double precision, then multiplied onto the current matrix as
// glMultMatrixd would, in single precision. A degenerate frustum leaves the matrix as it is.
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    GlState* gl = OutsideBeginEnd();
    if (gl == nullptr) return;
    const double radians = fovy / 2.0 * M_PI / 180.0;
    const double depth = zFar - zNear;
    const double sine = std::sin(radians);
    if (depth == 0.0 || sine == 0.0 || aspect == 0.0) return;
    const double cotangent = std::cos(radians) / sine;
    Matrix by = kIdentity;
    by.m[0] = static_cast<GLfloat>(cotangent / aspect);
    by.m[5] = static_cast<GLfloat>(cotangent);
    by.m[10] = static_cast<GLfloat>(-(zFar + zNear) / depth);
    by.m[11] = -1.0f;
    by.m[14] = static_cast<GLfloat>(-2.0 * zNear * zFar / depth);
    by.m[15] = 0.0f;
    MultiplyCurrent(*gl, by);
}

}  // extern "C"

}  // namespace standin::browser
