// Bringing up the window: class, display mode (fullscreen only), window, device context,
// pixel format and a current rendering context with the demo's GL state.
#include "app/app.h"

#include <cstring>

#include "common/demo_state.h"
#include "render/render.h"

// Colour depth stays 0 until the first creation picks it; every later one keeps it.
// One line per group of fields, as the structure declares them.
// clang-format off
PIXELFORMATDESCRIPTOR pixelFormatRequest = {
    sizeof(PIXELFORMATDESCRIPTOR),
    1,
    PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,
    PFD_TYPE_RGBA,
    0,                 // colour bits
    0, 0, 0, 0, 0, 0,  // colour bits and shifts
    0, 0,              // alpha bits and shift
    0, 0, 0, 0, 0,     // accumulation
    16,                // depth bits
    0,                 // stencil bits
    0,                 // auxiliary buffers
    PFD_MAIN_PLANE,
    0,
    0, 0, 0,
};
// clang-format on

namespace {

constexpr const char* kClassName = "OpenGL";
constexpr const char* kErrorCaption = "ERROR";

void ReportCreationError(const char* text) {
    MessageBoxA(nullptr, text, kErrorCaption, MB_OK | MB_ICONEXCLAMATION);
}

// Past the window step, whatever was built goes before the user reads why.
bool FailAfterTeardown(const char* text) {
    DestroyDemoWindow();
    ReportCreationError(text);
    return false;
}

bool RegisterDemoClass() {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = DemoWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = demoState.instanceHandle;
    windowClass.hIcon = LoadIconA(nullptr, IDI_WINLOGO);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = kClassName;
    return RegisterClassA(&windowClass) != 0;
}

// True when the display runs the asked mode, or the user settled for a window instead.
bool EnterFullscreenOrSettle(int width, int height, int bits) {
    DEVMODEA mode;
    std::memset(&mode, 0, sizeof mode);
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmBitsPerPel = static_cast<DWORD>(bits);
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL) {
        return true;
    }
    if (MessageBoxA(nullptr,
                    "The requested fullscreen mode is not supported by\n"
                    "your video card. Use windowed mode instead?",
                    "Zentor GL", MB_YESNO | MB_ICONEXCLAMATION) == IDYES) {
        demoState.isFullscreen = false;
        return true;
    }
    MessageBoxA(nullptr, "Program will now close.", kErrorCaption, MB_OK | MB_ICONSTOP);
    return false;
}

}  // namespace

bool CreateDemoWindow(const char* title, int width, int height, int bits, bool fullscreen) {
    RECT rectangle = {0, 0, width, height};

    demoState.isFullscreen = fullscreen;
    demoState.instanceHandle = GetModuleHandleA(nullptr);

    if (!RegisterDemoClass()) {
        ReportCreationError("Failed To Register The Window Class.");
        return false;
    }

    if (demoState.isFullscreen && !EnterFullscreenOrSettle(width, height, bits)) {
        return false;
    }

    DWORD exStyle = WS_EX_APPWINDOW;
    DWORD style = WS_POPUP;
    if (demoState.isFullscreen) {
        ShowCursor(FALSE);
    } else {
        exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
        style = WS_OVERLAPPEDWINDOW;
    }

    // The frame goes around the client area, which stays exactly width x height.
    AdjustWindowRectEx(&rectangle, style, FALSE, exStyle);

    demoState.windowHandle =
        CreateWindowExA(exStyle, kClassName, title, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                        rectangle.right - rectangle.left, rectangle.bottom - rectangle.top, nullptr,
                        nullptr, demoState.instanceHandle, nullptr);
    if (demoState.windowHandle == nullptr) {
        return FailAfterTeardown("Window Creation Error.");
    }

    if (pixelFormatRequest.cColorBits == 0) {
        pixelFormatRequest.cColorBits = static_cast<BYTE>(bits);
    }

    demoState.deviceContext = GetDC(demoState.windowHandle);
    if (demoState.deviceContext == nullptr) {
        return FailAfterTeardown("Can't create a GL device context.");
    }

    const int format = ChoosePixelFormat(demoState.deviceContext, &pixelFormatRequest);
    if (format == 0) {
        return FailAfterTeardown("Can't find a suitable pixelformat.");
    }
    if (!SetPixelFormat(demoState.deviceContext, format, &pixelFormatRequest)) {
        return FailAfterTeardown("Can't set the pixelformat.");
    }

    demoState.renderContext = wglCreateContext(demoState.deviceContext);
    if (demoState.renderContext == nullptr) {
        return FailAfterTeardown("Can't create a GL rendering context.");
    }
    if (!wglMakeCurrent(demoState.deviceContext, demoState.renderContext)) {
        return FailAfterTeardown("Can't activate the GL rendering context.");
    }

    ShowWindow(demoState.windowHandle, SW_SHOW);
    SetForegroundWindow(demoState.windowHandle);
    SetFocus(demoState.windowHandle);

    ResizeViewport(width, height);
    if (!InitRenderState()) {
        return FailAfterTeardown("Initialization failed.");
    }
    return true;
}
