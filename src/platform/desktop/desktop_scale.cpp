// The desktop's scale, read as GTK and Qt programs on X11 read it: GDK_SCALE where it is set,
// else the X resource Xft.dpi over 96 (GNOME and KDE set it for a scaled screen, on X11 and for
// XWayland programs alike), else 1. Fractions (1.25, 1.5, 1.75) stand as they are. Read once,
// when the first window opens.
//
// The desktop's header comes first: Xlib's macros (None among them) would rewrite the core's
// names.
#include "platform/desktop/desktop.h"
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xresource.h>
// clang-format on

#include <cstdlib>
#include <cstring>

namespace standin::desktop {

namespace {

// Beyond these a setting is a mistake, not a screen.
constexpr double kSmallest = 0.5;
constexpr double kLargest = 8.0;
constexpr double kDotsPerInchAt100 = 96.0;

// The number the text holds entirely; 0 for none.
double Number(const char* text) {
    if (text == nullptr || *text == '\0') return 0.0;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    while (end != nullptr && (*end == ' ' || *end == '\t')) ++end;
    return end != nullptr && *end == '\0' ? value : 0.0;
}

bool Usable(double scale) { return scale >= kSmallest && scale <= kLargest; }

// Xft.dpi from the resources the session loaded into the X server; 0 where there is none.
double XftDpi() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return 0.0;
    double dpi = 0.0;
    if (const char* resources = XResourceManagerString(display)) {
        XrmInitialize();
        XrmDatabase database = XrmGetStringDatabase(resources);
        char* type = nullptr;
        XrmValue value{};
        if (database != nullptr &&
            XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) == True &&
            value.addr != nullptr) {
            dpi = Number(value.addr);
        }
        if (database != nullptr) XrmDestroyDatabase(database);
    }
    XCloseDisplay(display);
    return dpi;
}

double ReadScale() {
    // Windows nobody sees (the capture's) have no desktop to match.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr &&
        (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) {
        return 1.0;
    }
    const double gdk = Number(std::getenv("GDK_SCALE"));
    if (Usable(gdk)) return gdk;
    if (std::getenv("DISPLAY") == nullptr) return 1.0;
    const double xft = XftDpi() / kDotsPerInchAt100;
    return Usable(xft) ? xft : 1.0;
}

}  // namespace

double DesktopScale() {
    static const double scale = ReadScale();
    return scale;
}

}  // namespace standin::desktop
