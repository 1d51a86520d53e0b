// The Windows side of the demo: window procedure, window and rendering context, entry.
#pragma once

#include "platform/win32.h"

// Feeds keyDown and isActive, keeps the viewport in step, turns a close into a quit.
LRESULT CALLBACK DemoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Brings up class, display mode (fullscreen only), window, device and rendering context,
// viewport and GL state. Every failure is reported in a message box; false then.
bool CreateDemoWindow(const char* title, int width, int height, int bits, bool fullscreen);

// Restores the display mode and releases everything CreateDemoWindow made, in reverse order.
// Safe with any subset of the handles set.
void DestroyDemoWindow();

// The pixel format every creation asks for; its colour depth is the first call's.
extern PIXELFORMATDESCRIPTOR pixelFormatRequest;
