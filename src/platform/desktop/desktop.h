// The desktop backend: the Win32 core's surfaces, GL contexts, input, boxes and sound on SDL2,
// its glyphs from FreeType and fontconfig, its clock the monotonic one.
//
// The files here share this header; the core knows only backend.h. A program built on the
// desktop runs on Table(); the capture copies that table and replaces what it records.
#pragma once

#include <SDL.h>

#include <filesystem>
#include <string>

#include "platform/core/backend.h"
#include "platform/desktop/glyphs.h"

namespace standin {

// An SDL window standing for a Win32 window's client area.
struct Surface {
    SDL_Window* sdl;
    Uint32 id;
    bool coversDisplay;
    // The pixel format the SDL window was opened for; null: the shared visual.
    const PixelFormat* visual;
};

namespace desktop {

// The desktop's table, complete.
const Backend& Table();

// Starts SDL's video subsystem once; false (with SDL's reason in SDL_GetError) without a display.
bool EnsureVideo();
// Makes EnsureVideo start this SDL video driver, whatever the environment says, and accept it
// even where no screen could show it (the offscreen driver, for a program that never shows a
// window). Called by a start-up code before anything opens a window.
void UseVideoDriver(const char* driver);

// surfaces.cpp: the Surface entries of the table, and the desktop's own.
Surface* OpenSurface(const SurfaceSpec& spec);
void CloseSurface(Surface* surface);
void ShowSurface(Surface* surface, bool visible);
void MinimizeSurface(Surface* surface);
void MaximizeSurface(Surface* surface);
void RestoreSurface(Surface* surface);
void RaiseSurface(Surface* surface, bool focus);
void SurfaceSize(Surface* surface, int* width, int* height);
void SurfacePosition(Surface* surface, int* x, int* y);
void DrawableSize(Surface* surface, int* width, int* height);
bool SetSurfaceVisual(Surface* surface, const PixelFormat& format);
bool ReadDesktopMode(standin::DesktopMode* mode);
void ShowPointer(bool visible);
void AllowScreenSaver(bool allowed);
// The surface of an SDL window id; null for none of the program's.
Surface* SurfaceOfWindowId(Uint32 id);

// desktop_scale.cpp: the scale the desktop shows programs at that know nothing of DPI, as
// its settings give it (1 at 100%, 2 at 200%).
double DesktopScale();

// fullscreen_mark.cpp: the window manager's fullscreen mark set by hand on a window that has
// never been mapped; false where the window is not an X11 one.
bool MarkFullscreenBeforeMapping(SDL_Window* window);

// gl.cpp
SurfaceContext* CreateContext(Surface* surface);
bool MakeCurrent(Surface* surface, SurfaceContext* context);
void DeleteContext(SurfaceContext* context);
void* GlProcAddress(const char* name);
void Present(Surface* surface);

// events.cpp, keys.cpp
void PumpEvents();
// Windows' virtual-key code for an SDL key, 0 when it has none here.
BYTE VirtualKeyFor(const SDL_Keysym& key);

// clock.cpp
DWORD ClockMs();

// files.cpp
// The data folder of the program installed at this path.
std::string InstalledDataFolder(const std::filesystem::path& program);
// The path of the running program; empty where the system does not say.
std::filesystem::path RunningProgram();
// The name a program was started by (the last part of argv[0]), for its messages; the fallback
// where there is none.
const char* ProgramName(const char* argv0, const char* fallback);
// The running program's data folder; null where its path is unknown.
const char* DataFolder();

// message_box.cpp
int ShowBox(const char* caption, const char* text, BoxButtons buttons, BoxIcon icon);

// audio.cpp
bool PlaySoundFile(const SoundRequest& request);
void StopSound();

}  // namespace desktop
}  // namespace standin
