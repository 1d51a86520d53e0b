// Opening the SDL window behind a Win32 window, on the display that holds its position.
#include "platform/linux/standin.h"

namespace standin {

int DisplayAt(int x, int y) {
    SDL_Point point{x, y};
    int count = SDL_GetNumVideoDisplays();
    for (int i = 0; i < count; ++i) {
        SDL_Rect bounds{};
        if (SDL_GetDisplayBounds(i, &bounds) == 0 && SDL_PointInRect(&point, &bounds)) return i;
    }
    return 0;
}

bool OpenSdlWindow(Window& window, const char* title, int x, int y, int width, int height,
                   bool visible) {
    Uint32 flags = SDL_WINDOW_OPENGL;
    flags |= visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
    if ((window.style & WS_CAPTION) != WS_CAPTION) flags |= SDL_WINDOW_BORDERLESS;
    if ((window.style & WS_THICKFRAME) != 0) flags |= SDL_WINDOW_RESIZABLE;
    // SDL cannot make an empty window; Windows can, and reports the empty client area.
    int sdlWidth = width > 0 ? width : 1;
    int sdlHeight = height > 0 ? height : 1;
    if (window.fullscreen) {
        // Fullscreen is a borderless window over the whole of its display, in the desktop's
        // mode: the user's displays are never switched or rearranged, and a killed program
        // leaves nothing to restore. It is made at the display's size as well as marked
        // fullscreen, so that it covers the display even where no window manager acts on the
        // mark. Its drawable is used at its real pixel size.
        flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_ALLOW_HIGHDPI;
        SDL_Rect bounds{};
        if (SDL_GetDisplayBounds(DisplayAt(x, y), &bounds) == 0) {
            x = bounds.x;
            y = bounds.y;
            sdlWidth = bounds.w;
            sdlHeight = bounds.h;
        }
    }
    SDL_Window* sdl =
        SDL_CreateWindow(title != nullptr ? title : "", x, y, sdlWidth, sdlHeight, flags);
    if (sdl == nullptr) return false;
    window.sdl = sdl;
    window.sdlId = SDL_GetWindowID(sdl);
    return true;
}

}  // namespace standin
