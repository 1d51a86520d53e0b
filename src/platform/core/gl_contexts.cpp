// OpenGL rendering contexts: wglCreateContext, wglMakeCurrent and wglDeleteContext on the
// backend's.
//
// A backend may make a new context current as it creates it; Windows does not, so the previous
// binding is put back. A context survives the window it was made for, as on Windows. Made
// current on a window whose drawable has other pixels than its picture (one covering the
// display, or on a HiDPI screen), a context draws into an offscreen frame (frames.cpp). Frames are
// presented at the display's refresh where the driver allows it: the demo advances by a fixed step
// per frame and was made for the pace of a display, not of a current GPU.
#include "platform/core/core.h"

namespace {

standin::GlContext* FreeContextSlot() {
    for (standin::GlContext& context : standin::Tables().contexts) {
        if (!context.used) return &context;
    }
    return nullptr;
}

void RestoreCurrent() {
    const standin::GlCurrent& current = standin::Tables().current;
    standin::Window* window = standin::LookUpWindowByDc(current.dc);
    standin::GlContext* context = standin::LookUpContext(current.context);
    if (window != nullptr && context != nullptr) {
        standin::TheBackend().makeCurrent(window->surface, context->backend);
    } else {
        standin::TheBackend().makeCurrent(nullptr, nullptr);
    }
}

// A window's picture changed size: the context current on it draws at the new size.
void RebindCurrent(standin::Window& window) {
    const standin::GlCurrent& current = standin::Tables().current;
    standin::GlContext* context = standin::LookUpContext(current.context);
    if (current.dc == window.dc && context != nullptr) standin::BindDrawingTarget(window, *context);
}

}  // namespace

extern "C" HGLRC WINAPI wglCreateContext(HDC dc) {
    standin::Window* window = standin::LookUpWindowByDc(dc);
    if (window == nullptr || window->pixelFormat == 0) return nullptr;
    standin::GlContext* slot = FreeContextSlot();
    if (slot == nullptr) return nullptr;
    standin::SurfaceContext* made = standin::TheBackend().createContext(window->surface);
    RestoreCurrent();
    if (made == nullptr) return nullptr;
    slot->used = true;
    slot->handle = reinterpret_cast<HGLRC>(standin::NewHandle());
    slot->backend = made;
    slot->pixelFormat = window->pixelFormat;
    slot->format = *standin::LookUpPixelFormat(window->pixelFormat);
    return slot->handle;
}

extern "C" BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC handle) {
    standin::GlCurrent& current = standin::Tables().current;
    if (handle == nullptr) {
        // Releasing: the device context is ignored.
        standin::TheBackend().makeCurrent(nullptr, nullptr);
        current = {};
        return TRUE;
    }
    standin::Window* window = standin::LookUpWindowByDc(dc);
    standin::GlContext* context = standin::LookUpContext(handle);
    if (window == nullptr || context == nullptr) return FALSE;
    if (window->pixelFormat != context->pixelFormat) return FALSE;
    if (!standin::TheBackend().makeCurrent(window->surface, context->backend)) return FALSE;
    if (!standin::BindDrawingTarget(*window, *context)) {
        RestoreCurrent();
        return FALSE;
    }
    current.dc = dc;
    current.context = handle;
    standin::Tables().pictureResized = RebindCurrent;
    return TRUE;
}

extern "C" BOOL WINAPI wglDeleteContext(HGLRC handle) {
    standin::GlContext* context = standin::LookUpContext(handle);
    if (context == nullptr) return FALSE;
    standin::GlCurrent& current = standin::Tables().current;
    if (current.context == handle) {
        standin::TheBackend().makeCurrent(nullptr, nullptr);
        current = {};
    }
    standin::TheBackend().deleteContext(context->backend);
    *context = {};
    return TRUE;
}
