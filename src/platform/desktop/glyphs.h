// The desktop's glyphs (font_cache.cpp): FreeType and fontconfig, nothing of SDL, so the build's
// glyph baker links them alone.
#pragma once

#include "platform/core/backend.h"

namespace standin::desktop {

const FontFace* ResolveFont(const FontRequest& request);
const GlyphBitmap& Glyph(const FontFace* face, DWORD code);

}  // namespace standin::desktop
