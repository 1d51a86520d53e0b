// ChangeDisplaySettingsA on SDL's fullscreen display modes.
//
// Windows switches the display at once; SDL switches it while a fullscreen window is shown. So
// an accepted mode is remembered, and a WS_POPUP window created at (0, 0) in exactly that size
// becomes a fullscreen SDL window in that mode: to the program it is the same thing. Restoring
// (a null mode) takes every such window back to the desktop mode.
#include <cstdlib>

#include "platform/linux/standin.h"

namespace {

// CDS_TEST: check the mode without switching.
constexpr DWORD kTestOnly = 0x00000002;
constexpr int kDisplay = 0;

void LeaveFullscreen() {
    for (standin::Window& window : standin::Tables().windows) {
        if (!window.used || !window.fullscreen) continue;
        SDL_SetWindowFullscreen(window.sdl, 0);
        window.fullscreen = false;
    }
    standin::Tables().display.fullscreenMode = false;
}

// The display's mode of that size nearest to the asked depth (and refresh rate, if asked).
bool FindMode(int width, int height, int bits, int refresh, SDL_DisplayMode* found) {
    int best = -1;
    int count = SDL_GetNumDisplayModes(kDisplay);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(kDisplay, i, &mode) != 0) continue;
        if (mode.w != width || mode.h != height) continue;
        int score = std::abs(static_cast<int>(SDL_BITSPERPIXEL(mode.format)) - bits) * 1000;
        if (refresh != 0 && mode.refresh_rate != 0) score += std::abs(mode.refresh_rate - refresh);
        if (best >= 0 && score >= best) continue;
        best = score;
        *found = mode;
    }
    return best >= 0;
}

}  // namespace

extern "C" LONG WINAPI ChangeDisplaySettingsA(LPDEVMODEA request, DWORD flags) {
    if (request == nullptr) {
        if (SDL_WasInit(SDL_INIT_VIDEO) != 0) LeaveFullscreen();
        return DISP_CHANGE_SUCCESSFUL;
    }
    if (!standin::EnsureVideo()) return DISP_CHANGE_FAILED;

    SDL_DisplayMode desktop{};
    if (SDL_GetDesktopDisplayMode(kDisplay, &desktop) != 0) return DISP_CHANGE_FAILED;
    // Fields not named in dmFields keep the desktop's values, as on Windows.
    DWORD fields = request->dmFields;
    int width = (fields & DM_PELSWIDTH) != 0 ? static_cast<int>(request->dmPelsWidth) : desktop.w;
    int height =
        (fields & DM_PELSHEIGHT) != 0 ? static_cast<int>(request->dmPelsHeight) : desktop.h;
    int bits = (fields & DM_BITSPERPEL) != 0 ? static_cast<int>(request->dmBitsPerPel)
                                             : static_cast<int>(SDL_BITSPERPIXEL(desktop.format));
    int refresh = (fields & DM_DISPLAYFREQUENCY) != 0
                      ? static_cast<int>(request->dmDisplayFrequency)
                      : 0;

    SDL_DisplayMode mode{};
    if (!FindMode(width, height, bits, refresh, &mode)) return DISP_CHANGE_BADMODE;
    if ((flags & kTestOnly) != 0) return DISP_CHANGE_SUCCESSFUL;

    standin::State& state = standin::Tables();
    state.display.mode = mode;
    state.display.fullscreenMode = true;
    for (standin::Window& window : state.windows) {
        if (window.used && window.fullscreen) SDL_SetWindowDisplayMode(window.sdl, &mode);
    }
    return DISP_CHANGE_SUCCESSFUL;
}
