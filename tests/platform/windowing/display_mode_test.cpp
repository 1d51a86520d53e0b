// Display mode changes on two Xvfb screens: 640x480x16 offers the demo's mode, 1024x768x24
// does not. The first runs with a window manager, which marks fullscreen windows. Each screen runs only its own suite (chosen with --gtest_filter by CTest).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "windowing_support.h"

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

bool Mapped() {
    return RunCommand("xdotool search --onlyvisible --name '^Mode$'").status == 0;
}

TEST(DisplayModeOn640x480x16, DemoModeIsAcceptedAndThePopupCoversTheDisplay) {
    DEVMODEA nearest = Request(640, 480, 32);
    EXPECT_EQ(ChangeDisplaySettingsA(&nearest, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    DEVMODEA other = Request(800, 600, 16);
    EXPECT_EQ(ChangeDisplaySettingsA(&other, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
    DEVMODEA mode = Request(640, 480, 16);
    ASSERT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);

    HWND window = OpenTestWindow("Mode", WS_POPUP, WS_EX_APPWINDOW);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(PumpUntil(Mapped));
    // The window manager states it; the geometry shows it.
    EXPECT_TRUE(PumpUntil(MarkedFullscreen));
    Geometry root = Measure("-root");
    ASSERT_EQ(root.width, 640);
    ASSERT_EQ(root.height, 480);
    Geometry shown = Measure("-name Mode");
    EXPECT_EQ(shown.x, 0);
    EXPECT_EQ(shown.y, 0);
    EXPECT_EQ(shown.width, root.width);
    EXPECT_EQ(shown.height, root.height);
    RECT client{};
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);

    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    CloseTestWindow(window);
}

TEST(DisplayModeOn1024x768x24, DemoModeIsRefused) {
    DEVMODEA mode = Request(640, 480, 16);
    EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
    // The display's own size is a mode it has, so the refusal is about the size asked.
    DEVMODEA own = Request(1024, 768, 24);
    EXPECT_EQ(ChangeDisplaySettingsA(&own, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);

    // With no mode in force a 640x480 popup is an ordinary window.
    HWND window = OpenTestWindow("Mode", WS_POPUP, WS_EX_APPWINDOW);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(PumpUntil(Mapped));
    Geometry shown = Measure("-name Mode");
    EXPECT_EQ(shown.width, 640);
    EXPECT_EQ(shown.height, 480);
    EXPECT_FALSE(MarkedFullscreen());
    CloseTestWindow(window);
}

}  // namespace
