// The window procedure: which messages it handles itself, what they change, and that
// everything else reaches DefWindowProcA with its result handed back.
#include "app_test_support.h"

namespace {

HWND const kWindow = reinterpret_cast<HWND>(fake::kWindowBase + 1);

LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam = 0) {
    return DemoWindowProc(kWindow, message, wParam, lParam);
}

using WindowProcTest = AppTest;

TEST_F(WindowProcTest, ActivationFollowsTheMinimisedWordOnly) {
    struct Case {
        WPARAM wParam;
        bool active;
    };
    const Case cases[] = {
        {MAKEWPARAM(WA_ACTIVE, 0), true},      {MAKEWPARAM(WA_INACTIVE, 0), true},
        {MAKEWPARAM(WA_CLICKACTIVE, 0), true}, {MAKEWPARAM(WA_ACTIVE, 1), false},
        {MAKEWPARAM(WA_INACTIVE, 1), false},   {MAKEWPARAM(WA_INACTIVE, 0x8000), false},
    };
    for (const Case& c : cases) {
        demoState.isActive = !c.active;
        EXPECT_EQ(Send(WM_ACTIVATE, c.wParam), 0);
        EXPECT_EQ(demoState.isActive, c.active) << "wParam " << c.wParam;
    }
    EXPECT_EQ(fake::Count("DefWindowProcA"), 0);
}

TEST_F(WindowProcTest, OnlyTheExactScreenSaverAndMonitorCommandsAreSwallowed) {
    EXPECT_EQ(Send(WM_SYSCOMMAND, 0xF140), 0);
    EXPECT_EQ(Send(WM_SYSCOMMAND, 0xF170), 0);
    EXPECT_EQ(fake::Count("DefWindowProcA"), 0);

    // The low four bits are not masked off, so these are the system's business.
    EXPECT_EQ(Send(WM_SYSCOMMAND, 0xF141, 7), fake::kDefaultResult);
    EXPECT_EQ(Send(WM_SYSCOMMAND, 0xF171), fake::kDefaultResult);
    EXPECT_EQ(Send(WM_SYSCOMMAND, 0xF060), fake::kDefaultResult);
    const std::vector<fake::Call> passed = fake::Calls("DefWindowProcA");
    ASSERT_EQ(passed.size(), 3u);
    EXPECT_EQ(passed[0].args, (std::vector<std::int64_t>{WindowHandle(1), 0x0112, 0xF141, 7}));
    EXPECT_EQ(passed[1].args[2], 0xF171);
    EXPECT_EQ(passed[2].args[2], 0xF060);
}

TEST_F(WindowProcTest, CloseAsksForQuitAndKeepsTheWindow) {
    EXPECT_EQ(Send(WM_CLOSE, 0), 0);
    EXPECT_EQ(fake::Names(), std::vector<std::string>{"PostQuitMessage"});
    EXPECT_EQ(fake::Calls("PostQuitMessage")[0].args, std::vector<std::int64_t>{0});
}

TEST_F(WindowProcTest, SizeWordsReachTheViewportAsUnsigned) {
    EXPECT_EQ(Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 480)), 0);
    EXPECT_EQ(Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(0xFFFF, 0x8001)), 0);
    EXPECT_EQ(Send(WM_SIZE, SIZE_MINIMIZED, 0), 0);
    const std::vector<fake::Call> resizes = fake::Calls("ResizeViewport");
    ASSERT_EQ(resizes.size(), 3u);
    EXPECT_EQ(resizes[0].args, (std::vector<std::int64_t>{640, 480}));
    EXPECT_EQ(resizes[1].args, (std::vector<std::int64_t>{65535, 32769}));
    EXPECT_EQ(resizes[2].args, (std::vector<std::int64_t>{0, 0}));
    EXPECT_EQ(fake::Count("DefWindowProcA"), 0);
}

TEST_F(WindowProcTest, KeysAreSetAndClearedByCode) {
    EXPECT_EQ(Send(WM_KEYUP, 'Q'), 0);  // a release never pressed
    EXPECT_FALSE(demoState.keyDown['Q']);

    EXPECT_EQ(Send(WM_KEYDOWN, VK_F1), 0);
    EXPECT_EQ(Send(WM_KEYDOWN, VK_F1), 0);  // auto-repeat
    EXPECT_TRUE(demoState.keyDown[0x70]);
    EXPECT_EQ(Send(WM_KEYDOWN, 0), 0);
    EXPECT_EQ(Send(WM_KEYDOWN, 255), 0);
    EXPECT_TRUE(demoState.keyDown[0]);
    EXPECT_TRUE(demoState.keyDown[255]);

    EXPECT_EQ(Send(WM_KEYUP, VK_F1), 0);
    EXPECT_FALSE(demoState.keyDown[0x70]);
    EXPECT_TRUE(demoState.keyDown[255]);
    EXPECT_EQ(fake::Count("DefWindowProcA"), 0);
}

TEST_F(WindowProcTest, KeyCodesFromTwoHundredFiftySixOnAreIgnored) {
    const bool before[256] = {};
    for (const WPARAM code :
         {WPARAM{256}, WPARAM{256 + 'A'}, WPARAM{0x10000 + VK_ESCAPE}, ~WPARAM{0}}) {
        EXPECT_EQ(Send(WM_KEYDOWN, code), 0);
    }
    EXPECT_EQ(std::memcmp(demoState.keyDown, before, sizeof before), 0);

    demoState.keyDown['A'] = true;
    EXPECT_EQ(Send(WM_KEYUP, 256 + 'A'), 0);
    EXPECT_TRUE(demoState.keyDown['A']);
}

TEST_F(WindowProcTest, OtherMessagesGetDefaultProcessing) {
    // System keys (Alt held, F10) are not recorded as key presses.
    EXPECT_EQ(Send(WM_SYSKEYDOWN, VK_F10, 0x20440001), fake::kDefaultResult);
    EXPECT_EQ(Send(WM_PAINT, 0, 0), fake::kDefaultResult);
    EXPECT_EQ(Send(WM_CHAR, 'a', 1), fake::kDefaultResult);
    EXPECT_FALSE(demoState.keyDown[VK_F10]);
    const std::vector<fake::Call> passed = fake::Calls("DefWindowProcA");
    ASSERT_EQ(passed.size(), 3u);
    EXPECT_EQ(passed[0].args,
              (std::vector<std::int64_t>{WindowHandle(1), 0x0104, 0x79, 0x20440001}));
    EXPECT_EQ(passed[1].args, (std::vector<std::int64_t>{WindowHandle(1), 0x000F, 0, 0}));
    EXPECT_EQ(passed[2].args, (std::vector<std::int64_t>{WindowHandle(1), 0x0102, 'a', 1}));
}

}  // namespace
