// The null backend: what every entry a backend leaves empty does instead, as Wine fills a
// driver's missing entries from its null driver. A backend fills only what it has; the core
// never tests an entry for null.
//
// Each default is what a windowing system without that service answers: no surfaces or GL
// contexts to be had, no display, no sound device, no boxes, no fonts, no data folder, and the
// things it would only show or hide (a window's state, the pointer, the screen saver) left as
// they are.
#include "platform/core/core.h"

namespace standin {

namespace {

Surface* NoSurface(const SurfaceSpec&) { return nullptr; }
void LeaveSurface(Surface*) {}
void ShowNothing(Surface*, bool) {}
void NoSize(Surface*, int* width, int* height) {
    *width = 0;
    *height = 0;
}
bool NoPixelFormat(Surface*, const PixelFormat&) { return false; }
SurfaceContext* NoContext(Surface*) { return nullptr; }
// Releasing the thread's context always succeeds; nothing else can be made current.
bool NoCurrent(Surface* surface, SurfaceContext* context) {
    return surface == nullptr && context == nullptr;
}
void DeleteNothing(SurfaceContext*) {}
void* NoEntryPoint(const char*) { return nullptr; }
bool NoDesktop(DesktopMode*) { return false; }
void LeaveAsItIs(bool) {}
DWORD ClockStandsStill() { return 0; }
void NoEvents() {}
const char* NoDataFolder() { return nullptr; }
int NoBox(const char*, const char*, BoxButtons, BoxIcon) { return 0; }
bool NoSound(const SoundRequest&) { return false; }
void Silence() {}
const FontFace* NoFont(const FontRequest&) { return nullptr; }
const GlyphBitmap& NoGlyph(const FontFace*, DWORD) {
    static const GlyphBitmap kNone{};
    return kNone;
}

template <typename Entry>
void Fill(Entry& entry, Entry fallback) {
    if (entry == nullptr) entry = fallback;
}

}  // namespace

Backend Completed(const Backend& backend) {
    Backend full = backend;
    Fill(full.openSurface, NoSurface);
    Fill(full.closeSurface, LeaveSurface);
    Fill(full.showSurface, ShowNothing);
    Fill(full.minimizeSurface, LeaveSurface);
    Fill(full.maximizeSurface, LeaveSurface);
    Fill(full.restoreSurface, LeaveSurface);
    Fill(full.raiseSurface, ShowNothing);
    Fill(full.surfaceSize, NoSize);
    Fill(full.surfacePosition, NoSize);
    Fill(full.drawableSize, NoSize);
    Fill(full.setPixelFormat, NoPixelFormat);
    Fill(full.createContext, NoContext);
    Fill(full.makeCurrent, NoCurrent);
    Fill(full.deleteContext, DeleteNothing);
    Fill(full.glProcAddress, NoEntryPoint);
    Fill(full.present, LeaveSurface);
    Fill(full.desktopMode, NoDesktop);
    Fill(full.showCursor, LeaveAsItIs);
    Fill(full.allowScreenSaver, LeaveAsItIs);
    Fill(full.clockMs, ClockStandsStill);
    Fill(full.pumpEvents, NoEvents);
    Fill(full.dataFolder, NoDataFolder);
    Fill(full.showBox, NoBox);
    Fill(full.playSound, NoSound);
    Fill(full.stopSound, Silence);
    Fill(full.resolveFont, NoFont);
    Fill(full.glyph, NoGlyph);
    return full;
}

}  // namespace standin
