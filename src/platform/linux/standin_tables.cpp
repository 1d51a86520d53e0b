// The windowing stand-in's tables and their look-ups: what each handle stands for.
#include "platform/linux/standin.h"

namespace standin {

namespace {

State gState{};

// Handles start well above small integers, so that 0, 1 or a stray count never passes as one.
constexpr std::uintptr_t kFirstHandle = 0x10000;
constexpr std::uintptr_t kHandleStep = 4;

}  // namespace

State& Tables() { return gState; }

std::uintptr_t NewHandle() {
    if (gState.nextHandle == 0) gState.nextHandle = kFirstHandle;
    std::uintptr_t handle = gState.nextHandle;
    gState.nextHandle += kHandleStep;
    return handle;
}

Window* LookUpWindow(HWND window) {
    if (window == nullptr) return nullptr;
    for (Window& entry : gState.windows) {
        if (entry.used && entry.handle == window) return &entry;
    }
    return nullptr;
}

Window* LookUpWindowByDc(HDC dc) {
    if (dc == nullptr) return nullptr;
    for (Window& entry : gState.windows) {
        if (entry.used && entry.dc == dc) return &entry;
    }
    return nullptr;
}

Window* LookUpWindowBySdlId(Uint32 id) {
    for (Window& entry : gState.windows) {
        if (entry.used && entry.sdl != nullptr && entry.sdlId == id) return &entry;
    }
    return nullptr;
}

GlContext* LookUpContext(HGLRC context) {
    if (context == nullptr) return nullptr;
    for (GlContext& entry : gState.contexts) {
        if (entry.used && entry.handle == context) return &entry;
    }
    return nullptr;
}

}  // namespace standin
