// The browser's OpenGL 1.1: emscripten's legacy GL emulation (-sLEGACY_GL_EMULATION=1,
// -sGL_UNSAFE_OPTS=0) over WebGL 1, with legacy_gl.cpp supplying what the demo draws with and the
// emulation lacks or gets wrong: display lists of bitmaps, glBitmap, glRasterPos, glPushAttrib and
// glPushClientAttrib, glShadeModel and a current colour that every vertex keeps. Those calls are
// declared by <GL/gl.h> as usual; only the start-up below is the browser's own.
#pragma once

// Starts the emulation's immediate mode on the WebGL context just made current with
// emscripten_webgl_make_context_current. Only contexts made through emscripten's Browser object
// (SDL, GLUT, EGL) start it by themselves; without it glBegin has nothing to draw with.
extern "C" void StartLegacyGl();
