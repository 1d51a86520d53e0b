// Shared by the stand-in's windowing tests: a recording window, a message pump with a deadline,
// and running X tools (xdotool, xwininfo, wmctrl) against the test's display.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "demo_requests.h"
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

// True once the X server has given the input focus to the window of that title, so that keys
// typed now reach it.
bool Focused(const char* title);
