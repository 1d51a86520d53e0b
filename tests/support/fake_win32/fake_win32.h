// A scripted fake of the Win32 subset and of the three render calls the application shell
// makes. Linked in place of the stand-in and the renderer, it records every call in order
// with its arguments, answers from a script, and can make any single call fail.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace fake {

// One recorded call: integer and handle arguments in order, then the text arguments in order.
struct Call {
    std::string name;
    std::vector<std::int64_t> args;
    std::vector<std::string> texts;
};

struct QueueItem {
    bool idle;  // true: PeekMessageA finds the queue empty this once
    MSG message;
};

struct Script {
    std::deque<int> boxAnswers;  // answers in order; afterwards IDOK for OK boxes, IDNO otherwise
    LONG displayChangeResult = DISP_CHANGE_SUCCESSFUL;
    std::string failName;  // the one call that fails, at its failOccurrence-th use
    int failOccurrence = 1;
    std::deque<QueueItem> queue;
};

// What the fake saw and the little platform state it keeps, so that it answers like Win32.
struct Record {
    std::vector<Call> calls;
    WNDCLASSA registeredClass = {};
    bool classRegistered = false;
    DEVMODEA displayMode = {};  // the last mode asked for
    bool displayChanged = false;
    int cursorCount = 0;  // ShowCursor's display counter
    PIXELFORMATDESCRIPTOR chosenFormat = {};
    PIXELFORMATDESCRIPTOR setFormat = {};
    RECT adjustedRect = {};     // the rectangle AdjustWindowRectEx was given
    bool queueOverrun = false;  // the loop read past the end of the scripted queue
};

extern Script script;
extern Record record;

// The frame AdjustWindowRectEx puts around a client area when the style has a caption;
// deliberately uneven so that a swapped side shows.
constexpr LONG kFrameLeft = 3;
constexpr LONG kFrameTop = 26;
constexpr LONG kFrameRight = 5;
constexpr LONG kFrameBottom = 7;

// The handles the fake gives out: the n-th creation of each kind is base + n.
constexpr std::int64_t kInstance = 0x4000;
constexpr std::int64_t kWindowBase = 0x1000;
constexpr std::int64_t kDeviceContextBase = 0x2000;
constexpr std::int64_t kRenderContextBase = 0x3000;
constexpr std::int64_t kIcon = 0x5000;
constexpr std::int64_t kCursor = 0x5001;
constexpr int kPixelFormat = 7;
constexpr LRESULT kDefaultResult = 0x5EED;

void Reset();
void FailCall(const std::string& name, int occurrence = 1);
void QueueMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
void QueueIdle(int turns = 1);

std::vector<std::string> Names();
std::vector<Call> Calls(const std::string& name);
int Count(const std::string& name);
// Position of the n-th (1-based) call of that name in the log, or -1.
int IndexOf(const std::string& name, int occurrence = 1);

// Shared by the Win32 and the render halves of the fake.
void Log(const char* name, std::vector<std::int64_t> args, std::vector<std::string> texts = {});
bool ShouldFail(const char* name);
std::int64_t Handle(const void* handle);

}  // namespace fake
