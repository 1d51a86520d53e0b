// The windowing stand-in's tables, their look-ups, SDL video start-up and SDL window opening.
#include "platform/linux/standin.h"

namespace standin {

namespace {

State gState{};

// Handles start well above small integers, so that 0, 1 or a stray count never passes as one.
constexpr std::uintptr_t kFirstHandle = 0x10000;
constexpr std::uintptr_t kHandleStep = 4;

}  // namespace

State& Tables() { return gState; }

bool EnsureVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return true;
    // Left to itself SDL falls back on its offscreen driver, where windows are never seen; and
    // probing Wayland without a session prints its own complaints. Neither is a display.
    if (gState.videoDriver != nullptr) {
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, gState.videoDriver, SDL_HINT_OVERRIDE);
    }
    bool driverAsked = gState.videoDriver != nullptr || SDL_getenv("SDL_VIDEODRIVER") != nullptr;
    if (!driverAsked && SDL_getenv("DISPLAY") == nullptr &&
        SDL_getenv("WAYLAND_DISPLAY") == nullptr) {
        SDL_SetError("neither DISPLAY nor WAYLAND_DISPLAY is set");
        return false;
    }
    // Windows leaves the screen saver alone unless the focused window declines it, and
    // Ctrl+C in a terminal ends the process rather than becoming a message.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driverAsked && driver != nullptr &&
        (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_SetError("no X11 or Wayland display could be reached");
        return false;
    }
    // The display counter decides the cursor: start from Windows' visible default.
    SDL_ShowCursor(gState.cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return true;
}

void UseVideoDriver(const char* driver) { gState.videoDriver = driver; }

std::uintptr_t NewHandle() {
    if (gState.nextHandle == 0) gState.nextHandle = kFirstHandle;
    std::uintptr_t handle = gState.nextHandle;
    gState.nextHandle += kHandleStep;
    return handle;
}

Window* LookUpWindow(HWND window) {
    if (window == nullptr) return nullptr;
    for (Window& entry : gState.windows) {
        if (entry.used && entry.handle == window) return &entry;
    }
    return nullptr;
}

Window* LookUpWindowByDc(HDC dc) {
    if (dc == nullptr) return nullptr;
    for (Window& entry : gState.windows) {
        if (entry.used && entry.dc == dc) return &entry;
    }
    return nullptr;
}

Window* LookUpWindowBySdlId(Uint32 id) {
    for (Window& entry : gState.windows) {
        if (entry.used && entry.sdl != nullptr && entry.sdlId == id) return &entry;
    }
    return nullptr;
}

GlContext* LookUpContext(HGLRC context) {
    if (context == nullptr) return nullptr;
    for (GlContext& entry : gState.contexts) {
        if (entry.used && entry.handle == context) return &entry;
    }
    return nullptr;
}

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
