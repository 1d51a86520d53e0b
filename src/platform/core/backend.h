// The seam between the Win32 core and what lies beneath it: the one header a new backend reads.
//
// The core keeps Windows' rules (handles, classes, windows and their messages in Windows'
// order, the queue, activation and focus, device contexts and pixel formats, GL contexts, font
// objects and glyph lists, the display-mode promise and the scaling of pictures, what PlaySoundA's
// flags and MessageBoxA's buttons mean). A backend does what a windowing system does, and
// nothing of Win32: it opens surfaces, makes GL contexts, shows frames, keeps time, reads
// input, plays sound, shows boxes and rasterises glyphs.
//
// Two parts, named for the direction of the call:
//   - Backend: what the core calls down. A backend fills one table of these and installs it
//     with UseBackend before the program's first Win32 call; an entry it leaves null does
//     what the null backend does (null_backend.cpp). A policy is a backend too: the
//     capture copies the desktop's table and replaces the clock, the boxes, the sound and the
//     presenting of frames.
//   - The event calls below it: what a backend calls up, from within pumpEvents or present,
//     when the user or the windowing system acts on a surface.
//
// Everything runs on the program's one thread, except where an entry says otherwise.
#pragma once

#include <cstdint>

#include "platform/win32.h"

namespace standin {

// A backend's window: one per Win32 window, opaque to the core.
struct Surface;
// A backend's GL context, opaque to the core.
struct SurfaceContext;
// A font face the backend resolved, opaque to the core.
struct FontFace;

// What a window needs of its surface, in the program's pixels: those of a desktop at 100%,
// which a backend scales by the desktop's scale, as Windows does for a program that knows
// nothing of DPI.
struct SurfaceSpec {
    const char* title;
    int x;  // where the client area goes
    int y;
    int width;  // the client area; may be 0
    int height;
    bool visible;
    bool framed;     // a caption and border from the window manager, or none
    bool resizable;  // the user may drag its size
    // Made for the promised display mode: borderless over the whole display at (x, y), at the
    // display's real pixels.
    bool coversDisplay;
};

// A pixel format the core offers; the sizes are minimums.
struct PixelFormat {
    bool doubleBuffer;
    BYTE colorBits;
    BYTE redBits;
    BYTE greenBits;
    BYTE blueBits;
    BYTE alphaBits;
    BYTE depthBits;
    BYTE stencilBits;
};

// What CreateFontA asked for, as far as it changes the glyphs.
struct FontRequest {
    int height;  // as CreateFontA takes it: < 0 character height, > 0 cell height, 0 default
    int weight;  // GDI (OpenType) weight; 0 is "don't care"
    bool italic;
    const char* face;  // never null; may be empty: any family
};

// A 1-bit glyph bitmap ready for glBitmap: rows bottom-up, each (width + 7) / 8 bytes, no
// padding; origin and advance in pixels.
struct GlyphBitmap {
    bool present;  // false: the code has no glyph here, its list stays empty
    GLsizei width;
    GLsizei rows;
    GLfloat xorig;
    GLfloat yorig;
    GLfloat advance;
    const GLubyte* bits;  // null when the glyph sets no pixel (a space)
};

// The display mode of the desktop a fullscreen window would cover.
struct DesktopMode {
    int width;
    int height;
    int bits;
};

enum class BoxButtons { Ok, YesNo };
enum class BoxIcon { None, Stop, Exclamation, Information, Question };

// What PlaySoundA's flags ask of a file.
struct SoundRequest {
    const char* path;  // as found: relative to the current folder, or in the data folder
    bool wait;         // return only once it has played (SND_SYNC); else at once
    bool useDefault;   // a file that cannot be played gives the default sound, else silence
};

struct Backend {
    // ---- Surfaces ----
    // Opens a surface with the GL attributes of the shared visual (see setPixelFormat); null
    // when it cannot be had (no display among the reasons).
    Surface* (*openSurface)(const SurfaceSpec& spec);
    // Closes it; a context made on it survives, no longer current.
    void (*closeSurface)(Surface* surface);
    void (*showSurface)(Surface* surface, bool visible);
    void (*minimizeSurface)(Surface* surface);
    void (*maximizeSurface)(Surface* surface);
    void (*restoreSurface)(Surface* surface);
    // Brings it to the front, and asks for the keyboard's input focus where `focus` is set.
    void (*raiseSurface)(Surface* surface, bool focus);
    // The client area's size and position in the program's pixels, as the windowing system has
    // them (its size in real pixels divided by the scale the backend gave it).
    void (*surfaceSize)(Surface* surface, int* width, int* height);
    void (*surfacePosition)(Surface* surface, int* x, int* y);
    // The size in real pixels of what a frame is shown on. Wherever it is not the program's
    // picture (a surface covering the display, a scaled window, a canvas at the device's
    // pixels), the core draws the picture offscreen and scales it to this size itself, sharp,
    // its shape kept, black bars around: a backend reports sizes, it never scales.
    void (*drawableSize)(Surface* surface, int* width, int* height);
    // Gives the surface a visual for the pixel format, one of the core's, which live as long as
    // the process. Formats the shared visual serves are only recorded; others may re-create a
    // surface that was never made current. False when the windowing system has no such visual.
    bool (*setPixelFormat)(Surface* surface, const PixelFormat& format);

    // ---- GL contexts ----
    // A compatibility context (GL 1.1 and up) for the surface's visual; null on failure. It
    // may be left current: the core puts its own binding back.
    SurfaceContext* (*createContext)(Surface* surface);
    // Makes the context current on the surface, frames following the display's refresh where
    // the driver allows; (null, null) releases the thread's context. False on failure.
    bool (*makeCurrent)(Surface* surface, SurfaceContext* context);
    void (*deleteContext)(SurfaceContext* context);
    // A GL entry point of the current context's driver; null when it has none.
    void* (*glProcAddress)(const char* name);
    // Shows the finished frame of the surface whose context is current: its drawable already
    // holds the picture, scaled where it had to be. The program's own frame, at the program's
    // size (the viewport it draws into), is bound for reading: the drawable's back buffer, or
    // the core's offscreen frame. Whatever GL state it changes it puts back.
    void (*present)(Surface* surface);

    // ---- The desktop ----
    // The mode of the display holding the desktop's origin; false without a display.
    bool (*desktopMode)(DesktopMode* mode);
    // Shows or hides the mouse pointer over the program's surfaces.
    void (*showCursor)(bool visible);
    // Lets the screen saver and monitor power-down start, or keeps them off.
    void (*allowScreenSaver)(bool allowed);

    // ---- Time and input ----
    // Milliseconds from some fixed moment, wrapping at 2^32.
    DWORD (*clockMs)();
    // Turns whatever the windowing system reported since the last call into the event calls
    // below, before returning.
    void (*pumpEvents)();

    // ---- Files ----
    // Where the installed program keeps its files: the folder a relative file name the current
    // folder lacks is looked for in, as Windows searches its path; null where there is none.
    const char* (*dataFolder)();

    // ---- Boxes and sound ----
    // Shows a modal box and answers IDOK, IDYES or IDNO; 0 when no box could be shown.
    int (*showBox)(const char* caption, const char* text, BoxButtons buttons, BoxIcon icon);
    // Plays the file in place of whatever plays; a file it cannot play is said on stderr in one
    // line, and then gives the default sound or silence as asked. False only where the answer
    // is known at once to be "not played" (no audio device, or a waited-for file that failed).
    bool (*playSound)(const SoundRequest& request);
    // Silences whatever plays.
    void (*stopSound)();

    // ---- Glyphs ----
    // The closest face the system has for the request, as Windows' font mapper always finds
    // one; null only when there is no usable font at all (said once on stderr). Faces live
    // until the process ends.
    const FontFace* (*resolveFont)(const FontRequest& request);
    // The glyph of a Windows-1252 code (0..255) of the face; valid until the process ends.
    const GlyphBitmap& (*glyph)(const FontFace* face, DWORD code);
};

// Installs the backend every later Win32 call goes to (a copy of the table, whose empty entries
// do what the null backend does: nothing to be had, nothing shown).
void UseBackend(const Backend* backend);
// The backend installed last.
const Backend& TheBackend();

// ---- What a backend calls up ----
// A key went down or up on the surface's window, with Windows' virtual-key code; `repeat` for
// an auto-repeated press, `alt` while Alt is held (or is the key).
void OnKey(Surface* surface, BYTE vk, bool down, bool repeat, bool alt);
// The surface gained or lost the keyboard focus.
void OnFocus(Surface* surface, bool gained);
void OnMinimized(Surface* surface);
void OnMaximized(Surface* surface);
// Back from minimised or maximised.
void OnRestored(Surface* surface);
// The user resized it; its new size is read with surfaceSize.
void OnResized(Surface* surface);
// The user asked to close it (its close button).
void OnCloseRequest(Surface* surface);

}  // namespace standin
