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
//                              InitRenderState before its first frame; the desktop-sized one
//                              shows its frames as --fullscreen does
//   sdl_baseline --fullscreen  a borderless desktop-sized window presenting the 640x480 frame,
//                              drawn into a texture, scaled up with 4:3 kept by one textured quad
//   sdl_baseline --window WxH  a window of that size presenting the frame the same way, as a
//                              scaled desktop shows the program's 640x480 window
#include <SDL2/SDL.h>
#include <SDL2/SDL_opengl.h>

#include <cstdio>
#include <cstdlib>
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

// A window of the given size (0: 640x480), or desktop-sized and borderless.
bool Open(GlWindow& gl, bool desktopSized = false, int windowWidth = 0, int windowHeight = 0) {
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    int width = windowWidth > 0 ? windowWidth : kWidth;
    int height = windowHeight > 0 ? windowHeight : kHeight;
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

// The 640x480 frame of a desktop-sized window: a texture drawn into through a framebuffer
// object, with a depth buffer, as the scene needs.
struct Frame {
    GLuint frameBuffer;
    GLuint texture;
    GLuint depth;
};

struct FramebufferCalls {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
    PFNGLFRAMEBUFFERTEXTURE2DPROC framebufferTexture2D;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer;
};

template <typename Function>
void Fetch(Function& function, const char* name) {
    function = reinterpret_cast<Function>(SDL_GL_GetProcAddress(name));
}

FramebufferCalls LoadFramebufferCalls() {
    FramebufferCalls gl{};
    Fetch(gl.genFramebuffers, "glGenFramebuffers");
    Fetch(gl.bindFramebuffer, "glBindFramebuffer");
    Fetch(gl.framebufferTexture2D, "glFramebufferTexture2D");
    Fetch(gl.genRenderbuffers, "glGenRenderbuffers");
    Fetch(gl.bindRenderbuffer, "glBindRenderbuffer");
    Fetch(gl.renderbufferStorage, "glRenderbufferStorage");
    Fetch(gl.framebufferRenderbuffer, "glFramebufferRenderbuffer");
    return gl;
}

// A new frame in the current context, bound to be drawn into.
Frame MakeFrame(const FramebufferCalls& gl) {
    Frame frame{};
    glGenTextures(1, &frame.texture);
    glBindTexture(GL_TEXTURE_2D, frame.texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, kWidth, kHeight, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    gl.genRenderbuffers(1, &frame.depth);
    gl.bindRenderbuffer(GL_RENDERBUFFER, frame.depth);
    gl.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, kWidth, kHeight);
    gl.bindRenderbuffer(GL_RENDERBUFFER, 0);
    gl.genFramebuffers(1, &frame.frameBuffer);
    gl.bindFramebuffer(GL_FRAMEBUFFER, frame.frameBuffer);
    gl.framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, frame.texture, 0);
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, frame.depth);
    return frame;
}

// The frame's texture drawn over the whole window as one quad, the 4:3 picture centred between
// black bars.
void PresentScaled(SDL_Window* window, const FramebufferCalls& gl, const Frame& frame) {
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);
    int pictureWidth = width * kHeight <= height * kWidth ? width : height * kWidth / kHeight;
    int pictureHeight = pictureWidth * kHeight / kWidth;
    gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
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
    glBindTexture(GL_TEXTURE_2D, frame.texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
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
    gl.bindFramebuffer(GL_FRAMEBUFFER, frame.frameBuffer);
}

}  // namespace

int main(int argc, char** argv) {
    bool bare = false;
    bool recreate = false;
    bool switching = false;
    bool fullscreen = false;
    int windowWidth = 0;
    int windowHeight = 0;
    for (int i = 1; i < argc; ++i) {
        bare = bare || std::strcmp(argv[i], "--bare") == 0;
        recreate = recreate || std::strcmp(argv[i], "--recreate") == 0;
        switching = switching || std::strcmp(argv[i], "--switch") == 0;
        fullscreen = fullscreen || std::strcmp(argv[i], "--fullscreen") == 0;
        if (std::strcmp(argv[i], "--window") == 0 && i + 1 < argc &&
            std::sscanf(argv[i + 1], "%dx%d", &windowWidth, &windowHeight) != 2) {
            std::fprintf(stderr, "sdl_baseline: --window takes WxH\n");
            return 2;
        }
    }

    GlWindow gl = {};
    if (SDL_Init(SDL_INIT_VIDEO) != 0 || !Open(gl, fullscreen, windowWidth, windowHeight)) {
        std::fprintf(stderr, "sdl_baseline: no GL window: %s\n", SDL_GetError());
        return 1;
    }
    const FramebufferCalls framebuffers = LoadFramebufferCalls();
    bool scaled = fullscreen || windowWidth > 0;
    Frame frame = scaled ? MakeFrame(framebuffers) : Frame{};
    ResizeViewport(kWidth, kHeight);
    if (!bare) {
        InitRenderState();
    }

    for (unsigned long count = 1;; ++count) {
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
        if (scaled) PresentScaled(gl.window, framebuffers, frame);
        SDL_GL_SwapWindow(gl.window);

        if (switching && (count == 30 || count == 60)) {
            Close(gl);
            scaled = !scaled;
            if (!Open(gl, scaled)) {
                std::fprintf(stderr, "sdl_baseline: no GL window again: %s\n", SDL_GetError());
                return 1;
            }
            frame = scaled ? MakeFrame(framebuffers) : Frame{};
            ResizeViewport(kWidth, kHeight);
            InitRenderState();
        }

        if (recreate && count == 30) {
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
