// SDL events as window messages: keys into the queue, window changes sent to the procedure.
//
// Keys become WM_KEYDOWN/WM_KEYUP, or WM_SYSKEYDOWN/WM_SYSKEYUP for F10, Alt itself and any key
// pressed while Alt is held, with Windows' lParam flags (repeat count 1, context code, previous
// state, transition); scan codes are not reported. The close button becomes SC_CLOSE, which
// DefWindowProcA turns into WM_CLOSE, as the title bar's close does on Windows.
#include "platform/linux/standin.h"

namespace {

constexpr DWORD kContextCode = 1u << 29;
constexpr DWORD kPreviousState = 1u << 30;
constexpr DWORD kTransition = 1u << 31;

LPARAM KeyFlags(bool down, bool repeat, bool alt) {
    DWORD flags = 1;
    if (alt) flags |= kContextCode;
    if (!down || repeat) flags |= kPreviousState;
    if (!down) flags |= kTransition;
    return static_cast<LPARAM>(flags);
}

void OnKey(const SDL_KeyboardEvent& key) {
    standin::Window* window = standin::LookUpWindowBySdlId(key.windowID);
    if (window == nullptr) return;
    BYTE vk = standin::VirtualKeyFor(key.keysym);
    if (vk == 0) return;
    bool down = key.type == SDL_KEYDOWN;
    bool alt = (key.keysym.mod & KMOD_ALT) != 0 || vk == VK_MENU;
    bool system = alt || vk == VK_F10;
    UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    standin::PostToQueue(window->handle, message, vk, KeyFlags(down, key.repeat != 0, alt));
}

void OnWindowEvent(const SDL_WindowEvent& event) {
    standin::Window* window = standin::LookUpWindowBySdlId(event.windowID);
    if (window == nullptr) return;
    HWND handle = window->handle;
    switch (event.event) {
        case SDL_WINDOWEVENT_CLOSE:
            standin::PostToQueue(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            standin::Activate(handle);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            standin::Deactivate(handle);
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            standin::ReportMinimized(handle);
            break;
        case SDL_WINDOWEVENT_MAXIMIZED:
            window->maximized = true;
            standin::ReportClientSize(handle, true);
            break;
        case SDL_WINDOWEVENT_RESTORED:
            if (window->minimized) {
                standin::ReportRestored(handle);
            } else if (window->maximized) {
                window->maximized = false;
                standin::ReportClientSize(handle, true);
            }
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            if (!window->minimized) standin::ReportClientSize(handle, false);
            break;
        default:
            break;
    }
}

}  // namespace

namespace standin {

void PumpEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        switch (event.type) {
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                OnKey(event.key);
                break;
            case SDL_WINDOWEVENT:
                OnWindowEvent(event.window);
                break;
            default:
                break;  // SDL_QUIT among them: closing goes through the window procedure
        }
    }
}

}  // namespace standin
