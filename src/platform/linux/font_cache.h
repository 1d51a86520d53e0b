// The process-wide font cache behind CreateFontA, wglUseFontBitmapsA and GetCharWidth32A:
// each distinct request is resolved with fontconfig once, and each glyph of a resolved face is
// rasterised by FreeType once, so that creating the demo's font again (after an F1 switch) only
// compiles display lists from bitmaps already made, and measuring a glyph gives the advance its
// list was compiled with.
//
// Thread-safe: every entry point takes the cache's lock.
#pragma once

#include <string>

#include "platform/win32.h"

namespace standin {

struct FontRequest {
    int height = 0;  // as CreateFontA takes it: < 0 character height, > 0 cell height, 0 default
    int weight = 0;  // GDI (OpenType) weight; 0 is "don't care"
    bool italic = false;
    std::string face;  // may be empty: any family
};

// A face at one pixel size, resolved and opened; it lives until the process ends.
struct ResolvedFace;

// The face fontconfig offers for the request: the best match of any family that FreeType
// can draw with, as Windows' font mapper always substitutes some font. Null only when the
// system has no usable font at all; that is said once on stderr (for each distinct request),
// naming what was asked and that text in it will not be drawn.
const ResolvedFace* ResolveFace(const FontRequest& request);

// A 1-bit glyph bitmap ready for glBitmap: rows bottom-up, each (width + 7) / 8 bytes, no
// padding; origin and advance in pixels.
struct GlyphBitmap {
    bool present = false;  // false: the code has no glyph here, its list stays empty
    GLsizei width = 0;
    GLsizei rows = 0;
    GLfloat xorig = 0.0f;
    GLfloat yorig = 0.0f;
    GLfloat advance = 0.0f;
    const GLubyte* bits = nullptr;  // null when the glyph sets no pixel (a space)
};

// The glyph of a Windows-1252 code (0..255) in the face, rasterised on first use. The
// reference stays valid for the whole process.
const GlyphBitmap& GlyphFor(const ResolvedFace* face, DWORD code);

}  // namespace standin
