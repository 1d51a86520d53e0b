// The browser backend: the Win32 core's surfaces are canvases, its GL contexts WebGL 1 ones
// under emscripten's legacy GL emulation (with legacy_gl.cpp filling what it lacks), its input
// DOM events, its boxes HTML dialogs, its sound Web Audio, its clock performance.now, and its
// glyphs the desktop's, rasterised at build time (glyph_data.h).
//
// The page's side of each call is in library_quorvane.js; the files here share this header.
#pragma once

#include "platform/core/backend.h"
#include "platform/core/default_sound.h"

namespace standin::browser {

// The browser's table, complete.
const Backend& Backend();

// Reads from the page which clock runs (performance.now, or a test's fixed one, on which frame n
// is drawn at floor(n * 1000 / fps) ms), and makes GL calls harmless until the program has a
// context of its own.
void Start();

}  // namespace standin::browser
