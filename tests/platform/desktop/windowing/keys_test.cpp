// Real key events injected into the X server arrive as Windows key messages and codes.
#include <gtest/gtest.h>

#include <SDL.h>

#include <string>

#include "windowing_support.h"

namespace {

constexpr DWORD kPreviousState = 1u << 30;
constexpr DWORD kTransition = 1u << 31;
constexpr DWORD kContextCode = 1u << 29;

struct Key {
    const char* xName;
    WPARAM vk;
};

std::vector<MSG> KeyMessages() {
    std::vector<MSG> keys;
    for (const MSG& msg : gRecorded.queued) {
        if (msg.message >= WM_KEYDOWN && msg.message <= WM_SYSKEYUP) keys.push_back(msg);
    }
    return keys;
}

class Keys : public ::testing::Test {
protected:
    void SetUp() override {
        gRecorded = {};
        window_ = OpenTestWindow("Keys", WS_OVERLAPPEDWINDOW, WS_EX_APPWINDOW);
        ASSERT_NE(window_, nullptr);
        ASSERT_TRUE(PumpUntil([] { return Focused("Keys"); }));
    }
    void TearDown() override { CloseTestWindow(window_); }
    HWND window_ = nullptr;
};

TEST_F(Keys, PressesAndReleasesCarryVirtualKeyCodes) {
    std::vector<Key> keys = {
        {"Escape", VK_ESCAPE}, {"space", VK_SPACE},   {"Return", VK_RETURN},
        {"Left", VK_LEFT},     {"Up", VK_UP},         {"Right", VK_RIGHT},
        {"Down", VK_DOWN},     {"Shift_L", VK_SHIFT}, {"Control_L", VK_CONTROL}};
    for (int n = 1; n <= 12; ++n) {
        if (n == 10) continue;  // a system key, below
        static std::string names[13];
        names[n] = "F" + std::to_string(n);
        keys.push_back({names[n].c_str(), static_cast<WPARAM>(VK_F1 + n - 1)});
    }
    keys.push_back({"a", 'A'});
    keys.push_back({"q", 'Q'});
    keys.push_back({"z", 'Z'});
    keys.push_back({"0", '0'});
    keys.push_back({"7", '7'});

    std::string command = "xdotool key --delay 30";
    for (const Key& key : keys) command += std::string(" ") + key.xName;
    ASSERT_EQ(RunCommand(command).status, 0);
    std::size_t expected = keys.size() * 2;
    ASSERT_TRUE(PumpUntil([&] { return KeyMessages().size() >= expected; }));

    std::vector<MSG> got = KeyMessages();
    ASSERT_EQ(got.size(), expected);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const MSG& down = got[2 * i];
        const MSG& up = got[2 * i + 1];
        SCOPED_TRACE(keys[i].xName);
        EXPECT_EQ(down.message, static_cast<UINT>(WM_KEYDOWN));
        EXPECT_EQ(down.wParam, keys[i].vk);
        EXPECT_EQ(down.hwnd, window_);
        EXPECT_EQ(static_cast<DWORD>(down.lParam) & (kPreviousState | kTransition), 0u);
        EXPECT_EQ(up.message, static_cast<UINT>(WM_KEYUP));
        EXPECT_EQ(up.wParam, keys[i].vk);
        EXPECT_EQ(static_cast<DWORD>(up.lParam) & (kPreviousState | kTransition),
                  kPreviousState | kTransition);
    }
}

TEST_F(Keys, F10AndAltChordsAreSystemKeys) {
    ASSERT_EQ(RunCommand("xdotool key F10 keydown Alt_L keydown a keyup a keyup Alt_L").status, 0);
    ASSERT_TRUE(PumpUntil([] { return KeyMessages().size() >= 6; }));
    std::vector<MSG> got = KeyMessages();
    ASSERT_EQ(got.size(), 6u);
    const UINT down = WM_SYSKEYDOWN;
    const UINT up = WM_SYSKEYUP;
    const UINT expectMessages[] = {down, up, down, down, up, up};
    const WPARAM expectKeys[] = {VK_F10, VK_F10, VK_MENU, 'A', 'A', VK_MENU};
    for (std::size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(got[i].message, expectMessages[i]);
        EXPECT_EQ(got[i].wParam, expectKeys[i]);
    }
    // The letter pressed with Alt held says so in its context code; F10 alone does not.
    EXPECT_NE(static_cast<DWORD>(got[3].lParam) & kContextCode, 0u);
    EXPECT_EQ(static_cast<DWORD>(got[0].lParam) & kContextCode, 0u);
}

TEST_F(Keys, HeldKeyRepeatsAsKeyDowns) {
    // Longer than the server's repeat delay (660 ms by default) plus a few repeats.
    ASSERT_EQ(RunCommand("xdotool keydown b && sleep 1.5 && xdotool keyup b").status, 0);
    ASSERT_TRUE(PumpUntil([] {
        std::vector<MSG> got = KeyMessages();
        return !got.empty() && got.back().message == WM_KEYUP;
    }));
    std::vector<MSG> got = KeyMessages();
    ASSERT_GE(got.size(), 3u);
    for (std::size_t i = 0; i + 1 < got.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(got[i].message, static_cast<UINT>(WM_KEYDOWN));
        EXPECT_EQ(got[i].wParam, static_cast<WPARAM>('B'));
        // Only the first press comes from an up key.
        DWORD previous = static_cast<DWORD>(got[i].lParam) & kPreviousState;
        EXPECT_EQ(previous, i == 0 ? 0u : kPreviousState);
    }
    EXPECT_EQ(got.back().wParam, static_cast<WPARAM>('B'));
}

TEST_F(Keys, FocusedWindowThatSwallowsTheScreenSaverKeepsItOff) {
    // The fixture's window passed SC_SCREENSAVE on when it gained the focus.
    EXPECT_TRUE(SDL_IsScreenSaverEnabled());
    CloseTestWindow(window_);
    gRecorded.swallowScreenSaver = true;
    window_ = OpenTestWindow("Keys", WS_OVERLAPPEDWINDOW, WS_EX_APPWINDOW);
    ASSERT_NE(window_, nullptr);
    ASSERT_TRUE(PumpUntil([] { return Focused("Keys"); }));
    bool asked = false;
    for (const MSG& msg : gRecorded.sent) {
        if (msg.message == WM_SYSCOMMAND && msg.wParam == SC_SCREENSAVE) asked = true;
    }
    EXPECT_TRUE(asked);
    EXPECT_FALSE(SDL_IsScreenSaverEnabled());
}

}  // namespace
