// The floor the program is measured against: the demo's own frames drawn by a bare SDL2 loop
// in a 640x480 GL window, with none of the program's window handling in between.
//
//   sdl_baseline            RenderFrame and SDL_GL_SwapWindow, as fast as they go
//   sdl_baseline --bare     only clears and swaps: a plain GL window, no font, no scene
//   ... --recreate          after 30 frames, destroys the window and context and opens new ones
#include <SDL2/SDL.h>

#include <cstdio>
#include <cstring>

#include "common/demo_state.h"
#include "render/render.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

struct GlWindow {
    SDL_Window* window;
    SDL_GLContext context;
};

bool Open(GlWindow& gl) {
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    gl.window = SDL_CreateWindow("baseline", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL);
    if (gl.window == nullptr) {
        return false;
    }
    gl.context = SDL_GL_CreateContext(gl.window);
    return gl.context != nullptr && SDL_GL_MakeCurrent(gl.window, gl.context) == 0;
}

void Close(GlWindow& gl) {
    SDL_GL_DeleteContext(gl.context);
    SDL_DestroyWindow(gl.window);
}

}  // namespace

int main(int argc, char** argv) {
    bool bare = false;
    bool recreate = false;
    for (int i = 1; i < argc; ++i) {
        bare = bare || std::strcmp(argv[i], "--bare") == 0;
        recreate = recreate || std::strcmp(argv[i], "--recreate") == 0;
    }

    GlWindow gl = {};
    if (SDL_Init(SDL_INIT_VIDEO) != 0 || !Open(gl)) {
        std::fprintf(stderr, "sdl_baseline: no GL window: %s\n", SDL_GetError());
        return 1;
    }
    ResizeViewport(kWidth, kHeight);
    if (!bare) {
        InitRenderState();
    }

    for (unsigned long frame = 1;; ++frame) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT) {
                Close(gl);
                SDL_Quit();
                return 0;
            }
        }
        if (bare) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        } else {
            RenderFrame();
        }
        SDL_GL_SwapWindow(gl.window);

        if (recreate && frame == 30) {
            Close(gl);
            if (!Open(gl)) {
                std::fprintf(stderr, "sdl_baseline: no GL window again: %s\n", SDL_GetError());
                return 1;
            }
            ResizeViewport(kWidth, kHeight);
            if (!bare) {
                InitRenderState();
            }
        }
    }
}
