// Display mode changes are promises to the program, never changes to the screen: on a
// 1280x1024x24 screen with a window manager the demo's 640x480x16 mode is accepted and its popup
// covers the screen while the program sees 640x480 at 16 bits; on a 600x400 screen it does not
// fit and is refused; on a 1600x1080 screen, no whole multiple of 640x480, the picture on screen
// is the frame whatever GL state the program left. Each screen runs only its own suite (chosen
// with --gtest_filter by CTest).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "platform/desktop/desktop.h"
#include "windowing_support.h"

#include <GL/glext.h>

namespace {

struct Geometry {
    int x;
    int y;
    int width;
    int height;
};

int Field(const std::string& text, const char* label) {
    std::size_t at = text.find(label);
    if (at == std::string::npos) return -1;
    return std::stoi(text.substr(at + std::string(label).size()));
}

Geometry Measure(const std::string& xwininfoArguments) {
    std::string info = RunCommand("xwininfo " + xwininfoArguments).output;
    return {Field(info, "Absolute upper-left X:"), Field(info, "Absolute upper-left Y:"),
            Field(info, "Width:"), Field(info, "Height:")};
}

// The screen size as RandR reports it ("current W x H").
std::string RandrSize() {
    std::string out = RunCommand("xrandr").output;
    std::size_t at = out.find("current ");
    return at == std::string::npos ? "" : out.substr(at, out.find(',', at) - at);
}

DEVMODEA Request(DWORD width, DWORD height, DWORD bits) {
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmBitsPerPel = bits;
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    return mode;
}

bool MarkedFullscreen() {
    std::string state = RunCommand("xprop -name Mode _NET_WM_STATE").output;
    return state.find("_NET_WM_STATE_FULLSCREEN") != std::string::npos;
}

bool Mapped() { return RunCommand("xdotool search --onlyvisible --name '^Mode$'").status == 0; }

bool CoversScreen() {
    Geometry shown = Measure("-name Mode");
    return shown.x == 0 && shown.y == 0 && shown.width == 1280 && shown.height == 1024;
}

// A GL context made current on the window, in the pixel format the demo asks for.
bool MakeDemoContext(HWND window, HGLRC* context) {
    const PIXELFORMATDESCRIPTOR request = DemoFormatRequest();
    HDC dc = GetDC(window);
    int format = ChoosePixelFormat(dc, &request);
    if (format == 0 || !SetPixelFormat(dc, format, &request)) return false;
    *context = wglCreateContext(dc);
    return *context != nullptr && wglMakeCurrent(dc, *context);
}

// The current context's viewport is the program's 640x480, whatever the screen shows.
void ExpectProgramViewport() {
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
}

// Draws a 640x480 frame of random pixels from the seed into the current context's window and
// gives them back as the frame holds them (at its depth), RGB rows bottom first.
std::vector<unsigned char> DrawRandomFrame(unsigned int seed) {
    std::vector<unsigned char> frame(640 * 480 * 3);
    for (unsigned char& channel : frame) {
        seed = seed * 1103515245u + 12345u;
        channel = static_cast<unsigned char>(seed >> 24);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glRasterPos2f(-1.0f, -1.0f);
    glDrawPixels(640, 480, GL_RGB, GL_UNSIGNED_BYTE, frame.data());
    glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, frame.data());
    return frame;
}

// What a capture program's present reads with glReadPixels.
struct Captured {
    int calls;
    std::vector<unsigned char> pixels;
};
Captured gCaptured;

void CapturingPresent(standin::Surface*) {
    ++gCaptured.calls;
    gCaptured.pixels.assign(640 * 480 * 4, 0);
    glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, gCaptured.pixels.data());
}

// A channel stored in `bits` bits and read back as 8.
double Stored(double value, int bits) {
    double levels = std::pow(2.0, bits) - 1;
    return std::round(value * levels) * 255.0 / levels;
}

TEST(DisplayModeOn1280x1024x24, ModeIsRecordedAndItsPopupIsEmulated) {
    std::string screenBefore = RandrSize();
    ASSERT_NE(screenBefore, "");

    // Any size within the desktop and any depth of the time; nothing larger, no odd depths.
    DEVMODEA demo = Request(640, 480, 16);
    EXPECT_EQ(ChangeDisplaySettingsA(&demo, CDS_TEST), DISP_CHANGE_SUCCESSFUL);
    for (DWORD bits : {8u, 15u, 24u, 32u}) {
        DEVMODEA other = Request(1280, 1024, bits);
        EXPECT_EQ(ChangeDisplaySettingsA(&other, CDS_TEST), DISP_CHANGE_SUCCESSFUL) << bits;
    }
    DEVMODEA wide = Request(1281, 1024, 16);
    EXPECT_EQ(ChangeDisplaySettingsA(&wide, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
    DEVMODEA tall = Request(640, 1025, 16);
    EXPECT_EQ(ChangeDisplaySettingsA(&tall, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
    DEVMODEA odd = Request(640, 480, 12);
    EXPECT_EQ(ChangeDisplaySettingsA(&odd, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);

    // A test records nothing: the popup is an ordinary 640x480 window.
    HWND plain = OpenTestWindow("Mode", WS_POPUP, WS_EX_APPWINDOW);
    ASSERT_NE(plain, nullptr);
    ASSERT_TRUE(PumpUntil(Mapped));
    Geometry shown = Measure("-name Mode");
    EXPECT_EQ(shown.width, 640);
    EXPECT_EQ(shown.height, 480);
    EXPECT_FALSE(MarkedFullscreen());
    CloseTestWindow(plain);

    ASSERT_EQ(ChangeDisplaySettingsA(&demo, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    HWND window = OpenTestWindow("Mode", WS_POPUP, WS_EX_APPWINDOW);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(PumpUntil(Mapped));
    EXPECT_TRUE(PumpUntil(MarkedFullscreen)) << "the window manager was not told";
    EXPECT_TRUE(PumpUntil(CoversScreen)) << "the popup does not cover the screen";
    EXPECT_EQ(RandrSize(), screenBefore) << "the real display mode changed";

    // To the program the window is the mode's size, before and after the screen was covered.
    RECT client{};
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    for (const MSG& msg : gRecorded.sent) {
        if (msg.message != WM_SIZE) continue;
        EXPECT_EQ(LOWORD(msg.lParam), 640);
        EXPECT_EQ(HIWORD(msg.lParam), 480);
    }

    // Its context draws at the mode's size and depth.
    HGLRC context = nullptr;
    ASSERT_TRUE(MakeDemoContext(window, &context));
    ExpectProgramViewport();
    GLint red = 0, green = 0, blue = 0, depth = 0;
    glGetIntegerv(GL_RED_BITS, &red);
    glGetIntegerv(GL_GREEN_BITS, &green);
    glGetIntegerv(GL_BLUE_BITS, &blue);
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    EXPECT_EQ(red, 5);
    EXPECT_EQ(green, 6);
    EXPECT_EQ(blue, 5);
    EXPECT_EQ(depth, 16);

    // A frame as the program draws one, then state the scaling must not disturb.
    glClearColor(1.0f, 0.5f, 0.25f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(3, 5, 7, 11);
    glColorMask(GL_TRUE, GL_FALSE, GL_TRUE, GL_FALSE);
    glClearColor(0.1f, 0.2f, 0.3f, 0.4f);
    GLint drawBefore = 0, readBefore = 0, readBufferBefore = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawBefore);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readBefore);
    glGetIntegerv(GL_READ_BUFFER, &readBufferBefore);

    HDC dc = GetDC(window);
    ASSERT_TRUE(SwapBuffers(dc));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(glIsEnabled(GL_SCISSOR_TEST), GL_TRUE);
    GLint box[4] = {};
    glGetIntegerv(GL_SCISSOR_BOX, box);
    EXPECT_EQ(box[0], 3);
    EXPECT_EQ(box[1], 5);
    EXPECT_EQ(box[2], 7);
    EXPECT_EQ(box[3], 11);
    GLboolean mask[4] = {};
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    EXPECT_EQ(mask[0], GL_TRUE);
    EXPECT_EQ(mask[1], GL_FALSE);
    EXPECT_EQ(mask[2], GL_TRUE);
    EXPECT_EQ(mask[3], GL_FALSE);
    GLfloat clear[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[0], 0.1f);
    EXPECT_FLOAT_EQ(clear[3], 0.4f);
    GLint drawAfter = 0, readAfter = 0, readBufferAfter = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawAfter);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readAfter);
    glGetIntegerv(GL_READ_BUFFER, &readBufferAfter);
    EXPECT_EQ(drawAfter, drawBefore);
    EXPECT_EQ(readAfter, readBefore);
    EXPECT_EQ(readBufferAfter, readBufferBefore);

    // A capture presenter reads the program's 640x480 frame, in 5-6-5 colour.
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(1.0f, 0.5f, 0.25f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    gCaptured = {};
    standin::Backend capturing = standin::desktop::Table();
    capturing.present = CapturingPresent;
    standin::UseBackend(&capturing);
    EXPECT_TRUE(SwapBuffers(dc));
    standin::UseBackend(&standin::desktop::Table());
    ASSERT_EQ(gCaptured.calls, 1);
    for (int at : {0, 640 * 240 + 320, 640 * 480 - 1}) {
        const unsigned char* pixel = &gCaptured.pixels[static_cast<std::size_t>(at) * 4];
        EXPECT_NEAR(pixel[0], Stored(1.0, 5), 1.0) << at;
        EXPECT_NEAR(pixel[1], Stored(0.5, 6), 1.0) << at;
        EXPECT_NEAR(pixel[2], Stored(0.25, 5), 1.0) << at;
    }

    EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
    EXPECT_TRUE(wglDeleteContext(context));
    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    CloseTestWindow(window);
    EXPECT_EQ(RandrSize(), screenBefore);
}

TEST(DisplayModeOn600x400x24, ModeLargerThanTheDesktopIsRefused) {
    DEVMODEA mode = Request(640, 480, 16);
    EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
    DEVMODEA fits = Request(600, 400, 16);
    EXPECT_EQ(ChangeDisplaySettingsA(&fits, CDS_TEST), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
}

// What the screen would show: the window's back buffer at present time, bottom row first.
constexpr int kScreenWidth = 1600;
constexpr int kScreenHeight = 1080;
std::vector<unsigned char> gScreen;

void ScreenPresent(standin::Surface*) {
    auto bindFramebuffer = reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(
        standin::desktop::Table().glProcAddress("glBindFramebuffer"));
    GLint read = 0;
    GLint readBuffer = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
    bindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    glReadBuffer(GL_BACK);
    gScreen.assign(static_cast<std::size_t>(kScreenWidth) * kScreenHeight * 3, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kScreenWidth, kScreenHeight, GL_RGB, GL_UNSIGNED_BYTE, gScreen.data());
    glReadBuffer(static_cast<GLenum>(readBuffer));
    bindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read));
}

// The frame at the screen's pixel (x, y) of a picture `width` x `height`: the frame's pixels each
// repeated `whole` times, then filtered linearly to the picture's size, edges clamped.
double ScaledChannel(const std::vector<unsigned char>& frame, int whole, int width, int height,
                     int x, int y, int channel) {
    const int repeatedWidth = 640 * whole;
    const int repeatedHeight = 480 * whole;
    const double fx = (x + 0.5) * repeatedWidth / width - 0.5;
    const double fy = (y + 0.5) * repeatedHeight / height - 0.5;
    const int x0 = static_cast<int>(std::floor(fx));
    const int y0 = static_cast<int>(std::floor(fy));
    auto at = [&](int rx, int ry) {
        rx = std::min(std::max(rx, 0), repeatedWidth - 1) / whole;
        ry = std::min(std::max(ry, 0), repeatedHeight - 1) / whole;
        return static_cast<double>(frame[static_cast<std::size_t>((ry * 640 + rx) * 3 + channel)]);
    };
    const double wx = fx - x0;
    const double wy = fy - y0;
    return (at(x0, y0) * (1 - wx) + at(x0 + 1, y0) * wx) * (1 - wy) +
           (at(x0, y0 + 1) * (1 - wx) + at(x0 + 1, y0 + 1) * wx) * wy;
}

// GL 1.1 state a program may leave at its swap, each set to spoil a quad drawn over the frame.
void SetHostileState() {
    // Texture names 1 and 2, bound without generating them, as GL 1.1 allows.
    const GLubyte grey[3] = {128, 128, 128};
    for (GLuint name : {1u, 2u}) {
        glBindTexture(GL_TEXTURE_2D, name);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, grey);
    }
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_ZERO);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_NEVER);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_NEVER, 0.0f);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT_AND_BACK);
    glPolygonMode(GL_FRONT_AND_BACK, GL_POINT);
    const GLdouble everything[4] = {0.0, 0.0, 0.0, -1.0};
    glClipPlane(GL_CLIP_PLANE0, everything);
    glEnable(GL_CLIP_PLANE0);
    const GLfloat red[4] = {1.0f, 0.0f, 0.0f, 1.0f};
    glFogfv(GL_FOG_COLOR, red);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, 0.0f);
    glFogf(GL_FOG_END, 0.0f);
    glEnable(GL_FOG);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glEnable(GL_COLOR_LOGIC_OP);
    glLogicOp(GL_CLEAR);
    glEnable(GL_SCISSOR_TEST);
    glScissor(3, 5, 7, 11);
    glViewport(3, 4, 5, 6);
    glColorMask(GL_TRUE, GL_FALSE, GL_TRUE, GL_FALSE);
    glMatrixMode(GL_PROJECTION);
    glScalef(0.1f, 0.1f, 1.0f);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(5.0f, 0.0f, 0.0f);
    glMatrixMode(GL_TEXTURE);
    glScalef(-1.0f, -1.0f, 1.0f);
    glTexCoord4f(0.25f, 0.5f, 0.75f, 1.0f);
}

// The state SetHostileState leaves, as the program would read it back.
std::vector<GLfloat> ReadBackState() {
    std::vector<GLfloat> state;
    for (GLenum capability : {GL_TEXTURE_2D, GL_BLEND, GL_DEPTH_TEST, GL_ALPHA_TEST, GL_CULL_FACE,
                              GL_CLIP_PLANE0, GL_FOG, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T,
                              GL_COLOR_LOGIC_OP, GL_SCISSOR_TEST, GL_LIGHTING, GL_STENCIL_TEST}) {
        state.push_back(glIsEnabled(capability) == GL_TRUE ? 1.0f : 0.0f);
    }
    for (GLenum value :
         {GL_TEXTURE_BINDING_2D, GL_POLYGON_MODE, GL_VIEWPORT, GL_SCISSOR_BOX, GL_COLOR_WRITEMASK,
          GL_COLOR_CLEAR_VALUE, GL_CURRENT_TEXTURE_COORDS, GL_MATRIX_MODE, GL_MODELVIEW_MATRIX,
          GL_PROJECTION_MATRIX, GL_TEXTURE_MATRIX, GL_BLEND_DST, GL_DEPTH_FUNC, GL_LOGIC_OP_MODE}) {
        GLfloat values[16] = {};
        glGetFloatv(value, values);
        state.insert(state.end(), values, values + 16);
    }
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    state.push_back(static_cast<GLfloat>(mode));
    return state;
}

TEST(DisplayModeOn1600x1080x24, TheScreenShowsTheFrameWhateverStateTheProgramLeft) {
    DEVMODEA demo = Request(640, 480, 16);
    ASSERT_EQ(ChangeDisplaySettingsA(&demo, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    HWND window = OpenTestWindow("Mode", WS_POPUP, WS_EX_APPWINDOW);
    ASSERT_NE(window, nullptr);
    HGLRC context = nullptr;
    ASSERT_TRUE(MakeDemoContext(window, &context));

    // A frame of random pixels, as the frame holds them at 16 bits.
    const std::vector<unsigned char> frame = DrawRandomFrame(12345);
    SetHostileState();
    const std::vector<GLfloat> before = ReadBackState();

    standin::Backend screen = standin::desktop::Table();
    screen.present = ScreenPresent;
    standin::UseBackend(&screen);
    EXPECT_TRUE(SwapBuffers(GetDC(window)));
    standin::UseBackend(&standin::desktop::Table());

    // 640x480 on 1600x1080: 2.25 times, the whole part 2, a 1440x1080 picture between 80-pixel
    // black pillars. The filtering rounds its weights: a channel may be up to two steps off.
    const int left = (kScreenWidth - 1440) / 2;
    int wrong = 0;
    for (int y = 0; y < kScreenHeight; ++y) {
        for (int x = 0; x < kScreenWidth; ++x) {
            for (int channel = 0; channel < 3; ++channel) {
                const bool picture = x >= left && x < left + 1440;
                const double want =
                    picture ? ScaledChannel(frame, 2, 1440, 1080, x - left, y, channel) : 0.0;
                const int got =
                    gScreen[static_cast<std::size_t>((y * kScreenWidth + x) * 3 + channel)];
                if (std::fabs(got - want) > 2.0 && wrong++ < 5) {
                    ADD_FAILURE() << "at " << x << "," << y << " channel " << channel << ": " << got
                                  << " where the scaling gives " << want;
                }
            }
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(ReadBackState(), before) << "the program's state changed";

    EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
    EXPECT_TRUE(wglDeleteContext(context));
    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    CloseTestWindow(window);
}

}  // namespace

// ---- A desktop scaled by its Xft.dpi resource ----

// The desktop's scale as the session's X resources give it.
double XftScale() {
    std::string resources = RunCommand("xrdb -query").output;
    std::size_t at = resources.find("Xft.dpi:");
    return at == std::string::npos ? 1.0 : std::stod(resources.substr(at + 8)) / 96.0;
}

struct Drawable {
    int width;
    int height;
    std::vector<unsigned char> pixels;
};
Drawable gDrawable;

void DrawablePresent(standin::Surface*) {
    auto bindFramebuffer = reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(
        standin::desktop::Table().glProcAddress("glBindFramebuffer"));
    GLint read = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
    bindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    gDrawable.pixels.assign(static_cast<std::size_t>(gDrawable.width) * gDrawable.height * 3, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, gDrawable.width, gDrawable.height, GL_RGB, GL_UNSIGNED_BYTE,
                 gDrawable.pixels.data());
    bindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read));
}

// As Windows shows a program that knows nothing of DPI: the window is the client area times the
// desktop's scale on screen, the program sees 640x480 in GetClientRect, WM_SIZE and its
// viewport, and its picture fills the window scaled sharp.
TEST(DisplayOnScaledDesktop, ProgramSeesItsClientAreaAndItsPictureFillsTheWindow) {
    const double scale = XftScale();
    const int width = static_cast<int>(std::lround(640 * scale));
    const int height = static_cast<int>(std::lround(480 * scale));
    HWND window = OpenTestWindow("Scaled", WS_OVERLAPPEDWINDOW, WS_EX_APPWINDOW);
    ASSERT_NE(window, nullptr);
    Geometry shown = Measure("-name Scaled");
    EXPECT_EQ(shown.width, width);
    EXPECT_EQ(shown.height, height);
    RECT client{};
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    LPARAM lastSize = 0;
    for (const MSG& msg : gRecorded.sent) {
        if (msg.hwnd == window && msg.message == WM_SIZE) lastSize = msg.lParam;
    }
    EXPECT_EQ(lastSize, MAKELPARAM(640, 480));

    HGLRC context = nullptr;
    ASSERT_TRUE(MakeDemoContext(window, &context));
    ExpectProgramViewport();
    GLint offscreen = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &offscreen);
    // At 100% the program draws straight into its window, as it always did.
    EXPECT_EQ(offscreen != 0, width != 640);

    const std::vector<unsigned char> frame = DrawRandomFrame(4242);

    gDrawable.width = width;
    gDrawable.height = height;
    standin::Backend drawable = standin::desktop::Table();
    drawable.present = DrawablePresent;
    standin::UseBackend(&drawable);
    EXPECT_TRUE(SwapBuffers(GetDC(window)));
    standin::UseBackend(&standin::desktop::Table());

    // A whole scale repeats each pixel exactly (2x2 blocks at 200%); any other fills the window
    // with the pixels filtered the rest of the way.
    const int whole = std::max(1, width / 640);
    const bool exact = width == whole * 640;
    int wrong = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int channel = 0; channel < 3; ++channel) {
                const double want = exact
                                        ? frame[static_cast<std::size_t>(
                                              ((y / whole) * 640 + x / whole) * 3 + channel)]
                                        : ScaledChannel(frame, whole, width, height, x, y, channel);
                const int got =
                    gDrawable.pixels[static_cast<std::size_t>((y * width + x) * 3 + channel)];
                if (std::fabs(got - want) > (exact ? 0.0 : 2.0) && wrong++ < 5) {
                    ADD_FAILURE() << "at " << x << "," << y << " channel " << channel << ": " << got
                                  << " where the scaling gives " << want;
                }
            }
        }
    }
    EXPECT_EQ(wrong, 0);

    EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
    EXPECT_TRUE(wglDeleteContext(context));
    CloseTestWindow(window);
}
