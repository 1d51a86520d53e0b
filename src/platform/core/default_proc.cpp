// DefWindowProcA: Windows' default handling of the messages the stand-in produces.
//
// Creation goes on (WM_NCCREATE is answered TRUE) with the frame taken off the window rectangle
// (WM_NCCALCSIZE), an activated window takes the keyboard focus, a close request destroys the
// window, the system menu's commands minimise, maximise or restore it, and a screen saver request
// that reaches this point lets the screen saver run, answered with kScreenSaverAllowed (it is not
// started here: the desktop starts it when it is due). Everything else is answered with 0.
#include "platform/core/core.h"

namespace {

// DefWindowProcA ignores the four low bits of a system command, which Windows uses internally.
constexpr WPARAM kCommandMask = 0xFFF0;

LRESULT SystemCommand(HWND handle, WPARAM command) {
    standin::Window* window = standin::LookUpWindow(handle);
    if (window == nullptr) return 0;
    switch (command & kCommandMask) {
        case SC_CLOSE:
            standin::SendToWindow(handle, WM_CLOSE, 0, 0);
            break;
        case SC_MINIMIZE:
            ShowWindow(handle, SW_MINIMIZE);
            break;
        case SC_MAXIMIZE:
            standin::TheBackend().maximizeSurface(window->surface);
            break;
        case SC_RESTORE:
            ShowWindow(handle, SW_RESTORE);
            break;
        case SC_SCREENSAVE:
            return standin::kScreenSaverAllowed;
        default:
            break;
    }
    return 0;
}

// The window rectangle becomes the client rectangle: the frame of the window's style comes off.
void ClientArea(HWND handle, LPRECT rect) {
    const standin::Window* window = standin::LookUpWindow(handle);
    if (window == nullptr) return;
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, window->style, FALSE, window->exStyle);
    rect->left -= frame.left;
    rect->top -= frame.top;
    rect->right -= frame.right;
    rect->bottom -= frame.bottom;
}

}  // namespace

extern "C" LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            return TRUE;
        case WM_NCCALCSIZE:
            if (wParam == FALSE && lParam != 0)
                ClientArea(window, reinterpret_cast<LPRECT>(lParam));
            return 0;
        case WM_ACTIVATE:
            // A window activated while not minimised takes the keyboard focus.
            if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0) SetFocus(window);
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_SYSCOMMAND:
            return SystemCommand(window, wParam);
        default:
            return 0;
    }
}
