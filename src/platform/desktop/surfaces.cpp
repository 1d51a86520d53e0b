// Surfaces as SDL windows, on the display that holds their position; the desktop's mode, the
// mouse pointer and the screen saver.
//
// SDL on X11 fixes the GL visual when a window is created, so windows are opened with one
// visual that serves every double-buffered format without alpha or stencil (any colour depth,
// the largest depth buffer); setting such a format only records it. The other formats
// re-create the still-hidden SDL window with their own GL attributes.
//
// The core speaks in the program's pixels, those of a desktop at 100%. On a scaled desktop a
// window's SDL window has that size times the desktop's scale, and its sizes and positions are
// told to the core divided by it; the core draws the program's picture offscreen and scales it
// to the real pixels, as Windows shows a program that knows nothing of DPI.
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/desktop/desktop.h"

namespace standin::desktop {

namespace {

// Every open surface, so that an SDL window id finds its own; CloseSurface takes it out.
std::vector<Surface*> gSurfaces;

int DisplayAt(int x, int y) {
    SDL_Point point{x, y};
    int count = SDL_GetNumVideoDisplays();
    for (int i = 0; i < count; ++i) {
        SDL_Rect bounds{};
        if (SDL_GetDisplayBounds(i, &bounds) == 0 && SDL_PointInRect(&point, &bounds)) return i;
    }
    return 0;
}

void SetGlAttributes(const PixelFormat* format) {
    SDL_GL_ResetAttributes();
    if (format == nullptr) return;
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, format->doubleBuffer ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, format->redBits);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, format->greenBits);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, format->blueBits);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, format->alphaBits);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, format->depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, format->stencilBits);
}

int ToReal(int programPixels) {
    return static_cast<int>(std::lround(programPixels * DesktopScale()));
}

int ToProgram(int realPixels) { return static_cast<int>(std::lround(realPixels / DesktopScale())); }

// The SDL window for a surface, with the GL attributes already set; its size and place in real
// pixels.
SDL_Window* OpenSdlWindow(const SurfaceSpec& spec) {
    Uint32 flags = SDL_WINDOW_OPENGL;
    flags |= spec.visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
    if (!spec.framed) flags |= SDL_WINDOW_BORDERLESS;
    if (spec.resizable) flags |= SDL_WINDOW_RESIZABLE;
    int x = spec.x;
    int y = spec.y;
    // SDL cannot make an empty window; Windows can, and reports the empty client area.
    int width = spec.width > 0 ? spec.width : 1;
    int height = spec.height > 0 ? spec.height : 1;
    if (spec.coversDisplay) {
        // Fullscreen is a borderless window over the whole of its display, in the desktop's
        // mode: the user's displays are never switched or rearranged, and a killed program
        // leaves nothing to restore. It is made at the display's size as well as marked
        // fullscreen, so that it covers the display even where no window manager acts on the
        // mark. Its drawable is used at its real pixel size.
        flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALLOW_HIGHDPI;
        SDL_Rect bounds{};
        if (SDL_GetDisplayBounds(DisplayAt(x, y), &bounds) == 0) {
            x = bounds.x;
            y = bounds.y;
            width = bounds.w;
            height = bounds.h;
        }
        // The mark goes on before the window is first shown: by hand on X11 (see
        // fullscreen_mark.cpp), elsewhere by SDL's flag.
        flags = (flags & ~SDL_WINDOW_SHOWN) | SDL_WINDOW_HIDDEN;
        SDL_Window* window = SDL_CreateWindow(spec.title, x, y, width, height, flags);
        if (window == nullptr) return nullptr;
        if (!MarkFullscreenBeforeMapping(window)) {
            SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
        }
        if (spec.visible) SDL_ShowWindow(window);
        return window;
    }
    return SDL_CreateWindow(spec.title, x, y, width, height, flags);
}

// The visual of the shared SDL window is double-buffered, has no alpha and no stencil buffer,
// and the largest depth buffer the display offers (24 bits on Mesa).
bool SharedVisualServes(const PixelFormat& format) {
    return format.doubleBuffer && format.alphaBits == 0 && format.stencilBits == 0;
}

// Replaces the surface's SDL window by one made with the format's GL attributes, at the same
// real size and place; the old one stays if the new one cannot be made.
bool Reopen(Surface& surface, const PixelFormat& format) {
    char title[256] = {};
    std::strncpy(title, SDL_GetWindowTitle(surface.sdl), sizeof title - 1);
    SurfaceSpec spec{};
    spec.title = title;
    SDL_GetWindowPosition(surface.sdl, &spec.x, &spec.y);
    SDL_GetWindowSize(surface.sdl, &spec.width, &spec.height);
    const Uint32 flags = SDL_GetWindowFlags(surface.sdl);
    spec.visible = (flags & SDL_WINDOW_SHOWN) != 0;
    spec.framed = (flags & SDL_WINDOW_BORDERLESS) == 0;
    spec.resizable = (flags & SDL_WINDOW_RESIZABLE) != 0;
    spec.coversDisplay = surface.coversDisplay;
    SetGlAttributes(&format);
    SDL_Window* fresh = OpenSdlWindow(spec);
    if (fresh == nullptr) return false;
    SDL_DestroyWindow(surface.sdl);
    surface.sdl = fresh;
    surface.id = SDL_GetWindowID(fresh);
    surface.visual = &format;
    return true;
}

}  // namespace

Surface* OpenSurface(const SurfaceSpec& spec) {
    if (!EnsureVideo()) return nullptr;
    // Every surface gets the visual that serves the usual pixel formats, whatever an earlier
    // SetPixelFormat asked of SDL.
    SetGlAttributes(nullptr);
    SurfaceSpec real = spec;
    real.x = ToReal(spec.x);
    real.y = ToReal(spec.y);
    real.width = ToReal(spec.width);
    real.height = ToReal(spec.height);
    SDL_Window* sdl = OpenSdlWindow(real);
    if (sdl == nullptr) return nullptr;
    Surface* surface = new Surface{sdl, SDL_GetWindowID(sdl), spec.coversDisplay, nullptr};
    gSurfaces.push_back(surface);
    return surface;
}

void CloseSurface(Surface* surface) {
    if (surface == nullptr) return;
    SDL_DestroyWindow(surface->sdl);
    std::erase(gSurfaces, surface);
    delete surface;
}

Surface* SurfaceOfWindowId(Uint32 id) {
    for (Surface* surface : gSurfaces) {
        if (surface->id == id) return surface;
    }
    return nullptr;
}

void ShowSurface(Surface* surface, bool visible) {
    if (visible) {
        SDL_ShowWindow(surface->sdl);
    } else {
        SDL_HideWindow(surface->sdl);
    }
}

void MinimizeSurface(Surface* surface) { SDL_MinimizeWindow(surface->sdl); }

void MaximizeSurface(Surface* surface) { SDL_MaximizeWindow(surface->sdl); }

void RestoreSurface(Surface* surface) { SDL_RestoreWindow(surface->sdl); }

void RaiseSurface(Surface* surface, bool focus) {
    if (focus) {
        SDL_SetWindowInputFocus(surface->sdl);
    } else {
        SDL_RaiseWindow(surface->sdl);
    }
}

void SurfaceSize(Surface* surface, int* width, int* height) {
    SDL_GetWindowSize(surface->sdl, width, height);
    *width = ToProgram(*width);
    *height = ToProgram(*height);
}

void SurfacePosition(Surface* surface, int* x, int* y) {
    SDL_GetWindowPosition(surface->sdl, x, y);
    *x = ToProgram(*x);
    *y = ToProgram(*y);
}

void DrawableSize(Surface* surface, int* width, int* height) {
    SDL_GL_GetDrawableSize(surface->sdl, width, height);
}

bool SetSurfaceVisual(Surface* surface, const PixelFormat& format) {
    if (surface->visual == &format || SharedVisualServes(format)) return true;
    return Reopen(*surface, format);
}

bool ReadDesktopMode(standin::DesktopMode* mode) {
    SDL_DisplayMode desktop{};
    if (!EnsureVideo() || SDL_GetDesktopDisplayMode(DisplayAt(0, 0), &desktop) != 0) return false;
    *mode = {desktop.w, desktop.h, static_cast<int>(SDL_BITSPERPIXEL(desktop.format))};
    return true;
}

void ShowPointer(bool visible) {
    if (EnsureVideo()) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void AllowScreenSaver(bool allowed) {
    if (allowed) {
        SDL_EnableScreenSaver();
    } else {
        SDL_DisableScreenSaver();
    }
}

}  // namespace standin::desktop
