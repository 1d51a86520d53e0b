// The Win32 half of the fake: each function logs itself, honours a scripted failure, and
// keeps just enough state (the registered class, the display mode, the cursor counter, the
// message queue) to answer as Win32 would.
#include "fake_win32.h"

#include <cstring>

namespace fake {

Script script;
Record record;

void Reset() {
    script = Script{};
    record = Record{};
}

void FailCall(const std::string& name, int occurrence) {
    script.failName = name;
    script.failOccurrence = occurrence;
}

void QueueMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg = {};
    msg.hwnd = reinterpret_cast<HWND>(kWindowBase + 1);
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    script.queue.push_back({false, msg});
}

void QueueIdle(int turns) {
    for (int i = 0; i < turns; ++i) {
        script.queue.push_back({true, {}});
    }
}

std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const Call& call : record.calls) {
        names.push_back(call.name);
    }
    return names;
}

std::vector<Call> Calls(const std::string& name) {
    std::vector<Call> found;
    for (const Call& call : record.calls) {
        if (call.name == name) {
            found.push_back(call);
        }
    }
    return found;
}

int Count(const std::string& name) { return static_cast<int>(Calls(name).size()); }

int IndexOf(const std::string& name, int occurrence) {
    int seen = 0;
    for (std::size_t i = 0; i < record.calls.size(); ++i) {
        if (record.calls[i].name == name && ++seen == occurrence) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void Log(const char* name, std::vector<std::int64_t> args, std::vector<std::string> texts) {
    record.calls.push_back({name, std::move(args), std::move(texts)});
}

bool ShouldFail(const char* name) {
    return script.failName == name && Count(name) == script.failOccurrence;
}

std::int64_t Handle(const void* handle) {
    return static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(handle));
}

}  // namespace fake

namespace {

using fake::Handle;
using fake::Log;
using fake::ShouldFail;

template <typename T>
T MakeHandle(std::int64_t base, const char* name) {
    return reinterpret_cast<T>(static_cast<std::intptr_t>(base + fake::Count(name)));
}

std::string Text(LPCSTR text) {
    return text == nullptr ? std::string("(null)") : std::string(text);
}

}  // namespace

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    Log("GetModuleHandleA", {}, {Text(moduleName)});
    return reinterpret_cast<HMODULE>(fake::kInstance);
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR iconName) {
    Log("LoadIconA", {Handle(instance), Handle(iconName)});
    return reinterpret_cast<HICON>(fake::kIcon);
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursorName) {
    Log("LoadCursorA", {Handle(instance), Handle(cursorName)});
    return reinterpret_cast<HCURSOR>(fake::kCursor);
}

ATOM WINAPI RegisterClassA(const WNDCLASSA* windowClass) {
    Log("RegisterClassA", {}, {Text(windowClass->lpszClassName)});
    if (ShouldFail("RegisterClassA") || fake::record.classRegistered) {
        return 0;
    }
    fake::record.registeredClass = *windowClass;
    fake::record.classRegistered = true;
    return 0xC001;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance) {
    Log("UnregisterClassA", {Handle(instance)}, {Text(className)});
    if (ShouldFail("UnregisterClassA") || !fake::record.classRegistered ||
        Text(className) != Text(fake::record.registeredClass.lpszClassName)) {
        return FALSE;
    }
    fake::record.classRegistered = false;
    return TRUE;
}

BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle) {
    Log("AdjustWindowRectEx",
        {style, menu, exStyle, rect->left, rect->top, rect->right, rect->bottom});
    fake::record.adjustedRect = *rect;
    if (ShouldFail("AdjustWindowRectEx")) {
        return FALSE;
    }
    if ((style & WS_CAPTION) == WS_CAPTION) {
        rect->left -= fake::kFrameLeft;
        rect->top -= fake::kFrameTop;
        rect->right += fake::kFrameRight;
        rect->bottom += fake::kFrameBottom;
    }
    return TRUE;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    Log("CreateWindowExA",
        {exStyle, style, x, y, width, height, Handle(parent), Handle(menu), Handle(instance),
         Handle(param)},
        {Text(className), Text(windowName)});
    if (ShouldFail("CreateWindowExA")) {
        return nullptr;
    }
    return MakeHandle<HWND>(fake::kWindowBase, "CreateWindowExA");
}

BOOL WINAPI ShowWindow(HWND window, int command) {
    Log("ShowWindow", {Handle(window), command});
    return FALSE;
}

BOOL WINAPI SetForegroundWindow(HWND window) {
    Log("SetForegroundWindow", {Handle(window)});
    return TRUE;
}

HWND WINAPI SetFocus(HWND window) {
    Log("SetFocus", {Handle(window)});
    return nullptr;
}

BOOL WINAPI DestroyWindow(HWND window) {
    Log("DestroyWindow", {Handle(window)});
    return ShouldFail("DestroyWindow") ? FALSE : TRUE;
}

int WINAPI ShowCursor(BOOL show) {
    Log("ShowCursor", {show});
    fake::record.cursorCount += show ? 1 : -1;
    return fake::record.cursorCount;
}

LONG WINAPI ChangeDisplaySettingsA(LPDEVMODEA mode, DWORD flags) {
    Log("ChangeDisplaySettingsA", {mode != nullptr, flags});
    if (mode == nullptr) {
        fake::record.displayChanged = false;
        return DISP_CHANGE_SUCCESSFUL;
    }
    fake::record.displayMode = *mode;
    const LONG result = ShouldFail("ChangeDisplaySettingsA") ? DISP_CHANGE_FAILED
                                                             : fake::script.displayChangeResult;
    if (result == DISP_CHANGE_SUCCESSFUL) {
        fake::record.displayChanged = true;
    }
    return result;
}

HDC WINAPI GetDC(HWND window) {
    Log("GetDC", {Handle(window)});
    return ShouldFail("GetDC") ? nullptr : MakeHandle<HDC>(fake::kDeviceContextBase, "GetDC");
}

int WINAPI ReleaseDC(HWND window, HDC dc) {
    Log("ReleaseDC", {Handle(window), Handle(dc)});
    return ShouldFail("ReleaseDC") ? 0 : 1;
}

int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request) {
    Log("ChoosePixelFormat", {Handle(dc)});
    fake::record.chosenFormat = *request;
    return ShouldFail("ChoosePixelFormat") ? 0 : fake::kPixelFormat;
}

BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* request) {
    Log("SetPixelFormat", {Handle(dc), format});
    fake::record.setFormat = *request;
    return ShouldFail("SetPixelFormat") ? FALSE : TRUE;
}

BOOL WINAPI SwapBuffers(HDC dc) {
    Log("SwapBuffers", {Handle(dc)});
    return TRUE;
}

HGLRC WINAPI wglCreateContext(HDC dc) {
    Log("wglCreateContext", {Handle(dc)});
    return ShouldFail("wglCreateContext")
               ? nullptr
               : MakeHandle<HGLRC>(fake::kRenderContextBase, "wglCreateContext");
}

BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) {
    Log("wglMakeCurrent", {Handle(dc), Handle(context)});
    return ShouldFail("wglMakeCurrent") ? FALSE : TRUE;
}

BOOL WINAPI wglDeleteContext(HGLRC context) {
    Log("wglDeleteContext", {Handle(context)});
    return ShouldFail("wglDeleteContext") ? FALSE : TRUE;
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMsg) {
    Log("PeekMessageA", {Handle(window), filterMin, filterMax, removeMsg});
    if (fake::script.queue.empty()) {
        // A loop that outlives its script is stopped, and the test sees why.
        fake::record.queueOverrun = true;
        *msg = {};
        msg->message = WM_QUIT;
        return TRUE;
    }
    const fake::QueueItem item = fake::script.queue.front();
    fake::script.queue.pop_front();
    if (item.idle) {
        return FALSE;
    }
    *msg = item.message;
    return TRUE;
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
    Log("TranslateMessage", {msg->message, static_cast<std::int64_t>(msg->wParam)});
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    Log("DispatchMessageA", {msg->message, static_cast<std::int64_t>(msg->wParam), msg->lParam});
    WNDPROC procedure = fake::record.registeredClass.lpfnWndProc;
    return procedure == nullptr ? 0 : procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Log("DefWindowProcA", {Handle(window), message, static_cast<std::int64_t>(wParam), lParam});
    return fake::kDefaultResult;
}

void WINAPI PostQuitMessage(int exitCode) {
    Log("PostQuitMessage", {exitCode});
    MSG quit = {};
    quit.message = WM_QUIT;
    quit.wParam = static_cast<WPARAM>(exitCode);
    fake::script.queue.push_front({false, quit});
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    Log("MessageBoxA", {Handle(owner), type}, {Text(text), Text(caption)});
    if (!fake::script.boxAnswers.empty()) {
        const int answer = fake::script.boxAnswers.front();
        fake::script.boxAnswers.pop_front();
        return answer;
    }
    return (type & MB_TYPEMASK) == MB_OK ? IDOK : IDNO;
}

BOOL WINAPI PlaySoundA(LPCSTR sound, HMODULE module, DWORD flags) {
    Log("PlaySoundA", {Handle(module), flags}, {Text(sound)});
    return TRUE;
}
