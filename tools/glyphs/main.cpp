// The glyph baker: writes the glyphs of the demo's font ("Arial" bold, character height 20),
// as the desktop's own font code rasterises them, as C++ initialisers for the browser build.
//
//     glyph-baker OUTPUT.inc
#include <cstdio>
#include <vector>

#include "platform/desktop/glyphs.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.inc\n", argc > 0 ? argv[0] : "glyph-baker");
        return 2;
    }
    const standin::FontRequest request{-20, 700, false, "Arial"};
    const standin::FontFace* face = standin::desktop::ResolveFont(request);
    if (face == nullptr) {
        std::fprintf(stderr, "glyph-baker: no font on this machine draws the demo's text\n");
        return 1;
    }
    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::vector<unsigned> bits;
    std::fputs("// Written by the glyph baker; do not edit.\nconstexpr Baked kBaked[256] = {\n",
               out);
    for (DWORD code = 0; code < 256; ++code) {
        const standin::GlyphBitmap& glyph = standin::desktop::Glyph(face, code);
        int offset = -1;
        if (glyph.bits != nullptr) {
            offset = static_cast<int>(bits.size());
            const int bytes = (glyph.width + 7) / 8 * glyph.rows;
            for (int i = 0; i < bytes; ++i) bits.push_back(glyph.bits[i]);
        }
        std::fprintf(out, "    {%s, %d, %d, %#.9gf, %#.9gf, %#.9gf, %d},\n",
                     glyph.present ? "true" : "false", glyph.width, glyph.rows, glyph.xorig,
                     glyph.yorig, glyph.advance, offset);
    }
    std::fputs("};\nconstexpr GLubyte kBits[] = {", out);
    for (std::size_t i = 0; i < bits.size(); ++i) {
        std::fprintf(out, "%s%u,", i % 24 == 0 ? "\n    " : " ", bits[i]);
    }
    std::fputs("\n    0};\n", out);
    return std::fclose(out) == 0 ? 0 : 1;
}
