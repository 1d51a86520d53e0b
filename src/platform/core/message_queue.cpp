// The thread's message queue: posting, sending, PeekMessageA, dispatch and the quit message.
//
// As on Windows, WM_QUIT is not a queued message but a flag that PeekMessageA reports once the
// queue holds nothing else, and messages Windows sends (WM_SIZE, WM_ACTIVATE) reach the
// window procedure at once, while input arrives through the queue.
#include "platform/core/core.h"

namespace {

bool Matches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax) {
    if (window != nullptr && msg.hwnd != window) return false;
    if (filterMin == 0 && filterMax == 0) return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

void RemoveAt(standin::MessageQueue& queue, int position) {
    for (int i = position; i + 1 < queue.count; ++i) {
        queue.items[(queue.head + i) % standin::kQueueSize] =
            queue.items[(queue.head + i + 1) % standin::kQueueSize];
    }
    --queue.count;
}

bool IsKeyMessage(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN ||
           message == WM_SYSKEYUP;
}

}  // namespace

namespace standin {

LRESULT SendToWindow(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = LookUpWindow(handle);
    if (window == nullptr || window->proc == nullptr) return 0;
    return window->proc(handle, message, wParam, lParam);
}

void PostToQueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MessageQueue& queue = Tables().queue;
    // A full queue loses the newest input, as Windows does past its queue limit.
    if (queue.count == kQueueSize) return;
    MSG& msg = queue.items[(queue.head + queue.count) % kQueueSize];
    msg = {};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = TheBackend().clockMs();
    ++queue.count;
}

void DropMessagesFor(HWND window) {
    MessageQueue& queue = Tables().queue;
    for (int i = 0; i < queue.count;) {
        if (queue.items[(queue.head + i) % kQueueSize].hwnd == window) {
            RemoveAt(queue, i);
        } else {
            ++i;
        }
    }
}

}  // namespace standin

extern "C" BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax,
                                    UINT removeMsg) {
    if (msg == nullptr) return FALSE;
    standin::TheBackend().pumpEvents();

    standin::MessageQueue& queue = standin::Tables().queue;
    bool remove = (removeMsg & PM_REMOVE) != 0;
    for (int i = 0; i < queue.count; ++i) {
        const MSG& candidate = queue.items[(queue.head + i) % standin::kQueueSize];
        if (!Matches(candidate, window, filterMin, filterMax)) continue;
        *msg = candidate;
        if (remove) RemoveAt(queue, i);
        return TRUE;
    }
    bool quitWanted =
        (filterMin == 0 && filterMax == 0) || (WM_QUIT >= filterMin && WM_QUIT <= filterMax);
    if (queue.quitPosted && quitWanted) {
        *msg = {};
        msg->message = WM_QUIT;
        msg->wParam = static_cast<WPARAM>(queue.quitCode);
        if (remove) queue.quitPosted = false;
        return TRUE;
    }
    return FALSE;
}

extern "C" BOOL WINAPI TranslateMessage(const MSG* msg) {
    // No character messages are made; the answer says whether the message was a key message.
    return msg != nullptr && IsKeyMessage(msg->message) ? TRUE : FALSE;
}

extern "C" LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (msg == nullptr) return 0;
    return standin::SendToWindow(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

extern "C" void WINAPI PostQuitMessage(int exitCode) {
    standin::MessageQueue& queue = standin::Tables().queue;
    queue.quitPosted = true;
    queue.quitCode = exitCode;
}
