// The Win32 core's own tables: what each Win32 handle stands for, shared by the files that
// implement one service each (classes and windows, messages, activation, display modes, device
// contexts and pixel formats, GL contexts and their frames).
//
// Handles are opaque numbers handed out once, by one allocator for every kind, and never
// reused, so a stale handle is simply not found in any table, as Windows reports for a handle
// that is no longer valid.
#pragma once

#include "platform/core/backend.h"
#include "platform/win32.h"

namespace standin {

constexpr int kMaxClasses = 16;
constexpr int kMaxWindows = 16;
constexpr int kMaxContexts = 16;
constexpr int kClassNameSize = 256;
constexpr int kQueueSize = 512;

struct WindowClass {
    bool used;
    ATOM atom;
    char name[kClassNameSize];
    WNDPROC proc;
    HINSTANCE instance;
};

struct Window {
    bool used;
    HWND handle;
    HDC dc;  // every window owns its device context, as with CS_OWNDC
    int classIndex;
    WNDPROC proc;
    DWORD style;
    DWORD exStyle;
    Surface* surface;
    bool visible;
    // Made for the promised display mode: it covers the whole display, while the program goes
    // on seeing the mode.
    bool coversDisplay;
    int clientWidth;  // as last reported with WM_SIZE
    int clientHeight;
    bool minimized;
    bool maximized;
    int pixelFormat;  // 0 until SetPixelFormat
    // The program's picture: the size and colour depth it draws at (the mode's for a window
    // covering the display, else its client area's at the desktop's depth, 0). Where the
    // drawable has other pixels than the picture, the picture is drawn offscreen and scaled.
    int pictureWidth;
    int pictureHeight;
    int pictureBits;
};

// The shader program that scales an offscreen frame to the drawable, its quad, and where its
// uniforms are.
struct Scaler {
    unsigned int program;  // 0 until it is built
    unsigned int corners;  // the quad's vertex buffer
    bool quantizing;       // brings a deeper frame down to the asked depth's levels
    int repeatedSize;
    int pixelSize;
    int whole;
    int perWhole;
    int levels;
    int perLevels;
};

// A context's offscreen frame (a framebuffer object of that context drawing into a texture of
// the picture's size and depth), and its scaler; they go with the context.
struct Offscreen {
    unsigned int frameBuffer;
    unsigned int depthBuffer;
    unsigned int texture;
    int width;
    int height;
    int bits;
    // The asked depth's highest channel values where the frame keeps more bits than that;
    // zeros where it keeps exactly those.
    float levels[3];
    bool bound;  // the program draws into it, rather than into the drawable
    Scaler scaler;
    // What the scaler was last set for, so that a frame like the one before changes nothing:
    // the whole factor of its uniforms (0: never set) and the texture's filter.
    int scaledWhole;
    int scaledFilter;
};

struct GlContext {
    bool used;
    HGLRC handle;
    SurfaceContext* backend;
    int pixelFormat;  // its number, and what it holds
    PixelFormat format;
    bool everCurrent;  // has been made current on a window
    Offscreen offscreen;
};

struct MessageQueue {
    MSG items[kQueueSize];
    int head;
    int count;
    bool quitPosted;
    int quitCode;
};

// The display mode the program was promised. The real display is never switched: windows made
// for this mode cover the display and draw offscreen at the mode's size (frames.cpp).
struct DisplayState {
    bool modePromised;  // a CDS_FULLSCREEN change is in force
    int width;
    int height;
    int bits;
};

struct GlCurrent {
    HDC dc;
    HGLRC context;
};

struct State {
    WindowClass classes[kMaxClasses];
    Window windows[kMaxWindows];
    GlContext contexts[kMaxContexts];
    MessageQueue queue;
    DisplayState display;
    GlCurrent current;
    HWND active;  // the active window, as the program has been told; null for none of its own
    HWND focus;   // the window with the keyboard focus, likewise
    int cursorCount;
    std::uintptr_t nextHandle;
    // Set once the program has made a GL context current (gl_contexts.cpp): what a window whose
    // picture changed size calls, so that the current context draws at the new size. A program
    // that never draws links no GL for it.
    void (*pictureResized)(Window& window);
};

State& Tables();

// null_backend.cpp: the backend with every entry it left empty filled with the null backend's.
Backend Completed(const Backend& backend);

// A fresh handle value, distinct from every handle of any kind handed out before, and from
// the stock objects' reserved values below them.
std::uintptr_t NewHandle();

// The table index of a registered class, by name (case-blind, as Windows compares class names)
// or by the atom RegisterClassA returned; -1 when there is none.
int LookUpClass(LPCSTR name, HINSTANCE instance);
Window* LookUpWindow(HWND window);
Window* LookUpWindowByDc(HDC dc);
Window* LookUpWindowBySurface(Surface* surface);
GlContext* LookUpContext(HGLRC context);

// Calls the window's procedure at once, as SendMessage does; 0 for a window that is gone.
LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostToQueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Drops the queued messages of a window being destroyed.
void DropMessagesFor(HWND window);
// Activation and keyboard focus (activation.cpp): the program learns of them as Windows tells
// it, at once and in Windows' order, whether its own call or the window manager moved them; a
// report of a state the program already knows sends nothing.
//
// Makes the window the active one. The window active before is deactivated first; then the
// window gets WM_ACTIVATE (WA_ACTIVE, with its minimised flag in the high word) and is asked
// whether it lets the screen saver run. DefWindowProcA gives a window that is not minimised the
// keyboard focus.
void Activate(HWND window);
// The window stops being the active one: WM_ACTIVATE (WA_INACTIVE), then WM_KILLFOCUS if it had
// the keyboard focus.
void Deactivate(HWND window);
// Gives the keyboard focus to the window (null: to none): WM_KILLFOCUS to the window that had
// it, then WM_SETFOCUS to the new one. Returns the window that had it.
HWND MoveFocus(HWND window);

// Minimising and restoring as Windows reports them (windows.cpp), whoever did it. Minimised:
// the focus goes, WM_MOVE to Windows' parking place, WM_SIZE (SIZE_MINIMIZED, 0 x 0), and the
// activation passes on. Restored: the window is activated, then WM_MOVE and WM_SIZE
// (SIZE_RESTORED) with its client area; a window that was activated while minimised gets the
// focus and WM_ACTIVATE again after them, now without the minimised flag.
void ReportMinimized(HWND window);
void ReportRestored(HWND window);
// Sends WM_SIZE (SIZE_RESTORED or SIZE_MAXIMIZED) with the client area when it changed, or
// always, for a change of the sizing state.
void ReportClientSize(HWND window, bool always);

// DefWindowProcA's answer to WM_SYSCOMMAND SC_SCREENSAVE: the screen saver may start. A
// procedure that swallows the command answers 0 instead (Windows' answer for a handled
// WM_SYSCOMMAND), so the sender tells the two apart by the result alone.
constexpr LRESULT kScreenSaverAllowed = 1;

const PixelFormat* LookUpPixelFormat(int number);

// Where a window's context draws (frames.cpp). With `context` current on `window`: binds as the
// window framebuffer the context's offscreen frame where the picture must be scaled to the
// drawable, else the drawable itself; false when an offscreen frame is needed and cannot be had.
// Called whenever the context is made current, the picture's size changes, or a frame has been
// presented (the drawable may have changed meanwhile).
bool BindDrawingTarget(Window& window, GlContext& context);

struct GlCalls;
// scaler.cpp: the scaler of the current context (a program of 0 when the driver would not
// build it), and the scaling of its offscreen frame to the drawable, which it leaves bound.
// The quad's vertex buffer is made unless one is given.
Scaler BuildScaler(const GlCalls& gl, bool quantizing, unsigned int corners);
void ScaleToDrawable(const GlCalls& gl, Offscreen& offscreen, int drawableWidth,
                     int drawableHeight);

}  // namespace standin
