// The baked glyphs: baked_glyphs.inc, written by the build's glyph baker, holds each code's
// metrics and the bits of all glyphs one after the other.
#include "platform/browser/glyph_data.h"

namespace standin {

struct FontFace {
    GlyphBitmap glyphs[256];
};

namespace browser {

namespace {

struct Baked {
    bool present;
    GLsizei width;
    GLsizei rows;
    GLfloat xorig;
    GLfloat yorig;
    GLfloat advance;
    int offset;  // into kBits; -1 for a glyph without pixels
};

#include "baked_glyphs.inc"

FontFace MakeFace() {
    FontFace face{};
    for (int code = 0; code < 256; ++code) {
        const Baked& baked = kBaked[code];
        face.glyphs[code] = {baked.present,
                             baked.width,
                             baked.rows,
                             baked.xorig,
                             baked.yorig,
                             baked.advance,
                             baked.offset >= 0 ? kBits + baked.offset : nullptr};
    }
    return face;
}

}  // namespace

const FontFace* ResolveBakedFont(const FontRequest&) {
    static const FontFace face = MakeFace();
    return &face;
}

const GlyphBitmap& BakedGlyph(const FontFace* face, DWORD code) { return face->glyphs[code]; }

}  // namespace browser
}  // namespace standin
