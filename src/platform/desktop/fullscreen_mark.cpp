// The fullscreen mark of a window that covers its display, given as the window managers'
// conventions (EWMH) ask of a client: in the window's _NET_WM_STATE before it is first mapped.
//
// SDL's own fullscreen flag sets the same mark only once the window is mapped, and then waits up
// to a tenth of a second for the manager to change the window, at every showing and again at
// its destruction. A window already at the display's size is left as it is, by a manager as
// by none, so each F1 would wait the whole tenth twice.
//
// The desktop's header comes first: Xlib's macros (None among them) would rewrite the core's
// names.
#include "platform/desktop/desktop.h"
// clang-format off
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
// clang-format on

namespace standin::desktop {

bool MarkFullscreenBeforeMapping(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    Display* display = info.info.x11.display;
    Atom state = XInternAtom(display, "_NET_WM_STATE", False);
    Atom fullscreen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
    XChangeProperty(display, info.info.x11.window, state, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&fullscreen), 1);
    XFlush(display);
    return true;
}

}  // namespace standin::desktop
