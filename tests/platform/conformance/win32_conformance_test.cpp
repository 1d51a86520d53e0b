// Documented Win32 behaviours the program relies on, checked with Win32 calls only, so that the
// same tests run against the real Win32 (under Wine) and against the Linux stand-in.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace {

constexpr char kClassName[] = "QuorvaneConformance";
constexpr int kClientWidth = 640;
constexpr int kClientHeight = 480;

// A message of a sequence, with the part of wParam Windows documents for it.
struct Step {
    UINT message;
    WPARAM wParam;
};

// The messages whose order these tests check; the others a window gets (painting, the
// non-client area, input methods) vary between Windows versions and are not followed.
constexpr UINT kFollowed[] = {WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE,  WM_SIZE,
                              WM_MOVE,     WM_CLOSE,      WM_DESTROY, WM_NCDESTROY};

struct Seen {
    int sizeMessages;
    int lastWidth;
    int lastHeight;
    int destroyMessages;
    std::vector<Step> steps;
};
Seen gSeen;

bool Followed(UINT message) {
    for (UINT followed : kFollowed) {
        if (followed == message) return true;
    }
    return false;
}

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (Followed(message)) gSeen.steps.push_back({message, wParam});
    if (message == WM_SIZE) {
        ++gSeen.sizeMessages;
        gSeen.lastWidth = LOWORD(lParam);
        gSeen.lastHeight = HIWORD(lParam);
    } else if (message == WM_DESTROY) {
        ++gSeen.destroyMessages;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Windows' behaviour is what is expected. Where Wine is known to differ, its way is accepted
// at that one assertion, and only when the tests run under Wine.
bool UnderWine() {
#ifdef _WIN32
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

// True when running under Wine and what was seen is Wine's known deviation.
bool WineDeviation(bool seenIsWinesWay) { return UnderWine() && seenIsWinesWay; }

const char* Name(UINT message) {
    switch (message) {
        case WM_NCCREATE:
            return "WM_NCCREATE";
        case WM_NCCALCSIZE:
            return "WM_NCCALCSIZE";
        case WM_CREATE:
            return "WM_CREATE";
        case WM_SIZE:
            return "WM_SIZE";
        case WM_MOVE:
            return "WM_MOVE";
        case WM_CLOSE:
            return "WM_CLOSE";
        case WM_DESTROY:
            return "WM_DESTROY";
        case WM_NCDESTROY:
            return "WM_NCDESTROY";
        default:
            return "another message";
    }
}

std::string Describe(const std::vector<Step>& steps) {
    std::string text;
    for (const Step& step : steps) {
        text += Name(step.message);
        text += "(" + std::to_string(step.wParam) + ") ";
    }
    return text;
}

bool Same(const std::vector<Step>& seen, const std::vector<Step>& expected) {
    if (seen.size() != expected.size()) return false;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        if (seen[i].message != expected[i].message || seen[i].wParam != expected[i].wParam) {
            return false;
        }
    }
    return true;
}

// CreateWindowExA: the non-client area is created and sized, then the window itself, and a
// window not created minimised or maximised is told its size and position before the call
// returns. WM_NCCALCSIZE asks for the client area only (wParam FALSE) at creation.
const std::vector<Step> kCreation = {{WM_NCCREATE, 0},
                                     {WM_NCCALCSIZE, FALSE},
                                     {WM_CREATE, 0},
                                     {WM_SIZE, SIZE_RESTORED},
                                     {WM_MOVE, 0}};
// Wine leaves WM_SIZE and WM_MOVE of a window created hidden to the moment it is shown.
const std::vector<Step> kCreationUnderWine = {
    {WM_NCCREATE, 0}, {WM_NCCALCSIZE, FALSE}, {WM_CREATE, 0}};

// The default handling of the close command asks the window to close, and the default
// handling of that destroys it: WM_DESTROY, then WM_NCDESTROY as the last message it gets.
const std::vector<Step> kCloseRequest = {{WM_CLOSE, 0}, {WM_DESTROY, 0}, {WM_NCDESTROY, 0}};

WNDCLASSA Description(const char* name) {
    WNDCLASSA description{};
    description.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    description.lpfnWndProc = RecordingProc;
    description.hInstance = GetModuleHandleA(nullptr);
    description.hIcon = LoadIconA(nullptr, IDI_WINLOGO);
    description.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    description.lpszClassName = name;
    return description;
}

void DrainQueue() {
    MSG msg{};
    for (int i = 0; i < 10000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

struct Style {
    DWORD style;
    DWORD exStyle;
};
constexpr Style kPopup{WS_POPUP, WS_EX_APPWINDOW};
constexpr Style kOverlapped{WS_OVERLAPPEDWINDOW, WS_EX_APPWINDOW | WS_EX_WINDOWEDGE};

class Win32Conformance : public ::testing::Test {
protected:
    void SetUp() override {
        gSeen = {};
        WNDCLASSA description = Description(kClassName);
        ASSERT_NE(RegisterClassA(&description), 0);
    }

    void TearDown() override {
        for (HWND window : windows_) DestroyWindow(window);
        DrainQueue();
        UnregisterClassA(kClassName, GetModuleHandleA(nullptr));
    }

    // A window whose frame was sized with AdjustWindowRectEx for the wanted client area.
    HWND Create(Style style, RECT* adjusted = nullptr) {
        RECT rect{0, 0, kClientWidth, kClientHeight};
        EXPECT_TRUE(AdjustWindowRectEx(&rect, style.style, FALSE, style.exStyle));
        if (adjusted != nullptr) *adjusted = rect;
        HWND window = CreateWindowExA(style.exStyle, kClassName, "Conformance",
                                      style.style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                                      rect.right - rect.left, rect.bottom - rect.top, nullptr,
                                      nullptr, GetModuleHandleA(nullptr), nullptr);
        if (window != nullptr) windows_.push_back(window);
        return window;
    }

    std::vector<HWND> windows_;
};

TEST_F(Win32Conformance, ClassNamesRegisterOnceRegardlessOfCase) {
    WNDCLASSA again = Description(kClassName);
    EXPECT_EQ(RegisterClassA(&again), 0);
    WNDCLASSA shouted = Description("QUORVANECONFORMANCE");
    EXPECT_EQ(RegisterClassA(&shouted), 0);
    EXPECT_FALSE(UnregisterClassA("QuorvaneNeverRegistered", GetModuleHandleA(nullptr)));
}

TEST_F(Win32Conformance, ClassCannotBeUnregisteredWhileAWindowOfItExists) {
    HWND window = Create(kOverlapped);
    ASSERT_NE(window, nullptr);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    EXPECT_FALSE(UnregisterClassA(kClassName, instance));
    EXPECT_TRUE(DestroyWindow(window));
    windows_.clear();
    EXPECT_TRUE(UnregisterClassA(kClassName, instance));
    EXPECT_FALSE(UnregisterClassA(kClassName, instance));
    // Registering again after unregistering works.
    WNDCLASSA description = Description(kClassName);
    EXPECT_NE(RegisterClassA(&description), 0);
}

TEST_F(Win32Conformance, AdjustedWindowHasTheAskedClientAreaInBothStyles) {
    for (Style style : {kPopup, kOverlapped}) {
        RECT adjusted{};
        HWND window = Create(style, &adjusted);
        ASSERT_NE(window, nullptr);
        RECT client{};
        ASSERT_TRUE(GetClientRect(window, &client));
        EXPECT_EQ(client.left, 0);
        EXPECT_EQ(client.top, 0);
        EXPECT_EQ(client.right, kClientWidth);
        EXPECT_EQ(client.bottom, kClientHeight);
        if (style.style == WS_POPUP) {
            // A popup has no frame: the window is the client area.
            EXPECT_EQ(adjusted.right - adjusted.left, kClientWidth);
            EXPECT_EQ(adjusted.bottom - adjusted.top, kClientHeight);
        } else {
            EXPECT_LT(adjusted.left, 0);
            EXPECT_LT(adjusted.top, adjusted.left);  // the caption adds to the top edge
            EXPECT_GT(adjusted.right, kClientWidth);
            EXPECT_GT(adjusted.bottom, kClientHeight);
        }
    }
}

TEST_F(Win32Conformance, CreationSendsWindowsSequenceInBothStyles) {
    for (Style style : {kOverlapped, kPopup}) {
        SCOPED_TRACE(style.style == WS_POPUP ? "popup" : "overlapped");
        gSeen.steps.clear();
        ASSERT_NE(Create(style), nullptr);
        EXPECT_TRUE(Same(gSeen.steps, kCreation) ||
                    WineDeviation(Same(gSeen.steps, kCreationUnderWine)))
            << Describe(gSeen.steps);
    }
}

TEST_F(Win32Conformance, CloseRequestEndsInDestruction) {
    HWND window = Create(kOverlapped);
    ASSERT_NE(window, nullptr);
    gSeen.steps.clear();
    EXPECT_EQ(DefWindowProcA(window, WM_SYSCOMMAND, SC_CLOSE, 0), 0);
    EXPECT_TRUE(Same(gSeen.steps, kCloseRequest)) << Describe(gSeen.steps);
    EXPECT_FALSE(DestroyWindow(window));
    windows_.clear();
}

TEST_F(Win32Conformance, WindowIsCreatedHiddenAndSizedBeforeCreationReturns) {
    HWND window = Create(kOverlapped);
    ASSERT_NE(window, nullptr);
    // Wine sends no WM_SIZE until the window is shown (see kCreationUnderWine).
    if (!WineDeviation(gSeen.sizeMessages == 0)) {
        EXPECT_GE(gSeen.sizeMessages, 1);
        EXPECT_EQ(gSeen.lastWidth, kClientWidth);
        EXPECT_EQ(gSeen.lastHeight, kClientHeight);
    }
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_FALSE(ShowWindow(window, SW_SHOW));  // it was hidden
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(ShowWindow(window, SW_HIDE));  // it was visible
    EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(Win32Conformance, DefaultHandlingOfCloseDestroysTheWindow) {
    HWND window = Create(kPopup);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(DefWindowProcA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(gSeen.destroyMessages, 1);
    EXPECT_FALSE(DestroyWindow(window));
    windows_.clear();
}

TEST_F(Win32Conformance, WrongHandlesAreRefused) {
    HWND gone = Create(kPopup);
    ASSERT_NE(gone, nullptr);
    HDC goneDc = GetDC(gone);
    ASSERT_NE(goneDc, nullptr);
    ASSERT_TRUE(DestroyWindow(gone));
    windows_.clear();
    EXPECT_FALSE(DestroyWindow(gone));
    EXPECT_FALSE(DestroyWindow(nullptr));
    EXPECT_EQ(gSeen.destroyMessages, 1);

    HWND window = Create(kPopup);
    ASSERT_NE(window, nullptr);
    HDC dc = GetDC(window);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(ReleaseDC(window, nullptr), 0);
    EXPECT_EQ(ReleaseDC(window, goneDc), 0);
    EXPECT_EQ(ReleaseDC(window, dc), 1);
}

TEST(Win32Cursor, ShowCursorKeepsADisplayCounterFromZero) {
    int hidden = ShowCursor(FALSE);
    EXPECT_EQ(hidden, -1);
    EXPECT_EQ(ShowCursor(FALSE), hidden - 1);
    EXPECT_EQ(ShowCursor(TRUE), hidden);
    EXPECT_EQ(ShowCursor(TRUE), hidden + 1);
    EXPECT_EQ(ShowCursor(TRUE), hidden + 2);
    EXPECT_EQ(ShowCursor(FALSE), hidden + 1);
}

TEST(Win32Messages, QuitMessageComesOnceAfterTheQueueIsEmpty) {
    DrainQueue();
    MSG msg{};
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

    PostQuitMessage(3);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(3));
    msg = {};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(3));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

}  // namespace
