// The program's entry: the start-up question, the window, the music, and the frame loop
// with its two keys, Escape to quit and F1 to switch between fullscreen and a window.
#include "app/app.h"

#include "common/demo_state.h"
#include "render/render.h"

namespace {

constexpr const char* kTitle = "Quorvane";
constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kBits = 16;
constexpr const char* kMusic = "Data/tUrBiLo - Pelvarn.wav";

// The process ends with 0 after Escape or a close request, and with 1 when no window could
// be made, so a caller can tell the two apart.
constexpr int kExitNormal = 0;
constexpr int kExitNoWindow = 1;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (MessageBoxA(nullptr, "Would you like to run in fullscreen mode?", "Start FullScreen?",
                    MB_YESNO | MB_ICONQUESTION) == IDNO) {
        demoState.isFullscreen = false;
    }

    if (!CreateDemoWindow(kTitle, kWidth, kHeight, kBits, demoState.isFullscreen)) {
        return kExitNoWindow;
    }

    // Played once in the background; a missing file is no reason to stop the demo.
    PlaySoundA(kMusic, nullptr, SND_ASYNC);

    MSG message = {};
    bool done = false;
    while (!done) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                done = true;
            } else {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            continue;
        }

        // Never waits: an empty queue means a frame, or only a swap while minimised.
        if ((demoState.isActive && !RenderFrame()) || demoState.keyDown[VK_ESCAPE]) {
            done = true;
        } else {
            SwapBuffers(demoState.deviceContext);
        }

        // Acted on even when Escape came in the same turn: the switch happens, then the end.
        if (demoState.keyDown[VK_F1]) {
            demoState.keyDown[VK_F1] = false;
            DestroyDemoWindow();
            demoState.isFullscreen = !demoState.isFullscreen;
            if (!CreateDemoWindow(kTitle, kWidth, kHeight, kBits, demoState.isFullscreen)) {
                return kExitNoWindow;
            }
        }
    }

    DestroyDemoWindow();
    return kExitNormal;
}
