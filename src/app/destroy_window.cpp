// Teardown of the window and its rendering context: the desktop display mode comes back
// first, then every handle is released in the reverse order of its creation.
#include "app/app.h"

#include "common/demo_state.h"

namespace {

constexpr const char* kShutdownCaption = "SHUTDOWN ERROR";

void ReportShutdownError(const char* text) {
    MessageBoxA(nullptr, text, kShutdownCaption, MB_OK | MB_ICONINFORMATION);
}

}  // namespace

void DestroyDemoWindow() {
    // Each step runs whatever the others did, and every handle is forgotten once its release
    // was tried, so a later teardown never releases anything twice.
    if (demoState.isFullscreen) {
        ChangeDisplaySettingsA(nullptr, 0);
        ShowCursor(TRUE);
    }

    if (demoState.renderContext != nullptr) {
        if (!wglMakeCurrent(nullptr, nullptr)) {
            ReportShutdownError("Release of DC and RC failed.");
        }
        if (!wglDeleteContext(demoState.renderContext)) {
            ReportShutdownError("Release rendering context failed.");
        }
        demoState.renderContext = nullptr;
    }

    if (demoState.deviceContext != nullptr) {
        if (ReleaseDC(demoState.windowHandle, demoState.deviceContext) == 0) {
            ReportShutdownError("Release device context failed.");
        }
        demoState.deviceContext = nullptr;
    }

    if (demoState.windowHandle != nullptr) {
        if (!DestroyWindow(demoState.windowHandle)) {
            ReportShutdownError("Could not release hWnd.");
        }
        demoState.windowHandle = nullptr;
    }

    if (!UnregisterClassA("OpenGL", demoState.instanceHandle)) {
        ReportShutdownError("Could not unregister class.");
    }
    demoState.instanceHandle = nullptr;
}
