// The desktop backend's table, and its installation: a program or test linked with the
// desktop runs on it from before main, unless its start-up code installs another.
#include "platform/desktop/desktop.h"

namespace standin::desktop {

const standin::Backend& Backend() {
    static const standin::Backend table{
        OpenSurface,    CloseSurface,  ShowSurface, MinimizeSurface,  MaximizeSurface,
        RestoreSurface, RaiseSurface,  SurfaceSize, SurfacePosition,  DrawableSize,
        SetPixelFormat, CreateContext, MakeCurrent, DeleteContext,    GlProcAddress,
        Present,        DesktopMode,   ShowCursor,  AllowScreenSaver, ClockMs,
        PumpEvents,     ShowBox,       PlaySound,   StopSound,        ResolveFont,
        Glyph,
    };
    return table;
}

}  // namespace standin::desktop
