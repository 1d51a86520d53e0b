// The window procedure: turns the few messages the demo cares about into the shared input
// state the main loop polls, and keeps the viewport in step with the client size.
#include "app/app.h"

#include "common/demo_state.h"
#include "render/render.h"

LRESULT CALLBACK DemoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ACTIVATE:
            // Only minimising stops the frames; losing the focus alone keeps the demo running.
            demoState.isActive = HIWORD(wParam) == 0;
            return 0;
        case WM_SYSCOMMAND:
            // The whole wParam is compared on purpose: only these two exact commands are swallowed.
            if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) {
                return 0;
            }
            break;
        case WM_CLOSE:
            // The loop ends on the quit message and tears the window down itself.
            PostQuitMessage(0);
            return 0;
        case WM_KEYDOWN:
            if (wParam < sizeof demoState.keyDown) {
                demoState.keyDown[wParam] = true;
            }
            return 0;
        case WM_KEYUP:
            if (wParam < sizeof demoState.keyDown) {
                demoState.keyDown[wParam] = false;
            }
            return 0;
        case WM_SIZE:
            ResizeViewport(LOWORD(lParam), HIWORD(lParam));
            return 0;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
