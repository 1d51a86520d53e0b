// The one font the browser has: the demo's ("Arial" bold, 20 pixels high), rasterised at build
// time by the desktop's own code from the same font file, so its text is the Linux build's
// pixel for pixel. Every request resolves to it, as the closest face there is.
#pragma once

#include "platform/core/backend.h"

namespace standin::browser {

const FontFace* ResolveBakedFont(const FontRequest& request);
const GlyphBitmap& BakedGlyph(const FontFace* face, DWORD code);

}  // namespace standin::browser
