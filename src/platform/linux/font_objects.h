// What the stand-in's font objects are, shared by the GDI object calls, the glyph lists and
// the window layer, which owns the device contexts.
#pragma once

#include "platform/win32.h"

namespace standin {

struct ResolvedFace;

// The face of the font selected into a device context; null when none (or the stock font,
// which has no glyphs here) is, or when the system had no usable font for the request.
const ResolvedFace* SelectedFace(HDC dc);

// A device context is gone (its window was destroyed): whatever was selected into it is
// forgotten, so the selection table holds only live device contexts.
void ForgetDeviceContext(HDC dc);

}  // namespace standin
