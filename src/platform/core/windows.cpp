// Top-level windows: border metrics, creation, showing, minimising and restoring, destruction
// and the client area.
//
// A Win32 window is a backend surface whose client area is the surface itself; the border
// Windows would draw is left to the window manager, but its size is fixed here so that
// AdjustWindowRectEx and CreateWindowExA agree and the client area is exactly what was asked.
#include "platform/core/core.h"
#include "platform/core/font_objects.h"

namespace {

// The border around the client area, in pixels, for each edge: caption, frame and edges.
struct Border {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

constexpr LONG kThickFrame = 4;
constexpr LONG kDialogFrame = 3;
constexpr LONG kBorder = 1;
constexpr LONG kClientEdge = 2;
constexpr LONG kCaption = 19;
constexpr LONG kMenuBar = 19;
// Where Windows reports a minimised window to be, off every screen.
constexpr int kParkedPosition = -32000;

Border BorderFor(DWORD style, bool menu, DWORD exStyle) {
    LONG edge = 0;
    if ((style & WS_THICKFRAME) != 0) {
        edge = kThickFrame;
    } else if ((style & WS_DLGFRAME) != 0) {
        edge = kDialogFrame;
    } else if ((style & WS_BORDER) != 0) {
        edge = kBorder;
    }
    if ((exStyle & WS_EX_CLIENTEDGE) != 0) edge += kClientEdge;
    LONG top = edge;
    if ((style & WS_CAPTION) == WS_CAPTION) top += kCaption;
    if (menu) top += kMenuBar;
    return {edge, top, edge, edge};
}

bool CoversDisplay(DWORD style, int x, int y, int width, int height) {
    const standin::DisplayState& display = standin::Tables().display;
    return display.modePromised && (style & WS_POPUP) != 0 && x == 0 && y == 0 &&
           width == display.width && height == display.height;
}

standin::Window* FreeWindowSlot() {
    for (standin::Window& window : standin::Tables().windows) {
        if (!window.used) return &window;
    }
    return nullptr;
}

// Gives back everything the window holds, without telling its procedure.
void Release(standin::Window& window) {
    standin::State& state = standin::Tables();
    // A surface's close releases a context current on it; a Win32 context survives its window,
    // so only the device context is forgotten.
    if (state.current.dc == window.dc) state.current.dc = nullptr;
    // The device context dies with its window, and with it what was selected into it.
    standin::ForgetDeviceContext(window.dc);
    standin::DropMessagesFor(window.handle);
    if (state.active == window.handle) state.active = nullptr;
    if (state.focus == window.handle) state.focus = nullptr;
    standin::TheBackend().closeSurface(window.surface);
    window = {};
}

}  // namespace

namespace standin {

void ReportClientSize(HWND handle, bool always) {
    Window* window = LookUpWindow(handle);
    if (window == nullptr) return;
    int width = 0;
    int height = 0;
    if (window->coversDisplay) {
        // A window covering the display is the mode's size to the program, whatever the screen.
        width = window->pictureWidth;
        height = window->pictureHeight;
    } else {
        TheBackend().surfaceSize(window->surface, &width, &height);
    }
    if (!always && width == window->clientWidth && height == window->clientHeight) return;
    window->clientWidth = width;
    window->clientHeight = height;
    if (!window->coversDisplay &&
        (window->pictureWidth != width || window->pictureHeight != height)) {
        // The program draws at its new size from its next frame on.
        window->pictureWidth = width;
        window->pictureHeight = height;
        if (Tables().pictureResized != nullptr) Tables().pictureResized(*window);
    }
    WPARAM kind = window->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED;
    SendToWindow(handle, WM_SIZE, kind, MAKELPARAM(width, height));
}

void ReportMinimized(HWND handle) {
    Window* window = LookUpWindow(handle);
    if (window == nullptr || window->minimized) return;
    window->minimized = true;
    window->clientWidth = 0;
    window->clientHeight = 0;
    if (Tables().focus == handle) MoveFocus(nullptr);
    SendToWindow(handle, WM_MOVE, 0, MAKELPARAM(kParkedPosition, kParkedPosition));
    SendToWindow(handle, WM_SIZE, SIZE_MINIMIZED, 0);
    Deactivate(handle);
}

void ReportRestored(HWND handle) {
    Window* window = LookUpWindow(handle);
    if (window == nullptr || !window->minimized) return;
    window->minimized = false;
    window->maximized = false;
    // A window activated while minimised (its WM_ACTIVATE said so) is told again once restored.
    const bool wasActive = Tables().active == handle;
    if (!wasActive) Activate(handle);
    if ((window = LookUpWindow(handle)) == nullptr) return;
    int x = 0;
    int y = 0;
    TheBackend().surfacePosition(window->surface, &x, &y);
    SendToWindow(handle, WM_MOVE, 0, MAKELPARAM(x, y));
    ReportClientSize(handle, true);
    if (wasActive && Tables().active == handle) {
        MoveFocus(handle);
        SendToWindow(handle, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
    }
}

}  // namespace standin

extern "C" BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle) {
    if (rect == nullptr) return FALSE;
    Border border = BorderFor(style, menu != FALSE, exStyle);
    rect->left -= border.left;
    rect->top -= border.top;
    rect->right += border.right;
    rect->bottom += border.bottom;
    return TRUE;
}

extern "C" HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName,
                                       DWORD style, int x, int y, int width, int height,
                                       HWND parent, HMENU menu, HINSTANCE instance, LPVOID) {
    // Only top-level windows exist here.
    if (parent != nullptr || (style & WS_CHILD) != 0) return nullptr;
    int classIndex = standin::LookUpClass(className, instance);
    if (classIndex < 0) return nullptr;
    standin::Window* window = FreeWindowSlot();
    if (window == nullptr) return nullptr;

    Border border = BorderFor(style, menu != nullptr, exStyle);
    int clientWidth = width - border.left - border.right;
    int clientHeight = height - border.top - border.bottom;
    if (clientWidth < 0) clientWidth = 0;
    if (clientHeight < 0) clientHeight = 0;

    *window = {};
    window->classIndex = classIndex;
    window->proc = standin::Tables().classes[classIndex].proc;
    window->style = style;
    window->exStyle = exStyle;
    window->coversDisplay = CoversDisplay(style, x, y, width, height);
    if (window->coversDisplay) {
        // The display is covered, but the program keeps the mode's size and depth.
        window->pictureWidth = width;
        window->pictureHeight = height;
        window->pictureBits = standin::Tables().display.bits;
    } else {
        window->pictureWidth = clientWidth;
        window->pictureHeight = clientHeight;
    }
    window->clientWidth = clientWidth;
    window->clientHeight = clientHeight;
    window->visible = (style & WS_VISIBLE) != 0;
    const standin::SurfaceSpec spec{windowName != nullptr ? windowName : "",
                                    x + border.left,
                                    y + border.top,
                                    clientWidth,
                                    clientHeight,
                                    window->visible,
                                    (style & WS_CAPTION) == WS_CAPTION,
                                    (style & WS_THICKFRAME) != 0,
                                    window->coversDisplay};
    window->surface = standin::TheBackend().openSurface(spec);
    if (window->surface == nullptr) {
        *window = {};
        return nullptr;
    }
    window->used = true;
    window->handle = reinterpret_cast<HWND>(standin::NewHandle());
    window->dc = reinterpret_cast<HDC>(standin::NewHandle());

    HWND handle = window->handle;
    CREATESTRUCTA create{};
    create.hInstance = instance;
    create.hMenu = menu;
    create.cy = height;
    create.cx = width;
    create.y = y;
    create.x = x;
    create.style = static_cast<LONG>(style);
    create.lpszName = windowName;
    create.lpszClass = className;
    create.dwExStyle = exStyle;
    LPARAM createParam = reinterpret_cast<LPARAM>(&create);
    if (standin::SendToWindow(handle, WM_NCCREATE, 0, createParam) == FALSE) {
        // Refused before the window existed for the procedure: it is told nothing more.
        if (standin::LookUpWindow(handle) != nullptr) Release(*window);
        return nullptr;
    }
    // The procedure's answer cannot move the client area: the surface already has its size.
    RECT proposed{x, y, x + width, y + height};
    standin::SendToWindow(handle, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&proposed));
    if (standin::SendToWindow(handle, WM_CREATE, 0, createParam) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    standin::SendToWindow(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(clientWidth, clientHeight));
    standin::SendToWindow(handle, WM_MOVE, 0, MAKELPARAM(x + border.left, y + border.top));
    // A procedure may destroy its window while it is being created; then creation fails.
    return standin::LookUpWindow(handle) != nullptr ? handle : nullptr;
}

extern "C" BOOL WINAPI ShowWindow(HWND handle, int command) {
    standin::Window* window = standin::LookUpWindow(handle);
    if (window == nullptr) return FALSE;
    const standin::Backend& backend = standin::TheBackend();
    BOOL wasVisible = window->visible ? TRUE : FALSE;
    if (command == SW_HIDE) {
        if (wasVisible == FALSE) return FALSE;
        standin::SendToWindow(handle, WM_SHOWWINDOW, FALSE, 0);
        if ((window = standin::LookUpWindow(handle)) == nullptr) return TRUE;
        window->visible = false;
        backend.showSurface(window->surface, false);
        standin::Deactivate(handle);
        return TRUE;
    }
    if (wasVisible == FALSE) {
        standin::SendToWindow(handle, WM_SHOWWINDOW, TRUE, 0);
        if ((window = standin::LookUpWindow(handle)) == nullptr) return FALSE;
        window->visible = true;
        backend.showSurface(window->surface, true);
    }
    switch (command) {
        case SW_MINIMIZE:  // the activation passes on
            backend.minimizeSurface(window->surface);
            standin::ReportMinimized(handle);
            break;
        case SW_SHOWMINIMIZED:  // minimised, and active all the same
            backend.minimizeSurface(window->surface);
            standin::ReportMinimized(handle);
            standin::Activate(handle);
            break;
        case SW_RESTORE:
            backend.restoreSurface(window->surface);
            if (window->minimized) {
                standin::ReportRestored(handle);
            } else {
                standin::Activate(handle);
            }
            break;
        default:
            standin::Activate(handle);
            break;
    }
    return wasVisible;
}

extern "C" BOOL WINAPI DestroyWindow(HWND handle) {
    if (standin::LookUpWindow(handle) == nullptr) return FALSE;
    // A window going away first gives up the activation and the focus, as on being hidden.
    standin::Deactivate(handle);
    if (standin::Tables().focus == handle) standin::MoveFocus(nullptr);
    if (standin::LookUpWindow(handle) == nullptr) return TRUE;
    standin::SendToWindow(handle, WM_DESTROY, 0, 0);
    // The procedure may have destroyed the window itself meanwhile.
    if (standin::LookUpWindow(handle) == nullptr) return TRUE;
    standin::SendToWindow(handle, WM_NCDESTROY, 0, 0);
    standin::Window* window = standin::LookUpWindow(handle);
    if (window != nullptr) Release(*window);
    return TRUE;
}

extern "C" BOOL WINAPI GetClientRect(HWND handle, LPRECT rect) {
    standin::Window* window = standin::LookUpWindow(handle);
    if (window == nullptr || rect == nullptr) return FALSE;
    *rect = {0, 0, window->clientWidth, window->clientHeight};
    return TRUE;
}

extern "C" BOOL WINAPI IsWindowVisible(HWND handle) {
    standin::Window* window = standin::LookUpWindow(handle);
    return window != nullptr && window->visible ? TRUE : FALSE;
}

extern "C" int WINAPI ShowCursor(BOOL show) {
    standin::State& state = standin::Tables();
    state.cursorCount += show != FALSE ? 1 : -1;
    // Windows hides the cursor while the count is below zero.
    standin::TheBackend().showCursor(state.cursorCount >= 0);
    return state.cursorCount;
}
