// The floors the program is measured against: the demo's own frames drawn by a bare SDL2 loop,
// with none of the program's window handling in between.
//
//   sdl_baseline               RenderFrame and SDL_GL_SwapWindow in a 640x480 window, as fast
//                              as they go
//   sdl_baseline --bare        only clears and swaps: a plain GL window, no font, no scene
//   ... --recreate             after 30 frames, destroys the window and context and opens new ones
//   sdl_baseline --switch      the program's F1 done bare, twice: after 30 frames the window and
//                              context give way to new ones, from 640x480 to a borderless window
//                              the size of the desktop, and after 60 back, each with
//                              InitRenderState before its first frame
//   sdl_baseline --fullscreen  a borderless desktop-sized window presenting the 640x480 frame
//                              scaled up, 4:3 kept, by one textured quad
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

bool Open(GlWindow& gl, bool desktopSized = false) {
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    int width = kWidth;
    int height = kHeight;
    Uint32 flags = SDL_WINDOW_OPENGL;
    SDL_DisplayMode desktop;
    if (desktopSized && SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
        width = desktop.w;
        height = desktop.h;
        flags |= SDL_WINDOW_BORDERLESS;
    }
    gl.window = SDL_CreateWindow("baseline", 0, 0, width, height, flags);
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

// The frame drawn at 640x480 in the corner of the back buffer, copied to a texture and drawn
// back over the whole window as one quad, the 4:3 picture centred between black bars.
void PresentScaled(SDL_Window* window, GLuint texture) {
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);
    glBindTexture(GL_TEXTURE_2D, texture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, kWidth, kHeight);
    int pictureWidth = width * kHeight <= height * kWidth ? width : height * kWidth / kHeight;
    int pictureHeight = pictureWidth * kHeight / kWidth;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glViewport(0, 0, width, height);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glViewport((width - pictureWidth) / 2, (height - pictureHeight) / 2, pictureWidth,
               pictureHeight);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glColor3f(1.0f, 1.0f, 1.0f);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-1.0f, -1.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(1.0f, -1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
    glBindTexture(GL_TEXTURE_2D, 0);
}

GLuint MakeFrameTexture() {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kWidth, kHeight, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

}  // namespace

int main(int argc, char** argv) {
    bool bare = false;
    bool recreate = false;
    bool switching = false;
    bool fullscreen = false;
    for (int i = 1; i < argc; ++i) {
        bare = bare || std::strcmp(argv[i], "--bare") == 0;
        recreate = recreate || std::strcmp(argv[i], "--recreate") == 0;
        switching = switching || std::strcmp(argv[i], "--switch") == 0;
        fullscreen = fullscreen || std::strcmp(argv[i], "--fullscreen") == 0;
    }

    GlWindow gl = {};
    if (SDL_Init(SDL_INIT_VIDEO) != 0 || !Open(gl, fullscreen)) {
        std::fprintf(stderr, "sdl_baseline: no GL window: %s\n", SDL_GetError());
        return 1;
    }
    ResizeViewport(kWidth, kHeight);
    if (!bare) {
        InitRenderState();
    }
    const GLuint frameTexture = fullscreen ? MakeFrameTexture() : 0;
    bool desktopSized = false;

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
        if (fullscreen) PresentScaled(gl.window, frameTexture);
        SDL_GL_SwapWindow(gl.window);

        if (switching && (frame == 30 || frame == 60)) {
            Close(gl);
            desktopSized = !desktopSized;
            if (!Open(gl, desktopSized)) {
                std::fprintf(stderr, "sdl_baseline: no GL window again: %s\n", SDL_GetError());
                return 1;
            }
            ResizeViewport(kWidth, kHeight);
            InitRenderState();
        }

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
