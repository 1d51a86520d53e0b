// What a backend reports, as Windows reports it: keys into the queue, window changes sent to
// the procedure at once.
//
// Keys become WM_KEYDOWN/WM_KEYUP, or WM_SYSKEYDOWN/WM_SYSKEYUP for F10, Alt itself and any key
// pressed while Alt is held, with Windows' lParam flags (repeat count 1, context code, previous
// state, transition); scan codes are not reported. The close button becomes SC_CLOSE, which
// DefWindowProcA turns into WM_CLOSE, as the title bar's close does on Windows.
#include "platform/core/core.h"

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

HWND WindowOf(standin::Surface* surface) {
    const standin::Window* window = standin::LookUpWindowBySurface(surface);
    return window != nullptr ? window->handle : nullptr;
}

}  // namespace

namespace standin {

void OnKey(Surface* surface, BYTE vk, bool down, bool repeat, bool alt) {
    HWND handle = WindowOf(surface);
    if (handle == nullptr || vk == 0) return;
    alt = alt || vk == VK_MENU;
    bool system = alt || vk == VK_F10;
    UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    PostToQueue(handle, message, vk, KeyFlags(down, repeat, alt));
}

void OnFocus(Surface* surface, bool gained) {
    HWND handle = WindowOf(surface);
    if (gained) {
        Activate(handle);
    } else {
        Deactivate(handle);
    }
}

void OnMinimized(Surface* surface) { ReportMinimized(WindowOf(surface)); }

void OnMaximized(Surface* surface) {
    Window* window = LookUpWindowBySurface(surface);
    if (window == nullptr) return;
    window->maximized = true;
    ReportClientSize(window->handle, true);
}

void OnRestored(Surface* surface) {
    Window* window = LookUpWindowBySurface(surface);
    if (window == nullptr) return;
    if (window->minimized) {
        ReportRestored(window->handle);
    } else if (window->maximized) {
        window->maximized = false;
        ReportClientSize(window->handle, true);
    }
}

void OnResized(Surface* surface) {
    const Window* window = LookUpWindowBySurface(surface);
    if (window != nullptr && !window->minimized) ReportClientSize(window->handle, false);
}

void OnCloseRequest(Surface* surface) {
    HWND handle = WindowOf(surface);
    if (handle != nullptr) PostToQueue(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
}

}  // namespace standin
