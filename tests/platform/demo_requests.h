// What the demo asks of Win32, for the platform tests that ask the same: its pixel format, its
// text font, and a projection that puts raster positions on window pixels. Win32 and GL calls
// only, so the tests built for Windows share it.
#pragma once

#include "platform/win32.h"

// A request for an RGBA format of 16 colour bits that OpenGL draws into a window, plus `flags`.
inline PIXELFORMATDESCRIPTOR FormatRequest(DWORD flags, BYTE depthBits) {
    PIXELFORMATDESCRIPTOR request{};
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | flags;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 16;
    request.cDepthBits = depthBits;
    request.iLayerType = PFD_MAIN_PLANE;
    return request;
}

// The demo's own request: double-buffered, 16 depth bits.
inline PIXELFORMATDESCRIPTOR DemoFormatRequest() { return FormatRequest(PFD_DOUBLEBUFFER, 16); }

// The demo's text font: bold Arial with a character height of 20 pixels.
inline HFONT DemoFont() {
    return CreateFontA(-20, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, FF_DONTCARE | DEFAULT_PITCH,
                       "Arial");
}

// Raster positions in window coordinates: one unit a pixel, the origin at the bottom left.
inline void PixelProjection(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
