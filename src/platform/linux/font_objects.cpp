// CreateFontA, SelectObject and DeleteObject for fonts: requests resolved with fontconfig,
// selections kept per device-context value (the window layer owns the DCs themselves).
#include <fontconfig/fontconfig.h>

#include <cstddef>
#include <cstring>

#include "platform/linux/font_objects.h"

namespace {

constexpr int maxFonts = 64;
constexpr int maxDeviceContexts = 64;
// Windows' mapper picks about 16 px for a height of 0.
constexpr int defaultPixelHeight = 16;

StandinFont fonts[maxFonts];

// Stands for the font a DC has before the program selects one; it has no glyphs.
StandinFont stockFont = {true, false, {}, 0, defaultPixelHeight, 0};

struct Selection {
    HDC dc;
    HGDIOBJ object;
};
Selection selections[maxDeviceContexts];

StandinFont* FontFromHandle(HGDIOBJ object) {
    if (object == &stockFont) {
        return &stockFont;
    }
    for (StandinFont& font : fonts) {
        if (object == &font && font.inUse) {
            return &font;
        }
    }
    return nullptr;
}

Selection* FindSelection(HDC dc, bool create) {
    for (Selection& s : selections) {
        if (s.object != nullptr && s.dc == dc) {
            return &s;
        }
    }
    if (!create) {
        return nullptr;
    }
    for (Selection& s : selections) {
        if (s.object == nullptr) {
            s.dc = dc;
            s.object = &stockFont;
            return &s;
        }
    }
    return nullptr;
}

void Resolve(StandinFont& font, int height, int weight, bool italic, const char* faceName) {
    font.found = false;
    font.pixelHeight = height < 0 ? -height : (height > 0 ? height : defaultPixelHeight);
    font.cellHeight = height > 0 ? height : 0;

    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) {
        return;
    }
    if (faceName != nullptr && faceName[0] != '\0') {
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(faceName));
    }
    // GDI weights are OpenType weights; 0 means "don't care", which maps as normal.
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight > 0 ? weight : FW_NORMAL));
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, static_cast<double>(font.pixelHeight));
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);

    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) {
        return;
    }
    FcChar8* file = nullptr;
    int index = 0;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
        std::strlen(reinterpret_cast<const char*>(file)) < sizeof font.path) {
        std::strcpy(font.path, reinterpret_cast<const char*>(file));
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        font.faceIndex = index;
        font.found = true;
    }
    FcPatternDestroy(match);
}

}  // namespace

const StandinFont* SelectedFont(HDC dc) {
    const Selection* s = FindSelection(dc, false);
    return s != nullptr ? FontFromHandle(s->object) : nullptr;
}

extern "C" {

// Width, angles, underline, strike-out, character set and precisions do not change which
// glyph bitmaps the demo gets, so only face, weight, slant and height are honoured.
HFONT WINAPI CreateFontA(int height, int, int, int, int weight, DWORD italic, DWORD, DWORD,
                         DWORD, DWORD, DWORD, DWORD, DWORD, LPCSTR faceName) {
    for (StandinFont& font : fonts) {
        if (!font.inUse) {
            font = StandinFont{};
            font.inUse = true;
            Resolve(font, height, weight, italic != 0, faceName);
            return reinterpret_cast<HFONT>(&font);
        }
    }
    return nullptr;
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
    if (FontFromHandle(object) == nullptr) {
        return nullptr;
    }
    Selection* s = FindSelection(dc, true);
    if (s == nullptr) {
        return nullptr;
    }
    HGDIOBJ previous = s->object;
    s->object = object;
    return previous;
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
    StandinFont* font = FontFromHandle(object);
    if (font == nullptr || font == &stockFont) {
        return FALSE;
    }
    // A DC still holding it falls back to the stock font rather than a dangling handle.
    for (Selection& s : selections) {
        if (s.object == object) {
            s.object = &stockFont;
        }
    }
    font->inUse = false;
    return TRUE;
}

}  // extern "C"
