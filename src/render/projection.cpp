// Viewport, perspective projection and the fixed GL state every fresh context gets.
#include "common/demo_state.h"
#include "render/render.h"

void ResizeViewport(int width, int height) {
    // Only the height is guarded: it is the divisor of the aspect ratio.
    if (height == 0) {
        height = 1;
    }
    glViewport(0, 0, width, height);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<GLdouble>(width) / static_cast<GLdouble>(height), 0.1f, 100.0);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

bool InitRenderState() {
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    // LEQUAL lets a later draw at exactly the same depth win; the loading line relies on it.
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    BuildTextFont();
    return true;
}
