// The recording window, message pump and X tool runner the windowing tests share.
#include "windowing_support.h"

#include <sys/wait.h>
#include <chrono>
#include <cstdio>
#include <thread>

Recorded gRecorded;

namespace {

constexpr char kClassName[] = "QuorvaneWindowingTest";

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    gRecorded.sent.push_back(msg);
    if (message == WM_SYSCOMMAND && wParam == SC_SCREENSAVE && gRecorded.swallowScreenSaver) {
        return 0;
    }
    if (message == WM_CLOSE && !gRecorded.closeByDefault) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

CommandResult RunCommand(const std::string& command) {
    CommandResult result{-1, {}};
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) result.output += buffer;
    int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        MSG msg{};
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            gRecorded.queued.push_back(msg);
            if (msg.message == WM_QUIT) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    return true;
}

bool SawSent(UINT message) {
    for (const MSG& msg : gRecorded.sent) {
        if (msg.message == message) return true;
    }
    return false;
}

bool Focused(const char* title) {
    return RunCommand("xdotool getwindowfocus getwindowname").output == std::string(title) + "\n";
}

HWND OpenTestWindow(const char* title, DWORD style, DWORD exStyle) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA description{};
    description.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    description.lpfnWndProc = RecordingProc;
    description.hInstance = instance;
    description.lpszClassName = kClassName;
    RegisterClassA(&description);  // already registered by an earlier case: fine

    RECT rect{0, 0, 640, 480};
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    HWND window = CreateWindowExA(exStyle, kClassName, title, style, 0, 0, rect.right - rect.left,
                                  rect.bottom - rect.top, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return nullptr;
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(window);
    return window;
}

void CloseTestWindow(HWND window) {
    DestroyWindow(window);
    PumpUntil([] { return false; }, 50);
    gRecorded = {};
}
