// The surfaceless EGL context the pixel tests and the benchmark draw into.
#include "offscreen_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

EGLDisplay display = EGL_NO_DISPLAY;
EGLContext context = EGL_NO_CONTEXT;
EGLSurface surface = EGL_NO_SURFACE;

bool Fail(const char* what) {
    std::fprintf(stderr, "offscreen GL: %s (EGL error 0x%x)\n", what, eglGetError());
    CloseOffscreenContext();
    return false;
}

// Without a pbuffer the context draws into its own framebuffer object instead.
bool BindFramebuffer() {
    auto genFramebuffers =
        reinterpret_cast<PFNGLGENFRAMEBUFFERSPROC>(eglGetProcAddress("glGenFramebuffers"));
    auto bindFramebuffer =
        reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(eglGetProcAddress("glBindFramebuffer"));
    auto genRenderbuffers =
        reinterpret_cast<PFNGLGENRENDERBUFFERSPROC>(eglGetProcAddress("glGenRenderbuffers"));
    auto bindRenderbuffer =
        reinterpret_cast<PFNGLBINDRENDERBUFFERPROC>(eglGetProcAddress("glBindRenderbuffer"));
    auto storage =
        reinterpret_cast<PFNGLRENDERBUFFERSTORAGEPROC>(eglGetProcAddress("glRenderbufferStorage"));
    auto attach = reinterpret_cast<PFNGLFRAMEBUFFERRENDERBUFFERPROC>(
        eglGetProcAddress("glFramebufferRenderbuffer"));
    auto status = reinterpret_cast<PFNGLCHECKFRAMEBUFFERSTATUSPROC>(
        eglGetProcAddress("glCheckFramebufferStatus"));
    if (!genFramebuffers || !bindFramebuffer || !genRenderbuffers || !bindRenderbuffer ||
        !storage || !attach || !status) {
        return false;
    }
    GLuint fbo = 0;
    GLuint buffers[2] = {};
    genFramebuffers(1, &fbo);
    bindFramebuffer(GL_FRAMEBUFFER, fbo);
    genRenderbuffers(2, buffers);
    bindRenderbuffer(GL_RENDERBUFFER, buffers[0]);
    storage(GL_RENDERBUFFER, GL_RGBA8, kWidth, kHeight);
    attach(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, buffers[0]);
    bindRenderbuffer(GL_RENDERBUFFER, buffers[1]);
    storage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, kWidth, kHeight);
    attach(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, buffers[1]);
    return status(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

}  // namespace

bool OpenOffscreenContext() {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        return Fail("no eglGetPlatformDisplayEXT");
    }
    display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
        return Fail("no surfaceless EGL display");
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        return Fail("desktop OpenGL not offered");
    }

    const EGLint pbufferConfig[] = {EGL_SURFACE_TYPE,
                                    EGL_PBUFFER_BIT,
                                    EGL_RENDERABLE_TYPE,
                                    EGL_OPENGL_BIT,
                                    EGL_RED_SIZE,
                                    8,
                                    EGL_GREEN_SIZE,
                                    8,
                                    EGL_BLUE_SIZE,
                                    8,
                                    EGL_DEPTH_SIZE,
                                    24,
                                    EGL_NONE};
    const EGLint anyConfig[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint found = 0;
    const bool pbuffer = eglChooseConfig(display, pbufferConfig, &config, 1, &found) && found > 0;
    if (!pbuffer && (!eglChooseConfig(display, anyConfig, &config, 1, &found) || found == 0)) {
        return Fail("no GL config");
    }

    context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT) {
        return Fail("no GL context");
    }
    if (pbuffer) {
        const EGLint size[] = {EGL_WIDTH, kWidth, EGL_HEIGHT, kHeight, EGL_NONE};
        surface = eglCreatePbufferSurface(display, config, size);
        if (surface == EGL_NO_SURFACE) {
            return Fail("no pbuffer");
        }
    }
    if (!eglMakeCurrent(display, surface, surface, context)) {
        return Fail("context not made current");
    }
    if (!pbuffer && !BindFramebuffer()) {
        return Fail("no framebuffer object");
    }
    return true;
}

void CloseOffscreenContext() {
    if (display == EGL_NO_DISPLAY) {
        return;
    }
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (surface != EGL_NO_SURFACE) {
        eglDestroySurface(display, surface);
    }
    if (context != EGL_NO_CONTEXT) {
        eglDestroyContext(display, context);
    }
    eglTerminate(display);
    display = EGL_NO_DISPLAY;
    context = EGL_NO_CONTEXT;
    surface = EGL_NO_SURFACE;
}
