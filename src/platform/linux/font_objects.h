// What the stand-in's font objects are, shared by the GDI object calls and the glyph lists.
#pragma once

#include "platform/win32.h"

struct StandinFont {
    bool inUse;
    bool found;          // fontconfig gave a font file for the request
    char path[512];      // the matched font file
    int faceIndex;       // face within that file
    int pixelHeight;     // em height in pixels, as FreeType wants it
    int cellHeight;      // positive request: height of the whole cell instead (0 if not)
};

// The font selected into a device context, or null when none (or not one of ours) is.
const StandinFont* SelectedFont(HDC dc);
