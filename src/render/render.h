// The demo's drawing: everything that goes into the current OpenGL context.
//
// The window side calls ResizeViewport and InitRenderState on every fresh context, and
// RenderFrame once per idle turn; it never swaps buffers here.
#pragma once

// Viewport and perspective projection for a client area of width x height pixels.
void ResizeViewport(int width, int height);

// Fixed GL state of a freshly current context, and the text font. Always true.
bool InitRenderState();

// One display list per character code 32..254, starting at demoState.fontListBase.
void BuildTextFont();

// printf-style text drawn at the current raster position in the current colour.
void PrintText(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// One frame of the timed sequence. Always true.
bool RenderFrame();
