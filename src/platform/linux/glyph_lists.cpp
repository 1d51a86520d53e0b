// wglUseFontBitmapsA: one display list per character code, each a 1-bit glyph bitmap drawn
// with its origin on the baseline and advancing the raster position by the glyph's advance.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cstring>

#include "platform/linux/font_objects.h"

namespace {

// Windows-1252 codes 128..159; 0 where the code page leaves a hole. 160..255 equal Unicode.
constexpr unsigned short cp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

unsigned long UnicodeOf(DWORD code) {
    if (code >= 128 && code < 160) {
        return cp1252High[code - 128];
    }
    return code < 256 ? code : 0;
}

FT_Library library = nullptr;

FT_Face OpenFace(const StandinFont* font) {
    if (font == nullptr || !font->found) {
        return nullptr;
    }
    if (library == nullptr && FT_Init_FreeType(&library) != 0) {
        library = nullptr;
        return nullptr;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(library, font->path, font->faceIndex, &face) != 0) {
        return nullptr;
    }
    FT_UInt pixels = static_cast<FT_UInt>(font->pixelHeight);
    if (font->cellHeight > 0) {
        // A positive height is the whole cell, ascent plus descent, as GDI measures it.
        const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        const long cell = os2 != nullptr ? long{os2->usWinAscent} + long{os2->usWinDescent}
                                         : long{face->ascender} - long{face->descender};
        if (cell > 0) {
            pixels = static_cast<FT_UInt>((long{font->cellHeight} * face->units_per_EM + cell / 2) /
                                          cell);
        }
    }
    if (FT_Set_Pixel_Sizes(face, 0, pixels > 0 ? pixels : 1) != 0) {
        FT_Done_Face(face);
        return nullptr;
    }
    return face;
}

// Largest glyph bitmap kept; anything bigger is a font we should not be drawing with.
constexpr int maxBitmapBytes = 64 * 1024;
GLubyte flipped[maxBitmapBytes];

void CompileGlyph(FT_Face face, DWORD code, GLuint list) {
    glNewList(list, GL_COMPILE);
    const unsigned long unicode = UnicodeOf(code);
    const FT_UInt index = face != nullptr && unicode != 0 ? FT_Get_Char_Index(face, unicode) : 0;
    if (index != 0 && FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0 &&
        face->glyph->bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
        const FT_GlyphSlot glyph = face->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        const int rowBytes = static_cast<int>((bitmap.width + 7) / 8);
        const int rows = static_cast<int>(bitmap.rows);
        // The unhinted advance, rounded: the metric-compatible face then advances exactly
        // as Arial does, where the hinted one can lose a pixel per glyph.
        const float advance = static_cast<float>((glyph->linearHoriAdvance + 0x8000) >> 16);
        if (rowBytes * rows <= maxBitmapBytes && bitmap.buffer != nullptr) {
            // FreeType counts rows from the top, glBitmap from the bottom.
            for (int r = 0; r < rows; ++r) {
                const unsigned char* source =
                    bitmap.buffer + static_cast<long>(rows - 1 - r) * bitmap.pitch;
                std::memcpy(flipped + r * rowBytes, source, static_cast<std::size_t>(rowBytes));
            }
            glBitmap(static_cast<GLsizei>(bitmap.width), rows,
                     static_cast<GLfloat>(-glyph->bitmap_left),
                     static_cast<GLfloat>(rows - glyph->bitmap_top), advance, 0.0f, flipped);
        } else {
            glBitmap(0, 0, 0.0f, 0.0f, advance, 0.0f, nullptr);
        }
    }
    glEndList();
}

}  // namespace

extern "C" BOOL WINAPI wglUseFontBitmapsA(HDC dc, DWORD first, DWORD count, DWORD listBase) {
    FT_Face face = OpenFace(SelectedFont(dc));

    // The bitmaps are packed rows of bytes; whatever unpacking the caller set stays theirs.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    for (DWORD i = 0; i < count; ++i) {
        CompileGlyph(face, first + i, listBase + i);
    }
    glPopClientAttrib();

    if (face != nullptr) {
        FT_Done_Face(face);
    }
    // Lists without glyphs are still lists: the demo draws on, just without text.
    return TRUE;
}
