// SDL video start-up: which video driver the desktop runs on, started once, on the first call
// that needs a display.
#include "platform/desktop/desktop.h"

namespace standin::desktop {

namespace {

const char* gVideoDriver = nullptr;  // the SDL video driver a start-up code chose, or null

}  // namespace

bool EnsureVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return true;
    // Left to itself SDL falls back on its offscreen driver, where windows are never seen; and
    // probing Wayland without a session prints its own complaints. Neither is a display.
    if (gVideoDriver != nullptr) {
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, gVideoDriver, SDL_HINT_OVERRIDE);
    }
    bool driverAsked = gVideoDriver != nullptr || SDL_getenv("SDL_VIDEODRIVER") != nullptr;
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
    return true;
}

void UseVideoDriver(const char* driver) { gVideoDriver = driver; }

}  // namespace standin::desktop
