// The browser backend: the Win32 core's surfaces are canvases, its GL contexts WebGL 1 ones
// beneath our own GL 1.1 (gl_layer.h), its input DOM events, its boxes HTML dialogs, its sound
// Web Audio, its clock performance.now, and its glyphs the desktop's, rasterised at build time
// (glyph_data.h).
//
// The page's side of each call is in library_quorvane.js; the files here share this header.
#pragma once

#include "platform/core/backend.h"
#include "platform/core/default_sound.h"

namespace standin::browser {

// The browser's table, complete.
const Backend& Table();

// Reads from the page which clock runs (performance.now, or a test's fixed one, on which frame n
// is drawn at floor(n * 1000 / fps) ms), and has the GL layer's shaders compiled while the
// program's first question waits.
void Start();

// The GL layer (gl_layer.h), as the backend drives it. UseGlContext follows WebGL's current
// context (0: none, and GL calls do nothing); ForgetGlContext lets go of a deleted context's
// state. DrawQueued draws what the layer has gathered: before WebGL's current context changes,
// before a frame is shown, and before each call after which the core may use the GL entry points
// it fetched (glProcAddress), all of which WebGL would otherwise see before the layer's draws.
// PrepareGl compiles the layer's shaders on whatever context is current, so that the browser
// has them at hand when a context of the program's asks for the same.
void UseGlContext(int handle);
void ForgetGlContext(int handle);
void DrawQueued();
void PrepareGl();

}  // namespace standin::browser
