// DestroyDemoWindow: its order, each release failing on its own, and handles that are
// forgotten once released so that nothing is ever released twice.
#include "app_test_support.h"

namespace {

using TeardownTest = AppTest;

const std::vector<std::string> kReleases = {"wglMakeCurrent", "wglDeleteContext", "ReleaseDC",
                                            "DestroyWindow", "UnregisterClassA"};

TEST_F(TeardownTest, FullscreenTeardownRestoresTheDesktopFirstThenReleasesInReverse) {
    ASSERT_TRUE(CreateDemoWindow("Quorvane", 640, 480, 16, true));
    const int from = static_cast<int>(fake::record.calls.size());
    DestroyDemoWindow();

    EXPECT_EQ(NamesFrom(from),
              (std::vector<std::string>{"ChangeDisplaySettingsA", "ShowCursor", "wglMakeCurrent",
                                        "wglDeleteContext", "ReleaseDC", "DestroyWindow",
                                        "UnregisterClassA"}));
    const std::vector<fake::Call>& log = fake::record.calls;
    EXPECT_EQ(log[from].args, (std::vector<std::int64_t>{0, 0}));
    EXPECT_EQ(log[from + 1].args, std::vector<std::int64_t>{1});
    EXPECT_EQ(log[from + 2].args, (std::vector<std::int64_t>{0, 0}));
    EXPECT_EQ(log[from + 3].args, std::vector<std::int64_t>{RenderContext(1)});
    EXPECT_EQ(log[from + 4].args, (std::vector<std::int64_t>{WindowHandle(1), DeviceContext(1)}));
    EXPECT_EQ(log[from + 5].args, std::vector<std::int64_t>{WindowHandle(1)});
    EXPECT_EQ(log[from + 6].args, std::vector<std::int64_t>{fake::kInstance});
    EXPECT_EQ(log[from + 6].texts, std::vector<std::string>{"OpenGL"});

    EXPECT_TRUE(HandlesCleared());
    EXPECT_FALSE(fake::record.displayChanged);
    EXPECT_EQ(fake::record.cursorCount, 0);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(TeardownTest, WindowedTeardownLeavesDisplayModeAndCursorAlone) {
    ASSERT_TRUE(CreateDemoWindow("Quorvane", 640, 480, 16, false));
    const int from = static_cast<int>(fake::record.calls.size());
    DestroyDemoWindow();
    EXPECT_EQ(NamesFrom(from), kReleases);
}

TEST_F(TeardownTest, ReleasesOnlyTheHandlesThatAreSet) {
    demoState.isFullscreen = false;
    demoState.windowHandle = reinterpret_cast<HWND>(WindowHandle(9));
    fake::record.classRegistered = true;
    fake::record.registeredClass.lpszClassName = "OpenGL";
    DestroyDemoWindow();
    EXPECT_EQ(fake::Names(), (std::vector<std::string>{"DestroyWindow", "UnregisterClassA"}));
    EXPECT_EQ(fake::Calls("DestroyWindow")[0].args, std::vector<std::int64_t>{WindowHandle(9)});

    fake::Reset();
    demoState = DemoState{};  // nothing set and no class, fullscreen as at start
    DestroyDemoWindow();
    EXPECT_EQ(fake::Names(), (std::vector<std::string>{"ChangeDisplaySettingsA", "ShowCursor",
                                                       "UnregisterClassA", "MessageBoxA"}));
    EXPECT_EQ(Boxes()[0].text, "Could not unregister class.");
}

struct ReleaseFailure {
    const char* call;
    int occurrence;  // wglMakeCurrent was already used once, by the creation
    const char* text;
};

void PrintTo(const ReleaseFailure& failure, std::ostream* out) { *out << failure.call; }

class ReleaseFailureTest : public AppTest, public ::testing::WithParamInterface<ReleaseFailure> {};

TEST_P(ReleaseFailureTest, ReportsAtOnceAndCarriesOn) {
    const ReleaseFailure& failure = GetParam();
    ASSERT_TRUE(CreateDemoWindow("Quorvane", 640, 480, 16, false));
    fake::FailCall(failure.call, failure.occurrence);
    const int from = static_cast<int>(fake::record.calls.size());
    DestroyDemoWindow();

    const std::vector<Box> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    ExpectBox(boxes[0], failure.text, "SHUTDOWN ERROR", kBoxOkInformation);
    EXPECT_EQ(fake::IndexOf("MessageBoxA"), fake::IndexOf(failure.call, failure.occurrence) + 1);

    // Every other release is still attempted, and every handle is forgotten.
    std::vector<std::string> expected = kReleases;
    const int failedAt = fake::IndexOf(failure.call, failure.occurrence) - from;
    expected.insert(expected.begin() + failedAt + 1, "MessageBoxA");
    EXPECT_EQ(NamesFrom(from), expected);
    EXPECT_TRUE(HandlesCleared());

    // So a second teardown has no handle left to release.
    DestroyDemoWindow();
    EXPECT_EQ(fake::Count("wglDeleteContext"), 1);
    EXPECT_EQ(fake::Count("ReleaseDC"), 1);
    EXPECT_EQ(fake::Count("DestroyWindow"), 1);
    EXPECT_EQ(fake::Count("wglMakeCurrent"), 2);
}

INSTANTIATE_TEST_SUITE_P(
    EachRelease, ReleaseFailureTest,
    ::testing::Values(ReleaseFailure{"wglMakeCurrent", 2, "Release of DC and RC failed."},
                      ReleaseFailure{"wglDeleteContext", 1, "Release rendering context failed."},
                      ReleaseFailure{"ReleaseDC", 1, "Release device context failed."},
                      ReleaseFailure{"DestroyWindow", 1, "Could not release hWnd."},
                      ReleaseFailure{"UnregisterClassA", 1, "Could not unregister class."}),
    [](const auto& named) { return std::string(named.param.call); });

TEST_F(TeardownTest, ClassLeftRegisteredMakesTheNextCreationFailAtRegistration) {
    ASSERT_TRUE(CreateDemoWindow("Quorvane", 640, 480, 16, false));
    fake::FailCall("UnregisterClassA");
    DestroyDemoWindow();
    EXPECT_FALSE(CreateDemoWindow("Quorvane", 640, 480, 16, false));

    const std::vector<Box> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Could not unregister class.");
    ExpectBox(boxes[1], "Failed To Register The Window Class.", "ERROR", kBoxOkExclamation);
    EXPECT_EQ(fake::Count("CreateWindowExA"), 1);
}

}  // namespace
