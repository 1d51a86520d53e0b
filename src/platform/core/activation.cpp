// The active window and the keyboard focus: SetForegroundWindow, SetFocus, and the messages
// that tell a window it gained or lost either.
//
// Both are kept here as the program has been told them, so that a change is reported once,
// when it happens, whether a call of the program or the window manager (through the backend's
// focus events) made it. The windowing system's input focus is asked to follow the program's
// calls.
#include "platform/core/core.h"

namespace {

WPARAM Activation(WORD state, HWND handle) {
    const standin::Window* window = standin::LookUpWindow(handle);
    return MAKEWPARAM(state, window != nullptr && window->minimized ? 1 : 0);
}

// Asks the window whether it lets the screen saver start: a window that swallows the request
// keeps the screen saver (and monitor power-down) off while it is active.
void CheckScreenSaver(HWND window) {
    bool allowed = standin::SendToWindow(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0) ==
                   standin::kScreenSaverAllowed;
    standin::TheBackend().allowScreenSaver(standin::LookUpWindow(window) == nullptr || allowed);
}

}  // namespace

namespace standin {

void Activate(HWND window) {
    State& state = Tables();
    if (LookUpWindow(window) == nullptr || state.active == window) return;
    if (state.active != nullptr) Deactivate(state.active);
    state.active = window;
    SendToWindow(window, WM_ACTIVATE, Activation(WA_ACTIVE, window), 0);
    if (state.active == window) CheckScreenSaver(window);
}

void Deactivate(HWND window) {
    State& state = Tables();
    if (window == nullptr || state.active != window) return;
    state.active = nullptr;
    SendToWindow(window, WM_ACTIVATE, Activation(WA_INACTIVE, window), 0);
    if (state.focus == window) MoveFocus(nullptr);
    TheBackend().allowScreenSaver(true);
}

HWND MoveFocus(HWND window) {
    State& state = Tables();
    HWND previous = state.focus;
    if (previous == window) return previous;
    state.focus = window;
    if (previous != nullptr) {
        SendToWindow(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    }
    if (window != nullptr) {
        SendToWindow(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    }
    return previous;
}

}  // namespace standin

extern "C" BOOL WINAPI SetForegroundWindow(HWND handle) {
    standin::Window* window = standin::LookUpWindow(handle);
    if (window == nullptr) return FALSE;
    standin::TheBackend().raiseSurface(window->surface, false);
    standin::Activate(handle);
    return TRUE;
}

extern "C" HWND WINAPI SetFocus(HWND handle) {
    standin::State& state = standin::Tables();
    HWND previous = state.focus;
    if (handle == nullptr) {
        standin::MoveFocus(nullptr);
        return previous;
    }
    if (standin::LookUpWindow(handle) == nullptr) return nullptr;
    // Focusing a window of an inactive top-level window activates it first, which may already
    // give it the focus.
    standin::Activate(handle);
    standin::MoveFocus(handle);
    standin::Window* window = standin::LookUpWindow(handle);
    if (window != nullptr && state.focus == handle) {
        standin::TheBackend().raiseSurface(window->surface, true);
    }
    return previous;
}
