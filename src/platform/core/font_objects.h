// What the core's font objects are, shared by the GDI object calls, the glyph lists and the
// window layer, which owns the device contexts.
#pragma once

#include <cstdint>

#include "platform/core/backend.h"

namespace standin {

// The handle of the font every device context starts with; it has no glyphs. Below every
// handle the allocator hands out.
constexpr std::uintptr_t kStockFont = 0x10000;

// The face of the font selected into a device context; null when none (or the stock font)
// is, or when the system had no usable font for the request.
const FontFace* SelectedFace(HDC dc);

// The glyph of a code in a face; an empty one for a null face or a code past 255.
const GlyphBitmap& GlyphOf(const FontFace* face, DWORD code);

// A device context is gone (its window was destroyed): whatever was selected into it is
// forgotten, so the selection table holds only live device contexts.
void ForgetDeviceContext(HDC dc);

}  // namespace standin
