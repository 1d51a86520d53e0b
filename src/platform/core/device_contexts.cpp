// Device contexts and pixel formats.
//
// Each window owns one device context for its whole life (as with CS_OWNDC), so ReleaseDC only
// checks that the DC is the window's. Pixel formats come from a short table of what desktop GL
// drivers offer; the backend gives a window's surface the visual of the format set on it.
#include <cstdlib>

#include "platform/core/core.h"

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

}  // namespace

namespace standin {

const PixelFormat* LookUpPixelFormat(int number) {
    if (number < 1 || number > kPixelFormatCount) return nullptr;
    return &kPixelFormats[number - 1];
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
    if (!standin::TheBackend().setPixelFormat(window->surface, *chosen)) return FALSE;
    window->pixelFormat = format;
    return TRUE;
}
