// The render calls of the application shell, recorded in the same log as the Win32 calls so
// that their place in the order of creation can be checked.
#include "fake_win32.h"
#include "render/render.h"

void ResizeViewport(int width, int height) { fake::Log("ResizeViewport", {width, height}); }

bool InitRenderState() {
    fake::Log("InitRenderState", {});
    return !fake::ShouldFail("InitRenderState");
}

bool RenderFrame() {
    fake::Log("RenderFrame", {});
    return !fake::ShouldFail("RenderFrame");
}
