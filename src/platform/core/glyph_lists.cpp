// wglUseFontBitmapsA: one display list per character code, each a 1-bit glyph bitmap drawn
// with its origin on the baseline and advancing the raster position by the glyph's advance.
// The bitmaps come from the backend, which rasterises each glyph once, so building the lists
// again only compiles them.
#include "platform/core/font_objects.h"

extern "C" BOOL WINAPI wglUseFontBitmapsA(HDC dc, DWORD first, DWORD count, DWORD listBase) {
    const standin::FontFace* face = standin::SelectedFace(dc);

    // The bitmaps are packed rows of bytes; whatever unpacking the caller set stays theirs.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    for (DWORD i = 0; i < count; ++i) {
        glNewList(listBase + i, GL_COMPILE);
        const standin::GlyphBitmap& glyph = standin::GlyphOf(face, first + i);
        if (glyph.present) {
            glBitmap(glyph.width, glyph.rows, glyph.xorig, glyph.yorig, glyph.advance, 0.0f,
                     glyph.bits);
        }
        glEndList();
    }
    glPopClientAttrib();
    // Lists without glyphs are still lists: the demo draws on, just without text.
    return TRUE;
}
