// SDL's events, told to the core as what they are: keys, focus, minimising, maximising and
// restoring, sizes and close requests of the program's surfaces.
#include "platform/desktop/desktop.h"

namespace standin::desktop {

namespace {

void OnKeyEvent(const SDL_KeyboardEvent& key) {
    Surface* surface = SurfaceOfWindowId(key.windowID);
    if (surface == nullptr) return;
    standin::OnKey(surface, VirtualKeyFor(key.keysym), key.type == SDL_KEYDOWN, key.repeat != 0,
                   (key.keysym.mod & KMOD_ALT) != 0);
}

void OnWindowEvent(const SDL_WindowEvent& event) {
    Surface* surface = SurfaceOfWindowId(event.windowID);
    if (surface == nullptr) return;
    switch (event.event) {
        case SDL_WINDOWEVENT_CLOSE:
            standin::OnCloseRequest(surface);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            standin::OnFocus(surface, true);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            standin::OnFocus(surface, false);
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            standin::OnMinimized(surface);
            break;
        case SDL_WINDOWEVENT_MAXIMIZED:
            standin::OnMaximized(surface);
            break;
        case SDL_WINDOWEVENT_RESTORED:
            standin::OnRestored(surface);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            standin::OnResized(surface);
            break;
        default:
            break;
    }
}

}  // namespace

void PumpEvents() {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return;
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        switch (event.type) {
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                OnKeyEvent(event.key);
                break;
            case SDL_WINDOWEVENT:
                OnWindowEvent(event.window);
                break;
            default:
                break;  // SDL_QUIT among them: closing goes through the window procedure
        }
    }
}

}  // namespace standin::desktop
