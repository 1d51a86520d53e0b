// What every application shell test shares: a clean fake and shared state per test, and
// readable views of the fake's log.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/app.h"
#include "common/demo_state.h"
#include "fake_win32.h"

// Windows' own values, written out so that a wrong constant in the header shows too.
constexpr std::int64_t kBoxOkExclamation = 0x30;
constexpr std::int64_t kBoxOkStop = 0x10;
constexpr std::int64_t kBoxOkInformation = 0x40;
constexpr std::int64_t kBoxYesNoExclamation = 0x34;
constexpr std::int64_t kBoxYesNoQuestion = 0x24;
constexpr std::int64_t kPopup = 0x80000000;
constexpr std::int64_t kOverlappedWindow = 0x00CF0000;
constexpr std::int64_t kClipSiblingsAndChildren = 0x06000000;
constexpr std::int64_t kExAppWindow = 0x00040000;
constexpr std::int64_t kExAppWindowEdge = 0x00040100;

struct Box {
    std::int64_t owner;
    std::int64_t type;
    std::string text;
    std::string caption;
};

inline std::vector<Box> Boxes() {
    std::vector<Box> boxes;
    for (const fake::Call& call : fake::Calls("MessageBoxA")) {
        boxes.push_back({call.args[0], call.args[1], call.texts[0], call.texts[1]});
    }
    return boxes;
}

// One message box as the program must show it: its text, caption and type, and no owner (the
// program shows none of its boxes over its window).
inline void ExpectBox(const Box& box, const std::string& text, const std::string& caption,
                      std::int64_t type) {
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, caption) << text;
    EXPECT_EQ(box.type, type) << text;
    EXPECT_EQ(box.owner, 0) << text;
}

// The names logged from position `from` on.
inline std::vector<std::string> NamesFrom(int from) {
    const std::vector<std::string> all = fake::Names();
    return {all.begin() + from, all.end()};
}

inline std::int64_t WindowHandle(int n) { return fake::kWindowBase + n; }
inline std::int64_t DeviceContext(int n) { return fake::kDeviceContextBase + n; }
inline std::int64_t RenderContext(int n) { return fake::kRenderContextBase + n; }

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        demoState = DemoState{};
        pixelFormatRequest.cColorBits = 0;
    }

    static bool HandlesCleared() {
        return demoState.renderContext == nullptr && demoState.deviceContext == nullptr &&
               demoState.windowHandle == nullptr && demoState.instanceHandle == nullptr;
    }
};
