// What a successful CreateDemoWindow asks of the platform: the class, the display mode,
// styles and sizes per mode, the pixel format, and the order in which it all comes up.
#include "app_test_support.h"

#include <algorithm>

namespace {

using WindowSetupTest = AppTest;

struct ModeCase {
    bool fullscreen;
    std::int64_t exStyle, style, outerWidth, outerHeight;
};

void PrintTo(const ModeCase& mode, std::ostream* out) {
    *out << (mode.fullscreen ? "fullscreen" : "windowed");
}

class StyleTest : public AppTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(StyleTest, ClientAreaIsTheAskedSizeAndClippingIsAddedOnlyAtCreation) {
    const ModeCase& mode = GetParam();
    ASSERT_TRUE(CreateDemoWindow("Quorvane", 640, 480, 16, mode.fullscreen));
    EXPECT_EQ(demoState.isFullscreen, mode.fullscreen);

    const fake::Call adjusted = fake::Calls("AdjustWindowRectEx")[0];
    EXPECT_EQ(adjusted.args,
              (std::vector<std::int64_t>{mode.style, 0, mode.exStyle, 0, 0, 640, 480}));

    const fake::Call created = fake::Calls("CreateWindowExA")[0];
    EXPECT_EQ(created.args, (std::vector<std::int64_t>{
                                mode.exStyle, mode.style | kClipSiblingsAndChildren, 0, 0,
                                mode.outerWidth, mode.outerHeight, 0, 0, fake::kInstance, 0}));
    EXPECT_EQ(created.texts, (std::vector<std::string>{"OpenGL", "Quorvane"}));
    EXPECT_EQ(fake::Count("ShowCursor"), mode.fullscreen ? 1 : 0);
    EXPECT_EQ(fake::record.cursorCount, mode.fullscreen ? -1 : 0);
}

INSTANTIATE_TEST_SUITE_P(PerMode, StyleTest,
                         ::testing::Values(ModeCase{true, kExAppWindow, kPopup, 640, 480},
                                           ModeCase{false, kExAppWindowEdge, kOverlappedWindow,
                                                    640 + fake::kFrameLeft + fake::kFrameRight,
                                                    480 + fake::kFrameTop + fake::kFrameBottom}),
                         [](const auto& named) {
                             return std::string(named.param.fullscreen ? "Fullscreen" : "Windowed");
                         });

TEST_F(WindowSetupTest, ClassIsRegisteredOnEveryCreationWithTheDemoProcedure) {
    ASSERT_TRUE(CreateDemoWindow("Quorvane", 640, 480, 16, false));
    const WNDCLASSA& registered = fake::record.registeredClass;
    EXPECT_EQ(registered.style, 0x23u);
    EXPECT_EQ(registered.lpfnWndProc, &DemoWindowProc);
    EXPECT_EQ(registered.cbClsExtra, 0);
    EXPECT_EQ(registered.cbWndExtra, 0);
    EXPECT_EQ(fake::Handle(registered.hInstance), fake::kInstance);
    EXPECT_EQ(fake::Handle(registered.hIcon), fake::kIcon);
    EXPECT_EQ(fake::Handle(registered.hCursor), fake::kCursor);
    EXPECT_EQ(registered.hbrBackground, nullptr);
    EXPECT_EQ(registered.lpszMenuName, nullptr);
    EXPECT_STREQ(registered.lpszClassName, "OpenGL");
    // The system's logo icon and arrow cursor, not resources of the program.
    EXPECT_EQ(fake::Calls("LoadIconA")[0].args, (std::vector<std::int64_t>{0, 32517}));
    EXPECT_EQ(fake::Calls("LoadCursorA")[0].args, (std::vector<std::int64_t>{0, 32512}));
    EXPECT_EQ(fake::Calls("GetModuleHandleA")[0].texts, std::vector<std::string>{"(null)"});
    EXPECT_LT(fake::IndexOf("GetModuleHandleA"), fake::IndexOf("RegisterClassA"));

    DestroyDemoWindow();
    ASSERT_TRUE(CreateDemoWindow("Quorvane", 640, 480, 16, false));
    EXPECT_EQ(fake::Count("RegisterClassA"), 2);
}

TEST_F(WindowSetupTest, FullscreenAsksForExactlyTheModeThenHidesTheCursor) {
    ASSERT_TRUE(CreateDemoWindow("Quorvane", 640, 480, 16, true));
    const std::vector<fake::Call> changes = fake::Calls("ChangeDisplaySettingsA");
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].args, (std::vector<std::int64_t>{1, 4}));  // CDS_FULLSCREEN

    DEVMODEA mode = fake::record.displayMode;
    EXPECT_EQ(mode.dmSize, 156);
    EXPECT_EQ(mode.dmPelsWidth, 640u);
    EXPECT_EQ(mode.dmPelsHeight, 480u);
    EXPECT_EQ(mode.dmBitsPerPel, 16u);
    EXPECT_EQ(mode.dmFields, 0x1C0000u);
    // Everything else, the refresh rate included, is zero.
    mode.dmSize = 0;
    mode.dmPelsWidth = mode.dmPelsHeight = mode.dmBitsPerPel = mode.dmFields = 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&mode);
    EXPECT_TRUE(std::all_of(bytes, bytes + sizeof mode, [](unsigned char b) { return b == 0; }));

    EXPECT_LT(fake::IndexOf("RegisterClassA"), fake::IndexOf("ChangeDisplaySettingsA"));
    EXPECT_LT(fake::IndexOf("ChangeDisplaySettingsA"), fake::IndexOf("ShowCursor"));
    EXPECT_LT(fake::IndexOf("ShowCursor"), fake::IndexOf("AdjustWindowRectEx"));
    EXPECT_EQ(fake::Calls("ShowCursor")[0].args, std::vector<std::int64_t>{0});
}

TEST_F(WindowSetupTest, PixelFormatIsDoubleBufferedRgbaWithTheFirstCallsDepth) {
    ASSERT_TRUE(CreateDemoWindow("Quorvane", 640, 480, 16, false));
    PIXELFORMATDESCRIPTOR expected;
    std::memset(&expected, 0, sizeof expected);
    expected.nSize = 40;
    expected.nVersion = 1;
    expected.dwFlags = 0x25;
    expected.cColorBits = 16;
    expected.cDepthBits = 16;
    EXPECT_EQ(std::memcmp(&fake::record.chosenFormat, &expected, sizeof expected), 0);
    EXPECT_EQ(std::memcmp(&fake::record.setFormat, &expected, sizeof expected), 0);
    EXPECT_EQ(fake::Calls("SetPixelFormat")[0].args,
              (std::vector<std::int64_t>{DeviceContext(1), fake::kPixelFormat}));

    // A later creation with another depth still asks for the first one's colour bits, while
    // the display mode takes the depth it is given.
    DestroyDemoWindow();
    ASSERT_TRUE(CreateDemoWindow("Quorvane", 640, 480, 32, true));
    EXPECT_EQ(std::memcmp(&fake::record.setFormat, &expected, sizeof expected), 0);
    EXPECT_EQ(fake::record.displayMode.dmBitsPerPel, 32u);
}

TEST_F(WindowSetupTest, ContextIsCurrentBeforeTheWindowShowsAndTheRendererIsPrepared) {
    ASSERT_TRUE(CreateDemoWindow("Quorvane", 640, 480, 16, false));
    const int from = fake::IndexOf("CreateWindowExA");
    EXPECT_EQ(NamesFrom(from),
              (std::vector<std::string>{"CreateWindowExA", "GetDC", "ChoosePixelFormat",
                                        "SetPixelFormat", "wglCreateContext", "wglMakeCurrent",
                                        "ShowWindow", "SetForegroundWindow", "SetFocus",
                                        "ResizeViewport", "InitRenderState"}));
    const std::vector<fake::Call>& log = fake::record.calls;
    EXPECT_EQ(log[from + 1].args, std::vector<std::int64_t>{WindowHandle(1)});
    EXPECT_EQ(log[from + 2].args, std::vector<std::int64_t>{DeviceContext(1)});
    EXPECT_EQ(log[from + 4].args, std::vector<std::int64_t>{DeviceContext(1)});
    EXPECT_EQ(log[from + 5].args, (std::vector<std::int64_t>{DeviceContext(1), RenderContext(1)}));
    EXPECT_EQ(log[from + 6].args, (std::vector<std::int64_t>{WindowHandle(1), 5}));  // SW_SHOW
    EXPECT_EQ(log[from + 7].args, std::vector<std::int64_t>{WindowHandle(1)});
    EXPECT_EQ(log[from + 8].args, std::vector<std::int64_t>{WindowHandle(1)});
    EXPECT_EQ(log[from + 9].args, (std::vector<std::int64_t>{640, 480}));

    EXPECT_EQ(fake::Handle(demoState.windowHandle), WindowHandle(1));
    EXPECT_EQ(fake::Handle(demoState.deviceContext), DeviceContext(1));
    EXPECT_EQ(fake::Handle(demoState.renderContext), RenderContext(1));
    EXPECT_EQ(fake::Handle(demoState.instanceHandle), fake::kInstance);
    EXPECT_TRUE(Boxes().empty());
}

}  // namespace
