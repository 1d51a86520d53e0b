// CreateFontA, SelectObject and DeleteObject for fonts, and GetCharWidth32A: requests resolved
// by the backend's font mapper, selections kept per device-context value (the window layer owns
// the DCs themselves and tells when one dies).
//
// Both tables grow as needed and give entries back: a font's entry goes with DeleteObject, a
// device context's selection when the stock font is selected back or the DC dies. Font
// handles come from the core's one allocator, so a deleted font's handle is simply not found,
// never stands for a later font, and never equals a window's, a DC's or a context's.
#include <map>

#include "platform/core/core.h"
#include "platform/core/font_objects.h"

namespace {

using standin::kStockFont;

struct Font {
    const standin::FontFace* face;  // null: no usable font on the system
};

std::map<std::uintptr_t, Font> gFonts;
// A DC absent from here has the stock font selected.
std::map<HDC, std::uintptr_t> gSelections;

std::uintptr_t Value(HGDIOBJ object) { return reinterpret_cast<std::uintptr_t>(object); }

bool IsFont(std::uintptr_t value) { return value == kStockFont || gFonts.count(value) != 0; }

}  // namespace

namespace standin {

const FontFace* SelectedFace(HDC dc) {
    auto selection = gSelections.find(dc);
    if (selection == gSelections.end()) return nullptr;
    auto font = gFonts.find(selection->second);
    return font != gFonts.end() ? font->second.face : nullptr;
}

const GlyphBitmap& GlyphOf(const FontFace* face, DWORD code) {
    static const GlyphBitmap none{};
    if (face == nullptr || code > 255) return none;
    return TheBackend().glyph(face, code);
}

void ForgetDeviceContext(HDC dc) { gSelections.erase(dc); }

}  // namespace standin

extern "C" {

// Width, angles, underline, strike-out, character set and precisions do not change which
// glyph bitmaps the demo gets, so only face, weight, slant and height are honoured.
HFONT WINAPI CreateFontA(int height, int, int, int, int weight, DWORD italic, DWORD, DWORD, DWORD,
                         DWORD, DWORD, DWORD, DWORD, LPCSTR faceName) {
    const standin::FontRequest request{height, weight, italic != 0,
                                       faceName != nullptr ? faceName : ""};
    const std::uintptr_t handle = standin::NewHandle();
    gFonts[handle] = Font{standin::TheBackend().resolveFont(request)};
    return reinterpret_cast<HFONT>(handle);
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
    const std::uintptr_t value = Value(object);
    if (!IsFont(value)) return nullptr;
    auto selection = gSelections.find(dc);
    const std::uintptr_t previous = selection != gSelections.end() ? selection->second : kStockFont;
    if (value == kStockFont) {
        if (selection != gSelections.end()) gSelections.erase(selection);
    } else if (selection != gSelections.end()) {
        selection->second = value;
    } else {
        gSelections.emplace(dc, value);
    }
    return reinterpret_cast<HGDIOBJ>(previous);
}

// The widths are the glyph lists' own advances, taken from the same cache entries, so that
// measuring and drawing cannot disagree. Any DC value is accepted, as SelectObject accepts it.
BOOL WINAPI GetCharWidth32A(HDC dc, UINT first, UINT last, LPINT widths) {
    if (last < first || widths == nullptr) return FALSE;
    const standin::FontFace* face = standin::SelectedFace(dc);
    for (UINT code = first;; ++code) {
        // A code without a glyph has an advance of 0, as its list has no bitmap.
        widths[code - first] = static_cast<int>(standin::GlyphOf(face, code).advance);
        if (code == last) break;  // last may be the largest UINT
    }
    return TRUE;
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
    auto font = gFonts.find(Value(object));
    if (font == gFonts.end()) return FALSE;  // the stock font is not deleted either
    // A DC still holding it falls back to the stock font rather than a dangling handle.
    for (auto s = gSelections.begin(); s != gSelections.end();) {
        s = s->second == font->first ? gSelections.erase(s) : std::next(s);
    }
    gFonts.erase(font);
    return TRUE;
}

}  // extern "C"
