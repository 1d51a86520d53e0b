// The one header render/ and app/ include for platform names.
//
// On Windows it is the real thing: <windows.h>, <mmsystem.h>, <GL/gl.h> and <GL/glu.h>.
// Elsewhere it declares the small Win32 subset the demo uses, with the types, layouts and
// constant values Windows gives them, implemented by the stand-in: the Win32 core in
// platform/core/ keeps Windows' rules, over a backend (platform/core/backend.h) that does what
// the windowing system does: the desktop's in platform/desktop/ on SDL2, FreeType and
// fontconfig, the capture's (src/capture/) recording frames and sound, or the browser's in
// platform/browser/ on emscripten and WebGL. Code written against this header cannot tell
// them apart.
//
// Using the stand-in
//   Programs link win32_standin_main: main(), which installs the desktop backend and calls the
//   program's WinMain. Tests link win32_standin (the core on the desktop backend) or the core
//   with a backend of their own. Everything runs on the one thread that calls WinMain; no call
//   here is thread-safe.
//
// What the stand-in honours, in general
//   - Handles are numbers handed out once and never reused. A stale or made-up handle is not
//     found, and the call fails as Windows fails for an invalid handle (FALSE, 0 or null).
//   - Only top-level windows exist. A window's client area is a surface of the backend (an SDL
//     window on the desktop); the frame is left
//     to the window manager, but its size is fixed, so that AdjustWindowRectEx and
//     CreateWindowExA agree.
//   - Window procedures are called synchronously, as SendMessage does, by DispatchMessageA and
//     by every call that sends messages on Windows; input and close requests arrive through the
//     queue. The messages sent, and their order, are the ones Windows sends for the calls below.
//   - A display mode is a promise to the program, never a change of the real screen: a
//     fullscreen window covers the display while the program draws at the mode's size, and
//     its picture is scaled sharp to the screen (platform/core/frames.cpp, scaler.cpp). A
//     window on a scaled desktop is shown the same way, as Windows shows a program that knows
//     nothing of DPI: the program sees its client area, the screen the scaled picture.
//   - Arguments a call does not mention are accepted and ignored; flags it does not mention are
//     not acted on. Nothing sets the thread's last error.
//   - Only the constants below exist; each has its Windows value.
#pragma once

#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
// windows.h first: the others need its types.
#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <mmsystem.h>

#else

#include <cstdint>

#include <GL/gl.h>
#include <GL/glu.h>

// Calling conventions only matter to 32-bit Windows.
#define WINAPI
#define CALLBACK

// ---- Base types (Windows' sizes: LONG and DWORD are 32 bits everywhere) ----
typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef std::uint32_t DWORD;
typedef std::int32_t LONG;
typedef unsigned int UINT;
typedef int INT;
typedef int* LPINT;
typedef WORD ATOM;
typedef char CHAR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef void* LPVOID;
typedef std::uintptr_t WPARAM;
typedef std::intptr_t LPARAM;
typedef std::intptr_t LRESULT;

#define FALSE 0
#define TRUE 1

// Handles are distinct pointer types, as with STRICT on Windows.
#define QV_DECLARE_HANDLE(name) typedef struct name##__* name
typedef void* HANDLE;
typedef void* HGDIOBJ;
QV_DECLARE_HANDLE(HWND);
QV_DECLARE_HANDLE(HDC);
QV_DECLARE_HANDLE(HGLRC);
QV_DECLARE_HANDLE(HINSTANCE);
QV_DECLARE_HANDLE(HFONT);
QV_DECLARE_HANDLE(HICON);
QV_DECLARE_HANDLE(HBRUSH);
QV_DECLARE_HANDLE(HMENU);
#undef QV_DECLARE_HANDLE
typedef HINSTANCE HMODULE;
typedef HICON HCURSOR;

#define LOWORD(l) ((WORD)(((std::uintptr_t)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((std::uintptr_t)(l)) >> 16) & 0xffff))
#define MAKELPARAM(lo, hi) ((LPARAM)(DWORD)(((WORD)(lo)) | (((DWORD)(WORD)(hi)) << 16)))
#define MAKEWPARAM(lo, hi) ((WPARAM)(DWORD)(((WORD)(lo)) | (((DWORD)(WORD)(hi)) << 16)))
#define MAKEINTRESOURCEA(i) ((LPSTR)(std::uintptr_t)((WORD)(i)))
#define MAKEINTRESOURCE MAKEINTRESOURCEA

// ---- Structures ----
typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT, POINTL;

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT, *LPRECT;

typedef struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
} MSG, *LPMSG;

typedef struct tagWNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
} WNDCLASSA;

// What WM_NCCREATE and WM_CREATE point to.
typedef struct tagCREATESTRUCTA {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
} CREATESTRUCTA;

#define CCHDEVICENAME 32
#define CCHFORMNAME 32

typedef struct _devicemodeA {
    BYTE dmDeviceName[CCHDEVICENAME];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    union {
        struct {
            short dmOrientation;
            short dmPaperSize;
            short dmPaperLength;
            short dmPaperWidth;
            short dmScale;
            short dmCopies;
            short dmDefaultSource;
            short dmPrintQuality;
        };
        struct {
            POINTL dmPosition;
            DWORD dmDisplayOrientation;
            DWORD dmDisplayFixedOutput;
        };
    };
    short dmColor;
    short dmDuplex;
    short dmYResolution;
    short dmTTOption;
    short dmCollate;
    BYTE dmFormName[CCHFORMNAME];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    union {
        DWORD dmDisplayFlags;
        DWORD dmNup;
    };
    DWORD dmDisplayFrequency;
    DWORD dmICMMethod;
    DWORD dmICMIntent;
    DWORD dmMediaType;
    DWORD dmDitherType;
    DWORD dmReserved1;
    DWORD dmReserved2;
    DWORD dmPanningWidth;
    DWORD dmPanningHeight;
} DEVMODEA, *LPDEVMODEA;
static_assert(sizeof(DEVMODEA) == 156, "DEVMODEA has Windows' layout");

typedef struct tagPIXELFORMATDESCRIPTOR {
    WORD nSize;
    WORD nVersion;
    DWORD dwFlags;
    BYTE iPixelType;
    BYTE cColorBits;
    BYTE cRedBits;
    BYTE cRedShift;
    BYTE cGreenBits;
    BYTE cGreenShift;
    BYTE cBlueBits;
    BYTE cBlueShift;
    BYTE cAlphaBits;
    BYTE cAlphaShift;
    BYTE cAccumBits;
    BYTE cAccumRedBits;
    BYTE cAccumGreenBits;
    BYTE cAccumBlueBits;
    BYTE cAccumAlphaBits;
    BYTE cDepthBits;
    BYTE cStencilBits;
    BYTE cAuxBuffers;
    BYTE iLayerType;
    BYTE bReserved;
    DWORD dwLayerMask;
    DWORD dwVisibleMask;
    DWORD dwDamageMask;
} PIXELFORMATDESCRIPTOR;
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "PIXELFORMATDESCRIPTOR has Windows' layout");

// ---- Window messages ----
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_SHOWWINDOW 0x0018
#define WM_NCCREATE 0x0081
#define WM_NCDESTROY 0x0082
#define WM_NCCALCSIZE 0x0083
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_SYSKEYDOWN 0x0104
#define WM_SYSKEYUP 0x0105
#define WM_SYSCOMMAND 0x0112

#define WA_INACTIVE 0
#define WA_ACTIVE 1
#define WA_CLICKACTIVE 2

#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1
#define SIZE_MAXIMIZED 2

#define SC_MINIMIZE 0xF020
#define SC_MAXIMIZE 0xF030
#define SC_CLOSE 0xF060
#define SC_RESTORE 0xF120
#define SC_SCREENSAVE 0xF140
#define SC_MONITORPOWER 0xF170

#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001

// ---- Virtual-key codes ----
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_PAUSE 0x13
#define VK_CAPITAL 0x14
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_F1 0x70
#define VK_F2 0x71
#define VK_F3 0x72
#define VK_F4 0x73
#define VK_F5 0x74
#define VK_F6 0x75
#define VK_F7 0x76
#define VK_F8 0x77
#define VK_F9 0x78
#define VK_F10 0x79
#define VK_F11 0x7A
#define VK_F12 0x7B

// ---- Window classes and styles ----
#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_OWNDC 0x0020

#define WS_OVERLAPPED 0x00000000u
#define WS_POPUP 0x80000000u
#define WS_CHILD 0x40000000u
#define WS_VISIBLE 0x10000000u
#define WS_CLIPSIBLINGS 0x04000000u
#define WS_CLIPCHILDREN 0x02000000u
#define WS_CAPTION 0x00C00000u
#define WS_BORDER 0x00800000u
#define WS_DLGFRAME 0x00400000u
#define WS_SYSMENU 0x00080000u
#define WS_THICKFRAME 0x00040000u
#define WS_MINIMIZEBOX 0x00020000u
#define WS_MAXIMIZEBOX 0x00010000u
#define WS_OVERLAPPEDWINDOW \
    (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)

#define WS_EX_WINDOWEDGE 0x00000100u
#define WS_EX_CLIENTEDGE 0x00000200u
#define WS_EX_APPWINDOW 0x00040000u

#define SW_HIDE 0
#define SW_SHOWMINIMIZED 2
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10

#define IDI_APPLICATION MAKEINTRESOURCE(32512)
#define IDI_WINLOGO MAKEINTRESOURCE(32517)
#define IDC_ARROW MAKEINTRESOURCE(32512)

// ---- Display modes ----
#define CDS_TEST 0x00000002
#define CDS_FULLSCREEN 0x00000004

#define DISP_CHANGE_SUCCESSFUL 0
#define DISP_CHANGE_FAILED (-1)
#define DISP_CHANGE_BADMODE (-2)

#define DM_BITSPERPEL 0x00040000
#define DM_PELSWIDTH 0x00080000
#define DM_PELSHEIGHT 0x00100000

// ---- Pixel formats ----
#define PFD_DOUBLEBUFFER 0x00000001
#define PFD_DRAW_TO_WINDOW 0x00000004
#define PFD_SUPPORT_OPENGL 0x00000020
#define PFD_TYPE_RGBA 0
#define PFD_TYPE_COLORINDEX 1
#define PFD_MAIN_PLANE 0

// ---- Message boxes ----
#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_YESNO 0x00000004u
#define MB_ICONHAND 0x00000010u
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_ICONASTERISK 0x00000040u
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_TYPEMASK 0x0000000Fu
#define MB_ICONMASK 0x000000F0u

#define IDOK 1
#define IDYES 6
#define IDNO 7

// ---- Sound ----
#define SND_SYNC 0x0000
#define SND_ASYNC 0x0001
#define SND_NODEFAULT 0x0002
#define SND_LOOP 0x0008
#define SND_FILENAME 0x00020000

// ---- Fonts ----
#define FW_NORMAL 400
#define FW_BOLD 700
#define ANSI_CHARSET 0
#define OUT_TT_PRECIS 4
#define CLIP_DEFAULT_PRECIS 0
#define ANTIALIASED_QUALITY 4
#define DEFAULT_PITCH 0
#define FF_DONTCARE 0

// ---- The subset ----
// Each call with what the stand-in honours of it. Where nothing is said, the call behaves as
// Windows documents it for the arguments the demo passes.
extern "C" {

// ---- KERNEL32 ----
// Module
// The program's own instance handle for a null name; there are no other modules to find.
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName);

// ---- USER32 ----
// Classes and windows
// Both give a non-null handle for the system's stock resources (IDI_WINLOGO, IDC_ARROW);
// windows show the desktop's own icon and cursor whatever is asked.
HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR iconName);
HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursorName);
// Up to 16 classes. Names compare case-blind; a name already registered for the instance
// fails with 0. The procedure and instance are kept; style, icons, cursor, background, menu
// and extra bytes are accepted and not used.
ATOM WINAPI RegisterClassA(const WNDCLASSA* windowClass);
// Fails while a window of the class exists, and for a class never registered.
BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance);
// Grows the rectangle by the frame of the style: caption, thick, dialog or thin border, client
// edge and menu bar, each a fixed number of pixels.
BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle);
// Top-level windows only (a parent or WS_CHILD fails), up to 16 at a time. Sends WM_NCCREATE,
// WM_NCCALCSIZE, WM_CREATE, WM_SIZE and WM_MOVE, in that order; a procedure that refuses
// WM_NCCREATE (FALSE) or WM_CREATE (-1), or destroys the window meanwhile, makes creation fail
// with null. The client area is the asked size less the style's frame, whatever the answer
// to WM_NCCALCSIZE. A WS_POPUP window at (0, 0) of exactly the size of a display mode in force
// covers the display. WS_VISIBLE shows it at once.
HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param);
// SW_HIDE, SW_MINIMIZE, SW_SHOWMINIMIZED, SW_RESTORE, and anything else as SW_SHOW; the result
// is whether the window was visible before. Sends what Windows sends, before returning:
// WM_SHOWWINDOW when the visibility changes; on showing, WM_ACTIVATE (WA_ACTIVE) for a window
// not yet active, after which DefWindowProcA's focus brings WM_SETFOCUS; on minimising,
// WM_KILLFOCUS, WM_MOVE to (-32000, -32000), WM_SIZE (SIZE_MINIMIZED) and WM_ACTIVATE
// (WA_INACTIVE, minimised); on restoring, WM_ACTIVATE (WA_ACTIVE), WM_MOVE and WM_SIZE
// (SIZE_RESTORED). The window manager's own minimising, restoring and focus changes arrive
// through PeekMessageA as the same messages.
BOOL WINAPI ShowWindow(HWND window, int command);
// Raises the window and activates it (WM_ACTIVATE) if it is not the active window already.
BOOL WINAPI SetForegroundWindow(HWND window);
// Activates the window if need be and gives it the keyboard focus (WM_KILLFOCUS to the window
// that had it, WM_SETFOCUS to this one; nothing if it has it already), and asks the windowing
// system for its input focus. Returns the window that had the focus (null if none of the
// program's); null takes the focus away.
HWND WINAPI SetFocus(HWND window);
// Deactivates the window (WM_ACTIVATE, WM_KILLFOCUS) if it is active, sends WM_DESTROY and
// WM_NCDESTROY, then releases the window's device context and what was selected into it, and
// drops its queued messages. A GL context made on it survives, not current.
BOOL WINAPI DestroyWindow(HWND window);
// The client area as last reported with WM_SIZE: the mode's size for a window covering the
// display, the unscaled size on a scaled desktop, 0 x 0 while minimised.
BOOL WINAPI GetClientRect(HWND window, LPRECT rect);
BOOL WINAPI IsWindowVisible(HWND window);
// A display counter from 0; the cursor is hidden over the program's windows while it is below
// zero.
int WINAPI ShowCursor(BOOL show);

// Display modes
// Records a mode for fullscreen windows to be made at (no larger than the desktop; a depth of
// 8, 15, 16, 24 or 32 bits) and answers DISP_CHANGE_SUCCESSFUL, or DISP_CHANGE_BADMODE for a
// mode it cannot emulate, DISP_CHANGE_FAILED without a display. A null mode goes back to the
// desktop's. CDS_TEST only answers. The real screen is never switched.
LONG WINAPI ChangeDisplaySettingsA(LPDEVMODEA mode, DWORD flags);

// Device contexts
// Every window owns one device context (as with CS_OWNDC): GetDC always gives it, ReleaseDC
// answers 1 for it and 0 for anything else.
HDC WINAPI GetDC(HWND window);
int WINAPI ReleaseDC(HWND window, HDC dc);

// Messages
// Pumps the backend's events first: keys become queued WM_KEYDOWN / WM_KEYUP (WM_SYSKEYDOWN /
// WM_SYSKEYUP with Alt, and for F10), the close button a queued WM_SYSCOMMAND SC_CLOSE, and
// focus, size and minimise changes are sent to the window at once. WM_QUIT comes last, once,
// after PostQuitMessage.
BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMsg);
// Makes no character messages; answers whether the message was a key message.
BOOL WINAPI TranslateMessage(const MSG* msg);
LRESULT WINAPI DispatchMessageA(const MSG* msg);
// Answers WM_NCCREATE with TRUE and WM_NCCALCSIZE (wParam FALSE) by taking the window's frame
// off the rectangle; gives a window activated while not minimised (WM_ACTIVATE) the keyboard
// focus; turns WM_CLOSE into DestroyWindow and the system commands SC_CLOSE, SC_MINIMIZE,
// SC_MAXIMIZE and SC_RESTORE into what their buttons do; lets the screen saver start for
// SC_SCREENSAVE, answering 1 (a procedure that swallows it answers 0). Everything else is
// answered with 0.
LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void WINAPI PostQuitMessage(int exitCode);

// Message boxes
// A modal box of the backend (SDL's on the desktop) with the caption, text and icon asked for,
// and the buttons of MB_OK or MB_YESNO (other button sets fail with 0); the answer is the IDOK,
// IDYES or IDNO of the button pressed (Return: the first, Escape: the last). The owner is
// ignored. A box that cannot be shown answers 0, its text written to stderr.
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// ---- GDI32 ----
// Pixel formats and buffer swaps
// A few RGBA formats are offered; the one chosen meets the colour, depth and stencil sizes
// asked and double-buffering if asked. Colour-index, layers, accumulation and aux buffers are
// not offered.
int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request);
// Once per window, as on Windows; setting a different format again fails.
BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* request);
// Presents the window's frame through the backend: swapped at the display's refresh on the
// desktop, scaled sharp first where the screen has other pixels than the picture (a window
// covering the display, a scaled desktop, a canvas at the device's pixels), recorded by the
// capture.
BOOL WINAPI SwapBuffers(HDC dc);

// Fonts
// Face, height (negative: character height; positive: cell height), weight and italic are
// honoured; the face resolves through fontconfig to the closest font the system has ("Arial"
// to Liberation Sans, drawn to Arial's metrics). Glyphs are 1-bit bitmaps, as glBitmap draws
// them, whatever quality is asked. The other arguments are accepted and ignored.
HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight,
                         DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                         DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                         DWORD pitchAndFamily, LPCSTR faceName);
// Fonts only. Selecting gives back the previous selection; every device context starts with a
// stock font, which has no glyphs here. Any other object fails with null.
HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object);
// Fonts only; a device context that still holds the font falls back to the stock font.
BOOL WINAPI DeleteObject(HGDIOBJ object);
// The advance widths of the selected font's glyphs for the codes first..last, one a code, in
// whole pixels: the very advances the glyph lists of wglUseFontBitmapsA move the raster
// position by, so a text measured here is as long as it is drawn. A code without a glyph, and
// every code of the stock font, is 0 wide, as its list is empty. Fails with FALSE for last below
// first or a null buffer.
BOOL WINAPI GetCharWidth32A(HDC dc, UINT first, UINT last, LPINT widths);

// ---- OPENGL32 ----
// An OpenGL compatibility context (1.1 and up) for the device context's pixel format.
HGLRC WINAPI wglCreateContext(HDC dc);
// (null, null) releases the current context. A context may be made current on any window of
// its pixel format.
BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context);
// Deleting the current context releases it first.
BOOL WINAPI wglDeleteContext(HGLRC context);

// One display list per Windows-1252 code, in the current GL context: a glBitmap of the
// selected font's glyph with its origin on the baseline, advancing the raster position by the
// glyph's advance. A code without a glyph (or no font selected) gets an empty list; the answer
// is TRUE all the same.
BOOL WINAPI wglUseFontBitmapsA(HDC dc, DWORD first, DWORD count, DWORD listBase);

// ---- WINMM: clock and sound ----
// The backend's milliseconds, wrapping at 2^32: CLOCK_MONOTONIC on the desktop; under the
// capture program a virtual clock that moves by one frame's time per presented frame.
DWORD WINAPI timeGetTime(void);
// A WAV file (PCM, 8 or 16 bits per sample), one at a time: a new sound replaces the one
// playing, a null name stops it. SND_ASYNC loads and plays off the caller's thread and answers
// TRUE for any file; SND_SYNC loads on it. SND_FILENAME is accepted, SND_NODEFAULT silences a
// file that cannot be played (else the default sound plays); any other flag fails with FALSE.
BOOL WINAPI PlaySoundA(LPCSTR sound, HMODULE module, DWORD flags);

}  // extern "C"

// The program's GUI entry, called by the stand-in's start-up code.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showCommand);

#endif  // _WIN32
