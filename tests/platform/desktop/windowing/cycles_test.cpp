// The demo's whole creation and teardown, a thousand times over in one process: far more
// cycles than any table of the stand-in has slots. Each cycle registers the class, makes the
// window, its device context, pixel format and GL context, builds the glyph lists from a
// font made, selected and deleted as the demo does, tears everything down again, and the
// text must still come out: a glyph list draws pixels in every cycle, the last included.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "windowing_support.h"

namespace {

constexpr char kClassName[] = "QuorvaneCyclesTest";
constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr DWORD kFirstCode = 32;
constexpr DWORD kCodeCount = 223;

int Cycles() {
    const char* asked = std::getenv("QUORVANE_CYCLES");
    return asked != nullptr ? std::atoi(asked) : 1000;
}

// What a cycle leaves to check, or where it stopped.
struct Cycle {
    std::string failed;  // the step that failed, empty when every step worked
    int inkPixels = 0;   // pixels the text drew
};

void PumpPending() {
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Draws "AW" from the glyph lists in white on black and counts the pixels it set.
int DrawText(GLuint listBase) {
    PixelProjection(kWidth, kHeight);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glColor3f(1.0f, 1.0f, 1.0f);
    glRasterPos2i(20, 40);
    glListBase(listBase - kFirstCode);
    glCallLists(2, GL_UNSIGNED_BYTE, "AW");
    glFinish();
    std::vector<GLubyte> pixels(static_cast<std::size_t>(kWidth) * kHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    int ink = 0;
    for (std::size_t i = 0; i < pixels.size(); i += 3) {
        ink += pixels[i] > 128 && pixels[i + 1] > 128 && pixels[i + 2] > 128 ? 1 : 0;
    }
    return ink;
}

Cycle RunCycle() {
    Cycle cycle;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA description{};
    description.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    description.lpfnWndProc = DefWindowProcA;
    description.hInstance = instance;
    description.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    description.lpszClassName = kClassName;
    if (RegisterClassA(&description) == 0) return {"RegisterClassA", 0};

    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
    RECT rect{0, 0, kWidth, kHeight};
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    HWND window =
        CreateWindowExA(exStyle, kClassName, "Cycles", style, 0, 0, rect.right - rect.left,
                        rect.bottom - rect.top, nullptr, nullptr, instance, nullptr);
    HDC dc = window != nullptr ? GetDC(window) : nullptr;
    const PIXELFORMATDESCRIPTOR request = DemoFormatRequest();
    const int format = dc != nullptr ? ChoosePixelFormat(dc, &request) : 0;
    const bool formatSet = format != 0 && SetPixelFormat(dc, format, &request);
    HGLRC context = formatSet ? wglCreateContext(dc) : nullptr;
    const bool current = context != nullptr && wglMakeCurrent(dc, context);
    if (window == nullptr) {
        cycle.failed = "CreateWindowExA";
    } else if (dc == nullptr) {
        cycle.failed = "GetDC";
    } else if (!formatSet) {
        cycle.failed = "ChoosePixelFormat/SetPixelFormat";
    } else if (!current) {
        cycle.failed = "wglCreateContext/wglMakeCurrent";
    } else {
        // The demo's BuildTextFont.
        const GLuint listBase = glGenLists(static_cast<GLsizei>(kCodeCount));
        HFONT font = DemoFont();
        HGDIOBJ previous = SelectObject(dc, font);
        if (font == nullptr) {
            cycle.failed = "CreateFontA";
        } else if (previous == nullptr) {
            cycle.failed = "SelectObject";
        }
        wglUseFontBitmapsA(dc, kFirstCode, kCodeCount, listBase);
        SelectObject(dc, previous);
        if (!DeleteObject(font) && cycle.failed.empty()) cycle.failed = "DeleteObject";
        cycle.inkPixels = DrawText(listBase);
    }
    PumpPending();

    // The demo's DestroyDemoWindow, in its order.
    if (context != nullptr) {
        if (!wglMakeCurrent(nullptr, nullptr) && cycle.failed.empty()) cycle.failed = "release";
        if (!wglDeleteContext(context) && cycle.failed.empty()) cycle.failed = "wglDeleteContext";
    }
    if (dc != nullptr && ReleaseDC(window, dc) == 0 && cycle.failed.empty()) {
        cycle.failed = "ReleaseDC";
    }
    if (window != nullptr && !DestroyWindow(window) && cycle.failed.empty()) {
        cycle.failed = "DestroyWindow";
    }
    if (!UnregisterClassA(kClassName, instance) && cycle.failed.empty()) {
        cycle.failed = "UnregisterClassA";
    }
    PumpPending();
    return cycle;
}

TEST(CreateDestroyCycles, TextStillDrawsAfterAThousandCycles) {
    const int cycles = Cycles();
    int firstInk = 0;
    for (int n = 1; n <= cycles; ++n) {
        const Cycle cycle = RunCycle();
        ASSERT_EQ(cycle.failed, "") << "cycle " << n << " of " << cycles;
        ASSERT_GT(cycle.inkPixels, 40) << "cycle " << n << ": the glyph lists drew no text";
        if (n == 1) firstInk = cycle.inkPixels;
        // The same text in the same face draws the same pixels in every cycle.
        ASSERT_EQ(cycle.inkPixels, firstInk) << "cycle " << n << " drew other glyphs";
    }
}

}  // namespace
