// Windows as the X server and its window manager see them: shown only when asked, closed and
// minimised through the window manager, and their GL pixel formats.
#include <gtest/gtest.h>

#include <string>

#include "windowing_support.h"

namespace {

bool Visible(const char* title) {
    return RunCommand(std::string("xdotool search --onlyvisible --name '^") + title + "$'")
               .status == 0;
}

bool Exists(const char* title) {
    return RunCommand(std::string("xdotool search --name '^") + title + "$'").status == 0;
}

bool QuitTaken() {
    for (const MSG& msg : gRecorded.queued) {
        if (msg.message == WM_QUIT) return true;
    }
    return false;
}

HWND CreateHidden(const char* title) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND shown = OpenTestWindow("Other", WS_POPUP, 0);  // registers the test class
    DestroyWindow(shown);
    return CreateWindowExA(0, "QuorvaneWindowingTest", title, WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                           nullptr, nullptr, instance, nullptr);
}

class Windows : public ::testing::Test {
protected:
    void SetUp() override { gRecorded = {}; }
};

TEST_F(Windows, StaysUnmappedUntilShown) {
    HWND window = CreateHidden("Hidden");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(PumpUntil([] { return Exists("Hidden"); }));
    PumpUntil([] { return false; }, 300);
    EXPECT_FALSE(Visible("Hidden"));
    ShowWindow(window, SW_SHOW);
    EXPECT_TRUE(PumpUntil([] { return Visible("Hidden"); }));
    CloseTestWindow(window);
}

TEST_F(Windows, CloseThroughTheWindowManagerReachesTheProcedureAsClose) {
    HWND window = OpenTestWindow("Closing", WS_OVERLAPPEDWINDOW, WS_EX_APPWINDOW);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(PumpUntil([] { return Focused("Closing"); }));
    ASSERT_EQ(RunCommand("wmctrl -c Closing").status, 0);
    ASSERT_TRUE(PumpUntil(QuitTaken));
    EXPECT_TRUE(SawSent(WM_CLOSE));
    // The procedure posted a quit and kept its window, as the demo's does.
    EXPECT_TRUE(IsWindowVisible(window));
    CloseTestWindow(window);
}

TEST_F(Windows, DefaultCloseDestroysTheWindow) {
    gRecorded.closeByDefault = true;
    HWND window = OpenTestWindow("Closing", WS_OVERLAPPEDWINDOW, WS_EX_APPWINDOW);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(PumpUntil([] { return Focused("Closing"); }));
    ASSERT_EQ(RunCommand("wmctrl -c Closing").status, 0);
    ASSERT_TRUE(PumpUntil([] { return SawSent(WM_DESTROY); }));
    EXPECT_TRUE(SawSent(WM_CLOSE));
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_TRUE(PumpUntil([] { return !Exists("Closing"); }));
    gRecorded = {};
}

// Minimised and restored through the window manager, as a user does: the window procedure
// learns both from WM_ACTIVATE's minimised flag, which is what the demo's pause follows.
TEST_F(Windows, MinimisingAndRestoringThroughTheWindowManagerAreReported) {
    HWND window = OpenTestWindow("Minimise", WS_OVERLAPPEDWINDOW, WS_EX_APPWINDOW);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(PumpUntil([] { return Focused("Minimise"); }));
    // The minimised flag of the last WM_ACTIVATE: 1 or 0, or -1 when none came since `from`.
    auto lastActivation = [](std::size_t from) {
        int minimised = -1;
        for (std::size_t i = from; i < gRecorded.sent.size(); ++i) {
            const MSG& msg = gRecorded.sent[i];
            if (msg.message == WM_ACTIVATE) minimised = HIWORD(msg.wParam) != 0 ? 1 : 0;
        }
        return minimised;
    };

    std::size_t from = gRecorded.sent.size();
    ASSERT_EQ(RunCommand("xdotool search --name '^Minimise$' windowminimize").status, 0);
    ASSERT_TRUE(PumpUntil([&] { return lastActivation(from) == 1; }));
    // A minimised window reports an empty client area.
    RECT client{};
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.right, 0);
    EXPECT_EQ(client.bottom, 0);

    from = gRecorded.sent.size();
    ASSERT_EQ(RunCommand("wmctrl -a Minimise").status, 0);
    ASSERT_TRUE(PumpUntil([&] { return lastActivation(from) == 0; }));
    ASSERT_TRUE(PumpUntil([&] {
        return GetClientRect(window, &client) && client.right == 640 && client.bottom == 480;
    }));
    CloseTestWindow(window);
}

TEST_F(Windows, DeviceContextBelongsToItsOwnWindowOnly) {
    HWND first = OpenTestWindow("First", WS_POPUP, 0);
    HWND second = OpenTestWindow("Second", WS_POPUP, 0);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(ReleaseDC(first, GetDC(second)), 0);
    EXPECT_EQ(ReleaseDC(second, GetDC(second)), 1);
    CloseTestWindow(first);
    CloseTestWindow(second);
}

TEST_F(Windows, PixelFormatGivesTheAskedBuffers) {
    for (bool doubleBuffer : {true, false}) {
        SCOPED_TRACE(doubleBuffer);
        HWND window = OpenTestWindow("Pixels", WS_POPUP, 0);
        ASSERT_NE(window, nullptr);
        HDC dc = GetDC(window);
        PIXELFORMATDESCRIPTOR request = FormatRequest(doubleBuffer ? PFD_DOUBLEBUFFER : 0, 16);
        int format = ChoosePixelFormat(dc, &request);
        ASSERT_NE(format, 0);
        ASSERT_TRUE(SetPixelFormat(dc, format, &request));
        HGLRC context = wglCreateContext(dc);
        ASSERT_NE(context, nullptr);
        ASSERT_TRUE(wglMakeCurrent(dc, context));
        GLint depthBits = 0;
        GLint redBits = 0;
        GLboolean doubled = GL_FALSE;
        glGetIntegerv(GL_DEPTH_BITS, &depthBits);
        glGetIntegerv(GL_RED_BITS, &redBits);
        glGetBooleanv(GL_DOUBLEBUFFER, &doubled);
        EXPECT_GE(depthBits, 16);
        EXPECT_GE(redBits, 5);
        EXPECT_EQ(doubled == GL_TRUE, doubleBuffer);
        EXPECT_TRUE(SwapBuffers(dc));
        EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
        EXPECT_TRUE(wglDeleteContext(context));
        EXPECT_FALSE(wglDeleteContext(context));
        CloseTestWindow(window);
    }
    HWND window = OpenTestWindow("Pixels", WS_POPUP, 0);
    PIXELFORMATDESCRIPTOR indexed = FormatRequest(PFD_DOUBLEBUFFER, 16);
    indexed.iPixelType = PFD_TYPE_COLORINDEX;
    EXPECT_EQ(ChoosePixelFormat(GetDC(window), &indexed), 0);
    // No context can be made before the window has a pixel format.
    EXPECT_EQ(wglCreateContext(GetDC(window)), nullptr);
    CloseTestWindow(window);
}

}  // namespace
