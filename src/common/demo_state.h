// The process-wide state the renderer and the application shell share: one instance,
// statically initialised, alive for the whole run.
#pragma once

#include "platform/win32.h"

struct DemoState {
    HGLRC renderContext = nullptr;
    HDC deviceContext = nullptr;
    HWND windowHandle = nullptr;
    HINSTANCE instanceHandle = nullptr;
    bool keyDown[256] = {};
    bool isActive = true;      // the window is not minimised
    bool isFullscreen = true;  // the start-up question may turn it off
    GLuint fontListBase = 0;   // first display list of the text font
};

extern DemoState demoState;
