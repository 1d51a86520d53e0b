// The desktop backend's table, and its installation: a program or test linked with the
// desktop runs on it from before main, unless its start-up code installs another.
#include "platform/desktop/desktop.h"

namespace standin::desktop {

const standin::Backend& Table() {
    static const standin::Backend table{
        .openSurface = OpenSurface,
        .closeSurface = CloseSurface,
        .showSurface = ShowSurface,
        .minimizeSurface = MinimizeSurface,
        .maximizeSurface = MaximizeSurface,
        .restoreSurface = RestoreSurface,
        .raiseSurface = RaiseSurface,
        .surfaceSize = SurfaceSize,
        .surfacePosition = SurfacePosition,
        .drawableSize = DrawableSize,
        .setPixelFormat = SetSurfaceVisual,
        .createContext = CreateContext,
        .makeCurrent = MakeCurrent,
        .deleteContext = DeleteContext,
        .glProcAddress = GlProcAddress,
        .present = Present,
        .desktopMode = ReadDesktopMode,
        .showCursor = ShowPointer,
        .allowScreenSaver = AllowScreenSaver,
        .clockMs = ClockMs,
        .pumpEvents = PumpEvents,
        .dataFolder = DataFolder,
        .showBox = ShowBox,
        .playSound = PlaySoundFile,
        .stopSound = StopSound,
        .resolveFont = ResolveFont,
        .glyph = Glyph,
    };
    return table;
}

}  // namespace standin::desktop
