// Device contexts, pixel formats and buffer swaps.
//
// Each window owns one device context for its whole life (as with CS_OWNDC), so ReleaseDC only
// checks that the DC is the window's. Pixel formats come from a short table of what GL on X11
// offers. SDL on X11 fixes the GL visual when a window is created, so windows are opened with
// one visual that serves every double-buffered format without alpha or stencil (any colour
// depth, the largest depth buffer); setting such a format only records it. The other formats
// re-create the still-hidden SDL window with their own GL attributes.
#include <cstdlib>
#include <cstring>

#include "platform/linux/standin.h"

namespace {

constexpr standin::PixelFormat kPixelFormats[] = {
    // double, colour, red, green, blue, alpha, depth, stencil
    {true, 32, 8, 8, 8, 8, 24, 8},  {true, 24, 8, 8, 8, 0, 24, 0},  {true, 24, 8, 8, 8, 0, 16, 0},
    {true, 16, 5, 6, 5, 0, 16, 0},  {false, 32, 8, 8, 8, 8, 24, 8}, {false, 24, 8, 8, 8, 0, 24, 0},
    {false, 16, 5, 6, 5, 0, 16, 0},
};
constexpr int kPixelFormatCount = static_cast<int>(sizeof kPixelFormats / sizeof kPixelFormats[0]);

// Penalties for a candidate format, largest first: what was asked for must be there.
constexpr int kMissing = 1000000;
constexpr int kPerColourBit = 1000;
constexpr int kPerDepthBit = 10;
// A request for 0 colour bits means the desktop's depth.
constexpr int kDefaultColourBits = 24;

int Penalty(const standin::PixelFormat& format, const PIXELFORMATDESCRIPTOR& request) {
    int colourBits = request.cColorBits != 0 ? request.cColorBits : kDefaultColourBits;
    int penalty = 0;
    if (format.depthBits < request.cDepthBits) penalty += kMissing;
    if (format.alphaBits < request.cAlphaBits) penalty += kMissing;
    if (format.stencilBits < request.cStencilBits) penalty += kMissing;
    penalty += std::abs(format.colorBits - colourBits) * kPerColourBit;
    penalty += std::abs(format.depthBits - request.cDepthBits) * kPerDepthBit;
    return penalty;
}

void SetGlAttributes(const standin::PixelFormat& format) {
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, format.doubleBuffer ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, format.redBits);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, format.greenBits);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, format.blueBits);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, format.alphaBits);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, format.depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, format.stencilBits);
}

// Replaces the window's SDL window by one made with the current GL attributes; the old one
// stays if the new one cannot be made.
bool ReopenSdlWindow(standin::Window& window) {
    char title[256] = {};
    std::strncpy(title, SDL_GetWindowTitle(window.sdl), sizeof title - 1);
    int x = 0;
    int y = 0;
    SDL_GetWindowPosition(window.sdl, &x, &y);
    bool visible = (SDL_GetWindowFlags(window.sdl) & SDL_WINDOW_SHOWN) != 0;

    SDL_Window* old = window.sdl;
    Uint32 oldId = window.sdlId;
    if (!standin::OpenSdlWindow(window, title, x, y, window.clientWidth, window.clientHeight,
                                visible)) {
        window.sdl = old;
        window.sdlId = oldId;
        return false;
    }
    SDL_DestroyWindow(old);
    return true;
}

// The shared visual is double-buffered, has no alpha and no stencil buffer, and the largest
// depth buffer the display offers (24 bits on Mesa).
bool SharedVisualServes(const standin::PixelFormat& format) {
    return format.doubleBuffer && format.alphaBits == 0 && format.stencilBits == 0;
}

void PresentOnScreen(standin::Window& window) {
    if (window.fullscreen) {
        standin::GlContext* context = standin::LookUpContext(standin::Tables().current.context);
        if (context != nullptr) standin::DrawScaledFrame(window, *context);
    }
    SDL_GL_SwapWindow(window.sdl);
}

standin::FramePresenter gPresenter = PresentOnScreen;

}  // namespace

namespace standin {

const PixelFormat* LookUpPixelFormat(int number) {
    if (number < 1 || number > kPixelFormatCount) return nullptr;
    return &kPixelFormats[number - 1];
}

void SetFramePresenter(FramePresenter presenter) {
    gPresenter = presenter != nullptr ? presenter : PresentOnScreen;
}

}  // namespace standin

extern "C" HDC WINAPI GetDC(HWND handle) {
    // The screen's device context (a null window) is not offered.
    standin::Window* window = standin::LookUpWindow(handle);
    return window != nullptr ? window->dc : nullptr;
}

extern "C" int WINAPI ReleaseDC(HWND handle, HDC dc) {
    standin::Window* window = standin::LookUpWindow(handle);
    return window != nullptr && window->dc == dc ? 1 : 0;
}

extern "C" int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request) {
    if (standin::LookUpWindowByDc(dc) == nullptr || request == nullptr) return 0;
    // Colour-index formats are not offered.
    if (request->iPixelType != PFD_TYPE_RGBA) return 0;
    bool doubleBuffer = (request->dwFlags & PFD_DOUBLEBUFFER) != 0;
    int best = 0;
    int bestPenalty = 0;
    for (int i = 0; i < kPixelFormatCount; ++i) {
        if (kPixelFormats[i].doubleBuffer != doubleBuffer) continue;
        int penalty = Penalty(kPixelFormats[i], *request);
        if (best != 0 && penalty >= bestPenalty) continue;
        best = i + 1;
        bestPenalty = penalty;
    }
    return best;
}

extern "C" BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*) {
    standin::Window* window = standin::LookUpWindowByDc(dc);
    const standin::PixelFormat* chosen = standin::LookUpPixelFormat(format);
    if (window == nullptr || chosen == nullptr) return FALSE;
    // A window's pixel format is set once.
    if (window->pixelFormat != 0) return window->pixelFormat == format ? TRUE : FALSE;
    if (window->visualFormat != format && !SharedVisualServes(*chosen)) {
        SetGlAttributes(*chosen);
        if (!ReopenSdlWindow(*window)) return FALSE;
        window->visualFormat = format;
    }
    window->pixelFormat = format;
    return TRUE;
}

extern "C" BOOL WINAPI SwapBuffers(HDC dc) {
    standin::Window* window = standin::LookUpWindowByDc(dc);
    if (window == nullptr || window->pixelFormat == 0) return FALSE;
    // SDL swaps only the window whose context is current.
    standin::GlCurrent& current = standin::Tables().current;
    if (current.dc != dc) return FALSE;
    standin::GlContext* context = standin::LookUpContext(current.context);
    if (context == nullptr) return FALSE;
    standin::PresentWithFrameReadable(*window, *context, gPresenter);
    return TRUE;
}
