// Window classes, the module handle and the system's stock icons and cursors.
//
// Classes are application-local: a name may be registered once per module instance, and a
// class cannot be unregistered while a window of it exists. The stock icon and cursor handles
// only stand for "the system's default"; surfaces show the desktop's own icon and arrow.
#include <cctype>
#include <cstring>

#include "platform/core/core.h"

namespace {

// Windows gives string classes atoms from 0xC000 up.
constexpr ATOM kFirstClassAtom = 0xC000;

struct StockResource {
    std::uintptr_t id;
    char token;  // its address is the handle
};

StockResource gStockIcons[] = {{32512, 0}, {32517, 0}};  // IDI_APPLICATION, IDI_WINLOGO
StockResource gStockCursors[] = {{32512, 0}};            // IDC_ARROW
char gModuleToken = 0;

bool IsAtom(LPCSTR name) { return reinterpret_cast<std::uintptr_t>(name) < 0x10000; }

bool SameName(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (std::tolower(static_cast<unsigned char>(*a)) !=
            std::tolower(static_cast<unsigned char>(*b))) {
            return false;
        }
    }
    return *a == *b;
}

template <typename Handle, std::size_t N>
Handle FindStock(StockResource (&table)[N], HINSTANCE instance, LPCSTR name) {
    // Only the system's own resources exist here: none are loaded from a module.
    if (instance != nullptr || !IsAtom(name)) return nullptr;
    for (StockResource& entry : table) {
        if (entry.id == reinterpret_cast<std::uintptr_t>(name)) {
            return reinterpret_cast<Handle>(&entry.token);
        }
    }
    return nullptr;
}

bool HasWindowOfClass(int classIndex) {
    for (const standin::Window& window : standin::Tables().windows) {
        if (window.used && window.classIndex == classIndex) return true;
    }
    return false;
}

}  // namespace

namespace standin {

int LookUpClass(LPCSTR name, HINSTANCE instance) {
    if (name == nullptr) return -1;
    State& state = Tables();
    for (int i = 0; i < kMaxClasses; ++i) {
        const WindowClass& entry = state.classes[i];
        if (!entry.used || entry.instance != instance) continue;
        if (IsAtom(name) ? entry.atom == reinterpret_cast<std::uintptr_t>(name)
                         : SameName(entry.name, name)) {
            return i;
        }
    }
    return -1;
}

}  // namespace standin

extern "C" HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    // The program is the one module; other modules are not looked up.
    if (moduleName != nullptr) return nullptr;
    return reinterpret_cast<HMODULE>(&gModuleToken);
}

extern "C" HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR iconName) {
    return FindStock<HICON>(gStockIcons, instance, iconName);
}

extern "C" HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursorName) {
    return FindStock<HCURSOR>(gStockCursors, instance, cursorName);
}

extern "C" ATOM WINAPI RegisterClassA(const WNDCLASSA* windowClass) {
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr) return 0;
    if (IsAtom(windowClass->lpszClassName) || windowClass->lpfnWndProc == nullptr) return 0;
    std::size_t length = std::strlen(windowClass->lpszClassName);
    if (length == 0 || length >= standin::kClassNameSize) return 0;
    if (standin::LookUpClass(windowClass->lpszClassName, windowClass->hInstance) >= 0) return 0;

    standin::State& state = standin::Tables();
    for (int i = 0; i < standin::kMaxClasses; ++i) {
        standin::WindowClass& entry = state.classes[i];
        if (entry.used) continue;
        entry = {};
        entry.used = true;
        entry.atom = static_cast<ATOM>(kFirstClassAtom + i);
        std::memcpy(entry.name, windowClass->lpszClassName, length + 1);
        entry.proc = windowClass->lpfnWndProc;
        entry.instance = windowClass->hInstance;
        return entry.atom;
    }
    return 0;
}

extern "C" BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance) {
    int index = standin::LookUpClass(className, instance);
    if (index < 0 || HasWindowOfClass(index)) return FALSE;
    standin::Tables().classes[index] = {};
    return TRUE;
}
