// The four font calls, recorded; handles are made-up values the test can recognise.
#include <cstdint>
#include <cstring>

#include "log_internal.h"

namespace {

// SelectObject answers with what was selected before, as GDI does (one DC is enough here).
constexpr std::uintptr_t kStockFontValue = 0x5700;
std::uintptr_t nextFontValue = 0xF000;
std::uintptr_t selected = kStockFontValue;

double Value(const void* handle) {
    return static_cast<double>(reinterpret_cast<std::uintptr_t>(handle));
}

}  // namespace

extern "C" {

HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight,
                         DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                         DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                         DWORD pitchAndFamily, LPCSTR faceName) {
    const std::uintptr_t font = ++nextFontValue;
    RecordText(Gl::CreateFont,
               {double(height), double(width), double(escapement), double(orientation),
                double(weight), double(italic), double(underline), double(strikeOut),
                double(charSet), double(outPrecision), double(clipPrecision), double(quality),
                double(pitchAndFamily), double(font)},
               faceName, faceName != nullptr ? static_cast<int>(std::strlen(faceName)) : 0);
    return reinterpret_cast<HFONT>(font);
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
    Record(Gl::SelectObject, {Value(dc), Value(object)});
    const std::uintptr_t previous = selected;
    selected = reinterpret_cast<std::uintptr_t>(object);
    return reinterpret_cast<HGDIOBJ>(previous);
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
    Record(Gl::DeleteObject, {Value(object)});
    return TRUE;
}

BOOL WINAPI wglUseFontBitmapsA(HDC dc, DWORD first, DWORD count, DWORD listBase) {
    Record(Gl::UseFontBitmaps, {Value(dc), double(first), double(count), double(listBase)});
    return TRUE;
}

}  // extern "C"
