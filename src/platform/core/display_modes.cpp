// ChangeDisplaySettingsA as a promise to the program, never a change to the user's display.
//
// Switching the real display is what users of old fullscreen programs on Linux hate most: a
// killed program leaves the desktop at 640x480, other monitors are rearranged, a wide panel
// stretches the picture, some panels have no such mode, Wayland has no mode setting at all. So
// an accepted mode is only recorded. A WS_POPUP window then created at (0, 0) in exactly that
// size covers the whole display, while the program draws at the mode's size and depth into an
// offscreen frame that is scaled to the screen (frames.cpp, scaler.cpp).
#include "platform/core/core.h"

namespace {

// The depths the displays of the program's time offered.
constexpr int kDepths[] = {8, 15, 16, 24, 32};

bool KnownDepth(int bits) {
    for (int depth : kDepths) {
        if (depth == bits) return true;
    }
    return false;
}

}  // namespace

extern "C" LONG WINAPI ChangeDisplaySettingsA(LPDEVMODEA request, DWORD flags) {
    standin::State& state = standin::Tables();
    if (request == nullptr) {
        // Windows made for the mode stay as they are until the program destroys them, as it
        // does next; switching them back first would only flash a window on the desktop.
        state.display.modePromised = false;
        return DISP_CHANGE_SUCCESSFUL;
    }
    // Without a display there can be no fullscreen window.
    standin::DesktopMode desktop{};
    if (!standin::TheBackend().desktopMode(&desktop)) return DISP_CHANGE_FAILED;
    // Fields not named in dmFields keep the desktop's values, as on Windows.
    DWORD fields = request->dmFields;
    int width =
        (fields & DM_PELSWIDTH) != 0 ? static_cast<int>(request->dmPelsWidth) : desktop.width;
    int height =
        (fields & DM_PELSHEIGHT) != 0 ? static_cast<int>(request->dmPelsHeight) : desktop.height;
    int bits =
        (fields & DM_BITSPERPEL) != 0 ? static_cast<int>(request->dmBitsPerPel) : desktop.bits;

    // The picture is only ever scaled up, so the mode must fit inside the desktop.
    if (width <= 0 || height <= 0 || width > desktop.width || height > desktop.height ||
        !KnownDepth(bits)) {
        return DISP_CHANGE_BADMODE;
    }
    if ((flags & CDS_TEST) != 0) return DISP_CHANGE_SUCCESSFUL;

    state.display.modePromised = true;
    state.display.width = width;
    state.display.height = height;
    state.display.bits = bits;
    return DISP_CHANGE_SUCCESSFUL;
}
