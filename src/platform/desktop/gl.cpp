// GL contexts on SDL's, and presenting a frame by swapping the SDL window.
#include "platform/desktop/desktop.h"

namespace standin::desktop {

SurfaceContext* CreateContext(Surface* surface) {
    return static_cast<SurfaceContext*>(SDL_GL_CreateContext(surface->sdl));
}

bool MakeCurrent(Surface* surface, SurfaceContext* context) {
    if (surface == nullptr || context == nullptr) return SDL_GL_MakeCurrent(nullptr, nullptr) == 0;
    if (SDL_GL_MakeCurrent(surface->sdl, context) != 0) return false;
    SDL_GL_SetSwapInterval(1);
    return true;
}

void DeleteContext(SurfaceContext* context) { SDL_GL_DeleteContext(context); }

void* GlProcAddress(const char* name) { return SDL_GL_GetProcAddress(name); }

void Present(Surface* surface) { SDL_GL_SwapWindow(surface->sdl); }

}  // namespace standin::desktop
