// Every way CreateDemoWindow can fail: the message the user gets, and whether what was
// built is torn down before that message or left as it is.
#include "app_test_support.h"

namespace {

using CreateFailureTest = AppTest;

constexpr const char* kUnsupportedModeText =
    "The requested fullscreen mode is not supported by\nyour video card. Use windowed mode "
    "instead?";

bool CreateWindowed() { return CreateDemoWindow("Quorvane", 640, 480, 16, false); }

bool CreateFullscreen() { return CreateDemoWindow("Quorvane", 640, 480, 16, true); }

TEST_F(CreateFailureTest, RefusedClassRegistrationReportsAndTouchesNothing) {
    fake::FailCall("RegisterClassA");
    EXPECT_FALSE(CreateFullscreen());

    const std::vector<Box> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    ExpectBox(boxes[0], "Failed To Register The Window Class.", "ERROR", kBoxOkExclamation);
    EXPECT_EQ(fake::Names().back(), "MessageBoxA");
    for (const char* untouched : {"ChangeDisplaySettingsA", "ShowCursor", "CreateWindowExA",
                                  "UnregisterClassA", "DestroyWindow"}) {
        EXPECT_EQ(fake::Count(untouched), 0) << untouched;
    }
}

TEST_F(CreateFailureTest, UnsupportedFullscreenAcceptedAsWindowContinuesWindowed) {
    fake::script.displayChangeResult = DISP_CHANGE_BADMODE;
    fake::script.boxAnswers = {IDYES};
    ASSERT_TRUE(CreateFullscreen());

    const std::vector<Box> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    ExpectBox(boxes[0], kUnsupportedModeText, "Zentor GL", kBoxYesNoExclamation);
    EXPECT_FALSE(demoState.isFullscreen);
    EXPECT_EQ(fake::Count("ShowCursor"), 0);

    // A framed window whose client area is still 640 x 480.
    const fake::Call created = fake::Calls("CreateWindowExA")[0];
    EXPECT_EQ(created.args[0], kExAppWindowEdge);
    EXPECT_EQ(created.args[1], kOverlappedWindow | kClipSiblingsAndChildren);
    EXPECT_EQ(created.args[4], 640 + fake::kFrameLeft + fake::kFrameRight);
    EXPECT_EQ(created.args[5], 480 + fake::kFrameTop + fake::kFrameBottom);

    // Nothing was switched, so the teardown leaves the display mode and cursor alone.
    DestroyDemoWindow();
    EXPECT_EQ(fake::Count("ChangeDisplaySettingsA"), 1);
    EXPECT_EQ(fake::Count("ShowCursor"), 0);
}

TEST_F(CreateFailureTest, UnsupportedFullscreenDeclinedClosesWithoutTeardown) {
    fake::script.displayChangeResult = DISP_CHANGE_FAILED;
    fake::script.boxAnswers = {IDNO};
    EXPECT_FALSE(CreateFullscreen());

    const std::vector<Box> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    ExpectBox(boxes[0], kUnsupportedModeText, "Zentor GL", kBoxYesNoExclamation);
    ExpectBox(boxes[1], "Program will now close.", "ERROR", kBoxOkStop);
    EXPECT_EQ(fake::Names().back(), "MessageBoxA");
    for (const char* untouched : {"ShowCursor", "CreateWindowExA", "UnregisterClassA"}) {
        EXPECT_EQ(fake::Count(untouched), 0) << untouched;
    }
    EXPECT_TRUE(fake::record.classRegistered);
}

struct StepFailure {
    const char* call;
    const char* text;
    const char* nextStep;  // the call that must not follow the failure ("" for the last step)
    int windows, deviceContexts, renderContexts;  // what existed when it failed
};

const StepFailure kStepFailures[] = {
    {"CreateWindowExA", "Window Creation Error.", "GetDC", 0, 0, 0},
    {"GetDC", "Can't create a GL device context.", "ChoosePixelFormat", 1, 0, 0},
    {"ChoosePixelFormat", "Can't find a suitable pixelformat.", "SetPixelFormat", 1, 1, 0},
    {"SetPixelFormat", "Can't set the pixelformat.", "wglCreateContext", 1, 1, 0},
    {"wglCreateContext", "Can't create a GL rendering context.", "wglMakeCurrent", 1, 1, 0},
    {"wglMakeCurrent", "Can't activate the GL rendering context.", "ShowWindow", 1, 1, 1},
    {"InitRenderState", "Initialization failed.", "", 1, 1, 1},
};

void PrintTo(const StepFailure& step, std::ostream* out) { *out << step.call; }

class CreationStepFails : public AppTest,
                          public ::testing::WithParamInterface<std::tuple<StepFailure, bool>> {};

TEST_P(CreationStepFails, TearsDownThenReports) {
    const auto& [step, fullscreen] = GetParam();
    fake::FailCall(step.call);
    EXPECT_FALSE(CreateDemoWindow("Quorvane", 640, 480, 16, fullscreen));

    const std::vector<Box> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    ExpectBox(boxes[0], step.text, "ERROR", kBoxOkExclamation);

    // The box is the last thing, after a whole teardown of what had been made.
    const int failed = fake::IndexOf(step.call);
    const int unregistered = fake::IndexOf("UnregisterClassA");
    const int box = fake::IndexOf("MessageBoxA");
    ASSERT_GE(failed, 0);
    EXPECT_LT(failed, unregistered);
    EXPECT_EQ(box, unregistered + 1);
    EXPECT_EQ(box + 1, static_cast<int>(fake::record.calls.size()));
    if (*step.nextStep != '\0') {
        EXPECT_EQ(fake::Count(step.nextStep), 0);
    }
    EXPECT_EQ(fake::Count("DestroyWindow"), step.windows);
    EXPECT_EQ(fake::Count("ReleaseDC"), step.deviceContexts);
    EXPECT_EQ(fake::Count("wglDeleteContext"), step.renderContexts);
    EXPECT_TRUE(HandlesCleared());
    EXPECT_FALSE(fake::record.classRegistered);

    // A fullscreen attempt gives the desktop its mode and cursor back before the box.
    EXPECT_EQ(fake::record.displayChanged, false);
    EXPECT_EQ(fake::record.cursorCount, 0);
    if (fullscreen) {
        const int restored = fake::IndexOf("ChangeDisplaySettingsA", 2);
        ASSERT_GT(restored, failed);
        EXPECT_EQ(fake::Calls("ChangeDisplaySettingsA")[1].args, (std::vector<std::int64_t>{0, 0}));
        EXPECT_LT(restored, box);
    }
}

INSTANTIATE_TEST_SUITE_P(EachCreationStep, CreationStepFails,
                         ::testing::Combine(::testing::ValuesIn(kStepFailures), ::testing::Bool()),
                         [](const auto& named) {
                             return std::string(std::get<0>(named.param).call) +
                                    (std::get<1>(named.param) ? "Fullscreen" : "Windowed");
                         });

TEST_F(CreateFailureTest, FailedRecreationAfterTeardownShowsOnlyItsOwnMessage) {
    ASSERT_TRUE(CreateWindowed());
    DestroyDemoWindow();
    fake::FailCall("CreateWindowExA", 2);
    EXPECT_FALSE(CreateWindowed());

    const std::vector<Box> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Window Creation Error.");
    EXPECT_EQ(fake::Count("DestroyWindow"), 1);
    EXPECT_EQ(fake::Count("ReleaseDC"), 1);
    EXPECT_EQ(fake::Count("wglDeleteContext"), 1);
}

}  // namespace
