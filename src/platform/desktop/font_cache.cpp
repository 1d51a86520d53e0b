// The desktop's glyphs: each distinct font request is resolved with fontconfig once, and each
// glyph of a resolved face is rasterised by FreeType once, so that creating the demo's font
// again (after an F1 switch) only compiles display lists from bitmaps already made, and
// measuring a glyph gives the advance its list was compiled with. Faces and glyphs live until
// the process ends.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/desktop/glyphs.h"

namespace standin {

struct FontFace {
    FT_Face face = nullptr;
    GlyphBitmap glyphs[256] = {};
    bool made[256] = {};
    std::vector<GLubyte> bits[256];
};

namespace desktop {

namespace {

// Windows' mapper picks about 16 px for a height of 0.
constexpr int kDefaultPixelHeight = 16;
// Largest glyph bitmap kept; anything bigger is a font we should not be drawing with.
constexpr int kMaxBitmapBytes = 64 * 1024;

// Windows-1252 codes 128..159; 0 where the code page leaves a hole. 160..255 equal Unicode.
constexpr unsigned short kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

unsigned long UnicodeOf(DWORD code) {
    if (code >= 128 && code < 160) return kCp1252High[code - 128];
    return code < 256 ? code : 0;
}

typedef std::tuple<std::string, int, bool, int>
    RequestKey;  // face (lower case), weight, italic, height
typedef std::tuple<std::string, int, unsigned> FaceKey;  // file, index, pixels

// Never destroyed: the faces are referenced by font objects until the very end.
struct Cache {
    FT_Library library = nullptr;
    bool libraryFailed = false;
    std::map<RequestKey, const FontFace*> requests;  // null: no usable font for it
    std::map<FaceKey, std::unique_ptr<FontFace>> faces;
};

Cache& TheCache() {
    static Cache* cache = new Cache;
    return *cache;
}

FT_Library Library(Cache& cache) {
    if (cache.library == nullptr && !cache.libraryFailed && FT_Init_FreeType(&cache.library) != 0) {
        cache.library = nullptr;
        cache.libraryFailed = true;
    }
    return cache.library;
}

int PixelHeightOf(int height) {
    return height < 0 ? -height : (height > 0 ? height : kDefaultPixelHeight);
}

// The em size in pixels FreeType is given. A positive height is the whole cell, ascent plus
// descent, as GDI measures it.
unsigned EmPixels(FT_Face face, int height) {
    long pixels = PixelHeightOf(height);
    if (height > 0) {
        const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        const long cell = os2 != nullptr ? long{os2->usWinAscent} + long{os2->usWinDescent}
                                         : long{face->ascender} - long{face->descender};
        if (cell > 0) pixels = (long{height} * face->units_per_EM + cell / 2) / cell;
    }
    return static_cast<unsigned>(pixels > 0 ? pixels : 1);
}

// Sets the face's size: scalable faces at exactly `pixels`, bitmap-only ones at their
// nearest strike. False when the face offers neither.
bool SizeFace(FT_Face face, unsigned pixels) {
    if (FT_IS_SCALABLE(face)) return FT_Set_Pixel_Sizes(face, 0, pixels) == 0;
    int best = -1;
    long bestGap = 0;
    for (int i = 0; i < face->num_fixed_sizes; ++i) {
        long gap = (face->available_sizes[i].y_ppem >> 6) - long{pixels};
        gap = gap < 0 ? -gap : gap;
        if (best < 0 || gap < bestGap) {
            best = i;
            bestGap = gap;
        }
    }
    return best >= 0 && FT_Select_Size(face, best) == 0;
}

// Usable means FreeType opens it, it maps Latin letters or digits, and their glyphs come out
// as 1-bit bitmaps: what wglUseFontBitmapsA makes its lists of.
bool Usable(FT_Face face) {
    for (unsigned long probe : {0x41ul, 0x61ul, 0x30ul}) {  // 'A', 'a', '0'
        FT_UInt index = FT_Get_Char_Index(face, probe);
        if (index == 0) continue;
        return FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0 &&
               face->glyph->bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
    }
    return false;
}

const FontFace* OpenFace(Cache& cache, const char* path, int index, int height) {
    FT_Library library = Library(cache);
    if (library == nullptr) return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Face(library, path, index, &face) != 0) return nullptr;
    const unsigned pixels = FT_IS_SCALABLE(face) ? EmPixels(face, height) : PixelHeightOf(height);
    FaceKey key{path, index, pixels};
    auto known = cache.faces.find(key);
    if (known != cache.faces.end()) {
        FT_Done_Face(face);
        return known->second.get();
    }
    if (!SizeFace(face, pixels) || !Usable(face)) {
        FT_Done_Face(face);
        return nullptr;
    }
    auto resolved = std::make_unique<FontFace>();
    resolved->face = face;
    const FontFace* result = resolved.get();
    cache.faces.emplace(std::move(key), std::move(resolved));
    return result;
}

// fontconfig's candidates for the request, best first, whatever their family; the first one
// FreeType can draw with wins.
const FontFace* Resolve(Cache& cache, const FontRequest& request) {
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) return nullptr;
    if (*request.face != '\0') {
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(request.face));
    }
    // GDI weights are OpenType weights; 0 means "don't care", which maps as normal.
    FcPatternAddInteger(pattern, FC_WEIGHT,
                        FcWeightFromOpenType(request.weight > 0 ? request.weight : FW_NORMAL));
    FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, static_cast<double>(PixelHeightOf(request.height)));
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);

    FcResult result = FcResultNoMatch;
    FcFontSet* candidates = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
    FcPatternDestroy(pattern);
    const FontFace* found = nullptr;
    for (int i = 0; candidates != nullptr && i < candidates->nfont && found == nullptr; ++i) {
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(candidates->fonts[i], FC_FILE, 0, &file) != FcResultMatch) continue;
        FcPatternGetInteger(candidates->fonts[i], FC_INDEX, 0, &index);
        found = OpenFace(cache, reinterpret_cast<const char*>(file), index, request.height);
    }
    if (candidates != nullptr) FcFontSetDestroy(candidates);
    return found;
}

void MakeGlyph(FontFace& resolved, DWORD code) {
    GlyphBitmap& glyph = resolved.glyphs[code];
    FT_Face face = resolved.face;
    const unsigned long unicode = UnicodeOf(code);
    const FT_UInt index = unicode != 0 ? FT_Get_Char_Index(face, unicode) : 0;
    if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0 ||
        face->glyph->bitmap.pixel_mode != FT_PIXEL_MODE_MONO) {
        return;
    }
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    const int rowBytes = static_cast<int>((bitmap.width + 7) / 8);
    const int rows = static_cast<int>(bitmap.rows);
    glyph.present = true;
    // The unhinted advance, rounded: the metric-compatible face then advances exactly as
    // Arial does, where the hinted one can lose a pixel per glyph. Bitmap-only faces have
    // only the hinted one.
    glyph.advance = FT_IS_SCALABLE(face)
                        ? static_cast<GLfloat>((slot->linearHoriAdvance + 0x8000) >> 16)
                        : static_cast<GLfloat>((slot->advance.x + 32) >> 6);
    if (rowBytes * rows > kMaxBitmapBytes || bitmap.buffer == nullptr || rows == 0) return;
    // FreeType counts rows from the top, glBitmap from the bottom.
    std::vector<GLubyte>& bits = resolved.bits[code];
    bits.resize(static_cast<std::size_t>(rowBytes * rows));
    for (int r = 0; r < rows; ++r) {
        const unsigned char* source =
            bitmap.buffer + static_cast<long>(rows - 1 - r) * bitmap.pitch;
        std::memcpy(bits.data() + r * rowBytes, source, static_cast<std::size_t>(rowBytes));
    }
    glyph.width = static_cast<GLsizei>(bitmap.width);
    glyph.rows = rows;
    glyph.xorig = static_cast<GLfloat>(-slot->bitmap_left);
    glyph.yorig = static_cast<GLfloat>(rows - slot->bitmap_top);
    glyph.bits = bits.data();
}

void SayNoFont(const FontRequest& request) {
    std::fprintf(stderr,
                 "CreateFontA: no usable font on this system for face \"%s\", weight %d, "
                 "height %d; text in that font will not be drawn\n",
                 request.face, request.weight, request.height);
}

}  // namespace

const FontFace* ResolveFont(const FontRequest& request) {
    Cache& cache = TheCache();
    std::string family = request.face;
    for (char& c : family) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    RequestKey key{family, request.weight, request.italic, request.height};
    auto known = cache.requests.find(key);
    if (known != cache.requests.end()) return known->second;
    const FontFace* face = Resolve(cache, request);
    if (face == nullptr) SayNoFont(request);
    cache.requests.emplace(std::move(key), face);
    return face;
}

const GlyphBitmap& Glyph(const FontFace* face, DWORD code) {
    static const GlyphBitmap none{};
    if (face == nullptr || code > 255) return none;
    // Only the cache changes a face; callers see it const.
    FontFace& resolved = const_cast<FontFace&>(*face);
    if (!resolved.made[code]) {
        MakeGlyph(resolved, code);
        resolved.made[code] = true;
    }
    return resolved.glyphs[code];
}

}  // namespace desktop
}  // namespace standin
