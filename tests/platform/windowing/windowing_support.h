// Shared by the stand-in's windowing tests: a recording window, a message pump with a deadline,
// and running X tools (xdotool, xwininfo, wmctrl) against the test's display.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/win32.h"

struct CommandResult {
    int status;
    std::string output;
};

struct Recorded {
    std::vector<MSG> queued;  // taken from PeekMessageA
    std::vector<MSG> sent;    // reaching the window procedure
    bool swallowScreenSaver;
    bool closeByDefault;  // WM_CLOSE goes to DefWindowProcA instead of posting a quit
};

extern Recorded gRecorded;

CommandResult RunCommand(const std::string& command);

// Opens a shown, focused window of the given style with a 640x480 client area.
HWND OpenTestWindow(const char* title, DWORD style, DWORD exStyle);
void CloseTestWindow(HWND window);

// Takes and dispatches messages until `done` holds or the deadline passes; true if it held.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 15000);

bool SawSent(UINT message);

// True once the window procedure has been told that its window is active.
bool Focused();

// A request for an RGBA format of 16 colour bits that OpenGL draws into a window, plus `flags`.
PIXELFORMATDESCRIPTOR FormatRequest(DWORD flags, BYTE depthBits);
// The demo's own request: double-buffered, 16 depth bits.
inline PIXELFORMATDESCRIPTOR DemoFormatRequest() { return FormatRequest(PFD_DOUBLEBUFFER, 16); }
