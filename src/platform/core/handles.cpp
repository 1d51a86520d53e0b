// The core's tables and their look-ups, the one handle allocator, and the installed backend.
#include <cstdio>
#include <cstdlib>

#include "platform/core/core.h"
#include "platform/core/font_objects.h"

namespace standin {

namespace {

State gState{};
// The installed backend, its empty entries filled from the null backend.
Backend gBackend{};
bool gBackendInstalled = false;

// Handles start well above small integers, so that 0, 1 or a stray count never passes as one;
// the values below the first are kept for the stock objects.
constexpr std::uintptr_t kFirstHandle = kStockFont + 4;
constexpr std::uintptr_t kHandleStep = 4;

}  // namespace

State& Tables() { return gState; }

void UseBackend(const Backend* backend) {
    gBackend = Completed(*backend);
    gBackendInstalled = true;
}

const Backend& TheBackend() {
    if (!gBackendInstalled) {
        // A program built without a backend: nothing it asks for could be done.
        std::fputs("win32 core: no backend was installed before the first Win32 call\n", stderr);
        std::abort();
    }
    return gBackend;
}

std::uintptr_t NewHandle() {
    if (gState.nextHandle == 0) gState.nextHandle = kFirstHandle;
    std::uintptr_t handle = gState.nextHandle;
    gState.nextHandle += kHandleStep;
    return handle;
}

namespace {

// The window in use whose field holds the key; null for a null key, as Windows finds nothing.
template <typename Key>
Window* FindWindow(Key Window::*field, Key key) {
    if (key == nullptr) return nullptr;
    for (Window& entry : gState.windows) {
        if (entry.used && entry.*field == key) return &entry;
    }
    return nullptr;
}

}  // namespace

Window* LookUpWindow(HWND window) { return FindWindow(&Window::handle, window); }

Window* LookUpWindowByDc(HDC dc) { return FindWindow(&Window::dc, dc); }

Window* LookUpWindowBySurface(Surface* surface) { return FindWindow(&Window::surface, surface); }

GlContext* LookUpContext(HGLRC context) {
    if (context == nullptr) return nullptr;
    for (GlContext& entry : gState.contexts) {
        if (entry.used && entry.handle == context) return &entry;
    }
    return nullptr;
}

}  // namespace standin
