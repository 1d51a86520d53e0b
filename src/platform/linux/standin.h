// The windowing stand-in's own tables: what each Win32 handle stands for, shared by the files
// that implement one service each (classes and windows, messages, display modes, device
// contexts and pixel formats, GL contexts, start-up).
//
// Handles are opaque numbers handed out once and never reused, so a stale handle is simply
// not found in any table, as Windows reports for a handle that is no longer valid.
#pragma once

#include <SDL.h>

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
    UINT style;
};

// A pixel format the stand-in offers; the sizes are minimums handed to SDL's GL attributes.
struct PixelFormat {
    bool doubleBuffer;
    BYTE colorBits;
    BYTE redBits;
    BYTE greenBits;
    BYTE blueBits;
    BYTE alphaBits;
    BYTE depthBits;
    BYTE stencilBits;
};

struct Window {
    bool used;
    HWND handle;
    HDC dc;  // every window owns its device context, as with CS_OWNDC
    int classIndex;
    WNDPROC proc;
    DWORD style;
    DWORD exStyle;
    SDL_Window* sdl;
    Uint32 sdlId;
    bool fullscreen;
    int clientWidth;  // as last reported with WM_SIZE
    int clientHeight;
    bool minimized;
    bool maximized;
    int pixelFormat;   // 0 until SetPixelFormat
    int visualFormat;  // the pixel format the SDL window was opened for; 0: the shared visual
    // An emulated fullscreen window: the program's picture size and colour depth, which its
    // offscreen frame has and the screen never does.
    int frameWidth;
    int frameHeight;
    int frameBits;
};

// A context's offscreen frame for emulated fullscreen windows (framebuffer objects of that
// context; they go with it), and the frame the sharp scaling passes through.
struct ContextFrame {
    unsigned int frameBuffer;
    unsigned int colourBuffer;
    unsigned int depthBuffer;
    int width;
    int height;
    int bits;
    unsigned int scaledFrameBuffer;
    unsigned int scaledColourBuffer;
    int scaledWidth;
    int scaledHeight;
};

struct GlContext {
    bool used;
    HGLRC handle;
    SDL_GLContext sdl;
    int pixelFormat;
    ContextFrame frame;
};

struct MessageQueue {
    MSG items[kQueueSize];
    int head;
    int count;
    bool quitPosted;
    int quitCode;
};

// The display mode the program was promised. The real display is never switched: windows made
// for this mode are emulated (see frame_buffers.cpp).
struct DisplayState {
    bool fullscreenMode;  // a CDS_FULLSCREEN change is in force
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
    const char* videoDriver;  // the SDL video driver a start-up code chose, or null
};

State& Tables();

// Starts SDL's video subsystem once; false (with SDL's reason in SDL_GetError) without a display.
bool EnsureVideo();
// Makes EnsureVideo start this SDL video driver, whatever the environment says, and accept it
// even where no screen could show it (the offscreen driver, for a program that never shows a
// window). Called by a start-up code before anything opens a window.
void UseVideoDriver(const char* driver);

// A fresh handle value, distinct from every handle handed out before.
std::uintptr_t NewHandle();

// The table index of a registered class, by name (case-blind, as Windows compares class names)
// or by the atom RegisterClassA returned; -1 when there is none.
int LookUpClass(LPCSTR name, HINSTANCE instance);
Window* LookUpWindow(HWND window);
Window* LookUpWindowByDc(HDC dc);
Window* LookUpWindowBySdlId(Uint32 id);
GlContext* LookUpContext(HGLRC context);

// Calls the window's procedure at once, as SendMessage does; 0 for a window that is gone.
LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostToQueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Drops the queued messages of a window being destroyed.
void DropMessagesFor(HWND window);
// Turns pending SDL events into queued or sent window messages.
void PumpEvents();
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

// The index of the display that holds the point (x, y) of the desktop; 0 when none does.
int DisplayAt(int x, int y);

// Opens the SDL window behind a Win32 window with the GL attributes already set, hidden unless
// asked otherwise; when `window.fullscreen` is set, a borderless window covering its whole
// display (the real display mode stays as it is).
bool OpenSdlWindow(Window& window, const char* title, int x, int y, int width, int height,
                   bool visible);

// Windows' virtual-key code for an SDL key, 0 when it has none here.
BYTE VirtualKeyFor(const SDL_Keysym& key);

const PixelFormat* LookUpPixelFormat(int number);

// What becomes of a finished frame. SwapBuffers calls the presenter with the window's context
// current and the frame readable at the program's own size:
//   - an emulated fullscreen window (`window.fullscreen`): its offscreen frame, `frameWidth` x
//     `frameHeight` pixels at `frameBits` colour depth, is bound as GL_READ_FRAMEBUFFER and
//     glReadBuffer(GL_COLOR_ATTACHMENT0) is selected;
//   - a plain window: the default framebuffer is bound as GL_READ_FRAMEBUFFER and
//     glReadBuffer(GL_BACK) is selected; its size is `clientWidth` x `clientHeight`.
// So glReadPixels(0, 0, width, height, ...) reads the finished frame in either case. After the
// presenter returns SwapBuffers puts back the read binding and read buffer it found. The
// desktop's presenter puts the frame on the screen (scaled, for an emulated window) and swaps;
// a program that wants the frames elsewhere (a video, stills) installs its own before WinMain
// runs. Whatever other GL state a presenter changes it puts back; a presenter that does not
// swap leaves the window's back buffer as it is.
typedef void (*FramePresenter)(Window& window);
void SetFramePresenter(FramePresenter presenter);  // null: the desktop's presenter

// Emulated fullscreen (frame_buffers.cpp). With `context` current on `window`: makes the
// context's offscreen frame the window framebuffer when the window is emulated, the default
// framebuffer otherwise; false when the offscreen frame cannot be had.
bool BindWindowFrame(Window& window, GlContext& context);
// Puts an emulated window's frame, bound for reading, on its real drawable: scaled sharp,
// aspect kept, black bars; every GL state it touches is put back. Does not swap.
void DrawScaledFrame(Window& window, GlContext& context);
// Calls the presenter with the window's frame readable as FramePresenter says, and puts the
// read binding back afterwards.
void PresentWithFrameReadable(Window& window, GlContext& context, FramePresenter presenter);

}  // namespace standin
