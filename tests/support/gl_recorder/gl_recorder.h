// Test doubles for the renderer's platform: GL and GLU entry points that record each call
// with its arguments, font calls recorded into the same log, and a clock the test sets.
#pragma once

#include <span>

#include "platform/win32.h"

enum class Gl {
    Clear,
    ClearColor,
    ClearDepth,
    LoadIdentity,
    MatrixMode,
    Viewport,
    Translatef,
    Rotatef,
    Color3f,
    RasterPos2f,
    Begin,
    End,
    Vertex3f,
    ShadeModel,
    Enable,
    DepthFunc,
    Hint,
    GenLists,
    NewList,
    EndList,
    ListBase,
    CallLists,
    PushAttrib,
    PopAttrib,
    PushClientAttrib,
    PopClientAttrib,
    PixelStorei,
    Bitmap,
    GluPerspective,
    // the font calls, when the recording font is linked
    CreateFont,
    SelectObject,
    DeleteObject,
    UseFontBitmaps,
};

struct GlCall {
    Gl fn;
    double arg[14];  // the arguments in order; handles as their integer values
    int textLength;  // glCallLists bytes / CreateFontA face, as far as text[] holds them
    char text[300];
};

namespace recorder {

// Empties the log. List names keep counting up over the whole process, as in one context.
void Reset();
// Off: every entry point returns at once (the benchmark's "GL that does nothing").
void SetRecording(bool on);
std::span<const GlCall> Calls();
// Calls that did not fit the log since the last Reset.
int Dropped();

}  // namespace recorder

// The value timeGetTime returns from now on.
void SetTestClock(DWORD ms);
