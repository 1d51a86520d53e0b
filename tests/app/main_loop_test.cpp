// WinMain: the start-up question, the music, the frame loop, Escape, F1 and the exit status.
#include "app_test_support.h"

namespace {

class MainLoopTest : public AppTest {
protected:
    // Runs the program on the scripted queue; a run that reads past the script fails.
    int Run() {
        char commandLine[] = "";
        const int status =
            WinMain(reinterpret_cast<HINSTANCE>(fake::kInstance), nullptr, commandLine, 10);
        EXPECT_FALSE(fake::record.queueOverrun) << "the loop did not end by itself";
        return status;
    }

    static void PressKey(WPARAM key) { fake::QueueMessage(WM_KEYDOWN, key, 1); }

    // The styles of the n-th window: true when it was a fullscreen one.
    static bool WasFullscreen(int n) {
        return fake::Calls("CreateWindowExA")[static_cast<std::size_t>(n - 1)].args[1] ==
               (kPopup | kClipSiblingsAndChildren);
    }
};

TEST_F(MainLoopTest, NoAtTheStartGivesAWindowAndEscapeEndsWithZero) {
    fake::script.boxAnswers = {IDNO};
    PressKey(VK_ESCAPE);
    fake::QueueIdle();
    EXPECT_EQ(Run(), 0);  // not the Escape message's wParam

    const std::vector<Box> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    ExpectBox(boxes[0], "Would you like to run in fullscreen mode?", "Start FullScreen?",
              kBoxYesNoQuestion);
    EXPECT_EQ(fake::IndexOf("MessageBoxA"), 0);

    ASSERT_EQ(fake::Count("CreateWindowExA"), 1);
    EXPECT_FALSE(WasFullscreen(1));
    EXPECT_EQ(fake::Calls("CreateWindowExA")[0].texts[1], "Quorvane");
    EXPECT_EQ(fake::Count("ChangeDisplaySettingsA"), 0);
    // The turn that sees Escape renders but presents nothing, and one teardown follows.
    EXPECT_EQ(fake::Count("RenderFrame"), 1);
    EXPECT_EQ(fake::Count("SwapBuffers"), 0);
    EXPECT_EQ(fake::Count("DestroyWindow"), 1);
    EXPECT_EQ(fake::Names().back(), "UnregisterClassA");
}

TEST_F(MainLoopTest, YesAtTheStartGoesFullscreenAndTheEndRestoresTheDesktop) {
    fake::script.boxAnswers = {IDYES};
    fake::QueueIdle(2);
    PressKey(VK_ESCAPE);
    fake::QueueIdle();
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(WasFullscreen(1));
    EXPECT_EQ(fake::Count("SwapBuffers"), 2);
    for (const fake::Call& swap : fake::Calls("SwapBuffers")) {
        EXPECT_EQ(swap.args, std::vector<std::int64_t>{DeviceContext(1)});
    }
    EXPECT_FALSE(fake::record.displayChanged);
    EXPECT_EQ(fake::record.cursorCount, 0);
}

TEST_F(MainLoopTest, MusicStartsOnceAfterTheFirstWindowWithTheFixedPathAndAsyncOnly) {
    PressKey(VK_F1);
    fake::QueueIdle();
    PressKey(VK_ESCAPE);
    fake::QueueIdle();
    EXPECT_EQ(Run(), 0);

    const std::vector<fake::Call> plays = fake::Calls("PlaySoundA");
    ASSERT_EQ(plays.size(), 1u);
    EXPECT_EQ(plays[0].texts, std::vector<std::string>{"Data/tUrBiLo - Pelvarn.wav"});
    EXPECT_EQ(plays[0].args, (std::vector<std::int64_t>{0, 0x0001}));
    EXPECT_EQ(fake::IndexOf("PlaySoundA"), fake::IndexOf("InitRenderState") + 1);
    EXPECT_LT(fake::IndexOf("PlaySoundA"), fake::IndexOf("PeekMessageA"));
}

TEST_F(MainLoopTest, MessagesAreTranslatedAndDispatchedOnePerTurn) {
    fake::QueueMessage(WM_KEYDOWN, 'A', 1);
    fake::QueueMessage(WM_KEYUP, 'A', 1);
    PressKey(VK_ESCAPE);
    fake::QueueIdle();
    EXPECT_EQ(Run(), 0);

    for (const fake::Call& peek : fake::Calls("PeekMessageA")) {
        EXPECT_EQ(peek.args, (std::vector<std::int64_t>{0, 0, 0, 1}));  // any window, PM_REMOVE
    }
    const std::vector<std::string> turn = {"PeekMessageA", "TranslateMessage", "DispatchMessageA"};
    std::vector<std::string> expected;
    for (int message = 0; message < 3; ++message) {
        expected.insert(expected.end(), turn.begin(), turn.end());
    }
    expected.insert(expected.end(), {"PeekMessageA", "RenderFrame", "wglMakeCurrent"});
    std::vector<std::string> loop = NamesFrom(fake::IndexOf("PeekMessageA"));
    loop.resize(expected.size());
    EXPECT_EQ(loop, expected);
    EXPECT_EQ(fake::Calls("DispatchMessageA")[1].args,
              (std::vector<std::int64_t>{WM_KEYUP, 'A', 1}));
    EXPECT_EQ(fake::Count("DefWindowProcA"), 0);
    EXPECT_FALSE(demoState.keyDown['A']);
}

TEST_F(MainLoopTest, FOneSwitchesModeWithTheSameTitleAndSizeAndClearsItsFlag) {
    fake::script.boxAnswers = {IDNO};
    fake::QueueIdle();
    PressKey(VK_F1);
    fake::QueueIdle(2);
    PressKey(VK_ESCAPE);
    fake::QueueIdle();
    EXPECT_EQ(Run(), 0);

    ASSERT_EQ(fake::Count("CreateWindowExA"), 2);
    EXPECT_FALSE(WasFullscreen(1));
    EXPECT_TRUE(WasFullscreen(2));
    const fake::Call second = fake::Calls("CreateWindowExA")[1];
    EXPECT_EQ(second.texts[1], "Quorvane");
    EXPECT_EQ(second.args[4], 640);
    EXPECT_EQ(second.args[5], 480);
    EXPECT_EQ(fake::record.displayMode.dmPelsWidth, 640u);
    EXPECT_EQ(fake::record.displayMode.dmPelsHeight, 480u);
    EXPECT_EQ(fake::record.displayMode.dmBitsPerPel, 16u);

    // The frame of that turn is presented, then the old window goes, then the new one comes.
    EXPECT_LT(fake::IndexOf("SwapBuffers", 2), fake::IndexOf("DestroyWindow", 1));
    EXPECT_LT(fake::IndexOf("UnregisterClassA", 1), fake::IndexOf("RegisterClassA", 2));
    EXPECT_FALSE(demoState.keyDown[VK_F1]);
    // Only one switch: the flag did not survive into the following idle turn.
    EXPECT_EQ(fake::Count("SwapBuffers"), 3);
    EXPECT_EQ(fake::Calls("SwapBuffers")[2].args, std::vector<std::int64_t>{DeviceContext(2)});
    EXPECT_EQ(fake::Count("DestroyWindow"), 2);
    EXPECT_EQ(fake::record.cursorCount, 0);
    EXPECT_FALSE(fake::record.displayChanged);
}

TEST_F(MainLoopTest, HeldFOneSwitchesAgainAtEveryRepeat) {
    fake::script.boxAnswers = {IDNO};
    for (int repeat = 0; repeat < 3; ++repeat) {
        PressKey(VK_F1);
        fake::QueueIdle();
    }
    PressKey(VK_ESCAPE);
    fake::QueueIdle();
    EXPECT_EQ(Run(), 0);

    ASSERT_EQ(fake::Count("CreateWindowExA"), 4);
    EXPECT_FALSE(WasFullscreen(1));
    EXPECT_TRUE(WasFullscreen(2));
    EXPECT_FALSE(WasFullscreen(3));
    EXPECT_TRUE(WasFullscreen(4));
    EXPECT_EQ(fake::Count("PlaySoundA"), 1);
    EXPECT_EQ(fake::record.cursorCount, 0);
}

TEST_F(MainLoopTest, EscapeAndFOneInOneTurnSwitchThenEnd) {
    fake::script.boxAnswers = {IDNO};
    PressKey(VK_F1);
    PressKey(VK_ESCAPE);
    fake::QueueIdle();
    EXPECT_EQ(Run(), 0);

    EXPECT_EQ(fake::Count("PeekMessageA"), 3);
    EXPECT_EQ(fake::Count("SwapBuffers"), 0);
    ASSERT_EQ(fake::Count("CreateWindowExA"), 2);
    EXPECT_TRUE(WasFullscreen(2));
    const std::vector<fake::Call> destroyed = fake::Calls("DestroyWindow");
    ASSERT_EQ(destroyed.size(), 2u);
    EXPECT_EQ(destroyed[1].args, std::vector<std::int64_t>{WindowHandle(2)});
    EXPECT_FALSE(fake::record.displayChanged);
}

TEST_F(MainLoopTest, CloseRequestEndsOnTheQuitMessageWithZero) {
    fake::QueueIdle();
    fake::QueueMessage(WM_CLOSE);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(fake::Count("PostQuitMessage"), 1);
    // The quit message itself is neither translated nor dispatched.
    EXPECT_EQ(fake::Count("DispatchMessageA"), 1);
    EXPECT_EQ(fake::Count("TranslateMessage"), 1);
    EXPECT_EQ(fake::Count("DestroyWindow"), 1);
}

TEST_F(MainLoopTest, QuitMessageEndsWithZeroWhateverItsParameter) {
    fake::QueueMessage(WM_QUIT, 42);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(fake::Count("DispatchMessageA"), 0);
    EXPECT_EQ(fake::Count("RenderFrame"), 0);
    EXPECT_EQ(fake::Count("DestroyWindow"), 1);
}

TEST_F(MainLoopTest, MinimisedWindowSwapsWithoutRenderingAndUnfocusedOneRenders) {
    fake::QueueMessage(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1));
    fake::QueueIdle(3);
    fake::QueueMessage(WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0));
    fake::QueueIdle();
    fake::QueueMessage(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0));
    fake::QueueIdle();
    fake::QueueMessage(WM_CLOSE);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(fake::Count("SwapBuffers"), 5);
    EXPECT_EQ(fake::Count("RenderFrame"), 2);
    EXPECT_LT(fake::IndexOf("SwapBuffers", 3), fake::IndexOf("RenderFrame", 1));
}

TEST_F(MainLoopTest, FailedFrameEndsTheLoopNormally) {
    fake::FailCall("RenderFrame");
    fake::QueueIdle();
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(fake::Count("SwapBuffers"), 0);
    EXPECT_EQ(fake::Count("DestroyWindow"), 1);
}

TEST_F(MainLoopTest, NoWindowAtStartEndsWithOneAndNoMusic) {
    fake::FailCall("CreateWindowExA");
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(fake::Count("PlaySoundA"), 0);
    EXPECT_EQ(fake::Count("PeekMessageA"), 0);
    EXPECT_EQ(Boxes().back().text, "Window Creation Error.");
}

TEST_F(MainLoopTest, FailedRecreationEndsWithOneAtOnce) {
    fake::FailCall("CreateWindowExA", 2);
    PressKey(VK_F1);
    fake::QueueIdle();
    PressKey(VK_ESCAPE);  // never read
    fake::QueueIdle();
    EXPECT_EQ(Run(), 1);

    EXPECT_EQ(fake::Count("PeekMessageA"), 2);
    EXPECT_EQ(fake::Count("DestroyWindow"), 1);
    EXPECT_EQ(fake::Names().back(), "MessageBoxA");
    EXPECT_EQ(Boxes().back().text, "Window Creation Error.");
    EXPECT_EQ(fake::script.queue.size(), 2u);
}

}  // namespace
