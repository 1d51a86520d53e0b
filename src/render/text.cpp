// Bitmap text: one glyph display list per character code, drawn at the raster position.
#include <cstdarg>
#include <cstdio>

#include "common/demo_state.h"
#include "render/render.h"

namespace {

constexpr DWORD kFirstCode = 32;
constexpr DWORD kCodeCount = 223;  // 32..254
constexpr int kBufferSize = 256;

}  // namespace

void BuildTextFont() {
    // Reserve every name the glyph lists take, so no later glGenLists hands one out again.
    demoState.fontListBase = glGenLists(static_cast<GLsizei>(kCodeCount));

    // Negative height: a character height of 20 px, not a cell height.
    HFONT font =
        CreateFontA(-20, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                    CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, FF_DONTCARE | DEFAULT_PITCH, "Arial");
    HGDIOBJ previous = SelectObject(demoState.deviceContext, font);
    wglUseFontBitmapsA(demoState.deviceContext, kFirstCode, kCodeCount, demoState.fontListBase);
    SelectObject(demoState.deviceContext, previous);
    // The lists hold their own copies of the bitmaps; the font is no longer needed.
    DeleteObject(font);
}

void PrintText(const char* format, ...) {
    if (format == nullptr) {
        return;
    }

    char text[kBufferSize];
    va_list args;
    va_start(args, format);
    const int expanded = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (expanded < 0) {
        return;  // a conversion failed: there is no text to draw
    }
    // A longer expansion is cut to what the buffer holds.
    const GLsizei length = expanded < kBufferSize ? expanded : kBufferSize - 1;

    glPushAttrib(GL_LIST_BIT);
    glListBase(demoState.fontListBase - kFirstCode);
    glCallLists(length, GL_UNSIGNED_BYTE, text);
    glPopAttrib();
}
